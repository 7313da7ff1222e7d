// The chart menu of QtChart: saving and copying the chart as shown, showing
// every point again, and the legend and gap switches.
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QMenu>

#include "qt/QtChart.h"

namespace qs {

namespace {
const QString kSaveAs = QStringLiteral("Save Chart As...");
const QString kCopy = QStringLiteral("Copy Chart");
const QString kShowAll = QStringLiteral("Show All Points");
const QString kLegend = QStringLiteral("Legend");
const QString kJoinGaps = QStringLiteral("Join Gaps");
}  // namespace

void QtChart::buildMenu() {
    menu_ = new QMenu(plot_);
    menu_->setObjectName(QStringLiteral("ChartMenu"));
    // Each command runs from the person's click in the menu, never from a
    // timer or a socket: the save dialog's nested loop is safe there.
    connect(menu_->addAction(kSaveAs), &QAction::triggered, this, [this] { saveChartAs(); });
    connect(menu_->addAction(kCopy), &QAction::triggered, this, [this] { copyChart(); });
    connect(menu_->addAction(kShowAll), &QAction::triggered, this, [this] { showAllPoints(); });
    menu_->addSeparator();
    QAction* legend = menu_->addAction(kLegend);
    legend->setCheckable(true);
    legend->setChecked(plot_->lineLegend().enabled());
    connect(legend, &QAction::toggled, this, [this](bool on) { setLegendShown(on); });
    QAction* join = menu_->addAction(kJoinGaps);
    join->setCheckable(true);
    join->setChecked(gapsJoined_);
    connect(join, &QAction::toggled, this, [this](bool on) { setGapsJoined(on); });
}

QAction* QtChart::menuAction(const QString& text) const {
    if (!menu_) return nullptr;
    for (QAction* action : menu_->actions())
        if (action->text() == text) return action;
    return nullptr;
}

// Opened without a nested loop: the menu's commands run from the person's
// later click, once this mouse event has been handled.
void QtChart::openMenu(QPoint globalPos) {
    if (menu_) menu_->popup(globalPos);
}

void QtChart::showAllPoints() { useAutoView(); }

bool QtChart::saveChart(const ChartFile& file, std::string& error) {
    if (!plot_) return false;
    // The chart as it is about to show, with every change so far.
    replotNow();
    bool saved = false;
    switch (file.format) {
        case ChartFile::Format::Png: saved = plot_->savePng(file.path, 0, 0, 1.0); break;
        case ChartFile::Format::PngDoubleSize: saved = plot_->savePng(file.path, 0, 0, 2.0); break;
        case ChartFile::Format::Pdf:
            saved = plot_->savePdf(file.path, 0, 0, QCP::epAllowCosmetic, QStringLiteral("Quillstone"),
                                   QStringLiteral("Quillstone chart"));
            break;
    }
    if (!saved) error = "Cannot write the chart to \"" + file.path.toStdString() + "\".";
    return saved;
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
    QApplication::clipboard()->setImage(plot_->toPixmap().toImage());
    if (notice_) notice_("Chart copied to the clipboard.");
}

}  // namespace qs
