#pragma once
// One bench of a simulated lab, for the tests that run the real program
// publishing to a broker: an adapter simulator that logs when it sent each
// reply, and a headless logger polling it at 0.1 s with --mqtt, each in a
// folder of its own.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace qs::test {

using LabClock = std::chrono::steady_clock;

inline std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(LabClock::now().time_since_epoch()).count();
}

// Runs the event loop for ms milliseconds, so that the processes' output is read meanwhile.
inline void runFor(int ms) {
    const auto until = LabClock::now() + std::chrono::milliseconds(ms);
    while (LabClock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}


// One bench: a simulator and the headless logger that polls it.
struct Bench {
    int index = 0;
    QString folder;
    std::unique_ptr<QProcess> sim;
    std::unique_ptr<QProcess> logger;
    int simPort = 0;
    QByteArray simOut;
    std::multimap<std::string, std::int64_t> sent;  // reply text -> when the simulator sent it
    std::string name() const { return "bench" + std::to_string(index); }
};

inline bool startSimulator(Bench& b, unsigned seed) {
    b.sim = std::make_unique<QProcess>();
    b.sim->setProgram(QStringLiteral(KISS488_SIM_BINARY));
    b.sim->setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--log-sent"),
                         QStringLiteral("--seed"), QString::number(seed)});
    QObject::connect(b.sim.get(), &QProcess::readyReadStandardOutput, [&b] {
        b.simOut += b.sim->readAllStandardOutput();
        qsizetype lf;
        while ((lf = b.simOut.indexOf('\n')) >= 0) {
            const std::string line = b.simOut.left(lf).toStdString();
            b.simOut.remove(0, lf + 1);
            unsigned port = 0;
            long long ms = 0;
            char text[256];
            if (std::sscanf(line.c_str(), "listening on %*[^:]:%u", &port) == 1) b.simPort = static_cast<int>(port);
            else if (std::sscanf(line.c_str(), "sent %lld reply %255s", &ms, text) == 2) b.sent.insert({text, ms});
        }
    });
    b.sim->start();
    for (int i = 0; i < 200 && b.simPort == 0; ++i) runFor(10);
    return b.simPort != 0;
}

inline void startLogger(Bench& b, int brokerPort) {
    b.logger = std::make_unique<QProcess>();
    b.logger->setWorkingDirectory(b.folder);
    b.logger->setProgram(QStringLiteral(QUILLSTONE_BINARY));
    b.logger->setArguments({QStringLiteral("--headless"), QStringLiteral("--quiet"), QStringLiteral("--mqtt"),
                            QStringLiteral("mqtt://logger@127.0.0.1:%1/lab").arg(brokerPort),
                            QStringLiteral("--mqtt-password-file"), QStringLiteral("password"),
                            QStringLiteral("--name"), QString::fromStdString(b.name())});
    b.logger->setStandardOutputFile(b.folder + QStringLiteral("/out.txt"), QIODevice::Append);
    b.logger->setStandardErrorFile(b.folder + QStringLiteral("/err.txt"), QIODevice::Append);
    b.logger->start();
    b.logger->waitForStarted(5000);
}

inline void stopLogger(Bench& b, bool kill) {
    if (!b.logger) return;
    if (kill) b.logger->kill();
    else b.logger->terminate();
    if (!b.logger->waitForFinished(10000)) b.logger->kill();
    b.logger->waitForFinished(2000);
}

// The reply texts of a bench's data file, one a line, as written.
// Bench index under root: its folder, its simulator started, the password
// file the broker takes ("secret") and a config.txt polling "READ?" every
// 0.1 s. False when the simulator did not start.
inline bool prepareBench(Bench& b, const QString& root, int index, unsigned seed) {
    b.index = index;
    b.folder = root + QStringLiteral("/") + QString::fromStdString(b.name());
    QDir().mkpath(b.folder);
    if (!startSimulator(b, seed)) return false;
    std::ofstream(b.folder.toStdString() + "/password") << "secret\n";
    std::ofstream config(b.folder.toStdString() + "/config.txt", std::ios::binary);
    const std::vector<std::string> lines = {"127.0.0.1:" + std::to_string(b.simPort),
                                            "0.1", "READ?", "READ?", "1", "1", "10", "0", "0", "1", "1", "10", "1",
                                            "0", "0", "500", "Data.txt", "1", "5", "0", "5", "1", "0"};
    for (const std::string& line : lines) config << line << "\r\n";
    return true;
}

inline std::vector<std::string> dataFileValues(const QString& folder) {
    std::vector<std::string> values;
    std::ifstream in((folder + QStringLiteral("/Data.txt")).toStdString(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t a = line.find(", ");
        if (a == std::string::npos) continue;
        const std::size_t b = line.find(',', a + 2);
        values.push_back(line.substr(a + 2, b == std::string::npos ? std::string::npos : b - a - 2));
    }
    return values;
}

}  // namespace qs::test
