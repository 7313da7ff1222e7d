#include "qt/ProgramOptions.h"

namespace qs {

ProgramOptions ProgramOptions::parse(const std::vector<std::string>& args) {
    ProgramOptions options;
    bool headless = false, quiet = false;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return {Mode::Help, false, {}};
        if (arg == "--version") return {Mode::Version, false, {}};
        if (arg == "--headless") headless = true;
        else if (arg == "--quiet") quiet = true;
        else return {Mode::Error, false, "unknown option " + arg + " (see --help)"};
    }
    if (quiet && !headless) return {Mode::Error, false, "--quiet goes with --headless (see --help)"};
    options.mode = headless ? Mode::Headless : Mode::Window;
    options.quiet = quiet;
    return options;
}

std::string ProgramOptions::versionText() { return "quillstone " QUILLSTONE_VERSION "\n"; }

std::string ProgramOptions::helpText() {
    return "Usage: quillstone [--headless [--quiet]] | --help | --version\n"
           "\n"
           "The KISS-488 GPIB Quillstone Logger " QUILLSTONE_VERSION
           ": polls a bench instrument on a GPIB bus\n"
           "through a KISS-488 GPIB-to-LAN adapter (Telnet), and logs every reply as a\n"
           "sample with its running mean and RC filter. Without options it opens its window.\n"
           "\n"
           "Files, in the working directory:\n"
           "  config.txt    the 23 settings: read at start, written when the logger ends\n"
           "  Data.txt      one line per sample, appended (the name is a setting)\n"
           "  Results.txt   the raw conversation, when \"Save Raw GPIB Results\" is ticked\n"
           "\n"
           "Options:\n"
           "  --headless    log without a window or a display: read config.txt, press\n"
           "                Start at once, log until SIGINT or SIGTERM (which end it as\n"
           "                closing the window does). Link changes, samples and messages\n"
           "                go to standard output, errors to standard error, each line\n"
           "                after the UTC time; a question is answered No. Memory stays\n"
           "                bounded: nothing is drawn, so only what the statistics need\n"
           "                is kept (the last \"Plot Mean using\" points, or the running\n"
           "                sum when that is 0; the scroll window when one is set).\n"
           "                Exit status: 0 ended by a signal; 2 config.txt missing or\n"
           "                unusable (nothing written); 3 the link is down and nothing\n"
           "                will reopen it (Start gave up, or Auto-Reconnect is off).\n"
           "  --quiet       with --headless: no line per sample\n"
           "  --help        this text\n"
           "  --version     the version\n";
}

}  // namespace qs
