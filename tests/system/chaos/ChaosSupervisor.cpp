#include "ChaosSupervisor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "DataFileAudit.h"

namespace qs::chaos {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

long long msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Lines that arrive on a non-blocking pipe, split at their ends.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd) { ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK); }
    ~LineReader() { ::close(fd_); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    int fd() const { return fd_; }
    // Reads what is there; returns the complete lines. open() turns false at the end.
    std::vector<std::string> read() {
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) pending_.append(buffer, static_cast<std::size_t>(n));
        if (n == 0) open_ = false;
        std::vector<std::string> lines;
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            lines.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 1);
        }
        return lines;
    }
    bool open() const { return open_; }

private:
    int fd_;
    bool open_ = true;
    std::string pending_;
};

// Starts argv[0] with the given arguments in folder; its stdout goes to the
// returned pipe when stdoutPipe, else to the file log; fd 3 of the child is
// reportFd when that is given.
pid_t spawn(const std::vector<std::string>& args, const fs::path& folder, int* stdoutPipe, const fs::path& log,
            int* reportPipe) {
    int out[2] = {-1, -1}, report[2] = {-1, -1};
    if (stdoutPipe && ::pipe(out) != 0) throw std::runtime_error("pipe");
    if (reportPipe && ::pipe(report) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ::dup2(stdoutPipe ? out[1] : logFd, 1);
        ::dup2(logFd, 2);
        if (reportPipe) ::dup2(report[1], 3);
        for (int fd : {out[0], out[1], report[0], report[1], logFd})
            if (fd > 3) ::close(fd);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (stdoutPipe) {
        ::close(out[1]);
        *stdoutPipe = out[0];
    }
    if (reportPipe) {
        ::close(report[1]);
        *reportPipe = report[0];
    }
    return pid;
}

// How a child ended, from its wait status.
std::string describe(int status) {
    if (WIFSIGNALED(status)) return std::string("killed by signal ") + ::strsignal(WTERMSIG(status));
    return "exit code " + std::to_string(WEXITSTATUS(status));
}

void showTail(const fs::path& log) {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const std::size_t from = lines.size() > 40 ? lines.size() - 40 : 0;
    std::printf("  --- last lines of %s\n", log.c_str());
    for (std::size_t i = from; i < lines.size(); ++i) std::printf("  | %s\n", lines[i].c_str());
}

// The 23 settings lines as a person might have left them: a short interval
// and time-out, every reconnect aid ticked, and a few settings drawn from
// the seed (a minimum length left empty among them).
void writeConfig(const fs::path& folder, const std::string& host, std::uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](std::vector<std::string> options) {
        return options[std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(random)];
    };
    const std::vector<std::string> lines = {
        host, pick({"0.2", "0.3", "0.5", "1"}), "MEAS:VOLT:DC? 5,0.00001", "MEAS:VOLT:DC? 5,0.00001", "1", "1", "10",
        "0", "0", "1", "1", "10", "1", "0", "0", "500", DataFileNames().front(), "1", pick({"5", "5", "1", ""}),
        pick({"0", "1"}), pick({"1", "2", "3"}), "1", pick({"0", "0", "1"})};
    std::ofstream out(folder / "config.txt", std::ios::binary);
    for (const auto& l : lines) out << l << "\r\n";
}

struct Tally {
    long actions = 0;
    long linkFaults = 0;
    int crashes = 0;
    int hangs = 0;
    std::set<std::string> badLines;
    int lostSamples = 0;
};

class Supervisor {
public:
    explicit Supervisor(const ChaosOptions& options) : options_(options) {
        char pattern[] = "/tmp/quillstone-chaos-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("cannot make a work folder");
        folder_ = pattern;
    }

    int run() {
        const std::string host = startSimulator();
        writeConfig(folder_, host, options_.seed);
        std::printf("chaos: %d s from seed %u against kiss488-sim (%s) with %d %% faults, in %s\n",
                    options_.seconds, options_.seed, linkKind_, options_.faultPercent, folder_.c_str());
        std::fflush(stdout);
        const auto deadline = Clock::now() + std::chrono::seconds(options_.seconds);
        for (int run = 0; Clock::now() + std::chrono::seconds(2) < deadline; ++run) runWindow(run, host, deadline);
        stopSimulator();
        auditDataFiles();

        const int bad = static_cast<int>(tally_.badLines.size()) + tally_.lostSamples;
        std::printf("chaos: %ld actions, %ld link faults, %d crashes, %d hangs, %d bad lines (seed %u)\n",
                    tally_.actions, tally_.linkFaults, tally_.crashes, tally_.hangs, bad, options_.seed);
        const bool clean = tally_.crashes == 0 && tally_.hangs == 0 && bad == 0;
        if (clean && !options_.keep) fs::remove_all(folder_);
        if (!clean) std::printf("chaos: kept %s; replay with CHAOS_SEED=%u\n", folder_.c_str(), options_.seed);
        std::fflush(stdout);
        return clean ? 0 : 1;
    }

private:
    // The kinds of link a run may draw: the simulator's --protocol, and the
    // host box's text before and after the simulator's address.
    struct LinkKind {
        const char* protocol;
        const char* before;
        const char* after;
    };
    static constexpr LinkKind kLinkKinds[] = {
        {"telnet", "", ""}, {"raw", "tcp://", ""}, {"prologix", "prologix://", "/22"}};

