// The chart in the window: a time axis readable at every width of the
// window, the legend, gaps, and the chart menu.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QRegularExpression>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "PdfReader.h"
#include "TimeAxisLabels.h"
#include "ChartWindowFixture.h"
#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "core/SampleTime.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"
#include "qt/chart/QtChart.h"

namespace qs::test {
namespace {


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

INSTANTIATE_TEST_SUITE_P(WidthsAndSpans, TimeAxisInTheWindow,
                         ::testing::Combine(::testing::Values(0, 800, 1200, 1920),
                                            ::testing::Values(10, 600, 3 * 86400)),
                         WidthAndSpanName);

// ---- the legend, gaps and the chart menu in the window


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

// The dark pixels (text, black lines) in the rectangle.
int darkPixelsIn(const QImage& image, const QRect& r) {
    int dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            dark += std::max({c.red(), c.green(), c.blue()}) < 110;
        }
    return dark;
}

// Which series have points, as a way of logging fills them.
struct LegendCase {
    const char* name;
    std::vector<int> series;
};

class LegendInk : public ChartInTheWindow, public ::testing::WithParamInterface<LegendCase> {};

TEST_P(LegendInk, SwitchedOffItLeavesNoInkWhereItStoodAndOnEachSideNamesItsLines) {
    window().resize(1400, 900);
    // The black filter line would look like text: only raw and mean lines.
    click("FilterCheckbox");
    for (int i = 0; i < 200; ++i)
        for (int s : GetParam().series) app->chart.Series(s).AddPoint(kStart + i * kSecond, s + 0.1 * (i % 7));
    show();
    ASSERT_TRUE(legend().shown());
    std::vector<QRect> stood;
    const QImage on = picture();
    for (ChartLegend::Side side : {ChartLegend::Left, ChartLegend::Right}) {
        if (legend().names(side).isEmpty()) continue;
        const QRect r = legend().legendOf(side)->outerRect();
        // Each box shown names its lines: no empty frames.
        EXPECT_GT(darkPixelsIn(on, r), 40) << "side " << side;
        stood.push_back(r);
    }
    ASSERT_FALSE(stood.empty());

    trigger("Legend");
    show();
    const QImage off = picture();
    // The plot takes the room; where the legend stood it shows only the plot's own ink.
    const QRect inside = plot().axisRect()->rect().adjusted(3, 3, -3, -3);
    for (const QRect& r : stood) {
        const QRect where = r.intersected(inside);
        ASSERT_FALSE(where.isEmpty()) << "the plot grows into the legend's room";
        EXPECT_EQ(darkPixelsIn(off, where), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(LoggingWays, LegendInk,
                         ::testing::Values(LegendCase{"send_command_1", {1, 2, 3}},
                                           LegendCase{"alternate_commands", {1, 2, 3, 4, 5, 6}}),
                         [](const ::testing::TestParamInfo<LegendCase>& info) { return std::string(info.param.name); });

// Steps between the samples of one command, as each way of logging makes them (seconds).
struct GapCase {
    const char* name;
    std::vector<double> steps;
    bool loaded;  // written to the data file and loaded, rather than logged
    int breaks;   // breaks drawn in the line
};

std::vector<double> stepsOf(int n, std::initializer_list<double> pattern) {
    std::vector<double> steps;
    while (static_cast<int>(steps.size()) < n)
        for (double s : pattern) steps.push_back(s);
    steps.resize(static_cast<std::size_t>(n));
    return steps;
}

class GapsInTheWindow : public ChartInTheWindow, public ::testing::WithParamInterface<GapCase> {
protected:
    // Red ink in each pixel column from the first sample's to the last's.
    std::vector<bool> inkedColumns(double firstKey, double lastKey) {
        const QImage image = picture();
        const QRect area = plot().axisRect()->rect();
        const int from = static_cast<int>(plot().xAxis->coordToPixel(firstKey)) + 2;
        const int to = static_cast<int>(plot().xAxis->coordToPixel(lastKey)) - 2;
        std::vector<bool> inked;
        for (int x = from; x <= to; ++x)
            inked.push_back(inkOf(image, QRect(x, area.top(), 1, area.height()), QColor(255, 0, 0)) > 0.0);
        return inked;
    }
    static int breaksIn(const std::vector<bool>& inked) {
        int breaks = 0;
        for (std::size_t i = 1; i < inked.size(); ++i) breaks += inked[i - 1] && !inked[i];
        return breaks;
    }
};

TEST_P(GapsInTheWindow, OnlyAPauseInTheLoggingBreaksTheLineWhateverTheIntervalBox) {
    const GapCase& c = GetParam();
    // The box says 2 s whatever the samples' spacing was.
    typeAndLeave("IntervalBox", "2");
    std::vector<double> seconds{0.0};
    for (double s : c.steps) seconds.push_back(seconds.back() + s);
    const std::time_t first = 1765000000;
    if (c.loaded) {
        for (double t : seconds)
            ASSERT_TRUE(AppendToFile("Data.txt", FormatDataLine(SampleTimeFromUtc(first + static_cast<std::time_t>(t)),
                                                                "10.0000035", 10.0000035, 10.0000035)));
        app->runtime.dispatch([this] { logger().LoadButtonClick(); });
        ASSERT_EQ(app->chart.Series(1).Count(), static_cast<int>(seconds.size()));
    } else {
        for (double t : seconds) app->chart.Series(1).AddPoint(kStart + t * kSecond, 10.0000035);
    }
    for (int s = 2; s <= 6; ++s) app->chart.Series(s).SetVisible(false);
    show();
    const double firstKey = app->chart.Series(1).XValue(0);
    const double lastKey = app->chart.Series(1).XValue(app->chart.Series(1).Count() - 1);
    EXPECT_EQ(breaksIn(inkedColumns(firstKey, lastKey)), c.breaks);
    // Join Gaps joins every break, and only the drawing changes.
    trigger("Join Gaps");
    show();
    EXPECT_EQ(breaksIn(inkedColumns(firstKey, lastKey)), 0);
    EXPECT_EQ(app->chart.Series(1).Count(), static_cast<int>(seconds.size()));
}

INSTANTIATE_TEST_SUITE_P(
    LoggingWays, GapsInTheWindow,
    ::testing::Values(GapCase{"steady_at_the_interval", stepsOf(60, {2.0}), false, 0},
                      GapCase{"alternate_commands_two_polls_apart", stepsOf(60, {4.0}), false, 0},
                      GapCase{"alternate_commands_with_slow_replies", stepsOf(60, {7.0, 7.0, 8.0}), false, 0},
                      GapCase{"loaded_file_logged_at_10_s", stepsOf(60, {10.0}), true, 0},
                      GapCase{"a_stop_of_an_hour", [] {
                                  std::vector<double> s = stepsOf(60, {2.0});
                                  s[30] = 3600.0;
                                  return s;
                              }(),
                              false, 1},
                      GapCase{"a_loaded_file_of_two_runs", [] {
                                  std::vector<double> s = stepsOf(60, {10.0});
                                  s[20] = 6 * 3600.0;
                                  return s;
                              }(),
                              true, 1}),
    [](const ::testing::TestParamInfo<GapCase>& info) { return std::string(info.param.name); });

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

// The wheel turned by notches over the chart at the pixel, with the modifiers.
void TurnWheel(QWidget& plot, QPoint at, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWheelEvent e(QPointF(at), plot.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&plot, &e);
}

TEST_F(ChartInTheWindow, TheWheelZoomsTimeAroundThePointerShiftTheValuesAndTheStatusBarSaysItNoLongerFollows) {
    auto* following = window().findChild<QLabel*>(QStringLiteral("FollowingStatus"));
    ASSERT_NE(following, nullptr);
    addPoints(1000);
    show();
    EXPECT_EQ(following->text(), QStringLiteral("Following new samples"));
    const QRect r = plot().axisRect()->rect();
    const QPoint at(r.left() + r.width() / 4, r.center().y());
    const QCPRange keys = plot().xAxis->range(), values = plot().yAxis->range();
    const double keyAt = plot().xAxis->pixelToCoord(at.x());

    TurnWheel(plot(), at, 1);
    show();
    // Four fifths of the time shown, the time under the pointer where it was, the values as they were.
    EXPECT_NEAR(plot().xAxis->range().size(), 0.8 * keys.size(), 1e-9 * keys.size());
    EXPECT_NEAR(plot().xAxis->pixelToCoord(at.x()), keyAt, keys.size() / r.width());
    EXPECT_EQ(plot().yAxis->range(), values);
    EXPECT_FALSE(app->chart.autoView());
    EXPECT_EQ(following->text(), QStringLiteral("Zoomed: Show All Points to follow"));
    // New samples arrive and the zoom stays.
    const QCPRange zoomed = plot().xAxis->range();
    addPoints(10, 1000);
    show();
    EXPECT_EQ(plot().xAxis->range(), zoomed);

    TurnWheel(plot(), at, 2, Qt::ShiftModifier);
    show();
    EXPECT_EQ(plot().xAxis->range(), zoomed);
    EXPECT_NEAR(plot().yAxis->range().size(), 0.64 * values.size(), 1e-9 * values.size());

    trigger("Show All Points");
    show();
    EXPECT_EQ(following->text(), QStringLiteral("Following new samples"));
    EXPECT_DOUBLE_EQ(plot().xAxis->range().upper, kStart + 1009 * kSecond);
}

TEST_F(ChartInTheWindow, CtrlSSavesCtrlCCopiesWhileTheChartHasTheFocusCtrlQClosesAndTheMenuShowsTheKeys) {
    addPoints(50);
    show();
    EXPECT_EQ(app->chart.menuAction(QStringLiteral("Save Chart As..."))->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(app->chart.menuAction(QStringLiteral("Copy Chart"))->shortcut(), QKeySequence(QKeySequence::Copy));
    int asked = 0;
    app->chart.setFileChooser([&](const QString&) -> std::optional<ChartFile> {
        ++asked;
        return std::nullopt;
    });
    // Ctrl+S from a box of the window.
    edit("HostBox")->setFocus();
    QTest::keyClick(edit("HostBox"), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    // Ctrl+C in a box copies the box's text, not the chart.
    QApplication::clipboard()->clear();
    edit("HostBox")->selectAll();
    QTest::keyClick(edit("HostBox"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());
    EXPECT_FALSE(QApplication::clipboard()->text().isEmpty());
    // A click on the chart gives it the focus; then Ctrl+C copies the chart.
    QTest::mouseClick(&plot(), Qt::LeftButton, {}, plot().axisRect()->rect().center());
    ASSERT_TRUE(plot().hasFocus());
    QTest::keyClick(&plot(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->image().size(), plot().size());
    // Ctrl+Q closes the window as its close button does.
    QTest::keyClick(&window(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(window().hasClosed());
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
    EXPECT_EQ(texts, (QStringList{"Save Chart As...", "Copy Chart", "Show All Points", "Legend", "Join Gaps",
                                  "Stability..."}));
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

}  // namespace
}  // namespace qs::test
