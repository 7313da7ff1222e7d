#include "SimSession.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include <libtelnet.h>

namespace qs::sim {

namespace {

// We ask the client for its terminal type and agree to nothing else.
const telnet_telopt_t kOptions[] = {
    {TELNET_TELOPT_TTYPE, TELNET_WONT, TELNET_DO},
    {-1, 0, 0},
};

// A client that never ends its line must not grow the line without bound.
constexpr std::size_t kMaxLine = 65536;
// Longer commands are shown cut, so that a flood stays readable.
constexpr std::size_t kMaxShown = 200;

std::string printable(std::string_view text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127) {
            shown.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        }
    }
    return shown;
}

// A text as printed in the log, cut after kMaxShown bytes.
std::string shown(std::string_view text) {
    const bool cut = text.size() > kMaxShown;
    return printable(text.substr(0, kMaxShown)) +
           (cut ? " ... (" + std::to_string(text.size()) + " bytes)" : std::string());
}

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

constexpr char kEsc = 27;

// The set-up a logger owes the controller on every link, in this order; a
// value of "*" stands for any, and read_tmo_ms takes 1 to 3000 (the
// controller's documented range).
const char* const kSetUp[] = {"++savecfg 0", "++mode 1", "++auto 1", "++eoi 1", "++eos 2", "++read_tmo_ms *",
                              "++addr *", "++ver"};

bool isSetUpLine(const std::string& line, const std::string& expected) {
    const auto star = expected.find('*');
    if (star == std::string::npos) return line == expected;
    if (line.compare(0, star, expected, 0, star) != 0 || line.size() == star) return false;
    const std::string value = line.substr(star);
    if (value.find_first_not_of("0123456789") != std::string::npos || value.size() > 5) return false;
    const int number = std::stoi(value);
    if (expected.rfind("++read_tmo_ms", 0) == 0) return number >= 1 && number <= 3000;
    return number >= 0 && number <= 30;
}

}  // namespace

SimSession::SimSession(int fd, const SimConfig& config, InstrumentModel& model, bool faultyLink, int& repliesSent,
                       RandomFaults* randomFaults)
    : fd_(fd),
      config_(config),
      model_(model),
      randomFaults_(randomFaults),
      faultyLink_(faultyLink),
      repliesSent_(repliesSent),
      nextFree_(Clock::now()) {
    telnet_ = telnet_init(kOptions, &SimSession::onEvent, 0, this);
    if (!telnet_) {
        ::close(fd_);
        throw std::bad_alloc();
    }
    sink_ = &out_;
    const bool telnet = config_.protocol == Protocol::Telnet;
    if (telnet) telnet_negotiate(telnet_, TELNET_DO, TELNET_TELOPT_TTYPE);
    if (telnet && faultyLink_) sendBurst();
    const auto now = Clock::now();
    // Only the adapter greets: an instrument's socket and a controller say
    // nothing before they are asked.
    if (!telnet) {
        if (faultyLink_ && config_.closeAfter == 0) queueClose(now);
        return;
    }
    if (randomFaults_ && randomFaults_->bannerFirst()) {
        say("fault " + std::to_string(monotonicMs()) + " banner");
        nextFree_ = queueData("Bench LAN port 3, line discipline 8N1\r\n", now, "banner", 0);
    }
    if (config_.greet || !faultyLink_)
        nextFree_ = queueData(config_.greeting + "\r\n", now, "greeting", nextReplyFaulty() ? config_.chunkBytes : 0);
    if (faultyLink_ && config_.closeAfter == 0) queueClose(nextFree_);
}

long long SimSession::monotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

bool SimSession::nextReplyFaulty() const {
    return faultyLink_ && (config_.faultyReplies < 0 || repliesSent_ < config_.faultyReplies);
}

SimSession::~SimSession() {
    telnet_free(telnet_);
    // Read what the client still sent, so that closing sends a FIN and not
    // a reset that could throw away our last reply at the client.
    char scrap[4096];
    while (::recv(fd_, scrap, sizeof scrap, MSG_DONTWAIT) > 0) {
    }
    ::shutdown(fd_, SHUT_WR);
    ::close(fd_);
}

