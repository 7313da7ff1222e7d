// The Stability window in the program: where it opens from, the figures of
// a known data file in its table and on its chart, what it saves, how
// often it refreshes, and the read-out above the main chart.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include <QGroupBox>
#include <qcustomplot.h>

#include "WindowFixture.h"
#include "core/SampleTime.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"
#include "datafile/LoadedChannels.h"
#include "qt/window/StabilityWindow.h"
#include "stability/DataAnalysis.h"
#include "window/StabilityFeed.h"

namespace qs::test {
namespace {

constexpr std::time_t kFirstSecond = 1765000000;

struct StabilityInTheWindow : WindowFixture {
    StabilityWindow& stability() { return app->stability; }

    // A data file of n readings two seconds apart: 10 V with a noise of a
    // few microvolts and a slow drift.
    void writeDataFile(int n) {
        for (int i = 0; i < n; ++i) {
            const double v = 10.0 + 3e-6 * std::sin(i * 1.7) + 2e-6 * std::cos(i * 0.31) + 1e-8 * i;
            char text[40];
            std::snprintf(text, sizeof text, "%.10f", v);
            ASSERT_TRUE(AppendToFile("Data.txt", FormatDataLine(SampleTimeFromUtc(kFirstSecond + 2 * i), text, v, v)));
        }
    }
    void loadAll() {
        app->runtime.dispatch([this] {
            logger().MeanBox.setText("0");
            logger().LoadButtonClick();
        });
    }
    // The rule's analysis of the same file, as --analyze makes it.
    ChannelAnalysis rule() {
        std::string error;
        const std::optional<LoadedChannels> file = ReadLoadedChannels("Data.txt", false, error);
        EXPECT_TRUE(file) << error;
        return AnalyzeChannel(1, file->channel1.seconds, file->channel1.values, {});
    }
    void openAndWait() {
        QTest::mouseClick(window().findChild<QPushButton*>(QStringLiteral("StabilityButton")), Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return stability().isVisible() && stability().refreshes() > 0; }, 3000));
    }
};

TEST_F(StabilityInTheWindow, OpensFromItsButtonBesideThePrintButtonAndFromTheChartMenu) {
    QWidget* button = window().widgetOf("PrintButton");
    auto* stabilityButton = window().findChild<QPushButton*>(QStringLiteral("StabilityButton"));
    ASSERT_NE(stabilityButton, nullptr);
    EXPECT_EQ(stabilityButton->text(), "Stability...");
    EXPECT_EQ(stabilityButton->parentWidget(), button->parentWidget());
    EXPECT_FALSE(stabilityButton->toolTip().isEmpty());
    EXPECT_FALSE(stability().isVisible());
    QTest::mouseClick(stabilityButton, Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return stability().isVisible(); }, 2000));
    EXPECT_TRUE(stability().isWindow());
    EXPECT_EQ(stability().windowTitle(), "Stability");
    stability().close();
    ASSERT_FALSE(stability().isVisible());

    QAction* entry = app->chart.menuAction(QStringLiteral("Stability..."));
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    EXPECT_TRUE(WaitFor([&] { return stability().isVisible(); }, 2000));
}

TEST_F(StabilityInTheWindow, TableShowsTheRulesFiguresOfALoadedFileWithAHintOnEach) {
    writeDataFile(300);
    loadAll();
    openAndWait();
    const ChannelAnalysis expected = rule();
    const SeriesFigures& f = expected.figures;
    QTableWidget* table = stability().table();
    ASSERT_GE(table->rowCount(), 12);
    struct Line {
        const char* label;
        std::optional<double> value;
    };
    const Line lines[] = {{"Readings (N)", static_cast<double>(f.n)},
                          {"Mean", f.mean},
                          {"Std. deviation", f.stddev},
                          {"Std. deviation (ppm)", f.stddevPpm},
                          {"Minimum", f.minimum},
                          {"Maximum", f.maximum},
                          {"Peak-to-peak", f.peakToPeak},
                          {"Peak-to-peak (ppm)", f.peakToPeakPpm},
                          {"Drift per day", f.driftPerDay},
                          {"Drift (ppm/day)", f.driftPpmPerDay},
                          {"Drift std. error (per day)", f.driftStderrPerDay},
                          {"tau0 (s)", f.tau0}};
    for (int row = 0; row < 12; ++row) {
        const Line& line = lines[row];
        ASSERT_EQ(table->verticalHeaderItem(row)->text(), line.label);
        const QTableWidgetItem* cell = table->item(row, 0);
        ASSERT_NE(cell, nullptr) << line.label;
        ASSERT_TRUE(line.value) << line.label;
        bool ok = false;
        const double shown = cell->text().toDouble(&ok);
        ASSERT_TRUE(ok) << line.label << ": " << cell->text().toStdString();
        EXPECT_NEAR(shown, *line.value, 1e-11 * std::fabs(*line.value)) << line.label;
        EXPECT_FALSE(cell->toolTip().isEmpty()) << line.label;
        EXPECT_FALSE(table->verticalHeaderItem(row)->toolTip().isEmpty()) << line.label;
        // No channel 2 in "Send Command 1".
        EXPECT_TRUE(table->item(row, 1)->text().isEmpty()) << line.label;
    }
    EXPECT_EQ(f.n, 300);
    EXPECT_EQ(*f.tau0, 2.0);
}

