#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct telnet_t;
union telnet_event_t;

namespace qs {

// The client side of the Telnet protocol towards the KISS-488, on top of
// libtelnet: no sockets, no threads, so every rule can be tested on bytes.
//
// What it agrees to: DO TTYPE (answered WILL TTYPE, and every SB TTYPE SEND
// answered with IS "dumb"). Everything else the peer offers or asks for is
// refused; it never starts a negotiation of its own. The data stream is
// 8-bit: a 255 data byte travels as IAC IAC, and a CR goes out as a bare CR.
class TelnetProtocol {
public:
    // What one call produced: data bytes for the application, in order, and
    // bytes to write to the peer (negotiation answers, or encoded data).
    struct Output {
        std::string data;
        std::string toPeer;
    };

    explicit TelnetProtocol(std::string terminalType = "dumb");
    ~TelnetProtocol();
    TelnetProtocol(const TelnetProtocol&) = delete;
    TelnetProtocol& operator=(const TelnetProtocol&) = delete;

    // Forgets everything about the previous link: call it for each new link.
    void reset();

    // Decodes bytes received from the peer; chunks may split commands anywhere.
    Output receive(std::string_view bytes);

    // The wire form of application data: only 255 is escaped, nothing else
    // is translated (a CR stays a single byte 13).
    std::string encode(std::string_view data);

    // Answers a misbehaving peer got no more (see the answer budget below).
    std::size_t suppressedAnswers() const { return suppressedAnswers_; }

    // A peer that repeats a request gets at most this many answers per
    // option and direction (and per terminal-type request), so a storm of
    // negotiations cannot make us write without bound or ping-pong forever.
    static constexpr int kAnswersPerOption = 8;

private:
    static void onEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void handle(const telnet_event_t& event);
    void receiveSegment(std::string_view segment);
    void appendData(const char* bytes, std::size_t size);
    void sendToPeer(const char* bytes, std::size_t size);
    bool spendAnswer(unsigned char command, unsigned char option);

    std::string terminalType_;
    telnet_t* telnet_ = nullptr;
    Output* out_ = nullptr;
    // The NVT sends a bare CR as CR NUL; the NUL is padding, not data, and
    // may come in the next chunk.
    bool lastDataWasCr_ = false;
    // Whether the last byte received was 255, across chunks (see receive).
    bool previousWasIac_ = false;
    // Answers are budgeted only while decoding, not while encoding our data.
    bool receiving_ = false;
    // libtelnet switches to inflating on an SB COMPRESS2 it never agreed to;
    // we reset the parser when that happens.
    bool compressionStarted_ = false;
    // libtelnet reports an ENVIRON or NEW-ENVIRON subnegotiation to itself as
    // if it had started compression: closed by IAC SE that is harmless, but
    // closed by IAC and another byte it leaves the parser expecting a command,
    // so that the byte after it is taken for one. We reset the parser then.
    bool environSeen_ = false;
    // Answers left per option, for WILL/WONT (index 0) and DO/DONT (index 1).
    std::array<std::array<int, 256>, 2> answersLeft_{};
    int terminalTypeAnswersLeft_ = kAnswersPerOption;
    std::size_t suppressedAnswers_ = 0;
};

}  // namespace qs
