#include "core/LineAppender.h"

namespace qs {

bool LineAppender::append(const std::string& fileName, std::string_view line) {
    const bool afterTornLine = !tornFile_.empty() && tornFile_ == fileName;
    const std::string ended = afterTornLine ? "\r\n" + std::string(line) : std::string();
    const AppendOutcome outcome = AppendReporting(fileName, afterTornLine ? ended : line, write_, truncate_);
    if (outcome == AppendOutcome::TornTail) tornFile_ = fileName;
    else if (outcome == AppendOutcome::Written && afterTornLine) tornFile_.clear();
    return outcome == AppendOutcome::Written;
}

}  // namespace qs
