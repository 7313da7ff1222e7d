#pragma once
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "link/LinkCodec.h"
#include "link/LinkTarget.h"

namespace qs {

// What makes a fresh link ready to poll.
enum class LinkReadiness {
    Greeting,   // a greeting containing "KISS" has arrived
    Connected,  // the connection is up: the instrument says nothing first
    FirstLine,  // the first line after the codec's opening (its answer)
};

// One kind of link: the kind the host box names, the name it is asked for by
// (the simulator's --protocol), what the status line calls it, when it is
// ready, the byte that ends a command as the transcript keeps it, and how its
// codec is made for one target.
struct LinkCodecKind {
    LinkKindId id;
    std::string_view name;
    std::string_view label;
    LinkReadiness readiness;
    char commandEnd;
    // replyTimeoutMs: how long the logger waits for a reply.
    std::unique_ptr<LinkCodec> (*make)(const LinkTarget& target, int replyTimeoutMs);
};

// The kinds of link the program speaks, one for each kind the host box can
// name. A new kind is a codec in a file of its own and one line in this
// table.
std::span<const LinkCodecKind> ProgramLinkCodecs();

// The kind in table for the kind of target, or for a name; raises an
// Exception naming the kind when the table does not hold it.
const LinkCodecKind& FindLinkKind(std::span<const LinkCodecKind> table, LinkKindId id);
const LinkCodecKind& FindLinkKind(std::span<const LinkCodecKind> table, std::string_view name);

// A fresh codec for a link to target; raises like FindLinkKind.
std::unique_ptr<LinkCodec> MakeLinkCodec(std::span<const LinkCodecKind> table, const LinkTarget& target,
                                         int replyTimeoutMs);
// A fresh codec of the kind named, for a target of that kind on no host.
std::unique_ptr<LinkCodec> MakeLinkCodec(std::span<const LinkCodecKind> table, std::string_view kind);

// The status line's name of a link: empty for the adapter (its status line
// stays as it always was), "raw socket 10.0.0.5:5025" or "GPIB-Ethernet
// controller 10.0.0.7:1234, GPIB address 22".
std::string LinkLabel(std::span<const LinkCodecKind> table, const LinkTarget& target);

// The kind of link the adapter speaks, and the program's default.
inline constexpr std::string_view kTelnetLink = "telnet";

}  // namespace qs
