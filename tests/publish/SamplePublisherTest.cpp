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
#include "publish/SamplePublisher.h"

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

TEST(SamplePublisher, EachConnectionPublishesTheRetainedStatusAndLinkFirst) {
    test::TempWorkDir dir;
    FakeBroker broker;
    LoggerRun run(broker, "r");
    run.publisher.linkChanged("{\"up\":true}");
    run.publisher.sampleTaken(test::PublishedSample(1));
    for (int connection = 0; connection < 2; ++connection) {
        broker.up = true;
        broker.queued.clear();
        run.publisher.connected();
        ASSERT_GE(broker.queued.size(), 3u);
        EXPECT_EQ(broker.queued[0].topic, "lab/bench7/status");
        EXPECT_EQ(broker.queued[0].payload, "online");
        EXPECT_TRUE(broker.queued[0].retain);
        EXPECT_EQ(broker.queued[1].topic, "lab/bench7/link");
        EXPECT_EQ(broker.queued[1].payload, "{\"up\":true}");
        EXPECT_TRUE(broker.queued[1].retain);
        EXPECT_EQ(broker.queued[2].topic, "lab/bench7/sample");  // not acknowledged: it goes again
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

}  // namespace
}  // namespace qs
