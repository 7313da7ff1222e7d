#include "ChaosPerson.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "DataFileAudit.h"
#include "qt/app/LoggerApp.h"

namespace qs::chaos {

namespace {

constexpr int kHeartbeatMs = 100;

// The boxes a person types into: how often, how often a typed text is not
// what the box wants (the adapter's address and the commands least, the
// boxes read at every reply most, as their errors arise inside link
// events), and the range a sensible number is drawn from. A range of 0..0
// takes the text from ChaosPerson::sensibleText.
struct EditBox {
    const char* name;
    int weight;
    int mistyped;  // percent
    int low, high;
    double scale;
};
constexpr EditBox kEdits[] = {
    {"HostBox", 1, 5, 0, 0, 1},          {"IntervalBox", 2, 20, 1, 15, 0.1}, {"TimeOutBox", 2, 20, 1, 4, 1},
    {"CommandBox", 1, 5, 0, 0, 1},       {"CommandBox2", 1, 5, 0, 0, 1},     {"MeanBox", 2, 25, 0, 50, 1},
    {"FilterPoints", 3, 40, 1, 30, 1},   {"ScrollBox", 1, 20, 0, 600, 1},    {"MinStringBox", 3, 40, 1, 8, 1},
    {"SamplesPerPrintedPage", 1, 20, 100, 5000, 1},
};

constexpr std::array kChecks = {"DisplayDataBox", "DisplayMeanBox", "FilterCheckbox",   "BoldRaw",
                                "BoldMean",       "BoldFilter",     "DeleteFirstCheckBox", "AutoReconnect",
                                "StrandedCheckBox", "SaveResultsBox", "AbsoluteCheckBox"};
constexpr std::array kRadios = {"RadioButton1", "RadioButton2", "RadioButton3"};

}  // namespace

ChaosPerson::ChaosPerson(LoggerApp& app, std::uint32_t seed, int reportFd, std::string simHost)
    : app_(app), random_(seed), reportFd_(reportFd), simHost_(std::move(simHost)) {
    heartbeat_.setInterval(kHeartbeatMs);
    connect(&heartbeat_, &QTimer::timeout, this, [this] { report("hb"); });
    ticker_.setSingleShot(true);
    connect(&ticker_, &QTimer::timeout, this, [this] { tick(); });
}

void ChaosPerson::start() {
    heartbeat_.start();
    ticker_.start(0);
}

void ChaosPerson::report(const std::string& line) {
    const std::string out = line + "\n";
    // The supervisor reads every line; a short write is not retried.
    [[maybe_unused]] const ssize_t n = ::write(reportFd_, out.data(), out.size());
}

int ChaosPerson::between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

bool ChaosPerson::chance(int percent) { return between(0, 99) < percent; }

void ChaosPerson::tick() {
    checkSamples();
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        // A box holds the window: the person reads it and answers, sooner
        // or later, now and then after longer than the time-out.
        if (box != box_) {
            box_ = box;
            boxOpen_.start();
            const int kind = between(0, 99);
            boxAnswerMs_ = kind < 55 ? between(0, 1500) : kind < 90 ? between(1500, 6000) : between(6000, 12000);
        } else if (boxOpen_.elapsed() >= boxAnswerMs_) {
            answer(box);
        }
    } else if (!app_.window.hasClosed()) {
        act();
    }
    ticker_.start(between(20, 700));
}

void ChaosPerson::answer(QMessageBox* box) {
    report("action answer");
    if (std::getenv("CHAOS_TRACE")) std::fprintf(stderr, "answer %s\n", box->text().toUtf8().constData());
    box_ = nullptr;
    if (QAbstractButton* yes = box->button(QMessageBox::Yes); yes && chance(40)) {
        yes->click();
    } else if (QAbstractButton* no = box->button(QMessageBox::No); no && chance(50)) {
        no->click();
    } else {
        QTest::keyClick(box, chance(70) ? Qt::Key_Return : Qt::Key_Escape);
    }
}

void ChaosPerson::post(const char* name, Action action, bool resets) {
    report(std::string("action ") + name);
    if (std::getenv("CHAOS_TRACE"))
        std::fprintf(stderr, "%s count=%d connected=%d busy=%d events=%d interval=%s cmd=%s countdown=%s link=%s\n",
                     name, app_.logger.State.SampleCount, app_.logger.State.Connected, app_.logger.State.PollBusy,
                     app_.logger.State.DataEvents, app_.logger.IntervalBox.text().c_str(),
                     app_.logger.CommandBox.text().substr(0, 30).c_str(), app_.logger.CountDown.caption().c_str(),
                     app_.logger.LinkStatus.caption().c_str());
    // Run from the event loop, not inside this timer: the handler's waits
    // and boxes then nest as they do under a real click, and the person's
    // timers go on running inside them.
    QTimer::singleShot(0, this, [this, action = std::move(action), resets] {
        action();
        if (resets) rebaseline_ = true;
    });
}

void ChaosPerson::act() {
    struct Choice {
        int weight;
        const char* name;
        bool resets;  // may start the samples and the data file over
        void (ChaosPerson::*run)();
    };
    // Out of 100; what is left over is a pause.
    static constexpr Choice kChoices[] = {
        {8, "start", false, &ChaosPerson::pressStart},
        {2, "stop", false, &ChaosPerson::pressStop},
        {1, "start-stop", false, &ChaosPerson::startThenStop},
        {20, "type", false, &ChaosPerson::typeSomething},
        {8, "tick", false, &ChaosPerson::tickSomething},
        {4, "radio", false, &ChaosPerson::pickCommand},
        {2, "load", true, &ChaosPerson::pressLoad},
        {2, "empty", true, &ChaosPerson::pressEmpty},
        {1, "print", false, &ChaosPerson::pressPrint},
        {2, "hints", false, &ChaosPerson::toggleHints},
        {2, "file", true, &ChaosPerson::switchDataFile},
    };
    int roll = between(0, 99);
    for (const Choice& c : kChoices) {
        if ((roll -= c.weight) >= 0) continue;
        post(c.name, [this, run = c.run] { (this->*run)(); }, c.resets);
        return;
    }
}

