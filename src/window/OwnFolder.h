#pragma once
#include <string>

namespace qs {

// Started from the desktop entry, the logger works in a folder of its own in
// the home folder, so that config.txt, the data file, "Results.txt" and the
// saved charts never land among a person's other files. Started from a
// shell it stays in the folder it was started in.

// The folder's name in the home folder.
inline constexpr const char* kOwnFolderName = "Quillstone";

struct OwnFolder {
    std::string path;   // the folder now worked in; empty on an error
    std::string error;  // why it could not be entered, one line; empty when it was
};

// Makes home/Quillstone when it is not there (home is HOME's value, null
// when HOME is unset) and makes it the working directory. On an error the
// working directory stays as it was.
OwnFolder EnterOwnFolder(const char* home);

// What the status bar says of the folder: "Working in /home/ann/Quillstone".
std::string WorkingFolderNotice(const std::string& folder);

}  // namespace qs
