// The layers of src/, as the includes show them. Bottom up:
//
//   platform < core < link, datafile, chart, stability < window < publish, serve
//     < qt/runtime < qt/link, qt/chart < qt/window, qt/headless < qt/app
//
// A file includes headers of its own folder and of the layers below it only;
// link, datafile, chart and stability stand side by side and include none of
// one another, and so do qt/link and qt/chart, and qt/window and qt/headless.
// The virtual back end (platform/virtual) stands on platform alone and
// serves the tests: nothing in src/ includes it. Every include of a
// project header names its folder ("core/CNumbers.h"), so that this check
// sees where it points.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace qs::test {
namespace {

namespace fs = std::filesystem;

// Each folder of src/ with the folders its files may include besides their own.
const std::map<std::string, std::set<std::string>> kMayInclude{
    {"platform", {}},
    {"platform/virtual", {"platform"}},
    {"core", {"platform"}},
    {"link", {"platform", "core"}},
    {"datafile", {"platform", "core"}},
    {"chart", {"platform", "core"}},
    {"stability", {"platform", "core"}},
    {"window", {"platform", "core", "link", "datafile", "chart", "stability"}},
    {"publish", {"platform", "core", "link", "datafile", "chart", "stability", "window"}},
    {"serve", {"platform", "core", "link", "datafile", "chart", "stability", "window"}},
    {"qt/runtime", {"platform", "core", "link", "datafile", "chart", "stability", "window", "publish", "serve"}},
    {"qt/link",
     {"platform", "core", "link", "datafile", "chart", "stability", "window", "publish", "serve", "qt/runtime"}},
    {"qt/chart",
     {"platform", "core", "link", "datafile", "chart", "stability", "window", "publish", "serve", "qt/runtime"}},
    {"qt/net",
     {"platform", "core", "link", "datafile", "chart", "stability", "window", "publish", "serve", "qt/runtime"}},
    {"qt/window",
     {"platform", "core", "link", "datafile", "chart", "stability", "window", "publish", "serve", "qt/runtime",
      "qt/link", "qt/chart", "qt/net"}},
    {"qt/headless",
     {"platform", "core", "link", "datafile", "chart", "stability", "window", "publish", "serve", "qt/runtime",
      "qt/link", "qt/chart", "qt/net"}},
    {"qt/app",
     {"platform", "core", "link", "datafile", "chart", "stability", "window", "publish", "serve", "qt/runtime",
      "qt/link", "qt/chart", "qt/net", "qt/window", "qt/headless"}},
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// "qt/chart/QtChart.h" names the project's qt folder as much as
// "core/CNumbers.h" names core.
bool namesProjectFolder(const std::string& included) {
    const std::string top = included.substr(0, included.find('/'));
    return kMayInclude.contains(top) || top == "qt";
}

// What is wrong with one include of a file in folder; nullopt when nothing.
// quoted: written "..." rather than <...>.
std::optional<std::string> includeFault(const std::string& folder, const std::string& included, bool quoted) {
    if (!namesProjectFolder(included)) {
        // A system or library header; a project header must say where it lies.
        if (quoted) return "names no folder of src/";
        return std::nullopt;
    }
    const std::string target = folderOf(included);
    if (target == folder) return std::nullopt;
    if (!kMayInclude.contains(target)) return "names no folder of src/";
    if (kMayInclude.at(folder).contains(target)) return std::nullopt;
    return "points to " + target + ", a layer above or beside " + folder;
}

struct IncludeCase {
    const char* folder;
    const char* included;
    bool quoted;
    bool allowed;
};

class IncludeRule : public ::testing::TestWithParam<IncludeCase> {};

TEST_P(IncludeRule, AllowsOwnFolderAndLayersBelowOnly) {
    const IncludeCase& c = GetParam();
    EXPECT_EQ(!includeFault(c.folder, c.included, c.quoted).has_value(), c.allowed);
}

INSTANTIATE_TEST_SUITE_P(Layers, IncludeRule,
                         ::testing::Values(IncludeCase{"core", "core/CNumbers.h", true, true},
                                           IncludeCase{"core", "platform/Chart.h", true, true},
                                           IncludeCase{"core", "window/TGPIBTelnet.h", true, false},
                                           IncludeCase{"core", "link/ResultsLog.h", true, false},
                                           IncludeCase{"platform", "core/CNumbers.h", true, false},
                                           IncludeCase{"link", "datafile/DataLine.h", true, false},
                                           IncludeCase{"datafile", "chart/SeriesStyle.h", true, false},
                                           IncludeCase{"window", "chart/SeriesStyle.h", true, true},
                                           IncludeCase{"window", "qt/chart/QtChart.h", true, false},
                                           IncludeCase{"window", "platform/virtual/VirtualTime.h", true, false},
                                           IncludeCase{"platform/virtual", "platform/Runtime.h", true, true},
                                           IncludeCase{"qt/window", "window/TGPIBTelnet.h", true, true},
                                           IncludeCase{"qt/chart", "QWidget", false, true},
                                           IncludeCase{"qt/window", "qt/chart/QtChart.h", true, true},
                                           IncludeCase{"qt/app", "qt/headless/HeadlessLogger.h", true, true},
                                           IncludeCase{"qt/runtime", "qt/link/QtTelnet.h", true, false},
                                           IncludeCase{"qt/chart", "qt/link/QtTelnet.h", true, false},
                                           IncludeCase{"qt/link", "qt/window/Quillstone3.h", true, false},
                                           IncludeCase{"qt/headless", "qt/window/Quillstone3.h", true, false},
                                           IncludeCase{"qt/window", "qt/app/LoggerApp.h", true, false},
                                           IncludeCase{"chart", "qt/chart/QtChart.h", true, false},
                                           IncludeCase{"stability", "core/Statistics.h", true, true},
                                           IncludeCase{"stability", "datafile/DataLine.h", true, false},
                                           IncludeCase{"datafile", "stability/StabilitySums.h", true, false},
                                           IncludeCase{"window", "stability/DataAnalysis.h", true, true},
                                           IncludeCase{"qt/window", "stability/StabilityAccumulator.h", true, true},
                                           IncludeCase{"publish", "window/SampleRecord.h", true, true},
                                           IncludeCase{"window", "publish/SampleSpool.h", true, false},
                                           IncludeCase{"qt/net", "qt/link/QtTelnet.h", true, false},
                                           IncludeCase{"qt/app", "qt/net/MosquittoLink.h", true, true},
                                           IncludeCase{"qt/chart", "qt/QtChart.h", true, false},
                                           IncludeCase{"link", "window/LoggerState.h", false, false},
                                           IncludeCase{"core", "CNumbers.h", true, false},
                                           IncludeCase{"core", "../window/LoggerState.h", true, false},
                                           IncludeCase{"core", "core/detail/Parts.h", true, false}));

struct Include {
    std::string file;  // relative to src/
    int line;
    std::string included;  // without its quotes or brackets
    bool quoted;
};

std::vector<Include> includesOf(const fs::path& src, const fs::path& file) {
    static const std::regex directive(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
    std::vector<Include> found;
    std::ifstream in(file);
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::smatch m;
        if (std::regex_search(text, m, directive)) {
            found.push_back({fs::relative(file, src).generic_string(), line, m[2].str(), m[1] == "\""});
        }
    }
    return found;
}

std::vector<fs::path> sourceFiles(const fs::path& src) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const fs::path& p = entry.path();
        if (entry.is_regular_file() && (p.extension() == ".h" || p.extension() == ".cpp")) files.push_back(p);
    }
    return files;
}

