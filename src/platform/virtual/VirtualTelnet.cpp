#include "platform/virtual/VirtualTelnet.h"

#include <utility>

#include "platform/Exception.h"

namespace qs {

void VirtualTelnet::Connect() {
    ++connectCalls_;
    connectTimes_.push_back(time_.nowMs());
    if (up_ || connecting_) return;
    if (connectMode == ConnectMode::Refuse) throw Exception("Connection refused");
    if (connectMode == ConnectMode::Hang) return;
    connecting_ = true;
    const std::uint64_t gen = generation_;
    time_.schedule(connectDelayMs, [this, gen] {
        if (gen != generation_) return;
        connecting_ = false;
        up_ = true;
        line_.clear();
        if (events_.onConnected) events_.onConnected();
        if (!greeting.empty()) deliver(greeting, greetingDelayMs);
    });
}

void VirtualTelnet::Disconnect(bool) {
    ++disconnectCalls_;
    disconnectTimes_.push_back(time_.nowMs());
    if (connecting_) {
        // An attempt still under way is abandoned without any event.
        ++generation_;
        connecting_ = false;
        return;
    }
    if (!up_ || !reportsDisconnect) return;
    const std::uint64_t gen = ++generation_;
    up_ = false;
    time_.schedule(disconnectDelayMs, [this, gen] {
        if (gen != generation_) return;
        if (events_.onDisconnected) events_.onDisconnected();
    });
}

void VirtualTelnet::SendCh(char c) {
    if (sendFails) throw Exception("Socket Error # 10054 Connection reset by peer.");
    if (failAfterChars == 0) {
        failAfterChars = -1;
        throw Exception("Socket Error # 10054 Connection reset by peer.");
    }
    if (failAfterChars > 0) --failAfterChars;
    if (!up_) throw Exception("Not Connected.");
    sent_ += c;
    if (c != '\r') {
        line_ += c;
        return;
    }
    commands_.push_back(line_);
    std::string command = std::exchange(line_, std::string());
    if (reply) {
        if (auto text = reply(command)) deliver(*text, replyDelayMs);
    }
}

void VirtualTelnet::deliver(const std::string& bytes, int delayMs) {
    const std::uint64_t gen = generation_;
    time_.schedule(delayMs, [this, gen, bytes] {
        if (gen != generation_ || !up_) return;
        if (events_.onDataAvailable)
            events_.onDataAvailable(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    });
}

void VirtualTelnet::dropLink(int delayMs) {
    time_.schedule(delayMs, [this] {
        if (!up_) return;
        linkDown();
    });
}

void VirtualTelnet::linkDown() {
    ++generation_;
    up_ = false;
    if (events_.onDisconnected) events_.onDisconnected();
}

}  // namespace qs
