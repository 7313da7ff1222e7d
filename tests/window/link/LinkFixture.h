#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "WindowHarness.h"
#include "link/LinkMessages.h"
#include "platform/Exception.h"

namespace qs::test {

// A window on the virtual back end, with what start-up would have set for
// the default interval (2 s) and time-out (5 s), and an adapter whose every
// command is recorded with the virtual time it went out.
class LinkTest : public ::testing::Test {
protected:
    WindowHarness h;
    TGPIBTelnet& w = h.w;
    VirtualPlatform& vp = h.vp;
    VirtualTelnet& telnet = h.vp.telnet;

    struct Sent {
        std::int64_t atMs;
        std::string command;
    };
    std::vector<Sent> sends;
    std::optional<std::string> answer = std::string("+1.23456789E+00\r\n");

    static constexpr const char* kGreeting = "KISS-488 GPIB-LAN adapter ready\r\n";
    static constexpr const char* kGreetingRecord = "{KISS-488 GPIB-LAN adapter ready\r\r\n}";

    LinkTest() {
        w.Timer1.setInterval(2000);
        w.Timer3.setInterval(2000);
        w.WatchdogTimer.setInterval(5000);
        telnet.greeting = kGreeting;
        telnet.reply = [this](const std::string& command) {
            sends.push_back({now(), command});
            return answer;
        };
    }

    std::int64_t now() const { return h.vp.time.nowMs(); }
    void advance(std::int64_t ms) { h.advance(ms); }
    void advanceTo(std::int64_t ms) { h.advance(ms - now()); }

    std::vector<std::int64_t> sendTimes() const {
        std::vector<std::int64_t> times;
        for (const Sent& s : sends) times.push_back(s.atMs);
        return times;
    }
    std::vector<std::string> sentCommands() const {
        std::vector<std::string> commands;
        for (const Sent& s : sends) commands.push_back(s.command);
        return commands;
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& b : h.vp.dialogs.boxes) texts.push_back(b.text);
        return texts;
    }
};

}  // namespace qs::test
