// What the chart shows: coalesced repaints, the fit to the data, the user's
// zoom and pan, paging; in the window: a time axis readable at every width,
// the legend, gaps, and the chart menu.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "PdfReader.h"
#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "qt/chart/DaysDateTimeTicker.h"
#include "qt/chart/QtChart.h"

namespace qs::test {
namespace {

constexpr double kStart = 45356.5;  // 2024-03-05 12:00 UTC
constexpr double kSecond = 1.0 / 86400.0;

struct ChartViewTest : ::testing::Test {
    QtChart chart;
    QCustomPlot* plot = chart.widget();

    void SetUp() override {
        plot->resize(800, 500);
        plot->show();
    }
    // n samples one second apart on Series1 (y = i) and Series4 (y = 100 + i).
    void addSamples(int n, int from = 0) {
        for (int i = from; i < from + n; ++i) {
            chart.Series(1).AddPoint(kStart + i * kSecond, i);
            chart.Series(4).AddPoint(kStart + i * kSecond, 100.0 + i);
            chart.Redraw();
        }
    }
    void settle() {
        ASSERT_TRUE(WaitFor([&] { return !chart.replotPending(); }, 2000));
    }
};

TEST_F(ChartViewTest, ManyChangesInABurstGiveOneRepaint) {
    settle();
    const int before = chart.replotCount();
    addSamples(2000);
    EXPECT_EQ(chart.replotCount(), before);  // nothing painted inside the burst
    settle();
    EXPECT_EQ(chart.replotCount(), before + 1);
}

TEST_F(ChartViewTest, RepaintsAreAtMostOnePerFrameWhileSamplesKeepComing) {
    settle();
    const int before = chart.replotCount();
    QElapsedTimer clock;
    clock.start();
    int i = 0;
    while (clock.elapsed() < 300) {
        addSamples(1, i++);
        QCoreApplication::processEvents();
    }
    const int repaints = chart.replotCount() - before;
    EXPECT_GE(repaints, 3);
    EXPECT_LE(repaints, 300 / 16 + 2);
    EXPECT_GT(i, repaints * 5);  // many samples per repaint
}

TEST_F(ChartViewTest, AxesFitTheVisibleSeries) {
    addSamples(11);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 10 * kSecond);
    // left: 0..10 with 5 % room, right: 100..110 likewise
    EXPECT_DOUBLE_EQ(plot->yAxis->range().lower, -0.5);
    EXPECT_DOUBLE_EQ(plot->yAxis->range().upper, 10.5);
    EXPECT_DOUBLE_EQ(plot->yAxis2->range().lower, 99.5);
    EXPECT_DOUBLE_EQ(plot->yAxis2->range().upper, 110.5);
    // A hidden series no longer stretches its axis.
    chart.Series(2).AddPoint(kStart, 1000.0);
    chart.Series(2).SetVisible(false);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->yAxis->range().upper, 10.5);
}

TEST_F(ChartViewTest, ScrollingWindowFollowsTheNewestPoints) {
    addSamples(10);
    for (int i = 0; i < 5; ++i) chart.Series(1).DeleteFirst();
    for (int i = 0; i < 5; ++i) chart.Series(4).DeleteFirst();
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart + 5 * kSecond);
    // The extreme 0 left with the oldest points: the axis fits 5..9.
    EXPECT_DOUBLE_EQ(plot->yAxis->range().lower, 5.0 - 0.2);
}

TEST_F(ChartViewTest, DragToLowerRightZoomsInAndBackToUpperLeftShowsAllAgain) {
    addSamples(100);
    chart.replotNow();
    const QCPRange all = plot->xAxis->range();
    const QRect r = plot->axisRect()->rect();
    const QPoint a = r.topLeft() + QPoint(r.width() / 4, r.height() / 4);
    const QPoint b = r.topLeft() + QPoint(r.width() / 2, r.height() / 2);
    QTest::mousePress(plot, Qt::LeftButton, {}, a);
    QTest::mouseMove(plot, b);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, b);
    EXPECT_FALSE(chart.autoView());
    EXPECT_LT(plot->xAxis->range().size(), all.size() * 0.3);
    // New samples do not undo the user's zoom.
    addSamples(10, 100);
    chart.replotNow();
    EXPECT_LT(plot->xAxis->range().size(), all.size() * 0.3);
    // Dragging back towards the upper left returns to every point.
    QTest::mousePress(plot, Qt::LeftButton, {}, b);
    QTest::mouseMove(plot, a);
    QTest::mouseRelease(plot, Qt::LeftButton, {}, a);
    EXPECT_TRUE(chart.autoView());
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 109 * kSecond);
}

