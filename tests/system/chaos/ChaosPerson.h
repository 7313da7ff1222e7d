#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>

class QMessageBox;

namespace qs {
class LoggerApp;
}

namespace qs::chaos {

// A person at the real window who does anything the window lets them do, at
// random but from a seed: Start and Stop (also in quick succession and while
// Start or a recovery waits), any text typed into any box and left, every
// check box and radio button, Load, Empty, Print, Display Hints, another data
// file, and the answers to the message boxes after random delays (now and
// then after longer than the time-out).
//
// Every action is posted to the event loop rather than run inside the
// person's own timer, so that the handlers' waits and boxes nest as with a
// real person's clicks, and the person goes on acting inside them.
//
// Meanwhile it keeps two invariants and writes what it sees, one line each,
// to the supervisor's pipe: "hb" every 100 ms (the event loop answers),
// "action NAME" for each action, and "bad WHAT" when a sample counted since
// the last reset or load has no line in the data file although the status
// bar never said the write failed.
class ChaosPerson : public QObject {
public:
    ChaosPerson(LoggerApp& app, std::uint32_t seed, int reportFd, std::string simHost);

    void start();

private:
    using Action = std::function<void()>;

    void tick();
    void act();
    void answer(QMessageBox* box);
    void post(const char* name, Action action, bool resets = false);

    // ---- the actions
    void pressStart();
    void pressStop();
    void startThenStop();
    void typeSomething();
    void tickSomething();
    void pickCommand();
    void pressLoad();
    void pressEmpty();
    void pressPrint();
    void toggleHints();
    void click(const char* control);
    void typeInto(const char* control, const QString& text);
    // The adapter's address, or a command the adapter answers.
    QString sensibleText(const std::string& control);
    QString randomText();
    void switchDataFile();

    // ---- the invariant
    void checkSamples();
    void takeBaseline();
    int lineCount(const std::string& file) const;

    void report(const std::string& line);
    int between(int low, int high);
    bool chance(int percent);

    LoggerApp& app_;
    std::mt19937 random_;
    int reportFd_;
    std::string simHost_;
    QTimer heartbeat_;
    QTimer ticker_;
    // The box being answered, and when.
    QPointer<QMessageBox> box_;
    QElapsedTimer boxOpen_;
    int boxAnswerMs_ = 0;
    // Samples against data-file lines since the last reset.
    std::string baselineFile_;
    int baselineCount_ = 0;
    int baselineLines_ = 0;
    bool writeFailed_ = false;
    bool rebaseline_ = true;
    // Lines of each data file already checked for their form.
    std::map<std::string, std::size_t> audited_;
};

}  // namespace qs::chaos
