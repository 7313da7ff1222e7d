#include "window/DataFileAnalysis.h"

#include <optional>

#include "datafile/LoadedChannels.h"
#include "stability/PairRegression.h"

namespace qs {

AnalysisOutcome AnalyzeDataFile(const AnalysisRequest& request) {
    AnalysisOutcome outcome;
    const std::optional<LoadedChannels> read = ReadLoadedChannels(request.file, request.alternate, outcome.error);
    if (!read) {
        outcome.exitStatus = 2;
        return outcome;
    }
    DataAnalysis analysis;
    analysis.file = request.file;
    analysis.lines = read->lines;
    analysis.skipped = read->skipped;
    analysis.channels.push_back(
        AnalyzeChannel(1, read->channel1.seconds, read->channel1.values, request.factors));
    if (request.alternate) {
        analysis.channels.push_back(
            AnalyzeChannel(2, read->channel2.seconds, read->channel2.values, request.factors));
        analysis.tempco = RegressionOfPairs(read->channel1.values, read->channel2.values);
    }
    outcome.out = FormatAnalysis(analysis, request.format);
    return outcome;
}

}  // namespace qs
