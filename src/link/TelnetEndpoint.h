#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qs {

// Where a Telnet link goes: a host (numeric address or name, IPv6 without
// brackets) and a TCP port.
struct TelnetEndpoint {
    std::string host;
    std::uint16_t port = 23;

    static constexpr std::uint16_t kDefaultPort = 23;

    bool operator==(const TelnetEndpoint&) const = default;
};

// Reads the text of the host box: "address" (port 23), "address:port",
// "[IPv6]" or "[IPv6]:port", a bare IPv6 address (port 23), or a host name
// with or without ":port". Blanks around the text are ignored. Raises an
// Exception for an empty host, a malformed bracket or a port that is not a
// whole number from 1 to 65535.
TelnetEndpoint ParseTelnetEndpoint(std::string_view text);

}  // namespace qs
