// The real program publishing to a real broker, as processes: a logger
// killed while its broker is down loses nothing of that run, and one that
// vanishes leaves its retained status offline; one that ends cleanly leaves
// the statistics of its run.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <set>

#include "JsonValue.h"
#include "LabBench.h"
#include "MosquittoBroker.h"

namespace qs::test {
namespace {

struct Received {
    std::set<std::string> runs;
    std::multiset<std::string> texts;  // each (run, seq) once
};

Received samplesOf(const MqttSubscriber& subscriber, const std::string& topic) {
    Received r;
    std::set<std::pair<std::string, double>> seen;
    for (const auto& m : subscriber.messages()) {
        if (m.topic != topic) continue;
        const auto record = JsonReader::parse(m.payload);
        if (!record || !seen.insert({(*record)["run"].text, (*record)["seq"].number}).second) continue;
        r.runs.insert((*record)["run"].text);
        r.texts.insert((*record)["text"].text);
    }
    return r;
}

bool waitFor(const std::function<bool()>& done, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (done()) return true;
        runFor(50);
    }
    return done();
}

class PublishingProcess : public ::testing::Test {
protected:
    void SetUp() override {
        broker = std::make_unique<MosquittoBroker>((dir.path() + QStringLiteral("/broker")).toStdString(), true);
        if (!broker->started()) GTEST_SKIP() << "mosquitto could not be started here";
        ASSERT_TRUE(prepareBench(bench, dir.path(), 1, 7));
    }
    void TearDown() override {
        stopLogger(bench, false);
        if (bench.sim) bench.sim->terminate(), bench.sim->waitForFinished(3000);
    }

    QTemporaryDir dir;
    std::unique_ptr<MosquittoBroker> broker;
    Bench bench;
};

TEST_F(PublishingProcess, ARunKilledWhileTheBrokerIsDownArrivesWithTheNextOnceTheBrokerIsBack) {
    MqttSubscriber subscriber(broker->port(), "lab/#", "reader", "look", "process-test");
    startLogger(bench, broker->port());
    ASSERT_TRUE(waitFor([&] { return samplesOf(subscriber, "lab/bench1/sample").texts.size() >= 5; }, 10000));
    broker->stop();
    runFor(1000);
    stopLogger(bench, true);  // SIGKILL, with a second of samples in the spool
    startLogger(bench, broker->port());
    runFor(1500);
    broker->start();
    runFor(3000);
    stopLogger(bench, false);
    const std::vector<std::string> logged = dataFileValues(bench.folder);
    ASSERT_TRUE(waitFor([&] { return samplesOf(subscriber, "lab/bench1/sample").texts.size() >= logged.size(); },
                        15000));
    const Received got = samplesOf(subscriber, "lab/bench1/sample");
    EXPECT_EQ(got.runs.size(), 2u);
    EXPECT_EQ(got.texts, std::multiset<std::string>(logged.begin(), logged.end()));
}

TEST_F(PublishingProcess, ALoggerThatVanishesLeavesItsRetainedStatusOffline) {
    startLogger(bench, broker->port());
    {
        MqttSubscriber status(broker->port(), "lab/bench1/status");
        ASSERT_TRUE(waitFor([&] { return !status.messages().empty(); }, 10000));
        EXPECT_EQ(status.messages().back().payload, "online");
    }
    stopLogger(bench, true);
    runFor(500);
    MqttSubscriber after(broker->port(), "lab/bench1/status");
    ASSERT_TRUE(waitFor([&] { return !after.messages().empty(); }, 5000));
    EXPECT_EQ(after.messages().back().payload, "offline");
    EXPECT_TRUE(after.messages().back().retain);
}

TEST_F(PublishingProcess, ACleanEndLeavesTheRetainedStatsOfTheWholeRun) {
    MqttSubscriber subscriber(broker->port(), "lab/#", "reader", "look", "stats-test");
    startLogger(bench, broker->port());
    ASSERT_TRUE(waitFor([&] { return samplesOf(subscriber, "lab/bench1/sample").texts.size() >= 15; }, 10000));
    stopLogger(bench, false);
    const std::vector<std::string> logged = dataFileValues(bench.folder);
    MqttSubscriber after(broker->port(), "lab/bench1/stats");
    ASSERT_TRUE(waitFor([&] { return !after.messages().empty(); }, 5000));
    EXPECT_TRUE(after.messages().back().retain);
    const auto stats = JsonReader::parse(after.messages().back().payload);
    ASSERT_TRUE(stats) << after.messages().back().payload;
    EXPECT_EQ((*stats)["run"].text, *samplesOf(subscriber, "lab/bench1/sample").runs.begin());
    // The bench's mean window is 10 points: the figures cover the last ten lines of the data file.
    ASSERT_GE(logged.size(), 10u);
    double sum = 0;
    for (std::size_t i = logged.size() - 10; i < logged.size(); ++i) sum += std::stod(logged[i]);
    const JsonValue& channel = (*stats)["channels"][0];
    EXPECT_EQ(channel["n"].number, 10);
    EXPECT_NEAR(channel["mean"].number, sum / 10, 1e-12 * std::abs(sum / 10));
}

}  // namespace
}  // namespace qs::test
