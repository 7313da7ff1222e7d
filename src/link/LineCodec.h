#pragma once
#include <string>
#include <string_view>

#include "link/LinkCodec.h"

namespace qs {

// A raw SCPI socket: no protocol of its own, bytes as they are. A command
// goes out as its bytes and LF; a reply ends at LF, and a CR right before
// that LF is dropped, wherever the chunks split the two, so that the reply
// assembly above sees one line end per reply.
class LineCodec final : public LinkCodec {
public:
    void reset() override { heldCr_ = false; }
    std::string encode(std::string_view data) override { return std::string(data); }
    std::string encodeEnd() override { return "\n"; }
    Received receive(std::string_view wire) override;

private:
    // A CR ended the last chunk: whether it goes on depends on the next byte.
    bool heldCr_ = false;
};

}  // namespace qs
