// Printing from the window: one landscape page per chart page, to a PDF file
// where the machine has no printer, and the chart whole again afterwards.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "WindowFixture.h"
#include "qt/ChartPrintJob.h"

namespace qs::test {
namespace {

constexpr double kStart = 45356.5;
constexpr double kSecond = 1.0 / 86400.0;

struct PdfPages {
    int count = 0;
    int landscape = 0;
};

// Counts the page objects of a PDF and those whose media box is wider than high.
PdfPages ReadPdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString pdf = QString::fromLatin1(f.readAll());
    PdfPages pages;
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    pages.count = static_cast<int>(pdf.count(page));
    const QRegularExpression box(QStringLiteral("/MediaBox\\s*\\[\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s*\\]"));
    for (auto it = box.globalMatch(pdf); it.hasNext();) {
        const auto m = it.next();
        const double w = m.captured(3).toDouble() - m.captured(1).toDouble();
        const double h = m.captured(4).toDouble() - m.captured(2).toDouble();
        if (w > h) ++pages.landscape;
    }
    return pages;
}

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
    const PdfPages pages = ReadPdfPages(files[0]);
    EXPECT_EQ(pages.count, 3);
    EXPECT_EQ(pages.landscape, 3);
    // The person is told where the pages went.
    EXPECT_TRUE(window().statusBar()->currentMessage().contains(files[0]));
    EXPECT_TRUE(window().statusBar()->currentMessage().contains(QStringLiteral("3 pages")));
    // The chart shows every point again.
    EXPECT_EQ(app->chart.GetPointsPerPage(), 0);
    app->chart.replotNow();
    EXPECT_EQ(app->chart.widget()->xAxis->range(), before);
}

TEST_F(PrintingTest, ThousandPointsPrintTwoPagesAndEachPrintIsItsOwnFile) {
    addPoints(1000);
    click("PrintButton");
    ASSERT_EQ(PdfFiles().size(), 1);
    EXPECT_EQ(ReadPdfPages(PdfFiles()[0]).count, 2);
    click("PrintButton");
    EXPECT_EQ(PdfFiles().size(), 2);
}

TEST_F(PrintingTest, SamplesPerPageComeFromTheBoxOnceItIsLeft) {
    addPoints(1001);
    typeAndLeave("SamplesPerPrintedPage", "20");  // taken as 100, the box keeps 20
    EXPECT_EQ(edit("SamplesPerPrintedPage")->text(), "20");
    click("PrintButton");
    ASSERT_EQ(PdfFiles().size(), 1);
    EXPECT_EQ(ReadPdfPages(PdfFiles()[0]).count, 11);
}

TEST_F(PrintingTest, AnEmptyChartPrintsOnePage) {
    click("PrintButton");
    ASSERT_EQ(PdfFiles().size(), 1);
    EXPECT_EQ(ReadPdfPages(PdfFiles()[0]).count, 1);
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
