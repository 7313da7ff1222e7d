// Reviewing the data file: loading it into the chart, emptying it, and
// starting the display afresh when the file's name is left.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "core/Statistics.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"
#include "datafile/LoadedLine.h"
#include "platform/Conversions.h"
#include "platform/DayCount.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

// A data file the user marked read-only is kept, as deleting a read-only
// file has always failed: its own write permission decides, not the
// folder's, which is all that unlink asks. No write bit at all counts too,
// since the superuser may write any file.
bool isReadOnlyFile(const struct stat& info, const std::string& name) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(name.c_str(), W_OK) != 0;
}

// The time of the oldest point the chart shows of a channel once the scroll
// window is applied: its loaded readings before it leave the stability sums
// (without a scroll window none do: a store that holds only the newest
// points may not have the oldest any more).
double oldestShown(const ISeries& raw, int scrollPoints) {
    if (scrollPoints <= 0) return -std::numeric_limits<double>::infinity();
    if (raw.Count() == 0) return std::numeric_limits<double>::infinity();
    return SecondsOfDayCount(raw.XValue(0));
}

// The three points of a loaded line on its channel's raw, mean and filter series.
void addLine(const SeriesTable& series, int channel, double x, const LoadedLine& line) {
    series.of(channel, SeriesRole::Raw).AddPoint(x, line.raw);
    series.of(channel, SeriesRole::Mean).AddPoint(x, line.mean);
    series.of(channel, SeriesRole::Filter).AddPoint(x, line.filter);
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
    for (ISeries* s : seriesTable_.all()) s->Clear();
    Stability.beginLoad();
    State.SampleCount = 0;
    State.ReplyPhase = 0;

    const CommandMode mode = commandMode();
    // Each series of a channel the lines go to gets a point from about
    // every line (in Alternate Commands from the other channel's lines too,
    // as held values).
    const int expectedLines = static_cast<int>(ExpectedDataLines(info.st_size));
    for (int channel : {1, 2}) {
        if (LoadedLineChannel(mode, 0) != channel && LoadedLineChannel(mode, 1) != channel) continue;
        for (SeriesRole role : {SeriesRole::Raw, SeriesRole::Mean, SeriesRole::Filter})
            seriesTable_.of(channel, role).Reserve(expectedLines);
    }
    HeldValues<LoadedLine> held{};
    // The scan fields live for the whole load: a line that does not supply a
    // field repeats the previous line's. They start at zero, so unreadable
    // lines before the first readable one fail the date check.
    DataLineFields f;
    LineReader lines(file.get(), kLoadLineBuffer);
    DateTimeEncoder encode;
    while (const char* line = lines.next()) {
        ScanDataLine(line, f);
        if (LoadSkipsLine(line, f)) continue;
        const double x = encode(f.year, f.month, f.day, f.hour, f.minute, f.second);
        const LoadedLine own{f.raw, f.mean, f.filter};
        const int channel = LoadedLineChannel(mode, State.ReplyPhase);
        const ChannelRoute<LoadedLine> route = RouteLoadedLine(mode, channel, own, held);
        addLine(seriesTable_, channel, x, own);
        Stability.loadReading(channel, SecondsOfDayCount(x), own.raw);
        if (route.otherHeld) addLine(seriesTable_, channel == 1 ? 2 : 1, x, *route.otherHeld);
        held = route.held;
        State.ReplyPhase = State.ReplyPhase == 0 ? 1 : 0;
        State.SampleCount += 1;
    }

    TrimToScrollWindow();
    file.reset();
    // The stability sums afresh, in one pass, from what the chart shows.
    for (int channel : {1, 2})
        Stability.endLoad(channel, oldestShown(seriesTable_.of(channel, SeriesRole::Raw), State.ScrollPoints));
    CountBox.setCaption(IntToStr(State.SampleCount));
    State.RestartFilters();
    const Extremes extremes = ExtremesOf(Series1);
    State.Minimum = extremes.minimum;
    State.Maximum = extremes.maximum;
    // Without a command-1 point the captions show 0, as in a fresh window.
    const bool none = Series1.Count() == 0;
    MaxBox.setCaption(none ? "0" : FloatToStr(State.Maximum));
    MinBox.setCaption(none ? "0" : FloatToStr(State.Minimum));
    DiffBox.setCaption(none ? "0" : FloatToStr(State.Maximum - State.Minimum));
    State.ReplyPhase = 0;
    // Samples logged now follow the loaded lines by turns.
    State.nextLineChannel = State.SampleCount % 2 == 0 ? 1 : 2;
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
        if (!kept.empty()) showDataFileNote("Data file \"" + name + "\" kept with its lines: " + kept);
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
    for (ISeries* s : seriesTable_.all()) s->Clear();
    // An emptied or another data file starts its turns afresh.
    State.nextLineChannel = 1;
    State.ResetStatistics();
    Stability.clear();
    Chart1.Redraw();
}

}  // namespace qs
