// The real quillstone binary as a child process against kiss488-sim. The
// window runs on Qt's VNC platform so that a test can press Enter in it, the
// only way to start logging in it; --headless needs no display at all.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include "GermanLocale.h"
#include "TempWorkDir.h"
#include "VncKeyboard.h"
#include "WindowTestSupport.h"
#include "link/LinkTarget.h"

namespace qs::test {
namespace {

const QRegularExpression kDataLine(QStringLiteral(
    "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d, [ -z]+, -?\\d\\.\\d{8}E[+-]\\d{2,3}, -?\\d\\.\\d{8}E[+-]\\d{2,3}$"));

struct ProgramProcessTest : ::testing::Test {
    TempWorkDir dir;
    QProcess program;
    quint16 vncPort = VncKeyboard::freePort();

    // The settings for a run against sim: its address, the interval, a
    // time-out of 2 s, and the rest at their form defaults.
    static ConfigLines configFor(const Simulator& sim, const std::string& interval) {
        ConfigLines config;
        config[ConfigLines::Host] = sim.host();
        config[ConfigLines::Interval] = interval;
        config[ConfigLines::TimeOut] = "2";
        return config;
    }
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
    // The window in dir (or in from), with HOME at home when one is given.
    void start(const QString& locale = {}, const QStringList& args = {}, const std::filesystem::path& home = {},
               const std::filesystem::path& from = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("vnc:size=1280x800:port=%1").arg(vncPort));
        if (!locale.isEmpty()) env.insert(QStringLiteral("LC_ALL"), locale);
        if (!home.empty()) env.insert(QStringLiteral("HOME"), QString::fromStdString(home.string()));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(QString::fromStdString((from.empty() ? dir.path() : from).string()));
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(QUILLSTONE_BINARY), args);
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
    ConfigLines config = configFor(sim, "0.5");
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

// ---- --own-folder: the desktop entry's start.

class WindowFolder : public ProgramProcessTest, public ::testing::WithParamInterface<bool> {};

TEST_P(WindowFolder, TheDesktopEntrysOptionWorksInQuillstoneInTheHomeFolderAndAShellStartWhereItWasStarted) {
    const bool ownFolder = GetParam();
    const std::filesystem::path home = dir.path() / "home", own = home / "Quillstone", from = dir.path() / "here";
    std::filesystem::create_directories(home);
    std::filesystem::create_directories(from);
    start({}, ownFolder ? QStringList{QStringLiteral("--own-folder")} : QStringList{}, home, from);
    VncKeyboard keyboard;
    ASSERT_TRUE(keyboard.connect(vncPort, 10000));  // the window is up
    signalAndWait(SIGTERM);
    // The close's files land in the folder worked in, and nowhere else.
    const std::filesystem::path worked = ownFolder ? own : from, other = ownFolder ? from : home;
    EXPECT_EQ(ReadLines((worked / "config.txt").string()).size(), 23u);
    EXPECT_TRUE(std::filesystem::exists(worked / "quillstone.conf"));
    EXPECT_FALSE(std::filesystem::exists(other / "config.txt"));
    EXPECT_FALSE(std::filesystem::exists(other / "quillstone.conf"));
    EXPECT_EQ(std::filesystem::exists(own), ownFolder);
}

INSTANTIATE_TEST_SUITE_P(Program, WindowFolder, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "DesktopEntry" : "Shell"; });

// ---- --headless: the same logger with no display, Start pressed at once.

// quillstone --headless in dir, with no display of any kind to reach (and
// HOME at home when one is given).
void StartHeadless(QProcess& headless, const std::filesystem::path& dir, const QStringList& options = {},
                   const std::filesystem::path& home = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    if (!home.empty()) env.insert(QStringLiteral("HOME"), QString::fromStdString(home.string()));
    headless.setProcessEnvironment(env);
    headless.setWorkingDirectory(QString::fromStdString(dir.string()));
    headless.start(QStringLiteral(QUILLSTONE_BINARY), QStringList{QStringLiteral("--headless")} + options);
    ASSERT_TRUE(headless.waitForStarted(5000));
}

QStringList OutputLines(const QByteArray& bytes) { return QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts); }

