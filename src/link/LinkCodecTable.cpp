#include "link/LinkCodecTable.h"

#include <string>

#include "link/ControllerCodec.h"
#include "link/LineCodec.h"
#include "link/TelnetCodec.h"
#include "platform/Exception.h"

namespace qs {

namespace {

std::unique_ptr<LinkCodec> makeTelnet(const LinkTarget&, int) { return std::make_unique<TelnetCodec>(); }
std::unique_ptr<LinkCodec> makeLine(const LinkTarget&, int) { return std::make_unique<LineCodec>(); }
std::unique_ptr<LinkCodec> makeController(const LinkTarget& target, int replyTimeoutMs) {
    return std::make_unique<ControllerCodec>(target.gpibAddress, replyTimeoutMs);
}

const LinkCodecKind kProgramLinkCodecs[] = {
    {LinkKindId::Telnet, kTelnetLink, "Telnet adapter", LinkReadiness::Greeting, '\r', &makeTelnet},
    {LinkKindId::RawSocket, "raw", "raw socket", LinkReadiness::Connected, '\n', &makeLine},
    {LinkKindId::Controller, "prologix", "GPIB-Ethernet controller", LinkReadiness::FirstLine, '\n',
     &makeController},
};

// A controller's codec needs an address to be made at all.
constexpr int kAnyGpibAddress = 0;

}  // namespace

std::span<const LinkCodecKind> ProgramLinkCodecs() { return kProgramLinkCodecs; }

const LinkCodecKind& FindLinkKind(std::span<const LinkCodecKind> table, LinkKindId id) {
    for (const LinkCodecKind& entry : table)
        if (entry.id == id) return entry;
    throw Exception("Unknown kind of link: " + std::to_string(static_cast<int>(id)) + ".");
}

const LinkCodecKind& FindLinkKind(std::span<const LinkCodecKind> table, std::string_view name) {
    for (const LinkCodecKind& entry : table)
        if (entry.name == name) return entry;
    throw Exception("Unknown kind of link: \"" + std::string(name) + "\".");
}

std::unique_ptr<LinkCodec> MakeLinkCodec(std::span<const LinkCodecKind> table, const LinkTarget& target,
                                         int replyTimeoutMs) {
    return FindLinkKind(table, target.kind).make(target, replyTimeoutMs);
}

std::unique_ptr<LinkCodec> MakeLinkCodec(std::span<const LinkCodecKind> table, std::string_view kind) {
    const LinkCodecKind& entry = FindLinkKind(table, kind);
    LinkTarget target;
    target.kind = entry.id;
    if (entry.id == LinkKindId::Controller) target.gpibAddress = kAnyGpibAddress;
    return entry.make(target, 0);
}

std::string LinkLabel(std::span<const LinkCodecKind> table, const LinkTarget& target) {
    if (target.kind == LinkKindId::Telnet) return {};
    const bool ipv6 = target.host.find(':') != std::string::npos;
    std::string label = std::string(FindLinkKind(table, target.kind).label) + " " +
                        (ipv6 ? "[" + target.host + "]" : target.host) + ":" + std::to_string(target.port);
    if (target.kind == LinkKindId::Controller) label += ", GPIB address " + std::to_string(target.gpibAddress);
    return label;
}

}  // namespace qs
