#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

#include "platform/Controls.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QRadioButton;

namespace qs {

class QtRuntime;

// Ties the model controls to their widgets. Each widget mirrors its model
// through the model's view hook; the person's input goes back through the
// model's own setters, so the model raises the handlers exactly as when the
// program changes a control. Input is dispatched guarded: an exception from
// a handler is reported and the window goes on.
class ControlBinder : public QObject {
    Q_OBJECT
public:
    explicit ControlBinder(QtRuntime& runtime, QObject* parent = nullptr);
    ~ControlBinder() override;

    void bind(TButton& model, QPushButton* view);
    void bind(TEdit& model, QLineEdit* view);
    void bind(TCheckBox& model, QCheckBox* view);
    void bind(TRadioButton& model, QRadioButton* view);
    void bind(TLabel& model, QLabel* view);
    // The window: its caption, its own hint (shown on hintArea, where no
    // control is under the mouse) and the switch for every hint.
    void bindForm(TForm& model, QMainWindow* view, QWidget* hintArea);
    // A widget with a fixed hint that follows the window's hint switch.
    void addHint(QWidget* view, std::string hint);

    // After the window has closed, input is no longer forwarded.
    void setActive(bool active) { active_ = active; }
    bool active() const { return active_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void forward(const std::function<void()>& input);
    void applyHints();
    void addHinted(QWidget* view, const TControl* model);
    // The focus of a button the program disables goes to the button of its
    // group that is (or next becomes) enabled, never on to a text box.
    void handOnFocus(QPushButton* disabled);
    void takeParkedFocus(QPushButton* enabled);

    // members
    QtRuntime& runtime_;
    bool active_ = true;
    TForm* form_ = nullptr;
    struct Hinted {
        QPointer<QWidget> view;
        const TControl* model;  // nullptr: a fixed hint
        std::string hint;
    };
    std::vector<Hinted> hinted_;
    std::vector<TControl*> bound_;
    std::vector<std::pair<QObject*, TEdit*>> edits_;
    std::vector<QPointer<QPushButton>> buttons_;
    // The group whose focused button was disabled before another was enabled.
    QPointer<QWidget> parkedIn_;
};

}  // namespace qs
