// Printing from the window: one landscape page per chart page, to a PDF file
// where the machine has no printer, and the chart whole again afterwards.
// The pages are read back with poppler, as a person would read them: the
// whole chart of each page's samples, in type of a size for paper.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <unistd.h>

#include "PdfReader.h"
#include "WindowFixture.h"
#include "chart/AxisLabels.h"
#include "qt/chart/ChartPrintJob.h"

namespace qs::test {
namespace {

constexpr double kStart = 45356.5;
constexpr double kSecond = 1.0 / 86400.0;

QStringList PdfFiles() { return QDir::current().entryList({QStringLiteral("Chart-*.pdf")}, QDir::Files); }

struct PrintingTest : WindowFixture {
    void SetUp() override {
        WindowFixture::SetUp();
        // Never paper: the tests print to files whatever the machine has.
        app->chart.setPrinterAvailable([] { return false; });
    }
    void addPoints(int n) {
        for (int i = 0; i < n; ++i) {
            app->chart.Series(1).AddPoint(kStart + i * kSecond, i % 50);
            app->chart.Series(2).AddPoint(kStart + i * kSecond, 25.0);
        }
        app->chart.Redraw();
        app->chart.replotNow();
    }
};

TEST_F(PrintingTest, ThousandAndOnePointsAtFiveHundredPerPagePrintThreeLandscapePages) {
    addPoints(1001);
    const QCPRange before = app->chart.widget()->xAxis->range();
    click("PrintButton");
    const QStringList files = PdfFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Chart-\\d{8}-\\d{6}\\.pdf$")).match(files[0]).hasMatch());
    const std::vector<PdfPage> pages = ReadPdf(files[0]);
    ASSERT_EQ(pages.size(), 3u);
    for (const PdfPage& page : pages) EXPECT_TRUE(page.landscape());
    // The person is told where the pages went.
    EXPECT_TRUE(window().statusBar()->currentMessage().contains(files[0]));
    EXPECT_TRUE(window().statusBar()->currentMessage().contains(QStringLiteral("3 pages")));
    // The chart shows every point again.
    EXPECT_EQ(app->chart.GetPointsPerPage(), 0);
    app->chart.replotNow();
    EXPECT_EQ(app->chart.widget()->xAxis->range(), before);
}

// Each page holds the whole chart of its own samples: the time axis with its
// title and labels of that page's times, whole, in type of 8 to 10 points,
// and the legend; nothing of it runs off the page.
TEST_F(PrintingTest, EveryPageShowsTheWholeChartOfItsSamplesLegibly) {
    addPoints(1001);
    click("PrintButton");
    ASSERT_EQ(PdfFiles().size(), 1);
    const std::vector<PdfPage> pages = ReadPdf(PdfFiles()[0]);
    ASSERT_EQ(pages.size(), 3u);
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d-\\d\\d:\\d\\d:\\d\\d$"));
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const PdfPage& page = pages[p];
        EXPECT_TRUE(page.landscape());
        const QString text = page.texts().join(QLatin1Char(' '));
        EXPECT_TRUE(text.contains(QStringLiteral("Universal Time (UTC)"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Raw 1")) && text.contains(QStringLiteral("Mean 1")))
            << text.toStdString();
        // The page's own times: its 500 samples, or the last one in the middle of two minutes.
        const int first = static_cast<int>(p) * 500, last = std::min(first + 499, 1000);
        const double lower = kStart + (first == last ? first - 60 : first) * kSecond;
        const double upper = kStart + (first == last ? last + 60 : last) * kSecond;
        QStringList inRange;
        for (int s = static_cast<int>(std::round((lower - kStart) / kSecond)); kStart + s * kSecond <= upper + 1e-9; ++s)
            inRange << QString::fromStdString(FormatAxisDateTime(kStart + s * kSecond));
        int labels = 0;
        for (const PdfWord& w : page.words) {
            // Nothing is cut at the page's edge: every word lies on the page, clear of its edge.
            EXPECT_GE(w.xMin, 10.0) << w.text.toStdString();
            EXPECT_LE(w.xMax, page.width - 10.0) << w.text.toStdString();
            EXPECT_GE(w.yMin, 10.0) << w.text.toStdString();
            EXPECT_LE(w.yMax, page.height - 10.0) << w.text.toStdString();
            if (!stamp.match(w.text).hasMatch()) continue;
            ++labels;
            EXPECT_TRUE(inRange.contains(w.text)) << w.text.toStdString() << " is not a time of this page";
            // Type of about 8 to 10 points: its box is a little taller than the type.
            EXPECT_GE(w.yMax - w.yMin, 7.0) << w.text.toStdString();
            EXPECT_LE(w.yMax - w.yMin, 14.0) << w.text.toStdString();
        }
        EXPECT_GE(labels, 3) << text.toStdString();
    }
}

TEST_F(PrintingTest, ThousandPointsPrintTwoPagesAndEachPrintIsItsOwnFile) {
    addPoints(1000);
    click("PrintButton");
    ASSERT_EQ(PdfFiles().size(), 1);
    EXPECT_EQ(ReadPdf(PdfFiles()[0]).size(), 2u);
    click("PrintButton");
    EXPECT_EQ(PdfFiles().size(), 2);
}

TEST_F(PrintingTest, SamplesPerPageComeFromTheBoxOnceItIsLeft) {
    addPoints(1001);
    typeAndLeave("SamplesPerPrintedPage", "20");  // taken as 100, the box keeps 20
    EXPECT_EQ(edit("SamplesPerPrintedPage")->text(), "20");
    click("PrintButton");
    ASSERT_EQ(PdfFiles().size(), 1);
    EXPECT_EQ(ReadPdf(PdfFiles()[0]).size(), 11u);
}

TEST_F(PrintingTest, AnEmptyChartPrintsOnePage) {
    click("PrintButton");
    ASSERT_EQ(PdfFiles().size(), 1);
    EXPECT_EQ(ReadPdf(PdfFiles()[0]).size(), 1u);
}

TEST_F(PrintingTest, AFailedPrintIsReportedOnceAndTheChartIsWholeAgain) {
    addPoints(1001);
    // A working folder that has gone: the PDF file cannot be created.
    const std::filesystem::path gone = dir.path() / "gone";
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
    BoxAnswerer answerer;
    click("PrintButton");
    std::filesystem::current_path(dir.path());
    // The job's failure is told once the click has been handled.
    WaitFor([&] { return !answerer.boxes().empty(); }, 2000);
    QTest::qWait(100);
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_TRUE(answerer.boxes()[0].text.startsWith(QStringLiteral("Cannot write the PDF file \"Chart-")));
    EXPECT_EQ(app->chart.GetPointsPerPage(), 0);
}

TEST(PdfFileNameTest, NamesCarryTheUtcTimeAndNeverReplaceAnEarlierFile) {
    const QDateTime t(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);
    QStringList taken;
    auto exists = [&](const QString& n) { return taken.contains(n); };
    EXPECT_EQ(ChartPrintJob::pdfFileName(t, exists), "Chart-20240305-140709.pdf");
    taken << "Chart-20240305-140709.pdf";
    EXPECT_EQ(ChartPrintJob::pdfFileName(t, exists), "Chart-20240305-140709-2.pdf");
    taken << "Chart-20240305-140709-2.pdf";
    EXPECT_EQ(ChartPrintJob::pdfFileName(t, exists), "Chart-20240305-140709-3.pdf");
}

}  // namespace
}  // namespace qs::test
