#include "qt/chart/QtChart.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <ctime>

#include "chart/ChartFollowing.h"
#include "chart/ChartPrinting.h"
#include "chart/GapWidth.h"
#include "chart/SeriesStyle.h"
#include "chart/ValueAxisLabels.h"
#include "platform/MemoryChart.h"
#include "qt/chart/ChartAxes.h"
#include "qt/chart/ChartNavigator.h"
#include "qt/chart/ValueAxisTicker.h"

namespace qs {

namespace {

// At most one repaint per frame.
constexpr int kReplotDelayMs = 25;
// A chart whose repaint costs real processor time (a million points on each
// series) waits this many times that cost before its next repaint, so that
// repaints take well under a tenth of a core however fast samples come...
constexpr double kReplotPauseFactor = 12.0;
// ...but never so long that the chart looks stuck.
constexpr int kMaxReplotDelayMs = 1000;
// Point sizes of the texts on a printed page: legible on paper, small
// enough that the chart keeps most of the page.
constexpr double kPrintedTickLabelPoints = 9.0;
constexpr double kPrintedAxisTitlePoints = 10.0;
constexpr double kPrintedLegendPoints = 8.0;
// The legend's text, against the axes' labels on screen.
constexpr double kLegendFontScale = 0.9;
// Half the width of the time span shown around a single point: one minute.
constexpr double kSinglePointHalfSpanDays = 1.0 / 1440.0;

double threadCpuMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QBrush verticalGradient() {
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectBoundingMode);
    g.setColorAt(0, toQColor(kGradientStartColour));
    g.setColorAt(1, toQColor(kGradientEndColour));
    return QBrush(g);
}

// The chart's texts: the axes' tick labels and titles, and the legend.
struct ChartFonts {
    QFont tickLabels, axisTitles, legend;
};

ChartFonts fontsOf(const ChartPlot& plot) {
    return {plot.xAxis->tickLabelFont(), plot.xAxis->labelFont(), plot.lineLegend().font()};
}

void applyFonts(ChartPlot& plot, const ChartFonts& fonts) {
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis, plot.yAxis2}) {
        axis->setTickLabelFont(fonts.tickLabels);
        axis->setLabelFont(fonts.axisTitles);
    }
    plot.lineLegend().setFont(fonts.legend);
}

QFont withPoints(QFont font, double points) {
    font.setPointSizeF(points);
    return font;
}

// The legend names a line by what it shows and its command: "Raw 1".
QString legendName(const SeriesStyle& style) {
    const char* role = style.role == SeriesRole::Raw ? "Raw" : style.role == SeriesRole::Mean ? "Mean" : "Filter";
    return QStringLiteral("%1 %2").arg(QLatin1String(role)).arg(style.command);
}

// A title line above the chart while it is printed or saved; the chart on
// the screen has the window's own captions and goes without it.
class TitleRow {
public:
    TitleRow(QCustomPlot& plot, const QString& text, const QFont& font) : plot_(plot) {
        QCPLayoutGrid* layout = plot_.plotLayout();
        layout->insertRow(0);
        title_ = new QCPTextElement(&plot_, text, font);
        layout->addElement(0, 0, title_);
        layout->setRowStretchFactor(0, 0.001);
    }
    ~TitleRow() {
        QCPLayoutGrid* layout = plot_.plotLayout();
        if (layout->take(title_)) delete title_;
        layout->simplify();
    }
    TitleRow(const TitleRow&) = delete;
    TitleRow& operator=(const TitleRow&) = delete;

private:
    QCustomPlot& plot_;
    QCPTextElement* title_ = nullptr;
};

QCPRange padded(double lower, double upper) {
    if (upper > lower) {
        const double pad = (upper - lower) * 0.05;
        return {lower - pad, upper + pad};
    }
    const double pad = lower != 0.0 ? std::abs(lower) * 0.01 : 1.0;
    return {lower - pad, upper + pad};
}

}  // namespace

