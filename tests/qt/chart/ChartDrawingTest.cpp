// Drawing a graph from its level-of-detail summary looks like drawing every
// point: the chart's graph and QCustomPlot's own graph drawing every point of
// the same data, rendered the way the chart is shown, agree to within a
// pixel; zoomed into a few hundred points they agree exactly. The summary's
// extremes are those of the points, however the points came and went.
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "qt/chart/SeriesData.h"
#include "qt/chart/SummarizedGraph.h"

namespace qs::test {
namespace {

constexpr double kStart = 45356.5;  // 2024-03-05 12:00 UTC, in days
constexpr double kSecond = 1.0 / 86400.0;
constexpr int kWidth = 640;
constexpr int kHeight = 360;

// ---- the summary's extremes against the points themselves

TEST(SeriesSummary, ExtremesOfAnyStretchAreThoseOfItsPointsThroughAppendsDropsInsertsAndGaps) {
    SeriesData data;
    std::mt19937_64 rng(3);
    std::uniform_int_distribution<int> op(0, 99);
    std::normal_distribution<double> value(0.0, 1.0);
    double x = 0.0;
    int checked = 0;
    for (int step = 0; step < 20000; ++step) {
        const int o = op(rng);
        if (o < 80) data.addPoint(x += 1.0, o == 0 ? std::numeric_limits<double>::quiet_NaN() : value(rng));
        else if (o < 82) data.addPoint(x / 2.0, value(rng));  // lands before the newest
        else if (o < 99) data.dropFirst();
        else if (step % 7 == 0) data.clearPoints();
        if (step % 50 != 0 || data.isEmpty()) continue;
        std::uniform_int_distribution<int> index(0, data.size() - 1);
        int first = index(rng), last = index(rng);
        if (first > last) std::swap(first, last);
        ++last;
        ValueExtremes plain{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), false};
        for (int i = first; i < last; ++i) {
            const double v = data.at(i)->value;
            if (std::isnan(v)) plain.nan = true;
            plain.min = std::min(plain.min, v);
            plain.max = std::max(plain.max, v);
        }
        const ValueExtremes e = data.extremes(first, last);
        ASSERT_EQ(e.nan, plain.nan) << "step " << step << ", points " << first << " to " << last;
        if (!plain.nan) {
            ASSERT_EQ(e.min, plain.min) << "step " << step << ", points " << first << " to " << last;
            ASSERT_EQ(e.max, plain.max) << "step " << step << ", points " << first << " to " << last;
        }
        ++checked;
    }
    EXPECT_GT(checked, 200);
}

// ---- rendered images

// Two plots of one container: QCustomPlot's own graph drawing every point,
// and the chart's graph drawing from the summary, with nothing else drawn.
struct TwoPlots {
    QSharedPointer<SeriesData> data{new SeriesData};
    QCustomPlot full, summarized;
    QCPGraph* plain = nullptr;
    SummarizedGraph* graph = nullptr;

    explicit TwoPlots(const QPen& pen) {
        for (QCustomPlot* plot : {&full, &summarized}) {
            plot->resize(kWidth, kHeight);
            plot->setBackground(Qt::white);
            plot->axisRect()->setAutoMargins(QCP::msNone);
            plot->axisRect()->setMargins(QMargins(0, 0, 0, 0));
            for (QCPAxis* axis : plot->axisRect()->axes()) axis->setVisible(false);
            plot->xAxis->grid()->setVisible(false);
            plot->yAxis->grid()->setVisible(false);
            // As the chart draws.
            plot->setPlottingHint(QCP::phFastPolylines, true);
        }
        plain = full.addGraph();
        plain->setData(data.staticCast<QCPGraphDataContainer>());
        plain->setAdaptiveSampling(false);
        graph = new SummarizedGraph(summarized.xAxis, summarized.yAxis, data);
        graph->setAdaptiveSampling(true);
        for (QCPGraph* g : {plain, static_cast<QCPGraph*>(graph)}) {
            g->setPen(pen);
            g->setLineStyle(QCPGraph::lsLine);
        }
    }