class HeadlessProcess : public ProgramProcessTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HeadlessProcess, LogsWithoutADisplayTellsWhatItDoesAndEndsOnSigtermLikeClosingTheWindow) {
    const bool quiet = GetParam();
    Simulator sim;
    writeConfig(sim.host(), "0.2");
    QProcess& headless = program;
    StartHeadless(headless, dir.path(), quiet ? QStringList{QStringLiteral("--quiet")} : QStringList{});
    ASSERT_TRUE(WaitFor([&] { return dataLines().size() >= 5; }, 15000)) << "lines: " << dataLines().size();
    signalAndWait(SIGTERM);
    expectSavedConfig(sim.host(), "0.2");
    for (const auto& l : dataLines()) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;

    // Every line after its UTC time; the link's changes, and one line per
    // sample unless asked to be quiet.
    const QStringList out = OutputLines(headless.readAllStandardOutput());
    const QRegularExpression stamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC (.*)$"));
    QStringList said;
    for (const QString& line : out) {
        const auto m = stamped.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        said << m.captured(1);
    }
    EXPECT_TRUE(said.contains(QStringLiteral("link: Link up"))) << said.join('\n').toStdString();
    const QRegularExpression sample(QStringLiteral(
        "^sample count=(\\d+) time=\"\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC\" value=\\S+ mean=\\S+ filter=\\S+$"));
    const auto samples = said.filter(sample);
    if (quiet) {
        EXPECT_TRUE(samples.isEmpty()) << samples.join('\n').toStdString();
    } else {
        ASSERT_GE(samples.size(), 5);
        EXPECT_EQ(sample.match(samples.first()).captured(1), QStringLiteral("1"));
    }
    EXPECT_EQ(headless.readAllStandardError(), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Program, HeadlessProcess, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Quiet" : "Samples"; });

TEST_F(ProgramProcessTest, HeadlessInItsOwnFolderSaysWhereItWorksFirstAndLogsThere) {
    Simulator sim;
    const std::filesystem::path home = dir.path() / "home", own = home / "Quillstone";
    std::filesystem::create_directories(own);
    configFor(sim, "0.2").write((own / "config.txt").string());
    StartHeadless(program, dir.path(), {QStringLiteral("--own-folder"), QStringLiteral("--quiet")}, home);
    ASSERT_TRUE(WaitFor([&] { return ReadLines((own / "Data.txt").string()).size() >= 3; }, 15000));
    signalAndWait(SIGTERM);
    const QStringList out = OutputLines(program.readAllStandardOutput());
    ASSERT_FALSE(out.isEmpty());
    EXPECT_TRUE(out[0].endsWith(QStringLiteral(" UTC Working in ") +
                                QString::fromStdString(std::filesystem::canonical(own).string())))
        << out[0].toStdString();
    EXPECT_FALSE(FileExists("Data.txt"));
    EXPECT_FALSE(FileExists("config.txt"));
}

TEST_F(ProgramProcessTest, HeadlessWhoseOwnFolderCannotBeMadeEndsWithTwoAndOneLine) {
    WriteFile("home", "a file, not a folder");
    StartHeadless(program, dir.path(), {QStringLiteral("--own-folder")}, dir.path() / "home");
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 2);
    const QStringList err = OutputLines(program.readAllStandardError());
    ASSERT_EQ(err.size(), 1) << err.join('\n').toStdString();
    EXPECT_TRUE(err[0].startsWith(QStringLiteral("quillstone: --own-folder: cannot make the folder "))) << err[0].toStdString();
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray());
}