    std::string startSimulator() {
        std::mt19937 random(options_.seed);
        const LinkKind& kind = kLinkKinds[random() % std::size(kLinkKinds)];
        linkKind_ = kind.protocol;
        int out = -1;
        simPid_ = spawn({KISS488_SIM_BINARY, "--port", "0", "--protocol", kind.protocol, "--chaos",
                         std::to_string(options_.faultPercent), "--seed", std::to_string(options_.seed)},
                        folder_, &out, folder_ / "sim.log", nullptr);
        sim_ = std::make_unique<LineReader>(out);
        const auto start = Clock::now();
        while (msSince(start) < 10000) {
            pollfd p{sim_->fd(), POLLIN, 0};
            ::poll(&p, 1, 100);
            for (const auto& line : sim_->read()) {
                const auto at = line.rfind(':');
                if (line.rfind("listening on ", 0) == 0 && at != std::string::npos)
                    return kind.before + ("127.0.0.1:" + line.substr(at + 1)) + kind.after;
            }
        }
        throw std::runtime_error("kiss488-sim did not start");
    }

    void stopSimulator() {
        ::kill(simPid_, SIGTERM);
        ::waitpid(simPid_, nullptr, 0);
        readSimulator();
    }

    void readSimulator() {
        for (const auto& line : sim_->read())
            if (line.rfind("fault ", 0) == 0) ++tally_.linkFaults;
    }

    // One window in a child process, watched until it ends or the time is up.
    void runWindow(int run, const std::string& host, Clock::time_point deadline) {
        const std::uint32_t seed = options_.seed * 1000003u + static_cast<std::uint32_t>(run);
        const fs::path log = folder_ / ("window-" + std::to_string(run) + ".log");
        int reportFd = -1;
        const pid_t pid = spawn({options_.self, "--child", "--seed", std::to_string(seed), "--sim", host}, folder_,
                                nullptr, log, &reportFd);
        LineReader reports(reportFd);
        std::vector<std::string> lastActions;
        auto heard = Clock::now();
        bool alive = false, closing = false, killed = false;
        int status = 0;
        for (;;) {
            pollfd fds[2] = {{reports.fd(), POLLIN, 0}, {sim_->fd(), POLLIN, 0}};
            ::poll(fds, 2, 100);
            readSimulator();
            for (const auto& line : reports.read()) {
                heard = Clock::now();
                alive = true;
                if (line.rfind("action ", 0) == 0) {
                    ++tally_.actions;
                    lastActions.push_back(line.substr(7));
                    if (lastActions.size() > 12) lastActions.erase(lastActions.begin());
                } else if (line.rfind("badline ", 0) == 0) {
                    if (tally_.badLines.insert(line.substr(8)).second) std::printf("bad line: %s\n", line.c_str() + 8);
                } else if (line.rfind("bad ", 0) == 0) {
                    ++tally_.lostSamples;
                    std::printf("lost samples: %s\n", line.c_str() + 4);
                }
            }
            if (::waitpid(pid, &status, WNOHANG) == pid) break;
            // The window must come up within 10 s, then answer within the bound.
            const long long silentMs = msSince(heard);
            if (!killed && ((alive && silentMs > options_.hangMs) || (!alive && silentMs > 10000))) {
                ++tally_.hangs;
                std::printf("hang: the event loop of window run %d did not answer for %lld ms; last actions:", run,
                            silentMs);
                for (const auto& a : lastActions) std::printf(" %s", a.c_str());
                std::printf("\n");
                ::kill(pid, SIGKILL);
                killed = true;
            }
            if (!closing && !killed && Clock::now() >= deadline) {
                // The end of the run: the window closes as at a logout.
                ::kill(pid, SIGTERM);
                closing = true;
                heard = Clock::now();
                alive = false;  // closing may take up to 10 s before it is a hang
            }
        }
        for (const auto& line : reports.read())
            if (line.rfind("action ", 0) == 0) ++tally_.actions;
        if (killed) {
            showTail(log);
            return;
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) >= 126) throw std::runtime_error("cannot start " + options_.self);
        const bool cleanExit = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!closing || !cleanExit) {
            ++tally_.crashes;
            std::printf("crash: window run %d ended by itself (%s); last actions:", run, describe(status).c_str());
            for (const auto& a : lastActions) std::printf(" %s", a.c_str());
            std::printf("\n");
            showTail(log);
        }
        std::fflush(stdout);
    }

    void auditDataFiles() {
        for (const auto& name : DataFileNames()) {
            const auto lines = CompleteLines((folder_ / name).string());
            for (std::size_t i = 0; i < lines.size(); ++i)
                if (!WellFormedDataLine(lines[i])) {
                    const std::string where = name + ":" + std::to_string(i + 1) + ": " + lines[i].substr(0, 200);
                    if (tally_.badLines.insert(where).second) std::printf("bad line: %s\n", where.c_str());
                }
        }
    }

    ChaosOptions options_;
    fs::path folder_;
    pid_t simPid_ = -1;
    const char* linkKind_ = "";
    std::unique_ptr<LineReader> sim_;
    Tally tally_;
};

}  // namespace

int RunChaos(const ChaosOptions& options) { return Supervisor(options).run(); }

}  // namespace qs::chaos
