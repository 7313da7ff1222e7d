#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "publish/MqttAddress.h"
#include "serve/ServeAddress.h"
#include "window/DataFileAnalysis.h"
#include "window/KeptSettings.h"
#include "window/OptionTable.h"

namespace qs {

// The optional settings file beside config.txt, for everything beyond its
// 23 lines.
inline constexpr const char* kOptionsFileName = "quillstone.conf";

// --mqtt and what goes with it; no address when there is no --mqtt.
struct PublishingOptions {
    std::optional<MqttAddress> address;
    std::string passwordFile;
    std::string caFile;
    std::string name;  // empty: the host name and the working folder's name
};

// --serve and what goes with it; no address when there is no --serve.
struct ServingOptions {
    std::optional<ServeAddress> address;
    std::string tokenFile;  // empty: no token asked for
};

// The options of quillstone, from its command line and quillstone.conf.
// Without options it is the window.
struct ProgramOptions {
    enum class Mode { Window, Headless, Analyze, Help, Version, Error };
    Mode mode = Mode::Window;
    bool quiet = false;  // --headless: no line per sample
    // Window and Headless: work in ~/Quillstone (see EnterOwnFolder); the
    // command line's alone, as quillstone.conf lies in the folder it names.
    bool ownFolder = false;
    AnalysisRequest analysis;  // Mode::Analyze: what --analyze and its options ask for
    PublishingOptions publishing;  // Window and Headless
    ServingOptions serving;        // Window and Headless
    std::string error;   // Mode::Error: what was wrong on the command line, one line
    // What was wrong in quillstone.conf, one line with its number: the
    // headless logger ends on it, the window shows it once and goes on
    // without the file.
    std::optional<std::string> fileError;
    // What the window keeps in quillstone.conf beside the options (the
    // defaults when the file is refused); the headless logger takes the
    // command mode from it.
    KeptSettings kept;

    // The one table every reader, --help, the manual page and the README
    // follow.
    static std::span<const OptionSpec> table();
    // What quillstone.conf may hold: the table's options and the kept settings.
    static std::span<const OptionSpec> fileTable();
    // fileBytes: quillstone.conf's content, nullopt when there is none.
    static ProgramOptions parse(const std::vector<std::string>& args,
                                std::optional<std::string_view> fileBytes = std::nullopt);
    // quillstone.conf from the working directory; nullopt when there is
    // none, an error text when it is there and cannot be read.
    static std::optional<std::string> readFile(std::string& error);
    // Writes the kept settings into quillstone.conf in the working
    // directory (made when there is none), every other line as it was;
    // false when the file cannot be read or replaced.
    static bool writeKept(const KeptSettings& kept);
    // One screen: what the program does, its files, its options.
    static std::string helpText();
    static std::string versionText();
    static std::string version();  // "1.2.0"
};

}  // namespace qs