TEST_F(ChartViewTest, DataStartingOverIsShownWholeAgain) {
    addSamples(100);
    chart.replotNow();
    const QRect r = plot->axisRect()->rect();
    QTest::mousePress(plot, Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(plot, Qt::LeftButton, {}, r.center() + QPoint(40, 40));
    ASSERT_FALSE(chart.autoView());
    for (int n = 1; n <= 6; ++n) chart.Series(n).Clear();
    EXPECT_TRUE(chart.autoView());
    addSamples(10, 500);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart + 500 * kSecond);
}

TEST_F(ChartViewTest, RightDragPansTheView) {
    addSamples(100);
    chart.replotNow();
    const QCPRange before = plot->xAxis->range();
    const QPoint c = plot->axisRect()->rect().center();
    QTest::mousePress(plot, Qt::RightButton, {}, c);
    QMouseEvent move(QEvent::MouseMove, QPointF(c + QPoint(-100, 0)), plot->mapToGlobal(QPointF(c + QPoint(-100, 0))),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::RightButton, {}, c + QPoint(-100, 0));
    EXPECT_FALSE(chart.autoView());
    // Dragged left: later times come into view, the span is unchanged.
    EXPECT_GT(plot->xAxis->range().lower, before.lower);
    EXPECT_NEAR(plot->xAxis->range().size(), before.size(), before.size() * 1e-9);
}

TEST_F(ChartViewTest, PagesShowTheirPointsOfTheLongestSeriesAndPagingOffShowsAll) {
    addSamples(1001);
    chart.Series(4).Clear();  // Series1 alone is the longest
    chart.SetPointsPerPage(500);
    EXPECT_EQ(chart.GetPointsPerPage(), 500);
    EXPECT_EQ(chart.PageCount(), 3);
    chart.SetPage(2);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart + 500 * kSecond);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 999 * kSecond);
    EXPECT_NEAR(plot->yAxis->range().lower, 500 - 499 * 0.05, 1e-9);
    chart.SetPage(3);  // the one last point, in the middle of the view
    EXPECT_NEAR(plot->xAxis->range().center(), kStart + 1000 * kSecond, 1e-9);
    chart.SetPointsPerPage(0);
    EXPECT_EQ(chart.PageCount(), 1);
    chart.replotNow();
    EXPECT_DOUBLE_EQ(plot->xAxis->range().lower, kStart);
    EXPECT_DOUBLE_EQ(plot->xAxis->range().upper, kStart + 1000 * kSecond);
}

TEST_F(ChartViewTest, PageCountMatchesWholePagesOfPoints) {
    struct Case {
        int points, perPage, pages;
    };
    // hand-counted: 1000/500 = 2, 1001/500 -> 3, nothing -> 1, no paging -> 1
    for (Case c : {Case{1000, 500, 2}, Case{1001, 500, 3}, Case{0, 500, 1}, Case{1000, 0, 1}, Case{100, 100, 1}}) {
        chart.Series(1).Clear();
        chart.Series(4).Clear();
        for (int i = 0; i < c.points; ++i) chart.Series(1).AddPoint(kStart + i * kSecond, i);
        chart.SetPointsPerPage(c.perPage);
        EXPECT_EQ(chart.PageCount(), c.pages) << c.points << " points at " << c.perPage;
    }
}

// ---- the time axis

TEST(TimeAxisSteps, GrowThroughRoundTimesAsTheSpanGrowsFromSecondsToWeeks) {
    struct Case {
        double span, step;
    };
    // On 1000 pixels, labels 150 pixels apart: the smallest round step of at
    // least span * 0.15 seconds (hand-computed).
    for (Case c : {Case{3, 1}, Case{10, 2}, Case{30, 5}, Case{60, 10}, Case{100, 15}, Case{180, 30}, Case{600, 120},
                   Case{1800, 300}, Case{3600, 600}, Case{7200, 1800}, Case{6 * 3600, 3600}, Case{86400, 21600},
                   Case{3 * 86400, 43200}, Case{7 * 86400, 2 * 86400}, Case{14 * 86400, 7 * 86400},
                   Case{60 * 86400, 14 * 86400}, Case{365 * 86400, 56 * 86400}})
        EXPECT_EQ(DaysDateTimeTicker::roundStepSeconds(c.span, 1000, 150), c.step) << c.span << " s";
}

