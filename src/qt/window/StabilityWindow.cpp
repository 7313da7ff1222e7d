// The Stability window: the statistics table above the log-log chart of
// OADEV, MDEV and HDEV against tau, and their export.
#include "qt/window/StabilityWindow.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <vector>

#include <qcustomplot.h>

namespace qs {

namespace {

constexpr int kFigureDigits = 12;

// One line of the statistics table: its label, what it means, and where
// its figure comes from.
struct FigureRow {
    const char* label;
    const char* hint;
    std::optional<double> (*of)(const SeriesFigures&);
    bool whole = false;  // a count, shown without a fraction
};

const FigureRow kFigureRows[] = {
    {"Readings (N)",
     "How many readings the statistics cover: the newest \"Plot Mean using\" points when that is above zero, "
     "else every reading of the channel that the chart shows (after a load, the loaded ones).",
     [](const SeriesFigures& f) -> std::optional<double> { return static_cast<double>(f.n); }, true},
    {"Mean", "The average of the readings, in their unit.", [](const SeriesFigures& f) { return f.mean; }},
    {"Std. deviation", "The sample standard deviation (n - 1): how far the readings spread about their mean.",
     [](const SeriesFigures& f) { return f.stddev; }},
    {"Std. deviation (ppm)", "The standard deviation in parts per million of the mean's magnitude.",
     [](const SeriesFigures& f) { return f.stddevPpm; }},
    {"Minimum", "The smallest reading.", [](const SeriesFigures& f) { return f.minimum; }},
    {"Maximum", "The largest reading.", [](const SeriesFigures& f) { return f.maximum; }},
    {"Peak-to-peak", "The largest reading minus the smallest.", [](const SeriesFigures& f) { return f.peakToPeak; }},
    {"Peak-to-peak (ppm)", "Peak-to-peak in parts per million of the mean's magnitude.",
     [](const SeriesFigures& f) { return f.peakToPeakPpm; }},
    {"Drift per day",
     "The slope of the least-squares line through the readings against time, in their unit per day.",
     [](const SeriesFigures& f) { return f.driftPerDay; }},
    {"Drift (ppm/day)", "The drift in parts per million of the mean's magnitude per day.",
     [](const SeriesFigures& f) { return f.driftPpmPerDay; }},
    {"Drift std. error (per day)",
     "The standard error of the drift's slope, per day: a drift several times larger than this is real.",
     [](const SeriesFigures& f) { return f.driftStderrPerDay; }},
    {"tau0 (s)",
     "The shortest averaging time of the stability chart: the median spacing of this channel's time stamps.",
     [](const SeriesFigures& f) { return f.tau0; }},
};

// The regression of channel 1 on channel 2, in Alternate Commands.
struct TempcoRow {
    const char* label;
    const char* hint;
    std::optional<double> (*of)(const RegressionFigures&);
    bool whole = false;
};

const TempcoRow kTempcoRows[] = {
    {"Pairs", "How many channel 1 readings are paired with the channel 2 reading taken next to them.",
     [](const RegressionFigures& r) -> std::optional<double> { return static_cast<double>(r.pairs); }, true},
    {"Slope (ch 1 per ch 2)",
     "The least-squares slope of channel 1 against channel 2: how much channel 1 moves per unit of channel 2.",
     [](const RegressionFigures& r) { return r.slope; }},
    {"Slope std. error", "The standard error of that slope.", [](const RegressionFigures& r) { return r.slopeStderr; }},
    {"Correlation (r)", "The correlation coefficient of the pairs: near 1 or -1 when channel 1 follows channel 2.",
     [](const RegressionFigures& r) { return r.correlation; }},
    {"Tempco (ppm/unit)",
     "The slope in parts per million of channel 1's mean per unit of channel 2: the temperature coefficient in "
     "ppm/K when command 2 reads a temperature.",
     [](const RegressionFigures& r) { return r.ppmPerUnit; }},
};

// The three deviations, each a graph per channel.
struct DeviationKind {
    const char* name;
    std::optional<double> StabilityRow::*value;
    QCPScatterStyle::ScatterShape shape;
};

const DeviationKind kDeviations[] = {
    {"OADEV", &StabilityRow::oadev, QCPScatterStyle::ssCircle},
    {"MDEV", &StabilityRow::mdev, QCPScatterStyle::ssSquare},
    {"HDEV", &StabilityRow::hdev, QCPScatterStyle::ssTriangle},
};

const char* const kChartHint =
    "Stability against averaging time tau, both axes logarithmic, in the readings' unit. OADEV: the overlapping "
    "Allan deviation, with its 1-sigma error bar; MDEV: the modified Allan deviation, which tells white from "
    "flicker phase-like noise; HDEV: the overlapping Hadamard deviation, blind to a steady drift. A line falling "
    "as 1/sqrt(tau) is white noise that averaging removes; a flat line is flicker noise; a rising one is drift or "
    "random walk.";

QColor channelColour(int channel, int kind) {
    static const QColor one[] = {QColor(0, 70, 200), QColor(0, 150, 220), QColor(90, 0, 180)};
    static const QColor two[] = {QColor(200, 30, 30), QColor(230, 120, 0), QColor(150, 80, 40)};
    return (channel == 2 ? two : one)[kind];
}

QString wholeText(double v) { return QString::number(static_cast<long long>(v)); }

}  // namespace

QString StabilityFigureText(const std::optional<double>& value) {
    if (!value) return QStringLiteral("none");
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, *value, std::chars_format::general, kFigureDigits);
    return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
}

