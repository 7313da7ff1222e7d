// Program entry of the KISS-488 GPIB Quillstone Logger: the window, or with
// --headless the logger without one, or with --analyze the analysis of a
// data file, which needs no Qt at all.
#include <cstdio>
#include <string>
#include <vector>

#include "qt/app/LoggerMain.h"
#include "qt/app/ProgramOptions.h"
#include "window/DataFileAnalysis.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const qs::WorkingFolder folder = qs::EnterWorkingFolder(args);
    std::string readError;
    const std::optional<std::string> file = qs::ProgramOptions::readFile(readError);
    qs::ProgramOptions options = qs::ProgramOptions::parse(args, file);
    if (!readError.empty()) options.fileError = readError;
    switch (options.mode) {
    case qs::ProgramOptions::Mode::Help:
        std::fputs(qs::ProgramOptions::helpText().c_str(), stdout);
        return 0;
    case qs::ProgramOptions::Mode::Version:
        std::fputs(qs::ProgramOptions::versionText().c_str(), stdout);
        return 0;
    case qs::ProgramOptions::Mode::Error:
        std::fprintf(stderr, "quillstone: %s\n", options.error.c_str());
        return 2;
    case qs::ProgramOptions::Mode::Analyze: {
        const qs::AnalysisOutcome outcome = qs::AnalyzeDataFile(options.analysis);
        std::fputs(outcome.out.c_str(), stdout);
        if (!outcome.error.empty()) std::fprintf(stderr, "quillstone: %s\n", outcome.error.c_str());
        return outcome.exitStatus;
    }
    case qs::ProgramOptions::Mode::Headless:
        // Nothing is written in a folder the person did not ask for.
        for (const std::optional<std::string>& error : {folder.error, options.fileError})
            if (error) {
                std::fprintf(stderr, "quillstone: %s\n", error->c_str());
                return 2;
            }
        return qs::RunHeadless(argc, argv, options.quiet, options.publishing, options.serving,
                               options.kept.commandMode, folder.notice);
    case qs::ProgramOptions::Mode::Window:
        break;
    }
    // The window says why it stays in the current folder and goes on there.
    std::optional<std::string> startupError = options.fileError;
    if (folder.error) startupError = startupError ? *folder.error + "\n" + *startupError : *folder.error;
    return qs::RunLogger(argc, argv, {}, startupError, options.publishing, options.serving, folder.notice);
}
