#pragma once
#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace qs::test {

// The name of a locale whose decimal separator is a comma, usable by
// setlocale here and by child processes; empty when the machine cannot give
// one. `make deps` generates de_DE.UTF-8; where that has not run, it is
// compiled from the system's locale sources into a private folder that
// LOCPATH names, so the locale tests still run.
inline std::string GermanLocale() {
    static const char* const kName = "de_DE.UTF-8";
    auto usable = [] {
        locale_t l = newlocale(LC_ALL_MASK, kName, nullptr);
        if (!l) return false;
        freelocale(l);
        return true;
    };
    if (usable()) return kName;

    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path() / ("quillstone-locales-" + std::to_string(::getuid()));
    const fs::path target = dir / kName;
    if (!fs::exists(target / "LC_NUMERIC", ec)) {
        // Compiled beside the target and renamed, so parallel tests never
        // see half a locale.
        const fs::path scratch = dir / ("build-" + std::to_string(::getpid()));
        fs::create_directories(scratch, ec);
        const std::string command =
            "localedef -c -i de_DE -f UTF-8 '" + (scratch / kName).string() + "' >/dev/null 2>&1";
        [[maybe_unused]] const int status = std::system(command.c_str());
        fs::rename(scratch / kName, target, ec);
        fs::remove_all(scratch, ec);
    }
    ::setenv("LOCPATH", dir.c_str(), 1);
    return usable() ? kName : std::string();
}

// Runs the C library in the German locale while it lives (numbers with a
// decimal comma), as a German user's desktop session does.
class GermanLocaleScope {
public:
    GermanLocaleScope() {
        const std::string name = GermanLocale();
        active_ = !name.empty() && ::setlocale(LC_ALL, name.c_str()) != nullptr;
    }
    ~GermanLocaleScope() { ::setlocale(LC_ALL, "C"); }
    GermanLocaleScope(const GermanLocaleScope&) = delete;
    GermanLocaleScope& operator=(const GermanLocaleScope&) = delete;

    bool active() const { return active_ && localeconv()->decimal_point[0] == ','; }

private:
    bool active_ = false;
};

}  // namespace qs::test
