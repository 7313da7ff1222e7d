// Reviewing the data file: loading it into the chart, emptying it, and
// starting the display afresh when the file's name is left.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Statistics.h"
#include "datafile/DataLine.h"
#include "platform/Conversions.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

// A line is read with at most this many characters less one; a longer line
// comes in pieces, and each piece is taken as a line of its own.
constexpr int kLoadLineBuffer = 20000;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Raw, mean and filter of one line, held in alternate mode to be repeated at
// the other command's next line.
struct Triple {
    double raw = kNoHeldValue, mean = kNoHeldValue, filter = kNoHeldValue;
};

// The date and time range a data line may carry. A line outside it, or one
// naming a day that does not exist (30 February), is skipped: one damaged
// line must not cut the review of a whole file short.
bool isLoadableTime(const DataLineFields& f) {
    if (f.year < 1900 || f.year > 2100 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31) return false;
    if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59) return false;
    return IsValidDate(f.year, f.month, f.day);
}

// A line whose numbers cannot be plotted and counted is skipped like a line
// out of range: an infinity or NaN in any column (as an overflowing number
// or spelled "INF", "-NAN"), or a raw value that no live sample may have,
// since the loaded raw values take part in the next running means.
bool isLoadableValue(const DataLineFields& f) {
    return IsSampleValue(f.raw) && std::isfinite(f.mean) && std::isfinite(f.filter);
}

// A data file the user marked read-only is kept, as deleting a read-only
// file has always failed: its own write permission decides, not the
// folder's, which is all that unlink asks. No write bit at all counts too,
// since the superuser may write any file.
bool isReadOnlyFile(const struct stat& info, const std::string& name) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(name.c_str(), W_OK) != 0;
}

void addTriple(ISeries& raw, ISeries& mean, ISeries& filter, double x, const Triple& t) {
    raw.AddPoint(x, t.raw);
    mean.AddPoint(x, t.mean);
    filter.AddPoint(x, t.filter);
}

}  // namespace

void TGPIBTelnet::LoadButtonClick() {
    FileHandle file(std::fopen(TextFileBox.text().c_str(), "r"));
    // A folder opens for reading here but holds no lines: loading it would
    // only empty the chart, so it counts as a file that cannot be opened.
    struct stat info {};
    if (!file || (::fstat(::fileno(file.get()), &info) == 0 && S_ISDIR(info.st_mode))) return;

    if (!ScrollBox.text().empty()) {
        const int points = StrToInt(ScrollBox.text());
        State.ScrollPoints = points < 0 ? 0 : points;
        ScrollBox.setText(IntToStr(State.ScrollPoints));
    }
    for (ISeries* s : {&Series1, &Series2, &Series3, &Series4, &Series5, &Series6}) s->Clear();
    State.SampleCount = 0;
    State.ReplyPhase = 0;

    const bool command1 = RadioButton1.checked();
    const bool command2 = !command1 && RadioButton2.checked();
    Triple held1, held2;
    // The scan fields live for the whole load: a line that does not supply a
    // field repeats the previous line's. They start at zero, so unreadable
    // lines before the first readable one fail the date check.
    DataLineFields f;
    std::vector<char> line(kLoadLineBuffer);
    while (std::fgets(line.data(), kLoadLineBuffer, file.get())) {
        ScanDataLine(line.data(), f);
        if (!isLoadableTime(f) || !isLoadableValue(f)) continue;
        const double x = EncodeDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
        const Triple own{f.raw, f.mean, f.filter};
        if (command1) {
            addTriple(Series1, Series2, Series3, x, own);
        } else if (command2) {
            addTriple(Series4, Series6, Series5, x, own);
        } else if (State.ReplyPhase == 0) {
            addTriple(Series1, Series2, Series3, x, own);
            if (held2.raw != kNoHeldValue) addTriple(Series4, Series6, Series5, x, held2);
            held1 = own;
        } else {
            addTriple(Series4, Series6, Series5, x, own);
            if (held1.raw != kNoHeldValue) addTriple(Series1, Series2, Series3, x, held1);
            held2 = own;
        }
        State.ReplyPhase = State.ReplyPhase == 0 ? 1 : 0;
        State.SampleCount += 1;
    }

    TrimToScrollWindow();
    file.reset();
    CountBox.setCaption(IntToStr(State.SampleCount));
    State.RestartFilters();
    if (Series1.Count() > 0) {
        State.Maximum = Series1.MaxY();
        State.Minimum = Series1.MinY();
        MaxBox.setCaption(FloatToStr(State.Maximum));
        MinBox.setCaption(FloatToStr(State.Minimum));
        DiffBox.setCaption(FloatToStr(State.Maximum - State.Minimum));
    } else {
        // No command-1 point to take the extremes from: the statistics start
        // over as in a fresh window, so that the next sample becomes minimum
        // and maximum, instead of a made-up 0 that no sample ever had.
        State.Minimum = kMinimumStart;
        State.Maximum = kMaximumStart;
        MaxBox.setCaption("0");
        MinBox.setCaption("0");
        DiffBox.setCaption("0");
    }
    State.ReplyPhase = 0;
    Chart1.Redraw();
}

void TGPIBTelnet::DeleteButtonClick() {
    const MsgResult answer = platform.dialogs.messageBox(
        "This permanently deletes the text data file. If any data currently exists, it will be deleted. It will "
        "also erase anything currently displayed. Are you sure you want to do this?",
        "Are you sure?", MsgButtons::YesNo, MsgIcon::Warning);
    if (answer != MsgResult::Yes) return;
    // A missing file is not worth a message: the next sample starts a new
    // one. Only a file is removed, never a folder that happens to carry the
    // name. A file that stays keeps its lines, and the status bar says so,
    // since the next samples are appended to them.
    const std::string name = TextFileBox.text();
    struct stat info {};
    if (::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        std::string kept;
        if (isReadOnlyFile(info, name)) kept = "it is read-only";
        else if (::unlink(name.c_str()) != 0 && errno != ENOENT) kept = std::strerror(errno);
        if (!kept.empty()) DataFileStatus.setCaption("Data file \"" + name + "\" kept with its lines: " + kept);
    }
    ResetDataDisplay();
}

void TGPIBTelnet::TextFileBoxExit() {
    if (TextFileBox.text().empty()) {
        platform.dialogs.messageBox("A text file name must be named. Choose a name.", "Need a file name",
                                    MsgButtons::Ok, MsgIcon::None);
        TextFileBox.setFocus();
        return;
    }
    // What the chart shows need not belong to the file now named.
    ResetDataDisplay();
}

// The captions keep showing the old numbers until the next sample replaces them.
void TGPIBTelnet::ResetDataDisplay() {
    for (ISeries* s : {&Series1, &Series2, &Series3, &Series4, &Series5, &Series6}) s->Clear();
    State.ResetStatistics();
    Chart1.Redraw();
}

}  // namespace qs