// Where a bottom label stands: measured as the axis measures it, centred on
// its tick, below the axis.
struct LabelBox {
    QString text;
    double seconds;
    QRectF rect;
};

std::vector<LabelBox> BottomLabels(QCustomPlot& plot) {
    QCPAxis* axis = plot.xAxis;
    const QFontMetrics metrics(axis->tickLabelFont());
    const double top = axis->axisRect()->bottom() + axis->tickLengthOut() + axis->tickLabelPadding();
    std::vector<LabelBox> boxes;
    for (int i = 0; i < axis->tickVector().size(); ++i) {
        const QString& text = axis->tickVectorLabels().value(i);
        if (text.isEmpty()) continue;
        const double width = metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip, text).width();
        const double x = axis->coordToPixel(axis->tickVector()[i]);
        boxes.push_back({text, DaysDateTimeTicker::daysToUnixSeconds(axis->tickVector()[i]),
                         QRectF(x - width / 2.0, top, width, metrics.height())});
    }
    return boxes;
}

// Points over span seconds on both value axes, a second apart up to ten
// minutes, a minute apart beyond.
void AddSpan(QtChart& chart, int span) {
    const int step = span <= 600 ? 1 : 60;
    for (int t = 0; t <= span; t += step) {
        chart.Series(1).AddPoint(kStart + t * kSecond, std::sin(t / 1000.0));
        chart.Series(4).AddPoint(kStart + t * kSecond, 1000.0 * std::cos(t / 1000.0));
    }
    chart.Redraw();
    chart.replotNow();
}

// The bottom labels are whole, apart, and on round times; at least atLeast of them.
void ExpectReadableTimeLabels(QCustomPlot& plot, std::size_t atLeast) {
    const std::vector<LabelBox> labels = BottomLabels(plot);
    ASSERT_GE(labels.size(), atLeast);
    const QRegularExpression format(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d-\\d\\d:\\d\\d:\\d\\d$"));
    const double roundSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200,
                                 86400, 2 * 86400, 7 * 86400};
    const double tickStep = std::round(plot.xAxis->tickVector().size() > 1
                                           ? DaysDateTimeTicker::daysToUnixSeconds(plot.xAxis->tickVector()[1]) -
                                                 DaysDateTimeTicker::daysToUnixSeconds(plot.xAxis->tickVector()[0])
                                           : 1.0);
    EXPECT_NE(std::find(std::begin(roundSteps), std::end(roundSteps), tickStep), std::end(roundSteps)) << tickStep;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const LabelBox& l = labels[i];
        EXPECT_TRUE(format.match(l.text).hasMatch()) << l.text.toStdString();
        // Whole in the chart: QCustomPlot leaves out a label that would be cut.
        EXPECT_GE(l.rect.left(), 0.0) << l.text.toStdString();
        EXPECT_LE(l.rect.right(), plot.width()) << l.text.toStdString();
        // On a round time: a whole number of steps since the epoch.
        EXPECT_NEAR(std::fmod(l.seconds + 0.5, tickStep), 0.5, 1e-3) << l.text.toStdString();
        if (i == 0) continue;
        EXPECT_GT(l.rect.left(), labels[i - 1].rect.right())
            << labels[i - 1].text.toStdString() << " runs into " << l.text.toStdString();
    }
}

// A window this wide (0: as narrow as it goes) showing points over this many seconds.
class TimeAxisInTheWindow : public WindowFixture, public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(TimeAxisInTheWindow, LabelsNeverOverlapOrClipAndTicksFallOnRoundTimes) {
    const auto [width, span] = GetParam();
    window().resize(width, 900);
    QTest::qWait(20);
    AddSpan(app->chart, span);
    SCOPED_TRACE("window " + std::to_string(window().width()) + " px, chart " +
                 std::to_string(app->chart.widget()->width()) + " px, " + std::to_string(span) + " s");
    ExpectReadableTimeLabels(*app->chart.widget(), 2);
}

// The chart alone, down to the narrowest it allows: at least one whole label.
class TimeAxisOfANarrowChart : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(TimeAxisOfANarrowChart, LabelsNeverOverlapOrClipAndTicksFallOnRoundTimes) {
    const auto [width, span] = GetParam();
    QtChart chart;
    chart.widget()->resize(width, 400);
    chart.widget()->show();
    AddSpan(chart, span);
    SCOPED_TRACE("chart " + std::to_string(chart.widget()->width()) + " px, " + std::to_string(span) + " s");
    ExpectReadableTimeLabels(*chart.widget(), 1);
}

