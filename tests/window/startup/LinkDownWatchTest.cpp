// The logger without a window ends its run once the link is down for good:
// down, with nothing under way to reopen it, for three looks in a row.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "window/LinkDownWatch.h"
#include "window/LoggerState.h"

namespace qs {
namespace {

struct Flags {
    int connected, reconnectPending, watchdogActive, restarting;
    bool starting;
};

std::unique_ptr<LoggerState> stateWith(const Flags& f) {
    auto s = std::make_unique<LoggerState>();
    s->Connected = f.connected;
    s->reconnectPending = f.reconnectPending;
    s->WatchdogActive = f.watchdogActive;
    s->Restarting = f.restarting;
    return s;
}

std::string describe(const Flags& f) {
    return "Connected=" + std::to_string(f.connected) + " reconnectPending=" + std::to_string(f.reconnectPending) +
           " WatchdogActive=" + std::to_string(f.watchdogActive) + " Restarting=" + std::to_string(f.restarting) +
           " starting=" + std::to_string(f.starting);
}

TEST(LinkDownWatch, NothingReopensTheLinkOnlyWhenEveryWayBackIsIdle) {
    const struct {
        Flags flags;
        bool nothing;
    } cases[] = {
        {{0, 0, 0, 0, false}, true},   // Start gave up, or lost with Auto-Reconnect unticked
        {{1, 0, 0, 0, false}, false},  // up
        {{0, 1, 0, 0, false}, false},  // the watchdog is to reopen it
        {{0, 0, 1, 0, false}, false},  // a recovery is running
        {{0, 0, 0, 1, false}, false},  // a restart is running
        {{0, 0, 0, 0, true}, false},   // Start is inside its attempts
        {{1, 1, 1, 1, true}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NothingReopensTheLink(*stateWith(c.flags), c.flags.starting), c.nothing) << describe(c.flags);
}

// 'd' a look at a link nothing reopens, 'u' one at a link up or on its way,
// 's' one at a down link while Start is inside its attempts; the watch
// answers '!' where the link is down for good, '.' elsewhere.
TEST(LinkDownWatch, DownForGoodAfterThreeLooksInARowAtALinkNothingReopens) {
    const struct {
        const char* looks;
        const char* answers;
    } cases[] = {
        {"ddd", "..!"},
        {"dddd", "..!!"},
        {"dduddd", ".....!"},
        {"ududud", "......"},
        {"uuu", "..."},
        {"dddudd", "..!..."},  // a look on the way up starts the count over
        {"ddsddd", ".....!"},  // so does one inside Start's attempts
    };
    const auto down = stateWith({0, 0, 0, 0, false});
    const auto up = stateWith({1, 0, 0, 0, false});
    for (const auto& c : cases) {
        LinkDownWatch watch;
        std::string answers;
        for (const char* l = c.looks; *l; ++l) answers += watch.look(*l == 'u' ? *up : *down, *l == 's') ? '!' : '.';
        EXPECT_EQ(answers, c.answers) << c.looks;
    }
}

}  // namespace
}  // namespace qs
