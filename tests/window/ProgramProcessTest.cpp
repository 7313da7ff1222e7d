// The real quillstone binary as a child process against kiss488-sim. It runs
// on Qt's VNC platform so that a test can press Enter in it, the only way to
// start logging in a program without command-line options.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>

#include "GermanLocale.h"
#include "TempWorkDir.h"
#include "VncKeyboard.h"
#include "WindowTestSupport.h"

namespace qs::test {
namespace {

const QRegularExpression kDataLine(QStringLiteral(
    "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d, [ -z]+, -?\\d\\.\\d{8}E[+-]\\d{2,3}, -?\\d\\.\\d{8}E[+-]\\d{2,3}$"));

struct ProgramProcessTest : ::testing::Test {
    TempWorkDir dir;
    QProcess program;
    quint16 vncPort = VncKeyboard::freePort();

    // Writes config.txt with LF line ends (the program writes CR LF) and an
    // extra line, so a rewritten file is easy to tell from this one.
    void writeConfig(const std::string& host, const std::string& interval) {
        ConfigLines config;
        config[ConfigLines::Host] = host;
        config[ConfigLines::Interval] = interval;
        config[ConfigLines::TimeOut] = "2";
        std::ofstream out("config.txt", std::ios::binary);
        for (const auto& l : config.lines) out << l << "\n";
        out << "an extra line\n";
    }
    void start(const QString& locale = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("vnc:size=1280x800:port=%1").arg(vncPort));
        if (!locale.isEmpty()) env.insert(QStringLiteral("LC_ALL"), locale);
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(QString::fromStdString(dir.path().string()));
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(QUILLSTONE_BINARY), {});
        ASSERT_TRUE(program.waitForStarted(5000));
    }
    void pressStart() {
        VncKeyboard keyboard;
        ASSERT_TRUE(keyboard.connect(vncPort, 10000));
        QTest::qWait(300);  // the window is shown and active
        ASSERT_TRUE(keyboard.press(VncKeyboard::kReturn));
    }
    void signalAndWait(int sig) {
        ::kill(static_cast<pid_t>(program.processId()), sig);
        ASSERT_TRUE(program.waitForFinished(10000)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }
    std::vector<std::string> dataLines() { return ReadLines("Data.txt"); }
    void expectSavedConfig(const std::string& host, const std::string& interval) {
        const std::string bytes = ReadFile("config.txt");
        const auto lines = ReadLines("config.txt");
        ASSERT_EQ(lines.size(), 23u) << bytes;
        EXPECT_EQ(lines[0], host);
        EXPECT_EQ(lines[1], interval);
        EXPECT_EQ(bytes.find("extra"), std::string::npos);
        EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(3000);
        }
    }
};

TEST_F(ProgramProcessTest, SigtermWhileLoggingClosesLikeTheCloseButton) {
    Simulator sim;
    writeConfig(sim.host(), "0.2");
    start();
    pressStart();
    ASSERT_TRUE(WaitFor([&] { return dataLines().size() >= 5; }, 15000)) << "lines: " << dataLines().size();
    signalAndWait(SIGTERM);
    expectSavedConfig(sim.host(), "0.2");
    // The last sample's line is whole: every line complete, the file ends with its line end.
    const std::string data = ReadFile("Data.txt");
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.back(), '\n');
    for (const auto& l : dataLines()) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
}

TEST_F(ProgramProcessTest, AnErrorBoxLeftOpenWhileTheLinkIsLostAndReopenedCostsNothing) {
    // No minimum length: every reply raises a conversion error, and its box
    // stays open for 9 s while the adapter hangs up after its third reply and
    // the watchdog reopens the link (time-out 2 s).
    Simulator sim({QStringLiteral("--close-after"), QStringLiteral("3")});
    ConfigLines config;
    config[ConfigLines::Host] = sim.host();
    config[ConfigLines::Interval] = "0.5";
    config[ConfigLines::TimeOut] = "2";
    config[ConfigLines::MinString] = "";
    config.write();
    start();
    VncKeyboard keyboard;
    ASSERT_TRUE(keyboard.connect(vncPort, 10000));
    QTest::qWait(300);
    ASSERT_TRUE(keyboard.press(VncKeyboard::kReturn));
    QTest::qWait(9000);
    ASSERT_EQ(program.state(), QProcess::Running);
    // Logging went on behind the box, on the second link too.
    EXPECT_GE(dataLines().size(), 4u);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(keyboard.press(VncKeyboard::kReturn));
        QTest::qWait(300);
    }
    const std::size_t answered = dataLines().size();
    EXPECT_TRUE(WaitFor([&] { return dataLines().size() >= answered + 3; }, 10000)) << "lines: " << dataLines().size();
    signalAndWait(SIGTERM);
    for (const auto& l : dataLines()) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
}

TEST_F(ProgramProcessTest, SigintWhileStartWaitsForAnAbsentAdapterEndsPromptly) {
    const std::string dead = "127.0.0.1:" + std::to_string(VncKeyboard::freePort());
    writeConfig(dead, "2");
    start();
    pressStart();
    QTest::qWait(1200);  // Start is inside its 30 attempts
    QElapsedTimer clock;
    clock.start();
    signalAndWait(SIGINT);
    EXPECT_LT(clock.elapsed(), 5000);
    expectSavedConfig(dead, "2");
}

TEST_F(ProgramProcessTest, FilesKeepAPointUnderAGermanLocale) {
    const std::string german = GermanLocale();
    if (german.empty()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    Simulator sim({QStringLiteral("--volts"), QStringLiteral("2.5")});
    writeConfig(sim.host(), "0.25");
    start(QString::fromStdString(german));
    pressStart();
    ASSERT_TRUE(WaitFor([&] { return dataLines().size() >= 3; }, 15000));
    signalAndWait(SIGTERM);
    for (const auto& l : dataLines()) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
    expectSavedConfig(sim.host(), "0.25");
}

}  // namespace
}  // namespace qs::test
