// The settings file meets the window: its values go into the controls at
// start-up and come out of them at close.
#include <variant>

#include "link/PollArithmetic.h"
#include "platform/Conversions.h"
#include "window/ControlInventory.h"
#include "window/Settings.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// Putting a value into a control is what the user's change would do: a check
// box whose state changes runs its click handler, an edit box whose text
// changes its change handler, and an equal value runs nothing. No exit
// handler runs, so the values read are not range-checked here. An error
// raised by a change handler leaves the lines after it unapplied.
void TGPIBTelnet::LoadSettings() {
    const std::optional<Settings> settings = ReadSettingsFile(kSettingsFileName);
    if (!settings) return;
    const ControlInventory inventory(*this);
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const std::optional<SettingValue>& value = settings->values[i];
        // A file that ended early leaves the rest of the controls as they are.
        if (!value) continue;
        const ControlEntry* entry = inventory.find(SettingSlots()[i].control);
        if (const bool* checked = std::get_if<bool>(&*value))
            entry->checkBox()->setChecked(*checked);
        else
            entry->edit()->setText(std::get<std::string>(*value));
    }
    const double seconds = StrToFloat(IntervalBox.text());
    Timer1.setInterval(SecondsToMs(seconds));
    Timer3.setInterval(SecondsToMs(seconds));
    State.IntervalSeconds = seconds;
}

// Every value is written at every close, changed or not. A file that cannot
// be replaced keeps its old content, and closing goes on.
void TGPIBTelnet::SaveSettings() {
    const ControlInventory inventory(*this);
    Settings settings;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const ControlEntry* entry = inventory.find(SettingSlots()[i].control);
        if (SettingSlots()[i].kind == SettingKind::Flag)
            settings.values[i] = entry->checkBox()->checked();
        else
            settings.values[i] = entry->edit()->text();
    }
    ReplaceFileContents(kSettingsFileName, FormatSettings(settings));
}

}  // namespace qs
