#pragma once
#include <QMainWindow>

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "qt/window/ControlBinder.h"
#include "window/ControlInventory.h"

class QGroupBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace qs {

class QtChart;
class QtDialogs;
class QtRuntime;
class TGPIBTelnet;

// The logger's window on the screen: the widgets of every control of
// TGPIBTelnet, built by walking its control inventory, beside the chart.
// The window is a view: the controls' state lives in TGPIBTelnet, which runs
// every handler; this class mirrors it and forwards the person's input.
class Quillstone3 : public QMainWindow {
    Q_OBJECT
public:
    Quillstone3(TGPIBTelnet& window, QtRuntime& runtime, QtDialogs& dialogs, QtChart& chart,
                QWidget* parent = nullptr);
    ~Quillstone3() override;

    // The labels that stand around a control.
    struct Labels {
        QLabel* before = nullptr;
        QLabel* after = nullptr;
        QLabel* note = nullptr;
    };

    // getters
    // The widget of the named control (or "Chart1"); nullptr when there is none.
    QWidget* widgetOf(std::string_view name) const;
    Labels labelsOf(std::string_view name) const;
    // The label showing a text that names no single control; nullptr when none.
    QLabel* staticTextLabel(std::string_view text) const;
    // The area that shows the window's own hint.
    QWidget* hintArea() const { return centralWidget(); }
    bool hasClosed() const { return closed_; }

    // The state of the publishing to a broker, at the right of the status
    // bar ("MQTT: connected to HOST"); the label appears with the first text.
    void showPublishing(const std::string& text);
    // Where the page is served, beside it ("Serving http://127.0.0.1:8080/").
    void showServing(const std::string& text);
    // The folder the logger works in ("Working in /home/ann/Quillstone"), at
    // the left of the status bar whenever no notice stands there.
    void showWorkingFolder(const std::string& text);

signals:
    // The close went through: settings saved, every wait ended.
    void closed();
    // The person asked for the Stability window (its button, the chart menu).
    void stabilityAsked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A label at the right of the status bar, made with its first text.
    void showAtRight(const QString& name, const std::string& text);
    // The settings, group above group, in a column beside the chart.
    QWidget* buildPanel();
    QGroupBox* buildGroup(LayoutGroup group);
    // The read-outs of the latest sample, in a strip above the chart.
    QWidget* buildReadouts();
    QGroupBox* buildReadoutGroup(LayoutGroup group);
    // Groups of display labels only: the read-outs.
    bool isReadoutGroup(LayoutGroup group) const;
    QWidget* makeWidget(const ControlEntry& entry);
    QLabel* makeLabel(std::string_view text, bool bold = false);
    void buildStatusBar();
    void addKeys();

    // members
    TGPIBTelnet& window_;
    QtRuntime& runtime_;
    QtDialogs& dialogs_;
    QtChart& chart_;
    ControlInventory inventory_;
    ControlBinder binder_;
    std::map<std::string, QWidget*, std::less<>> widgets_;
    std::map<std::string, Labels, std::less<>> labels_;
    std::map<std::string, QLabel*, std::less<>> staticTexts_;
    QPushButton* startButton_ = nullptr;
    QPushButton* stabilityButton_ = nullptr;  // beside the print button
    bool closed_ = false;
    QString workingFolder_;  // the status bar's resting message; empty when none
};

}  // namespace qs
