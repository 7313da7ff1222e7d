// The window fits a 1280x720 screen, and so 2560x1440 at 200 % (the same
// size in the device-independent pixels Qt lays out in), with every control
// reachable: the settings column scrolls, the read-outs stack their groups,
// the chart shrinks and the status bar's texts end in "..." when squeezed.
#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <qcustomplot.h>

#include "ChartWindowFixture.h"
#include "qt/window/ReadoutColumns.h"
#include "qt/window/StatusLabel.h"
#include "window/ControlInventory.h"

namespace qs::test {
namespace {

constexpr QSize kScreen(1280, 720);
// What a desktop takes around a window: its title bar and borders, and a
// panel along one edge of the screen.
constexpr QSize kFrameAllowance(20, 80);
constexpr QSize kRoom = kScreen - kFrameAllowance;

using WindowFits = ChartInTheWindow;

std::string sizeText(QSize s) { return std::to_string(s.width()) + "x" + std::to_string(s.height()); }
QRect rectIn(QWidget* w, QWidget* ancestor) { return {w->mapTo(ancestor, QPoint(0, 0)), w->size()}; }

// The longest texts the status bar shows, side by side: the link's, the
// data file's, the chart's following, the broker's and the page's.
void showLongestStatus(TGPIBTelnet& logger, Quillstone3& window) {
    logger.LinkStatus.setCaption(
        "Reconnect failed: Could not connect to KISS-488 via Telnet. Connection refused. Trying again in 5 s.");
    logger.DataFileStatus.setCaption("Samples are NOT being recorded: cannot open Data.txt (Permission denied)");
    window.showPublishing(
        "MQTT: connected to broker.lab.example.org, which refuses the samples (Not authorized), 12345 samples waiting");
    window.showServing("Serving http://[fe80::1234:5678:9abc:def0]:8080/");
}

TEST_F(WindowFits, ItsSmallestSizeFitsA1280x720ScreenWithItsFrameWhateverTheStatusBarSays) {
    showLongestStatus(logger(), window());
    QTest::qWait(20);
    const QSize smallest = window().minimumSizeHint().expandedTo(window().minimumSize());
    const std::string parts = "central " + sizeText(window().centralWidget()->minimumSizeHint()) + ", status bar " +
                              sizeText(window().statusBar()->minimumSizeHint());
    EXPECT_LE(smallest.width(), kRoom.width()) << parts;
    EXPECT_LE(smallest.height(), kRoom.height()) << parts;
}

TEST_F(WindowFits, AtThatSizeEveryControlIsReachableAndTheChartWithItsRightAxisLiesWithinTheWindow) {
    showLongestStatus(logger(), window());
    QTest::mouseClick(view<QRadioButton>("RadioButton3"), Qt::LeftButton);  // both value axes in use
    addPoints(200);
    window().resize(kRoom);
    QTest::qWait(50);
    show();
    ASSERT_EQ(window().size(), kRoom);
    auto* scroll = window().findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    const QRect inWindow = window().rect();
    const ControlInventory inventory(logger());
    int controls = 0;
    for (const ControlEntry& e : inventory.controls()) {
        if (e.place == ControlPlace::StatusBar || e.kind == ControlKind::Label) continue;
        QWidget* w = window().widgetOf(e.name);
        ASSERT_NE(w, nullptr) << e.name;
        ASSERT_TRUE(w->isVisibleTo(&window())) << e.name;
        ASSERT_TRUE(scroll->widget()->isAncestorOf(w)) << e.name << " stands in the settings column";
        ++controls;
        // Scrolled to as a person scrolls to it (ensureWidgetVisible would
        // show only a box's text cursor).
        const QPoint centre = w->mapTo(scroll->widget(), w->rect().center());
        scroll->ensureVisible(centre.x(), centre.y(), w->width() / 2 + 1, w->height() / 2 + 1);
        const QRect inViewport = rectIn(w, scroll->viewport());
        EXPECT_TRUE(scroll->viewport()->rect().contains(inViewport))
            << e.name << " at " << inViewport.x() << "," << inViewport.y() << " " << sizeText(inViewport.size());
        EXPECT_TRUE(inWindow.contains(rectIn(w, &window()))) << e.name;
        // Never squeezed below what its text needs.
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << e.name;
    }
    EXPECT_GE(controls, 25);
    // The settings column scrolls up and down only; the window needed it.
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    // The Stability button beside the print button too.
    QWidget* stability = window().findChild<QWidget*>(QStringLiteral("StabilityButton"));
    ASSERT_NE(stability, nullptr);
    EXPECT_TRUE(scroll->widget()->isAncestorOf(stability));

    // The chart, its right axis with its numbers and title included, lies
    // within the window, and has room to show something.
    const QRect chart = rectIn(&plot(), &window());
    EXPECT_TRUE(inWindow.contains(chart)) << chart.x() << "," << chart.y() << " " << sizeText(chart.size());
    EXPECT_GE(plot().width(), 600);
    EXPECT_GE(plot().height(), 300);
    ASSERT_TRUE(plot().yAxis2->visible());
    EXPECT_GT(plot().yAxis2->tickVectorLabels().size(), 1);
    EXPECT_LE(plot().axisRect()->outerRect().right(), plot().width());
    // The status bar's texts: whole, only drawn shorter.
    auto* link = view<QLabel>("LinkStatus");
    EXPECT_EQ(link->text().toStdString(), logger().LinkStatus.caption());
    EXPECT_TRUE(inWindow.contains(rectIn(link, &window())));
}

// How wide the window is, and how many columns its read-outs stand in.
struct StripCase {
    const char* name;
    int width;  // 0: as narrow as the window goes
    int columns;
};

class ReadoutsInTheWindow : public WindowFixture, public ::testing::WithParamInterface<StripCase> {};

TEST_P(ReadoutsInTheWindow, StandInAsManyColumnsAsFitReadDownThenAcrossAndAreNeverCut) {
    const StripCase& c = GetParam();
    window().resize(c.width, 700);
    QTest::qWait(50);
    auto* strip = window().findChild<ReadoutColumns*>(QStringLiteral("Readouts"));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->columns(), c.columns) << "window " << window().width() << " px, strip " << strip->width();
    // The inventory's order: down each column, then on to the next.
    const std::vector<const char*> order = {"DateBox", "LastBox", "CountBox", "MaxBox",   "MinBox",
                                            "DiffBox", "ShowMean", "FilterValue", "StdDevBox"};
    const int rows = ((3 + c.columns - 1) / c.columns) * 3;
    for (std::size_t i = 0; i < order.size(); ++i) {
        QWidget* value = window().widgetOf(order[i]);
        const QRect at = rectIn(value, &window());
        EXPECT_TRUE(window().rect().contains(at)) << order[i];
        EXPECT_GE(value->width(), value->minimumWidth()) << order[i] << " has room for a whole number";
        if (i == 0) continue;
        const QRect before = rectIn(window().widgetOf(order[i - 1]), &window());
        if (i % static_cast<std::size_t>(rows) == 0) {
            EXPECT_GT(at.left(), before.right()) << order[i] << " starts the next column";
        } else {
            EXPECT_GT(at.top(), before.bottom()) << order[i] << " below " << order[i - 1];
            EXPECT_EQ(window().labelsOf(order[i]).before->x(), window().labelsOf(order[i - 1]).before->x()) << order[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(App, ReadoutsInTheWindow,
                         ::testing::Values(StripCase{"Wide", 1900, 3}, StripCase{"Screen1280", kRoom.width(), 2},
                                           StripCase{"Narrowest", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StatusLabel, TakesTheRoomOfItsTextWhenThereIsAndGivesUpAllButAFewCharactersWhenNot) {
    StatusLabel label;
    const QString text = QStringLiteral("Link down: closed by the adapter or the network; reconnecting in 5 s");
    label.setText(text);
    const int whole = label.fontMetrics().horizontalAdvance(text);
    EXPECT_GE(label.sizeHint().width(), whole);
    EXPECT_LT(label.minimumSizeHint().width(), whole / 3);
    EXPECT_GE(label.minimumSizeHint().width(), label.fontMetrics().averageCharWidth() * 8);
    // A short text is never squeezed below itself.
    label.setText(QStringLiteral("Link up"));
    EXPECT_EQ(label.minimumSizeHint().width(), QLabel(QStringLiteral("Link up")).minimumSizeHint().width());

    // Squeezed, it draws the start of its text and "...": less ink than whole.
    label.setText(text);
    label.resize(whole + 10, label.sizeHint().height());
    const QImage full = label.grab().toImage();
    label.resize(whole / 2, label.sizeHint().height());
    const QImage half = label.grab().toImage();
    const auto inkOf = [](const QImage& image) {
        long dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    };
    EXPECT_GT(inkOf(half), 0);
    EXPECT_LT(inkOf(half), inkOf(full) * 2 / 3);
    EXPECT_EQ(label.text(), text);
}

}  // namespace
}  // namespace qs::test