QtChart::QtChart(QObject* parent) : QObject(parent), plot_(new ChartPlot) {
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
    // Lines drawn segment by segment: a million points come out of the
    // adaptive sampling as thousands of short zigzags, which the painter
    // strokes several times faster one by one than as a single polyline.
    // Printing draws vectorised and still gets whole polylines.
    plot_->setPlottingHint(QCP::phFastPolylines, true);
    plot_->setBackground(verticalGradient());
    plot_->axisRect()->setBackground(verticalGradient());
    // The chart's own legend row names the lines; QCustomPlot's legend inside
    // the axis rect would cover the data.
    plot_->legend->setVisible(false);
    plot_->setAutoAddPlottableToLegend(false);
    plot_->setMinimumSize(320, 240);
    // A click gives the chart the focus, for Ctrl+C and the menu key.
    plot_->setFocusPolicy(Qt::ClickFocus);

    plot_->xAxis->setLabel(QString::fromUtf8(kBottomAxisTitle.data(), static_cast<qsizetype>(kBottomAxisTitle.size())));
    plot_->yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new ValueAxisTicker));
    plot_->yAxis2->setTicker(QSharedPointer<QCPAxisTicker>(new ValueAxisTicker));
    plot_->yAxis2->setVisible(true);
    plot_->xAxis2->setVisible(false);
    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis, plot_->yAxis2}) StyleAxis(axis);
    plot_->lineLegend().setFont(withPoints(plot_->font(), plot_->font().pointSizeF() * kLegendFontScale));

    QPen grid(toQColor(kGridLineColour));
    grid.setStyle(Qt::SolidLine);
    plot_->xAxis->grid()->setPen(grid);
    plot_->yAxis->grid()->setPen(grid);
    grid.setStyle(kRightGridStyle == GridStyle::DashDotDot ? Qt::DashDotDotLine : Qt::SolidLine);
    plot_->yAxis2->grid()->setPen(grid);
    plot_->yAxis2->grid()->setVisible(true);

    for (const SeriesStyle& style : SeriesStyles()) {
        auto series = std::make_unique<QtSeries>(
            plot_->xAxis, style.axis == ValueAxis::Left ? plot_->yAxis : plot_->yAxis2, [this] { requestReplot(); });
        QCPGraph* graph = series->graph();
        QPen pen(toQColor(style.colour));
        pen.setWidth(style.initialPenWidth);
        graph->setPen(pen);
        graph->setLineStyle(QCPGraph::lsLine);
        // Millions of points draw as a few lines per pixel column.
        graph->setAdaptiveSampling(true);
        graph->setName(legendName(style));
        series_.at(static_cast<std::size_t>(style.series - 1)) = std::move(series);
    }

    new ChartNavigator(
        plot_, [this] { useUserView(); }, [this] { useAutoView(); }, [this](QPoint at) { menu_->popup(at); });
    menu_ = std::make_unique<ChartMenu>(plot_, plot_->lineLegend().enabled(), gapsJoined_,
                                        ChartMenu::Commands{[this] { saveChartAs(); }, [this] { copyChart(); },
                                                            [this] { showAllPoints(); },
                                                            [this](bool on) { setLegendShown(on); },
                                                            [this](bool on) { setGapsJoined(on); }});
}

ISeries& QtChart::Series(int n) {
    if (n < 1 || n > 6) throw std::out_of_range("series number outside 1 to 6");
    return *series_[static_cast<std::size_t>(n - 1)];
}

void QtChart::Redraw() {
    finishPrintJob();
    requestReplot();
}

// Repaints are coalesced: every change only asks for a repaint, and one
// single-shot timer repaints at most once a frame however fast samples or a
// load arrive, and less often when a repaint is costly (well under a tenth of
// a core goes to repaints), except after the person's own zoom or pan.
// Unless the user has zoomed or panned, or a page is shown, each repaint fits
// the axes to the visible series (from the series' kept extremes, without
// walking the points).
void QtChart::requestReplot() {
    // Data that starts over (a load, an emptied data file) is shown whole,
    // whatever the user had zoomed into before.
    if (!autoView_ && std::all_of(series_.begin(), series_.end(), [](const auto& s) { return s && s->Count() == 0; }))
        autoView_ = true;
    if (!replotTimer_.isActive()) replotTimer_.start(replotDelayMs());
}

