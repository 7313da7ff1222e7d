// A misbehaving adapter (kiss488-sim's fault options on loopback) against the
// real window: whatever the link does, the logger keeps running, takes a
// sample only from a reply the adapter sent whole, and logs again within two
// time-outs once the adapter behaves.
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "FaultCaseTest.h"
#include "SampleAudit.h"

namespace qs::test {
namespace {

// From when the adapter behaves again, which is when the recovery is timed
// from.
enum class Heal {
    Listening,           // nothing listens at first; the simulator starts on the port later
    SecondLink,          // the first link is faulty, the next ones behave (--faulty-links 1)
    AfterFaultyReplies,  // once the last of the faulty replies (--faulty-replies) went out
    FromTheStart,        // the fault comes with every link and must not keep the logger from logging
};

struct LinkFault {
    const char* name;
    const char* options;  // kiss488-sim's, blank-separated
    Heal heal;
    int faultyReplies = 0;  // for AfterFaultyReplies: how many there are
    // How long a faulty link is given before it is dropped: a link that has
    // not greeted gets the greeting wait (30 s), any other the time-out.
    long long patienceMs = FaultCaseTest::kTimeOutSeconds * 1000;
};

void PrintTo(const LinkFault& fault, std::ostream* os) { *os << fault.name; }

const LinkFault kLinkFaults[] = {
    {"refused", "", Heal::Listening},
    {"never_greets", "--no-greeting --faulty-links 1", Heal::SecondLink, 0, 30000},
    {"closed_mid_reply", "--cut-reply 3 --faulty-links 1", Heal::SecondLink},
    {"stops_answering", "--mute-after 3 --faulty-links 1", Heal::SecondLink},
    {"megabyte_without_line_end", "--flood 1048576 --faulty-replies 1", Heal::AfterFaultyReplies, 1},
    {"negotiation_burst", "--negotiation-burst 10000", Heal::FromTheStart},
    {"binary_bytes", "--binary 64 --faulty-replies 3", Heal::AfterFaultyReplies, 3},
    {"one_byte_per_chunk", "--chunk 1 --chunk-gap 5", Heal::FromTheStart},
};

constexpr long long kIntervalMs = 300;
constexpr long long kTimeOutMs = FaultCaseTest::kTimeOutSeconds * 1000;
// The watchdog's reconnect: its Stop waits 500 ms after the disconnect, then
// come 1000 + 500 + 500 ms of waits before its Start; a second and a half
// more covers the 100 ms ticks, the connect and a busy machine.
constexpr long long kReconnectMs = 4000;

class LinkFaultTest : public FaultCaseTest, public ::testing::WithParamInterface<LinkFault> {
protected:
    std::unique_ptr<FaultSimulator> sim;
    std::optional<long long> healMs;

    std::optional<long long> healTime() {
        const LinkFault& fault = GetParam();
        if (fault.heal == Heal::Listening) return healMs;
        const std::vector<LinkRecord> links = sim->links();
        if (fault.heal == Heal::FromTheStart) {
            if (links.empty()) return std::nullopt;
            return links.front().atMs;
        }
        if (fault.heal == Heal::SecondLink) {
            for (const LinkRecord& l : links)
                if (!l.faulty) return l.atMs;
            return std::nullopt;
        }
        int faulty = 0;
        for (const SentRecord& r : sim->sent()) {
            if (r.kind == "greeting" || r.kind == "reply") continue;
            if (++faulty == fault.faultyReplies) return r.atMs;
        }
        return std::nullopt;
    }

    // The adapter comes up only after Start has been refused twice.
    void startAgainstNothingListening() {
        const int port = FreeLoopbackPort();
        FastConfig("127.0.0.1:" + std::to_string(port)).write();
        ASSERT_NO_FATAL_FAILURE(openWindow());
        std::string refusal;
        QTimer::singleShot(1200, &window(), [&, port] {
            refusal = app->telnet.lastError();
            sim = std::make_unique<FaultSimulator>(QStringList{}, port);
            healMs = MonotonicMs();
        });
        click("StartButton");
        ASSERT_TRUE(sim);
        ASSERT_EQ(sim->port(), port);
        EXPECT_NE(refusal.find("refused"), std::string::npos) << "the last failed attempt: " << refusal;
    }

