// Publishing to a real broker (Debian's mosquitto on loopback, with logins
// and an ACL): every sample arrives with the value logged, through an
// outage of the broker; a refused login is said and retried; the retained
// status tells a subscriber whether the logger runs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <set>

#include "JsonValue.h"
#include "PublishedSample.h"
#include "MosquittoBroker.h"
#include "TempWorkDir.h"
#include "qt/net/BrokerPublishing.h"

namespace qs {
namespace {

// A subscriber is sent only what is published after the broker has
// acknowledged its subscription: each test waits for that before it
// publishes. Through an outage of the broker, the subscriber keeps a session
// the (persistent) broker keeps, so that what the publisher sends after the
// restart reaches it whichever of the two reconnects first.
class BrokerPublishingTest : public ::testing::Test {
protected:
    void SetUp() override {
        broker = std::make_unique<test::MosquittoBroker>(dir.path() / "broker");
        if (!broker->started()) GTEST_SKIP() << "mosquitto could not be started here";
    }

    std::unique_ptr<BrokerPublishing> publishing(const std::string& password = "secret", bool tls = false,
                                                 const std::string& caFile = {}, const std::string& prefix = "lab") {
        BrokerPublishing::Settings settings;
        settings.address = {tls, "logger", "127.0.0.1", static_cast<std::uint16_t>(broker->port()), prefix};
        settings.password = password;
        settings.caFile = caFile;
        settings.name = "bench7";
        settings.spoolFolder = (dir.path() / "mqtt-spool").string();
        settings.run = "r1";
        auto p = std::make_unique<BrokerPublishing>(settings);
        p->publisher().onStatus = [this](const std::string& s, bool) { statuses.push_back(s); };
        std::string error;
        EXPECT_TRUE(p->start(error)) << error;
        return p;
    }

    // The seqs of the samples a subscriber got, each once.
    static std::set<std::uint64_t> seqs(const test::MqttSubscriber& subscriber) {
        std::set<std::uint64_t> got;
        for (const auto& m : subscriber.messages())
            if (m.topic == "lab/bench7/sample")
                got.insert(static_cast<std::uint64_t>(test::JsonReader::parse(m.payload).value()["seq"].number));
        return got;
    }

    test::TempWorkDir dir;
    std::unique_ptr<test::MosquittoBroker> broker;
    std::vector<std::string> statuses;
};

TEST_F(BrokerPublishingTest, EverySampleArrivesWithTheValueLoggedThroughAnOutageOfTheBroker) {
    broker.reset();
    broker = std::make_unique<test::MosquittoBroker>(dir.path() / "persistent-broker", test::MosquittoBroker::Kind::Persistent);
    ASSERT_TRUE(broker->started());
    test::MqttSubscriber subscriber(broker->port(), "lab/#", "reader", "look", "reader-through-the-outage");
    ASSERT_TRUE(QTest::qWaitFor([&] { return subscriber.subscribed(); }, 5000));
    auto p = publishing();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p->publisher().isConnected(); }, 5000));
    for (std::uint64_t k = 1; k <= 50; ++k) p->publisher().sampleTaken(test::PublishedSample(k));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seqs(subscriber).size() == 50; }, 5000));
    for (const auto& m : subscriber.messages()) {
        if (m.topic != "lab/bench7/sample") continue;
        const test::JsonValue record = test::JsonReader::parse(m.payload).value();
        const auto k = static_cast<std::uint64_t>(record["seq"].number);
        EXPECT_EQ(record["value"].number, test::PublishedSample(k).value) << m.payload;
        EXPECT_EQ(record["run"].text, "r1");
        EXPECT_EQ(record["time"].text.size(), 20u) << m.payload;
    }

    broker->stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !p->publisher().isConnected(); }, 5000));
    for (std::uint64_t k = 51; k <= 80; ++k) p->publisher().sampleTaken(test::PublishedSample(k));
    EXPECT_EQ(statuses.back(), "MQTT: broker unreachable, 30 samples waiting");
    broker->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seqs(subscriber).size() == 80; }, 15000)) << seqs(subscriber).size();
    EXPECT_EQ(*seqs(subscriber).begin(), 1u);
    EXPECT_EQ(*seqs(subscriber).rbegin(), 80u);
    EXPECT_EQ(statuses.back(), "MQTT: connected to 127.0.0.1");
}

