#pragma once
#include <string>
#include <string_view>

#include "core/TextFile.h"

namespace qs {

// Appends whole lines to a file, one open, write and close each. A line that
// a full disk stopped part-way is taken back; where even that fails, the file
// ends in a torn line, and the next line written to that file begins with a
// line end of its own, so that two lines are never glued into one.
class LineAppender {
public:
    explicit LineAppender(WriteCall write = ::write, TruncateCall truncate = ::ftruncate)
        : write_(write), truncate_(truncate) {}
    // line ends with its own line end. False when it was not written whole.
    bool append(const std::string& fileName, std::string_view line);

private:
    WriteCall write_;
    TruncateCall truncate_;
    // The file that ends in a torn line, as far as this appender knows.
    std::string tornFile_;
};

}  // namespace qs
