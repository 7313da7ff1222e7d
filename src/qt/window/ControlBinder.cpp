#include "qt/window/ControlBinder.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "qt/runtime/QtRuntime.h"

namespace qs {

namespace {

QString toQt(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string fromQt(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

ControlBinder::ControlBinder(QtRuntime& runtime, QObject* parent) : QObject(parent), runtime_(runtime) {}

ControlBinder::~ControlBinder() {
    // The models outlive their widgets: they must stop calling into them.
    for (TControl* model : bound_) model->onViewUpdate = nullptr;
    for (auto& [view, edit] : edits_) edit->onFocusRequest = nullptr;
}

void ControlBinder::forward(const std::function<void()>& input) {
    if (active_) runtime_.dispatch(input);
}

void ControlBinder::bind(TButton& model, QPushButton* view) {
    QPointer<QPushButton> v(view);
    model.onViewUpdate = [this, &model, v] {
        if (!v || v->isEnabled() == model.enabled()) return;
        if (!model.enabled() && v->hasFocus()) handOnFocus(v);
        v->setEnabled(model.enabled());
        if (model.enabled()) takeParkedFocus(v);
    };
    v->setEnabled(model.enabled());
    buttons_.push_back(v);
    // A disabled button takes no click: the model's Click runs whatever its
    // state, so only an enabled one is forwarded.
    connect(view, &QPushButton::clicked, this, [this, &model] {
        if (model.enabled()) forward([&model] { model.Click(); });
    });
    bound_.push_back(&model);
    addHinted(view, &model);
}

// Left to itself, Qt gives the focus of a disabled button to the next
// widget in the tab order: after Start that is Command 1 with its whole text
// selected, and a stray key would replace the instrument command. Start and
// Stop hand the focus to each other instead.
void ControlBinder::handOnFocus(QPushButton* disabled) {
    QWidget* group = disabled->parentWidget();
    for (const QPointer<QPushButton>& b : buttons_) {
        if (b && b != disabled && b->parentWidget() == group && b->isEnabled()) {
            b->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    // None enabled yet: the window holds the focus until one is.
    if (QWidget* window = disabled->window()) {
        window->setFocus(Qt::OtherFocusReason);
        parkedIn_ = group;
    }
}

void ControlBinder::takeParkedFocus(QPushButton* enabled) {
    if (!parkedIn_ || enabled->parentWidget() != parkedIn_) return;
    parkedIn_ = nullptr;
    // Unless the person has put the focus somewhere meanwhile.
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus == enabled->window()) enabled->setFocus(Qt::OtherFocusReason);
}

void ControlBinder::bind(TEdit& model, QLineEdit* view) {
    QPointer<QLineEdit> v(view);
    model.onViewUpdate = [&model, v] {
        if (!v) return;
        const QString text = toQt(model.text());
        // Rewriting an unchanged text would move the cursor under the typist.
        if (v->text() != text) v->setText(text);
        v->setEnabled(model.enabled());
        v->setReadOnly(model.readOnly());
    };
    model.onViewUpdate();
    model.onFocusRequest = [v] {
        if (v) v->setFocus(Qt::OtherFocusReason);
    };
    // textEdited is the person's typing only; the program's changes come in
    // through the model.
    connect(view, &QLineEdit::textEdited, this,
            [this, &model](const QString& text) { forward([&model, text] { model.setText(fromQt(text)); }); });
    view->installEventFilter(this);
    edits_.emplace_back(view, &model);
    bound_.push_back(&model);
    addHinted(view, &model);
}

void ControlBinder::bind(TCheckBox& model, QCheckBox* view) {
    QPointer<QCheckBox> v(view);
    model.onViewUpdate = [&model, v] {
        if (!v) return;
        const QSignalBlocker block(v.data());
        v->setChecked(model.checked());
        v->setEnabled(model.enabled());
    };
    model.onViewUpdate();
    connect(view, &QCheckBox::toggled, this, [this, &model](bool checked) {
        forward([&model, checked] { model.setChecked(checked); });
    });
    bound_.push_back(&model);
    addHinted(view, &model);
}

void ControlBinder::bind(TRadioButton& model, QRadioButton* view) {
    QPointer<QRadioButton> v(view);
    // The model keeps the group's exclusivity; the widget only mirrors it, so
    // it is not auto-exclusive and a click cannot take its check away.
    view->setAutoExclusive(false);
    model.onViewUpdate = [&model, v] {
        if (!v) return;
        const QSignalBlocker block(v.data());
        v->setChecked(model.checked());
        v->setEnabled(model.enabled());
    };
    model.onViewUpdate();
    connect(view, &QRadioButton::toggled, this, [this, &model, v](bool checked) {
        if (checked) {
            forward([&model] { model.setChecked(true); });
        } else if (v) {
            const QSignalBlocker block(v.data());
            v->setChecked(model.checked());
        }
    });
    bound_.push_back(&model);
    addHinted(view, &model);
}

void ControlBinder::bind(TLabel& model, QLabel* view) {
    QPointer<QLabel> v(view);
    view->setTextFormat(Qt::PlainText);
    model.onViewUpdate = [&model, v] {
        if (!v) return;
        v->setText(toQt(model.caption()));
        v->setEnabled(model.enabled());
    };
    model.onViewUpdate();
    bound_.push_back(&model);
}

void ControlBinder::bindForm(TForm& model, QMainWindow* view, QWidget* hintArea) {
    form_ = &model;
    QPointer<QMainWindow> v(view);
    model.onViewUpdate = [this, &model, v] {
        if (v) v->setWindowTitle(toQt(model.caption()));
        applyHints();
    };
    bound_.push_back(&model);
    hinted_.push_back({hintArea, &model, {}});
    model.onViewUpdate();
}

void ControlBinder::addHint(QWidget* view, std::string hint) {
    hinted_.push_back({view, nullptr, std::move(hint)});
    applyHints();
}

void ControlBinder::addHinted(QWidget* view, const TControl* model) {
    hinted_.push_back({view, model, {}});
    applyHints();
}

void ControlBinder::applyHints() {
    const bool show = !form_ || form_->showHint();
    for (const Hinted& h : hinted_) {
        if (!h.view) continue;
        h.view->setToolTip(show ? toQt(h.model ? h.model->hint() : h.hint) : QString());
    }
}

bool ControlBinder::eventFilter(QObject* watched, QEvent* event) {
    const bool in = event->type() == QEvent::FocusIn;
    if (!in && event->type() != QEvent::FocusOut) return QObject::eventFilter(watched, event);
    TEdit* model = nullptr;
    for (auto& [view, edit] : edits_) {
        if (view == watched) model = edit;
    }
    if (!model) return QObject::eventFilter(watched, event);
    // Switching to another window or opening a menu or message box does not
    // leave the box: the focus comes back to it, and so does the typist.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
        return QObject::eventFilter(watched, event);
    if (in) {
        forward([model] { model->setFocused(true); });
        return QObject::eventFilter(watched, event);
    }
    forward([model] { model->setFocused(false); });
    // Only a move of the focus within the window is an exit: a box the
    // program disables (Start disables IntervalBox) loses the focus too, in
    // the middle of that handler, and that is no exit.
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget && widget->isEnabled()) forward([model] { model->exit(); });
    return QObject::eventFilter(watched, event);
}

}  // namespace qs