    // The plot repainted and grabbed from its widget, as the screen shows it.
    static QImage render(QCustomPlot& plot, const QCPRange& keys, const QCPRange& values) {
        plot.xAxis->setRange(keys);
        plot.yAxis->setRange(values);
        plot.replot();
        return plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

bool inked(QRgb c) { return 3 * 255 - (qRed(c) + qGreen(c) + qBlue(c)) > 96; }

int inkedPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += inked(image.pixel(x, y));
    return n;
}

// Pixels drawn in a with nothing drawn in b at or next to them (one pixel,
// diagonals included).
int unmatched(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (!inked(a.pixel(x, y))) continue;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int bx = x + dx, by = y + dy;
                    found = b.valid(bx, by) && inked(b.pixel(bx, by));
                }
            n += !found;
        }
    return n;
}

// What a case does to the data, and the views it is drawn in, as fractions
// of the key range of the points held.
struct DrawingCase {
    std::string name;
    std::function<void(SeriesData&, std::mt19937_64&)> fill;
    std::vector<std::pair<double, double>> views;
    int penWidth;
};

void PrintTo(const DrawingCase& c, std::ostream* os) { *os << c.name; }

// A noisy, drifting signal with a narrow spike now and then, at one second apart.
void noisyWithSpikes(SeriesData& d, std::mt19937_64& rng, int points, double x0 = kStart) {
    std::normal_distribution<double> noise(0.0, 0.02);
    std::uniform_int_distribution<int> spike(0, 999);
    double level = 1.0;
    for (int i = 0; i < points; ++i) {
        level += noise(rng) * 0.1;
        const double v = level + noise(rng) + (spike(rng) == 0 ? (i % 2 ? 0.8 : -0.8) : 0.0);
        d.addPoint(x0 + i * kSecond, v);
    }
}

const std::vector<std::pair<double, double>> kWhole = {{0.0, 1.0}};

class ChartDrawing : public ::testing::TestWithParam<DrawingCase> {};

