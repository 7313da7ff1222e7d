#pragma once
#include <cstdint>
#include <string>

#include "core/ChannelRouting.h"
#include "core/Statistics.h"
#include "link/LinkTarget.h"

namespace qs {

inline constexpr int kReceiveBufferSize = 100000;

// Who asked the link to close, which decides what its disconnect event means.
enum class StopRequest {
    None,        // nobody: the adapter or the network closed it, a loss
    ByPerson,    // a person's Stop: the logger stays stopped
    ByRecovery,  // a recovery's own Stop, which reopens the link itself
};

// The window's private values beside its controls: poll handshake and link
// flags, statistics, filter and hold values of the two channels, and the
// receive buffer. Integers are 32-bit, flags hold 0 or 1.
struct LoggerState {
    int PollBusy = 0;
    int Connected = 0;
    int Closing = 0;
    int MeanPoints = 0;
    int AbsoluteTick = 0;
    int DataEvents = 0;
    int ScrollPoints = 0;
    int OverdueTicks = 0;
    int FilterSamples = 0;
    int SamplesPerPage = 500;
    int AwaitingReply = 0;
    int ReplyPhase = 0;
    int WatchdogActive = 0;
    int Restarting = 0;
    int StrandedReplay = 0;
    int SampleCount = 0;
    int CountdownMs = 0;
    double Minimum = kMinimumStart;
    double Maximum = kMaximumStart;
    double Difference = 0.0;
    double IntervalSeconds = 2.0;
    double FilterState1 = 0.0;
    double FilterState2 = 0.0;
    double LastValue1 = 0.0;
    double LastValue2 = 0.0;
    double HeldValue1 = kNoHeldValue;
    double HeldValue2 = kNoHeldValue;
    // Invariant: while ReceiveLength > 0 the buffer holds ReceiveLength bytes
    // followed by a NUL byte, and ReceiveLength < kReceiveBufferSize.
    std::uint8_t ReceiveBuffer[kReceiveBufferSize] = {};
    int ReceiveLength = 0;

    // Link recovery beyond the classic fields above.
    // 1 while a link that went down without a Stop is to be reopened by the
    // watchdog (AutoReconnect ticked); cleared when the link is up again or a
    // person presses Stop.
    int reconnectPending = 0;
    // Who asked the current link to close.
    StopRequest stopRequested = StopRequest::None;
    // Countdown ticks since the schedule last counted from an awaited reply
    // (or the link came up). Data nobody asked for may restart the countdown
    // only while this is at most one interval, so that chatter delays a poll
    // by one interval at most.
    int ticksSinceReply = 0;
    // While the link's greeting is awaited: 1, or 2 once LinkStatus says so;
    // 0 when it came or the link is down.
    int greetingPending = 0;
    // 1 from the adapter's (or the network's) closing of the link until
    // the watchdog reopens it, which then needs no settling waits.
    int closedByPeer = 0;
    // 1 while the logger reconnects by itself: from a link lost without a
    // Stop (AutoReconnect ticked), or a recovery's start, until the link is
    // up again, a person presses Stop, or the recovery ends with
    // AutoReconnect unticked. Meanwhile the window shows logging on: Stop
    // enabled, Start not. A person's Start does not end it.
    int recovering = 0;
    // 1 while LinkStatus says a command could not be sent.
    int unsendableShown = 0;

    // Reply assembly beyond the classic fields.
    // 1 once the adapter of the current link has greeted (or the link is
    // otherwise ready, as its kind says): nothing received before that is a
    // sample. A new link clears it.
    int greetedOnLink = 0;
    // Where the last Start's host box pointed, and what kind of link it is.
    LinkTarget link;
    // 1 while the bytes that come next finish a line that the reply taken
    // before them cut in two: they are part of no reply.
    int insideCutLine = 0;
    // The command that went out last, without its CR, so that its echo is
    // told from the reply; empty once the echo came.
    std::string lastCommand;
    // In Alternate Commands, the channel whose line the data file takes
    // next. The file does not say which command a line answers and Load
    // takes its lines by turns, so the turn moves on only when a line was
    // written: a rejected reply, a lost link or a Stop asks the same
    // command again.
    int nextLineChannel = 1;

    // Statistics reset: count, extremes, filters and latest values start over.
    // Difference, the held values and ReplyPhase keep theirs.
    void ResetStatistics();
    // Filter restart: the next sample of each channel runs the warm-up.
    void RestartFilters();
};

}  // namespace qs
