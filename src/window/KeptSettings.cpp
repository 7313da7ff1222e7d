#include "window/KeptSettings.h"

#include <charconv>
#include <vector>

#include "window/TGPIBTelnet.h"

namespace qs {

namespace {

constexpr std::string_view kCommandModeKey = "command-mode";
constexpr std::string_view kLegendKey = "legend";
constexpr std::string_view kJoinGapsKey = "join-gaps";
constexpr std::string_view kWindowKey = "window";

constexpr OptionSpec kKeys[] = {
    {kCommandModeKey, "", OptionType::Text, "command-1", "MODE",
     "which commands are sent: command-1, command-2 or alternate", OptionFace::Both, true},
    {kLegendKey, "", OptionType::Flag, "yes", "", "the chart's legend shown", OptionFace::Window, true},
    {kJoinGapsKey, "", OptionType::Flag, "no", "", "the chart's gaps joined", OptionFace::Window, true},
    {kWindowKey, "", OptionType::Text, "", "X,Y,WIDTH,HEIGHT", "the window's place on the desktop",
     OptionFace::Window, true},
};

struct ModeName {
    CommandMode mode;
    std::string_view name;
};
constexpr ModeName kModeNames[] = {
    {CommandMode::Command1, "command-1"},
    {CommandMode::Command2, "command-2"},
    {CommandMode::Alternate, "alternate"},
};

bool flagOn(const OptionValues& values, std::string_view key, bool otherwise) {
    const auto it = values.find(key);
    return it == values.end() ? otherwise : it->second == "yes";
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

std::span<const OptionSpec> KeptSettingKeys() { return kKeys; }

std::string_view CommandModeName(CommandMode mode) {
    for (const ModeName& m : kModeNames)
        if (m.mode == mode) return m.name;
    return kModeNames[0].name;
}

std::optional<CommandMode> CommandModeNamed(std::string_view name) {
    for (const ModeName& m : kModeNames)
        if (m.name == name) return m.mode;
    return std::nullopt;
}

std::string FormatWindowPlace(const WindowPlace& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.width) + "," +
           std::to_string(p.height);
}

std::optional<WindowPlace> ParseWindowPlace(std::string_view text) {
    std::vector<int> numbers;
    while (true) {
        const std::size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        const std::optional<int> n = wholeNumber(part);
        if (!n) return std::nullopt;
        numbers.push_back(*n);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (numbers.size() != 4 || numbers[2] <= 0 || numbers[3] <= 0) return std::nullopt;
    return WindowPlace{numbers[0], numbers[1], numbers[2], numbers[3]};
}

std::optional<KeptSettings> ReadKeptSettings(const OptionValues& fromFile, std::string& why) {
    KeptSettings kept;
    if (const auto it = fromFile.find(kCommandModeKey); it != fromFile.end()) {
        const std::optional<CommandMode> mode = CommandModeNamed(it->second);
        if (!mode) {
            why = std::string(kCommandModeKey) + " = " + it->second +
                  ": the value is not command-1, command-2 or alternate";
            return std::nullopt;
        }
        kept.commandMode = *mode;
    }
    kept.legend = flagOn(fromFile, kLegendKey, kept.legend);
    kept.joinGaps = flagOn(fromFile, kJoinGapsKey, kept.joinGaps);
    if (const auto it = fromFile.find(kWindowKey); it != fromFile.end() && !it->second.empty()) {
        kept.place = ParseWindowPlace(it->second);
        if (!kept.place) {
            why = std::string(kWindowKey) + " = " + it->second +
                  ": the value is not four whole numbers X,Y,WIDTH,HEIGHT with a size above zero";
            return std::nullopt;
        }
    }
    return kept;
}

OptionValues KeptSettingValues(const KeptSettings& kept) {
    OptionValues values;
    values[std::string(kCommandModeKey)] = std::string(CommandModeName(kept.commandMode));
    values[std::string(kLegendKey)] = kept.legend ? "yes" : "no";
    values[std::string(kJoinGapsKey)] = kept.joinGaps ? "yes" : "no";
    if (kept.place) values[std::string(kWindowKey)] = FormatWindowPlace(*kept.place);
    return values;
}

void SetCommandMode(TGPIBTelnet& window, CommandMode mode) {
    switch (mode) {
        case CommandMode::Command1: window.RadioButton1.setChecked(true); break;
        case CommandMode::Command2: window.RadioButton2.setChecked(true); break;
        case CommandMode::Alternate: window.RadioButton3.setChecked(true); break;
    }
}

}  // namespace qs
