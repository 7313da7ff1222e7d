#pragma once
#include <string>

#include "core/SampleTime.h"

namespace qs {

// What changed on a status line of the window.
enum class StatusEventKind {
    LinkStatus,              // LinkStatus shows a new text
    DataFileNotWritable,     // samples are not recorded: the last write failed
    DataFileNote,            // a note on the data file or on a reply that was no sample
    DataFileRecordingAgain,  // a write succeeded after failing; the line is empty again
    DataFileNoteCleared,     // a write succeeded and took the note off the line
};

// A change of LinkStatus or DataFileStatus, for a view that shows the
// window's state without reading its labels.
struct StatusEvent {
    StatusEventKind kind = StatusEventKind::LinkStatus;
    std::string text;  // the line's text after the change
    SampleTime time;   // UTC, whole seconds
};

}  // namespace qs
