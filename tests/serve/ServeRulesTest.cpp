// The server's rules without a socket: which request goes where, who is let
// in, what a polling client gets, how the metrics read.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "serve/MetricsText.h"
#include "serve/SampleRing.h"
#include "serve/ServeAddress.h"
#include "serve/ServeRoutes.h"

namespace qs::test {
namespace {

TEST(ServeAddress, APortAloneListensOnLoopbackOnlyAndAnythingElseIsRefused) {
    struct Case {
        const char* text;
        const char* host;  // nullptr: refused
        int port;
    };
    const Case cases[] = {
        {"8080", "127.0.0.1", 8080},   {"0.0.0.0:8080", "0.0.0.0", 8080}, {"[::1]:9", "::1", 9},
        {"bench.lab:65535", "bench.lab", 65535}, {"1", "127.0.0.1", 1}, {"::1:80", nullptr, 0},
        {"0", nullptr, 0},             {"65536", nullptr, 0},             {":80", nullptr, 0},
        {"http", nullptr, 0},          {"", nullptr, 0},                  {"host:", nullptr, 0},
        {"-1", nullptr, 0},            {"123456", nullptr, 0},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseServeAddress(c.text);
        if (!c.host) {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.text;
            EXPECT_TRUE(std::get<std::string>(parsed).starts_with(std::string("--serve ") + c.text + ": ")) << c.text;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ServeAddress>(parsed)) << c.text << ": " << std::get<std::string>(parsed);
        EXPECT_EQ(std::get<ServeAddress>(parsed), (ServeAddress{c.host, c.port})) << c.text;
    }
}

TEST(ServeRoutes, OnlyTheTableIsServedOnlyToGetAndHeadAndOnlyWithTheToken) {
    struct Case {
        const char* method;
        const char* path;
        const char* authorization;
        const char* queryToken;
        const char* token;
        int status;
    };
    const Case cases[] = {
        {"GET", "/", "", "", "", 200},
        {"HEAD", "/metrics", "", "", "", 200},
        {"GET", "/api/status", "", "", "", 200},
        {"GET", "/api/samples", "", "", "", 200},
        {"GET", "/events", "", "", "", 200},
        {"GET", "/index.html", "", "", "", 404},
        {"GET", "/../../etc/passwd", "", "", "", 404},
        {"GET", "/%2e%2e/%2e%2e/etc/passwd", "", "", "", 404},
        {"GET", "/..%2F..%2Fetc%2Fpasswd", "", "", "", 404},
        {"GET", "//etc/passwd", "", "", "", 404},
        {"GET", "/api/status/", "", "", "", 404},
        {"POST", "/", "", "", "", 405},
        {"PUT", "/api/status", "", "", "", 405},
        {"DELETE", "/metrics", "", "", "", 405},
        {"get", "/", "", "", "", 405},
        {"GET", "/", "", "", "s3cret", 401},
        {"GET", "/", "Bearer s3cret", "", "s3cret", 200},
        {"GET", "/", "", "s3cret", "s3cret", 200},
        {"GET", "/", "Bearer s3cre", "", "s3cret", 401},
        {"GET", "/", "Bearer s3cret!", "", "s3cret", 401},
        {"GET", "/", "Basic s3cret", "", "s3cret", 401},
        {"GET", "/", "s3cret", "", "s3cret", 401},
        {"GET", "/", "", "S3CRET", "s3cret", 401},
        {"POST", "/", "Bearer s3cret", "", "s3cret", 405},
    };
    for (const Case& c : cases) {
        const ServeDecision d = DecideRequest({c.method, c.path, c.authorization, c.queryToken}, c.token);
        EXPECT_EQ(d.status, c.status) << c.method << " " << c.path << " " << c.authorization << " ?" << c.queryToken;
        EXPECT_EQ(d.route != nullptr, c.status == 200) << c.method << " " << c.path;
        if (d.route) {
            EXPECT_EQ(d.route->path, c.path);
        }
    }
}

TEST(ServeRoutes, TheTokenMatchesOnlyItselfWhateverItsLength) {
    struct Case {
        const char* given;
        const char* token;
        bool match;
    };
    const Case cases[] = {{"abc", "abc", true}, {"abd", "abc", false}, {"ab", "abc", false},
                          {"abcd", "abc", false}, {"", "abc", false}, {"", "", true}};
    for (const Case& c : cases) EXPECT_EQ(TokenMatches(c.given, c.token), c.match) << c.given << " / " << c.token;
}

TEST(SampleRing, APollingClientGetsTheRecordsAfterItsSeqOldestFirstFromWhatIsStillHeld) {
    SampleRing ring(3);
    for (std::uint64_t seq = 1; seq <= 5; ++seq) ring.add(seq, "{\"seq\":" + std::to_string(seq) + "}");
    EXPECT_EQ(ring.size(), 3u);
    struct Case {
        std::uint64_t since;
        std::size_t limit;
        const char* json;
    };
    const Case cases[] = {
        {0, 10, R"([{"seq":3},{"seq":4},{"seq":5}])"},
        {3, 10, R"([{"seq":4},{"seq":5}])"},
        {0, 1, R"([{"seq":3}])"},
        {4, 1, R"([{"seq":5}])"},
        {5, 10, "[]"},
        {99, 10, "[]"},
        {0, 0, "[]"},
    };
    for (const Case& c : cases) EXPECT_EQ(ring.since(c.since, c.limit), c.json) << c.since << " " << c.limit;
}

TEST(SampleRing, SamplesQueryTakesWholeNumbersOnlyAndCapsTheLimit) {
    struct Case {
        std::optional<std::string_view> since, limit;
        bool ok;
        std::uint64_t wantSince;
        std::size_t wantLimit;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, true, 0, SamplesQuery::kDefaultLimit},
        {"17", "5", true, 17, 5},
        {"0", "999999999", true, 0, SamplesQuery::kMaxLimit},
        {"-1", std::nullopt, false, 0, 0},
        {"1e3", std::nullopt, false, 0, 0},
        {"", std::nullopt, false, 0, 0},
        {std::nullopt, "ten", false, 0, 0},
        {"18446744073709551616", std::nullopt, false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto q = ParseSamplesQuery(c.since, c.limit);
        ASSERT_EQ(q.has_value(), c.ok) << c.since.value_or("-") << " " << c.limit.value_or("-");
        if (q) {
            EXPECT_EQ(q->since, c.wantSince);
            EXPECT_EQ(q->limit, c.wantLimit);
        }
    }
}

TEST(MetricsText, ValuesCarrySeventeenSignificantDigits) {
    // The decimal expansions of the doubles nearest 0.1 and 1/3, to 17 digits.
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{0.1, "0.10000000000000001"}, {1.0 / 3.0, "0.33333333333333331"}, {-2.5, "-2.5"},
                          {1e300, "1.0000000000000001e+300"}, {0.0, "0"}, {NAN, "NaN"},
                          {INFINITY, "+Inf"}, {-INFINITY, "-Inf"}};
    for (const Case& c : cases) EXPECT_EQ(MetricNumber(c.value), c.text);
}

TEST(MetricsText, EachFigureIsOneTypedFamilyWithItsLabels) {
    ServeFigures f;
    f.channels = {{1, "MEAS:VOLT:DC? 5,\"x\"", 10.000001, 10.0, 9.5}};
    f.samples = 42;
    f.rejected = {{"out_of_range", 2}};
    f.linkUp = true;
    f.reconnects = 3;
    f.writeFailures = 1;
    f.lastSampleSeconds = 1000.0;
    f.startSeconds = 900.0;
    const std::string text = MetricsText(f, 1002.5);
    const std::vector<std::string> lines = {
        "# TYPE quillstone_value gauge",
        "quillstone_value{channel=\"1\",command=\"MEAS:VOLT:DC? 5,\\\"x\\\"\"} 10.000000999999999",
        "quillstone_mean{channel=\"1\",command=\"MEAS:VOLT:DC? 5,\\\"x\\\"\"} 10",
        "# TYPE quillstone_samples_total counter",
        "quillstone_samples_total 42",
        "quillstone_replies_rejected_total{reason=\"out_of_range\"} 2",
        "quillstone_link_up 1",
        "quillstone_reconnects_total 3",
        "quillstone_data_file_write_failures_total 1",
        "quillstone_seconds_since_last_sample 2.5",
        "quillstone_process_start_time_seconds 900",
    };
    for (const std::string& line : lines) EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line;
    EXPECT_TRUE(text.ends_with("\n"));
    // Before the first sample there is no time since it to tell.
    f.lastSampleSeconds.reset();
    EXPECT_EQ(MetricsText(f, 1002.5).find("seconds_since_last_sample"), std::string::npos);
}

}  // namespace
}  // namespace qs::test
