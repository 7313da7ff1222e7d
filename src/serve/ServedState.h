#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "serve/MetricsText.h"
#include "serve/SampleHistory.h"
#include "serve/SampleRing.h"
#include "serve/ServeRoutes.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// What the server tells of the logger, kept from its sample and status
// records as they come (never read off the window): the answers of
// /api/status, /api/samples and /metrics, and each record as an event for
// /events. Lives on the event loop with the logger.
class ServedState {
public:
    struct Identity {
        std::string run;            // this start of the program (SampleJson's run)
        std::string version;        // the program's
        double startSeconds = 0.0;  // Unix time the process started
    };
    // name: "sample", "readouts", "link" or "status"; json: the record.
    using EventListener = std::function<void(std::string_view name, const std::string& json)>;

    static constexpr std::size_t kHeldSamples = 10000;

    ServedState(TGPIBTelnet& logger, Identity identity, std::size_t heldSamples = kHeldSamples,
                std::size_t historySamples = SampleHistory::kHeldSamples);
    ServedState(const ServedState&) = delete;
    ServedState& operator=(const ServedState&) = delete;

    // Subscribes to the logger's records, while the program is put
    // together. The listeners stay with the logger, so this must outlive
    // it from here on (the composition root builds it first).
    void follow();

    // Told of each record once the state has taken it in.
    void setEventListener(EventListener listener) { listener_ = std::move(listener); }

    // {"caption", "version", "run", "link": {"up", "text"}, "data_file":
    // {"name", "ok", "text"}, "settings": {...}, "count", "latest",
    // "readouts": {... as readoutsJson, "std_dev_ppm": StdDevBox's text}}.
    std::string statusJson() const;
    // The page's chart on opening: the history held, reduced to the
    // window's pixel columns (SampleHistory::reducedJson).
    std::string historyJson(const SampleHistory::Window& window) const { return history_.reducedJson(window); }
    // {"seq", "minimum", "maximum", "difference"}: the read-outs of the
    // latest sample that its record holds beyond the sample's own JSON; null
    // before the first. Sent as a "readouts" event after each "sample".
    std::string readoutsJson() const { return readouts_.empty() ? "null" : readouts_; }
    // The records with seq > query.since, oldest first, at most query.limit.
    std::string samplesJson(const SamplesQuery& query) const { return ring_.since(query.since, query.limit); }
    // The exposition at Unix time now.
    std::string metricsText(double now) const { return MetricsText(figures_, now); }
    // {"time", "data_file": {...}}: the data file's state, as a status event sends it.
    std::string dataFileJson() const;

    const ServeFigures& figures() const { return figures_; }

private:
    void sampleTaken(const SampleRecord& sample);
    void statusChanged(const StatusEvent& event);
    void tell(std::string_view name, const std::string& json) const;
    std::string dataFileObject() const;  // {"name", "ok", "text"}
    std::string readoutsWithStability() const;

    TGPIBTelnet& logger_;
    Identity identity_;
    SampleRing ring_;
    SampleHistory history_;
    std::string readouts_;
    ServeFigures figures_;
    std::string latest_;  // the latest sample's JSON; empty before the first
    std::string linkText_, dataFileText_;
    bool dataFileOk_ = true;
    bool linkWasUp_ = false;
    std::string statusTime_;  // the latest data-file change, ISO 8601
    EventListener listener_;
};

// Why a reply was not taken as a sample, as a metric's label ("cut",
// "out_of_range"), from the note DataFileStatus shows; nullopt for a note
// that is about something else.
std::optional<std::string> RejectedReplyReason(std::string_view note);

// Seconds since 1970-01-01 00:00 UTC of the time.
double UnixSeconds(const SampleTime& time);

}  // namespace qs