// The stats line at the end of a run, read back as a program would: the
// figures of every reading it logged, which the data file holds too.
TEST_F(ProgramProcessTest, HeadlessEndsWithAStatsLineOfTheReadingsItLogged) {
    Simulator sim;
    ConfigLines config = configFor(sim, "0.2");
    config[ConfigLines::Mean] = "0";
    config.write();
    StartHeadless(program, dir.path(), {QStringLiteral("--quiet")});
    ASSERT_TRUE(WaitFor([&] { return dataLines().size() >= 8; }, 15000)) << "lines: " << dataLines().size();
    signalAndWait(SIGTERM);
    const QStringList out = OutputLines(program.readAllStandardOutput());
    const QRegularExpression statsLine(QStringLiteral("^\\S+ \\S+ UTC stats channel=1( \\w+=\\S+)+$"));
    const QStringList stats = out.filter(statsLine);
    ASSERT_EQ(stats.size(), 1) << out.join('\n').toStdString();
    std::map<std::string, std::string> fields;
    for (const QString& word : stats.first().split(' ').mid(4)) {
        const qsizetype eq = word.indexOf('=');
        ASSERT_GT(eq, 0) << word.toStdString();
        fields[word.left(eq).toStdString()] = word.mid(eq + 1).toStdString();
    }
    // Every sample reached the data file: the figures are of its lines.
    std::vector<double> values;
    for (const std::string& line : dataLines()) values.push_back(std::strtod(line.substr(line.find(", ") + 2).c_str(), nullptr));
    ASSERT_EQ(fields.at("n"), std::to_string(values.size()));
    double sum = 0.0;
    for (double v : values) sum += v;
    const double mean = sum / static_cast<double>(values.size());
    EXPECT_NEAR(std::strtod(fields.at("mean").c_str(), nullptr), mean, 1e-12 * std::fabs(mean));
    EXPECT_EQ(std::strtod(fields.at("min").c_str(), nullptr), *std::min_element(values.begin(), values.end()));
    EXPECT_EQ(std::strtod(fields.at("max").c_str(), nullptr), *std::max_element(values.begin(), values.end()));
    for (const char* name : {"stddev", "stddev_ppm", "p2p", "drift_per_day", "tau0", "oadev_m1", "mdev_m1", "hdev_m1"})
        EXPECT_NE(fields.count(name), 0u) << name;
    EXPECT_NE(fields.at("stddev"), "none");
}

// config.txt has no line for the command mode: headless takes it from
// quillstone.conf, where the window keeps it, and polls both commands.
TEST_F(ProgramProcessTest, HeadlessTakesTheCommandModeFromQuillstoneConf) {
    const std::string record = (dir.path() / "received.txt").string();
    Simulator sim({QStringLiteral("--record"), QString::fromStdString(record)});
    ConfigLines config = configFor(sim, "0.2");
    config.lines[2] = "MEAS:VOLT:DC? 1";
    config.lines[3] = "MEAS:VOLT:DC? 2";
    config.write();
    std::ofstream("quillstone.conf", std::ios::binary) << "command-mode = alternate\n";
    StartHeadless(program, dir.path(), {QStringLiteral("--quiet")});
    ASSERT_TRUE(WaitFor([&] { return dataLines().size() >= 4; }, 15000)) << "lines: " << dataLines().size();
    signalAndWait(SIGTERM);
    const std::string received = ReadFile(record);
    EXPECT_NE(received.find("MEAS:VOLT:DC? 1"), std::string::npos) << received;
    EXPECT_NE(received.find("MEAS:VOLT:DC? 2"), std::string::npos) << received;
}

struct BrokenConfig {
    const char* name;
    ConfigLines::Line line;  // Host with text nullptr: no config.txt at all
    const char* text;
    const char* said;
};

class HeadlessWithBrokenConfig : public ProgramProcessTest, public ::testing::WithParamInterface<BrokenConfig> {};

TEST_P(HeadlessWithBrokenConfig, EndsAtOnceWithOneClearLineAndExitTwoWritingNothing) {
    const BrokenConfig c = GetParam();
    if (c.text) {
        ConfigLines config;
        config[c.line] = c.text;
        config.write();
    }
    const std::string before = ReadFile("config.txt");
    StartHeadless(program, dir.path());
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 2);
    const QStringList err = OutputLines(program.readAllStandardError());
    ASSERT_EQ(err.size(), 1) << err.join('\n').toStdString();
    EXPECT_TRUE(err[0].startsWith(QStringLiteral("quillstone: "))) << err[0].toStdString();
    EXPECT_TRUE(err[0].contains(QString::fromLatin1(c.said))) << err[0].toStdString();
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray());
    EXPECT_EQ(ReadFile("config.txt"), before);
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) files.push_back(e.path().filename());
    EXPECT_EQ(files, c.text ? std::vector<std::string>{"config.txt"} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Program, HeadlessWithBrokenConfig,
    ::testing::Values(BrokenConfig{"NoConfigFile", ConfigLines::Host, nullptr, "cannot read config.txt"},
                      BrokenConfig{"NoAdapterAddress", ConfigLines::Host, "", "line 1 (HostBox): no adapter address"},
                      BrokenConfig{"IntervalNotANumber", ConfigLines::Interval, "2,5",
                                   "line 2 (IntervalBox): '2,5' is not a valid floating point value"}),
    [](const auto& info) { return std::string(info.param.name); });

