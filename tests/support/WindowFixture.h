#pragma once
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TempWorkDir.h"
#include "WindowTestSupport.h"
#include "qt/app/LoggerApp.h"

namespace qs::test {

// The whole program in this process, in a fresh working directory, with its
// window shown; closed (settings saved) and torn down after the test.
struct WindowFixture : ::testing::Test {
    TempWorkDir dir;
    std::unique_ptr<LoggerApp> app;

    // Writes config before the window is created, when the test needs one.
    virtual void prepare() {}

    void SetUp() override {
        prepare();
        app = std::make_unique<LoggerApp>();
        app->create();
        app->window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window));
        app->window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app->window));
    }
    void TearDown() override {
        if (app) app->window.close();
        app.reset();
    }

    TGPIBTelnet& logger() { return app->logger; }
    Quillstone3& window() { return app->window; }

    template <typename W>
    W* view(std::string_view name) {
        return qobject_cast<W*>(app->window.widgetOf(name));
    }
    QLineEdit* edit(std::string_view name) { return view<QLineEdit>(name); }

    // A person types text into the box (replacing what it held) and leaves it.
    void typeAndLeave(std::string_view name, const QString& text, std::string_view next = "HostBox") {
        QLineEdit* e = edit(name);
        e->setFocus(Qt::MouseFocusReason);
        e->selectAll();
        QTest::keyClicks(e, text);
        edit(next)->setFocus(Qt::TabFocusReason);
    }
    void click(std::string_view name) { QTest::mouseClick(app->window.widgetOf(name), Qt::LeftButton); }
};

}  // namespace qs::test
