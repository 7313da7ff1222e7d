#pragma once
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace qs::sim {

// The voltmeter behind the simulated adapter: which command lines it answers
// and with what. Replies are returned without their line end.
class InstrumentModel {
public:
    enum class ReplyKind { None, Identity, Reading };

    InstrumentModel(double baseVolts, std::uint32_t seed);

    // *IDN? gets the identity; a line containing MEAS or READ, or ending in
    // "?", gets a reading; anything else (settings, blank lines) gets nothing.
    static ReplyKind classify(const std::string& command);

    // The identity avoids the word the logger takes for a greeting.
    static std::string identity() { return "QUILLSTONE,SIMULATED-DMM,0,1.10"; }

    // A slowly drifting voltage near the base value, as "%+.8E".
    std::string reading();

    // n bytes of any value, 0 and 255 included.
    std::string randomBytes(std::size_t n);

private:
    double base_;
    double volts_;
    std::mt19937 random_;
};

}  // namespace qs::sim