std::optional<SimSession::Clock::time_point> SimSession::nextDue() const {
    if (pending_.empty() || closing_) return std::nullopt;
    return pending_.front().due;
}

void SimSession::sendBurst() {
    // Requests for assorted options, repeated: a client must answer each
    // distinct one at most a few times and must not echo them back for ever.
    static constexpr unsigned char kVerbs[] = {TELNET_DO, TELNET_WILL, TELNET_DO, TELNET_DONT, TELNET_WONT};
    static constexpr unsigned char kOptionsAsked[] = {TELNET_TELOPT_ECHO, TELNET_TELOPT_SGA, TELNET_TELOPT_NAWS,
                                                      TELNET_TELOPT_LINEMODE, TELNET_TELOPT_BINARY,
                                                      TELNET_TELOPT_TTYPE, 200};
    for (int i = 0; i < config_.negotiationBurst; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out_.push_back(static_cast<char>(TELNET_IAC));
        out_.push_back(static_cast<char>(kVerbs[k % std::size(kVerbs)]));
        out_.push_back(static_cast<char>(kOptionsAsked[(k / std::size(kVerbs)) % std::size(kOptionsAsked)]));
    }
}

void SimSession::onReadable() {
    char buffer[65536];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n > 0) {
        if (config_.protocol == Protocol::Telnet) telnet_recv(telnet_, buffer, static_cast<std::size_t>(n));
        else onLineBytes(buffer, static_cast<std::size_t>(n));
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    finished_ = true;
}

void SimSession::onWritable() {
    while (sent_ < out_.size()) {
        const ssize_t n = ::send(fd_, out_.data() + sent_, out_.size() - sent_, MSG_NOSIGNAL);
        if (n > 0) {
            sent_ += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
        finished_ = true;
        return;
    }
    out_.clear();
    sent_ = 0;
}

void SimSession::runDue(Clock::time_point now) {
    while (!pending_.empty() && !closing_ && pending_.front().due <= now) {
        Pending& next = pending_.front();
        out_ += next.wire;
        closing_ = next.close;
        if (!next.sentNote.empty()) say("sent " + std::to_string(monotonicMs()) + " " + next.sentNote);
        pending_.pop_front();
    }
    if (wantsWrite()) onWritable();
}

void SimSession::onEvent(telnet_t*, telnet_event_t* event, void* self) {
    static_cast<SimSession*>(self)->handle(*event);
}

void SimSession::handle(const telnet_event_t& event) {
    switch (event.type) {
    case TELNET_EV_SEND:
        sink_->append(event.data.buffer, event.data.size);
        break;
    case TELNET_EV_DATA:
        onData(event.data.buffer, event.data.size);
        break;
    case TELNET_EV_WILL:
        if (event.neg.telopt == TELNET_TELOPT_TTYPE) telnet_ttype_send(telnet_);
        break;
    case TELNET_EV_TTYPE:
        if (event.ttype.cmd == TELNET_TTYPE_IS) say("terminal type: " + printable(event.ttype.name));
        break;
    default:
        // Option chatter and libtelnet's warnings about a malformed stream
        // change nothing for an adapter that only answers lines.
        break;
    }
}

void SimSession::onData(const char* bytes, std::size_t size) {
    record(bytes, size);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        const bool wasAfterCr = std::exchange(afterCr_, c == '\r');
        if (c == '\r') {
            onCommand(std::exchange(line_, std::string()));
        } else if (c == '\n' || (wasAfterCr && c == '\0')) {
            // The LF or NUL some clients put behind the CR, or a stray LF.
        } else if (line_.size() < kMaxLine) {
            line_.push_back(c);
        }
    }
}

std::string SimSession::lineEnd() const { return config_.protocol == Protocol::Telnet ? "\r\n" : "\n"; }

