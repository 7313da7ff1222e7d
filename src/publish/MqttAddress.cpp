#include "publish/MqttAddress.h"

#include <charconv>

namespace qs {
namespace {

constexpr const char* kForm = "mqtt://[USER@]HOST[:PORT]/PREFIX or mqtts://...";

std::string wrong(std::string_view text, const std::string& what) {
    return "--mqtt " + std::string(text) + ": " + what + " (the form is " + kForm + ")";
}

bool isWildcard(char c) { return c == '+' || c == '#'; }

}  // namespace

std::variant<MqttAddress, std::string> ParseMqttAddress(std::string_view text) {
    MqttAddress a;
    std::string_view rest = text;
    if (rest.starts_with("mqtt://")) {
        rest.remove_prefix(7);
    } else if (rest.starts_with("mqtts://")) {
        rest.remove_prefix(8);
        a.tls = true;
        a.port = 8883;
    } else {
        return wrong(text, "it does not begin with mqtt:// or mqtts://");
    }
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return wrong(text, "the topic prefix is missing");
    std::string_view authority = rest.substr(0, slash);
    const std::string_view prefix = rest.substr(slash + 1);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        a.user = std::string(authority.substr(0, at));
        authority.remove_prefix(at + 1);
        if (a.user.empty()) return wrong(text, "the user before @ is empty");
    }
    std::string_view port;
    if (authority.starts_with('[')) {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return wrong(text, "the [ of an IPv6 address is not closed");
        a.host = std::string(authority.substr(1, close - 1));
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && !after.starts_with(':')) return wrong(text, "only :PORT may follow the ]");
        if (!after.empty()) port = after.substr(1);
        if (!after.empty() && port.empty()) return wrong(text, "the port after : is empty");
    } else if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
        a.host = std::string(authority.substr(0, colon));
        port = authority.substr(colon + 1);
        if (port.empty()) return wrong(text, "the port after : is empty");
    } else {
        a.host = std::string(authority);
    }
    if (a.host.empty()) return wrong(text, "the broker's host is missing");
    if (!port.empty()) {
        unsigned value = 0;
        const auto r = std::from_chars(port.data(), port.data() + port.size(), value);
        if (r.ec != std::errc() || r.ptr != port.data() + port.size() || value < 1 || value > 65535)
            return wrong(text, "the port is not a whole number from 1 to 65535");
        a.port = static_cast<std::uint16_t>(value);
    }
    if (prefix.empty() || prefix.starts_with('/') || prefix.ends_with('/') ||
        prefix.find("//") != std::string_view::npos)
        return wrong(text, "the topic prefix is empty or has an empty level");
    for (const char c : prefix)
        if (isWildcard(c) || static_cast<unsigned char>(c) < 0x20)
            return wrong(text, "the topic prefix may not hold + # or control characters");
    a.prefix = std::string(prefix);
    return a;
}

bool IsTopicLevel(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (c == '/' || isWildcard(c) || static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

std::string TopicLevel(std::string_view text) {
    std::string level;
    for (const char c : text)
        level += c == '/' || c == ' ' || isWildcard(c) || static_cast<unsigned char>(c) < 0x20 ? '_' : c;
    return level.empty() ? std::string("_") : level;
}

}  // namespace qs
