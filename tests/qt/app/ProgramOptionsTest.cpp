// quillstone's options: one table that the command line, quillstone.conf,
// --help, the manual page and the README all follow.
#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "TempWorkDir.h"
#include "qt/app/ProgramOptions.h"
#include "qt/app/Serving.h"

namespace qs::test {
namespace {

using Mode = ProgramOptions::Mode;

std::string fileText(const std::string& path) {
    std::ifstream in(std::string(QUILLSTONE_SOURCE_DIR) + "/" + path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> tableNames() {
    std::set<std::string> names;
    for (const OptionSpec& option : ProgramOptions::table()) names.insert(std::string(option.name));
    return names;
}

// Every "--name" that the pattern's first group finds in text.
std::set<std::string> namesIn(const std::string& text, const std::regex& pattern) {
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        names.insert((*it)[1].str());
    return names;
}

TEST(ProgramOptionsTable, ManualPageDescribesEveryOptionOfTheTableAndNoOther) {
    const std::string page = fileText("docs/quillstone.1");
    const std::size_t from = page.find(".SH OPTIONS"), to = page.find(".SH", from + 1);
    ASSERT_NE(from, std::string::npos);
    // Each option's entry: .TP, then its name in bold.
    const std::regex entry(R"(\.TP\n\.BR? \\-\\-([a-z-]+))");
    EXPECT_EQ(namesIn(page.substr(from, to - from), entry), tableNames());
}

TEST(ProgramOptionsTable, ReadmeOptionTableHasARowForEveryOptionAndNoOther) {
    const std::string readme = fileText("README.md");
    const std::size_t from = readme.find("| Option | In quillstone.conf |"), to = readme.find("\n\n", from);
    ASSERT_NE(from, std::string::npos);
    EXPECT_EQ(namesIn(readme.substr(from, to - from), std::regex(R"(\n\| `--([a-z-]+))")), tableNames());
}

TEST(ProgramOptionsTable, HelpListsEveryOptionOfTheTable) {
    const std::string help = ProgramOptions::helpText();
    EXPECT_NE(help.find(OptionsHelp(ProgramOptions::table())), std::string::npos);
    EXPECT_EQ(namesIn(help, std::regex(R"(\n  --([a-z-]+))")), tableNames());
}

struct ParseCase {
    std::vector<std::string> args;
    std::optional<std::string> file;
    Mode mode;
    bool quiet;
    const char* error;      // the command line's, for Mode::Error
    const char* fileError;  // quillstone.conf's, or nullptr
};

class ProgramOptionsParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ProgramOptionsParse, CommandLineWinsAndAFaultyFileIsReportedWithItsLine) {
    const ParseCase& c = GetParam();
    const ProgramOptions o = ProgramOptions::parse(c.args, c.file);
    EXPECT_EQ(o.mode, c.mode);
    EXPECT_EQ(o.quiet, c.quiet);
    if (c.error) {
        EXPECT_EQ(o.error, c.error);
    }
    EXPECT_EQ(o.fileError.value_or(""), c.fileError ? c.fileError : "");
}

INSTANTIATE_TEST_SUITE_P(
    Program, ProgramOptionsParse,
    ::testing::Values(ParseCase{{}, std::nullopt, Mode::Window, false, nullptr, nullptr},
                      ParseCase{{"--headless"}, std::nullopt, Mode::Headless, false, nullptr, nullptr},
                      ParseCase{{"--headless", "--quiet"}, std::nullopt, Mode::Headless, true, nullptr, nullptr},
                      ParseCase{{"--headless"}, "# bench 3\nquiet = yes\n", Mode::Headless, true, nullptr, nullptr},
                      ParseCase{{"--headless", "--quiet=no"}, "quiet = yes\n", Mode::Headless, false, nullptr, nullptr},
                      // The window has no use for quiet from the file, and is not refused for it.
                      ParseCase{{}, "quiet = yes\n", Mode::Window, false, nullptr, nullptr},
                      ParseCase{{"--quiet"}, std::nullopt, Mode::Error, false, "--quiet goes with --headless (see --help)",
                                nullptr},
                      ParseCase{{"--loud"}, std::nullopt, Mode::Error, false, "unknown option --loud (see --help)",
                                nullptr},
                      ParseCase{{"-h"}, "broken\n", Mode::Help, false, nullptr, nullptr},
                      ParseCase{{"--version"}, std::nullopt, Mode::Version, false, nullptr, nullptr},
                      ParseCase{{"--headless"}, "quiet = yes\nheadless = yes\n", Mode::Headless, false, nullptr,
                                "quillstone.conf:2: \"headless\" goes on the command line only"},
                      ParseCase{{}, "\nquiet = perhaps\n", Mode::Window, false, nullptr,
                                "quillstone.conf:2: quiet = perhaps: the value is not yes or no"},
                      // The analysis of a data file reads nothing of quillstone.conf.
                      ParseCase{{"--analyze", "Data.txt"}, "broken\n", Mode::Analyze, false, nullptr, nullptr},
                      ParseCase{{"--analyze=Data.txt", "--alternate", "--format", "json", "--taus", "1,10,100"},
                                std::nullopt, Mode::Analyze, false, nullptr, nullptr},
                      ParseCase{{"--analyze"}, std::nullopt, Mode::Error, false, "--analyze needs a value (see --help)",
                                nullptr},
                      ParseCase{{"--analyze", "Data.txt", "--headless"}, std::nullopt, Mode::Error, false,
                                "--analyze goes without --headless (see --help)", nullptr},
                      ParseCase{{"--analyze", "Data.txt", "--format", "xml"}, std::nullopt, Mode::Error, false,
                                "--format xml: the value is not text, csv or json (see --help)", nullptr},
                      ParseCase{{"--analyze", "Data.txt", "--taus", "1,,3"}, std::nullopt, Mode::Error, false,
                                "--taus 1,,3: the value is not whole numbers of at least 1 separated by commas (see "
                                "--help)",
                                nullptr},
                      ParseCase{{"--format", "json"}, std::nullopt, Mode::Error, false,
                                "--format goes with --analyze (see --help)", nullptr},
                      ParseCase{{"--headless"}, "taus = 1\n", Mode::Headless, false, nullptr,
                                "quillstone.conf:1: \"taus\" goes on the command line only"},
                      // Publishing goes with either face, from either source.
                      ParseCase{{"--headless", "--mqtt", "mqtt://b/lab"}, std::nullopt, Mode::Headless, false,
                                nullptr, nullptr},
                      ParseCase{{}, "mqtt = mqtt://b/lab\nname = bench7\n", Mode::Window, false, nullptr, nullptr},
                      ParseCase{{"--mqtt", "broker"}, std::nullopt, Mode::Error, false,
                                "--mqtt broker: it does not begin with mqtt:// or mqtts:// (the form is "
                                "mqtt://[USER@]HOST[:PORT]/PREFIX or mqtts://...)",
                                nullptr},
                      ParseCase{{"--name", "bench7"}, std::nullopt, Mode::Error, false,
                                "--name goes with --mqtt (see --help)", nullptr},
                      ParseCase{{"--mqtt", "mqtt://b/lab", "--name", "a/b"}, std::nullopt, Mode::Error, false,
                                "--name a/b: a name may not hold /, + or # (see --help)", nullptr},
                      // Serving goes with either face, from either source.
                      ParseCase{{"--headless", "--serve", "8080"}, std::nullopt, Mode::Headless, false, nullptr,
                                nullptr},
                      ParseCase{{"--serve=0.0.0.0:8080", "--serve-token-file", "token"}, std::nullopt, Mode::Window,
                                false, nullptr, nullptr},
                      ParseCase{{"--headless"}, "serve = 8080\nserve-token-file = token\n", Mode::Headless, false,
                                nullptr, nullptr},
                      ParseCase{{}, "# the page\nserve = [::1]:8080\n", Mode::Window, false, nullptr, nullptr},
                      ParseCase{{"--serve"}, std::nullopt, Mode::Error, false, "--serve needs a value (see --help)",
                                nullptr},
                      ParseCase{{"--serve", "65536"}, std::nullopt, Mode::Error, false,
                                "--serve 65536: the port is not a whole number from 1 to 65535 (see --help)", nullptr},
                      ParseCase{{"--headless", "--serve", "0"}, std::nullopt, Mode::Error, false,
                                "--serve 0: the port is not a whole number from 1 to 65535 (see --help)", nullptr},
                      ParseCase{{"--serve", "http://bench7:8080"}, std::nullopt, Mode::Error, false,
                                "--serve http://bench7:8080: give [ADDR:]PORT, not a URL (for example "
                                "0.0.0.0:8080) (see --help)",
                                nullptr},
                      ParseCase{{"--serve", "::1:8080"}, std::nullopt, Mode::Error, false,
                                "--serve ::1:8080: an IPv6 address goes in brackets, [::1]:PORT (see --help)", nullptr},
                      ParseCase{{"--serve", ":8080"}, std::nullopt, Mode::Error, false,
                                "--serve :8080: the address before the colon is empty (see --help)", nullptr},
                      ParseCase{{"--serve-token-file", "token"}, std::nullopt, Mode::Error, false,
                                "--serve-token-file goes with --serve (see --help)", nullptr},
                      // A token file in quillstone.conf without a port to serve is
                      // refused too: the person meant a page behind a token.
                      ParseCase{{"--headless"}, "serve-token-file = token\n", Mode::Error, false,
                                "--serve-token-file goes with --serve (see --help)", nullptr},
                      ParseCase{{}, "serve = 80800\n", Mode::Error, false,
                                "--serve 80800: the port is not a whole number from 1 to 65535 (see --help)", nullptr},
                      // A good port on the command line mends a bad one in the file.
                      ParseCase{{"--serve", "8080"}, "serve = 80800\n", Mode::Window, false, nullptr, nullptr},
                      ParseCase{{"--headless"}, "serve\n", Mode::Headless, false, nullptr,
                                "quillstone.conf:1: not a \"key = value\" line"}));

struct ServeCase {
    std::vector<std::string> args;
    std::optional<std::string> file;
    std::optional<ServeAddress> address;  // nullopt: not serving
    std::string tokenFile;
};

class ProgramOptionsServing : public ::testing::TestWithParam<ServeCase> {};

TEST_P(ProgramOptionsServing, TakesTheAddressAndTheTokenFileTheCommandLineWinning) {
    const ServeCase& c = GetParam();
    const ProgramOptions o = ProgramOptions::parse(c.args, c.file);
    ASSERT_NE(o.mode, Mode::Error) << o.error;
    EXPECT_EQ(o.serving.address, c.address);
    EXPECT_EQ(o.serving.tokenFile, c.tokenFile);
}

INSTANTIATE_TEST_SUITE_P(
    Program, ProgramOptionsServing,
    ::testing::Values(
        ServeCase{{}, std::nullopt, std::nullopt, ""},
        // Nothing is exposed unless a person names an address.
        ServeCase{{"--serve", "8080"}, std::nullopt, ServeAddress{"127.0.0.1", 8080}, ""},
        ServeCase{{"--headless", "--serve", "0.0.0.0:8080", "--serve-token-file", "/etc/quillstone/token"},
                  std::nullopt, ServeAddress{"0.0.0.0", 8080}, "/etc/quillstone/token"},
        ServeCase{{"--serve=[::1]:9"}, std::nullopt, ServeAddress{"::1", 9}, ""},
        ServeCase{{}, "serve = bench7.lab:8080\nserve-token-file = token\n", ServeAddress{"bench7.lab", 8080},
                  "token"},
        ServeCase{{"--serve", "9090"}, "serve = 0.0.0.0:8080\nserve-token-file = token\n",
                  ServeAddress{"127.0.0.1", 9090}, "token"},
        ServeCase{{"--serve-token-file", "other"}, "serve = 8080\nserve-token-file = token\n",
                  ServeAddress{"127.0.0.1", 8080}, "other"},
        // An empty value on the command line takes back the file's.
        ServeCase{{"--serve="}, "serve = 8080\n", std::nullopt, ""},
        // A refused quillstone.conf counts as absent: the command line alone serves.
        ServeCase{{"--serve", "8080"}, "serve = 9090\nbroken\n", ServeAddress{"127.0.0.1", 8080}, ""},
        ServeCase{{}, "serve = 9090\nbroken\n", std::nullopt, ""}));

struct FolderCase {
    std::vector<std::string> args;
    std::optional<std::string> file;
    Mode mode;
    bool ownFolder;
    const char* error;  // the command line's or the file's, or nullptr
};

class ProgramOptionsOwnFolder : public ::testing::TestWithParam<FolderCase> {};

// quillstone.conf lies in the folder --own-folder chooses, so only the
// command line can ask for it.
TEST_P(ProgramOptionsOwnFolder, GoesWithEitherFaceAndOnTheCommandLineOnly) {
    const FolderCase& c = GetParam();
    const ProgramOptions o = ProgramOptions::parse(c.args, c.file);
    EXPECT_EQ(o.mode, c.mode);
    EXPECT_EQ(o.ownFolder, c.ownFolder);
    EXPECT_EQ(o.mode == Mode::Error ? o.error : o.fileError.value_or(""), c.error ? c.error : "");
}

INSTANTIATE_TEST_SUITE_P(
    Program, ProgramOptionsOwnFolder,
    ::testing::Values(FolderCase{{}, std::nullopt, Mode::Window, false, nullptr},
                      FolderCase{{"--own-folder"}, std::nullopt, Mode::Window, true, nullptr},
                      FolderCase{{"--headless", "--own-folder"}, std::nullopt, Mode::Headless, true, nullptr},
                      FolderCase{{}, "own-folder = yes\n", Mode::Window, false,
                                 "quillstone.conf:1: \"own-folder\" goes on the command line only"},
                      FolderCase{{"--analyze", "Data.txt", "--own-folder"}, std::nullopt, Mode::Error, false,
                                 "--analyze goes without --own-folder (see --help)"},
                      FolderCase{{"--own-folder", "--help"}, std::nullopt, Mode::Help, false, nullptr}));

TEST(DesktopEntry, StartsTheLoggerInItsOwnFolderAndPassesTheValidator) {
    const std::string entry = fileText("docs/quillstone.desktop");
    EXPECT_NE(entry.find("\nExec=quillstone --own-folder\n"), std::string::npos) << entry;
    EXPECT_NE(FindOption(ProgramOptions::table(), "own-folder"), nullptr);
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(QStringLiteral("desktop-file-validate"),
                   {QStringLiteral(QUILLSTONE_SOURCE_DIR "/docs/quillstone.desktop")});
    ASSERT_TRUE(validate.waitForFinished(10000)) << "desktop-file-validate (make deps) did not run";
    EXPECT_EQ(validate.exitCode(), 0);
    EXPECT_EQ(validate.readAll().toStdString(), "");
}

TEST(ProgramOptionsPublishing, TakesTheBrokerTheFilesAndTheNameTheCommandLineWinning) {
    const ProgramOptions o = ProgramOptions::parse(
        {"--mqtt", "mqtts://logger@10.0.0.9/lab/bench", "--mqtt-password-file", "pw"},
        "mqtt = mqtt://old/x\nmqtt-ca-file = ca.pem\nname = bench7\n");
    ASSERT_TRUE(o.publishing.address.has_value()) << o.error;
    EXPECT_EQ(*o.publishing.address, (MqttAddress{true, "logger", "10.0.0.9", 8883, "lab/bench"}));
    EXPECT_EQ(o.publishing.passwordFile, "pw");
    EXPECT_EQ(o.publishing.caFile, "ca.pem");
    EXPECT_EQ(o.publishing.name, "bench7");
    EXPECT_FALSE(ProgramOptions::parse({}).publishing.address.has_value());
}

// The token is the file's first line without its line end, whichever
// line end a person's editor wrote; a file that is not there is told apart
// from an empty one (which StartServing refuses, never serving everyone).
TEST(ServingTokenFile, IsTheFirstLineWithoutItsLineEnd) {
    TempWorkDir dir;
    struct Case {
        std::string bytes;
        std::string line;
    };
    const Case cases[] = {
        {"s3cret\n", "s3cret"},      {"s3cret\r\n", "s3cret"},     {"s3cret", "s3cret"},
        {"s3cret\nsecond\n", "s3cret"}, {"\ns3cret\n", ""},          {"", ""},
        {"\r\n", ""},               {" spaced token \n", " spaced token "},
    };
    for (const Case& c : cases) {
        WriteFile("token", c.bytes);
        std::string line = "left over";
        ASSERT_TRUE(ReadFirstLine("token", line)) << c.bytes;
        EXPECT_EQ(line, c.line) << c.bytes;
    }
    std::string line;
    EXPECT_FALSE(ReadFirstLine("no-such-token", line));
}

TEST(ProgramOptionsAnalyze, TakesTheFileTheChannelsTheFormatAndTheAveragingFactors) {
    const ProgramOptions plain = ProgramOptions::parse({"--analyze", "run 7.txt"});
    EXPECT_EQ(plain.mode, Mode::Analyze);
    EXPECT_EQ(plain.analysis.file, "run 7.txt");
    EXPECT_FALSE(plain.analysis.alternate);
    EXPECT_EQ(plain.analysis.format, AnalysisFormat::Text);
    EXPECT_TRUE(plain.analysis.factors.empty());
    const ProgramOptions all =
        ProgramOptions::parse({"--taus=1,10,100", "--format=csv", "--alternate", "--analyze", "Data.txt"});
    EXPECT_EQ(all.mode, Mode::Analyze);
    EXPECT_EQ(all.analysis.file, "Data.txt");
    EXPECT_TRUE(all.analysis.alternate);
    EXPECT_EQ(all.analysis.format, AnalysisFormat::Csv);
    EXPECT_EQ(all.analysis.factors, (std::vector<long long>{1, 10, 100}));
}

}  // namespace
}  // namespace qs::test
