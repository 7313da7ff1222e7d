#pragma once
#include <QWidget>

#include <optional>
#include <string>

#include "qt/chart/ChartExport.h"
#include "stability/DataAnalysis.h"

class QCustomPlot;
class QLabel;
class QPushButton;
class QTableWidget;

namespace qs {

// The "Stability" window: above, the statistics of each channel's readings
// (and the regression of channel 1 on channel 2 in Alternate Commands),
// below, OADEV, MDEV and HDEV against tau on logarithmic axes, OADEV with
// its error bars. It shows what it is given (see StabilityFeed, which
// refreshes it at most once a second) and works nothing out itself: a
// refresh costs a few cells and a few dozen points. Its own top-level
// window, so the main window's layout stays as it is.
class StabilityWindow : public QWidget {
    Q_OBJECT
public:
    explicit StabilityWindow(QWidget* parent = nullptr);

    // Shows these figures; while the window is hidden they wait for it to
    // be shown.
    void showFigures(const DataAnalysis& analysis);
    // Shows the window, raised, with the latest figures.
    void open();

    // setters
    // Asks where to save (the save dialog unless replaced).
    void setFileChooser(ChartFileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setFolder(std::function<QString()> folder) { folder_ = std::move(folder); }
    // Where a failure to save is reported (a saved or copied chart is told
    // beside the buttons).
    void setErrorReport(std::function<void(const std::string&)> report) { errorReport_ = std::move(report); }

    // getters for tests
    QTableWidget* table() const { return table_; }
    QCustomPlot* plot() const { return plot_; }
    long long refreshes() const { return refreshes_; }
    QString notice() const;
    // The figures shown last.
    const DataAnalysis& shown() const { return analysis_; }

    // The buttons' commands.
    void saveAs();
    bool save(const ChartFile& file, std::string& error);
    void copy();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildChart();
    void render();
    void fillTable();
    void fillChart();

    QTableWidget* table_ = nullptr;
    QCustomPlot* plot_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* notice_ = nullptr;  // what the last save or copy did
    DataAnalysis analysis_;
    bool stale_ = false;
    long long refreshes_ = 0;
    ChartFileChooser chooseFile_;
    std::function<QString()> folder_;
    std::function<void(const std::string&)> errorReport_;
};

// A figure as the Stability window shows it: 12 significant digits, "none"
// for one that does not exist; never the user's locale.
QString StabilityFigureText(const std::optional<double>& value);

}  // namespace qs
