#include "serve/ServeAddress.h"

#include <algorithm>

namespace qs {

namespace {

constexpr std::string_view kBadPort = "the port is not a whole number from 1 to 65535";

std::string refused(std::string_view text, std::string_view why) {
    return "--serve " + std::string(text) + ": " + std::string(why) + " (see --help)";
}

}  // namespace

std::variant<ServeAddress, std::string> ParseServeAddress(std::string_view text) {
    // A URL is what a person has in mind for a page, but its scheme's colon
    // would be taken for an IPv6 address's.
    if (text.find("://") != std::string_view::npos)
        return refused(text, "give [ADDR:]PORT, not a URL (for example 0.0.0.0:8080)");
    ServeAddress address;
    std::string_view port = text;
    if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        std::string_view host = text.substr(0, colon);
        port = text.substr(colon + 1);
        // An IPv6 address is written in brackets, so that its colons are not
        // taken for the port's.
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
        else if (host.find(':') != std::string_view::npos)
            return refused(text, "an IPv6 address goes in brackets, [::1]:PORT");
        if (host.empty()) return refused(text, "the address before the colon is empty");
        address.host = host;
    }
    const bool digits = std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
    // At most five digits, so that the number read always fits.
    if (port.empty() || port.size() > 5 || !digits) return refused(text, kBadPort);
    address.port = std::stoi(std::string(port));
    if (address.port < 1 || address.port > 65535) return refused(text, kBadPort);
    return address;
}

}  // namespace qs
