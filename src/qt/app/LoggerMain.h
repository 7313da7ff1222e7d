#pragma once
#include <functional>
#include <optional>
#include <string>

#include "qt/app/ProgramOptions.h"

namespace qs {

class LoggerApp;

// The program: a QApplication whose numbers keep a point whatever the
// user's language, the logger window created and shown, SIGINT and SIGTERM
// closing it as its close button does, and the event loop until it closed.
// shown runs once the window is on the screen (a test drives it from
// there). A startup error (a refused quillstone.conf) is shown in one box
// once the window is up, as is a publishing that cannot start (the window
// goes on without it), and so is a --serve that cannot listen. Returns the
// process's exit code.
int RunLogger(int argc, char** argv, const std::function<void(LoggerApp&)>& shown = {},
              const std::optional<std::string>& startupError = std::nullopt,
              const PublishingOptions& publishing = {}, const ServingOptions& serving = {});

// The program with --headless: a QCoreApplication (no display needed), the
// headless face of the composition root, SIGINT and SIGTERM ending it.
// Returns the exit status: 2 when the publishing asked for cannot start.
// mode: the commands sent, as quillstone.conf keeps them.
int RunHeadless(int argc, char** argv, bool quiet, const PublishingOptions& publishing = {},
                const ServingOptions& serving = {}, CommandMode mode = CommandMode::Command1);

}  // namespace qs
