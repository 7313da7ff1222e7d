#include "link/LinkTarget.h"

#include <algorithm>
#include <optional>

#include "platform/Exception.h"

namespace qs {

namespace {

constexpr std::uint16_t kTelnetPort = 23;
constexpr std::uint16_t kControllerPort = 1234;
constexpr int kLastGpibAddress = 30;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

[[noreturn]] void refuse(const std::string& what) { throw Exception(what + "\n\n" + HostBoxForms()); }

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A whole number from min to max, or nullopt.
std::optional<unsigned> wholeNumber(std::string_view digits, unsigned min, unsigned max) {
    const bool allDigits = !digits.empty() && digits.size() <= 5 &&
                           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!allDigits) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    if (value < min || value > max) return std::nullopt;
    return value;
}

std::uint16_t parsePort(std::string_view digits, std::string_view whole) {
    const std::optional<unsigned> port = wholeNumber(digits, 1, 65535);
    if (!port)
        refuse("The port " + quoted(digits) + " in " + quoted(whole) + " is not a whole number from 1 to 65535.");
    return static_cast<std::uint16_t>(*port);
}

struct HostPort {
    std::string host;
    std::optional<std::uint16_t> port;
};

// "host", "host:port", "[IPv6]", "[IPv6]:port" or a bare IPv6 address.
HostPort splitHostPort(std::string_view text, std::string_view whole) {
    HostPort out;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) refuse("A \"]\" is missing in " + quoted(whole) + ".");
        out.host = std::string(text.substr(1, close - 1));
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') refuse("Unexpected " + quoted(rest) + " after \"]\" in " + quoted(whole) + ".");
            out.port = parsePort(rest.substr(1), whole);
        }
    } else if (const auto colon = text.find(':');
               colon == std::string_view::npos || text.find(':', colon + 1) != std::string_view::npos) {
        // No colon, or two and more: a host, or an IPv6 address without brackets.
        out.host = std::string(text);
    } else {
        out.host = std::string(text.substr(0, colon));
        out.port = parsePort(text.substr(colon + 1), whole);
    }
    if (out.host.empty()) refuse("There is no host in " + quoted(whole) + ".");
    return out;
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

LinkTarget telnet(std::string_view rest, std::string_view whole) {
    if (rest.find('/') != std::string_view::npos)
        refuse("The Telnet adapter takes no \"/\" part: " + quoted(whole) + ".");
    const HostPort hp = splitHostPort(rest, whole);
    return {LinkKindId::Telnet, hp.host, hp.port.value_or(kTelnetPort), -1};
}

LinkTarget rawSocket(std::string_view rest, std::string_view whole) {
    if (rest.find('/') != std::string_view::npos)
        refuse("A raw socket takes no \"/\" part: " + quoted(whole) + ".");
    const HostPort hp = splitHostPort(rest, whole);
    if (!hp.port) refuse("A raw socket needs its port (tcp://host:port, often 5025): " + quoted(whole) + " has none.");
    return {LinkKindId::RawSocket, hp.host, *hp.port, -1};
}

LinkTarget controller(std::string_view rest, std::string_view whole) {
    const auto slash = rest.rfind('/');
    if (slash == std::string_view::npos || slash + 1 == rest.size())
        refuse("A GPIB-Ethernet controller needs the instrument's GPIB address after \"/\" "
               "(prologix://host/ADDR): " + quoted(whole) + " has none.");
    const std::string_view address = rest.substr(slash + 1);
    const std::optional<unsigned> gpib = wholeNumber(address, 0, kLastGpibAddress);
    if (!gpib)
        refuse("The GPIB address " + quoted(address) + " in " + quoted(whole) +
               " is not a whole number from 0 to 30.");
    const HostPort hp = splitHostPort(rest.substr(0, slash), whole);
    return {LinkKindId::Controller, hp.host, hp.port.value_or(kControllerPort), static_cast<int>(*gpib)};
}

}  // namespace

std::string HostBoxForms() {
    return "The host box takes one of:\n"
           "  192.168.1.88, a name, host:port or telnet://host[:port]: the KISS-488 Telnet adapter (port 23)\n"
           "  tcp://host:port: an instrument's raw SCPI socket (often port 5025)\n"
           "  prologix://host[:port]/ADDR: a GPIB-Ethernet controller (port 1234) and the instrument at "
           "GPIB address ADDR (0-30)\n"
           "An IPv6 address stands in brackets when a port follows: [fe80::1]:5025.";
}

LinkTarget ParseLinkTarget(std::string_view text) {
    const std::string_view whole = trimmed(text);
    if (whole.empty()) refuse("The host box is empty.");

    const auto schemeEnd = whole.find("://");
    if (schemeEnd == std::string_view::npos) return telnet(whole, whole);
    const std::string scheme = lowerCase(whole.substr(0, schemeEnd));
    const std::string_view rest = whole.substr(schemeEnd + 3);
    if (scheme == "telnet") return telnet(rest, whole);
    if (scheme == "tcp") return rawSocket(rest, whole);
    if (scheme == "prologix") return controller(rest, whole);
    refuse("Unknown kind of link " + quoted(whole.substr(0, schemeEnd + 3)) + " in " + quoted(whole) + ".");
}

}  // namespace qs