TEST_F(BrokerPublishingTest, RetainedStatusIsOnlineWhileRunningAndOfflineAfterACleanEnd) {
    auto p = publishing();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p->publisher().isConnected(); }, 5000));
    {
        test::MqttSubscriber late(broker->port(), "lab/bench7/status");  // joins after it was published
        ASSERT_TRUE(QTest::qWaitFor([&] { return !late.messages().empty(); }, 5000));
        EXPECT_EQ(late.messages().front().payload, "online");
        EXPECT_TRUE(late.messages().front().retain);
    }
    // The clean end's "offline" reaches a subscriber who is there, and only
    // then is it surely what the broker retains for one who comes later.
    test::MqttSubscriber there(broker->port(), "lab/bench7/status");
    ASSERT_TRUE(QTest::qWaitFor([&] { return there.subscribed(); }, 5000));
    p->finish();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !there.messages().empty() && there.messages().back().payload == "offline"; }, 5000));
    test::MqttSubscriber later(broker->port(), "lab/bench7/status");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !later.messages().empty(); }, 5000));
    EXPECT_EQ(later.messages().front().payload, "offline");
}

TEST_F(BrokerPublishingTest, ARefusedLoginIsSaidAndTheSamplesWait) {
    auto p = publishing("wrong");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !statuses.empty() && statuses.back().find("refused") != std::string::npos; }, 5000));
    p->publisher().sampleTaken(test::PublishedSample(1));
    EXPECT_NE(statuses.back().find("MQTT: broker refused the connection: "), std::string::npos) << statuses.back();
    EXPECT_NE(statuses.back().find("1 samples waiting"), std::string::npos) << statuses.back();
    EXPECT_FALSE(p->publisher().isConnected());
}

TEST_F(BrokerPublishingTest, ATopicTheBrokersAclRefusesKeepsTheSamplesAndSaysWhy) {
    auto p = publishing("secret", false, {}, "other");  // the login may write lab/# only
    ASSERT_TRUE(QTest::qWaitFor([&] { return p->publisher().isConnected(); }, 5000));
    for (std::uint64_t k = 1; k <= 3; ++k) p->publisher().sampleTaken(test::PublishedSample(k));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !statuses.empty() && statuses.back().find("refuses the samples") != std::string::npos; }, 5000));
    EXPECT_EQ(statuses.back(), "MQTT: connected to 127.0.0.1, which refuses the samples (Not authorized), 3 samples "
                               "waiting");
}

// mqtts:// against a broker whose certificate a CA of the test's signed:
// with that CA the samples go; without it (the system's CAs) the handshake
// fails, and the line says it is TLS, not an unreachable broker.
class TlsBrokerPublishingTest : public BrokerPublishingTest {
protected:
    void SetUp() override {
        broker = std::make_unique<test::MosquittoBroker>(dir.path() / "broker", test::MosquittoBroker::Kind::Tls);
        if (!broker->started()) GTEST_SKIP() << "mosquitto could not be started here";
    }
};

TEST_F(TlsBrokerPublishingTest, TheCaFileLetsTheSamplesGoAndWithoutItTheLineSaysTlsFailed) {
    {
        auto p = publishing("secret", true, broker->caFile());
        ASSERT_TRUE(QTest::qWaitFor([&] { return p->publisher().isConnected(); }, 10000)) << statuses.back();
    }
    statuses.clear();
    auto p = publishing("secret", true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !statuses.empty() && statuses.back().find("TLS failed") != std::string::npos; }, 10000));
    EXPECT_EQ(statuses.back().rfind("MQTT: TLS failed", 0), 0u) << statuses.back();
    EXPECT_FALSE(p->publisher().isConnected());
}

}  // namespace
}  // namespace qs
