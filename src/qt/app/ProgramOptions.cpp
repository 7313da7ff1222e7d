#include "qt/app/ProgramOptions.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>
#include <vector>

#include "window/Settings.h"

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
    {"own-folder", "", OptionType::Flag, "no", "",
     "work in the folder Quillstone in the home folder (made when\n"
     "missing) instead of the current one: config.txt,\n"
     "quillstone.conf, the data file, Results.txt and saved charts\n"
     "are there, and the status bar says so. The desktop entry\n"
     "starts the logger this way",
     OptionFace::Both, false},
    {"analyze", "", OptionType::Text, "", "FILE",
     "print the statistics and the stability of a data file in\n"
     "the logger's format, without a window, and exit: for each\n"
     "channel N, mean, standard deviation, extremes, peak to peak\n"
     "(with ppm of the mean), drift per day, tau0, and OADEV with\n"
     "its error bar, MDEV and HDEV at tau = m tau0 for m = 1, 2,\n"
     "4, ... up to a quarter of the readings. Lines a load would\n"
     "skip are skipped and counted. Exit status 0, or 2 with one\n"
     "line on standard error when the file cannot be read.",
     OptionFace::Analysis, false},
    {"alternate", "", OptionType::Flag, "no", "",
     "with --analyze: the lines alternate between channel 1 and\n"
     "channel 2 (\"Alternate Commands\"); adds the regression of\n"
     "channel 1 on channel 2 (the tempco in ppm per unit)",
     OptionFace::Analysis, false},
    {"format", "", OptionType::Text, "text", "FORMAT", "with --analyze: text, csv or json", OptionFace::Analysis,
     false},
    {"taus", "", OptionType::Text, "", "M1,M2,...",
     "with --analyze: the stability at these averaging factors m\n"
     "(tau = m tau0) instead of the octaves",
     OptionFace::Analysis, false},
    {"mqtt", "", OptionType::Text, "", "URL",
     "publish every sample to an MQTT broker, none lost while it is\n"
     "away: URL is mqtt://[USER@]HOST[:PORT]/PREFIX, or mqtts://\n"
     "for TLS; the topics are PREFIX/NAME/status, link, sample and\n"
     "stats. What the broker has not acknowledged waits in the\n"
     "folder mqtt-spool",
     OptionFace::Both, true},
    {"mqtt-password-file", "", OptionType::Text, "", "FILE",
     "with --mqtt: the password of its USER, the file's first line\n"
     "(a password never goes on the command line)",
     OptionFace::Both, true},
    {"mqtt-ca-file", "", OptionType::Text, "", "FILE",
     "with an mqtts:// --mqtt: the certificates the broker's is\n"
     "checked against (else the system's)",
     OptionFace::Both, true},
    {"name", "", OptionType::Text, "", "NAME",
     "with --mqtt: the logger's name in the topics (else the host\n"
     "name and the working folder's name)",
     OptionFace::Both, true},
    {"serve", "", OptionType::Text, "", "[ADDR:]PORT",
     "serve a live page (/), read-only JSON (/api/status,\n"
     "/api/samples, /api/history), Server-Sent Events (/events)\n"
     "and Prometheus metrics (/metrics) over HTTP on PORT; ADDR\n"
     "is 127.0.0.1 unless named (0.0.0.0:8080 serves every\n"
     "address, [::1]:8080 IPv6). Only GET and HEAD are answered.\n"
     "A port in use is one message, and logging goes on without\n"
     "the page",
     OptionFace::Both, true},
    {"serve-token-file", "", OptionType::Text, "", "FILE",
     "with --serve: every request needs the token, the file's first\n"
     "line, as \"Authorization: Bearer TOKEN\" or ?token=TOKEN",
     OptionFace::Both, true},
    {"help", "-h", OptionType::Flag, "no", "", "this text", OptionFace::Both, false},
    {"version", "", OptionType::Flag, "no", "", "the version", OptionFace::Both, false},
};

bool on(const OptionValues& values, std::string_view name) {
    const auto it = values.find(name);
    return it != values.end() && it->second == "yes";
}

ProgramOptions refused(std::string error) {
    ProgramOptions options;
    options.mode = ProgramOptions::Mode::Error;
    options.error = std::move(error);
    return options;
}

// --analyze and the options that go with it. It reads nothing of
// quillstone.conf and goes with neither face.
ProgramOptions analysisOptions(const OptionValues& line, const std::string& file) {
    for (const char* face : {"headless", "quiet", "own-folder"})
        if (line.contains(face)) return refused(std::string("--analyze goes without --") + face + " (see --help)");
    if (file.empty()) return refused("--analyze needs the name of a data file (see --help)");
    ProgramOptions options;
    options.mode = ProgramOptions::Mode::Analyze;
    options.analysis.file = file;
    options.analysis.alternate = on(line, "alternate");
    if (const auto format = line.find("format"); format != line.end()) {
        const std::optional<AnalysisFormat> f = AnalysisFormatNamed(format->second);
        if (!f) return refused("--format " + format->second + ": the value is not text, csv or json (see --help)");
        options.analysis.format = *f;
    }
    if (const auto taus = line.find("taus"); taus != line.end()) {
        const std::optional<std::vector<long long>> factors = ParseAveragingFactors(taus->second);
        if (!factors)
            return refused("--taus " + taus->second +
                           ": the value is not whole numbers of at least 1 separated by commas (see --help)");
        options.analysis.factors = *factors;
    }
    return options;
}

