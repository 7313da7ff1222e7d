// Reply assembly on a window of the virtual back end, driven by the input as
// a script: received chunks (short ones, and floods long enough to overrun
// the receive buffer), the watchdog's replay of stranded bytes, and the
// controls a person may change meanwhile. After every step the Logger state
// must hold its invariants; a setting that does not convert may end a step
// with the framework's Exception, nothing else may escape. No statistic and
// no point may ever be an infinity or NaN.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "FuzzInput.h"
#include "TempWorkDir.h"
#include "core/ReplyText.h"
#include "platform/Exception.h"
#include "platform/virtual/VirtualPlatform.h"
#include "window/FlagScope.h"
#include "window/LoggerState.h"
#include "window/TGPIBTelnet.h"

namespace {

using qs::fuzz::FuzzInput;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "reply assembly: %s\n", what);
    std::abort();
}

// A short text for an edit box: mostly digits and signs, so that numbers
// near the edges (0, 1, negative, beyond 32 bits) come up often.
std::string boxText(FuzzInput& in) {
    static constexpr char kAlphabet[] = "0123456789-+ 9x";
    const std::size_t length = in.byte() % 12;
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = in.byte();
        text.push_back(b < 0xF0 ? kAlphabet[b % (sizeof kAlphabet - 1)] : static_cast<char>(b));
    }
    return text;
}

void changeControl(qs::TGPIBTelnet& w, FuzzInput& in) {
    switch (in.byte() % 9) {
    case 0: w.DeleteFirstCheckBox.click(); break;
    case 1: w.MinStringBox.setText(boxText(in)); break;
    case 2: w.MinStringBox.exit(); break;
    case 3: w.RadioButton1.setChecked(true); break;
    case 4: w.RadioButton2.setChecked(true); break;
    case 5: w.RadioButton3.setChecked(true); break;
    case 6:
        w.ScrollBox.setText(boxText(in));
        w.ScrollBox.exit();
        break;
    case 7: w.SaveResultsBox.click(); break;
    default: w.State.ReplyPhase = in.byte() % 2 + 1; break;
    }
}

void step(qs::TGPIBTelnet& w, FuzzInput& in) {
    const std::uint8_t op = in.byte() % 16;
    if (op < 6) {
        const std::string chunk = in.bytes(in.byte() % 64 + 1);
        w.OnDataAvailable(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
    } else if (op == 6) {
        // A flood of one byte value: either just around the size of the
        // receive buffer, or up to 16 KiB.
        const std::uint8_t value = in.byte();
        const std::uint8_t size = in.byte();
        const std::size_t length = (size & 0x80) != 0 ? qs::kReceiveBufferSize - 4 + (size & 7) : (size & 0x7F) * 128u;
        const std::string flood(length, static_cast<char>(value));
        w.OnDataAvailable(reinterpret_cast<const std::uint8_t*>(flood.data()), flood.size());
    } else if (op < 10) {
        // What the watchdog does with bytes that never got their line end.
        qs::FlagScope replaying(w.State.StrandedReplay);
        w.OnDataAvailable(nullptr, 0);
    } else {
        changeControl(w, in);
    }
}

struct Counts {
    std::array<int, 6> series{};
    int samples = 0;
};

Counts countsOf(qs::TGPIBTelnet& w) {
    Counts c;
    for (int n = 1; n <= 6; ++n) c.series[static_cast<std::size_t>(n - 1)] = w.Chart1.Series(n).Count();
    c.samples = w.State.SampleCount;
    return c;
}

void checkInvariants(qs::TGPIBTelnet& w, const Counts& before) {
    const qs::LoggerState& s = w.State;
    if (s.ReceiveLength < 0 || s.ReceiveLength >= qs::kReceiveBufferSize) fail("ReceiveLength out of the buffer");
    if (s.ReceiveBuffer[s.ReceiveLength] != 0) fail("receive buffer not NUL-terminated");
    if (s.StrandedReplay != 0) fail("StrandedReplay left standing");

    const Counts now = countsOf(w);
    if (now.samples < before.samples || now.samples > before.samples + 1) fail("more than one sample per step");
    // Each sample adds one mean and one filter point to the series of its
    // channel, and scrolling takes them off in pairs.
    if (now.series[1] != now.series[2]) fail("Series2 and Series3 differ in length");
    if (now.series[5] != now.series[4]) fail("Series6 and Series5 differ in length");
    if (now.series[1] + now.series[5] > now.samples) fail("more mean points than samples");
    for (std::size_t i = 0; i < now.series.size(); ++i) {
        if (now.series[i] > before.series[i] + 1) fail("a series grew by more than one point in one step");
        // A scrolling window keeps a series from growing beyond it.
        if (s.ScrollPoints > 0 && now.series[i] > before.series[i] && now.series[i] > s.ScrollPoints)
            fail("a series grew beyond the scroll window");
    }

    // Whatever the replies, the statistics and the newest points stay finite.
    for (double v : {s.Minimum, s.Maximum, s.Difference, s.FilterState1, s.FilterState2, s.LastValue1, s.LastValue2,
                     s.HeldValue1, s.HeldValue2})
        if (!std::isfinite(v)) fail("a statistic is not finite");
    for (int n = 1; n <= 6; ++n) {
        const qs::ISeries& series = w.Chart1.Series(n);
        if (series.Count() > 0 && !std::isfinite(series.YValue(series.Count() - 1))) fail("a point is not finite");
    }

    const std::string& measured = w.MeasuredBox.text();
    if (measured.size() > static_cast<std::size_t>(qs::kMaxReplyLength)) fail("MeasuredBox longer than a reply");
    for (char c : measured)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 122)
            fail("MeasuredBox holds a byte that cleaning removes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The window writes its data file and Results.txt into the working directory.
    qs::test::TempWorkDir dir;
    qs::VirtualPlatform vp;
    qs::TGPIBTelnet w(vp.platform);
    FuzzInput in(data, size);
    while (!in.empty()) {
        const Counts before = countsOf(w);
        try {
            step(w, in);
        } catch (const qs::Exception&) {
            // A setting that does not convert: reported by the platform, the window goes on.
        } catch (const std::exception& e) {
            std::fprintf(stderr, "reply assembly: unexpected %s\n", e.what());
            std::abort();
        }
        checkInvariants(w, before);
    }
    return 0;
}
