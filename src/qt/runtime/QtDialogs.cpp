#include "qt/runtime/QtDialogs.h"

#include <QMessageBox>
#include <QPushButton>

namespace qs {

namespace {

QString toQt(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The caption of an error report: the window's own, as the application
// object of a desktop program shows it.
QString errorCaption(const QWidget* window) {
    if (window && !window->windowTitle().isEmpty()) return window->windowTitle();
    return QStringLiteral("Quillstone");
}

}  // namespace

MsgResult QtDialogs::messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                MsgIcon icon) {
    if (silent_) return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;

    QMessageBox box(icon == MsgIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, toQt(caption),
                    toQt(text), QMessageBox::NoButton, window_);
    // The texts are shown exactly as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (buttons == MsgButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.exec();
        return MsgResult::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // The one question asked is whether to erase data for good: Enter or
    // Escape must not erase it.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes) ? MsgResult::Yes : MsgResult::No;
}

void QtDialogs::showException(const std::string& message) {
    if (silent_) return;
    if (!openErrors_.insert(message).second) return;
    QMessageBox box(QMessageBox::Critical, errorCaption(window_), toQt(message), QMessageBox::Ok, window_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    openErrors_.erase(message);
}

void QtDialogs::reportLater(const std::string& message) {
    if (silent_ || openErrors_.count(message) != 0 || !queuedErrors_.insert(message).second) return;
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            queuedErrors_.erase(message);
            showException(message);
        },
        Qt::QueuedConnection);
}

}  // namespace qs
