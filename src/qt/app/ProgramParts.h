#pragma once
#include <QDateTime>

#include <memory>
#include <string>

#include "link/LinkCodecTable.h"
#include "platform/BoundedSeries.h"
#include "platform/Desktop.h"
#include "platform/MemoryChart.h"
#include "platform/Platform.h"
#include "qt/chart/QtChart.h"
#include "qt/headless/ConsoleDialogs.h"
#include "qt/link/QtStreamLink.h"
#include "publish/StatsTopic.h"
#include "qt/app/Publishing.h"
#include "qt/app/Serving.h"
#include "qt/net/BrokerPublishing.h"
#include "qt/runtime/QtDesktop.h"
#include "qt/runtime/QtDialogs.h"
#include "qt/runtime/QtRuntime.h"
#include "window/StabilityFeed.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// The window's own parts: message boxes, the chart on the screen, the
// desktop. Errors of timer ticks and link events open their box once the
// callback has returned, never inside it; the person's input reports at once.
struct WindowFace {
    QtDialogs dialogs;
    QtChart chart;
    QtDesktop desktop;

    void reportNow(const std::string& message) { dialogs.showException(message); }
    void reportLater(const std::string& message) { dialogs.reportLater(message); }

    // The stability figures refresh at most once a second, the first change
    // after a quiet spell at the next dispatch.
    static constexpr int kStabilityPeriodMs = 1000;
    static constexpr int kStabilityFirstDelayMs = 0;
};

// The headless logger's own parts: the console in place of boxes, a store
// that keeps only what the statistics need in place of the chart, and no
// desktop. A console line never nests a loop, so every error goes out at once.
struct HeadlessFace {
    struct NoDesktop : IDesktop {
        bool openFolder(const std::string&) override { return false; }
    };

    Console console;
    ConsoleDialogs dialogs{console};
    MemoryChartOf<BoundedSeries> chart;
    NoDesktop desktop;

    void reportNow(const std::string& message) { dialogs.showException(message); }
    void reportLater(const std::string& message) { dialogs.showException(message); }

    // A stats line per channel at most once a minute (and at the end).
    static constexpr int kStabilityPeriodMs = 60000;
    static constexpr int kStabilityFirstDelayMs = 60000;
};

// The one place the program is put together, for either face: the face's
// own parts, then the Qt runtime and the link (of the kind each Start's host
// box names), which report through the face, the platform over all of them,
// the logger's logic, and the listeners of its samples. Members are built in this order
// and destroyed in reverse, so every part outlives its users. Needs a
// QCoreApplication (a QApplication for the window).
template <typename Face>
class ProgramParts {
public:
    ProgramParts()
        : runtime([this](const std::string& m) { face.reportNow(m); },
                  [this](const std::string& m) { face.reportLater(m); }),
          link(ProgramLinkCodecs(), [this](const std::string& m) { face.reportLater(m); }),
          platform{runtime, runtime, runtime, face.dialogs, link, face.chart, face.desktop},
          logger(platform),
          stability(logger, runtime, Face::kStabilityPeriodMs, Face::kStabilityFirstDelayMs) {}
    ProgramParts(const ProgramParts&) = delete;
    ProgramParts& operator=(const ProgramParts&) = delete;

    // Publishing to a broker when --mqtt asks for it: the samples, the
    // link's changes and the statistics. False with the reason (one line)
    // when it cannot start.
    bool startPublishing(const PublishingOptions& options, std::string& error) {
        publishing = StartPublishing(options, logger, run, error);
        if (publishing)
            stats = std::make_unique<StatsTopic>(logger, stability, runtime, publishing->publisher(),
                                                 publishing->run());
        return error.empty();
    }

    // Serving the logger over HTTP when --serve asks for it: its state,
    // the page and the events. False with the reason (one line) when it
    // cannot start (a port in use); the logger goes on without it.
    bool startServing(const ServingOptions& options, std::string& error) {
        serving = StartServing(options, logger, {run, ProgramOptions::version(), startSeconds}, error);
        return error.empty();
    }

    // members, in construction order
    // This start of the program, in every record sent out.
    const std::string run = NewRunId();
    const double startSeconds = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    Face face;
    QtRuntime runtime;
    QtStreamLink link;
    Platform platform;
    // Publishing to a lab's broker when --mqtt asks for it (see
    // StartPublishing); it outlives the logger, whose listeners use it.
    std::unique_ptr<BrokerPublishing> publishing;
    // Serving over HTTP when --serve asks for it (see StartServing); it
    // outlives the logger too.
    std::unique_ptr<LoggerServer> serving;
    TGPIBTelnet logger;
    // The stability figures of the logger's live sums, for the face to show.
    StabilityFeed stability;
    // The same figures for the broker, with publishing.
    std::unique_ptr<StatsTopic> stats;
};

}  // namespace qs
