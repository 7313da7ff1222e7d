#include "qt/QtChart.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

#include "chart/SeriesStyle.h"
#include "platform/MemoryChart.h"
#include "qt/ChartNavigator.h"
#include "qt/ValueAxisTicker.h"

namespace qs {

namespace {

// At most one repaint per frame.
constexpr int kReplotDelayMs = 25;
// Width the bottom axis gives each date-time label.
constexpr int kPixelsPerDateTick = 190;
// Half the width of the time span shown around a single point: one minute.
constexpr double kSinglePointHalfSpanDays = 1.0 / 1440.0;

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QBrush verticalGradient() {
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectBoundingMode);
    g.setColorAt(0, toQColor(kGradientStartColour));
    g.setColorAt(1, toQColor(kGradientEndColour));
    return QBrush(g);
}

void styleAxis(QCPAxis* axis) {
    const QPen line(toQColor(kAxisLineColour));
    axis->setBasePen(line);
    axis->setTickPen(line);
    axis->setSubTickPen(line);
    axis->setTickLabelColor(toQColor(kAxisLineColour));
    axis->setLabelColor(toQColor(kAxisLineColour));
    axis->grid()->setSubGridVisible(false);
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

QCPRange padded(double lower, double upper) {
    if (upper > lower) {
        const double pad = (upper - lower) * 0.05;
        return {lower - pad, upper + pad};
    }
    const double pad = lower != 0.0 ? std::abs(lower) * 0.01 : 1.0;
    return {lower - pad, upper + pad};
}

}  // namespace

QtChart::QtChart(QObject* parent) : QObject(parent), plot_(new QCustomPlot) {
    replotTimer_.setSingleShot(true);
    replotTimer_.setInterval(kReplotDelayMs);
    connect(&replotTimer_, &QTimer::timeout, this, &QtChart::doReplot);
    setUpLook();
}

QtChart::~QtChart() {
    // The job ends quietly: nobody is left to tell.
    printJob_.reset();
    if (plot_) delete plot_.data();
}

void QtChart::setUpLook() {
    // Tick labels come from our own tickers; nothing may follow the user's locale.
    plot_->setLocale(QLocale::c());
    plot_->setBackground(verticalGradient());
    plot_->axisRect()->setBackground(verticalGradient());
    plot_->legend->setVisible(false);
    plot_->setMinimumSize(320, 240);

    dateTicker_.reset(new DaysDateTimeTicker);
    plot_->xAxis->setTicker(dateTicker_);
    plot_->xAxis->setLabel(QString::fromUtf8(kBottomAxisTitle.data(), static_cast<qsizetype>(kBottomAxisTitle.size())));
    plot_->yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new ValueAxisTicker));
    plot_->yAxis2->setTicker(QSharedPointer<QCPAxisTicker>(new ValueAxisTicker));
    plot_->yAxis2->setVisible(true);
    plot_->xAxis2->setVisible(false);
    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis, plot_->yAxis2}) styleAxis(axis);

    QPen grid(toQColor(kGridLineColour));
    grid.setStyle(Qt::SolidLine);
    plot_->xAxis->grid()->setPen(grid);
    plot_->yAxis->grid()->setPen(grid);
    grid.setStyle(kRightGridStyle == GridStyle::DashDotDot ? Qt::DashDotDotLine : Qt::SolidLine);
    plot_->yAxis2->grid()->setPen(grid);
    plot_->yAxis2->grid()->setVisible(true);

    for (const SeriesStyle& style : SeriesStyles()) {
        QCPGraph* graph =
            plot_->addGraph(plot_->xAxis, style.axis == ValueAxis::Left ? plot_->yAxis : plot_->yAxis2);
        QPen pen(toQColor(style.colour));
        pen.setWidth(style.initialPenWidth);
        graph->setPen(pen);
        graph->setLineStyle(QCPGraph::lsLine);
        // A million points draw as a few thousand line segments.
        graph->setAdaptiveSampling(true);
        graph->setName(QString::fromUtf8(style.name.data(), static_cast<qsizetype>(style.name.size())));
        series_.at(static_cast<std::size_t>(style.series - 1)) =
            std::make_unique<QtSeries>(graph, [this] { requestReplot(); });
    }

    new ChartNavigator(plot_, [this] { useUserView(); }, [this] { useAutoView(); });
}

ISeries& QtChart::Series(int n) {
    if (n < 1 || n > 6) throw std::out_of_range("series number outside 1 to 6");
    return *series_[static_cast<std::size_t>(n - 1)];
}

void QtChart::Redraw() {
    finishPrintJob();
    requestReplot();
}

void QtChart::requestReplot() {
    // Data that starts over (a load, an emptied data file) is shown whole,
    // whatever the user had zoomed into before.
    if (!autoView_ && std::all_of(series_.begin(), series_.end(), [](const auto& s) { return s && s->Count() == 0; }))
        autoView_ = true;
    if (!replotTimer_.isActive()) replotTimer_.start();
}

void QtChart::replotNow() {
    if (!replotTimer_.isActive()) return;
    replotTimer_.stop();
    doReplot();
}

void QtChart::doReplot() {
    if (!plot_) return;
    if (pointsPerPage_ > 0) showPage();
    else if (autoView_) fitToData();
    dateTicker_->setTickCount(std::clamp(plot_->axisRect()->width() / kPixelsPerDateTick, 2, 10));
    plot_->replot();
    ++replots_;
}

const QtSeries* QtChart::longestSeries() const {
    const QtSeries* longest = nullptr;
    for (const auto& s : series_)
        if (!longest || s->Count() > longest->Count()) longest = s.get();
    return longest;
}

