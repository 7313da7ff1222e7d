#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qs {

// The settings file "config.txt": the window's 23 editable values, one per
// line, a line's meaning being its position. No keys, no header, no version.

enum class SettingKind {
    Text,  // an edit box's text, kept verbatim
    Flag,  // a check box's checked state, "1" or "0"
};

struct SettingSlot {
    std::string_view control;  // name of the control the line belongs to
    SettingKind kind;
};

inline constexpr std::size_t kSettingCount = 23;

// The settings file, in the working directory.
inline constexpr const char* kSettingsFileName = "config.txt";

// The 23 positions in file order (line 1 is HostBox, line 23 AbsoluteCheckBox).
const std::array<SettingSlot, kSettingCount>& SettingSlots();

// A text for a Text slot, a checked state for a Flag slot.
using SettingValue = std::variant<std::string, bool>;

// The record of the 23 values in file order. A value is absent when the file
// it was read from ended before its line: its control keeps what it holds.
struct Settings {
    std::array<std::optional<SettingValue>, kSettingCount> values;
};

// Reads the values from the bytes of a settings file. Lines end with LF or
// CR LF; a line is read whole, however long (the file's writer never cut a
// text, so neither does its reader, and a long text cannot spill into the
// next position). A flag is checked when the C library's atol of its line is
// not zero. Lines after the 23rd are ignored.
Settings ParseSettings(std::string_view bytes);

// The bytes of a settings file: 23 lines, each ended by CR LF whatever the
// platform. A text is written verbatim, except that a CR or LF inside it is
// written as a blank so that it cannot shift the lines after it; a flag is
// "1" or "0"; an absent value gives an empty line (a text) or "0" (a flag).
std::string FormatSettings(const Settings& settings);

// The whole settings file; nullopt when it cannot be opened or read.
std::optional<Settings> ReadSettingsFile(const std::string& path);

// Replaces the file's content so that no crash, full disk or failed write can
// ever leave it truncated: the bytes go to a temporary file in the same
// folder, are flushed to the disk, and only then does the temporary take the
// file's name. On a failed write the temporary is removed, the old file stays
// as it was, and the result is false. Where no temporary can be made or
// renamed (a folder the user may not write, holding a file the user may),
// the file is rewritten in place, which is what can be done there. A file
// that may not be written (no write bit, or none for this user) is left as
// it is, and the result is false. A path
// that is a symbolic link replaces the file the link leads to, in that
// file's folder, and the link stays.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// The temporary file that ReplaceFileContents writes for path, in path's
// folder and unique to this process.
std::string TemporaryFileFor(const std::string& path);

}  // namespace qs
