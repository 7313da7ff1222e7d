// A real Prometheus server scraping the served logger: Debian's prometheus
// on a free loopback port, with a configuration of its own (a scrape each
// second, the token from a file as the README shows it) and a storage
// folder that goes with the test. Its query API must come to give the value
// the logger served last, to the last digit.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "JsonValue.h"
#include "ServedBench.h"

namespace qs::test {
namespace {

constexpr const char* kToken = "scrape-4f1d";

// Debian's prometheus on 127.0.0.1:port, scraping target each second.
class PrometheusServer {
public:
    PrometheusServer(const std::filesystem::path& folder, int target, const std::filesystem::path& tokenFile)
        : port_(FreeLoopbackPort()) {
        std::filesystem::create_directories(folder / "data");
        std::ofstream(folder / "prometheus.yml")
            << "global:\n  scrape_interval: 1s\n  evaluation_interval: 1s\n"
            << "scrape_configs:\n  - job_name: quillstone\n    scrape_interval: 1s\n    scrape_timeout: 1s\n"
            << "    authorization: {credentials_file: " << tokenFile.string() << "}\n"
            << "    static_configs: [{targets: [\"127.0.0.1:" << target << "\"]}]\n";
        process_.setProgram(QStandardPaths::findExecutable(QStringLiteral("prometheus")));
        process_.setArguments({QStringLiteral("--config.file=%1").arg(QString::fromStdString((folder / "prometheus.yml").string())),
                               QStringLiteral("--storage.tsdb.path=%1").arg(QString::fromStdString((folder / "data").string())),
                               QStringLiteral("--web.listen-address=127.0.0.1:%1").arg(port_),
                               QStringLiteral("--log.level=warn")});
        process_.setStandardOutputFile(QString::fromStdString((folder / "prometheus.log").string()));
        process_.setStandardErrorFile(QString::fromStdString((folder / "prometheus.log").string()), QIODevice::Append);
        process_.start();
        log_ = folder / "prometheus.log";
    }
    ~PrometheusServer() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }
    PrometheusServer(const PrometheusServer&) = delete;
    PrometheusServer& operator=(const PrometheusServer&) = delete;

    // Started and ready to answer queries, within ms.
    bool ready(int ms) {
        if (!process_.waitForStarted(5000)) return false;
        return PollUntil([&] { return StatusOf(Exchange(port_, GetRequest("/-/ready"), 1000)) == 200; }, ms);
    }
    // The one value of an instant query's vector and its labels, or nullopt
    // while it has none (or more than one).
    struct Result {
        double value;
        double time;
        JsonValue metric;
    };
    std::optional<Result> query(const std::string& expression) {
        const std::string reply = Exchange(port_, GetRequest("/api/v1/query?query=" + expression), 2000);
        const auto json = JsonReader::parse(BodyOf(reply));
        if (!json || (*json)["status"].text != "success") return std::nullopt;
        const JsonValue& result = (*json)["data"]["result"];
        if (result.items.size() != 1) return std::nullopt;
        const JsonValue& pair = result.items[0]["value"];
        if (pair.items.size() != 2) return std::nullopt;
        return Result{std::strtod(pair.items[1].text.c_str(), nullptr), pair.items[0].number, result.items[0]["metric"]};
    }
    std::string log() const { return FileText(log_); }

private:
    int port_;
    QProcess process_;
    std::filesystem::path log_;
};

TEST(PrometheusScrape, APrometheusServerScrapesTheLoggerAndItsQueryApiReturnsTheLatestValue) {
    if (QStandardPaths::findExecutable(QStringLiteral("prometheus")).isEmpty())
        GTEST_SKIP() << "prometheus (Debian package prometheus) is not installed";
    QTemporaryDir dir;
    ServedBench bench(dir.path().toStdString() + "/bench", "0.1");
    bench.setToken(kToken);
    ASSERT_TRUE(bench.start()) << bench.why();
    PrometheusServer prometheus(dir.path().toStdString() + "/prometheus", bench.port(), bench.folder() / "token");
    ASSERT_TRUE(prometheus.ready(30000)) << prometheus.log();

    // A scrape while the samples come.
    ASSERT_TRUE(PollUntil([&] { return prometheus.query("quillstone_samples_total").has_value(); }, 15000))
        << prometheus.log();

    // The adapter stops answering, so that the latest sample stays the
    // latest: once the logger's count stands still, the next scrape must
    // bring Prometheus exactly what /api/status says.
    ::kill(static_cast<pid_t>(bench.simPid()), SIGSTOP);
    std::optional<JsonValue> status;
    double count = -1;
    ASSERT_TRUE(PollUntil(
        [&] {
            const double before = count;
            status = JsonReader::parse(BodyOf(bench.get("/api/status")));
            if (!status) return false;
            count = (*status)["count"].number;
            return count == before;
        },
        5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    status = JsonReader::parse(BodyOf(bench.get("/api/status")));
    ASSERT_TRUE(status);
    ASSERT_EQ((*status)["count"].number, count) << "a sample came after the adapter stopped";
    const JsonValue& latest = (*status)["latest"];
    ASSERT_FALSE(latest.isNull());
    ASSERT_EQ(latest["seq"].number, count);

    std::optional<PrometheusServer::Result> value, samples;
    EXPECT_TRUE(PollUntil(
        [&] {
            samples = prometheus.query("quillstone_samples_total");
            value = prometheus.query("quillstone_value");
            return samples && value && samples->value == count && value->value == latest["value"].number;
        },
        15000))
        << "the logger's latest: seq " << count << " value " << latest["value"].number << "; Prometheus: "
        << (samples ? std::to_string(samples->value) : "none") << " samples, value "
        << (value ? std::to_string(value->value) : "none") << "\n"
        << prometheus.log();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->metric["channel"].text, "1");
    EXPECT_EQ(value->metric["command"].text, latest["command"].text);
    EXPECT_EQ(value->metric["job"].text, "quillstone");

    const auto up = prometheus.query("up");
    ASSERT_TRUE(up);
    EXPECT_EQ(up->value, 1.0);
    EXPECT_EQ(bench.stop(), 0) << bench.loggerOutput();
}

}  // namespace
}  // namespace qs::test
