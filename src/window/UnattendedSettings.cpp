#include "window/UnattendedSettings.h"

#include <functional>
#include <string_view>
#include <variant>

#include "platform/Conversions.h"
#include "platform/Exception.h"

namespace qs {

namespace {

// The texts the logger converts while it runs, and how.
struct Rule {
    std::string_view control;
    std::function<void(const std::string&)> check;
};

// The adapter's design address is a placeholder: a file without an address
// names no adapter at all.
constexpr std::string_view kRequired = "HostBox";

const Rule kRules[] = {
    {"HostBox",
     [](const std::string& t) {
         if (t.find_first_not_of(" \t") == std::string::npos) throw Exception("no adapter address");
     }},
    {"IntervalBox",
     [](const std::string& t) {
         if (!(StrToFloat(t) > 0.0)) throw Exception("the interval must be more than 0 seconds");
     }},
    {"TimeOutBox", [](const std::string& t) { StrToInt(t); }},
    {"MinStringBox", [](const std::string& t) { StrToInt(t); }},
    {"MeanBox", [](const std::string& t) { StrToInt(t); }},
    {"FilterPoints", [](const std::string& t) { StrToInt(t); }},
    {"ScrollBox", [](const std::string& t) { StrToInt(t); }},
};

}  // namespace

std::optional<std::string> WhyNotUnattended(const Settings& settings) {
    for (std::size_t line = 0; line < kSettingCount; ++line) {
        const std::optional<SettingValue>& value = settings.values[line];
        static const SettingValue kNone = std::string();
        if (!value && SettingSlots()[line].control != kRequired) continue;
        const std::string* text = std::get_if<std::string>(value ? &*value : &kNone);
        for (const Rule& rule : kRules) {
            if (!text || rule.control != SettingSlots()[line].control) continue;
            try {
                rule.check(*text);
            } catch (const std::exception& e) {
                return "line " + std::to_string(line + 1) + " (" + std::string(rule.control) + "): " + e.what();
            }
        }
    }
    return std::nullopt;
}

}  // namespace qs
