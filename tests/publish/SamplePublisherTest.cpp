// The publisher over a broker that comes and goes: a subscriber that keeps
// the latest seq per run sees every sample exactly once, in order, whatever
// the outages and restarts; the retained messages come again on each
// connection; the status line says how things stand.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "JsonValue.h"
#include "PublishedSample.h"
#include "TempWorkDir.h"
#include "WindowHarness.h"
#include "publish/SamplePublisher.h"
#include "publish/StatsTopic.h"
#include "window/StabilityFeed.h"

namespace qs {
namespace {

// A broker connection that queues what is published, and delivers and
// acknowledges it when the test says.
struct FakeBroker : IBrokerLink {
    struct Message {
        int id;
        std::string topic, payload;
        bool retain;
    };
    bool up = false;
    int nextId = 1;
    std::vector<Message> queued;     // sent, not yet delivered
    std::vector<Message> delivered;  // what subscribers got

    std::optional<int> publish(const std::string& topic, const std::string& payload, bool retain) override {
        if (!up) return std::nullopt;
        queued.push_back({nextId, topic, payload, retain});
        return nextId++;
    }
    // Delivers the oldest queued message; returns its id for the acknowledgement.
    int deliver() {
        const Message m = queued.front();
        queued.erase(queued.begin());
        delivered.push_back(m);
        return m.id;
    }
    void drop() {
        up = false;
        queued.clear();  // lost with the connection
    }
};

// One start of the program: its spool, publisher and run.
struct LoggerRun {
    SampleSpool spool;
    SamplePublisher publisher;
    std::vector<std::string> statuses;
    std::vector<std::string> newStates;  // the statuses a console prints
    LoggerRun(FakeBroker& broker, const std::string& run)
        : spool("spool"), publisher(broker, spool, PublisherTopics::Under("lab", "bench7"), run, "broker.lab") {
        std::string error;
        EXPECT_TRUE(spool.open(error)) << error;
        publisher.onStatus = [this](const std::string& s, bool newState) {
            statuses.push_back(s);
            if (newState) newStates.push_back(s);
        };
    }
};

TEST(SamplePublisherLife, EverySampleOfEveryRunArrivesOnceForASubscriberThatKeepsTheLatestSeq) {
    for (unsigned seed = 1; seed <= 10; ++seed) {
        test::TempWorkDir dir;
        std::mt19937 random(seed);
        FakeBroker broker;
        int runs = 1;
        std::map<std::string, std::uint64_t> taken;  // run -> samples taken in it
        auto run = std::make_unique<LoggerRun>(broker, "run1");
        std::uint64_t seq = 0;
        for (int step = 0; step < 3000; ++step) {
            const unsigned what = random() % 100;
            if (what < 30) {
                run->publisher.sampleTaken(test::PublishedSample(++seq));
                ++taken["run" + std::to_string(runs)];
            } else if (what < 80) {
                if (!broker.queued.empty()) run->publisher.acknowledged(broker.deliver());
            } else if (what < 88) {
                if (!broker.up) {
                    broker.up = true;
                    run->publisher.connected();
                }
            } else if (what < 97) {
                if (broker.up) {
                    broker.drop();
                    run->publisher.lost();
                }
            } else {
                // The logger restarts; the broker may be up or down.
                run.reset();
                run = std::make_unique<LoggerRun>(broker, "run" + std::to_string(++runs));
                seq = 0;
                if (broker.up) run->publisher.connected();
            }
        }
        if (!broker.up) {
            broker.up = true;
            run->publisher.connected();
        }
        while (!broker.queued.empty()) run->publisher.acknowledged(broker.deliver());

        std::map<std::string, std::uint64_t> latest;  // the subscriber's view
        std::map<std::string, std::uint64_t> seen;
        for (const auto& m : broker.delivered) {
            if (m.topic != "lab/bench7/sample") continue;
            EXPECT_FALSE(m.retain);
            const test::JsonValue record = test::JsonReader::parse(m.payload).value();
            const std::string r = record["run"].text;
            const auto s = static_cast<std::uint64_t>(record["seq"].number);
            if (s <= latest[r]) continue;  // a duplicate
            ASSERT_EQ(s, latest[r] + 1) << "seed " << seed << ": run " << r << " skipped a seq";
            ASSERT_EQ(record["value"].number, test::PublishedSample(s).value);
            latest[r] = s;
            ++seen[r];
        }
        EXPECT_EQ(seen, taken) << "seed " << seed;
        EXPECT_EQ(run->spool.waiting(), 0u);
    }
}

TEST(SamplePublisher, EachConnectionPublishesTheRetainedStatusLinkAndStatsFirst) {
    test::TempWorkDir dir;
    FakeBroker broker;
    LoggerRun run(broker, "r");
    run.publisher.linkChanged("{\"up\":true}");
    run.publisher.statsReady("{\"n\":1}");  // while unreachable: kept for the connection
    run.publisher.sampleTaken(test::PublishedSample(1));
    for (int connection = 0; connection < 2; ++connection) {
        broker.up = true;
        broker.queued.clear();
        run.publisher.connected();
        ASSERT_GE(broker.queued.size(), 4u);
        const std::pair<std::string, std::string> retained[] = {
            {"lab/bench7/status", "online"}, {"lab/bench7/link", "{\"up\":true}"}, {"lab/bench7/stats", "{\"n\":1}"}};
        for (std::size_t i = 0; i < std::size(retained); ++i) {
            EXPECT_EQ(broker.queued[i].topic, retained[i].first);
            EXPECT_EQ(broker.queued[i].payload, retained[i].second);
            EXPECT_TRUE(broker.queued[i].retain) << retained[i].first;
        }
        EXPECT_EQ(broker.queued[3].topic, "lab/bench7/sample");  // not acknowledged: it goes again
        broker.drop();
        run.publisher.lost();
    }
    broker.up = true;
    run.publisher.connected();
    run.publisher.closing();
    EXPECT_EQ(broker.queued.back().topic, "lab/bench7/status");
    EXPECT_EQ(broker.queued.back().payload, "offline");
}

TEST(SamplePublisher, AKilledLoggerSendsAgainNothingTheBrokerHadCaughtUpWith) {
    test::TempWorkDir dir;
    FakeBroker broker;
    LoggerRun run(broker, "r");
    broker.up = true;
    run.publisher.connected();
    for (std::uint64_t k = 1; k <= 3; ++k) run.publisher.sampleTaken(test::PublishedSample(k));
    while (!broker.queued.empty()) run.publisher.acknowledged(broker.deliver());
    std::filesystem::copy("spool", "killed");  // the folder as a SIGKILL leaves it
    SampleSpool after("killed");
    std::string error;
    ASSERT_TRUE(after.open(error)) << error;
    EXPECT_EQ(after.waiting(), 0u);
}

TEST(SamplePublisher, ASampleTheBrokerRefusesWaitsInTheSpoolForTheNextConnection) {
    test::TempWorkDir dir;
    FakeBroker broker;
    LoggerRun run(broker, "r");
    broker.up = true;
    run.publisher.connected();
    run.publisher.acknowledged(broker.deliver());  // online
    run.publisher.sampleTaken(test::PublishedSample(1));
    run.publisher.rejected(broker.queued.front().id, "Not authorized");
    broker.queued.clear();
    EXPECT_EQ(run.spool.waiting(), 1u);
    EXPECT_EQ(run.statuses.back(), "MQTT: connected to broker.lab, which refuses the samples (Not authorized), 1 samples "
                                   "waiting");
    broker.drop();
    run.publisher.lost();
    broker.up = true;
    run.publisher.connected();
    ASSERT_EQ(broker.queued.size(), 2u);
    EXPECT_EQ(test::JsonReader::parse(broker.queued[1].payload).value()["seq"].number, 1.0);
}

TEST(SamplePublisher, TheStatusLineSaysHowManySamplesWait) {
    test::TempWorkDir dir;
    FakeBroker broker;
    LoggerRun run(broker, "r");
    run.publisher.sampleTaken(test::PublishedSample(1));
    run.publisher.sampleTaken(test::PublishedSample(2));
    run.publisher.refused("login refused by the broker");
    broker.up = true;
    run.publisher.connected();
    run.publisher.acknowledged(broker.deliver());  // online
    run.publisher.acknowledged(broker.deliver());  // sample 1
    run.publisher.acknowledged(broker.deliver());  // sample 2
    broker.drop();
    run.publisher.lost();
    run.publisher.sampleTaken(test::PublishedSample(3));
    const std::vector<std::string> expected = {
        "MQTT: broker unreachable, 1 samples waiting",
        "MQTT: broker unreachable, 2 samples waiting",
        "MQTT: login refused by the broker, 2 samples waiting",
        "MQTT: connected to broker.lab",
        "MQTT: broker unreachable, 0 samples waiting",
        "MQTT: broker unreachable, 1 samples waiting",
    };
    EXPECT_EQ(run.statuses, expected);
    const std::vector<std::string> printed = {expected[2], expected[3], expected[4]};
    EXPECT_EQ(run.newStates, printed);
}

// The stats topic over a logger on the virtual clock, samples a second apart.
struct StatsRun {
    test::WindowHarness h;
    FakeBroker broker;
    LoggerRun run{broker, "r"};
    StabilityFeed feed{h.w, h.vp.time, 1000, 0};
    std::unique_ptr<StatsTopic> stats = std::make_unique<StatsTopic>(h.w, feed, h.vp.time, run.publisher, "r");
    SampleRecord newest;

