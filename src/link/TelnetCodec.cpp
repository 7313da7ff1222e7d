#include "link/TelnetCodec.h"

#include <utility>

namespace qs {

LinkCodec::Received TelnetCodec::receive(std::string_view wire) {
    TelnetProtocol::Output out = protocol_.receive(wire);
    return {std::move(out.data), std::move(out.toPeer)};
}

}  // namespace qs
