#pragma once
// A headless logger serving over HTTP as a person runs it, for the tests and
// benchmarks that treat it as a process: kiss488-sim on a free loopback port
// saying when it sent each reply (--log-sent), and `quillstone --headless
// --quiet --serve 127.0.0.1:PORT` polling it. Each process writes its output
// to a file of the bench's folder, so nothing here needs an event loop; the
// clients are plain sockets with bounded waits.
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackPort.h"

namespace qs::test {

using ServeClock = std::chrono::steady_clock;

// The steady clock in ms, as kiss488-sim's --log-sent gives it.
inline std::int64_t MonotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(ServeClock::now().time_since_epoch()).count();
}

// Polls done every 20 ms until it holds or ms have passed.
inline bool PollUntil(const std::function<bool()>& done, int ms) {
    const auto until = ServeClock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (ServeClock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A non-blocking socket connecting to 127.0.0.1:port; receiveBuffer > 0
// shrinks its receive buffer first (before the connection, so that the
// window the server sees is small too). -1 when no socket is left.
inline int ConnectLoopback(int port, int receiveBuffer = 0) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (receiveBuffer > 0) ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

// Sends what is left of out as the socket takes it and reads what comes,
// until the server closes, done says enough, or waitMs have passed. A
// server that refuses the rest of a request may reset the connection:
// what it answered before is kept.
inline std::string Converse(int fd, std::string out, int waitMs,
                            const std::function<bool(const std::string&)>& done = {}) {
    std::string got;
    const auto until = ServeClock::now() + std::chrono::milliseconds(waitMs);
    while (ServeClock::now() < until) {
        pollfd p{fd, static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - ServeClock::now()).count();
        if (::poll(&p, 1, static_cast<int>(std::max<long long>(1, left))) <= 0) continue;
        if ((p.revents & POLLOUT) && !out.empty()) {
            const ssize_t n = ::send(fd, out.data(), out.size(), MSG_NOSIGNAL);
            if (n > 0) out.erase(0, static_cast<std::size_t>(n));
            else if (n < 0 && errno != EAGAIN) out.clear();
        }
        if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[65536];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
            else if (n == 0 || errno != EAGAIN) break;
        }
        if (done && done(got)) break;
    }
    return got;
}

// One request on a connection of its own; the bytes answered.
inline std::string Exchange(int port, const std::string& request, int waitMs = 5000) {
    const int fd = ConnectLoopback(port);
    if (fd < 0) return {};
    std::string got = Converse(fd, request, waitMs);
    ::close(fd);
    return got;
}

// "HTTP/1.1 200 OK..." -> 200; 0 for no answer.
inline int StatusOf(const std::string& reply) {
    if (reply.size() < 12 || !reply.starts_with("HTTP/1.")) return 0;
    return std::atoi(reply.substr(9, 3).c_str());
}

inline std::string BodyOf(const std::string& reply) {
    const std::size_t end = reply.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

// GET target with the token (none when empty), the connection closed after.
inline std::string GetRequest(const std::string& target, const std::string& token = {},
                              const std::string& method = "GET") {
    return method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" +
           (token.empty() ? std::string() : "Authorization: Bearer " + token + "\r\n") + "\r\n";
}

// A reply kiss488-sim sent: when (its monotonic ms) and the text.
struct SentReply {
    std::int64_t ms;
    std::string text;
};

class ServedBench {
public:
    // folder: made if need be; interval: config.txt's, in seconds.
    ServedBench(std::filesystem::path folder, std::string interval) : folder_(std::move(folder)), interval_(std::move(interval)) {
        std::filesystem::create_directories(folder_);
    }
    ~ServedBench() { stop(); }
    ServedBench(const ServedBench&) = delete;
    ServedBench& operator=(const ServedBench&) = delete;

    // Writes the token file the logger is to read ("token"); call before start.
    void setToken(const std::string& token) {
        token_ = token;
        std::ofstream(folder_ / "token", std::ios::binary) << token << "\n";
    }
    const std::string& token() const { return token_; }

    // The simulator and the logger, until the logger says where it serves
    // and has logged its first sample; false with why() when not. serving:
    // the logger's options in place of --serve on a free port (and the
    // token file), for a start that is to fail to serve.
    bool start(const QStringList& simOptions = {}, const std::optional<QStringList>& serving = std::nullopt) {
        sim_.setProgram(QStringLiteral(KISS488_SIM_BINARY));
        sim_.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--log-sent")} +
                          simOptions);
        sim_.setStandardOutputFile(QString::fromStdString((folder_ / "sim.txt").string()));
        sim_.setStandardErrorFile(QString::fromStdString((folder_ / "sim-err.txt").string()));
        sim_.start();
        if (!sim_.waitForStarted(5000)) return fail("kiss488-sim did not start");
        int simPort = 0;
        if (!PollUntil([&] { return std::sscanf(FileText(folder_ / "sim.txt").c_str(), "listening on %*[^:]:%d", &simPort) == 1; }, 5000))
            return fail("kiss488-sim did not say where it listens");
        std::ofstream config(folder_ / "config.txt", std::ios::binary);
        const std::vector<std::string> lines = {"127.0.0.1:" + std::to_string(simPort), interval_, "READ?", "READ?",
                                                "1", "1", "10", "0", "0", "1", "1", "10", "1", "0", "0", "500",
                                                "Data.txt", "1", "5", "0", "2", "1", "0"};
        for (const std::string& line : lines) config << line << "\r\n";
        config.close();

        port_ = FreeLoopbackPort();
        QStringList args{QStringLiteral("--headless"), QStringLiteral("--quiet"), QStringLiteral("--serve"),
                         QStringLiteral("127.0.0.1:%1").arg(port_)};
        if (!token_.empty()) args << QStringLiteral("--serve-token-file") << QStringLiteral("token");
        if (serving) args = QStringList{QStringLiteral("--headless"), QStringLiteral("--quiet")} + *serving;
        logger_.setWorkingDirectory(QString::fromStdString(folder_.string()));
        logger_.setProgram(QStringLiteral(QUILLSTONE_BINARY));
        logger_.setArguments(args);
        logger_.setStandardOutputFile(QString::fromStdString((folder_ / "out.txt").string()));
        logger_.setStandardErrorFile(QString::fromStdString((folder_ / "err.txt").string()));
        logger_.start();
        if (!logger_.waitForStarted(5000)) return fail("quillstone did not start");
        const std::string says = "Serving http://127.0.0.1:" + std::to_string(port_) + "/";
        if (!serving &&
            !PollUntil([&] { return FileText(folder_ / "out.txt").find(says) != std::string::npos; }, 10000))
            return fail("quillstone did not say \"" + says + "\": " + loggerOutput());
        if (!PollUntil([&] { return dataLines() > 0; }, 10000)) return fail("no sample reached the data file");
        return true;
    }

    // SIGTERM to the logger (its exit status, -1 when it had to be
    // killed), then to the simulator.
    int stop() {
        int status = -1;
        if (logger_.state() != QProcess::NotRunning) {
            logger_.terminate();
            if (logger_.waitForFinished(10000) && logger_.exitStatus() == QProcess::NormalExit)
                status = logger_.exitCode();
            else {
                logger_.kill();
                logger_.waitForFinished(2000);
            }
        } else if (logger_.exitStatus() == QProcess::NormalExit) {
            status = logger_.exitCode();
        }
        if (sim_.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(sim_.processId()), SIGCONT);
            sim_.terminate();
            if (!sim_.waitForFinished(3000)) {
                sim_.kill();
                sim_.waitForFinished(1000);
            }
        }
        return status;
    }

    bool running() const { return logger_.state() == QProcess::Running; }
    int port() const { return port_; }
    qint64 pid() const { return logger_.processId(); }
    qint64 simPid() const { return sim_.processId(); }
    const std::string& why() const { return why_; }
    const std::filesystem::path& folder() const { return folder_; }
    std::string loggerOutput() const { return FileText(folder_ / "out.txt") + FileText(folder_ / "err.txt"); }

    // A request answered by the logger, with the token when one is set.
    std::string get(const std::string& target, int waitMs = 5000) const {
        return Exchange(port_, GetRequest(target, token_), waitMs);
    }

    // Lines of the data file so far.
    std::size_t dataLines() const {
        const std::string text = FileText(folder_ / "Data.txt");
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
    // The replies the simulator sent so far, in the order sent.
    std::vector<SentReply> replies() const {
        std::vector<SentReply> sent;
        std::ifstream in(folder_ / "sim.txt");
        for (std::string line; std::getline(in, line);) {
            long long ms = 0;
            char text[256];
            if (std::sscanf(line.c_str(), "sent %lld reply %255s", &ms, text) == 2) sent.push_back({ms, text});
        }
        return sent;
    }

    // What /proc tells of the logger: a field of its status in kB ("VmRSS"),
    // its open files, its CPU time in clock ticks (user and system).
    long statusKiB(const char* field) const {
        std::ifstream in("/proc/" + std::to_string(pid()) + "/status");
        const std::string key = std::string(field) + ":";
        for (std::string line; std::getline(in, line);)
            if (line.starts_with(key)) return std::atol(line.c_str() + key.size());
        return -1;
    }
    long openFiles() const {
        std::error_code ec;
        long n = 0;
        for (auto it = std::filesystem::directory_iterator("/proc/" + std::to_string(pid()) + "/fd", ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
            ++n;
        return n;
    }
    long long cpuTicks() const {
        const std::string stat = FileText("/proc/" + std::to_string(pid()) + "/stat");
        // The fields after the command's closing parenthesis: state is the
        // 3rd field of the line, utime the 14th and stime the 15th.
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) return -1;
        std::vector<std::string> fields;
        std::size_t at = close + 2;
        while (at < stat.size()) {
            const std::size_t end = stat.find(' ', at);
            fields.push_back(stat.substr(at, end - at));
            if (end == std::string::npos) break;
            at = end + 1;
        }
        if (fields.size() < 13) return -1;
        return std::atoll(fields[11].c_str()) + std::atoll(fields[12].c_str());
    }

private:
    bool fail(std::string why) {
        why_ = std::move(why);
        return false;
    }

    std::filesystem::path folder_;
    std::string interval_;
    std::string token_;
    QProcess sim_;
    QProcess logger_;
    int port_ = 0;
    std::string why_;
};

}  // namespace qs::test
