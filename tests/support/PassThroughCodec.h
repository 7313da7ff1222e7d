#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/LinkCodec.h"
#include "link/LinkCodecTable.h"

namespace qs::test {

// A kind of link that speaks no protocol at all: bytes go out and come in as
// they are. It shows that a new kind of link is a codec and a table entry.
class PassThroughCodec final : public LinkCodec {
public:
    void reset() override {}
    std::string encode(std::string_view data) override { return std::string(data); }
    Received receive(std::string_view wire) override { return {std::string(wire), {}}; }
};

inline constexpr std::string_view kPassThroughLink = "pass-through";

inline std::unique_ptr<LinkCodec> MakePassThroughCodec(const LinkTarget&, int) {
    return std::make_unique<PassThroughCodec>();
}

// The program's kinds of link and one more.
inline std::vector<LinkCodecKind> TestLinkCodecs() {
    std::vector<LinkCodecKind> table(ProgramLinkCodecs().begin(), ProgramLinkCodecs().end());
    // Asked for by name only: looked up by the kind of a target, the
    // program's raw socket comes first.
    table.push_back({LinkKindId::RawSocket, kPassThroughLink, "pass-through", LinkReadiness::Connected, '\n',
                     &MakePassThroughCodec});
    return table;
}

}  // namespace qs::test
