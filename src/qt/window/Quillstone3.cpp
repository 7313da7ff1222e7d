#include "qt/window/Quillstone3.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "chart/GapWidth.h"
#include "qt/chart/QtChart.h"
#include "qt/runtime/QtDialogs.h"
#include "qt/runtime/QtRuntime.h"
#include "window/TGPIBTelnet.h"

namespace qs {

namespace {
// How long a notice (a finished print job) stays in the status line.
constexpr int kNoticeMs = 30000;
}  // namespace

Quillstone3::Quillstone3(TGPIBTelnet& window, QtRuntime& runtime, QtDialogs& dialogs, QtChart& chart,
                         QWidget* parent)
    : QMainWindow(parent),
      window_(window),
      runtime_(runtime),
      dialogs_(dialogs),
      chart_(chart),
      inventory_(window),
      binder_(runtime) {
    setObjectName(QString::fromStdString(window.Form.name()));

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QWidget* panel = buildPanel();
    scroll->setWidget(panel);
    scroll->setMinimumWidth(panel->sizeHint().width() + 20);
    splitter->addWidget(scroll);

    QCustomPlot* plot = chart.widget();
    plot->setObjectName(QStringLiteral("Chart1"));
    auto* right = new QWidget;
    auto* rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 6, 6, 0);
    rightColumn->addWidget(buildReadouts());
    rightColumn->addWidget(plot, 1);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    widgets_.emplace("Chart1", plot);
    binder_.addHint(plot, std::string(kChartHint));
    setCentralWidget(splitter);

    buildStatusBar();
    // The window's own hint shows where no control is under the mouse.
    binder_.bindForm(window.Form, this, splitter);

    chart.setNotice([this](const std::string& text) {
        statusBar()->showMessage(QString::fromStdString(text), kNoticeMs);
    });
    // A line breaks where samples paused for longer than three intervals and
    // the watchdog's time-out: as the logger is set now.
    chart.setGapSeconds([&w = window_] { return GapSeconds(w.State.IntervalSeconds, w.WatchdogTimer.interval()); });
    // Saved charts go next to the data, named in the "Data File:" box.
    chart.setSaveFolder([&w = window_] {
        return QFileInfo(QDir::current(), QString::fromStdString(w.TextFileBox.text())).absolutePath();
    });

    QSize size(1400, 900);
    if (const QScreen* s = screen()) size = size.boundedTo(s->availableSize() * 0.95);
    resize(size);
}

Quillstone3::~Quillstone3() {
    chart_.setNotice(nullptr);
    chart_.setGapSeconds(nullptr);
    chart_.setSaveFolder(nullptr);
    // The chart widget belongs to the chart object, which outlives this window.
    if (QWidget* plot = widgetOf("Chart1")) plot->setParent(nullptr);
}

void Quillstone3::buildStatusBar() {
    for (const ControlEntry& e : inventory_.controls()) {
        TLabel* model = e.label();
        if (e.place != ControlPlace::StatusBar || !model) continue;
        auto* label = new QLabel;
        label->setObjectName(QString::fromStdString(model->name()));
        if (model == &window_.DataFileStatus) label->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));
        binder_.bind(*model, label);
        statusBar()->addPermanentWidget(label);
        widgets_.emplace(model->name(), label);
    }
}

QWidget* Quillstone3::widgetOf(std::string_view name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

Quillstone3::Labels Quillstone3::labelsOf(std::string_view name) const {
    auto it = labels_.find(name);
    return it == labels_.end() ? Labels{} : it->second;
}

QLabel* Quillstone3::staticTextLabel(std::string_view text) const {
    auto it = staticTexts_.find(text);
    return it == staticTexts_.end() ? nullptr : it->second;
}

void Quillstone3::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    bool canClose = true;
    runtime_.dispatch([this, &canClose] { window_.FormCloseQuery(canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    closed_ = true;
    // Handlers may still be on the stack inside their waits (Start's
    // attempts, the watchdog's recovery): every wait ends now, nothing new
    // starts, and a box they would still raise finds nobody to answer it.
    binder_.setActive(false);
    dialogs_.setSilent(true);
    runtime_.shutDown();
    event->accept();
    emit closed();
}

void Quillstone3::keyPressEvent(QKeyEvent* event) {
    // Start is the window's default button: Enter presses it while it is
    // enabled and does nothing while it is not.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (startButton_ && startButton_->isEnabled()) startButton_->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace qs
