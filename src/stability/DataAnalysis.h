#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "stability/StabilityFigures.h"

namespace qs {

// The analysis of a whole data file: the statistics and the stability
// table of each channel, and in Alternate Commands the regression of
// channel 1 on channel 2. Reading the file is the data file layer's; this
// is what is made of the readings and how it is written out.

struct ChannelAnalysis {
    int channel = 1;
    SeriesFigures figures;
    std::vector<StabilityRow> rows;
};

struct DataAnalysis {
    std::string file;
    long long lines = 0;    // every line read
    long long skipped = 0;  // lines a load skips
    std::vector<ChannelAnalysis> channels;
    std::optional<RegressionFigures> tempco;  // Alternate Commands only
};

// One channel's readings (times in seconds) analysed in one pass; the rows
// are of the given averaging factors, or of m = 1, 2, 4, ... up to a
// quarter of the readings when none are given.
ChannelAnalysis AnalyzeChannel(int channel, std::span<const double> seconds, std::span<const double> values,
                               std::span<const long long> factors);

enum class AnalysisFormat { Text, Csv, Json };

// "text", "csv" or "json".
std::optional<AnalysisFormat> AnalysisFormatNamed(std::string_view name);

// "1,10,100": whole numbers of at least 1, separated by commas.
std::optional<std::vector<long long>> ParseAveragingFactors(std::string_view text);

// The analysis as text for a person, as CSV (a block of lines per table,
// an empty field for a figure that does not exist) or as one JSON object
// (null for a figure that does not exist). Numbers never follow the user's
// locale; CSV and JSON carry 17 significant digits.
std::string FormatAnalysis(const DataAnalysis& analysis, AnalysisFormat format);

// The parts of the JSON form, for other records that carry the figures:
// the array of channels and the tempco object (null without pairs).
std::string ChannelsJson(const std::vector<ChannelAnalysis>& channels);
std::string RegressionJson(const std::optional<RegressionFigures>& tempco);

}  // namespace qs
