#pragma once
#include <sys/prctl.h>

#include <QByteArray>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTcpServer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "LoopbackPort.h"

namespace qs::test {

// The system's monotonic clock in milliseconds: the clock kiss488-sim's
// --log-sent prints, so times from both processes compare.
inline long long MonotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What kiss488-sim --log-sent reported: a greeting or reply that went out,
// and a client it took.
struct SentRecord {
    long long atMs = 0;
    std::string kind;  // greeting, reply, stranded, cut, flood or garbled
    std::string text;  // without its line end, bytes outside 32-126 as \xHH
};
struct LinkRecord {
    long long atMs = 0;
    int number = 0;
    bool faulty = false;
};

// kiss488-sim with --log-sent and the given fault options on a loopback port,
// stopped with the object. Its log is read off its output as it comes.
class FaultSimulator {
public:
    // port 0: any free port.
    explicit FaultSimulator(const QStringList& faults, int port = 0) {
        process_.setProgram(QStringLiteral(KISS488_SIM_BINARY));
        process_.setArguments(QStringList{QStringLiteral("--port"), QString::number(port),
                                          QStringLiteral("--log-sent")} +
                              faults);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A case that crashes leaves no simulator behind.
        process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        const QRegularExpression listening(QStringLiteral("listening on (\\S+):(\\d+)"));
        for (int i = 0; i < 100 && port_ == 0; ++i) {
            process_.waitForReadyRead(50);
            drain();
            const auto m = listening.match(QString::fromUtf8(out_));
            if (m.hasMatch()) port_ = m.captured(2).toInt();
        }
    }
    ~FaultSimulator() { stop(); }
    FaultSimulator(const FaultSimulator&) = delete;
    FaultSimulator& operator=(const FaultSimulator&) = delete;

    int port() const { return port_; }
    // HostBox's text for this simulator.
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

    // Ends it (closing its link); what it printed stays readable.
    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(1000);
        drain();
    }

    // Its report so far, in the order printed.
    std::vector<SentRecord> sent() {
        std::vector<SentRecord> records;
        for (const std::string& line : lines()) {
            if (line.rfind("sent ", 0) != 0) continue;
            const std::size_t time = 5;
            const std::size_t kind = line.find(' ', time);
            if (kind == std::string::npos) continue;
            const std::size_t text = line.find(' ', kind + 1);
            SentRecord r;
            r.atMs = std::stoll(line.substr(time, kind - time));
            r.kind = line.substr(kind + 1, text == std::string::npos ? std::string::npos : text - kind - 1);
            r.text = text == std::string::npos ? std::string() : line.substr(text + 1);
            records.push_back(r);
        }
        return records;
    }
    std::vector<LinkRecord> links() {
        std::vector<LinkRecord> records;
        for (const std::string& line : lines()) {
            if (line.rfind("link ", 0) != 0) continue;
            LinkRecord r;
            char state[16] = {};
            if (std::sscanf(line.c_str(), "link %lld %d %15s", &r.atMs, &r.number, state) != 3) continue;
            r.faulty = std::string(state) == "faulty";
            records.push_back(r);
        }
        return records;
    }
    // The texts it sent as whole values: replies with their line end, and
    // stranded ones without it.
    std::vector<std::string> completeValues() {
        std::vector<std::string> values;
        for (const SentRecord& r : sent())
            if (r.kind == "reply" || r.kind == "stranded") values.push_back(r.text);
        return values;
    }
    std::string output() {
        drain();
        return out_.toStdString();
    }

private:
    void drain() { out_ += process_.readAllStandardOutput(); }
    // Complete lines only: a line still being written is left for later.
    std::vector<std::string> lines() {
        drain();
        std::vector<std::string> result;
        std::size_t start = 0;
        const std::string all = out_.toStdString();
        for (std::size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
            result.push_back(all.substr(start, end - start));
        return result;
    }

    QProcess process_;
    QByteArray out_;
    int port_ = 0;
};

}  // namespace qs::test
