#include "window/UnattendedSettings.h"

#include <functional>
#include <string_view>
#include <variant>

#include "link/LinkTarget.h"
#include "platform/Conversions.h"
#include "platform/Exception.h"

namespace qs {

namespace {

void ConvertsUnlessEmpty(const std::string& text) {
    if (!text.empty()) StrToInt(text);
}

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
         // Start would refuse it with the same words.
         ParseLinkTarget(t);
     }},
    {"IntervalBox",
     [](const std::string& t) {
         if (!(StrToFloat(t) > 0.0)) throw Exception("the interval must be more than 0 seconds");
     }},
    // Start converts it; an empty text does not convert.
    {"TimeOutBox", [](const std::string& t) { StrToInt(t); }},
    // Converted at every reply; an empty text does not convert either.
    {"MinStringBox", [](const std::string& t) { StrToInt(t); }},
    // Read as the window reads them: MeanBoxChange leaves an empty box
    // alone (the mean keeps its window), a sample reads an empty FilterPoints
    // as 1; any other text must convert. ScrollBox is read quietly at
    // start-up (a text that does not convert keeps the whole chart) and only
    // leaving the box reports it: nothing there keeps the logger from logging.
    {"MeanBox", [](const std::string& t) { ConvertsUnlessEmpty(t); }},
    {"FilterPoints", [](const std::string& t) { ConvertsUnlessEmpty(t); }},
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