void SimSession::onLineBytes(const char* bytes, std::size_t size) {
    record(bytes, size);
    const bool controller = config_.protocol == Protocol::Controller;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (controller && std::exchange(afterEsc_, false)) {
            if (line_.size() < 2) escapedStart_ = true;
            if (line_.size() < kMaxLine) line_.push_back(c);
        } else if (controller && c == kEsc) {
            afterEsc_ = true;
        } else if (c == '\r' || c == '\n') {
            // CR LF is one line end; an empty line is none.
            if (line_.empty()) continue;
            std::string line = std::exchange(line_, std::string());
            const bool escaped = std::exchange(escapedStart_, false);
            if (controller) onControllerLine(line, !escaped && line.rfind("++", 0) == 0);
            else onCommand(line);
        } else if (line_.size() < kMaxLine) {
            line_.push_back(c);
        }
    }
}

// The controller's part: its set-up is checked line by line, ++ver is
// answered, ++auto and ++addr are kept, every other "++" line is taken
// without a word; a query reaches the voltmeter only while the controller
// reads after each command and addresses the voltmeter.
void SimSession::onControllerLine(const std::string& line, bool controllerCommand) {
    if (!controllerCommand) {
        if (autoRead_ && address_ == config_.gpibAddress) {
            onCommand(line);
        } else {
            say("command: " + shown(line) + " (not passed on: " + (autoRead_ ? "" : "++auto 0, ") + "++addr " +
                std::to_string(address_) + ")");
        }
        return;
    }
    say("controller: " + shown(line));
    if (setUpLines_ < std::size(kSetUp)) {
        if (isSetUpLine(line, kSetUp[setUpLines_])) {
            ++setUpLines_;
        } else {
            say("set-up: expected " + std::string(kSetUp[setUpLines_]) + ", got " + shown(line));
            setUpLines_ = std::size(kSetUp) + 1;  // out of order: said once
        }
    }
    if (line == "++auto 1") autoRead_ = true;
    else if (line == "++auto 0") autoRead_ = false;
    else if (line.rfind("++addr ", 0) == 0 && line.size() > 7 &&
             line.find_first_not_of("0123456789", 7) == std::string::npos && line.size() <= 9)
        address_ = std::stoi(line.substr(7));
    if (line != "++ver") return;
    if (setUpLines_ == std::size(kSetUp)) say("set-up: complete");
    if (!config_.greet && faultyLink_) return;
    const auto now = Clock::now();
    const int delayMs = nextReplyFaulty() ? config_.replyDelayMs : 0;
    nextFree_ = queueData(config_.controllerVersion + lineEnd(),
                          std::max(now + std::chrono::milliseconds(delayMs), nextFree_), "version", 0);
}

