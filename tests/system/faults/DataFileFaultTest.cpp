// A data file that cannot be written, met while logging: the poll cycle goes
// on, every sample is counted and plotted, the status bar says that samples
// are not recorded, and the next good write clears that.
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "FaultCaseTest.h"
#include "SampleAudit.h"

namespace qs::test {
namespace {

struct DataFileFault {
    const char* name;
    const char* dataFile;  // TextFileBox's text
    void (*breakIt)();     // before Start
    void (*heal)();        // while logging
    bool rootWrites;       // root writes through it all the same
};

void PrintTo(const DataFileFault& fault, std::ostream* os) { *os << fault.name; }

const DataFileFault kDataFileFaults[] = {
    {"read_only_folder", "ro/Data.txt",
     [] {
         std::filesystem::create_directory("ro");
         ::chmod("ro", 0555);
     },
     [] { ::chmod("ro", 0755); }, true},
    {"folder_that_does_not_exist", "missing/Data.txt", [] {},
     [] { std::filesystem::create_directory("missing"); }, false},
    {"name_of_a_folder", "Data.txt", [] { std::filesystem::create_directory("Data.txt"); },
     [] { std::filesystem::remove("Data.txt"); }, false},
    {"full_disk", "Data.txt", [] { std::filesystem::create_symlink("/dev/full", "Data.txt"); },
     [] { std::filesystem::remove("Data.txt"); }, false},
};

class DataFileFaultTest : public FaultCaseTest, public ::testing::WithParamInterface<DataFileFault> {};

TEST_P(DataFileFaultTest, LoggingGoesOnAndTheStatusSaysSamplesAreNotRecordedUntilTheNextGoodWrite) {
    const DataFileFault& fault = GetParam();
    if (fault.rootWrites && ::geteuid() == 0) {
        skipCase("running as root, whom permission bits do not stop from writing; "
                 "folder_that_does_not_exist covers a data file that cannot be opened");
        GTEST_SKIP() << skipReason;
    }
    if (std::string(fault.name) == "full_disk" && !std::filesystem::exists("/dev/full")) {
        skipCase("this system has no /dev/full");
        GTEST_SKIP() << skipReason;
    }
    FaultSimulator sim({});
    ASSERT_NE(sim.port(), 0);
    fault.breakIt();
    ConfigLines config = FastConfig(sim.host());
    config[ConfigLines::DataFile] = fault.dataFile;
    config.write();
    ASSERT_NO_FATAL_FAILURE(openWindow());
    click("StartButton");

    // Five samples while the file cannot be written: the cycle goes on.
    ASSERT_TRUE(WaitFor([&] { return count() >= 5; }, 10000)) << "samples: " << count();
    const std::string status = logger().DataFileStatus.caption();
    EXPECT_NE(status.find("NOT being recorded"), std::string::npos) << status;
    EXPECT_NE(status.find(fault.dataFile), std::string::npos) << status;
    EXPECT_EQ(view<QLabel>("DataFileStatus")->text().toStdString(), status);
    EXPECT_EQ(app->chart.Series(1).Count(), count());
    EXPECT_EQ(logger().CountBox.caption(), std::to_string(count()));

    fault.heal();
    const int unrecorded = count();
    ASSERT_TRUE(WaitFor([&] { return count() > unrecorded; }, 5000));
    EXPECT_EQ(logger().DataFileStatus.caption(), "") << "after the first good write";
    EXPECT_EQ(view<QLabel>("DataFileStatus")->text(), QString());
    ASSERT_TRUE(stopRightAfterSample(unrecorded + 3, 5000));
    sim.stop();

    const std::vector<std::string> texts = ReplyTextsOf(ReadLines(fault.dataFile));
    const std::vector<double> chart = YValues(app->chart.Series(1));
    ExpectNoInventedSample(texts, chart, sim.completeValues());
    // Every sample is on the chart; those after the heal are in the file too.
    ASSERT_EQ(static_cast<int>(chart.size()), count());
    const int recorded = count() - unrecorded;
    EXPECT_EQ(static_cast<int>(texts.size()), recorded);
    for (std::size_t i = 0; i < texts.size() && i < static_cast<std::size_t>(recorded); ++i)
        EXPECT_EQ(chart[static_cast<std::size_t>(unrecorded) + i], ValueOf(texts[i]));

    // Nothing else is lost: each reply is a sample and is in "Results.txt".
    std::vector<double> replyValues;
    const std::string transcript = ReadFile("Results.txt");
    for (const SentRecord& r : sim.sent()) {
        if (r.kind != "reply") continue;
        replyValues.push_back(ValueOf(r.text));
        EXPECT_NE(transcript.find("{" + r.text + "\r"), std::string::npos) << r.text;
    }
    const int lostToFile = std::max(0, recorded - static_cast<int>(texts.size()));
    const int notSampled = MissingFrom(replyValues, chart);
    samplesLost = lostToFile + notSampled;
    EXPECT_EQ(notSampled, 0);
}

INSTANTIATE_TEST_SUITE_P(DataFile, DataFileFaultTest, ::testing::ValuesIn(kDataFileFaults),
                         [](const ::testing::TestParamInfo<DataFileFault>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qs::test
