// The window a person sees: every control with its caption, default, labels
// and hint; hints switched off and on; input reaching the handlers.
#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QStatusBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>

#include "WindowFixture.h"
#include "platform/Exception.h"
#include "window/ControlInventory.h"

namespace qs::test {
namespace {

using WindowControlsTest = WindowFixture;

// What each control shows at start, as the window's design gives it.
struct Expected {
    const char* name;
    const char* text;  // caption of a button, box or label; text of an edit
    int checked;       // check boxes and radio buttons: 1 or 0; else -1
    bool enabled;
};

const Expected kDesign[] = {
    {"StartButton", "Start", -1, true},
    {"ResetButton", "Stop", -1, false},
    {"DeleteButton", "Empty the Data File", -1, true},
    {"LoadButton", "Load Data File", -1, true},
    {"OpenFolderButton", "Open Data Folder", -1, true},
    {"PrintButton", "Print to Default Printer", -1, true},
    {"HostBox", "192.168.1.88", -1, true},
    {"IntervalBox", "2", -1, true},
    {"TimeOutBox", "5", -1, true},
    {"CommandBox", "MEAS:VOLT:DC? 5,0.00001", -1, true},
    {"CommandBox2", "MEAS:VOLT:DC? 5,0.00001", -1, true},
    {"MeanBox", "10", -1, true},
    {"FilterPoints", "10", -1, true},
    {"ScrollBox", "0", -1, true},
    {"MinStringBox", "5", -1, true},
    {"SamplesPerPrintedPage", "500", -1, true},
    {"TextFileBox", "Data.txt", -1, true},
    {"MeasuredBox", "", -1, true},
    {"DisplayDataBox", "Plot Raw Data", 1, true},
    {"DisplayMeanBox", "Plot Mean using", 1, true},
    {"FilterCheckbox", "Plot RC-Filter", 1, true},
    {"BoldRaw", "", 1, true},
    {"BoldMean", "", 0, true},
    {"BoldFilter", "", 0, true},
    {"DeleteFirstCheckBox", "Delete first character of results", 0, true},
    {"HintBox", "Display Hints", 1, true},
    {"AutoReconnect", "Auto-Reconnect if data flow stops unexpectedly.", 1, true},
    {"StrandedCheckBox", "During time-outs, attempt to use stranded data.", 1, true},
    {"SaveResultsBox", "Save Raw GPIB Results", 0, true},
    {"AbsoluteCheckBox", "Absolute Timer", 0, true},
    {"RadioButton1", "Send Command 1", 1, true},
    {"RadioButton2", "Send Command 2", 0, true},
    {"RadioButton3", "Alternate Commands", 0, true},
    {"DateBox", "", -1, true},
    {"LastBox", "", -1, true},
    {"UnitsBox", "   ", -1, true},
    {"CountBox", "0", -1, true},
    {"MaxBox", "0", -1, true},
    {"MinBox", "0", -1, true},
    {"DiffBox", "0", -1, true},
    {"ShowMean", "0", -1, true},
    {"FilterValue", "0", -1, true},
    {"CountDown", "", -1, true},
};

QString shownText(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return QStringLiteral("<unknown widget>");
}

TEST_F(WindowControlsTest, EveryControlShowsItsDesignState) {
    EXPECT_EQ(window().windowTitle(), "KISS-488 GPIB Quillstone Logger v1.10");
    for (const Expected& e : kDesign) {
        SCOPED_TRACE(e.name);
        QWidget* w = window().widgetOf(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(shownText(w), QString::fromUtf8(e.text));
        EXPECT_EQ(w->isEnabled(), e.enabled);
        if (e.checked >= 0) {
            EXPECT_EQ(qobject_cast<QAbstractButton*>(w)->isChecked(), e.checked == 1);
        }
    }
    EXPECT_TRUE(edit("MeasuredBox")->isReadOnly());
    EXPECT_FALSE(edit("HostBox")->isReadOnly());
}

TEST_F(WindowControlsTest, EveryControlOfTheInventoryIsOnTheWindowAndMirrorsItsModel) {
    const ControlInventory inventory(logger());
    ASSERT_FALSE(inventory.controls().empty());
    for (const ControlEntry& e : inventory.controls()) {
        SCOPED_TRACE(std::string(e.name));
        QWidget* w = window().widgetOf(e.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisibleTo(&window()));
        switch (e.kind) {
            case ControlKind::Button: EXPECT_EQ(shownText(w).toStdString(), e.button()->caption()); break;
            case ControlKind::Edit: EXPECT_EQ(shownText(w).toStdString(), e.edit()->text()); break;
            case ControlKind::CheckBox: EXPECT_EQ(shownText(w).toStdString(), e.checkBox()->caption()); break;
            case ControlKind::RadioButton: EXPECT_EQ(shownText(w).toStdString(), e.radioButton()->caption()); break;
            case ControlKind::Label: EXPECT_EQ(shownText(w).toStdString(), e.label()->caption()); break;
        }
        const Quillstone3::Labels labels = window().labelsOf(e.name);
        if (!e.before.empty()) {
            ASSERT_NE(labels.before, nullptr);
            EXPECT_EQ(labels.before->text().toStdString(), e.before);
        }
        if (!e.after.empty()) {
            ASSERT_NE(labels.after, nullptr);
            EXPECT_EQ(labels.after->text().toStdString(), e.after);
        }
        if (!e.note.empty()) {
            ASSERT_NE(labels.note, nullptr);
            EXPECT_EQ(labels.note->text().toStdString(), e.note);
        }
    }
    for (const StaticText& t : ControlInventory::texts()) {
        QLabel* l = window().staticTextLabel(t.text);
        ASSERT_NE(l, nullptr) << t.text;
        EXPECT_TRUE(l->isVisibleTo(&window()));
    }
}

TEST_F(WindowControlsTest, LabelsAroundTheBoxesReadAsDesigned) {
    struct Case {
        const char *name, *before, *after, *note;
    };
    const Case cases[] = {
        {"IntervalBox", "Interval (seconds):", "", ""},
        {"TimeOutBox", "Timeout (seconds):", "", ""},
        {"CommandBox", "Command 1:", "", ""},
        {"CommandBox2", "Command 2:", "", ""},
        {"MeanBox", "", "points (zero = all).", ""},
        {"FilterPoints", "", "samples (RC time)", ""},
        {"ScrollBox", "Start scrolling after:", "points.", "0 = disabled."},
        {"MinStringBox", "Minimum Valid String Length Returned:", "characters.", ""},
        {"SamplesPerPrintedPage", "Samples per printed page:", "", ""},
        {"TextFileBox", "Data File:", "", ""},
        {"MeasuredBox", "Last Returned Result:", "", ""},
        {"CountDown", "Next Measurement in:", "seconds.", ""},
        {"DateBox", "Current Time: ", "", ""},
        {"CountBox", "Count: ", "", ""},
        {"ShowMean", "Computed Mean:", "", ""},
        {"FilterValue", "Computed Filter:", "", ""},
    };
    auto text = [](QLabel* l) { return l ? l->text().toStdString() : std::string(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto labels = window().labelsOf(c.name);
        EXPECT_EQ(text(labels.before), c.before);
        EXPECT_EQ(text(labels.after), c.after);
        EXPECT_EQ(text(labels.note), c.note);
    }
    ASSERT_NE(window().staticTextLabel("Bold"), nullptr);
    ASSERT_NE(window().staticTextLabel("Data is appended to the text data file in CSV format."), nullptr);
    EXPECT_TRUE(view<QLabel>("DateBox")->font().bold());
    EXPECT_FALSE(view<QLabel>("MaxBox")->font().bold());
}

TEST_F(WindowControlsTest, HintsAreTheControlsOwnAndTheWindowsIsTheTimeOutText) {
    EXPECT_EQ(edit("TimeOutBox")->toolTip().toStdString(), logger().TimeOutBox.hint());
    EXPECT_EQ(window().hintArea()->toolTip().toStdString(),
              "If no response is seen from the KISS within this time, the connection is forcefully disconnected and "
              "reconnected. Make sure this time intervals is longer than the Interval box.");
    EXPECT_EQ(window().widgetOf("StartButton")->toolTip(),
              "Initiate communications to the GPIB telnet device (like via the Hx Engineering's KISS-488).");
    EXPECT_EQ(edit("MinStringBox")->toolTip(),
              "Must be greater than zero. Indicates the minimum valid number of characters returned via GPIB. ");
    EXPECT_EQ(window().widgetOf("Chart1")->toolTip(),
              "Left mouse drag upper-left to lower-right to ZOOM-IN. Right-mouse to pan. Left drag lower-right to "
              "upper-left to ZOOM-OUT.");
    const ControlInventory inventory(logger());
    for (const ControlEntry& e : inventory.controls()) {
        SCOPED_TRACE(std::string(e.name));
        EXPECT_EQ(window().widgetOf(e.name)->toolTip().toStdString(), e.control->hint());
    }
}

TEST_F(WindowControlsTest, UncheckingHintBoxHidesEveryHintAndCheckingBringsThemBack) {
    click("HintBox");
    EXPECT_FALSE(logger().HintBox.checked());
    EXPECT_FALSE(logger().Form.showHint());
    for (QWidget* w : window().findChildren<QWidget*>()) EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    EXPECT_TRUE(window().hintArea()->toolTip().isEmpty());
    click("HintBox");
    EXPECT_FALSE(window().hintArea()->toolTip().isEmpty());
    EXPECT_FALSE(window().widgetOf("Chart1")->toolTip().isEmpty());
    EXPECT_EQ(window().widgetOf("BoldRaw")->toolTip(), "Make the raw data bold.");
}

TEST_F(WindowControlsTest, MeasuredBoxTakesNoTyping) {
    QTest::keyClicks(edit("MeasuredBox"), "123");
    EXPECT_EQ(logger().MeasuredBox.text(), "");
    EXPECT_EQ(edit("MeasuredBox")->text(), "");
}

TEST_F(WindowControlsTest, TypingRunsTheChangeHandlerAtEveryKeystroke) {
    // MeanBoxChange writes a negative window back as 0.
    QLineEdit* mean = edit("MeanBox");
    mean->setFocus();
    mean->selectAll();
    BoxAnswerer answerer;
    QTest::keyClicks(mean, "-2");
    // The lone minus sign already ran the handler: its conversion error was reported.
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_EQ(logger().MeanBox.text(), "0");
    EXPECT_EQ(mean->text(), "0");
}

TEST_F(WindowControlsTest, LeavingABoxRunsItsExitHandler) {
    // Leaving ScrollBox writes the normalised value back; so does leaving
    // MinStringBox, which runs the same handler and reads ScrollBox.
    typeAndLeave("ScrollBox", "007");
    EXPECT_EQ(edit("ScrollBox")->text(), "7");
    typeAndLeave("ScrollBox", "-3", "MinStringBox");
    EXPECT_EQ(edit("ScrollBox")->text(), "0");
    // The program's change runs no exit handler.
    logger().ScrollBox.setText("012");
    EXPECT_EQ(edit("ScrollBox")->text(), "012");
    typeAndLeave("MinStringBox", "6", "CommandBox");
    EXPECT_EQ(logger().MinStringBox.text(), "6");
    EXPECT_EQ(edit("ScrollBox")->text(), "12");
}

TEST_F(WindowControlsTest, FocusMovingToAnotherWindowIsNoExit) {
    int exits = 0;
    logger().TimeOutBox.OnExit = [&] { ++exits; };
    edit("TimeOutBox")->setFocus(Qt::TabFocusReason);
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(edit("TimeOutBox"), &away);
    EXPECT_EQ(exits, 0);
    edit("HostBox")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(exits, 1);
}

TEST_F(WindowControlsTest, BoxDisabledByTheProgramWhileFocusedRunsNoExit) {
    int exits = 0;
    logger().IntervalBox.OnExit = [&] { ++exits; };
    edit("IntervalBox")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(edit("IntervalBox")->hasFocus());
    logger().IntervalBox.setEnabled(false);
    EXPECT_FALSE(edit("IntervalBox")->hasFocus());
    EXPECT_EQ(exits, 0);
}

TEST_F(WindowControlsTest, ABoxKnowsWhileItHoldsTheFocus) {
    edit("IntervalBox")->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    EXPECT_TRUE(logger().IntervalBox.focused());
    EXPECT_FALSE(logger().HostBox.focused());
    // Another window or a menu: the box keeps the window's focus.
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(edit("IntervalBox"), &away);
    QCoreApplication::processEvents();
    EXPECT_TRUE(logger().IntervalBox.focused());
    edit("HostBox")->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(logger().IntervalBox.focused());
    EXPECT_TRUE(logger().HostBox.focused());
}

TEST_F(WindowControlsTest, ClickingACheckBoxRunsItsHandler) {
    ASSERT_EQ(app->chart.Series(2).PenWidth(), 1);
    click("BoldMean");
    EXPECT_TRUE(logger().BoldMean.checked());
    EXPECT_EQ(app->chart.Series(2).PenWidth(), 2);
    EXPECT_EQ(app->chart.Series(6).PenWidth(), 2);
    click("DisplayDataBox");
    EXPECT_FALSE(app->chart.Series(1).Visible());
    EXPECT_FALSE(app->chart.Series(4).Visible());
}

TEST_F(WindowControlsTest, ProgramChangesReachTheWidgets) {
    logger().CountBox.setCaption("42");
    logger().BoldFilter.setChecked(true);
    logger().RadioButton3.setChecked(true);
    logger().IntervalBox.setEnabled(false);
    EXPECT_EQ(view<QLabel>("CountBox")->text(), "42");
    EXPECT_TRUE(view<QCheckBox>("BoldFilter")->isChecked());
    EXPECT_EQ(app->chart.Series(3).PenWidth(), 2);  // the program's change ran the click handler
    EXPECT_TRUE(view<QRadioButton>("RadioButton3")->isChecked());
    EXPECT_FALSE(view<QRadioButton>("RadioButton1")->isChecked());
    EXPECT_FALSE(edit("IntervalBox")->isEnabled());
}

TEST_F(WindowControlsTest, RadioButtonsStayOneOfThree) {
    click("RadioButton2");
    EXPECT_TRUE(logger().RadioButton2.checked());
    EXPECT_FALSE(logger().RadioButton1.checked());
    // Clicking the selected one keeps it selected.
    click("RadioButton2");
    EXPECT_TRUE(logger().RadioButton2.checked());
    EXPECT_TRUE(view<QRadioButton>("RadioButton2")->isChecked());
    EXPECT_FALSE(view<QRadioButton>("RadioButton1")->isChecked());
}

TEST_F(WindowControlsTest, EnterPressesStartOnlyWhileItIsEnabled) {
    int starts = 0;
    logger().StartButton.OnClick = [&] { ++starts; };
    edit("CommandBox")->setFocus();
    QTest::keyClick(edit("CommandBox"), Qt::Key_Return);
    EXPECT_EQ(starts, 1);
    logger().StartButton.setEnabled(false);
    QTest::keyClick(edit("CommandBox"), Qt::Key_Return);
    QTest::keyClick(&window(), Qt::Key_Enter);
    click("StartButton");
    EXPECT_EQ(starts, 1);
}

TEST_F(WindowControlsTest, AnErrorInAHandlerIsReportedAndTheWindowGoesOn) {
    BoxAnswerer answerer;
    logger().LoadButton.OnClick = [] { throw Exception("load failed"); };
    click("LoadButton");
    ASSERT_EQ(answerer.boxes().size(), 1u);
    EXPECT_EQ(answerer.boxes()[0].text, "load failed");
    click("BoldMean");
    EXPECT_TRUE(logger().BoldMean.checked());
}

TEST_F(WindowControlsTest, StatusBarShowsTheLinkAndDataFileStatus) {
    logger().LinkStatus.setCaption("Link lost; reconnecting");
    logger().DataFileStatus.setCaption("Samples are NOT being recorded");
    auto* link = view<QLabel>("LinkStatus");
    auto* file = view<QLabel>("DataFileStatus");
    ASSERT_NE(link, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(link->text(), "Link lost; reconnecting");
    EXPECT_EQ(file->text(), "Samples are NOT being recorded");
    EXPECT_TRUE(window().statusBar()->isAncestorOf(link));
    EXPECT_TRUE(window().statusBar()->isAncestorOf(file));
}

TEST_F(WindowControlsTest, ChartGrowsWithTheWindow) {
    QWidget* chart = window().widgetOf("Chart1");
    // Wide enough at both sizes for the read-outs to keep their three
    // columns: a narrower window stacks them, which takes height as well.
    window().resize(1500, 700);
    QTest::qWait(50);
    const QSize small = chart->size();
    const QSize smallWindow = window().size();
    window().resize(smallWindow + QSize(400, 250));
    QTest::qWait(50);
    ASSERT_EQ(window().size(), smallWindow + QSize(400, 250));
    // Everything the window gained goes to the chart.
    EXPECT_EQ(chart->width(), small.width() + 400);
    EXPECT_EQ(chart->height(), small.height() + 250);
}

// Stands in for the desktop's opener of local files: takes what F1 opens.
class FileOpener : public QObject {
    Q_OBJECT
public:
    FileOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~FileOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST_F(WindowControlsTest, F1OpensTheReadmesSectionOnTheWindowOrSaysWhereTheManualIs) {
    FileOpener opener;
    // Without a README beside the program (a build tree): where to read.
    QTest::keyClick(&window(), Qt::Key_F1);
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(window().statusBar()->currentMessage(),
              QStringLiteral("No program here opens the README: see \"man quillstone\"."));

    // With one where an installation puts it beside the program's folder.
    const std::filesystem::path readme =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / ".." / "README.md";
    ASSERT_FALSE(std::filesystem::exists(readme)) << readme;
    WriteFile(readme.string(), "# The window\n");
    struct Removed {
        std::filesystem::path file;
        ~Removed() { std::filesystem::remove(file); }
    } removed{readme};
    window().statusBar()->clearMessage();
    QTest::keyClick(&window(), Qt::Key_F1);
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened[0].toLocalFile().toStdString(), std::filesystem::canonical(readme).string());
    EXPECT_EQ(opener.opened[0].fragment(), QStringLiteral("the-window"));
    EXPECT_EQ(window().statusBar()->currentMessage(), QString());
}

}  // namespace
}  // namespace qs::test

#include "WindowControlsTest.moc"
