#pragma once
#include <string>
#include <vector>

namespace qs {

// The command line of quillstone. Without options it is the window.
struct ProgramOptions {
    enum class Mode { Window, Headless, Help, Version, Error };
    Mode mode = Mode::Window;
    bool quiet = false;      // --headless: no line per sample
    std::string error;       // Mode::Error: what was wrong, one line

    static ProgramOptions parse(const std::vector<std::string>& args);
    // One screen: what the program does, its files, its options.
    static std::string helpText();
    static std::string versionText();
};

}  // namespace qs