int QtChart::replotDelayMs() const {
    return std::clamp(static_cast<int>(lastReplotCostMs_ * kReplotPauseFactor), kReplotDelayMs, kMaxReplotDelayMs);
}

void QtChart::replotNow() {
    if (!replotTimer_.isActive()) return;
    replotTimer_.stop();
    doReplot();
}

void QtChart::doReplot() {
    for (const auto& s : series_) s->changesShown();
    if (!plot_) return;
    const double startMs = threadCpuMs();
    if (pointsPerPage_ > 0) showPage();
    else if (autoView_) fitToData();
    prepareLines();
    plot_->replot();
    tellFollowing();
    ++replots_;
    lastReplotCostMs_ = threadCpuMs() - startMs;
}

// What is drawn beyond the points: a legend naming the lines shown, and
// breaks in a line where two neighbouring points are further apart than the
// gap time of that series, judged from its own spacing (a pause, a lost link,
// two logging runs in one file), unless the person joins the gaps. The
// series themselves never change for it.
void QtChart::prepareLines() {
    std::array<std::vector<QCPAbstractPlottable*>, 2> named;
    // Command 1's lines on the left, command 2's on the right, each as raw, mean, filter.
    for (ValueAxis side : {ValueAxis::Left, ValueAxis::Right})
        for (SeriesRole role : {SeriesRole::Raw, SeriesRole::Mean, SeriesRole::Filter})
            for (const SeriesStyle& style : SeriesStyles()) {
                if (style.axis != side || style.role != role) continue;
                QtSeries& s = *series_[static_cast<std::size_t>(style.series - 1)];
                s.setGapWidth(gapsJoined_ ? 0.0
                                          : GapWidthDays(GapSeconds(TypicalStepSeconds(
                                                s.Count(), [&s](int i) { return s.XValue(i); }))));
                if (s.Visible() && s.Count() > 0)
                    named[side == ValueAxis::Left ? ChartLegend::Left : ChartLegend::Right].push_back(s.graph());
            }
    plot_->lineLegend().list(named);
    // The value axes are titled with their commands; an axis without a line
    // shown on it, and the time axis of an empty chart, stay blank.
    const auto [command1, command2] = commands_ ? commands_() : std::pair<std::string, std::string>();
    const bool left = !named[ChartLegend::Left].empty(), right = !named[ChartLegend::Right].empty();
    axesShown_ = {left, right};
    ShowAxisContent(plot_->yAxis, left, QString::fromStdString(ValueAxisTitle(1, command1)));
    ShowAxisContent(plot_->yAxis2, right, QString::fromStdString(ValueAxisTitle(2, command2)));
    ShowAxisContent(plot_->xAxis, left || right,
                    QString::fromUtf8(kBottomAxisTitle.data(), static_cast<qsizetype>(kBottomAxisTitle.size())));
}

void QtChart::setFollowingNotice(std::function<void(const std::string&)> notice) {
    followingNotice_ = std::move(notice);
    followingTold_.reset();
    tellFollowing();
}

// Paging (the print loop's pages) follows nothing either, but it ends with
// the job; only the person's zoom and pan stop the chart for long.
void QtChart::tellFollowing() {
    const bool following = autoView_;
    if (!followingNotice_ || followingTold_ == following) return;
    followingTold_ = following;
    followingNotice_(std::string(FollowingText(following)));
}

void QtChart::setLegendShown(bool shown) {
    plot_->lineLegend().setEnabled(shown);
    if (menu_) menu_->setSwitch(ChartMenu::kLegend, shown);
    requestPromptReplot();
}

