#pragma once
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <string>

namespace qs::test {

// kiss488-sim as a child process on a free port of 127.0.0.1, stopped with
// SIGTERM when the object goes; port() is 0 when it did not start.
class Simulator {
public:
    explicit Simulator(const QStringList& options = {}) {
        process_.setProgram(QStringLiteral(KISS488_SIM_BINARY));
        process_.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        for (int i = 0; i < 100 && port_ == 0 && process_.state() == QProcess::Running; ++i) {
            process_.waitForReadyRead(50);
            const auto m = listening.match(QString::fromStdString(output()));
            if (m.hasMatch()) port_ = m.captured(1).toInt();
        }
    }
    ~Simulator() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(1000);
        }
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    int port() const { return port_; }
    // HostBox's text for the simulator's Telnet adapter.
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

    // Everything the simulator printed so far.
    const std::string& output() {
        output_ += process_.readAllStandardOutput().toStdString();
        return output_;
    }
    // How often text occurs in the output so far.
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
