#pragma once
#include <optional>
#include <string>

#include "window/SampleRecord.h"
#include "window/StatusEvent.h"

namespace qs {

// The lines the program without a window writes for a person: what the
// window's captions and status lines would show, one line per change.

// sample count=<CountBox> time="<DateBox>" value=<LastBox> mean=<ShowMean>
// filter=<FilterValue>, each text as its caption shows it.
std::string SampleConsoleLine(const SampleRecord& sample);

enum class ConsoleStream { Out, Err };

struct ConsoleLine {
    ConsoleStream stream;
    std::string text;
};

// The line for a status change; none for a change nobody needs to read
// (a note taken off the line, an empty text).
std::optional<ConsoleLine> StatusConsoleLine(const StatusEvent& event);

}  // namespace qs