// --mqtt and the options that go with it.
std::string publishingOptions(const OptionValues& values, PublishingOptions& publishing) {
    const std::string& url = values.at("mqtt");
    if (url.empty()) {
        for (const char* name : {"mqtt-password-file", "mqtt-ca-file", "name"})
            if (!values.at(name).empty()) return std::string("--") + name + " goes with --mqtt (see --help)";
        return {};
    }
    auto address = ParseMqttAddress(url);
    if (auto* error = std::get_if<std::string>(&address)) return *error;
    publishing.address = std::get<MqttAddress>(address);
    publishing.passwordFile = values.at("mqtt-password-file");
    publishing.caFile = values.at("mqtt-ca-file");
    publishing.name = values.at("name");
    if (!publishing.name.empty() && !IsTopicLevel(publishing.name))
        return "--name " + publishing.name + ": a name may not hold /, + or # (see --help)";
    return {};
}

// --serve and the option that goes with it.
std::string servingOptions(const OptionValues& values, ServingOptions& serving) {
    const std::string& text = values.at("serve");
    if (text.empty()) {
        if (!values.at("serve-token-file").empty()) return "--serve-token-file goes with --serve (see --help)";
        return {};
    }
    auto address = ParseServeAddress(text);
    if (auto* error = std::get_if<std::string>(&address)) return *error;
    serving.address = std::get<ServeAddress>(address);
    serving.tokenFile = values.at("serve-token-file");
    return {};
}

}  // namespace

std::span<const OptionSpec> ProgramOptions::table() { return kOptions; }

std::span<const OptionSpec> ProgramOptions::fileTable() {
    static const std::vector<OptionSpec> keys = [] {
        std::vector<OptionSpec> all(std::begin(kOptions), std::end(kOptions));
        all.insert(all.end(), KeptSettingKeys().begin(), KeptSettingKeys().end());
        return all;
    }();
    return keys;
}

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
    if (const auto analyze = line.values.find("analyze"); analyze != line.values.end())
        return analysisOptions(line.values, analyze->second);
    for (const char* name : {"alternate", "format", "taus"})
        if (line.values.contains(name)) return refused(std::string("--") + name + " goes with --analyze (see --help)");
    OptionRead file;
    if (fileBytes) file = ReadOptionsFile(fileTable(), *fileBytes, kOptionsFileName);
    std::string keptWhy;
    if (!file.error) {
        if (std::optional<KeptSettings> kept = ReadKeptSettings(file.values, keptWhy)) options.kept = *kept;
        else file.error = std::string(kOptionsFileName) + ": " + keptWhy;
    }
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
    options.ownFolder = on(line.values, "own-folder");
    options.quiet = headless && on(values, "quiet");
    if (std::string error = publishingOptions(values, options.publishing); !error.empty()) return refused(error);
    if (std::string error = servingOptions(values, options.serving); !error.empty()) return refused(error);
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

bool ProgramOptions::writeKept(const KeptSettings& kept) {
    std::string error;
    const std::optional<std::string> bytes = readFile(error);
    if (!error.empty()) return false;
    return ReplaceFileContents(kOptionsFileName, UpdateOptionsFile(bytes.value_or(""), KeptSettingValues(kept)));
}

std::string ProgramOptions::versionText() { return "quillstone " + version() + "\n"; }

std::string ProgramOptions::version() { return QUILLSTONE_VERSION; }

std::string ProgramOptions::helpText() {
    return "Usage: quillstone [--headless [--quiet]] [--own-folder]\n"
           "                  [--mqtt URL [--mqtt-password-file FILE]\n"
           "                  [--mqtt-ca-file FILE] [--name NAME]]\n"
           "                  [--serve [ADDR:]PORT [--serve-token-file FILE]]\n"
           "       quillstone --analyze FILE [--alternate] [--format text|csv|json] [--taus M1,M2,...]\n"
           "       quillstone --help | --version\n"
           "\n"
           "The KISS-488 GPIB Quillstone Logger " QUILLSTONE_VERSION
           ": polls a bench instrument on a GPIB bus\n"
           "through a KISS-488 GPIB-to-LAN adapter (Telnet), and logs every reply as a\n"
           "sample with its running mean and RC filter. Without options it opens its window.\n"
           "\n"
           "Files, in the working directory (with --own-folder ~/Quillstone):\n"
           "  config.txt       the 23 settings: read at start, written when the logger ends\n"
           "  quillstone.conf  optional: the options below as \"key = value\" lines (\"#\"\n"
           "                   starts a comment); the command line wins. The window keeps\n"
           "                   command-mode, legend, join-gaps and window there too\n"
           "  Data.txt         one line per sample, appended (the name is a setting)\n"
           "  Results.txt      the raw conversation, when \"Save Raw GPIB Results\" is ticked\n"
           "\n" +
           OptionsHelp(table());
}

}  // namespace qs
