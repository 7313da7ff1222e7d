// Reply assembly: every received chunk enters here, and the watchdog hands
// stranded bytes over through the same door.
#include <cstring>
#include <string>
#include <utility>

#include "core/CNumbers.h"
#include "core/ReplyLines.h"
#include "core/ReplyText.h"
#include "core/Statistics.h"
#include "link/LinkMessages.h"
#include "link/ResultsLog.h"
#include "platform/Conversions.h"
#include "window/DeferredError.h"
#include "window/TGPIBTelnet.h"

namespace qs {
namespace {

// Appends a chunk to the receive buffer; returns whether it holds a line end.
// Bytes that would overflow the buffer are dropped (the line end is still
// seen), so a flood without line ends can never write past the buffer and the
// next line end still completes a reply.
bool bufferChunk(LoggerState& s, const std::uint8_t* chunk, std::size_t size) {
    bool lineEnd = false;
    for (std::size_t i = 0; i < size; ++i) {
        std::uint8_t b = chunk[i];
        if (b == 13 || b == 10) lineEnd = true;
        if (s.ReceiveLength < kReceiveBufferSize - 1) {
            s.ReceiveBuffer[s.ReceiveLength++] = b;
            s.ReceiveBuffer[s.ReceiveLength] = 0;
        }
    }
    return lineEnd;
}

// Whether the buffered bytes hold a line end.
bool holdsLineEnd(const LoggerState& s) {
    return std::memchr(s.ReceiveBuffer, 13, static_cast<std::size_t>(s.ReceiveLength)) != nullptr ||
           std::memchr(s.ReceiveBuffer, 10, static_cast<std::size_t>(s.ReceiveLength)) != nullptr;
}

// Whether the buffered bytes, line end or not, are the adapter's greeting:
// one that greets with a prompt sends no line end behind it.
bool holdsGreeting(const LoggerState& s) {
    return s.ReceiveLength >= 4 && IsGreeting(RawText(s.ReceiveBuffer, s.ReceiveLength));
}

// Removes the first count buffered bytes; the rest move to the front.
void dropLeadingBytes(LoggerState& s, std::size_t count) {
    const std::size_t left = static_cast<std::size_t>(s.ReceiveLength) - count;
    std::memmove(s.ReceiveBuffer, s.ReceiveBuffer + count, left);
    s.ReceiveLength = static_cast<int>(left);
    s.ReceiveBuffer[left] = 0;
}

constexpr int kDefaultMinimumLength = 5;
// The countdown's tick (Timer2), in milliseconds.
constexpr int kTickMs = 100;

// Why a reply long enough to count is still no sample; empty when it is one.
// A clean text that runs to the end of the working buffer while more bytes
// were received was cut by the buffer, not ended by the reply; a number
// beyond the range the statistics can hold (an overflowing 1E999 among them)
// would turn the mean and the filter into infinities for good. Either way the
// number is not the one the instrument meant as a reading.
std::string whyNoSample(std::string_view clean, bool cutByBuffer) {
    if (cutByBuffer) return "Reply not taken as a sample: it was cut at " + IntToStr(kMaxReplyLength) + " characters";
    if (!IsSampleValue(CAtof(clean)))
        return "Reply not taken as a sample: its number lies outside " + FloatToStr(-kLargestSample) + " to " +
               FloatToStr(kLargestSample);
    return {};
}

}  // namespace

bool TGPIBTelnet::isReadySignal(const std::string& raw, std::string_view clean) const {
    switch (linkKind().readiness) {
    case LinkReadiness::Greeting:
        // Until the adapter has greeted, its greeting may follow a banner
        // line in the same chunk; later, only a reply's own line counts, so
        // that a prompt behind a reply leaves it a reply.
        return IsGreeting(State.greetedOnLink == 0 ? std::string_view(raw) : clean);
    case LinkReadiness::FirstLine:
        // The answer to the opening's last line, whatever it says.
        return State.greetedOnLink == 0;
    case LinkReadiness::Connected:
        break;
    }
    return false;
}

void TGPIBTelnet::OnDataAvailable(const std::uint8_t* chunk, std::size_t size) {
    // The chunk is buffered before any setting is read: a bad IntervalBox or
    // MinStringBox text is reported, but never costs received bytes.
    bool complete = State.StrandedReplay != 0;
    if (!complete) {
        // The rest of a line that the last reply cut in two could only be
        // taken for the start of a reply, and it is the tail of a number.
        if (State.insideCutLine != 0) {
            const CutLineRest rest = RestOfCutLine(chunk, size);
            if (rest.lineEnded) State.insideCutLine = 0;
            chunk += rest.length;
            size -= rest.length;
        }
        complete = bufferChunk(State, chunk, size) ||
                   (linkKind().readiness == LinkReadiness::Greeting && holdsGreeting(State));
    }
    // Data came: the watchdog waits a whole time-out from the next overdue
    // tick. Left to the next tick, an interval shorter than the tick would
    // find the countdown run out again at once, and the watchdog armed by
    // the poll's own tick would never be disarmed while replies keep coming.
    WatchdogTimer.setEnabled(false);

    DeferredError deferred;
    // Every chunk of an awaited reply restarts the countdown (the relative
    // schedule counts from the last data of the reply). Data nobody asked
    // for restarts it only within one interval of that: an adapter that
    // chatters more often than the interval would otherwise hold the next
    // poll off for good.
    const bool solicited = State.AwaitingReply != 0 || State.StrandedReplay != 0;
    bool restarted = false;
    deferred.run([&] {
        const int interval = intervalMs();
        if (!solicited && static_cast<long long>(State.ticksSinceReply) * kTickMs > interval) return;
        if (solicited) State.ticksSinceReply = 0;
        State.CountdownMs = interval;
        restarted = true;
    });
    int minimumLength = kDefaultMinimumLength;
    deferred.run([&] {
        minimumLength = StrToInt(MinStringBox.text());
        if (minimumLength < 1) {
            minimumLength = kDefaultMinimumLength;
            MinStringBox.setText("5");
        }
    });
    SampleTime time = now();

    // A device in local echo sends the command back before its reply. The
    // echo is shown and logged on its own and is never a sample; what came
    // behind it stays buffered as the start of the reply.
    while (complete && State.StrandedReplay == 0) {
        std::string raw = RawText(State.ReceiveBuffer, State.ReceiveLength);
        if (!IsEchoOf(raw, State.lastCommand)) break;
        State.lastCommand.clear();
        raw.resize(raw.size() - AfterFirstLine(raw).size());
        dropLeadingBytes(State, raw.size());
        MeasuredBox.setText(std::string(CleanText(raw)));
        if (SaveResultsBox.checked()) LogReply(raw);
        complete = holdsLineEnd(State);
    }

    if (complete) {
        std::string raw = RawText(State.ReceiveBuffer, State.ReceiveLength);
        std::string_view clean = CleanText(raw);
        const bool cutByBuffer =
            State.ReceiveLength > kMaxReplyLength && clean.size() == static_cast<std::size_t>(kMaxReplyLength);
        const std::string_view buffered(reinterpret_cast<const char*>(State.ReceiveBuffer),
                                        static_cast<std::size_t>(State.ReceiveLength));
        if (EndsInsideALine(buffered)) State.insideCutLine = 1;
        State.ReceiveLength = 0;
        State.ReceiveBuffer[0] = 0;
        MeasuredBox.setText(std::string(clean));

        if (SaveResultsBox.checked()) {
            if (State.StrandedReplay) LogTimedOutReply(raw);
            else LogReply(raw);
        }

        // The greeting, or what stands for it on this kind of link.
        if (isReadySignal(raw, clean)) {
            linkReady(restarted, deferred);
        } else if (State.greetedOnLink == 0 || State.AwaitingReply == 0) {
            // Nothing the logger did not ask for is a sample: a banner before
            // the greeting, a notice or a burst's further lines between two
            // polls. It has been shown and logged; the poll handshake is not
            // its business.
        } else {
            if (DeleteFirstCheckBox.checked() && clean.size() >= 2) clean.remove_prefix(1);
            // A reply that is no sample has been shown and logged as it
            // stands; the status line says why nothing else came of it.
            const bool tooShort = static_cast<int>(clean.size()) < minimumLength;
            const std::string noSample = tooShort ? std::string() : whyNoSample(clean, cutByBuffer);
            if (tooShort || !noSample.empty()) {
                State.PollBusy = 0;
                State.AwaitingReply = 0;
                if (!noSample.empty()) showDataFileNote(noSample);
            } else {
                EvaluateSample(clean, time);
            }
        }
    }
    deferred.rethrow();
}

}  // namespace qs
