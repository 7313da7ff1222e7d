#include "window/OptionTable.h"

#include <algorithm>
#include <cctype>

namespace qs {

namespace {

constexpr std::size_t kHelpColumn = 16;

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// A flag's value as the table keeps it, "yes" or "no"; nullopt when the
// text means neither.
std::optional<std::string> flagValue(std::string_view text) {
    static constexpr std::string_view kYes[] = {"yes", "true", "on", "1"};
    static constexpr std::string_view kNo[] = {"no", "false", "off", "0"};
    if (std::find(std::begin(kYes), std::end(kYes), text) != std::end(kYes)) return "yes";
    if (std::find(std::begin(kNo), std::end(kNo), text) != std::end(kNo)) return "no";
    return std::nullopt;
}

bool isInteger(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value as kept, or why it does not fit the option.
std::optional<std::string> checkedValue(const OptionSpec& option, std::string_view text, std::string& why) {
    switch (option.type) {
        case OptionType::Flag:
            if (auto v = flagValue(text)) return v;
            why = "is not yes or no";
            return std::nullopt;
        case OptionType::Integer:
            if (isInteger(text)) return std::string(text);
            why = "is not a whole number";
            return std::nullopt;
        case OptionType::Text: return std::string(text);
    }
    return std::nullopt;
}

std::string lineEndOf(std::string_view bytes) {
    const std::size_t lf = bytes.find('\n');
    return lf != std::string_view::npos && lf > 0 && bytes[lf - 1] == '\r' ? "\r\n" : "\n";
}

// The key of a `key = value` line, empty for a comment or a line without one.
std::string_view keyOf(std::string_view line) {
    const std::string_view t = trimmed(line);
    if (t.empty() || t.front() == '#') return {};
    const std::size_t eq = t.find('=');
    return eq == std::string_view::npos ? std::string_view{} : trimmed(t.substr(0, eq));
}

}  // namespace

const OptionSpec* FindOption(std::span<const OptionSpec> table, std::string_view name) {
    for (const OptionSpec& option : table)
        if (option.name == name) return &option;
    return nullptr;
}

OptionRead ReadCommandLine(std::span<const OptionSpec> table, const std::vector<std::string>& args) {
    OptionRead read;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string_view word = arg;
        std::optional<std::string_view> attached;
        if (const std::size_t eq = word.find('='); word.starts_with("--") && eq != std::string_view::npos) {
            attached = word.substr(eq + 1);
            word = word.substr(0, eq);
        }
        const OptionSpec* option = nullptr;
        for (const OptionSpec& s : table)
            if ((word.starts_with("--") && word.substr(2) == s.name) || (!s.shortName.empty() && word == s.shortName))
                option = &s;
        if (!option) {
            read.error = "unknown option " + arg + " (see --help)";
            return read;
        }
        std::string text;
        if (attached) text = *attached;
        else if (option->type == OptionType::Flag) text = "yes";
        else if (i + 1 < args.size()) text = args[++i];
        else {
            read.error = "--" + std::string(option->name) + " needs a value (see --help)";
            return read;
        }
        std::string why;
        const std::optional<std::string> value = checkedValue(*option, text, why);
        if (!value) {
            read.error = "--" + std::string(option->name) + " " + text + ": the value " + why + " (see --help)";
            return read;
        }
        read.values[std::string(option->name)] = *value;
    }
    return read;
}

OptionRead ReadOptionsFile(std::span<const OptionSpec> table, std::string_view bytes, std::string_view fileName) {
    OptionRead read;
    int number = 0;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const std::string_view line = bytes.substr(0, lf);
        bytes = lf == std::string_view::npos ? std::string_view{} : bytes.substr(lf + 1);
        ++number;
        const std::string_view t = trimmed(line);
        if (t.empty() || t.front() == '#') continue;
        const std::string where = std::string(fileName) + ":" + std::to_string(number) + ": ";
        const std::size_t eq = t.find('=');
        if (eq == std::string_view::npos) {
            read.error = where + "not a \"key = value\" line";
            return read;
        }
        const std::string_view key = trimmed(t.substr(0, eq));
        const std::string_view text = trimmed(t.substr(eq + 1));
        const OptionSpec* option = FindOption(table, key);
        if (!option) {
            read.error = where + "unknown key \"" + std::string(key) + "\"";
            return read;
        }
        if (!option->inFile) {
            read.error = where + "\"" + std::string(key) + "\" goes on the command line only";
            return read;
        }
        std::string why;
        const std::optional<std::string> value = checkedValue(*option, text, why);
        if (!value) {
            read.error = where + std::string(key) + " = " + std::string(text) + ": the value " + why;
            return read;
        }
        read.values[std::string(key)] = *value;
    }
    return read;
}

OptionValues MergeOptions(std::span<const OptionSpec> table, const OptionValues& fromFile,
                          const OptionValues& fromCommandLine) {
    OptionValues merged;
    for (const OptionSpec& option : table) {
        const std::string name(option.name);
        if (auto c = fromCommandLine.find(name); c != fromCommandLine.end()) merged[name] = c->second;
        else if (auto f = fromFile.find(name); f != fromFile.end()) merged[name] = f->second;
        else merged[name] = option.defaultValue;
    }
    return merged;
}

std::string UpdateOptionsFile(std::string_view bytes, const OptionValues& owned) {
    const std::string end = lineEndOf(bytes);
    std::string out;
    OptionValues left = owned;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        const bool ended = lf != std::string_view::npos;
        std::string_view line = bytes.substr(0, lf);
        bytes = ended ? bytes.substr(lf + 1) : std::string_view{};
        const std::string_view key = keyOf(line);
        if (auto it = left.find(key); !key.empty() && it != left.end()) {
            out += it->first + " = " + it->second + end;
            left.erase(it);
            continue;
        }
        out += line;
        // A last line without its end gets one, so that a key added after
        // it starts on a line of its own.
        if (ended || !left.empty()) out += ended ? "\n" : end;
    }
    for (const auto& [key, value] : left) out += key + " = " + value + end;
    return out;
}

std::string OptionsHelp(std::span<const OptionSpec> table) {
    std::string out = "Options:\n";
    for (const OptionSpec& option : table) {
        std::string label = "  --" + std::string(option.name);
        if (!option.valueName.empty()) label += " " + std::string(option.valueName);
        out += label;
        if (label.size() + 1 > kHelpColumn) out += "\n" + std::string(kHelpColumn, ' ');
        else out += std::string(kHelpColumn - label.size(), ' ');
        for (char c : option.help) {
            out += c;
            if (c == '\n') out += std::string(kHelpColumn, ' ');
        }
        out += '\n';
    }
    return out;
}

}  // namespace qs