void ChaosPerson::pressStart() { click("StartButton"); }
void ChaosPerson::pressStop() { click("ResetButton"); }
void ChaosPerson::pressLoad() { click("LoadButton"); }
void ChaosPerson::pressEmpty() { click("DeleteButton"); }
void ChaosPerson::pressPrint() { click("PrintButton"); }
void ChaosPerson::toggleHints() { click("HintBox"); }

void ChaosPerson::startThenStop() {
    click("StartButton");
    // The Stop may come while Start still waits for the link.
    QTimer::singleShot(between(0, 700), this, [this] { post("stop", [this] { pressStop(); }); });
}

void ChaosPerson::typeSomething() {
    int total = 0;
    for (const EditBox& e : kEdits) total += e.weight;
    int roll = between(0, total - 1);
    for (const EditBox& e : kEdits) {
        if ((roll -= e.weight) >= 0) continue;
        QString text;
        if (chance(e.mistyped)) text = randomText();
        else if (e.high == 0) text = sensibleText(e.name);
        else text = QString::number(between(e.low, e.high) * e.scale);
        typeInto(e.name, text);
        return;
    }
}

void ChaosPerson::tickSomething() { click(kChecks[static_cast<std::size_t>(between(0, kChecks.size() - 1))]); }

void ChaosPerson::pickCommand() { click(kRadios[static_cast<std::size_t>(between(0, kRadios.size() - 1))]); }

void ChaosPerson::click(const char* control) {
    QWidget* widget = app_.window.widgetOf(control);
    if (!widget) return;
    // A disabled control takes no click, as under a real mouse.
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

namespace {
// QTest types ASCII characters only; anything else is pasted.
bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
}
}  // namespace

void ChaosPerson::typeInto(const char* control, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(app_.window.widgetOf(control));
    if (!edit || !edit->isEnabled()) return;
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    // Short texts key by key (a change handler runs at every key), long ones
    // pasted at once.
    if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
    else if (text.size() <= 12 && isAscii(text) && chance(60)) QTest::keyClicks(edit, text);
    else edit->insert(text);
    // Leaving the box runs its exit handler.
    if (QWidget* next = app_.window.widgetOf("CommandBox"); next && next != edit) next->setFocus(Qt::TabFocusReason);
    else if (QWidget* other = app_.window.widgetOf("HostBox")) other->setFocus(Qt::TabFocusReason);
}

QString ChaosPerson::sensibleText(const std::string& control) {
    if (control == "HostBox") return QString::fromStdString(simHost_);
    return chance(80) ? QStringLiteral("MEAS:VOLT:DC? 5,0.00001") : QStringLiteral("READ?");
}

QString ChaosPerson::randomText() {
    static const std::array kTexts = {"",       "-",     "99999999999999999999", "1e308", "0,5",  "2,5",
                                      "-0",     " 3",    "äöü€𝄞",                "nan",   "inf",  "0x10",
                                      "1.5e-3", "+",     "2147483648",           "-7",    "0.0001", "abc"};
    const int kind = between(0, static_cast<int>(kTexts.size()));
    if (kind < static_cast<int>(kTexts.size())) return QString::fromUtf8(kTexts[static_cast<std::size_t>(kind)]);
    QString junk;
    const int length = chance(50) ? 300 : between(1, 20);
    for (int i = 0; i < length; ++i) junk.append(QChar(between(32, 126)));
    return junk;
}

void ChaosPerson::switchDataFile() {
    const auto& names = DataFileNames();
    const int pick = between(0, static_cast<int>(names.size()));
    // One time in five names nothing: the box asks for a name.
    typeInto("TextFileBox", pick < static_cast<int>(names.size())
                                ? QString::fromStdString(names[static_cast<std::size_t>(pick)])
                                : QString());
}

int ChaosPerson::lineCount(const std::string& file) const { return static_cast<int>(CompleteLines(file).size()); }

void ChaosPerson::takeBaseline() {
    rebaseline_ = false;
    writeFailed_ = false;
    baselineFile_ = app_.logger.TextFileBox.text();
    baselineCount_ = app_.logger.State.SampleCount;
    baselineLines_ = lineCount(baselineFile_);
}

void ChaosPerson::checkSamples() {
    if (app_.window.hasClosed()) return;
    const TGPIBTelnet& w = app_.logger;
    const std::string file = w.TextFileBox.text();
    const std::vector<std::string> lines = CompleteLines(file);

    // Each line is looked at once: from where this person left off.
    std::size_t& from = audited_[file];
    if (from > lines.size()) from = 0;
    for (; from < lines.size(); ++from)
        if (!WellFormedDataLine(lines[from]))
            report("badline " + file + ":" + std::to_string(from + 1) + ": " + lines[from].substr(0, 200));

    const int count = w.State.SampleCount;
    const int written = static_cast<int>(lines.size());
    if (rebaseline_ || file != baselineFile_ || count < baselineCount_ || written < baselineLines_) {
        takeBaseline();
        return;
    }
    if (!w.DataFileStatus.caption().empty()) writeFailed_ = true;
    if (writeFailed_) return;
    if (count - baselineCount_ != written - baselineLines_) {
        report("bad " + std::to_string(count - baselineCount_) + " samples counted but " +
               std::to_string(written - baselineLines_) + " lines written to " + file);
        takeBaseline();
    }
}

}  // namespace qs::chaos