void SimSession::onCommand(const std::string& command) {
    say("command: " + shown(command));
    const auto kind = InstrumentModel::classify(command);
    if (kind == InstrumentModel::ReplyKind::None) return;
    if (faultyLink_ && config_.muteAfter >= 0 && replies_ >= config_.muteAfter) return;
    if (faultyLink_ && config_.closeAfter >= 0 && replies_ >= config_.closeAfter) return;

    RandomFaults::Fault chaos;
    if (randomFaults_) {
        if (silentLeft_ > 0) {
            --silentLeft_;
            return;
        }
        chaos = randomFaults_->nextReply();
        if (chaos.kind != RandomFaults::Kind::None)
            say("fault " + std::to_string(monotonicMs()) + " " + RandomFaults::name(chaos.kind));
        if (chaos.kind == RandomFaults::Kind::Silent) {
            silentLeft_ = chaos.silentReplies - 1;
            return;
        }
    }
    using Kind = RandomFaults::Kind;
    const bool faulty = nextReplyFaulty();
    ++replies_;
    ++repliesSent_;

    std::string reply;
    const char* sentKind = "reply";
    const std::size_t garbage = chaos.kind == Kind::Garbage ? chaos.bytes : faulty ? config_.binaryBytes : 0;
    const std::size_t flood = chaos.kind == Kind::Flood ? chaos.bytes : faulty ? config_.floodBytes : 0;
    if (garbage > 0) {
        reply += model_.randomBytes(garbage);
        sentKind = "garbled";
    }
    const bool cut = chaos.kind == Kind::Cut || (faultyLink_ && config_.cutReply == replies_);
    if (flood > 0) {
        for (std::size_t i = 0; i < flood; ++i) reply.push_back(static_cast<char>('0' + i % 10));
        sentKind = "flood";
    } else {
        reply += kind == InstrumentModel::ReplyKind::Identity
                     ? InstrumentModel::identity()
                     : (faulty ? config_.unitPrefix : std::string()) + model_.reading();
        const bool stranded = chaos.kind == Kind::Stranded ||
                              (faulty && config_.strandEvery > 0 && replies_ % config_.strandEvery == 0);
        if (cut) {
            reply.resize(reply.size() / 2);
            sentKind = "cut";
        } else if (stranded) {
            if (std::string_view(sentKind) == "reply") sentKind = "stranded";
        } else {
            reply += lineEnd();
        }
    }

    const auto now = Clock::now();
    if (chaos.kind == Kind::Echo) {
        nextFree_ = queueData(command + lineEnd(), std::max(now, nextFree_), "echo", 0);
    } else if (chaos.kind == Kind::Burst) {
        // Readings nobody asked for behind the one asked for, and a last one
        // cut in two: its tail comes a little later, as its own piece.
        for (int i = 1; i < chaos.lines; ++i) reply += model_.reading() + lineEnd();
        const std::string last = model_.reading() + lineEnd();
        const std::size_t half = last.size() / 2;
        reply += last.substr(0, half);
        nextFree_ = queueData(reply, std::max(now, nextFree_), "burst", 0);
        nextFree_ = queueData(last.substr(half), nextFree_ + std::chrono::milliseconds(20), "burst tail", 0);
        return;
    }
    const int delayMs = chaos.kind == Kind::Slow ? chaos.delayMs : faulty ? config_.replyDelayMs : 0;
    const std::size_t pieceBytes = chaos.kind == Kind::Pieces ? 1 : faulty ? config_.chunkBytes : 0;
    nextFree_ =
        queueData(reply, std::max(now + std::chrono::milliseconds(delayMs), nextFree_), sentKind, pieceBytes);
    const bool closeNow = cut || chaos.kind == Kind::Drop || (faultyLink_ && config_.closeAfter == replies_);
    if (closeNow) queueClose(nextFree_);
    // A status line between two polls, when no reply is awaited.
    else if (chaos.kind == Kind::Notice)
        nextFree_ = queueData("STATUS 00012 OK, NO SRQ" + lineEnd(), nextFree_ + std::chrono::milliseconds(30), "notice", 0);
}

SimSession::Clock::time_point SimSession::queueData(const std::string& data, Clock::time_point at, const char* kind,
                                                    std::size_t pieceBytes) {
    at = std::max(at, nextFree_);
    const std::size_t whole = std::max<std::size_t>(data.size(), 1);
    const std::size_t piece = pieceBytes > 0 ? pieceBytes : whole;
    // The data counts as sent with the piece that brings its first line end
    // (the client has the whole reply then), or with its last piece.
    const std::size_t lineEnd = std::min(data.find_first_of("\r\n"), data.size() - 1);
    for (std::size_t offset = 0; offset < data.size(); offset += piece) {
        if (offset > 0) at += std::chrono::milliseconds(config_.chunkGapMs);
        pending_.push_back({at, encode(std::string_view(data).substr(offset, piece)), false, {}});
        if (config_.logSent && lineEnd >= offset && lineEnd < offset + piece) {
            std::string_view text(data);
            while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
            pending_.back().sentNote = std::string(kind) + " " + shown(text);
        }
    }
    return at;
}

void SimSession::queueClose(Clock::time_point at) { pending_.push_back({std::max(at, nextFree_), {}, true, {}}); }

std::string SimSession::encode(std::string_view data) {
    if (config_.protocol != Protocol::Telnet) return std::string(data);
    std::string wire;
    sink_ = &wire;
    telnet_send(telnet_, data.data(), data.size());
    sink_ = &out_;
    return wire;
}

void SimSession::record(const char* bytes, std::size_t size) const {
    if (config_.recordFile.empty()) return;
    // Opened per chunk, so a test can read the file at any moment.
    if (std::FILE* file = std::fopen(config_.recordFile.c_str(), "ab")) {
        std::fwrite(bytes, 1, size, file);
        std::fclose(file);
    }
}

}  // namespace qs::sim
