// The window's own handlers: hints and the data folder.
#include <filesystem>
#include <system_error>

#include "window/TGPIBTelnet.h"

namespace qs {

// Every control follows the window's hint switch.
void TGPIBTelnet::HintBoxClick() { Form.setShowHint(HintBox.checked()); }

// Shows the folder that holds the data file named in TextFileBox, resolved
// against the working directory in which the file is written, as the
// button's hint promises. Without a file manager to show it the status line
// says so, rather than the click doing nothing.
void TGPIBTelnet::OpenFolderButtonClick() {
    std::error_code ec;
    // An absolute name replaces the working directory; an empty one names it.
    const std::filesystem::path file = std::filesystem::current_path(ec) / TextFileBox.text();
    std::filesystem::path folder = file.lexically_normal().parent_path();
    if (folder.empty()) folder = ".";
    if (!platform.desktop.openFolder(folder.string()))
        showDataFileNote("Cannot show the folder \"" + folder.string() + "\": no file manager answered.");
}

}  // namespace qs