// --analyze runs no Qt at all: on a platform plug-in that does not exist,
// without a display, it still prints its analysis; a file it cannot read
// ends it with exit status 2 and one line.
TEST_F(ProgramProcessTest, AnalyzeNeedsNoDisplayAndEndsWithTwoAndOneLineOnAFileItCannotRead) {
    std::string lines;
    for (int s = 0; s < 8; ++s)
        lines += "2024-01-01 00:00:0" + std::to_string(s) + ", +" + std::to_string(1 + s % 2) + ".0, 1.0, 1.0\r\n";
    WriteFile("Data.txt", lines);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    struct Run {
        QStringList args;
        int status;
        const char* out;  // what standard output starts with
        const char* err;  // the one line on standard error, or nullptr
    };
    const Run runs[] = {
        {{QStringLiteral("--analyze"), QStringLiteral("Data.txt"), QStringLiteral("--format"), QStringLiteral("json")},
         0,
         "{\"file\":\"Data.txt\",\"lines\":8,\"skipped\":0,\"channels\":[{\"channel\":1,\"n\":8,\"mean\":1.5,",
         nullptr},
        {{QStringLiteral("--analyze"), QStringLiteral("missing.txt")},
         2,
         "",
         "quillstone: cannot read missing.txt: No such file or directory"}};
    for (const Run& run : runs) {
        program.start(QStringLiteral(QUILLSTONE_BINARY), run.args);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), run.status);
        const QByteArray out = program.readAllStandardOutput();
        EXPECT_TRUE(out.startsWith(run.out)) << out.toStdString();
        const QStringList err = OutputLines(program.readAllStandardError());
        if (run.err) {
            ASSERT_EQ(err.size(), 1) << err.join('\n').toStdString();
            EXPECT_EQ(err[0].toStdString(), run.err);
        } else {
            EXPECT_TRUE(err.isEmpty()) << err.join('\n').toStdString();
        }
    }
}

TEST_F(ProgramProcessTest, HeadlessEndsWithExitThreeWhenTheLinkIsLostAndNothingWillReopenIt) {
    // Whatever started it (systemd, a script) can then start it afresh.
    Simulator sim({QStringLiteral("--close-after"), QStringLiteral("3")});
    ConfigLines config = configFor(sim, "0.2");
    config[ConfigLines::AutoReconnect] = "0";
    config.write();
    StartHeadless(program, dir.path());
    ASSERT_TRUE(program.waitForFinished(15000)) << "still running with the link lost";
    EXPECT_EQ(program.exitCode(), 3);
    EXPECT_EQ(dataLines().size(), 3u);
    EXPECT_EQ(ReadLines("config.txt").size(), 23u);
    EXPECT_TRUE(program.readAllStandardError().contains("link: down")) << "no word on why it ended";
}

