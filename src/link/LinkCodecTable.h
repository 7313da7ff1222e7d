#pragma once
#include <memory>
#include <span>
#include <string_view>

#include "link/LinkCodec.h"

namespace qs {

// One kind of link: the name it is asked for by, and how its codec is made.
struct LinkCodecKind {
    std::string_view name;
    std::unique_ptr<LinkCodec> (*make)();
};

// The kinds of link the program speaks. A new kind is a codec in a file of
// its own and one line in this table.
std::span<const LinkCodecKind> ProgramLinkCodecs();

// A fresh codec of the kind named in table; raises an Exception naming the
// kind when the table does not hold it.
std::unique_ptr<LinkCodec> MakeLinkCodec(std::span<const LinkCodecKind> table, std::string_view kind);

// The kind of link the adapter speaks, and the program's default.
inline constexpr std::string_view kTelnetLink = "telnet";

}  // namespace qs
