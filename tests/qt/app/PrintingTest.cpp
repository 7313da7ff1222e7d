// Printing from the window: one landscape page per chart page, to a PDF file
// where the machine has no printer, and the chart whole again afterwards.
// The pages are read back with poppler, as a person would read them: the
// whole chart of each page's samples, in type of a size for paper.
#include <QDir>
#include <QMessageBox>
#include <QFile>
#include <QRegularExpression>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <unistd.h>

#include "PdfReader.h"
#include "WindowTestSupport.h"
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

struct LongJob {
    int points;  // at 100 samples a page
    QMessageBox::StandardButton answer;
    int pdfPages;  // 0: nothing printed
    bool asked;
};

class LongPrintJob : public PrintingTest, public ::testing::WithParamInterface<LongJob> {};

TEST_P(LongPrintJob, MoreThanTwentyPagesAskFirstNamingThePagesAndWhereTheyGo) {
    const LongJob& c = GetParam();
    typeAndLeave("SamplesPerPrintedPage", QStringLiteral("100"));
    addPoints(c.points);
    const QCPRange before = app->chart.widget()->xAxis->range();
    BoxAnswerer answerer(c.answer);
    click("PrintButton");
    ASSERT_EQ(answerer.boxes().size(), c.asked ? 1u : 0u);
    if (c.asked) {
        const int pages = (c.points + 99) / 100;
        EXPECT_EQ(answerer.boxes()[0].caption, QStringLiteral("Print to Default Printer"));
        EXPECT_EQ(answerer.boxes()[0].text,
                  QStringLiteral("The chart fills %1 pages at this many samples per printed page. Send all %1 pages "
                                 "to a PDF file in the working folder (no printer is installed)?")
                      .arg(pages));
    }
    const QStringList files = PdfFiles();
    if (c.pdfPages == 0) {
        EXPECT_TRUE(files.isEmpty());
    } else {
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(ReadPdf(files[0]).size(), static_cast<std::size_t>(c.pdfPages));
    }
    // Asked or not, printed or not, the chart shows every point again.
    EXPECT_EQ(app->chart.GetPointsPerPage(), 0);
    app->chart.replotNow();
    EXPECT_EQ(app->chart.widget()->xAxis->range(), before);
}

INSTANTIATE_TEST_SUITE_P(Printing, LongPrintJob,
                         ::testing::Values(LongJob{2000, QMessageBox::Yes, 20, false},
                                           LongJob{2001, QMessageBox::No, 0, true},
                                           LongJob{2150, QMessageBox::Yes, 22, true}),
                         [](const auto& info) {
                             return std::to_string(info.param.points) +
                                    (info.param.answer == QMessageBox::Yes ? "_Yes" : "_No");
                         });

// The title line, read back from the PDF as a person reads the page: the
// data file, the commands and the time shown in UTC.
TEST_F(PrintingTest, PrintedPagesAndASavedChartCarryTheTitleLine) {
    typeAndLeave("CommandBox", QStringLiteral("READ?"));
    addPoints(600);
    click("PrintButton");
    const QStringList files = PdfFiles();
    ASSERT_EQ(files.size(), 1);
    const QString first = RunPoppler(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                      QStringLiteral("1"), QStringLiteral("-layout"), files[0], QStringLiteral("-")});
    // Page 1 holds samples 0 to 499 (45356.5 is 2024-03-05 12:00:00 UTC).
    EXPECT_TRUE(first.contains(QStringLiteral(
        "Data.txt; left: READ?; 2024-03-05 12:00:00 to 2024-03-05 12:08:19 UTC")))
        << first.toStdString();

    const QString saved = QDir::current().filePath(QStringLiteral("saved.pdf"));
    std::string error;
    ASSERT_TRUE(app->chart.saveChart({saved, ChartFile::Format::Pdf}, error)) << error;
    const QString text = RunPoppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), saved, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Data.txt; left: READ?; 2024-03-05 12:00:00 to 2024-03-05 12:09:59 UTC")))
        << text.toStdString();
    // The screen goes without it.
    app->chart.replotNow();
    EXPECT_EQ(app->chart.widget()->plotLayout()->rowCount(), 2) << "legend row and axis rect";
}

}  // namespace
}  // namespace qs::test