std::string WidthAndSpanName(const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
    const int width = std::get<0>(info.param), span = std::get<1>(info.param);
    return (width ? std::to_string(width) + "px" : std::string("narrowest")) + "_" + std::to_string(span) + "s";
}

INSTANTIATE_TEST_SUITE_P(WidthsAndSpans, TimeAxisInTheWindow,
                         ::testing::Combine(::testing::Values(0, 800, 1200, 1920),
                                            ::testing::Values(10, 600, 3 * 86400)),
                         WidthAndSpanName);
INSTANTIATE_TEST_SUITE_P(WidthsAndSpans, TimeAxisOfANarrowChart,
                         ::testing::Combine(::testing::Values(320, 500), ::testing::Values(10, 600, 3 * 86400)),
                         WidthAndSpanName);

// ---- the legend, gaps and the chart menu in the window

struct ChartInTheWindow : WindowFixture {
    QCustomPlot& plot() { return *app->chart.widget(); }
    ChartLegend& legend() { return app->chart.plot().lineLegend(); }
    // Points one second apart on all six series, from second `from`.
    void addPoints(int n, int from = 0) {
        for (int i = from; i < from + n; ++i)
            for (int s = 1; s <= 6; ++s) app->chart.Series(s).AddPoint(kStart + i * kSecond, s + 0.1 * (i % 7));
    }
    void show() {
        app->chart.Redraw();
        app->chart.replotNow();
    }
    QImage picture() { return plot().grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // How much of the colour's ink lies in the rectangle: the darkness of
    // its pixels of about that hue.
    static double inkOf(const QImage& image, const QRect& r, QColor colour) {
        double ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.saturation() < 80 || std::abs(c.hue() - colour.hue()) > 20) continue;
                ink += c.saturation();
            }
        return ink;
    }
    QRect legendIcon(const QString& name) {
        for (ChartLegend::Side side : {ChartLegend::Left, ChartLegend::Right}) {
            QCPLegend* l = legend().legendOf(side);
            for (int i = 0; i < l->itemCount(); ++i)
                if (auto* e = qobject_cast<QCPPlottableLegendItem*>(l->item(i)); e && e->plottable()->name() == name)
                    return QRect(e->rect().topLeft(), l->iconSize());
        }
        return {};
    }
    void trigger(const char* action) {
        QAction* a = app->chart.menuAction(QString::fromLatin1(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
};

TEST_F(ChartInTheWindow, LegendNamesExactlyTheLinesShownAndFollowsPlotAndBold) {
    // Nothing drawn yet: no legend takes room.
    show();
    EXPECT_FALSE(legend().shown());
    addPoints(100);
    show();
    using L = QStringList;
    EXPECT_EQ(legend().names(ChartLegend::Left), (L{"Raw 1", "Mean 1", "Filter 1"}));
    EXPECT_EQ(legend().names(ChartLegend::Right), (L{"Raw 2", "Mean 2", "Filter 2"}));
    // The legend lies above the data, not over it.
    EXPECT_LE(legend().legendOf(ChartLegend::Left)->outerRect().bottom(), plot().axisRect()->top());
    EXPECT_LE(legend().legendOf(ChartLegend::Right)->outerRect().right(), plot().width());

    click("DisplayMeanBox");
    show();
    EXPECT_EQ(legend().names(ChartLegend::Left), (L{"Raw 1", "Filter 1"}));
    EXPECT_EQ(legend().names(ChartLegend::Right), (L{"Raw 2", "Filter 2"}));
    click("FilterCheckbox");
    click("DisplayMeanBox");
    show();
    EXPECT_EQ(legend().names(ChartLegend::Left), (L{"Raw 1", "Mean 1"}));
    // A series without points draws no line and is not named.
    for (int s = 4; s <= 6; ++s) app->chart.Series(s).Clear();
    show();
    EXPECT_EQ(legend().names(ChartLegend::Right), L{});
    click("DisplayDataBox");
    click("DisplayMeanBox");
    show();
    EXPECT_FALSE(legend().shown());
    click("DisplayDataBox");
    show();
    ASSERT_EQ(legend().names(ChartLegend::Left), L{"Raw 1"});

    // Its entry draws the line as wide as the line is: bold, then not.
    const QColor red(255, 0, 0);
    ASSERT_TRUE(view<QCheckBox>("BoldRaw")->isChecked());
    const double bold = inkOf(picture(), legendIcon("Raw 1"), red);
    click("BoldRaw");
    show();
    const double thin = inkOf(picture(), legendIcon("Raw 1"), red);
    EXPECT_GT(thin, 0.0);
    EXPECT_GT(bold, 1.5 * thin);

    // The chart menu switches it off and on.
    trigger("Legend");
    show();
    EXPECT_FALSE(legend().shown());
    EXPECT_EQ(legend().names(ChartLegend::Left), L{});
    trigger("Legend");
    show();
    EXPECT_EQ(legend().names(ChartLegend::Left), L{"Raw 1"});
}

TEST_F(ChartInTheWindow, AnHourWithoutSamplesIsABreakInTheLineAndJoinGapsJoinsIt) {
    // Interval 2 s and time-out 5 s: lines break where samples lie more than 6 s apart.
    for (int s = 2; s <= 6; ++s) app->chart.Series(s).SetVisible(false);
    for (int i = 0; i < 120; ++i) {
        app->chart.Series(1).AddPoint(kStart + i * kSecond, 1.0);
        app->chart.Series(1).AddPoint(kStart + (3720 + i) * kSecond, 1.0);
    }
    show();
    const QRect area = plot().axisRect()->rect();
    const auto inkAt = [&](double seconds) {
        const int x = static_cast<int>(plot().xAxis->coordToPixel(kStart + seconds * kSecond));
        return inkOf(picture(), QRect(x, area.top(), 1, area.height()), QColor(255, 0, 0));
    };
    EXPECT_GT(inkAt(60), 0.0);
    EXPECT_EQ(inkAt(1920), 0.0) << "the hour is bridged";
    EXPECT_GT(inkAt(3780), 0.0);
    trigger("Join Gaps");
    show();
    EXPECT_GT(inkAt(1920), 0.0) << "Join Gaps leaves the hour open";
    trigger("Join Gaps");
    show();
    EXPECT_EQ(inkAt(1920), 0.0);
    // A longer interval makes the hour an ordinary pause: 3 x 1500 s.
    typeAndLeave("IntervalBox", "1500");
    show();
    EXPECT_GT(inkAt(1920), 0.0);
    // Only the drawing changed.
    EXPECT_EQ(app->chart.Series(1).Count(), 240);
}

TEST_F(ChartInTheWindow, SaveChartAsWritesThePictureShownAsPngOrPdfNextToTheDataFile) {
    addPoints(300);
    show();
    QStringList suggested;
    ChartFile answer;
    app->chart.setFileChooser([&](const QString& path) -> std::optional<ChartFile> {
        suggested << path;
        if (answer.path.isEmpty()) return std::nullopt;
        return answer;
    });
    const QString folder = QString::fromStdString(dir.path().string());
    // Cancelled: nothing is written.
    trigger("Save Chart As...");
    ASSERT_EQ(suggested.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(folder) +
                                   QStringLiteral("/Chart-\\d{8}-\\d{6}\\.png$"))
                    .match(suggested[0])
                    .hasMatch())
        << suggested[0].toStdString();
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*.png"), QStringLiteral("*.pdf")}).isEmpty());

    answer = {folder + QStringLiteral("/shown.png"), ChartFile::Format::Png};
    trigger("Save Chart As...");
    const QImage shown(answer.path);
    EXPECT_EQ(shown.size(), plot().size());
    EXPECT_GT(inkOf(shown, shown.rect(), QColor(255, 0, 0)), 0.0);
    EXPECT_TRUE(window().statusBar()->currentMessage().contains(answer.path));

    answer = {folder + QStringLiteral("/double.png"), ChartFile::Format::PngDoubleSize};
    trigger("Save Chart As...");
    EXPECT_EQ(QImage(answer.path).size(), 2 * plot().size());

    answer = {folder + QStringLiteral("/chart.pdf"), ChartFile::Format::Pdf};
    trigger("Save Chart As...");
    const std::vector<PdfPage> pages = ReadPdf(answer.path);
    ASSERT_EQ(pages.size(), 1u);
    const QString text = pages[0].texts().join(QLatin1Char(' '));
    EXPECT_TRUE(text.contains(QStringLiteral("Universal Time (UTC)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Filter 2"))) << text.toStdString();

    // A file that cannot be written is reported.
    BoxAnswerer answerer;
    answer = {folder + QStringLiteral("/missing/chart.png"), ChartFile::Format::Png};
    trigger("Save Chart As...");
    WaitFor([&] { return !answerer.boxes().empty(); }, 2000);
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_TRUE(answerer.boxes()[0].text.contains(QStringLiteral("missing/chart.png")));
}

TEST_F(ChartInTheWindow, CopyChartPutsThePictureShownOnTheClipboard) {
    addPoints(50);
    show();
    QApplication::clipboard()->clear();
    trigger("Copy Chart");
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), plot().size());
    EXPECT_GT(inkOf(copied.convertToFormat(QImage::Format_RGB32), copied.rect(), QColor(255, 0, 0)), 0.0);
}

