#include "window/OwnFolder.h"

#include <filesystem>
#include <system_error>

namespace qs {

OwnFolder EnterOwnFolder(const char* home) {
    namespace fs = std::filesystem;
    if (home == nullptr || *home == '\0')
        return {{}, "--own-folder: HOME is not set, so there is no home folder to work in"};
    const fs::path folder = fs::path(home) / kOwnFolderName;
    std::error_code ec;
    // create_directories accepts a folder that is already there, and only a folder.
    fs::create_directories(folder, ec);
    if (ec) return {{}, "--own-folder: cannot make the folder " + folder.string() + ": " + ec.message()};
    fs::current_path(folder, ec);
    if (ec) return {{}, "--own-folder: cannot work in " + folder.string() + ": " + ec.message()};
    return {fs::current_path(ec).string(), {}};
}

std::string WorkingFolderNotice(const std::string& folder) { return "Working in " + folder; }

}  // namespace qs
