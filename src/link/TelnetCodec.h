#pragma once
#include <string>
#include <string_view>
#include <utility>

#include "link/LinkCodec.h"
#include "link/TelnetProtocol.h"

namespace qs {

// The Telnet protocol towards the adapter (see TelnetProtocol) as the codec
// of a stream link.
class TelnetCodec final : public LinkCodec {
public:
    explicit TelnetCodec(std::string terminalType = "dumb") : protocol_(std::move(terminalType)) {}

    void reset() override { protocol_.reset(); }
    std::string encode(std::string_view data) override { return protocol_.encode(data); }
    Received receive(std::string_view wire) override;

private:
    TelnetProtocol protocol_;
};

}  // namespace qs
