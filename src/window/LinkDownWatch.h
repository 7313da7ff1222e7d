#pragma once

namespace qs {

struct LoggerState;

// Whether the link is down with nothing under way to reopen it: not up, no
// reconnect pending, no watchdog recovery or restart running, and Start not
// inside its attempts (starting).
bool NothingReopensTheLink(const LoggerState& state, bool starting);

// Where nobody will press Start again (the logger without a window), a link
// that stays down with nothing under way to reopen it is down for good. The
// watch looks at the link now and then and tells when.
class LinkDownWatch {
public:
    // Looks in a row at a link that nothing reopens before it is down for good.
    static constexpr int kDownLooks = 3;

    // One look; true once the link has been down for good, at this look and
    // every later one until a look finds it up or on its way up.
    bool look(const LoggerState& state, bool starting);

private:
    int downLooks_ = 0;
};

}  // namespace qs
