#pragma once
#include <QObject>

#include <functional>

class QSocketNotifier;

namespace qs {

// SIGINT and SIGTERM ask the window to close, exactly as its close button
// does. The signal handler only writes a byte into a socket pair; the event
// loop reads it and runs onSignal, so nothing but that write ever happens
// inside the handler.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void drain();

    std::function<void()> onSignal_;
    int fds_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qs
