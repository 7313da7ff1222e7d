#pragma once
#include <string>
#include <vector>

#include "stability/DataAnalysis.h"

namespace qs {

// `quillstone --analyze FILE`: the statistics and the stability table of a
// data file in the logger's own format, without a window and without Qt.
struct AnalysisRequest {
    std::string file;
    bool alternate = false;  // odd loaded lines channel 1, even ones channel 2
    AnalysisFormat format = AnalysisFormat::Text;
    std::vector<long long> factors;  // the stability rows' m; none: the octaves
};

struct AnalysisOutcome {
    int exitStatus = 0;  // 0, or 2 when the file cannot be read
    std::string out;     // for standard output
    std::string error;   // one line for standard error, without its end
};

// Reads the file with Load's reader and rules and analyses every channel it
// holds: channel 1, and with alternate channel 2 and the regression of
// channel 1 on channel 2.
AnalysisOutcome AnalyzeDataFile(const AnalysisRequest& request);

}  // namespace qs
