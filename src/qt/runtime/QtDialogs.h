#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <set>
#include <string>

#include "platform/Dialogs.h"

namespace qs {

// Modal message boxes on top of the window, with the exact texts, captions,
// buttons and icons the logic asks for.
class QtDialogs : public QObject, public IDialogs {
public:
    // getters
    bool silent() const { return silent_; }

    // setters
    // The window the boxes belong to (centred on it, modal to it).
    void setWindow(QWidget* window) { window_ = window; }
    // After the window has closed nobody is there to answer: boxes are not
    // shown, an OK box counts as OK and a Yes/No box as No.
    void setSilent(bool silent) { silent_ = silent; }

    MsgResult messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    // A box with the error's text. While a box with the same text is still
    // open, a repeat of it is not stacked on top: a timer that fails at
    // every tick would otherwise bury the window under identical boxes.
    void showException(const std::string& message) override;

    // The error report of the event loop's callbacks (timer ticks, link
    // events, input, a finished print job): the box of showException, opened
    // once the callback that raised the error has returned. A box is a
    // nested event loop; opened inside a socket's or a timer's callback it
    // would let the link be torn down under that callback, and hold back
    // the link's next data until it closed. A report already waiting or
    // shown is not queued again.
    void reportLater(const std::string& message);

private:
    QPointer<QWidget> window_;
    bool silent_ = false;
    std::set<std::string> openErrors_;
    std::set<std::string> queuedErrors_;
};

}  // namespace qs
