// The spool of what a broker has not acknowledged: nothing appended is ever
// lost, whatever the order of outages, acknowledgements and restarts, and
// what a crash leaves behind is taken up again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "TempWorkDir.h"
#include "publish/SampleSpool.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

std::string record(int k) { return "{\"seq\":" + std::to_string(k) + ",\"pad\":\"" + std::string(k % 23, 'x') + "\"}"; }
int seqOf(const std::string& text) { return std::stoi(text.substr(7)); }

std::unique_ptr<SampleSpool> openSpool(const std::string& folder, SampleSpool::Limits limits) {
    auto spool = std::make_unique<SampleSpool>(folder, limits);
    std::string error;
    EXPECT_TRUE(spool->open(error)) << error;
    return spool;
}

// The harness: a random life of appends, sends, acknowledgements, lost
// connections, clean restarts and crashes (the folder as it stands, taken
// up by a fresh spool while the old one is dropped unsaved). The broker
// must end up with every record appended, and the first of any send after a
// rewind or restart is never later than the oldest one unacknowledged.
TEST(SampleSpoolLife, EveryRecordReachesTheBrokerInOrderThroughOutagesAndCrashes) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        test::TempWorkDir dir;
        std::mt19937 random(seed);
        const SampleSpool::Limits limits{1u << 20, 256 + seed * 64};  // segments of some ten records
        std::string folder = (dir.path() / ("spool" + std::to_string(seed))).string();
        auto spool = openSpool(folder, limits);
        int appended = 0;
        int oldestUnacknowledged = 1;     // every record before it is acknowledged
        std::vector<std::pair<std::uint64_t, int>> inFlight;  // id, seq
        std::vector<bool> received(1, true);  // by seq; [0] unused
        int expectNext = 1;  // the seq the next send must have, or earlier after a rewind
        bool fresh = true;   // the first send since a rewind or restart

        const auto send = [&] {
            auto entry = spool->next();
            if (!entry) {
                ASSERT_EQ(expectNext, appended + 1) << "seed " << seed << ": a record was not handed out";
                return;
            }
            const int k = seqOf(entry->text);
            ASSERT_EQ(entry->text, record(k));
            if (fresh) {
                ASSERT_LE(k, oldestUnacknowledged) << "seed " << seed << ": a record was skipped";
                fresh = false;
            } else {
                ASSERT_EQ(k, expectNext) << "seed " << seed << ": out of order";
            }
            expectNext = k + 1;
            received[static_cast<std::size_t>(k)] = true;
            inFlight.push_back({entry->id, k});
        };
        const auto acknowledgeOne = [&] {
            if (inFlight.empty()) return;
            // Mostly in order, sometimes the one after the first.
            const std::size_t i = inFlight.size() > 1 && random() % 4 == 0 ? 1 : 0;
            spool->acknowledge(inFlight[i].first);
            inFlight.erase(inFlight.begin() + static_cast<long>(i));
            // The oldest unacknowledged is the smallest seq still in flight or not yet sent.
            int oldest = expectNext;
            for (const auto& f : inFlight) oldest = std::min(oldest, f.second);
            oldestUnacknowledged = std::max(oldestUnacknowledged, oldest);
        };
        const auto lose = [&] {
            inFlight.clear();
            fresh = true;
            expectNext = oldestUnacknowledged;
        };

        for (int step = 0; step < 1500; ++step) {
            const unsigned what = random() % 100;
            if (what < 35) {
                ASSERT_TRUE(spool->append(record(++appended)));
                received.push_back(false);
            } else if (what < 65) {
                send();
            } else if (what < 92) {
                acknowledgeOne();
            } else if (what < 96) {
                spool->rewind();
                lose();
            } else if (what < 98) {
                spool = openSpool(folder, limits);  // a clean restart: the old one saved on its way out
                lose();
            } else {
                // A crash: a fresh spool takes up a copy of the folder as it stands.
                const std::string copy = folder + "c";
                fs::copy(folder, copy);
                spool.reset();
                fs::remove_all(folder);
                fs::rename(copy, folder);
                spool = openSpool(folder, limits);
                lose();
            }
            if (HasFatalFailure()) return;
        }
        // The broker comes back for good: everything goes, and is acknowledged.
        spool->rewind();
        lose();
        while (auto entry = spool->next()) {
            received[static_cast<std::size_t>(seqOf(entry->text))] = true;
            spool->acknowledge(entry->id);
        }
        for (int k = 1; k <= appended; ++k)
            ASSERT_TRUE(received[static_cast<std::size_t>(k)]) << "seed " << seed << " seq " << k;
        EXPECT_EQ(spool->waiting(), 0u);
        EXPECT_LE(spool->bytesOnDisk(), limits.segmentBytes + record(appended).size() + 1) << "seed " << seed;
    }
}