TEST_F(ProgramProcessTest, HeadlessAndTheWindowLogTheSameSamplesFromTheSameReplies) {
    // Replies that a sample comes from, replies that are none, and a mean
    // and filter over a few points; the window's way is pressing Start.
    const QStringList script{QStringLiteral("--replies"),
                             QStringLiteral("+1.5E+00,-2.25,INF,1E999,7,abc 3,+4.0E-01,0.5e1")};
    auto scriptedConfig = [](const Simulator& sim) {
        ConfigLines config = configFor(sim, "0.2");
        config[ConfigLines::MinString] = "1";
        config.lines[6] = "3";   // Plot Mean using 3 points
        config.lines[11] = "4";  // RC filter of 4 points
        return config;
    };
    constexpr std::size_t kLines = 14;
    auto withoutTimes = [](std::vector<std::string> lines) {
        lines.resize(kLines);
        for (std::string& l : lines) l = l.substr(l.find(','));
        return lines;
    };

    Simulator forTheWindow(script);
    scriptedConfig(forTheWindow).write();
    start();
    pressStart();
    ASSERT_TRUE(WaitFor([&] { return dataLines().size() >= kLines; }, 20000)) << "lines: " << dataLines().size();
    signalAndWait(SIGTERM);
    const std::vector<std::string> window = withoutTimes(dataLines());

    const std::filesystem::path elsewhere = dir.path() / "headless";
    std::filesystem::create_directory(elsewhere);
    Simulator forHeadless(script);
    scriptedConfig(forHeadless).write((elsewhere / "config.txt").string());
    QProcess headless;
    StartHeadless(headless, elsewhere);
    const std::string data = (elsewhere / "Data.txt").string();
    ASSERT_TRUE(WaitFor([&] { return ReadLines(data).size() >= kLines; }, 20000));
    ::kill(static_cast<pid_t>(headless.processId()), SIGTERM);
    ASSERT_TRUE(headless.waitForFinished(10000));
    EXPECT_EQ(headless.exitCode(), 0);

    EXPECT_EQ(withoutTimes(ReadLines(data)), window);
    // What the status bar says of a reply that is no sample goes to standard error.
    EXPECT_TRUE(headless.readAllStandardError().contains("Reply not taken as a sample"))
        << "no word on the reply that overflows";
}

// ---- --headless on each kind of link

struct HeadlessKind {
    const char* name;
    const char* protocol;
    std::string hostPrefix, hostSuffix, linkUp;
};

class HeadlessOnEachKind : public ProgramProcessTest, public ::testing::WithParamInterface<HeadlessKind> {};

TEST_P(HeadlessOnEachKind, LogsAndReopensALinkTheSimulatorDropped) {
    const HeadlessKind& k = GetParam();
    Simulator sim({QStringLiteral("--protocol"), QString::fromLatin1(k.protocol), QStringLiteral("--close-after"),
                   QStringLiteral("3")});
    const std::string where = "127.0.0.1:" + std::to_string(sim.port());
    writeConfig(k.hostPrefix + where + k.hostSuffix, "0.2");
    StartHeadless(program, dir.path(), {QStringLiteral("--quiet")});
    ASSERT_TRUE(WaitFor([&] { return dataLines().size() >= 5; }, 20000)) << "lines: " << dataLines().size();
    signalAndWait(SIGTERM);
    for (const auto& l : dataLines()) EXPECT_TRUE(kDataLine.match(QString::fromStdString(l)).hasMatch()) << l;
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    const QString up = QStringLiteral(" UTC link: ") + QString::fromStdString(k.linkUp + where) +
                       (std::string(k.protocol) == "prologix" ? QStringLiteral(", GPIB address 22)")
                                                              : QStringLiteral(")"));
    EXPECT_GE(out.count(up), 2) << out.toStdString();
    EXPECT_EQ(sim.count("client connected"), out.count(up));
}

INSTANTIATE_TEST_SUITE_P(
    Program, HeadlessOnEachKind,
    ::testing::Values(HeadlessKind{"RawSocket", "raw", "tcp://", "", "Link up (raw socket "},
                      HeadlessKind{"Controller", "prologix", "prologix://", "/22",
                                   "Link up (GPIB-Ethernet controller "}),
    [](const auto& info) { return std::string(info.param.name); });

// A host box Start would refuse ends headless at once, with Start's words.
TEST_F(ProgramProcessTest, HeadlessRefusesAHostBoxThatNamesNoLinkWithExitTwoAndTheFormsOnStderr) {
    writeConfig("prologix://10.0.0.7/31", "1");
    StartHeadless(program, dir.path());
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 2);
    const std::string err = program.readAllStandardError().toStdString();
    EXPECT_EQ(err, "quillstone: config.txt, line 1 (HostBox): The GPIB address \"31\" in \"prologix://10.0.0.7/31\" is "
                   "not a whole number from 0 to 30.\n\n" + HostBoxForms() + "\n");
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray());
    EXPECT_FALSE(FileExists("Data.txt"));
}

}  // namespace
}  // namespace qs::test
