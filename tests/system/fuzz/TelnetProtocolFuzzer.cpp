// The Telnet layer on arbitrary received bytes. Whatever the peer sends:
//  - how the stream is cut into chunks changes nothing (data, answers);
//  - only data comes out: every data byte stands in the input in order, a
//    255 only where the peer escaped it as IAC IAC, and a stream without any
//    IAC comes out unchanged but for the NUL padding after a CR;
//  - the answers are only the refusals, WILL TTYPE and IS "dumb", each
//    within its budget;
//  - our own data survives encoding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "link/TelnetProtocol.h"

namespace {

constexpr unsigned char kIac = 255, kDont = 254, kWont = 252, kWill = 251, kSb = 250, kTtype = 24;
constexpr char kTtypeIsDumbBytes[] =
    "\xFF\xFA\x18\x00"
    "dumb\xFF\xF0";
constexpr std::string_view kTtypeIsDumb(kTtypeIsDumbBytes, sizeof kTtypeIsDumbBytes - 1);

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "TelnetProtocol: %s\n", what);
    std::abort();
}

unsigned char at(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

// Whether data can be taken from the input by leaving bytes out, a data 255
// needing an IAC IAC pair.
bool isDataOf(std::string_view data, std::string_view input) {
    std::size_t j = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (at(data, i) == kIac) {
            while (j + 1 < input.size() && !(at(input, j) == kIac && at(input, j + 1) == kIac)) ++j;
            if (j + 1 >= input.size()) return false;
            j += 2;
        } else {
            while (j < input.size() && input[j] != data[i]) ++j;
            if (j >= input.size()) return false;
            ++j;
        }
    }
    return true;
}

// A stream without IAC is all data; a NUL right after a CR is padding.
std::string plainData(std::string_view input) {
    std::string out;
    bool afterCr = false;
    for (char c : input) {
        if (afterCr && c == '\0') {
            afterCr = false;
            continue;
        }
        afterCr = c == '\r';
        out.push_back(c);
    }
    return out;
}

// Every answer is IAC WILL TTYPE, IAC WONT x, IAC DONT x or the terminal
// type, and none exceeds its budget.
void checkAnswers(std::string_view toPeer) {
    int perOption[2][256] = {};
    int terminalTypes = 0;
    std::size_t i = 0;
    while (i < toPeer.size()) {
        if (toPeer.substr(i, kTtypeIsDumb.size()) == kTtypeIsDumb) {
            if (++terminalTypes > qs::TelnetProtocol::kAnswersPerOption) fail("terminal type sent beyond its budget");
            i += kTtypeIsDumb.size();
            continue;
        }
        if (i + 3 > toPeer.size() || at(toPeer, i) != kIac) fail("an answer that is not a negotiation");
        const unsigned char verb = at(toPeer, i + 1), option = at(toPeer, i + 2);
        if (verb == kSb) fail("a subnegotiation other than the terminal type");
        if (verb == kWill && option != kTtype) fail("offered an option other than TTYPE");
        if (verb != kWill && verb != kWont && verb != kDont) fail("asked the peer for an option");
        if (++perOption[verb == kDont ? 1 : 0][option] > qs::TelnetProtocol::kAnswersPerOption)
            fail("answered one option beyond its budget");
        i += 3;
    }
}

std::string unescape(std::string_view wire) {
    std::string out;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        if (at(wire, i) == kIac) {
            if (i + 1 >= wire.size() || at(wire, i + 1) != kIac) fail("encoded data holds a lone IAC");
            ++i;
        }
        out.push_back(wire[i]);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qs::fuzz::FuzzInput in(data, size);
    std::uint32_t cut = in.byte();
    const std::string stream = in.bytes(in.remaining());

    qs::TelnetProtocol whole;
    const qs::TelnetProtocol::Output all = whole.receive(stream);

    qs::TelnetProtocol chunked;
    qs::TelnetProtocol::Output pieces;
    for (std::size_t pos = 0; pos < stream.size();) {
        cut = cut * 1103515245u + 12345u;
        const std::size_t length = 1 + (cut >> 16) % 17;
        const qs::TelnetProtocol::Output out = chunked.receive(std::string_view(stream).substr(pos, length));
        pieces.data += out.data;
        pieces.toPeer += out.toPeer;
        pos += length;
    }

    if (pieces.data != all.data) fail("chunking changed the data");
    if (pieces.toPeer != all.toPeer) fail("chunking changed the answers");
    if (chunked.suppressedAnswers() != whole.suppressedAnswers()) fail("chunking changed the suppressed answers");
    if (!isDataOf(all.data, stream)) fail("data that the peer did not send as data");
    if (stream.find('\xFF') == std::string::npos && all.data != plainData(stream))
        fail("a stream without commands did not come out unchanged");
    checkAnswers(all.toPeer);
    if (unescape(whole.encode(all.data)) != all.data) fail("encoding changed the data");
    return 0;
}
