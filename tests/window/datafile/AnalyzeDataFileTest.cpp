// `quillstone --analyze`: a data file's statistics and stability, read with
// Load's reader, written as text, CSV or JSON; here through the analysis
// the program runs, on the NIST test sets written as data files.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "JsonValue.h"
#include "NistTestSets.h"
#include "TempWorkDir.h"
#include "core/SampleTime.h"
#include "datafile/DataLine.h"
#include "window/DataFileAnalysis.h"

namespace qs::test {
namespace {

// The readings as the logger writes them, one a second from 2024-01-01:
// the reply text holds each reading to its last bit.
std::string dataFileOf(const std::vector<double>& values) {
    std::string bytes;
    for (std::size_t i = 0; i < values.size(); ++i) {
        char reply[40];
        std::snprintf(reply, sizeof reply, "%+.17g", values[i]);
        bytes += FormatDataLine(SampleTimeFromUtc(static_cast<std::time_t>(1704067200 + i)), reply, values[i],
                                values[i]);
    }
    return bytes;
}

JsonValue analyzedAsJson(const std::string& file, bool alternate, std::vector<long long> factors) {
    const AnalysisOutcome outcome = AnalyzeDataFile({file, alternate, AnalysisFormat::Json, std::move(factors)});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.error;
    EXPECT_EQ(outcome.error, "");
    const std::optional<JsonValue> json = JsonReader::parse(outcome.out);
    EXPECT_TRUE(json.has_value()) << outcome.out;
    return json.value_or(JsonValue{});
}

const JsonValue* rowWithM(const JsonValue& channel, long long m) {
    for (const JsonValue& row : channel["stability"].items)
        if (row["m"].number == static_cast<double>(m)) return &row;
    return nullptr;
}

class AnalyzePublishedSet : public ::testing::TestWithParam<NistValue> {};

TEST_P(AnalyzePublishedSet, ReproducesTheDeviationToAMillionthWithTausOneTenAHundred) {
    const NistValue& v = GetParam();
    TempWorkDir dir;
    WriteFile("Data.txt", dataFileOf(NistSet(v.set)));
    const JsonValue json = analyzedAsJson("Data.txt", false, {1, 2, 10, 100});
    const JsonValue& channel = json["channels"][0];
    const JsonValue* row = rowWithM(channel, v.m);
    ASSERT_NE(row, nullptr) << v.m;
    const std::string key = v.quantity == std::string("OADEV") ? "oadev" : v.quantity == std::string("MDEV") ? "mdev"
                                                                                                              : "hdev";
    const std::optional<double> got = (*row)[key].maybeNumber();
    ASSERT_TRUE(got.has_value()) << key;
    EXPECT_NEAR(*got / v.expected, 1.0, kNistRelativeTolerance) << v.set << " " << key << " m=" << v.m;
    EXPECT_EQ((*row)["tau"].number, static_cast<double>(v.m));
    EXPECT_EQ(channel["tau0"].number, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Nist, AnalyzePublishedSet, ::testing::ValuesIn(NistPublishedDeviations()));

TEST(AnalyzeDataFile, ReproducesThePublishedStandardDeviationsAndGivesNullBeyondTheNinePoints) {
    TempWorkDir dir;
    for (const NistSpread& s : NistPublishedStandardDeviations()) {
        if (s.m != 1) continue;
        WriteFile("Data.txt", dataFileOf(NistSet(s.set)));
        const JsonValue json = analyzedAsJson("Data.txt", false, {1, 10, 100});
        ASSERT_TRUE(json["channels"][0]["stddev"].maybeNumber()) << s.set;
        EXPECT_NEAR(json["channels"][0]["stddev"].number / s.expected, 1.0, kNistRelativeTolerance) << s.set;
    }
    WriteFile("Data.txt", dataFileOf(NistNinePointSet()));
    const JsonValue json = analyzedAsJson("Data.txt", false, {1, 10, 100});
    for (long long m : {10LL, 100LL}) {
        const JsonValue* row = rowWithM(json["channels"][0], m);
        ASSERT_NE(row, nullptr);
        for (const char* key : {"oadev", "oadev_err", "mdev", "hdev"}) EXPECT_TRUE((*row)[key].isNull()) << key << m;
        for (const char* key : {"oadev_n", "mdev_n", "hdev_n"}) EXPECT_EQ((*row)[key].number, 0.0) << key << m;
    }
}

TEST(AnalyzeDataFile, JsonHasTheDocumentedShapeWithEveryKeyInItsPlace) {
    TempWorkDir dir;
    std::string bytes = dataFileOf(NistThousandPointSet());
    // A day that does not exist: Load skips the line. (A line without a
    // date would repeat the fields of the one before it, as in Load.)
    bytes.insert(bytes.find('\n') + 1, "2024-02-30 00:00:00, +1.0, 1.0, 1.0\r\n");
    WriteFile("run.txt", bytes);
    const JsonValue json = analyzedAsJson("run.txt", false, {});
    EXPECT_EQ(json.keys, (std::vector<std::string>{"file", "lines", "skipped", "channels", "tempco"}));
    EXPECT_EQ(json["file"].text, "run.txt");
    EXPECT_EQ(json["lines"].number, 1001.0);
    EXPECT_EQ(json["skipped"].number, 1.0);
    EXPECT_TRUE(json["tempco"].isNull());
    ASSERT_EQ(json["channels"].items.size(), 1u);
    const JsonValue& c = json["channels"][0];
    EXPECT_EQ(c.keys, (std::vector<std::string>{"channel", "n", "mean", "stddev", "stddev_ppm", "min", "max", "p2p",
                                                "p2p_ppm", "drift_per_day", "drift_ppm_per_day", "drift_stderr",
                                                "tau0", "stability"}));
    EXPECT_EQ(c["n"].number, 1000.0);
    // The octaves up to a quarter of the readings: m = 1 .. 128 of 1000.
    ASSERT_EQ(c["stability"].items.size(), 8u);
    EXPECT_EQ(c["stability"][7]["m"].number, 128.0);
    EXPECT_EQ(c["stability"][0].keys, (std::vector<std::string>{"m", "tau", "oadev", "oadev_err", "oadev_n", "mdev",
                                                                "mdev_n", "hdev", "hdev_n"}));
    // The simple error bar: OADEV / sqrt(terms).
    const JsonValue& first = c["stability"][0];
    EXPECT_DOUBLE_EQ(first["oadev_err"].number, first["oadev"].number / std::sqrt(first["oadev_n"].number));
}

TEST(AnalyzeDataFile, AlternateSplitsTheLinesAndAddsTheRegressionOfChannelOneOnChannelTwo) {
    TempWorkDir dir;
    // Channel 1 reads 10 V plus 2 uV per unit of channel 2, which steps through 20 .. 29.
    std::vector<double> lines;
    for (int k = 0; k < 200; ++k) {
        const double temperature = 20.0 + k % 10;
        lines.push_back(10.0 + 2e-6 * (temperature - 25.0));
        lines.push_back(temperature);
    }
    WriteFile("Data.txt", dataFileOf(lines));
    const JsonValue json = analyzedAsJson("Data.txt", true, {1, 2});
    ASSERT_EQ(json["channels"].items.size(), 2u);
    EXPECT_EQ(json["channels"][1]["channel"].number, 2.0);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(json["channels"][c]["n"].number, 200.0);
        EXPECT_EQ(json["channels"][c]["tau0"].number, 2.0);  // each channel every other second
    }
    const JsonValue& t = json["tempco"];
    EXPECT_EQ(t.keys, (std::vector<std::string>{"pairs", "slope", "slope_err", "r", "ppm_per_unit"}));
    EXPECT_EQ(t["pairs"].number, 200.0);
    EXPECT_NEAR(t["slope"].number, 2e-6, 1e-12);
    EXPECT_NEAR(t["r"].number, 1.0, 1e-9);
    EXPECT_NEAR(t["ppm_per_unit"].number, 0.2, 1e-6);
}

TEST(AnalyzeDataFile, AFileThatCannotBeReadEndsWithStatusTwoAndOneLine) {
    TempWorkDir dir;
    const AnalysisOutcome outcome = AnalyzeDataFile({"missing.txt", false, AnalysisFormat::Json, {}});
    EXPECT_EQ(outcome.exitStatus, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.error, "cannot read missing.txt: No such file or directory");
}

TEST(AnalyzeDataFile, TextAndCsvShowAFigureThatDoesNotExistAsNoneAndEmpty) {
    TempWorkDir dir;
    WriteFile("Data.txt", dataFileOf(NistNinePointSet()));
    const AnalysisOutcome text = AnalyzeDataFile({"Data.txt", false, AnalysisFormat::Text, {1, 100}});
    EXPECT_NE(text.out.find("9 lines read, 0 skipped"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("91.22945"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("none"), std::string::npos) << text.out;
    const AnalysisOutcome csv = AnalyzeDataFile({"Data.txt", false, AnalysisFormat::Csv, {1, 100}});
    EXPECT_NE(csv.out.find("\n1,100,100,,,0,,0,,0\n"), std::string::npos) << csv.out;
}

}  // namespace
}  // namespace qs::test
