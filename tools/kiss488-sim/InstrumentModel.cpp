#include "InstrumentModel.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <utility>

namespace qs::sim {

InstrumentModel::InstrumentModel(double baseVolts, std::uint32_t seed, std::vector<std::string> replies, double drift,
                                 double noise)
    : base_(baseVolts), volts_(baseVolts), drift_(drift), noise_(noise), random_(seed), replies_(std::move(replies)) {}

InstrumentModel::ReplyKind InstrumentModel::classify(const std::string& command) {
    std::string upper;
    for (char c : command)
        if (c != ' ' && c != '\t') upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (upper.empty()) return ReplyKind::None;
    if (upper == "*IDN?") return ReplyKind::Identity;
    if (upper.find("MEAS") != std::string::npos || upper.find("READ") != std::string::npos || upper.back() == '?')
        return ReplyKind::Reading;
    return ReplyKind::None;
}

std::string InstrumentModel::reading() {
    if (!replies_.empty()) {
        const std::string& text = replies_[nextReply_];
        nextReply_ = (nextReply_ + 1) % replies_.size();
        return text;
    }
    base_ += drift_;
    if (noise_ >= 0.0) {
        std::normal_distribution<double> white(0.0, noise_);
        volts_ = base_ + (noise_ > 0.0 ? white(random_) : 0.0);
    } else {
        // A random walk pulled back towards the base: it wanders by tens of
        // microvolts from one reading to the next and stays near the base.
        std::normal_distribution<double> noise(0.0, 2e-5 * std::max(1.0, std::abs(base_)));
        volts_ += 0.05 * (base_ - volts_) + noise(random_);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%+.8E", volts_);
    return text;
}

std::string InstrumentModel::randomBytes(std::size_t n) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(n, '\0');
    for (auto& b : bytes) b = static_cast<char>(byte(random_));
    // Make sure the extremes are there, whatever the seed.
    if (n >= 1) bytes[0] = '\0';
    if (n >= 2) bytes[n - 1] = '\xFF';
    return bytes;
}

}  // namespace qs::sim