    // From the first link on, while the logger reconnects by itself, the
    // window's own buttons show logging on: Start disabled, Stop enabled.
    QTimer buttonWatch;
    bool linkWasUp = false;
    int downLooks = 0;
    std::vector<std::string> offLooks;
    void watchTheButtons() {
        buttonWatch.setInterval(20);
        QObject::connect(&buttonWatch, &QTimer::timeout, &window(), [this] {
            if (logger().State.Connected != 0) linkWasUp = true;
            if (!linkWasUp) return;
            if (logger().State.Connected == 0) ++downLooks;
            const bool start = view<QPushButton>("StartButton")->isEnabled();
            const bool stop = view<QPushButton>("ResetButton")->isEnabled();
            if (start || !stop) offLooks.push_back(logger().LinkStatus.caption());
        });
        buttonWatch.start();
    }

    void startAgainstFaultySimulator() {
        sim = std::make_unique<FaultSimulator>(
            QString::fromLatin1(GetParam().options).split(QLatin1Char(' '), Qt::SkipEmptyParts));
        ASSERT_NE(sim->port(), 0);
        FastConfig(sim->host()).write();
        ASSERT_NO_FATAL_FAILURE(openWindow());
        click("StartButton");
    }
};

TEST_P(LinkFaultTest, LogsAgainWithinTwoTimeOutsAndTakesOnlyWholeReplies) {
    const LinkFault& fault = GetParam();
    if (fault.heal == Heal::Listening) ASSERT_NO_FATAL_FAILURE(startAgainstNothingListening());
    else ASSERT_NO_FATAL_FAILURE(startAgainstFaultySimulator());

    watchTheButtons();
    // Three samples after the adapter behaves again, then Stop.
    std::optional<long long> healed;
    const bool recovered = WaitFor(
        [&] {
            if (!healed) healed = healTime();
            return healed && samplesSince(*healed) >= 3;
        },
        30000 + fault.patienceMs);
    ASSERT_TRUE(recovered) << "healed: " << (healed ? "yes" : "no") << ", samples: " << count()
                           << "\nsimulator:\n" << sim->output();
    buttonWatch.stop();
    EXPECT_EQ(offLooks, std::vector<std::string>{}) << "logging shown off while the link was down " << downLooks
                                                    << " looks";
    if (fault.heal == Heal::SecondLink) {
        EXPECT_GT(downLooks, 0) << "the faulty link was never seen down";
    }
    ASSERT_TRUE(stopRightAfterSample(0, 5000));
    sim->stop();

    const long long recoveryMs = *firstSampleSince(*healed) - *healed;
    std::cerr << "first sample " << recoveryMs << " ms after the adapter behaved\n";
    EXPECT_LE(recoveryMs, 2 * kTimeOutMs);

    if (fault.heal == Heal::SecondLink) {
        // The faulty link was given up within one time-out of its last sign
        // of life (its start, or the last bytes it brought), plus the
        // countdown and the reconnect's own waits.
        const std::vector<LinkRecord> links = sim->links();
        ASSERT_GE(links.size(), 2u);
        long long lastSign = links[0].atMs;
        for (const SentRecord& r : sim->sent())
            if (r.atMs < links[1].atMs) lastSign = std::max(lastSign, r.atMs);
        std::cerr << "faulty link given up " << links[1].atMs - lastSign << " ms after its last sign of life\n";
        EXPECT_LE(links[1].atMs - lastSign, kIntervalMs + fault.patienceMs + kReconnectMs);
    }

    const std::vector<std::string> lines = ReadLines("Data.txt");
    const std::vector<std::string> texts = ReplyTextsOf(lines);
    const std::vector<double> chart = YValues(app->chart.Series(1));
    ExpectNoInventedSample(texts, chart, sim->completeValues());
    // The chart and the data file hold the same samples, in the same order.
    EXPECT_EQ(static_cast<int>(chart.size()), count());
    for (std::size_t i = 0; i < std::min(chart.size(), texts.size()); ++i)
        EXPECT_EQ(chart[i], ValueOf(texts[i])) << "sample " << i + 1;

    std::vector<std::string> wholeReplies;
    for (const SentRecord& r : sim->sent())
        if (r.kind == "reply") wholeReplies.push_back(r.text);
    const int lostToFile = std::max(0, count() - static_cast<int>(lines.size()));
    const int notSampled = MissingFrom(wholeReplies, texts);
    samplesLost = lostToFile + notSampled;
    EXPECT_EQ(lostToFile, 0) << "samples counted without a data-file line";
    EXPECT_EQ(notSampled, 0) << "whole replies that became no sample\nsimulator:\n" << sim->output();
}

INSTANTIATE_TEST_SUITE_P(Link, LinkFaultTest, ::testing::ValuesIn(kLinkFaults),
                         [](const ::testing::TestParamInfo<LinkFault>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
