#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/ChannelRouting.h"
#include "window/OptionTable.h"

namespace qs {

class TGPIBTelnet;

// What a person sets that config.txt has no line for (its 23 lines stay as
// they are): the command mode, the chart menu's switches and the window's
// place. They are kept in the settings file beside config.txt, among the
// options, as `key = value` lines the program writes back at every close.

// The window's place on the desktop, in pixels of the desktop.
struct WindowPlace {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct KeptSettings {
    CommandMode commandMode = CommandMode::Command1;
    bool legend = true;
    bool joinGaps = false;
    std::optional<WindowPlace> place;  // none: the window's own first size
    friend bool operator==(const KeptSettings&, const KeptSettings&) = default;
};

// The kept keys as the settings file's reader knows them: in the file only,
// never on the command line.
std::span<const OptionSpec> KeptSettingKeys();

// The kept settings among what the settings file set (keys it did not set
// keep their defaults); nullopt and why (one line naming the key) when a
// value means nothing.
std::optional<KeptSettings> ReadKeptSettings(const OptionValues& fromFile, std::string& why);
// The kept settings as the file's values, for UpdateOptionsFile.
OptionValues KeptSettingValues(const KeptSettings& kept);

// "command-1", "command-2", "alternate"; nullopt for any other text.
std::string_view CommandModeName(CommandMode mode);
std::optional<CommandMode> CommandModeNamed(std::string_view name);
// "X,Y,WIDTH,HEIGHT", each a whole number, the sizes above zero.
std::string FormatWindowPlace(const WindowPlace& place);
std::optional<WindowPlace> ParseWindowPlace(std::string_view text);

// Ticks the radio button of the mode, as the person's click would.
void SetCommandMode(TGPIBTelnet& window, CommandMode mode);

}  // namespace qs