TEST_F(ChartInTheWindow, ShowAllPointsAfterAZoomShowsEveryPointAgain) {
    addPoints(1000);
    show();
    const QCPRange all = plot().xAxis->range();
    const QRect r = plot().axisRect()->rect();
    QTest::mousePress(&plot(), Qt::LeftButton, {}, r.center());
    QTest::mouseMove(&plot(), r.center() + QPoint(30, 30));
    QTest::mouseRelease(&plot(), Qt::LeftButton, {}, r.center() + QPoint(30, 30));
    show();
    ASSERT_LT(plot().xAxis->range().size(), all.size() / 4);
    trigger("Show All Points");
    show();
    EXPECT_TRUE(app->chart.autoView());
    EXPECT_DOUBLE_EQ(plot().xAxis->range().lower, kStart);
    EXPECT_DOUBLE_EQ(plot().xAxis->range().upper, kStart + 999 * kSecond);
}

TEST_F(ChartInTheWindow, ARightClickOpensTheMenuAndARightDragPansWithoutIt) {
    addPoints(100);
    show();
    QMenu* menu = app->chart.menu();
    const QPoint c = plot().axisRect()->rect().center();
    QTest::mousePress(&plot(), Qt::RightButton, {}, c);
    QMouseEvent jitter(QEvent::MouseMove, QPointF(c + QPoint(1, 1)), plot().mapToGlobal(QPointF(c + QPoint(1, 1))),
                       Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&plot(), &jitter);
    QTest::mouseRelease(&plot(), Qt::RightButton, {}, c + QPoint(1, 1));
    EXPECT_TRUE(WaitFor([&] { return menu->isVisible(); }, 1000));
    EXPECT_TRUE(app->chart.autoView()) << "a click is no pan";
    const QStringList texts = [&] {
        QStringList t;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) t << a->text();
        return t;
    }();
    EXPECT_EQ(texts, (QStringList{"Save Chart As...", "Copy Chart", "Show All Points", "Legend", "Join Gaps"}));
    menu->close();

    const QCPRange before = plot().xAxis->range();
    QTest::mousePress(&plot(), Qt::RightButton, {}, c);
    QMouseEvent drag(QEvent::MouseMove, QPointF(c + QPoint(-80, 0)), plot().mapToGlobal(QPointF(c + QPoint(-80, 0))),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(&plot(), &drag);
    QTest::mouseRelease(&plot(), Qt::RightButton, {}, c + QPoint(-80, 0));
    QTest::qWait(50);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_GT(plot().xAxis->range().lower, before.lower);

    // The keyboard's menu key opens it too.
    QContextMenuEvent key(QContextMenuEvent::Keyboard, c, plot().mapToGlobal(c));
    QApplication::sendEvent(&plot(), &key);
    EXPECT_TRUE(WaitFor([&] { return menu->isVisible(); }, 1000));
    menu->close();
}

TEST(ChartFileTest, TheNameEndingDecidesTheFormatAndAMissingOneComesFromTheFilter) {
    using F = ChartFile::Format;
    const QString png = QStringLiteral("PNG image (*.png)"), twice = QStringLiteral("PNG image, twice the size (*.png)"),
                  pdf = QStringLiteral("PDF document (*.pdf)");
    struct Case {
        QString path, filter;
        ChartFile expected;
    };
    for (const Case& c : {Case{"/d/a.png", png, {"/d/a.png", F::Png}}, Case{"/d/a.png", twice, {"/d/a.png", F::PngDoubleSize}},
                          Case{"/d/a.PDF", png, {"/d/a.PDF", F::Pdf}}, Case{"/d/a", pdf, {"/d/a.pdf", F::Pdf}},
                          Case{"/d/a", twice, {"/d/a.png", F::PngDoubleSize}}, Case{"/d/a.txt", png, {"/d/a.txt.png", F::Png}}})
        EXPECT_EQ(ChartFileFor(c.path, c.filter), c.expected) << c.path.toStdString() << " with " << c.filter.toStdString();
    EXPECT_EQ(ChartFileStem(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC)), "Chart-20240305-140709");
}

}  // namespace
}  // namespace qs::test
