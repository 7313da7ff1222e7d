#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <qcustomplot.h>

#include "platform/Chart.h"
#include "qt/ChartPrintJob.h"
#include "qt/DaysDateTimeTicker.h"
#include "qt/QtSeries.h"

namespace qs {

// Chart1 on QCustomPlot: six line series (command 1 on the left axis,
// command 2 on the right), a UTC date-time bottom axis, paging and printing.
//
// Repaints are coalesced: every change only asks for a repaint, and one
// single-shot timer repaints at most once a frame however fast samples or a
// load arrive, and less often when a repaint is costly (well under a tenth of
// a core goes to repaints), except after the person's own zoom or pan.
// Unless the user has zoomed or panned, or a page is shown, each repaint fits
// the axes to the visible series (from the series' kept extremes, without
// walking the points).
//
// Printing: PrintLandscape adds a page to a print job that the first call
// opens; the job ends (the printer prints, the PDF file is complete) at the
// next SetPointsPerPage or Redraw, which is how the print loop restores the
// chart, or at the latest when control is back in the event loop. A printer
// that fails is reported once when the job ends; PrintLandscape itself never
// raises, so the print loop always gets to restore the chart's paging.
class QtChart : public QObject, public IChart {
    Q_OBJECT
public:
    explicit QtChart(QObject* parent = nullptr);
    ~QtChart() override;

    ISeries& Series(int n) override;
    void Redraw() override;

    int GetPointsPerPage() const override { return pointsPerPage_; }
    void SetPointsPerPage(int points) override;
    void SetPage(int page) override;
    int PageCount() const override;
    void PrintLandscape() override;

    // The chart's widget; the window lays it out (and may own it).
    QCustomPlot* widget() const { return plot_; }

    // setters
    // Where to tell the user about a finished print job, e.g. the status line.
    void setNotice(std::function<void(const std::string&)> notice) { notice_ = std::move(notice); }
    // Where a failed print job is reported (the default error report).
    void setErrorReport(std::function<void(const std::string&)> report) { errorReport_ = std::move(report); }
    // Whether a default printer exists; without one the pages go to a PDF file.
    void setPrinterAvailable(std::function<bool()> available) { printerAvailable_ = std::move(available); }

    // getters for the view and for tests
    int replotCount() const { return replots_; }
    bool replotPending() const { return replotTimer_.isActive(); }
    // Processor time of the last repaint, and the pause it sets before the next.
    double lastReplotCostMs() const { return lastReplotCostMs_; }
    int replotDelayMs() const;
    bool autoView() const { return autoView_; }
    int page() const { return page_; }
    // The last finished job's PDF file, empty when it went to a printer.
    const QString& lastPdfFile() const { return lastPdfFile_; }

    // Repaints now if a repaint is pending.
    void replotNow();

private:
    void requestReplot();
    void requestPromptReplot();
    void fitToData();
    void showPage();
    void fitValueAxes(const QCPRange& keys, bool wholeSeries);
    void useUserView();
    void useAutoView();
    void finishPrintJob();
    const QtSeries* longestSeries() const;
    void setUpLook();
    void doReplot();

    // members
    QPointer<QCustomPlot> plot_;
    std::array<std::unique_ptr<QtSeries>, 6> series_;
    QSharedPointer<DaysDateTimeTicker> dateTicker_;
    QTimer replotTimer_;
    int replots_ = 0;
    double lastReplotCostMs_ = 0.0;
    bool autoView_ = true;
    int pointsPerPage_ = 0;
    int page_ = 1;
    // The user's zoom while pages are shown, to come back to after paging.
    struct View {
        QCPRange keys, left, right;
    };
    std::optional<View> viewBeforePaging_;
    std::unique_ptr<ChartPrintJob> printJob_;
    QString lastPdfFile_;
    std::function<void(const std::string&)> notice_;
    std::function<void(const std::string&)> errorReport_;
    std::function<bool()> printerAvailable_;
};

}  // namespace qs