void QtChart::setGapsJoined(bool joined) {
    gapsJoined_ = joined;
    if (menu_) menu_->setSwitch(ChartMenu::kJoinGaps, joined);
    requestPromptReplot();
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
    requestPromptReplot();
}

void QtChart::useAutoView() {
    autoView_ = true;
    requestPromptReplot();
}

// The person's own zoom and pan show on the next frame, however costly the
// repaint: only the repaints that samples cause are spaced out.
void QtChart::requestPromptReplot() {
    if (!replotTimer_.isActive() || replotTimer_.remainingTime() > kReplotDelayMs) replotTimer_.start(kReplotDelayMs);
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

// Printing: PrintLandscape adds a page to a print job that the first call
// opens; the job ends (the printer prints, the PDF file is complete) at the
// next SetPointsPerPage or Redraw, which is how the print loop restores the
// chart, or at the latest when control is back in the event loop. A printer
// that fails is reported once when the job ends; PrintLandscape itself never
// raises, so the print loop always gets to restore the chart's paging.
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
    // The page's texts in point sizes for paper, the screen's back after it.
    const ChartFonts shown = fontsOf(*plot_);
    applyFonts(*plot_,
               {withPoints(shown.tickLabels, kPrintedTickLabelPoints), withPoints(shown.axisTitles, kPrintedAxisTitlePoints),
                withPoints(shown.legend, kPrintedLegendPoints)});
    prepareLines();
    {
        const TitleRow title(*plot_, titleLine(), withPoints(shown.axisTitles, kPrintedAxisTitlePoints));
        printJob_->addPage();
    }
    applyFonts(*plot_, shown);
}

std::string QtChart::PrinterName() const {
    const bool printer = printerAvailable_ ? printerAvailable_() : !QPrinterInfo::defaultPrinter().isNull();
    if (!printer) return {};
    const QString name = QPrinterInfo::defaultPrinter().printerName();
    return name.isEmpty() ? std::string("default") : name.toStdString();
}

QString QtChart::titleLine() const {
    const auto [command1, command2] = commands_ ? commands_() : std::pair<std::string, std::string>();
    const QCPRange keys = plot_->xAxis->range();
    return QString::fromStdString(ChartTitleLine(dataFileName_ ? dataFileName_() : std::string(),
                                                 axesShown_[0] ? ValueAxisTitle(1, command1) : std::string(),
                                                 axesShown_[1] ? ValueAxisTitle(2, command2) : std::string(),
                                                 keys.lower, keys.upper));
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

// ---- the chart menu's commands
//
// The chart menu (a right click without moving the mouse, or the menu key)
// saves the chart as shown to a PNG or PDF file, copies it to the
// clipboard, shows every point again, and switches the legend and the
// joined gaps.

void QtChart::showAllPoints() { useAutoView(); }

bool QtChart::saveChart(const ChartFile& file, std::string& error) {
    if (!plot_) return false;
    // The chart as it is about to show, with every change so far.
    replotNow();
    const QString line = titleLine();
    const TitleRow title(*plot_, line, plot_->xAxis->labelFont());
    return SavePlot(*plot_, file, line, error);
}

void QtChart::saveChartAs() {
    const QString folder = saveFolder_ ? saveFolder_() : QDir::currentPath();
    const QString suggested =
        QDir(folder).filePath(ChartFileStem(QDateTime::currentDateTimeUtc()) + QStringLiteral(".png"));
    const std::optional<ChartFile> file = chooseFile_ ? chooseFile_(suggested) : ChooseChartFile(plot_, suggested);
    if (!file) return;
    std::string error;
    if (!saveChart(*file, error)) {
        if (errorReport_) errorReport_(error);
        return;
    }
    if (notice_) notice_("Chart saved as \"" + file->path.toStdString() + "\".");
}

void QtChart::copyChart() {
    if (!plot_) return;
    replotNow();
    CopyPlot(*plot_);
    if (notice_) notice_("Chart copied to the clipboard.");
}

}  // namespace qs