StabilityWindow::StabilityWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("StabilityWindow"));
    setWindowTitle(QStringLiteral("Stability"));

    auto* column = new QVBoxLayout(this);
    caption_ = new QLabel(QStringLiteral(
        "The readings the statistics cover: the newest \"Plot Mean using\" points, or all the chart shows when that "
        "is zero. Refreshed at most once a second."));
    caption_->setWordWrap(true);
    column->addWidget(caption_);

    table_ = new QTableWidget(0, 2);
    table_->setObjectName(QStringLiteral("StabilityTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Channel 1"), QStringLiteral("Channel 2")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    column->addWidget(table_, 3);

    plot_ = new QCustomPlot;
    plot_->setObjectName(QStringLiteral("StabilityChart"));
    plot_->setToolTip(QString::fromUtf8(kChartHint));
    plot_->setMinimumHeight(320);
    buildChart();
    column->addWidget(plot_, 3);

    auto* buttons = new QHBoxLayout;
    auto* saveButton = new QPushButton(QStringLiteral("Save As..."));
    saveButton->setObjectName(QStringLiteral("StabilitySaveButton"));
    saveButton->setToolTip(QStringLiteral("Saves the chart as a PNG or PDF file, or every figure as a CSV file."));
    auto* copyButton = new QPushButton(QStringLiteral("Copy"));
    copyButton->setObjectName(QStringLiteral("StabilityCopyButton"));
    copyButton->setToolTip(QStringLiteral("Copies the chart to the clipboard."));
    connect(saveButton, &QPushButton::clicked, this, [this] { saveAs(); });
    connect(copyButton, &QPushButton::clicked, this, [this] { copy(); });
    notice_ = new QLabel;
    notice_->setObjectName(QStringLiteral("StabilityNotice"));
    notice_->setTextFormat(Qt::PlainText);
    buttons->addWidget(notice_, 1);
    buttons->addWidget(saveButton);
    buttons->addWidget(copyButton);
    column->addLayout(buttons);

    resize(780, 1000);
    fillTable();
}

void StabilityWindow::buildChart() {
    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
        axis->setScaleType(QCPAxis::stLogarithmic);
        auto ticker = QSharedPointer<QCPAxisTickerLog>::create();
        axis->setTicker(ticker);
        axis->setNumberFormat(QStringLiteral("eb"));
        axis->setNumberPrecision(0);
        axis->grid()->setSubGridVisible(true);
    }
    plot_->xAxis->setLabel(QStringLiteral("tau (s)"));
    plot_->yAxis->setLabel(QStringLiteral("deviation (unit of the readings)"));
    plot_->xAxis->setRange(1, 1000);
    plot_->yAxis->setRange(1e-7, 1e-3);
    plot_->legend->setVisible(true);
    plot_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    for (int channel : {1, 2}) {
        for (int k = 0; k < 3; ++k) {
            QCPGraph* graph = plot_->addGraph();
            graph->setName(QStringLiteral("Channel %1 %2").arg(channel).arg(QLatin1String(kDeviations[k].name)));
            graph->setPen(QPen(channelColour(channel, k), 1.5));
            graph->setScatterStyle(QCPScatterStyle(kDeviations[k].shape, 6));
            if (k == 0) {
                auto* bars = new QCPErrorBars(plot_->xAxis, plot_->yAxis);
                bars->setName(graph->name() + QStringLiteral(" error"));
                bars->removeFromLegend();
                bars->setDataPlottable(graph);
                bars->setPen(QPen(channelColour(channel, k)));
            }
        }
    }
}

void StabilityWindow::showFigures(const DataAnalysis& analysis) {
    analysis_ = analysis;
    stale_ = true;
    if (isVisible()) render();
}

void StabilityWindow::open() {
    show();
    raise();
    activateWindow();
    if (stale_) render();
}

void StabilityWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) render();
}

void StabilityWindow::render() {
    stale_ = false;
    ++refreshes_;
    fillTable();
    fillChart();
}

