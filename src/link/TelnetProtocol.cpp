#include "link/TelnetProtocol.h"

// libtelnet.h uses size_t without including its header.
#include <cstddef>

#include <libtelnet.h>

#include <new>
#include <utility>

namespace qs {

namespace {

// The only option we agree to: the peer may ask for our terminal type. We
// never ask for any option of the peer's.
const telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_TTYPE, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

constexpr unsigned char kIac = TELNET_IAC;

unsigned char byteAt(std::string_view bytes, std::size_t i) { return static_cast<unsigned char>(bytes[i]); }

}  // namespace

TelnetProtocol::TelnetProtocol(std::string terminalType) : terminalType_(std::move(terminalType)) { reset(); }

TelnetProtocol::~TelnetProtocol() {
    if (telnet_) telnet_free(telnet_);
}

void TelnetProtocol::reset() {
    if (telnet_) telnet_free(telnet_);
    telnet_ = telnet_init(kOptions, &TelnetProtocol::onEvent, 0, this);
    if (!telnet_) throw std::bad_alloc();
    lastDataWasCr_ = false;
    previousWasIac_ = false;
    compressionStarted_ = false;
    for (auto& side : answersLeft_) side.fill(kAnswersPerOption);
    terminalTypeAnswersLeft_ = kAnswersPerOption;
    suppressedAnswers_ = 0;
}

TelnetProtocol::Output TelnetProtocol::receive(std::string_view bytes) {
    Output out;
    out_ = &out;
    receiving_ = true;
    // The stream goes to libtelnet in pieces that end after each byte that
    // follows an IAC, so that a subnegotiation which switched libtelnet to
    // inflating is seen before any byte behind it has been swallowed: IAC SE
    // ends one, and so does IAC with any other byte, which libtelnet takes as
    // a malformed end. Cutting a stream into pieces never changes what the
    // parser makes of it.
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool mayEndSubnegotiation = previousWasIac_;
        previousWasIac_ = byteAt(bytes, i) == kIac;
        if (!mayEndSubnegotiation) continue;
        receiveSegment(bytes.substr(start, i + 1 - start));
        start = i + 1;
    }
    if (start < bytes.size()) receiveSegment(bytes.substr(start));
    receiving_ = false;
    out_ = nullptr;
    return out;
}

void TelnetProtocol::receiveSegment(std::string_view segment) {
    environSeen_ = false;
    telnet_recv(telnet_, segment.data(), segment.size());
    // A subnegotiation ends its segment, so the segment's last byte is the
    // one after the IAC that closed it.
    const bool derailed = environSeen_ && static_cast<unsigned char>(segment.back()) != TELNET_SE;
    if (!compressionStarted_ && !derailed) return;
    // The adapter never compresses; a COMPRESS2 marker is noise, and so is an
    // ENVIRON request. A fresh parser reads what follows as the plain stream
    // it is.
    telnet_free(telnet_);
    telnet_ = telnet_init(kOptions, &TelnetProtocol::onEvent, 0, this);
    if (!telnet_) throw std::bad_alloc();
    compressionStarted_ = false;
}

std::string TelnetProtocol::encode(std::string_view data) {
    Output out;
    out_ = &out;
    telnet_send(telnet_, data.data(), data.size());
    out_ = nullptr;
    return std::move(out.toPeer);
}

void TelnetProtocol::onEvent(telnet_t*, telnet_event_t* event, void* self) {
    static_cast<TelnetProtocol*>(self)->handle(*event);
}

void TelnetProtocol::handle(const telnet_event_t& event) {
    switch (event.type) {
    case TELNET_EV_DATA:
        appendData(event.data.buffer, event.data.size);
        break;
    case TELNET_EV_SEND:
        sendToPeer(event.data.buffer, event.data.size);
        break;
    case TELNET_EV_TTYPE:
        if (event.ttype.cmd != TELNET_TTYPE_SEND) break;
        if (terminalTypeAnswersLeft_ > 0) {
            --terminalTypeAnswersLeft_;
            telnet_ttype_is(telnet_, terminalType_.c_str());
        } else {
            ++suppressedAnswers_;
        }
        break;
    case TELNET_EV_COMPRESS:
        if (event.compress.state) compressionStarted_ = true;
        break;
    case TELNET_EV_ENVIRON:
        environSeen_ = true;
        break;
    default:
        // Warnings and errors from libtelnet concern malformed sequences of a
        // peer; the parser resynchronises on the data that follows, which is
        // all the link can do with them. Other commands carry nothing for us.
        break;
    }
}

void TelnetProtocol::appendData(const char* bytes, std::size_t size) {
    if (!out_) return;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (lastDataWasCr_ && c == '\0') {
            lastDataWasCr_ = false;
            continue;
        }
        lastDataWasCr_ = c == '\r';
        out_->data.push_back(c);
    }
}

void TelnetProtocol::sendToPeer(const char* bytes, std::size_t size) {
    if (!out_) return;
    // libtelnet writes each automatic negotiation answer as one IAC verb
    // option triple; those are what the budget limits.
    if (receiving_ && size == 3 && static_cast<unsigned char>(bytes[0]) == kIac &&
        !spendAnswer(static_cast<unsigned char>(bytes[1]), static_cast<unsigned char>(bytes[2])))
        return;
    out_->toPeer.append(bytes, size);
}

bool TelnetProtocol::spendAnswer(unsigned char command, unsigned char option) {
    int side = 0;
    switch (command) {
    case TELNET_WILL:
    case TELNET_WONT:
        side = 0;
        break;
    case TELNET_DO:
    case TELNET_DONT:
        side = 1;
        break;
    default:
        return true;
    }
    int& left = answersLeft_[static_cast<std::size_t>(side)][option];
    if (left <= 0) {
        ++suppressedAnswers_;
        return false;
    }
    --left;
    return true;
}

}  // namespace qs
