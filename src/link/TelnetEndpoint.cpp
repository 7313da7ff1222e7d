#include "link/TelnetEndpoint.h"

#include <algorithm>

#include "platform/Exception.h"

namespace qs {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::uint16_t parsePort(std::string_view digits, std::string_view whole) {
    const bool allDigits =
        !digits.empty() && digits.size() <= 5 && std::all_of(digits.begin(), digits.end(), [](char c) {
            return c >= '0' && c <= '9';
        });
    unsigned value = 0;
    if (allDigits)
        for (char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    if (!allDigits || value < 1 || value > 65535)
        throw Exception("Invalid port in host address \"" + std::string(whole) + "\".");
    return static_cast<std::uint16_t>(value);
}

TelnetEndpoint checked(std::string_view host, std::uint16_t port, std::string_view whole) {
    if (host.empty()) throw Exception("No host in address \"" + std::string(whole) + "\".");
    return {std::string(host), port};
}

}  // namespace

TelnetEndpoint ParseTelnetEndpoint(std::string_view text) {
    const std::string_view whole = trimmed(text);
    if (whole.empty()) throw Exception("No host address given.");

    if (whole.front() == '[') {
        const auto close = whole.find(']');
        if (close == std::string_view::npos)
            throw Exception("Missing \"]\" in host address \"" + std::string(whole) + "\".");
        const std::string_view host = whole.substr(1, close - 1);
        const std::string_view rest = whole.substr(close + 1);
        if (rest.empty()) return checked(host, TelnetEndpoint::kDefaultPort, whole);
        if (rest.front() != ':')
            throw Exception("Unexpected text after \"]\" in host address \"" + std::string(whole) + "\".");
        return checked(host, parsePort(rest.substr(1), whole), whole);
    }

    const auto colon = whole.find(':');
    if (colon == std::string_view::npos) return checked(whole, TelnetEndpoint::kDefaultPort, whole);
    // Two or more colons without brackets can only be an IPv6 address.
    if (whole.find(':', colon + 1) != std::string_view::npos)
        return checked(whole, TelnetEndpoint::kDefaultPort, whole);
    return checked(whole.substr(0, colon), parsePort(whole.substr(colon + 1), whole), whole);
}

}  // namespace qs
