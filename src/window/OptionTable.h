#pragma once
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qs {

// The program's options beyond config.txt's 23 lines, written once as a
// table and read from the command line and from an optional settings file
// of `key = value` lines. config.txt stays the window's; this is where
// everything else is kept.

enum class OptionType {
    Flag,     // on the command line by its presence; "yes" or "no" in the file
    Text,     // any text
    Integer,  // a whole number, optionally signed
};

// Which face of the program reads an option: the window, the headless
// logger, both, or the analysis of a data file, which is neither.
enum class OptionFace { Window = 1, Headless = 2, Both = 3, Analysis = 4 };

struct OptionSpec {
    std::string_view name;       // "--name" on the command line, "name = ..." in the file
    std::string_view shortName;  // "-h"; empty when none
    OptionType type;
    std::string_view defaultValue;  // the value when neither sets it ("no" for a flag)
    std::string_view valueName;     // what --help calls the value ("PORT"); empty for a flag
    std::string_view help;          // for --help and the manual; '\n' breaks its lines
    OptionFace face;
    bool inFile;  // may be set in the settings file (--help and --version may not)
};

// Option values by name, each as text (a flag "yes" or "no").
using OptionValues = std::map<std::string, std::string, std::less<>>;

// What one source set, or why it is refused: the first fault, one line
// starting with where it is ("quillstone.conf:3: ...").
struct OptionRead {
    OptionValues values;
    std::optional<std::string> error;
};

// The command line: `--name`, `--name VALUE`, `--name=VALUE`, or a short
// name. Unknown options and bad values are refused.
OptionRead ReadCommandLine(std::span<const OptionSpec> table, const std::vector<std::string>& args);

// The settings file's bytes: `key = value` lines, blanks around either
// trimmed, `#` starting a comment line, empty lines ignored. Unknown keys,
// keys the file may not set, lines without `=` and bad values are refused
// with the file's name and the line number.
OptionRead ReadOptionsFile(std::span<const OptionSpec> table, std::string_view bytes, std::string_view fileName);

// Every option of the table: the default, then what the file set, then
// what the command line set (the command line wins).
OptionValues MergeOptions(std::span<const OptionSpec> table, const OptionValues& fromFile,
                          const OptionValues& fromCommandLine);

// The settings file's bytes with the given keys set: a key already there
// keeps its line's place, a new one is added at the end, and every other
// line (a person's comments, keys the program does not own) stays as it
// was. Line ends follow the file's first line (LF when it has none).
std::string UpdateOptionsFile(std::string_view bytes, const OptionValues& owned);

// The "Options:" block of --help: each option with its value name, its
// help text beside it from column 16, its further lines indented as far.
std::string OptionsHelp(std::span<const OptionSpec> table);

// The entry of the option called name, or null.
const OptionSpec* FindOption(std::span<const OptionSpec> table, std::string_view name);

}  // namespace qs
