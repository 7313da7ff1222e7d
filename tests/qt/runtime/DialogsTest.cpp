// Message boxes: exact texts, captions, buttons and icons; the error report;
// silence once the window has gone.
#include <QMainWindow>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "qt/runtime/QtDialogs.h"

namespace qs::test {
namespace {

struct DialogsTest : ::testing::Test {
    QMainWindow window;
    QtDialogs dialogs;
    void SetUp() override {
        window.setWindowTitle(QStringLiteral("KISS-488 GPIB Quillstone Logger v1.10"));
        dialogs.setWindow(&window);
    }
};

TEST_F(DialogsTest, ErrorBoxHasOnlyOkAndNoIconWithTheTextVerbatim) {
    BoxAnswerer answerer;
    const std::string text =
        "Could not connect to KISS-488 via Telnet. Retried 30 times to no avail. Something is stuck.";
    EXPECT_EQ(dialogs.messageBox(text, "ERROR", MsgButtons::Ok, MsgIcon::None), MsgResult::Ok);
    ASSERT_EQ(answerer.boxes().size(), 1u);
    const auto& box = answerer.boxes()[0];
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.text.toStdString(), text);
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
}

TEST_F(DialogsTest, QuestionHasYesAndNoWithWarningIconAndNoAsTheSafeDefault) {
    BoxAnswerer yes(QMessageBox::Yes);
    EXPECT_EQ(dialogs.messageBox("Are you sure?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning), MsgResult::Yes);
    ASSERT_EQ(yes.boxes().size(), 1u);
    EXPECT_EQ(yes.boxes()[0].text, "Are you sure?");
    EXPECT_EQ(yes.boxes()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(yes.boxes()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(yes.boxes()[0].defaultButton, QMessageBox::No);
}

TEST_F(DialogsTest, QuestionAnsweredNoOrClosedGivesNo) {
    BoxAnswerer no(QMessageBox::No);
    EXPECT_EQ(dialogs.messageBox("Are you sure?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning), MsgResult::No);
}

TEST_F(DialogsTest, TextThatLooksLikeMarkupIsShownAsWritten) {
    BoxAnswerer answerer;
    dialogs.messageBox("<b>Need a file name</b>", "", MsgButtons::Ok, MsgIcon::None);
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_EQ(answerer.boxes()[0].text, "<b>Need a file name</b>");
}

TEST_F(DialogsTest, ErrorReportShowsTheMessageInABoxCaptionedWithTheWindow) {
    BoxAnswerer answerer;
    dialogs.showException("'2,5' is not a valid floating point value");
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_EQ(answerer.boxes()[0].text, "'2,5' is not a valid floating point value");
    EXPECT_EQ(answerer.boxes()[0].caption, "KISS-488 GPIB Quillstone Logger v1.10");
    EXPECT_EQ(answerer.boxes()[0].buttons, QMessageBox::Ok);
}

TEST_F(DialogsTest, RepeatOfAnOpenErrorIsNotStackedButADifferentOneIs) {
    // While the first box is open, a timer reports the same error again and
    // then another one (a timer does not fire again while its own slot is
    // still inside the second box).
    int reports = 0;
    QTimer again;
    again.setInterval(30);
    QObject::connect(&again, &QTimer::timeout, [&] {
        ++reports;
        if (reports <= 3) dialogs.showException("same");
        else if (reports == 4) dialogs.showException("other");
    });
    std::vector<QString> seen;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible() && !box->property("seen").toBool()) {
                box->setProperty("seen", true);
                seen.push_back(box->text());
            }
        // Both boxes are closed once the second one has been seen.
        if (seen.size() == 2)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) box->button(QMessageBox::Ok)->click();
    });
    again.start();
    watcher.start();
    dialogs.showException("same");
    again.stop();
    watcher.stop();
    EXPECT_EQ(seen, (std::vector<QString>{"same", "other"}));
}

TEST_F(DialogsTest, AReportFromACallbackOpensItsBoxOnlyAfterTheCallbackReturnedAndOnce) {
    BoxAnswerer answerer;
    bool boxInsideTheCallback = false;
    QTimer::singleShot(0, [&] {
        // A box shown here would have been answered before this returns.
        dialogs.reportLater("'x' is not a valid integer value");
        dialogs.reportLater("'x' is not a valid integer value");
        boxInsideTheCallback = !answerer.boxes().empty();
    });
    WaitFor([&] { return !answerer.boxes().empty(); }, 2000);
    QTest::qWait(100);
    EXPECT_FALSE(boxInsideTheCallback);
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_EQ(answerer.boxes()[0].text, "'x' is not a valid integer value");
}

TEST_F(DialogsTest, SilentAfterTheWindowClosedAnswersWithoutShowing) {
    BoxAnswerer answerer;
    dialogs.setSilent(true);
    EXPECT_EQ(dialogs.messageBox("x", "ERROR", MsgButtons::Ok, MsgIcon::None), MsgResult::Ok);
    EXPECT_EQ(dialogs.messageBox("Are you sure?", "", MsgButtons::YesNo, MsgIcon::Warning), MsgResult::No);
    dialogs.showException("late");
    QTest::qWait(50);
    EXPECT_TRUE(answerer.boxes().empty());
}

}  // namespace
}  // namespace qs::test