void QtChart::fitToData() {
    bool found = false;
    double lower = 0.0, upper = 0.0;
    for (const auto& s : series_) {
        if (!s->Visible() || s->Count() == 0) continue;
        const double first = s->XValue(0), last = s->XValue(s->Count() - 1);
        if (!found) {
            lower = first;
            upper = last;
            found = true;
        } else {
            lower = std::min(lower, first);
            upper = std::max(upper, last);
        }
    }
    if (!found) return;
    if (upper <= lower) {
        lower -= kSinglePointHalfSpanDays;
        upper += kSinglePointHalfSpanDays;
    }
    plot_->xAxis->setRange(lower, upper);
    fitValueAxes(QCPRange(lower, upper), true);
}

void QtChart::showPage() {
    const QtSeries* longest = longestSeries();
    if (!longest || longest->Count() == 0 || pointsPerPage_ <= 0) return;
    const int count = longest->Count();
    const long long firstIndex = std::clamp<long long>(static_cast<long long>(page_ - 1) * pointsPerPage_, 0, count - 1);
    const long long lastIndex = std::min<long long>(firstIndex + pointsPerPage_ - 1, count - 1);
    double lower = longest->XValue(static_cast<int>(firstIndex));
    double upper = longest->XValue(static_cast<int>(lastIndex));
    if (upper <= lower) {
        lower -= kSinglePointHalfSpanDays;
        upper += kSinglePointHalfSpanDays;
    }
    plot_->xAxis->setRange(lower, upper);
    fitValueAxes(QCPRange(lower, upper), false);
}

void QtChart::fitValueAxes(const QCPRange& keys, bool wholeSeries) {
    for (ValueAxis side : {ValueAxis::Left, ValueAxis::Right}) {
        bool found = false;
        double lower = 0.0, upper = 0.0;
        for (const SeriesStyle& style : SeriesStyles()) {
            if (style.axis != side) continue;
            const QtSeries& s = *series_[static_cast<std::size_t>(style.series - 1)];
            if (!s.Visible()) continue;
            double lo = 0.0, hi = 0.0;
            if (!(wholeSeries ? s.valueRange(lo, hi) : s.valueRangeIn(keys, lo, hi))) continue;
            if (!std::isfinite(lo) || !std::isfinite(hi)) continue;
            lower = found ? std::min(lower, lo) : lo;
            upper = found ? std::max(upper, hi) : hi;
            found = true;
        }
        if (found) (side == ValueAxis::Left ? plot_->yAxis : plot_->yAxis2)->setRange(padded(lower, upper));
    }
}

void QtChart::useUserView() {
    autoView_ = false;
    requestReplot();
}

void QtChart::useAutoView() {
    autoView_ = true;
    requestReplot();
}

void QtChart::SetPointsPerPage(int points) {
    finishPrintJob();
    const bool wasPaging = pointsPerPage_ > 0;
    pointsPerPage_ = std::max(points, 0);
    page_ = 1;
    if (plot_ && pointsPerPage_ > 0) {
        if (!wasPaging && !autoView_)
            viewBeforePaging_ = View{plot_->xAxis->range(), plot_->yAxis->range(), plot_->yAxis2->range()};
        showPage();
    } else if (plot_ && wasPaging && viewBeforePaging_) {
        plot_->xAxis->setRange(viewBeforePaging_->keys);
        plot_->yAxis->setRange(viewBeforePaging_->left);
        plot_->yAxis2->setRange(viewBeforePaging_->right);
    }
    if (pointsPerPage_ == 0) viewBeforePaging_.reset();
    requestReplot();
}

void QtChart::SetPage(int page) {
    page_ = page;
    if (plot_ && pointsPerPage_ > 0) showPage();
    requestReplot();
}

int QtChart::PageCount() const {
    const QtSeries* longest = longestSeries();
    return PageCountFor(longest ? longest->Count() : 0, pointsPerPage_);
}

void QtChart::PrintLandscape() {
    if (!plot_) return;
    if (!printJob_) {
        const bool printer = printerAvailable_ ? printerAvailable_() : !QPrinterInfo::defaultPrinter().isNull();
        const QString pdf =
            printer ? QString()
                    : ChartPrintJob::pdfFileName(QDateTime::currentDateTimeUtc(),
                                                 [](const QString& name) { return QFileInfo::exists(name); });
        printJob_ = std::make_unique<ChartPrintJob>(*plot_, pdf);
        // Whatever happens to the print loop, the job ends once control is
        // back in the event loop.
        QTimer::singleShot(0, this, [this] { finishPrintJob(); });
    }
    dateTicker_->setTickCount(ChartPrintJob::kLayoutWidth / kPixelsPerDateTick);
    printJob_->addPage();
}

void QtChart::finishPrintJob() {
    if (!printJob_) return;
    std::unique_ptr<ChartPrintJob> job = std::move(printJob_);
    job->finish();
    if (job->failed()) {
        if (errorReport_) errorReport_(job->error());
        return;
    }
    if (job->pages() == 0) return;
    const std::string pages = std::to_string(job->pages()) + (job->pages() == 1 ? " page" : " pages");
    if (job->toPdf()) {
        lastPdfFile_ = job->pdfFile();
        if (notice_)
            notice_("No printer is installed: " + pages + " of the chart saved as \"" + job->pdfFile().toStdString() +
                    "\" in the working folder.");
    } else {
        lastPdfFile_.clear();
        if (notice_) notice_(pages + " of the chart sent to the default printer.");
    }
}

}  // namespace qs