    StatsRun() {
        h.w.MinStringBox.setText("1");
        h.w.sampleSubscribers.add([this](const SampleRecord& s) { newest = s; });
        broker.up = true;
        run.publisher.connected();
    }
    void samples(int count) {
        for (int i = 0; i < count; ++i) {
            h.answer(std::to_string(10.0 + 1e-6 * (i % 7)) + "\r\n");
            h.advance(1000);
        }
    }
    std::vector<FakeBroker::Message> published() const {
        std::vector<FakeBroker::Message> out;
        for (const auto& m : broker.queued)
            if (m.topic == "lab/bench7/stats") out.push_back(m);
        return out;
    }
};

TEST(StatsTopic, PublishesTheLiveFiguresOnceAMinuteAndTheWholeRunAtTheEnd) {
    StatsRun r;
    r.samples(150);
    ASSERT_EQ(r.published().size(), 2u);  // at one and two minutes
    const DataAnalysis live = r.feed.analysis();
    r.stats.reset();  // the end of the program
    const auto published = r.published();
    ASSERT_EQ(published.size(), 3u);
    EXPECT_TRUE(published.back().retain);
    const auto json = test::JsonReader::parse(published.back().payload);
    ASSERT_TRUE(json) << published.back().payload;
    const test::JsonValue& v = *json;
    EXPECT_EQ(v["run"].text, "r");
    EXPECT_EQ(v["time"].text, FormatIsoUtc(r.newest.time));
    ASSERT_EQ(v["channels"].items.size(), 1u);
    const test::JsonValue& c = v["channels"][0];
    EXPECT_EQ(c["n"].number, 150);
    // All 17 digits: the subscriber reads the figures the window shows.
    EXPECT_EQ(c["mean"].maybeNumber(), live.channels[0].figures.mean);
    EXPECT_EQ(c["stddev"].maybeNumber(), live.channels[0].figures.stddev);
    EXPECT_EQ(c["stability"].items.size(), live.channels[0].rows.size());
    EXPECT_FALSE(c["stability"].items.empty());
    EXPECT_TRUE(v["tempco"].isNull());
}

TEST(StatsTopic, SaysNothingWhileNoSamplesArrive) {
    StatsRun r;
    r.samples(10);
    r.h.advance(5 * 60000);
    EXPECT_EQ(r.published().size(), 1u);
    r.stats.reset();
    EXPECT_EQ(r.published().size(), 1u);  // nothing new waited
}

}  // namespace
}  // namespace qs
