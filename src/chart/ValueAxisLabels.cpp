#include "chart/ValueAxisLabels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "chart/AxisLabels.h"

namespace qs {
namespace {
// The axis' own format shows this many decimals at most...
constexpr int kAxisDecimals = 7;
// ...and no double tells more decimals apart than these.
constexpr int kMostDecimals = 24;
// A label may be off its tick by this part of the tick step (the step's own
// rounding in binary), never by more.
constexpr double kLabelTolerance = 0.01;

double valueOf(const std::string& label) {
    std::string digits;
    for (char c : label)
        if (c != ',') digits += c;
    double value = 0.0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

bool tellsTicksApart(const std::vector<double>& ticks, const std::vector<std::string>& labels, double step) {
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (i > 0 && labels[i] == labels[i - 1]) return false;
        if (std::isfinite(ticks[i]) && std::abs(valueOf(labels[i]) - ticks[i]) > kLabelTolerance * step) return false;
    }
    return true;
}
}  // namespace

std::vector<std::string> ValueAxisLabels(const std::vector<double>& ticks) {
    double step = INFINITY;
    for (std::size_t i = 1; i < ticks.size(); ++i) step = std::min(step, std::abs(ticks[i] - ticks[i - 1]));
    std::vector<std::string> labels(ticks.size());
    for (int decimals = kAxisDecimals; decimals <= kMostDecimals; ++decimals) {
        std::transform(ticks.begin(), ticks.end(), labels.begin(),
                       [decimals](double t) { return FormatAxisValue(t, decimals); });
        if (ticks.size() < 2 || tellsTicksApart(ticks, labels, step)) break;
    }
    return labels;
}

std::string ValueAxisTitle(int command, const std::string& commandText) {
    const bool blank = commandText.find_first_not_of(" \t") == std::string::npos;
    return blank ? "Command " + std::to_string(command) : commandText;
}

}  // namespace qs
