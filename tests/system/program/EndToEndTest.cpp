// The whole program in this process against kiss488-sim on loopback: a
// person types the settings, presses Start, watches samples arrive, and the
// link is kept alive by the watchdog. Short intervals keep each case to a
// few seconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "GermanLocale.h"
#include "VncKeyboard.h"
#include "WindowFixture.h"

namespace qs::test {
namespace {

const QRegularExpression kDataLine(QStringLiteral(
    "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d, [ -z]+, -?\\d\\.\\d{8}E[+-]\\d{2,3}, -?\\d\\.\\d{8}E[+-]\\d{2,3}$"));

struct EndToEndTest : WindowFixture {
    int count() { return std::atoi(logger().CountBox.caption().c_str()); }

    // What a person does before pressing Start.
    void configure(const std::string& host, const QString& interval = QStringLiteral("0.25"),
                   const QString& timeOut = QStringLiteral("1")) {
        typeAndLeave("HostBox", QString::fromStdString(host), "CommandBox");
        typeAndLeave("IntervalBox", interval, "CommandBox");
        typeAndLeave("TimeOutBox", timeOut, "CommandBox");
    }
    bool waitForSamples(int n, int timeoutMs) {
        return WaitFor([&] { return count() >= n; }, timeoutMs);
    }
    std::vector<std::string> dataLines() { return ReadLines("Data.txt"); }
    // Every link that comes up, the first and each one reopened: the status
    // line enters "Link up" once a connection (Start stays disabled across a
    // reconnect, so its state tells nothing).
    int linkUps = 0;
    void watchLinkUps() {
        auto linkUp = [this] { return logger().LinkStatus.caption().rfind("Link up", 0) == 0; };
        logger().LinkStatus.onViewUpdate = [this, linkUp, previous = logger().LinkStatus.onViewUpdate,
                                            up = linkUp()]() mutable {
            if (previous) previous();
            if (linkUp() != up) {
                up = linkUp();
                if (up) ++linkUps;
            }
        };
    }
};

TEST_F(EndToEndTest, StartLogsSamplesToTheChartAndTheDataFileUntilStop) {
    Simulator sim;
    ASSERT_NE(sim.port(), 0);
    configure(sim.host());
    click("StartButton");
    ASSERT_TRUE(waitForSamples(5, 10000)) << "samples: " << count();
    EXPECT_FALSE(window().widgetOf("StartButton")->isEnabled());
    EXPECT_TRUE(window().widgetOf("ResetButton")->isEnabled());
    EXPECT_FALSE(edit("IntervalBox")->isEnabled());
    // The reading of the simulated voltmeter is in the box and on the chart.
    EXPECT_TRUE(edit("MeasuredBox")->text().contains(QStringLiteral("E+00")));
    click("ResetButton");
    const int stopped = count();
    EXPECT_TRUE(window().widgetOf("StartButton")->isEnabled());
    EXPECT_EQ(logger().CountDown.caption(), "Offline");
    QTest::qWait(700);
    EXPECT_EQ(count(), stopped);
    EXPECT_EQ(app->chart.Series(1).Count(), stopped);
    const auto lines = dataLines();
    ASSERT_EQ(static_cast<int>(lines.size()), stopped);
    for (const auto& l : lines) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
}

// After Start (and Stop) a stray key must not land in Command 1: the focus
// goes to the button that is now enabled, and no box has its text selected.
TEST_F(EndToEndTest, StartAndStopHandTheFocusToTheOtherButtonAndAStrayKeyChangesNoCommand) {
    Simulator sim;
    configure(sim.host());
    const QString command = edit("CommandBox")->text();
    click("StartButton");
    ASSERT_TRUE(waitForSamples(2, 10000)) << "samples: " << count();
    EXPECT_EQ(QApplication::focusWidget(), window().widgetOf("ResetButton"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
    click("ResetButton");
    EXPECT_EQ(QApplication::focusWidget(), window().widgetOf("StartButton"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("y"));
    EXPECT_EQ(edit("CommandBox")->text(), command);
    EXPECT_EQ(logger().CommandBox.text(), command.toStdString());
    for (const char* box : {"CommandBox", "CommandBox2", "HostBox", "IntervalBox"})
        EXPECT_FALSE(edit(box)->hasSelectedText()) << box;
}

TEST_F(EndToEndTest, NothingIsSentBeforeTheAdaptersGreeting) {
    const std::string record = (dir.path() / "received.bin").string();
    Simulator sim({QStringLiteral("--no-greeting"), QStringLiteral("--record"), QString::fromStdString(record)});
    configure(sim.host());
    click("StartButton");
    EXPECT_FALSE(window().widgetOf("StartButton")->isEnabled());  // the link is up
    QTest::qWait(1500);
    EXPECT_EQ(count(), 0);
    ASSERT_TRUE(FileExists(record));
    EXPECT_EQ(ReadFile(record), "");
    EXPECT_FALSE(FileExists("Data.txt"));
}

TEST_F(EndToEndTest, LinkDroppedByTheAdapterIsReopenedByTheWatchdog) {
    Simulator sim({QStringLiteral("--close-after"), QStringLiteral("3")});
    configure(sim.host());
    watchLinkUps();
    click("StartButton");
    ASSERT_TRUE(waitForSamples(3, 10000));
    // Three replies, then the adapter hangs up; the logger reconnects by itself.
    ASSERT_TRUE(waitForSamples(5, 15000)) << "samples: " << count();
    EXPECT_GE(linkUps, 2);
    EXPECT_EQ(static_cast<int>(dataLines().size()), count());
}

TEST_F(EndToEndTest, AnErrorBoxLeftOpenWhileTheLinkDropsAndComesBackLosesNothing) {
    // Every reply raises a conversion error (no minimum length), and its box
    // is left open while the adapter hangs up after three replies and the
    // watchdog reopens the link: the box is a nested loop the link's events
    // and the watchdog's recovery run inside.
    Simulator sim({QStringLiteral("--close-after"), QStringLiteral("3")});
    configure(sim.host());
    QLineEdit* minimum = edit("MinStringBox");
    minimum->setFocus(Qt::MouseFocusReason);
    minimum->selectAll();
    QTest::keyClick(minimum, Qt::Key_Backspace);
    edit("CommandBox")->setFocus(Qt::TabFocusReason);
    watchLinkUps();

    QElapsedTimer openFor;
    int countWhenOpened = -1, countWhenAnswered = -1, linkUpsWhenAnswered = 0, answered = 0;
    QStringList texts;
    QTimer person;
    person.setInterval(50);
    QObject::connect(&person, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (!openFor.isValid()) {
            openFor.start();
            countWhenOpened = count();
        }
        // The first box stays open for a while; later ones are answered as
        // they come, with Enter.
        if (answered == 0 && openFor.elapsed() < 6000) return;
        if (answered == 0) {
            countWhenAnswered = count();
            linkUpsWhenAnswered = linkUps;
        }
        texts << box->text();
        ++answered;
        QTest::keyClick(box, Qt::Key_Return);
    });
    person.start();

    click("StartButton");
    ASSERT_TRUE(WaitFor([&] { return answered >= 1 && count() >= countWhenAnswered + 3; }, 30000))
        << "samples: " << count() << ", answered: " << answered;
    person.stop();

    // Samples went on while the box was open, across the reconnect.
    EXPECT_GE(linkUpsWhenAnswered, 2);
    EXPECT_GT(countWhenAnswered, countWhenOpened + 2);
    for (const QString& text : texts) EXPECT_EQ(text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(static_cast<int>(dataLines().size()), count());
}

TEST_F(EndToEndTest, StrandedReplyIsTakenByTheWatchdogWithoutReconnecting) {
    // Every second reply comes without its line end.
    Simulator sim({QStringLiteral("--strand-every"), QStringLiteral("2")});
    configure(sim.host());
    click("StartButton");
    watchLinkUps();
    ASSERT_TRUE(waitForSamples(4, 15000)) << "samples: " << count();
    // The stranded readings became samples and the link stayed up.
    EXPECT_EQ(linkUps, 0);
    EXPECT_FALSE(window().widgetOf("StartButton")->isEnabled());
    for (const auto& l : dataLines()) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
}

// Replies that are no numbers, or numbers no double holds: the ones without
// a number are samples of 0, the overflowing one is shown and logged but no
// sample, and every data line's mean and filter stay finite numbers while
// logging goes on.
TEST_F(EndToEndTest, RepliesOfInfinitiesAndNaNNeverReachTheMeanOrTheFilter) {
    Simulator sim({QStringLiteral("--replies"), QStringLiteral("INF,nan,0x1A,1E999,+1.0E+00")});
    configure(sim.host(), QStringLiteral("0.1"));
    typeAndLeave("MinStringBox", QStringLiteral("1"), "CommandBox");
    click("SaveResultsBox");
    click("StartButton");
    // Two rounds of the five replies: eight samples.
    ASSERT_TRUE(waitForSamples(8, 15000)) << "samples: " << count();
    click("ResetButton");
    const auto lines = dataLines();
    ASSERT_EQ(static_cast<int>(lines.size()), count());
    for (const auto& l : lines) {
        EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
        EXPECT_EQ(l.find("1E999"), std::string::npos) << l;
    }
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i < app->chart.Series(n).Count(); ++i)
            EXPECT_TRUE(std::isfinite(app->chart.Series(n).YValue(i))) << "series " << n << " point " << i;
    EXPECT_NE(ReadFile("Results.txt").find("{1E999\r\r\n}"), std::string::npos);
}

TEST_F(EndToEndTest, ClosingWhileStartWaitsForTheLinkClosesAtOnce) {
    // Nothing listens there: Start would try 30 times, 500 ms apart.
    const quint16 dead = VncKeyboard::freePort();
    configure("127.0.0.1:" + std::to_string(dead));
    BoxAnswerer answerer;
    QTimer::singleShot(1200, &window(), [this] { window().close(); });
    QElapsedTimer clock;
    clock.start();
    click("StartButton");
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_TRUE(window().hasClosed());
    EXPECT_TRUE(app->runtime.shuttingDown());
    // Closed as by its close button: settings saved, no error box afterwards.
    const auto config = ReadLines("config.txt");
    ASSERT_EQ(config.size(), 23u);
    EXPECT_EQ(config[0], "127.0.0.1:" + std::to_string(dead));
    QTest::qWait(100);
    EXPECT_TRUE(answerer.boxes().empty());
}

TEST_F(EndToEndTest, FilesAndCaptionsKeepAPointUnderAGermanLocale) {
    GermanLocaleScope german;
    if (!german.active()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    Simulator sim({QStringLiteral("--volts"), QStringLiteral("1234.5")});
    configure(sim.host(), QStringLiteral("0.3"));
    click("SaveResultsBox");
    click("StartButton");
    ASSERT_TRUE(waitForSamples(3, 10000));
    click("ResetButton");
    for (const auto& l : dataLines()) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
    for (const char* caption : {"LastBox", "MaxBox", "MinBox", "ShowMean", "FilterValue"}) {
        const QString text = view<QLabel>(caption)->text();
        EXPECT_TRUE(text.contains('.') && !text.contains(',')) << caption << ": " << text.toStdString();
    }
    QVector<double> ticks;
    QVector<QString> labels;
    QCustomPlot* plot = app->chart.widget();
    plot->yAxis->ticker()->generate(plot->yAxis->range(), plot->locale(), 'g', 6, ticks, nullptr, &labels);
    for (const QString& l : labels) EXPECT_FALSE(l.contains(QRegularExpression(QStringLiteral(",\\d{1,2}$")))) << l.toStdString();
    window().close();
    EXPECT_EQ(ReadLines("config.txt").at(1), "0.3");
    const std::string results = ReadFile("Results.txt");
    EXPECT_NE(results.find("E+03"), std::string::npos);
}

}  // namespace
}  // namespace qs::test

// ---- each kind of link the host box names, against the simulator speaking it

namespace qs::test {
namespace {

// The simulator's replies, in turn over every link: the data lines take them
// whatever the link.
const char* const kScriptedReplies[] = {"+1.10000000E+00", "+1.20000000E+00", "+1.30000000E+00",
                                        "+1.40000000E+00", "+1.50000000E+00", "+1.60000000E+00",
                                        "+1.70000000E+00", "+1.80000000E+00"};
constexpr const char* kCommand = "MEAS:VOLT:DC? 5,0.00001";

struct KindCase {
    const char* name;
    const char* protocol;       // kiss488-sim --protocol
    std::string hostPrefix;     // before 127.0.0.1:PORT
    std::string hostSuffix;     // after it
    std::string linkOpening;    // Results.txt at the start of each link
    std::string commandEnd;     // as the transcript keeps it
    std::string replyEnd;       // a reply's line end in the transcript (text mode)
};

std::string scriptedReplies() {
    std::string list;
    for (const char* r : kScriptedReplies) list += std::string(list.empty() ? "" : ",") + r;
    return list;
}

class LinkKindEndToEnd : public EndToEndTest, public ::testing::WithParamInterface<KindCase> {};

// Three replies a link, then the simulator hangs up and the watchdog opens
// the link again; five samples in all.
TEST_P(LinkKindEndToEnd, SamplesGoToTheDataFileAndTheTranscriptKeepsEveryByteAcrossADroppedLink) {
    const KindCase& c = GetParam();
    Simulator sim({QStringLiteral("--protocol"), QString::fromLatin1(c.protocol), QStringLiteral("--close-after"),
                   QStringLiteral("3"), QStringLiteral("--replies"), QString::fromStdString(scriptedReplies()),
                   QStringLiteral("--log-sent"), QStringLiteral("--delay"), QStringLiteral("100")});
    ASSERT_NE(sim.port(), 0);
    const std::string host = c.hostPrefix + "127.0.0.1:" + std::to_string(sim.port()) + c.hostSuffix;
    configure(host);
    click("SaveResultsBox");
    watchLinkUps();
    click("StartButton");
    ASSERT_TRUE(waitForSamples(5, 20000)) << "samples: " << count() << "\n" << sim.output();
    click("ResetButton");
    EXPECT_GE(linkUps, 2);

    // The same data lines for every kind: the replies, in order.
    const auto lines = dataLines();
    ASSERT_EQ(static_cast<int>(lines.size()), count());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(kDataLine.match(QString::fromStdString(lines[i])).hasMatch()) << lines[i];
        EXPECT_EQ(lines[i].substr(21, 16), std::string(kScriptedReplies[i]) + ",") << lines[i];
    }

    // Results.txt byte for byte: each link's opening (the greeting, or the
    // controller's set-up and its answer), then command and reply by turns.
    std::string expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i % 3 == 0) expected += c.linkOpening;
        expected += kCommand + c.commandEnd + "{" + kScriptedReplies[i] + c.replyEnd + "}";
    }
    const std::string results = ReadFile("Results.txt");
    ASSERT_GE(results.size(), expected.size()) << results;
    EXPECT_EQ(results.substr(0, expected.size()), expected);
    // A poll Stop cut short leaves its command, and nothing else.
    const std::string rest = results.substr(expected.size());
    const std::string nextPoll = (lines.size() % 3 == 0 ? c.linkOpening : std::string()) + kCommand + c.commandEnd;
    EXPECT_TRUE(rest.empty() || nextPoll.rfind(rest, 0) == 0) << rest;
}

TEST_F(EndToEndTest, TheControllerIsSetUpInOrderOnEveryLinkAndPolledOnlyAfterItAnsweredItsVersionQuery) {
    // The controller answers ++ver a while after it was asked.
    Simulator sim({QStringLiteral("--protocol"), QStringLiteral("prologix"), QStringLiteral("--gpib-address"),
                   QStringLiteral("7"), QStringLiteral("--close-after"), QStringLiteral("2"),
                   QStringLiteral("--delay"), QStringLiteral("400"), QStringLiteral("--log-sent")});
    configure("prologix://127.0.0.1:" + std::to_string(sim.port()) + "/7", QStringLiteral("0.25"),
              QStringLiteral("2"));
    click("StartButton");
    ASSERT_TRUE(waitForSamples(3, 20000)) << "samples: " << count() << "\n" << sim.output();
    click("ResetButton");

    const std::string out = sim.output();
    const std::string setUp =
        "controller: ++savecfg 0\ncontroller: ++mode 1\ncontroller: ++auto 1\ncontroller: ++eoi 1\n"
        "controller: ++eos 2\ncontroller: ++read_tmo_ms 1500\ncontroller: ++addr 7\ncontroller: ++ver\n"
        "set-up: complete\n";
    EXPECT_GE(sim.count(setUp), 2) << out;
    EXPECT_EQ(sim.count("set-up: expected"), 0) << out;
    EXPECT_EQ(sim.count("not passed on"), 0) << out;
    // Between each ++ver and its answer, no command went out.
    for (std::size_t at = out.find("controller: ++ver\n"); at != std::string::npos;
         at = out.find("controller: ++ver\n", at + 1)) {
        const std::size_t answered = out.find(" version GPIB-LAN controller", at);
        if (answered == std::string::npos) break;
        EXPECT_EQ(out.substr(at, answered - at).find("command: "), std::string::npos) << out;
    }
    EXPECT_EQ(static_cast<int>(dataLines().size()), count());
}

const std::string kControllerSetUp =
    "++savecfg 0\n++mode 1\n++auto 1\n++eoi 1\n++eos 2\n++read_tmo_ms 500\n++addr 22\n++ver\n"
    "{GPIB-LAN controller (simulated) version 1.0\r\n}";

INSTANTIATE_TEST_SUITE_P(
    Kinds, LinkKindEndToEnd,
    ::testing::Values(KindCase{"TelnetAdapter", "telnet", "", "", "{KISS-488 GPIB-LAN adapter (simulated) ready\r\r\n}",
                               "\r", "\r\r\n"},
                      KindCase{"RawSocket", "raw", "tcp://", "", "", "\n", "\r\n"},
                      KindCase{"Controller", "prologix", "prologix://", "/22", kControllerSetUp, "\n", "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
