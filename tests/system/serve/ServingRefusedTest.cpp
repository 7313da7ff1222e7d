// What keeps --serve from serving, as the headless logger meets it: a token
// file that is not there, one whose first line is empty, a port in use.
// Each is one line on standard error, nothing listens, and the logger goes
// on logging.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>

#include "ServedBench.h"

namespace qs::test {
namespace {

struct Refusal {
    const char* name;
    const char* tokenFileBytes;  // nullptr: no token file
    bool portInUse;
    const char* says;  // with PORT for the port
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class ServingRefused : public ::testing::TestWithParam<Refusal> {};

TEST_P(ServingRefused, IsOneLineOnStandardErrorAndLoggingGoesOn) {
    const Refusal& r = GetParam();
    QTemporaryDir dir;
    ServedBench bench(dir.path().toStdString(), "0.1");
    const int port = FreeLoopbackPort();
    int holder = -1;
    if (r.portInUse) {
        holder = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(::listen(holder, 1), 0);
    }
    QStringList options{QStringLiteral("--serve"), QStringLiteral("127.0.0.1:%1").arg(port)};
    if (r.tokenFileBytes) std::ofstream(bench.folder() / "token", std::ios::binary) << r.tokenFileBytes;
    if (r.tokenFileBytes || !r.portInUse) options << QStringLiteral("--serve-token-file") << QStringLiteral("token");
    ASSERT_TRUE(bench.start({}, options)) << bench.why();
    const std::size_t lines = bench.dataLines();
    EXPECT_TRUE(PollUntil([&] { return bench.dataLines() >= lines + 10; }, 5000)) << bench.loggerOutput();
    if (!r.portInUse) { EXPECT_EQ(Exchange(port, GetRequest("/api/status"), 500), ""); }
    ASSERT_TRUE(bench.running());
    EXPECT_EQ(bench.stop(), 0);
    if (holder >= 0) ::close(holder);

    std::string says = r.says;
    if (const std::size_t at = says.find("PORT"); at != std::string::npos) says.replace(at, 4, std::to_string(port));
    const std::string err = FileText(bench.folder() / "err.txt");
    EXPECT_NE(err.find(" UTC " + says + "\n"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "more than the one line: " << err;
    EXPECT_EQ(FileText(bench.folder() / "out.txt").find("Serving"), std::string::npos);
}

const Refusal kRefusals[] = {
    {"NoTokenFile", nullptr, false,
     "--serve-token-file token: the file cannot be read; logging goes on without the page"},
    {"EmptyFirstLine", "\nlater line\n", false,
     "--serve-token-file token: the first line is empty; logging goes on without the page"},
    {"EmptyFirstLineWithCarriageReturn", "\r\n", false,
     "--serve-token-file token: the first line is empty; logging goes on without the page"},
    {"PortInUse", nullptr, true,
     "--serve 127.0.0.1:PORT: cannot listen there: Address already in use; logging goes on without the page"},
};

INSTANTIATE_TEST_SUITE_P(Serve, ServingRefused, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
