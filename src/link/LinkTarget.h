#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qs {

// The kinds of link the host box can name.
enum class LinkKindId {
    Telnet,      // the KISS-488 adapter: Telnet, greets with "KISS"
    RawSocket,   // an instrument taking SCPI on a plain TCP socket
    Controller,  // a GPIB-Ethernet controller taking "++" commands
};

// Where the link goes and what it speaks: the host (numeric address or
// name, IPv6 without brackets), the TCP port and, for a controller, the
// GPIB address of the instrument behind it.
struct LinkTarget {
    LinkKindId kind = LinkKindId::Telnet;
    std::string host;
    std::uint16_t port = 23;
    int gpibAddress = -1;  // 0-30 for a controller, -1 otherwise

    bool operator==(const LinkTarget&) const = default;
};

// Reads the text of the host box. Without a scheme it is the Telnet
// adapter, as every host box always was: "address" (port 23),
// "address:port", "[IPv6]" or "[IPv6]:port", a bare IPv6 address, or a host
// name with or without ":port". With one: telnet://host[:port],
// tcp://host:port (a raw socket; the port is required) and
// prologix://host[:port]/ADDR (port 1234, ADDR 0-30). Blanks around the text
// and the case of the scheme do not matter. Raises an Exception naming what
// is wrong, followed by HostBoxForms().
LinkTarget ParseLinkTarget(std::string_view text);

// The forms the host box takes, for a person mending it.
std::string HostBoxForms();

}  // namespace qs
