#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "qt/app/ProgramOptions.h"

namespace qs {

class LoggerApp;

// Where the program works. With --own-folder on the command line (the
// desktop entry's start) it moves into ~/Quillstone, made when missing;
// without it, and on an error, it stays in the current folder. Runs before
// quillstone.conf is read, which lies in the folder chosen.
struct WorkingFolder {
    std::string notice;                // "Working in ..." after a move; empty when none
    std::optional<std::string> error;  // why it stayed, one line
};
WorkingFolder EnterWorkingFolder(const std::vector<std::string>& args);

// The program: a QApplication whose numbers keep a point whatever the
// user's language, the logger window created and shown, SIGINT and SIGTERM
// closing it as its close button does, and the event loop until it closed.
// shown runs once the window is on the screen (a test drives it from
// there). A startup error (a refused quillstone.conf) is shown in one box
// once the window is up, as is a publishing that cannot start (the window
// goes on without it), and so is a --serve that cannot listen. A
// workingNotice ("Working in ~/Quillstone", from --own-folder) rests in the
// status bar. Returns the process's exit code.
int RunLogger(int argc, char** argv, const std::function<void(LoggerApp&)>& shown = {},
              const std::optional<std::string>& startupError = std::nullopt,
              const PublishingOptions& publishing = {}, const ServingOptions& serving = {},
              const std::string& workingNotice = {});

// The program with --headless: a QCoreApplication (no display needed), the
// headless face of the composition root, SIGINT and SIGTERM ending it.
// Returns the exit status: 2 when the publishing asked for cannot start.
// mode: the commands sent, as quillstone.conf keeps them. A workingNotice
// is the first line of standard output.
int RunHeadless(int argc, char** argv, bool quiet, const PublishingOptions& publishing = {},
                const ServingOptions& serving = {}, CommandMode mode = CommandMode::Command1,
                const std::string& workingNotice = {});

}  // namespace qs
