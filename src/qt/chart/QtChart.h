#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <qcustomplot.h>

#include "platform/Chart.h"
#include "qt/chart/ChartExport.h"
#include "qt/chart/ChartMenu.h"
#include "qt/chart/ChartPlot.h"
#include "qt/chart/ChartPrintJob.h"
#include "qt/chart/QtSeries.h"

class QMenu;
class QAction;

namespace qs {

// Chart1 on QCustomPlot: six line series (command 1 on the left axis,
// command 2 on the right), a UTC date-time bottom axis, paging and printing.
class QtChart : public QObject, public IChart {
    Q_OBJECT
public:
    explicit QtChart(QObject* parent = nullptr);
    ~QtChart() override;

    // IChart
    ISeries& Series(int n) override;
    void Redraw() override;

    int GetPointsPerPage() const override { return pointsPerPage_; }
    void SetPointsPerPage(int points) override;
    void SetPage(int page) override;
    int PageCount() const override;
    void PrintLandscape() override;
    std::string PrinterName() const override;

    // The chart's widget; the window lays it out (and may own it).
    QCustomPlot* widget() const { return plot_; }

    // setters
    // Where to tell the user about a finished print job, e.g. the status line.
    void setNotice(std::function<void(const std::string&)> notice) { notice_ = std::move(notice); }
    // Where a failed print job is reported (the default error report).
    void setErrorReport(std::function<void(const std::string&)> report) { errorReport_ = std::move(report); }
    // Whether a default printer exists; without one the pages go to a PDF file.
    void setPrinterAvailable(std::function<bool()> available) { printerAvailable_ = std::move(available); }
    // The texts of the two commands, which title the value axes; asked at
    // every repaint.
    void setCommands(std::function<std::pair<std::string, std::string>()> commands) { commands_ = std::move(commands); }
    // The data file's name, for the title line of printed pages and saved charts.
    void setDataFileName(std::function<std::string()> name) { dataFileName_ = std::move(name); }
    // The folder the save dialog opens in.
    void setSaveFolder(std::function<QString()> folder) { saveFolder_ = std::move(folder); }
    // Asks where to save the chart (the save dialog unless replaced).
    void setFileChooser(ChartFileChooser chooser) { chooseFile_ = std::move(chooser); }
    // Told whenever the chart starts or stops following new samples, with
    // what to say of it ("Following new samples").
    void setFollowingNotice(std::function<void(const std::string&)> notice);
    // The chart menu's switches (their ticks in the menu follow).
    void setLegendShown(bool shown);
    void setGapsJoined(bool joined);

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
    ChartPlot& plot() const { return *plot_; }
    bool gapsJoined() const { return gapsJoined_; }
    bool legendShown() const { return plot_->lineLegend().enabled(); }
    // The chart menu and its action of the given text.
    QMenu* menu() const { return menu_ ? menu_->menu() : nullptr; }
    QAction* menuAction(const QString& text) const { return menu_ ? menu_->action(text) : nullptr; }

    // Repaints now if a repaint is pending.
    void replotNow();
    // Writes the chart as now shown to a file; false and why when it cannot.
    bool saveChart(const ChartFile& file, std::string& error);
    // The chart menu's commands.
    void saveChartAs();
    void copyChart();
    void showAllPoints();

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
    // What every repaint draws beyond the points: the gaps and the legend.
    void prepareLines();
    void tellFollowing();
    // The title line of a printed page or a saved chart, as now shown.
    QString titleLine() const;

    // members
    QPointer<ChartPlot> plot_;
    std::array<std::unique_ptr<QtSeries>, 6> series_;
    std::unique_ptr<ChartMenu> menu_;
    bool gapsJoined_ = false;
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
    std::function<void(const std::string&)> followingNotice_;
    std::optional<bool> followingTold_;
    std::function<void(const std::string&)> errorReport_;
    std::function<bool()> printerAvailable_;
    std::function<std::pair<std::string, std::string>()> commands_;
    std::function<QString()> saveFolder_;
    std::function<std::string()> dataFileName_;
    std::array<bool, 2> axesShown_{};  // left, right: a line is drawn on it
    ChartFileChooser chooseFile_;
};

}  // namespace qs