const fs::path kSrc = QUILLSTONE_SOURCE_DIR;

TEST(IncludeLayers, EveryFileOfSrcLiesInAFolderOfTheOrder) {
    const std::vector<fs::path> files = sourceFiles(kSrc);
    ASSERT_GT(files.size(), 50u) << "no sources found in " << kSrc;
    for (const fs::path& file : files) {
        const std::string folder = folderOf(fs::relative(file, kSrc).generic_string());
        EXPECT_TRUE(kMayInclude.contains(folder)) << fs::relative(file, kSrc) << " lies outside the layers";
    }
}

TEST(IncludeLayers, NoIncludePointsUpALayerOrSideways) {
    int checked = 0;
    for (const fs::path& file : sourceFiles(kSrc)) {
        for (const Include& inc : includesOf(kSrc, file)) {
            ++checked;
            const std::string folder = folderOf(inc.file);
            if (!kMayInclude.contains(folder)) continue;  // reported by the test above
            if (const auto fault = includeFault(folder, inc.included, inc.quoted))
                ADD_FAILURE() << "src/" << inc.file << ":" << inc.line << ": #include " << (inc.quoted ? '"' : '<')
                              << inc.included << (inc.quoted ? '"' : '>') << " " << *fault;
        }
    }
    EXPECT_GT(checked, 200);
}

}  // namespace
}  // namespace qs::test
