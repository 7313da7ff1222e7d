#pragma once
#include <string>
#include <string_view>

namespace qs {

// What a kind of link speaks on top of a byte stream: it turns the
// application's bytes into wire bytes and the wire bytes back. It owns no
// socket and no timer, so every rule of a protocol can be tested on bytes;
// the stream link below the window does the rest.
class LinkCodec {
public:
    // What one received chunk produced: data for the application, in order,
    // and bytes to write back to the peer (answers of the protocol itself).
    struct Received {
        std::string data;
        std::string toPeer;
    };

    virtual ~LinkCodec() = default;

    // Forgets everything about the previous link; called for each new one.
    virtual void reset() = 0;
    // The wire form of application data: the bytes of a command.
    virtual std::string encode(std::string_view data) = 0;
    // The wire form of the end of a command; a CR unless the kind says
    // otherwise.
    virtual std::string encodeEnd() { return encode("\r"); }
    // What the codec itself says to the peer when a link comes up, before
    // any command (a controller's set-up); nothing unless the kind says so.
    virtual std::string opening() { return {}; }
    // Decodes bytes from the peer; a chunk may end anywhere in the stream.
    virtual Received receive(std::string_view wire) = 0;
};

}  // namespace qs
