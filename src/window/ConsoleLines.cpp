#include "window/ConsoleLines.h"

#include "platform/Conversions.h"

namespace qs {

std::string SampleConsoleLine(const SampleRecord& sample) {
    return "sample count=" + IntToStr(sample.count) + " time=\"" + FormatDateBox(sample.time) +
           "\" value=" + FloatToStr(sample.value) + " mean=" + FloatToStr(sample.mean) +
           " filter=" + FloatToStr(sample.filter);
}

std::optional<ConsoleLine> StatusConsoleLine(const StatusEvent& event) {
    using K = StatusEventKind;
    switch (event.kind) {
        case K::LinkStatus:
            if (event.text.empty()) return std::nullopt;
            return ConsoleLine{ConsoleStream::Out, "link: " + event.text};
        case K::DataFileNotWritable:
        case K::DataFileNote:
            if (event.text.empty()) return std::nullopt;
            return ConsoleLine{ConsoleStream::Err, event.text};
        case K::DataFileRecordingAgain:
            return ConsoleLine{ConsoleStream::Out, "data file: recording again"};
        case K::DataFileNoteCleared:
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace qs
