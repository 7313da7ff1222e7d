#include "window/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "core/CNumbers.h"
#include "core/TextFile.h"

namespace qs {
namespace {

using K = SettingKind;

constexpr std::array<SettingSlot, kSettingCount> kSlots{{
    {"HostBox", K::Text},
    {"IntervalBox", K::Text},
    {"CommandBox", K::Text},
    {"CommandBox2", K::Text},
    {"DisplayDataBox", K::Flag},
    {"DisplayMeanBox", K::Flag},
    {"MeanBox", K::Text},
    {"ScrollBox", K::Text},
    {"DeleteFirstCheckBox", K::Flag},
    {"AutoReconnect", K::Flag},
    {"FilterCheckbox", K::Flag},
    {"FilterPoints", K::Text},
    {"BoldRaw", K::Flag},
    {"BoldMean", K::Flag},
    {"BoldFilter", K::Flag},
    {"SamplesPerPrintedPage", K::Text},
    {"TextFileBox", K::Text},
    {"HintBox", K::Flag},
    {"MinStringBox", K::Text},
    {"SaveResultsBox", K::Flag},
    {"TimeOutBox", K::Text},
    {"StrandedCheckBox", K::Flag},
    {"AbsoluteCheckBox", K::Flag},
}};

// The bytes of a file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::string bytes;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0) bytes.append(buf, n);
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}

// Makes the rename itself durable; a folder that cannot be synced leaves the
// new file in place all the same, so this is best effort.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

const std::array<SettingSlot, kSettingCount>& SettingSlots() { return kSlots; }

Settings ParseSettings(std::string_view bytes) {
    Settings settings;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < kSettingCount && pos < bytes.size(); ++i) {
        std::size_t end = bytes.find('\n', pos);
        std::string_view line = bytes.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        pos = end == std::string_view::npos ? bytes.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (kSlots[i].kind == K::Flag)
            settings.values[i] = CAtol(line) != 0;
        else
            settings.values[i] = std::string(line);
    }
    return settings;
}

std::string FormatSettings(const Settings& settings) {
    std::string out;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const std::optional<SettingValue>& value = settings.values[i];
        if (kSlots[i].kind == K::Flag) {
            const bool* checked = value ? std::get_if<bool>(&*value) : nullptr;
            out += checked && *checked ? "1" : "0";
        } else if (const std::string* text = value ? std::get_if<std::string>(&*value) : nullptr) {
            for (char c : *text) out += (c == '\r' || c == '\n') ? ' ' : c;
        }
        out += "\r\n";
    }
    return out;
}

std::optional<Settings> ReadSettingsFile(const std::string& path) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return ParseSettings(*bytes);
}

std::string TemporaryFileFor(const std::string& path) { return path + "." + std::to_string(::getpid()) + ".tmp"; }

namespace {

// The file a path names once every symbolic link on its last component has
// been followed (the path itself when it is no link); a link to a missing
// file gives the missing file's name.
std::string FileBehindLinks(const std::string& path) {
    std::string current = path;
    // As many links as the system itself follows; a loop ends here too.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return current;
        target.resize(static_cast<std::size_t>(n));
        // A relative target is named from the link's own folder.
        const std::size_t slash = current.find_last_of('/');
        current = target.front() == '/' || slash == std::string::npos ? target : current.substr(0, slash + 1) + target;
    }
    return current;
}

// The safe way: a temporary beside the file, written, flushed and renamed
// over it. Nothing yet when the temporary cannot be created or cannot take
// the file's name (NotPossible); a write that fails (Failed) removes it.
enum class SafeReplace { Done, NotPossible, Failed };

SafeReplace replaceByRename(const std::string& path, std::string_view bytes) {
    const std::string temporary = TemporaryFileFor(path);
    // A file of this name can only be left over from an earlier process with
    // the same id that died while saving.
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return SafeReplace::NotPossible;

    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    struct stat old {};
    // The replacement keeps the permissions the user gave the old file.
    if (ok && ::stat(path.c_str(), &old) == 0) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temporary.c_str());
        return SafeReplace::Failed;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return SafeReplace::NotPossible;
    }
    syncFolderOf(path);
    return SafeReplace::Done;
}

// Puts bytes at the start of the open file and cuts it off after them.
bool rewrite(int fd, std::string_view bytes) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
}

// The file rewritten where it stands, for a folder in which no temporary can
// be made. It is not truncated first: the new bytes go over the old ones and
// the rest is cut off after them, so a write that fails part-way can still
// put the old content back, which is tried.
bool replaceInPlace(const std::string& path, std::string_view bytes) {
    const std::optional<std::string> old = ReadWholeFile(path);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = rewrite(fd, bytes) && ::fsync(fd) == 0;
    // Best effort: if this fails too, the file holds what the failed write left.
    if (!ok && old) rewrite(fd, *old);
    ok = ::close(fd) == 0 && ok;
    return ok;
}

// A file made read-only pins what it holds. The safe way needs only the
// folder to be writable, so the file's own permission is asked first. Root
// may write any file (access says so), but a file without a single write bit
// was made read-only on purpose, by root as by anyone: that is honoured too.
bool mayNotBeWritten(const std::string& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(file.c_str(), W_OK) != 0;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    // Through a symbolic link the file behind it is replaced, in its own
    // folder, and the link stays a link.
    const std::string file = FileBehindLinks(path);
    if (mayNotBeWritten(file)) return false;
    switch (replaceByRename(file, bytes)) {
    case SafeReplace::Done: return true;
    case SafeReplace::Failed: return false;
    case SafeReplace::NotPossible: break;
    }
    return replaceInPlace(file, bytes);
}

}  // namespace qs
