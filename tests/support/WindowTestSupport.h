#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ConfigLines.h"
#include "SimulatorProcess.h"

namespace qs::test {

// Runs the event loop until pred holds or timeoutMs has passed.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
    return QTest::qWaitFor([&] { return pred(); }, timeoutMs);
}

// Answers every modal message box that opens while it lives, recording what
// each one said: a box nobody answers would hang the test.
class BoxAnswerer {
public:
    struct Box {
        QString caption, text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
    };

    // answer: the button pressed in a box that offers it; otherwise its default.
    explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    const std::vector<Box>& boxes() const { return boxes_; }

private:
    void poll() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible()) continue;
            QAbstractButton* def = box->defaultButton();
            boxes_.push_back({box->windowTitle(), box->text(), box->standardButtons(), box->icon(),
                              def ? box->standardButton(def) : QMessageBox::NoButton});
            QAbstractButton* b = box->button(answer_);
            if (!b) b = def ? def : box->buttons().value(0);
            if (b) b->click();
        }
    }

    QMessageBox::StandardButton answer_;
    QTimer timer_;
    std::vector<Box> boxes_;
};

}  // namespace qs::test