TEST_F(StabilityInTheWindow, ChartHasAPointPerOctaveOfEachDeviationOnLogarithmicAxes) {
    writeDataFile(512);
    loadAll();
    openAndWait();
    const ChannelAnalysis expected = rule();
    // m = 1, 2, 4, ... up to a quarter of the readings.
    ASSERT_EQ(expected.rows.size(), 8u);
    QCustomPlot* plot = stability().plot();
    EXPECT_EQ(plot->xAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_EQ(plot->yAxis->scaleType(), QCPAxis::stLogarithmic);
    ASSERT_GE(plot->graphCount(), 3);
    const char* names[] = {"Channel 1 OADEV", "Channel 1 MDEV", "Channel 1 HDEV"};
    for (int g = 0; g < 3; ++g) {
        QCPGraph* graph = plot->graph(g);
        EXPECT_EQ(graph->name(), names[g]);
        EXPECT_EQ(graph->dataCount(), static_cast<int>(expected.rows.size())) << names[g];
        for (int i = 0; i < graph->dataCount(); ++i)
            EXPECT_DOUBLE_EQ(graph->data()->at(i)->key, *expected.rows[static_cast<std::size_t>(i)].tau);
    }
    EXPECT_NEAR(plot->graph(0)->data()->at(0)->value, *expected.rows[0].oadev, 1e-9 * *expected.rows[0].oadev);
    // Channel 2's graphs stay empty and out of the legend.
    for (int g = 3; g < plot->graphCount(); ++g) EXPECT_EQ(plot->graph(g)->dataCount(), 0);
    // OADEV's error bars, a bar per point.
    QCPErrorBars* bars = nullptr;
    for (int p = 0; p < plot->plottableCount(); ++p)
        if (auto* b = qobject_cast<QCPErrorBars*>(plot->plottable(p)); b && b->dataPlottable() == plot->graph(0)) bars = b;
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->dataCount(), static_cast<int>(expected.rows.size()));
    EXPECT_NEAR(bars->data()->at(0).errorPlus, *expected.rows[0].oadevError, 1e-9 * *expected.rows[0].oadevError);
    EXPECT_FALSE(plot->toolTip().isEmpty());
}

TEST_F(StabilityInTheWindow, SavesThePngAtTheChartsSizeAndTheFiguresAsCsv) {
    writeDataFile(256);
    loadAll();
    openAndWait();
    const QString png = QDir::current().filePath(QStringLiteral("stability.png"));
    const QString csv = QDir::current().filePath(QStringLiteral("stability.csv"));
    stability().setFileChooser([&](const QString&) { return std::optional<ChartFile>(ChartFile{png, ChartFile::Format::Png}); });
    stability().saveAs();
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), stability().plot()->size());
    EXPECT_EQ(stability().notice(), QStringLiteral("Saved as \"%1\".").arg(png));

    stability().setFileChooser([&](const QString&) { return std::optional<ChartFile>(ChartFile{csv, ChartFile::Format::Csv}); });
    stability().saveAs();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    // The figures' header and channel 1's line, then the stability table's
    // header and a line per octave.
    const int figures = static_cast<int>(lines.indexOf(QStringLiteral("channel,n,mean,stddev,stddev_ppm,min,max,p2p,"
                                                                        "p2p_ppm,drift_per_day,drift_ppm_per_day,"
                                                                        "drift_stderr,tau0")));
    ASSERT_GE(figures, 0);
    EXPECT_TRUE(lines[figures + 1].startsWith(QStringLiteral("1,256,")));
    const int table = static_cast<int>(lines.indexOf(QStringLiteral("channel,m,tau,oadev,oadev_err,oadev_n,mdev,mdev_n,hdev,hdev_n")));
    ASSERT_GT(table, figures);
    int rows = 0;
    while (table + 1 + rows < lines.size() && lines[table + 1 + rows].startsWith(QStringLiteral("1,"))) ++rows;
    EXPECT_EQ(rows, static_cast<int>(rule().rows.size()));
    EXPECT_TRUE(lines[table + 1].startsWith(QStringLiteral("1,1,2,")));
}

TEST_F(StabilityInTheWindow, ABurstOfSamplesRefreshesTheOpenWindowOnce) {
    openAndWait();
    const long long before = stability().refreshes();
    app->runtime.dispatch([this] {
        logger().MeanBox.setText("0");
        logger().MinStringBox.setText("1");
        for (int i = 0; i < 50; ++i)
            logger().EvaluateSample(std::to_string(10.0 + i * 1e-6), SampleTimeFromUtc(kFirstSecond + i));
    });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(stability().refreshes(), before + 1);
    EXPECT_EQ(stability().shown().channels.at(0).figures.n, 50);
}

TEST_F(StabilityInTheWindow, TheLatestStandardDeviationInPpmStandsAmongTheReadouts) {
    QWidget* readout = window().widgetOf("StdDevBox");
    ASSERT_NE(readout, nullptr);
    QWidget* mean = window().widgetOf("ShowMean");
    // In the strip above the chart, in the group of the other statistics.
    const auto groupOf = [](QWidget* w) {
        while (w && !qobject_cast<QGroupBox*>(w)) w = w->parentWidget();
        return w;
    };
    ASSERT_NE(groupOf(readout), nullptr);
    EXPECT_EQ(groupOf(readout), groupOf(mean));
    EXPECT_EQ(qobject_cast<QLabel*>(readout)->text(), "none");
    EXPECT_EQ(window().labelsOf("StdDevBox").before->text(), "Std. Deviation (ppm):");
    writeDataFile(100);
    loadAll();
    const std::string expected = StdDevCaption(app->parts.stability.analysis());
    EXPECT_NE(expected, "none");
    EXPECT_TRUE(WaitFor([&] { return qobject_cast<QLabel*>(readout)->text().toStdString() == expected; }, 3000));
}

}  // namespace
}  // namespace qs::test