TEST_P(ChartDrawing, LooksLikeDrawingEveryPointToWithinAPixel) {
    const DrawingCase& c = GetParam();
    TwoPlots plots(QPen(QColor(255, 0, 0), c.penWidth));
    std::mt19937_64 rng(17);
    c.fill(*plots.data, rng);
    SeriesData& d = *plots.data;
    ASSERT_FALSE(d.isEmpty());
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    for (auto it = d.constBegin(); it != d.constEnd(); ++it) {
        if (std::isnan(it->value)) continue;
        lowest = std::min(lowest, it->value);
        highest = std::max(highest, it->value);
    }
    const QCPRange values(lowest, highest);
    const double lower = d.constBegin()->key, span = (d.constEnd() - 1)->key - lower;
    for (auto [from, to] : c.views) {
        const QCPRange keys(lower + from * span, lower + to * span);
        const QCPRange shown(values.lower - 0.05 * values.size(), values.upper + 0.05 * values.size());
        const QImage every = TwoPlots::render(plots.full, keys, shown);
        const QImage summarized = TwoPlots::render(plots.summarized, keys, shown);
        ASSERT_EQ(every.size(), QSize(kWidth, kHeight));
        const std::string view = c.name + ", view " + std::to_string(from) + " to " + std::to_string(to);
        EXPECT_GT(inkedPixels(every), kWidth / 2) << view;
        EXPECT_EQ(unmatched(every, summarized), 0) << view << ": drawn for every point, missing from the summary's";
        EXPECT_EQ(unmatched(summarized, every), 0) << view << ": drawn from the summary, not for every point";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChartDrawing,
    ::testing::Values(
        DrawingCase{"dense", [](SeriesData& d, std::mt19937_64& r) { noisyWithSpikes(d, r, 200000); }, kWhole, 1},
        DrawingCase{"dense_bold", [](SeriesData& d, std::mt19937_64& r) { noisyWithSpikes(d, r, 200000); },
                    kWhole, 2},
        // The oldest points dropped one by one, not a whole block of them.
        DrawingCase{"scrolled",
                                        [](SeriesData& d, std::mt19937_64& r) {
                        noisyWithSpikes(d, r, 150000);
                        for (int i = 0; i < 12345; ++i) d.dropFirst();
                    },
                    kWhole, 1},
        // A pan across a zoomed view, and views cut between points.
        DrawingCase{"panned",
                                        [](SeriesData& d, std::mt19937_64& r) { noisyWithSpikes(d, r, 200000); },
                    {{0.0, 0.2}, {0.13, 0.33}, {0.41, 0.61}, {0.8, 1.0}, {-0.1, 0.1}, {0.9, 1.1}},
                    1},
        // Several samples within one second share their time.
        DrawingCase{"equal_times",
                                        [](SeriesData& d, std::mt19937_64& r) {
                        std::normal_distribution<double> v(0.0, 1.0);
                        for (int i = 0; i < 120000; ++i) d.addPoint(kStart + (i / 3) * kSecond, v(r));
                    },
                    kWhole, 1},
        // Values that are not numbers break the line where they stand.
        DrawingCase{"not_a_number",
                                        [](SeriesData& d, std::mt19937_64& r) {
                        noisyWithSpikes(d, r, 40000);
                        for (int i = 0; i < 5; ++i)
                            d.addPoint(kStart + (40000 + i) * kSecond, std::numeric_limits<double>::quiet_NaN());
                        noisyWithSpikes(d, r, 60000, kStart + 40005 * kSecond);
                    },
                    kWhole, 1},
        // Points far apart and points close together, as a pause in logging leaves them.
        DrawingCase{"sparse_and_dense",
                                        [](SeriesData& d, std::mt19937_64& r) {
                        noisyWithSpikes(d, r, 30000);
                        noisyWithSpikes(d, r, 30000, kStart + 90000 * kSecond);
                    },
                    {{0.0, 1.0}, {0.2, 0.8}},
                    1}),
    [](const ::testing::TestParamInfo<DrawingCase>& info) { return info.param.name; });

TEST(ChartDrawingZoomed, AFewHundredPointsAreDrawnPointByPointExactlyAsQCustomPlotDraws) {
    TwoPlots plots(QPen(QColor(0, 0, 255), 1));
    std::mt19937_64 rng(5);
    noisyWithSpikes(*plots.data, rng, 100000);
    const QCPRange keys(kStart + 50000 * kSecond, kStart + 50300 * kSecond);
    const QCPRange values(0.0, 2.0);
    const QImage every = TwoPlots::render(plots.full, keys, values);
    EXPECT_GT(inkedPixels(every), kWidth / 2);
    EXPECT_TRUE(every == TwoPlots::render(plots.summarized, keys, values));
}

// ---- gaps

// Points one second apart with pauses of 6 s (as long as the gap width:
// joined), 7 s, 40 s and an hour (longer: broken), one point alone between
// two long pauses, drawn as the chart draws them with the gap width of 6 s,
// against QCustomPlot's own graph of the same points with a point without a
// value wherever a pause is longer than 6 s (where QCustomPlot stops a line).
struct GapCase {
    std::string name;
    int pointsPerRun;
    int penWidth;
};

void PrintTo(const GapCase& c, std::ostream* os) { *os << c.name; }

class ChartGaps : public ::testing::TestWithParam<GapCase> {};

TEST_P(ChartGaps, BreakTheLineExactlyWhereNeighboursLieFurtherApartThanTheGapWidth) {
    const GapCase& c = GetParam();
    TwoPlots plots(QPen(QColor(255, 0, 0), c.penWidth));
    QSharedPointer<SeriesData> withBreaks(new SeriesData);
    plots.plain->setData(withBreaks.staticCast<QCPGraphDataContainer>());
    plots.graph->setGapWidth(6.0 * kSecond + 1e-9);
    std::mt19937_64 rng(11);
    std::normal_distribution<double> noise(0.0, 1.0);
    const double pauses[] = {6, 7, 40, 3600, 3600, 7};
    const int runs[] = {c.pointsPerRun, c.pointsPerRun, c.pointsPerRun, c.pointsPerRun, 1, c.pointsPerRun,
                        c.pointsPerRun};
    double t = 0.0;
    for (int run = 0; run < 7; ++run) {
        if (run > 0) {
            const double pause = pauses[run - 1];
            if (pause > 6) withBreaks->addPoint(kStart + (t + 0.5) * kSecond, std::numeric_limits<double>::quiet_NaN());
            t += pause;
        }
        for (int i = 0; i < runs[run]; ++i, t += 1.0) {
            const double v = noise(rng);
            plots.data->addPoint(kStart + t * kSecond, v);
            withBreaks->addPoint(kStart + t * kSecond, v);
        }
        t -= 1.0;
    }
    const QCPRange keys(kStart - 10 * kSecond, kStart + (t + 10) * kSecond), values(-5.0, 5.0);
    const QImage broken = TwoPlots::render(plots.full, keys, values);
    const QImage drawn = TwoPlots::render(plots.summarized, keys, values);
    EXPECT_GT(inkedPixels(broken), kWidth / 4);
    // The lone point is drawn as a dash the other graph does not have: its
    // place is left out of the comparison and looked at on its own.
    const double lone = plots.data->at(4 * c.pointsPerRun)->key;
    const int loneX = static_cast<int>(plots.summarized.xAxis->coordToPixel(lone));
    QImage brokenElsewhere = broken, drawnElsewhere = drawn;
    for (int y = 0; y < kHeight; ++y)
        for (int x = loneX - 3; x <= loneX + 3; ++x) {
            brokenElsewhere.setPixel(x, y, qRgb(255, 255, 255));
            drawnElsewhere.setPixel(x, y, qRgb(255, 255, 255));
        }
    EXPECT_EQ(unmatched(brokenElsewhere, drawnElsewhere), 0) << "drawn with breaks, missing from the chart's graph";
    EXPECT_EQ(unmatched(drawnElsewhere, brokenElsewhere), 0) << "drawn by the chart's graph where a break belongs";
    EXPECT_GT(inkedPixels(drawn) - inkedPixels(drawnElsewhere), 0) << "the lone point is not drawn";
    // Joined, the hour is bridged.
    plots.graph->setGapWidth(0.0);
    EXPECT_GT(inkedPixels(TwoPlots::render(plots.summarized, keys, values)), inkedPixels(drawn) + kWidth / 10);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChartGaps,
                         ::testing::Values(GapCase{"every_point_drawn", 20, 1}, GapCase{"summarized", 20000, 1},
                                           GapCase{"summarized_bold", 20000, 2}),
                         [](const ::testing::TestParamInfo<GapCase>& info) { return info.param.name; });

// The comparison itself sees what matters: a single spike's absence.
TEST(ChartDrawingComparison, NoticesASpikeThatIsNotDrawn) {
    TwoPlots with(QPen(QColor(255, 0, 0), 1)), without(QPen(QColor(255, 0, 0), 1));
    for (int i = 0; i < 100000; ++i) {
        const double v = std::sin(i * 1e-4);
        with.data->addPoint(kStart + i * kSecond, i == 50001 ? v + 0.7 : v);
        without.data->addPoint(kStart + i * kSecond, v);
    }
    const QCPRange keys(kStart, kStart + 99999 * kSecond), values(-1.1, 1.8);
    EXPECT_GT(unmatched(TwoPlots::render(with.full, keys, values), TwoPlots::render(without.full, keys, values)), 10);
}

}  // namespace
}  // namespace qs::test
