#include "link/LinkCodecTable.h"

#include <string>

#include "link/TelnetCodec.h"
#include "platform/Exception.h"

namespace qs {

namespace {

std::unique_ptr<LinkCodec> makeTelnet() { return std::make_unique<TelnetCodec>(); }

const LinkCodecKind kProgramLinkCodecs[] = {
    {kTelnetLink, &makeTelnet},
};

}  // namespace

std::span<const LinkCodecKind> ProgramLinkCodecs() { return kProgramLinkCodecs; }

std::unique_ptr<LinkCodec> MakeLinkCodec(std::span<const LinkCodecKind> table, std::string_view kind) {
    for (const LinkCodecKind& entry : table)
        if (entry.name == kind) return entry.make();
    throw Exception("Unknown kind of link: \"" + std::string(kind) + "\".");
}

}  // namespace qs
