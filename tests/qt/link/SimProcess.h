#pragma once
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <stdexcept>
#include <string>
#include <vector>

#include "EventLoopWait.h"

namespace qs::test {

// kiss488-sim as a child process on a free port of 127.0.0.1; stopped with
// SIGTERM when the object goes.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args = {}) {
        QStringList arguments{"--port", "0"};
        for (const auto& a : args) arguments << QString::fromStdString(a);
        process_.start(QStringLiteral(KISS488_SIM_BINARY), arguments);
        if (!process_.waitForStarted(5000)) throw std::runtime_error("kiss488-sim did not start");
        static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        const bool ready = WaitUntil(
            [&] {
                const auto match = listening.match(QString::fromStdString(output()));
                if (match.hasMatch()) port_ = match.captured(1).toInt();
                return port_ > 0 || process_.state() == QProcess::NotRunning;
            },
            5000);
        if (!ready || port_ <= 0) throw std::runtime_error("kiss488-sim did not listen: " + output());
    }
    ~SimProcess() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(1000);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    int port() const { return port_; }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

    // Everything the simulator printed so far.
    const std::string& output() {
        output_ += process_.readAllStandardOutput().toStdString();
        return output_;
    }
    int count(const std::string& text) {
        int n = 0;
        const std::string& all = output();
        for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + text.size())) ++n;
        return n;
    }

private:
    QProcess process_;
    std::string output_;
    int port_ = 0;
};

}  // namespace qs::test
