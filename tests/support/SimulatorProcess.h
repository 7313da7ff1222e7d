#pragma once
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <string>

namespace qs::test {

// kiss488-sim on a free loopback port, stopped with the object.
class Simulator {
public:
    explicit Simulator(const QStringList& faults = {}) {
        process_.setProgram(QStringLiteral(KISS488_SIM_BINARY));
        process_.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + faults);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        const QRegularExpression listening(QStringLiteral("listening on (\\S+):(\\d+)"));
        QByteArray out;
        for (int i = 0; i < 100 && port_ == 0; ++i) {
            process_.waitForReadyRead(50);
            out += process_.readAllStandardOutput();
            const auto m = listening.match(QString::fromUtf8(out));
            if (m.hasMatch()) port_ = m.captured(2).toInt();
        }
    }
    ~Simulator() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    int port() const { return port_; }
    // HostBox's text for this simulator.
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    QProcess process_;
    int port_ = 0;
};

}  // namespace qs::test
