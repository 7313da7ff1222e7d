#include "stability/DataAnalysis.h"

#include <algorithm>

#include "stability/SeriesStatistics.h"
#include "stability/StabilitySums.h"

namespace qs {

ChannelAnalysis AnalyzeChannel(int channel, std::span<const double> seconds, std::span<const double> values,
                               std::span<const long long> factors) {
    ChannelAnalysis a;
    a.channel = channel;
    a.figures = SeriesFiguresOf(seconds, values);
    const std::span<const double> readings = values.first(std::min(seconds.size(), values.size()));
    if (factors.empty()) {
        // The octaves in a chain, without the prefix sums any other factor needs.
        const std::vector<long long> octaves = OctaveFactors(static_cast<long long>(readings.size()));
        if (octaves.empty()) return a;
        for (const OctaveSums& s : OctaveChainSums(readings, octaves.back()))
            a.rows.push_back(RowOf(s, a.figures.tau0));
        return a;
    }
    const StabilityBatch batch(readings);
    for (long long m : factors) a.rows.push_back(RowOf(batch.sums(m), a.figures.tau0));
    return a;
}

std::optional<AnalysisFormat> AnalysisFormatNamed(std::string_view name) {
    if (name == "text") return AnalysisFormat::Text;
    if (name == "csv") return AnalysisFormat::Csv;
    if (name == "json") return AnalysisFormat::Json;
    return std::nullopt;
}

std::optional<std::vector<long long>> ParseAveragingFactors(std::string_view text) {
    std::vector<long long> factors;
    // Up to 18 digits: any averaging factor a run can have, and no overflow.
    constexpr std::size_t kMostDigits = 18;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        if (item.empty() || item.size() > kMostDigits) return std::nullopt;
        long long m = 0;
        for (char c : item) {
            if (c < '0' || c > '9') return std::nullopt;
            m = m * 10 + (c - '0');
        }
        if (m < 1) return std::nullopt;
        factors.push_back(m);
        if (comma == std::string_view::npos) return factors;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace qs
