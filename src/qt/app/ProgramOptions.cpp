#include "qt/app/ProgramOptions.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <filesystem>

namespace qs {

namespace {

constexpr OptionSpec kOptions[] = {
    {"headless", "", OptionType::Flag, "no", "",
     "log without a window or a display: read config.txt, press\n"
     "Start at once, log until SIGINT or SIGTERM (which end it as\n"
     "closing the window does). Link changes, samples and messages\n"
     "go to standard output, errors to standard error, each line\n"
     "after the UTC time; a question is answered No. Memory stays\n"
     "bounded: nothing is drawn, so only what the statistics need\n"
     "is kept (the last \"Plot Mean using\" points, or the running\n"
     "sum when that is 0; the scroll window when one is set).\n"
     "Exit status: 0 ended by a signal; 2 config.txt missing or\n"
     "unusable, or quillstone.conf refused (nothing written); 3 the\n"
     "link is down and nothing will reopen it (Start gave up, or\n"
     "Auto-Reconnect is off).",
     OptionFace::Headless, false},
    {"quiet", "", OptionType::Flag, "no", "", "with --headless: no line per sample", OptionFace::Headless, true},
    {"help", "-h", OptionType::Flag, "no", "", "this text", OptionFace::Both, false},
    {"version", "", OptionType::Flag, "no", "", "the version", OptionFace::Both, false},
};

bool on(const OptionValues& values, std::string_view name) {
    const auto it = values.find(name);
    return it != values.end() && it->second == "yes";
}

}  // namespace

std::span<const OptionSpec> ProgramOptions::table() { return kOptions; }

ProgramOptions ProgramOptions::parse(const std::vector<std::string>& args, std::optional<std::string_view> fileBytes) {
    ProgramOptions options;
    const OptionRead line = ReadCommandLine(table(), args);
    if (line.error) {
        options.mode = Mode::Error;
        options.error = *line.error;
        return options;
    }
    if (on(line.values, "help")) {
        options.mode = Mode::Help;
        return options;
    }
    if (on(line.values, "version")) {
        options.mode = Mode::Version;
        return options;
    }
    OptionRead file;
    if (fileBytes) file = ReadOptionsFile(table(), *fileBytes, kOptionsFileName);
    // A file that is refused counts as absent: the window goes on with the
    // command line, the headless logger ends on the error.
    if (file.error) {
        options.fileError = file.error;
        file.values.clear();
    }
    const OptionValues values = MergeOptions(table(), file.values, line.values);
    const bool headless = on(values, "headless");
    // Only the command line ties --quiet to a face: in the file it is the
    // headless logger's, and the window ignores it.
    if (on(line.values, "quiet") && !headless) {
        options.mode = Mode::Error;
        options.error = "--quiet goes with --headless (see --help)";
        return options;
    }
    options.mode = headless ? Mode::Headless : Mode::Window;
    options.quiet = headless && on(values, "quiet");
    return options;
}

std::optional<std::string> ProgramOptions::readFile(std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(kOptionsFileName, ec)) return std::nullopt;
    std::ifstream in(kOptionsFileName, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        error = std::string("cannot read ") + kOptionsFileName;
        return std::nullopt;
    }
    return bytes;
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
           "  config.txt       the 23 settings: read at start, written when the logger ends\n"
           "  quillstone.conf  optional: the options below as \"key = value\" lines (\"#\"\n"
           "                   starts a comment); the command line wins\n"
           "  Data.txt         one line per sample, appended (the name is a setting)\n"
           "  Results.txt      the raw conversation, when \"Save Raw GPIB Results\" is ticked\n"
           "\n" +
           OptionsHelp(table());
}

}  // namespace qs
