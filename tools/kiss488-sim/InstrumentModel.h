#pragma once
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace qs::sim {

// The voltmeter behind the simulated adapter: which command lines it answers
// and with what. Replies are returned without their line end.
class InstrumentModel {
public:
    enum class ReplyKind { None, Identity, Reading };

    // replies: texts that stand in for the readings, in turn (see reading()).
    // drift: how far the base moves per reading; noise >= 0: white noise of
    // that standard deviation about the base in place of the random walk.
    InstrumentModel(double baseVolts, std::uint32_t seed, std::vector<std::string> replies = {}, double drift = 0.0,
                    double noise = -1.0);

    // *IDN? gets the identity; a line containing MEAS or READ, or ending in
    // "?", gets a reading; anything else (settings, blank lines) gets nothing.
    static ReplyKind classify(const std::string& command);

    // The identity avoids the word the logger takes for a greeting.
    static std::string identity() { return "QUILLSTONE,SIMULATED-DMM,0,1.10"; }

    // A slowly drifting voltage near the base value, as "%+.8E"; with
    // scripted replies, the next of them instead, from the first again
    // after the last.
    std::string reading();

    // n bytes of any value, 0 and 255 included.
    std::string randomBytes(std::size_t n);

private:
    double base_;
    double volts_;
    double drift_, noise_;
    std::mt19937 random_;
    std::vector<std::string> replies_;
    std::size_t nextReply_ = 0;
};

}  // namespace qs::sim
