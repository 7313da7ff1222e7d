// The analysis of a data file written out: its JSON shape, its CSV and
// text, and the option values that choose them.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "stability/DataAnalysis.h"

namespace qs::test {
namespace {

DataAnalysis sample() {
    DataAnalysis a;
    a.file = "run \"7\".txt";
    a.lines = 12;
    a.skipped = 2;
    ChannelAnalysis c;
    c.channel = 1;
    c.figures.n = 10;
    c.figures.mean = 0.1;
    c.figures.stddev = 2.5e-7;
    c.figures.minimum = -1.0;
    c.figures.maximum = 1.0;
    c.figures.peakToPeak = 2.0;
    c.figures.tau0 = 2.0;
    StabilityRow r;
    r.m = 1;
    r.tau = 2.0;
    r.oadev = 0.5;
    r.oadevError = 0.125;
    r.oadevTerms = 9;
    r.mdevTerms = 9;
    r.mdev = 0.5;
    r.hdevTerms = 0;
    c.rows.push_back(r);
    a.channels.push_back(c);
    return a;
}

TEST(AnalysisJson, HasTheFixedShapeWithNullForEveryFigureThatDoesNotExist) {
    EXPECT_EQ(FormatAnalysis(sample(), AnalysisFormat::Json),
              "{\"file\":\"run \\\"7\\\".txt\",\"lines\":12,\"skipped\":2,\"channels\":[{\"channel\":1,\"n\":10,"
              "\"mean\":0.10000000000000001,\"stddev\":2.4999999999999999e-07,\"stddev_ppm\":null,\"min\":-1,\"max\":1,"
              "\"p2p\":2,\"p2p_ppm\":null,\"drift_per_day\":null,\"drift_ppm_per_day\":null,\"drift_stderr\":null,"
              "\"tau0\":2,\"stability\":[{\"m\":1,\"tau\":2,\"oadev\":0.5,\"oadev_err\":0.125,\"oadev_n\":9,"
              "\"mdev\":0.5,\"mdev_n\":9,\"hdev\":null,\"hdev_n\":0}]}],\"tempco\":null}\n");
}

TEST(AnalysisJson, WritesTheTempcoObjectInAlternateCommands) {
    DataAnalysis a = sample();
    a.tempco = RegressionFigures{4, 2e-6, std::nullopt, 1.0, 0.2};
    const std::string json = FormatAnalysis(a, AnalysisFormat::Json);
    EXPECT_NE(json.find("\"tempco\":{\"pairs\":4,\"slope\":1.9999999999999999e-06,\"slope_err\":null,\"r\":1,"
                        "\"ppm_per_unit\":0.20000000000000001}}"),
              std::string::npos)
        << json;
}

TEST(AnalysisJson, EscapesControlCharactersInTheFileName) {
    DataAnalysis a;
    a.file = "a\\b\tc";
    EXPECT_EQ(FormatAnalysis(a, AnalysisFormat::Json),
              "{\"file\":\"a\\\\b\\u0009c\",\"lines\":0,\"skipped\":0,\"channels\":[],\"tempco\":null}\n");
}

TEST(AnalysisCsv, LeavesAFigureThatDoesNotExistEmpty) {
    const std::string csv = FormatAnalysis(sample(), AnalysisFormat::Csv);
    EXPECT_EQ(csv,
              "file,lines,skipped\n"
              "\"run \"\"7\"\".txt\",12,2\n"
              "\n"
              "channel,n,mean,stddev,stddev_ppm,min,max,p2p,p2p_ppm,drift_per_day,drift_ppm_per_day,drift_stderr,tau0\n"
              "1,10,0.10000000000000001,2.4999999999999999e-07,,-1,1,2,,,,,2\n"
              "\n"
              "channel,m,tau,oadev,oadev_err,oadev_n,mdev,mdev_n,hdev,hdev_n\n"
              "1,1,2,0.5,0.125,9,0.5,9,,0\n");
}

TEST(AnalysisText, ShowsNoneForAFigureThatDoesNotExist) {
    const std::string text = FormatAnalysis(sample(), AnalysisFormat::Text);
    EXPECT_NE(text.find("12 lines read, 2 skipped"), std::string::npos) << text;
    EXPECT_NE(text.find("  mean                0.1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  standard deviation  2.5e-07 (none ppm)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  drift               none/day (none ppm/day)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  tau0                2 s\n"), std::string::npos) << text;
    EXPECT_NE(text.find("         1             2            0.5          0.125         9            0.5         "
                        "9           none         0\n"),
              std::string::npos)
        << text;
}

struct FactorsCase {
    const char* text;
    std::optional<std::vector<long long>> factors;
};

class AveragingFactorsOption : public ::testing::TestWithParam<FactorsCase> {};

TEST_P(AveragingFactorsOption, TakesWholeNumbersOfAtLeastOneSeparatedByCommas) {
    EXPECT_EQ(ParseAveragingFactors(GetParam().text), GetParam().factors) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Taus, AveragingFactorsOption,
    ::testing::Values(FactorsCase{"1,10,100", std::vector<long long>{1, 10, 100}},
                      FactorsCase{"7", std::vector<long long>{7}}, FactorsCase{"08,3", std::vector<long long>{8, 3}},
                      FactorsCase{"", std::nullopt}, FactorsCase{"1,,2", std::nullopt}, FactorsCase{"1,", std::nullopt},
                      FactorsCase{"0", std::nullopt}, FactorsCase{"-1", std::nullopt}, FactorsCase{"1.5", std::nullopt},
                      FactorsCase{"1, 2", std::nullopt}, FactorsCase{"1000000000000000000000", std::nullopt}));

TEST(AnalysisFormatOption, KnowsTextCsvAndJsonOnly) {
    EXPECT_EQ(AnalysisFormatNamed("text"), AnalysisFormat::Text);
    EXPECT_EQ(AnalysisFormatNamed("csv"), AnalysisFormat::Csv);
    EXPECT_EQ(AnalysisFormatNamed("json"), AnalysisFormat::Json);
    EXPECT_FALSE(AnalysisFormatNamed("JSON"));
    EXPECT_FALSE(AnalysisFormatNamed("xml"));
}

}  // namespace
}  // namespace qs::test
