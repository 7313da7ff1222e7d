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

inline std::unique_ptr<LinkCodec> MakePassThroughCodec() { return std::make_unique<PassThroughCodec>(); }

// The program's kinds of link and one more.
inline std::vector<LinkCodecKind> TestLinkCodecs() {
    std::vector<LinkCodecKind> table(ProgramLinkCodecs().begin(), ProgramLinkCodecs().end());
    table.push_back({kPassThroughLink, &MakePassThroughCodec});
    return table;
}

}  // namespace qs::test