TEST(SampleSpool, CountsWhatWaitsAcrossARestart) {
    test::TempWorkDir dir;
    {
        auto spool = openSpool("s", {});
        for (int k = 1; k <= 5; ++k) spool->append(record(k));
        for (int k = 1; k <= 2; ++k) spool->acknowledge(spool->next()->id);
        EXPECT_EQ(spool->waiting(), 3u);
    }
    auto spool = openSpool("s", {});
    EXPECT_EQ(spool->waiting(), 3u);
    EXPECT_EQ(spool->next()->text, record(3));
}

TEST(SampleSpool, ACrashInTheMiddleOfAnAppendLeavesNoTornRecord) {
    test::TempWorkDir dir;
    {
        auto spool = openSpool("s", {});
        spool->append(record(1));
    }
    std::ofstream("s/00000001.spool", std::ios::app) << "{\"seq\":2,\"pa";  // cut off by the crash
    auto spool = openSpool("s", {});
    EXPECT_EQ(spool->waiting(), 1u);
    spool->append(record(3));
    EXPECT_EQ(spool->next()->text, record(1));
    EXPECT_EQ(spool->next()->text, record(3));
    EXPECT_FALSE(spool->next());
}

TEST(SampleSpool, AFullSpoolDropsTheNewestAndCountsThem) {
    test::TempWorkDir dir;
    const SampleSpool::Limits limits{100, 40};
    auto spool = openSpool("s", limits);
    int kept = 0;
    for (int k = 1; k <= 20; ++k) kept += spool->append(record(k)) ? 1 : 0;
    EXPECT_LE(spool->bytesOnDisk(), 100u);
    EXPECT_EQ(spool->waiting(), static_cast<std::uint64_t>(kept));
    EXPECT_EQ(spool->dropped(), static_cast<std::uint64_t>(20 - kept));
    for (int k = 1; k <= kept; ++k) EXPECT_EQ(spool->next()->text, record(k));
}

TEST(SampleSpool, SegmentsLeftByAnInterruptedCleanUpAreDeletedAtOpen) {
    test::TempWorkDir dir;
    fs::create_directory("s");
    std::ofstream("s/00000003.spool") << record(1) << "\n";
    std::ofstream("s/00000004.spool") << record(2) << "\n" << record(3) << "\n";
    std::ofstream("s/acknowledged") << "4 0\n";  // saved before 3 could be deleted
    auto spool = openSpool("s", {});
    EXPECT_FALSE(fs::exists("s/00000003.spool"));
    EXPECT_EQ(spool->waiting(), 2u);
    EXPECT_EQ(spool->next()->text, record(2));
}

TEST(SampleSpool, AFolderThatCannotBeMadeIsNamed) {
    test::TempWorkDir dir;
    std::ofstream("file") << "x";
    SampleSpool spool("file/s");
    std::string error;
    EXPECT_FALSE(spool.open(error));
    EXPECT_NE(error.find("\"file/s\""), std::string::npos) << error;
}

}  // namespace
}  // namespace qs