void StabilityWindow::fillTable() {
    const auto channel = [this](int n) -> const ChannelAnalysis* {
        for (const ChannelAnalysis& c : analysis_.channels)
            if (c.channel == n) return &c;
        return nullptr;
    };
    const int figures = static_cast<int>(std::size(kFigureRows));
    const int tempco = analysis_.tempco ? static_cast<int>(std::size(kTempcoRows)) : 0;
    table_->setRowCount(figures + tempco);
    const auto put = [this](int row, int column, const QString& text, const char* hint) {
        QTableWidgetItem* item = table_->item(row, column);
        if (!item) table_->setItem(row, column, item = new QTableWidgetItem);
        item->setText(text);
        item->setToolTip(QString::fromUtf8(hint));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    };
    const auto head = [this](int row, const char* label, const char* hint) {
        QTableWidgetItem* item = table_->verticalHeaderItem(row);
        if (!item) table_->setVerticalHeaderItem(row, item = new QTableWidgetItem);
        item->setText(QString::fromUtf8(label));
        item->setToolTip(QString::fromUtf8(hint));
    };
    for (int row = 0; row < figures; ++row) {
        const FigureRow& r = kFigureRows[row];
        head(row, r.label, r.hint);
        for (int n : {1, 2}) {
            const ChannelAnalysis* c = channel(n);
            const std::optional<double> v = c ? r.of(c->figures) : std::nullopt;
            put(row, n - 1, !c ? QString() : r.whole && v ? wholeText(*v) : StabilityFigureText(v), r.hint);
        }
    }
    for (int i = 0; i < tempco; ++i) {
        const TempcoRow& r = kTempcoRows[i];
        head(figures + i, r.label, r.hint);
        const std::optional<double> v = r.of(*analysis_.tempco);
        put(figures + i, 0, r.whole && v ? wholeText(*v) : StabilityFigureText(v), r.hint);
        put(figures + i, 1, QString(), r.hint);
    }
}

// A point for every row whose deviation exists and is above zero (a
// logarithmic axis shows no zero); the axes fit all of them.
void StabilityWindow::fillChart() {
    bool any = false;
    double xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
    const auto take = [&](double x, double y) {
        if (!any) {
            xLow = xHigh = x;
            yLow = yHigh = y;
            any = true;
        }
        xLow = std::min(xLow, x), xHigh = std::max(xHigh, x), yLow = std::min(yLow, y), yHigh = std::max(yHigh, y);
    };
    int graph = 0;
    for (int n : {1, 2}) {
        const ChannelAnalysis* c = nullptr;
        for (const ChannelAnalysis& a : analysis_.channels)
            if (a.channel == n) c = &a;
        for (int k = 0; k < 3; ++k, ++graph) {
            QVector<double> keys, values, errors;
            if (c) {
                for (const StabilityRow& row : c->rows) {
                    const std::optional<double>& v = row.*(kDeviations[k].value);
                    if (!row.tau || !v || !(*v > 0.0) || !(*row.tau > 0.0)) continue;
                    keys << *row.tau;
                    values << *v;
                    errors << (row.oadevError ? std::min(*row.oadevError, *v * 0.999) : 0.0);
                    take(*row.tau, *v);
                }
            }
            QCPGraph* g = plot_->graph(graph);
            g->setData(keys, values, true);
            g->setVisible(!keys.isEmpty());
            if (keys.isEmpty()) g->removeFromLegend();
            else g->addToLegend();
            if (k == 0) {
                for (int p = 0; p < plot_->plottableCount(); ++p)
                    if (auto* bars = qobject_cast<QCPErrorBars*>(plot_->plottable(p)); bars && bars->dataPlottable() == g)
                        bars->setData(errors);
            }
        }
    }
    if (any) {
        plot_->xAxis->setRange(xLow / 1.5, xHigh * 1.5);
        plot_->yAxis->setRange(yLow / 3.0, yHigh * 3.0);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void StabilityWindow::saveAs() {
    const QString folder = folder_ ? folder_() : QDir::currentPath();
    const QString stem = QStringLiteral("Stability-") +
                         QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suggested = QDir(folder).filePath(stem + QStringLiteral(".png"));
    const std::optional<ChartFile> file = chooseFile_ ? chooseFile_(suggested) : ChooseChartFile(this, suggested, true);
    if (!file) return;
    std::string error;
    if (!save(*file, error)) {
        if (errorReport_) errorReport_(error);
        return;
    }
    notice_->setText(QStringLiteral("Saved as \"%1\".").arg(file->path));
}

bool StabilityWindow::save(const ChartFile& file, std::string& error) {
    if (stale_) render();
    if (file.format != ChartFile::Format::Csv) {
        plot_->replot(QCustomPlot::rpImmediateRefresh);
        return SavePlot(*plot_, file, QStringLiteral("Quillstone stability"), error);
    }
    QFile out(file.path);
    const std::string text = FormatAnalysis(analysis_, AnalysisFormat::Csv);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        error = "Cannot write the figures to \"" + file.path.toStdString() + "\".";
        return false;
    }
    return true;
}

QString StabilityWindow::notice() const { return notice_->text(); }

void StabilityWindow::copy() {
    if (stale_) render();
    plot_->replot(QCustomPlot::rpImmediateRefresh);
    CopyPlot(*plot_);
    notice_->setText(QStringLiteral("Chart copied to the clipboard."));
}

}  // namespace qs
