// Start-up: from the exec of the real program to its window on the screen,
// without a settings file and with a full one of 23 lines.
//
// The program has no option or setting for being timed, and needs none: Qt's
// own logging reports when the window's paint reaches its screen, and the
// first flush of the whole main window is the moment a person would see it.
// The program runs on the offscreen platform in a fresh working directory.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "TempWorkDir.h"
#include "core/TextFile.h"
#include "window/Settings.h"

extern char** environ;

namespace qs::bench {
namespace {

constexpr int kRuns = 5;
constexpr double kTargetMs = 300.0;
constexpr int kGiveUpMs = 10000;

// The settings a person might have saved: none of them the window's own.
std::string fullSettingsFile() {
    const char* texts[] = {"127.0.0.1", "0.5", "MEAS:VOLT:DC?", "MEAS:CURR:DC?", "", "", "20", "1000", "", "", "",
                           "25", "", "", "", "250", "Bench.txt", "", "8", "", "3", "", ""};
    const bool flags[] = {false, false, false, false, true, false, false, false, true, false, true, false,
                          true, true, false, false, false, false, false, true, false, false, true};
    Settings s;
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        if (SettingSlots()[i].kind == SettingKind::Flag)
            s.values[i] = flags[i];
        else
            s.values[i] = std::string(texts[i]);
    }
    return FormatSettings(s);
}

// True when a line of Qt's painting log says the main window's whole area
// went to the screen.
bool windowShown(const std::string& line) {
    return line.find("Flushing QRegion(") != std::string::npos && line.find("Quillstone3") != std::string::npos;
}

// Milliseconds from the exec to the window shown; a negative number when it
// never showed.
double startOnce(bool withSettings) {
    test::TempWorkDir dir;
    if (withSettings && !AppendToFile(kSettingsFileName, fullSettingsFile())) return -1.0;

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1.0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 && std::strncmp(*e, "QT_LOGGING_RULES=", 17) != 0)
            env.emplace_back(*e);
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    env.emplace_back("QT_LOGGING_RULES=qt.widgets.painting=true");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char program[] = QUILLSTONE_BINARY;
    char* argv[] = {program, nullptr};

    pid_t pid = 0;
    const double start = wallSeconds();
    const int spawned = ::posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return -1.0;
    }

    double shownMs = -1.0;
    std::string pending;
    char buf[4096];
    bool open = true;
    while (open && shownMs < 0) {
        const double waited = (wallSeconds() - start) * 1e3;
        if (waited > kGiveUpMs) break;
        pollfd p{pipeFds[0], POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(kGiveUpMs - waited) + 1) <= 0) continue;
        const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (n <= 0) {
            open = false;
            break;
        }
        pending.append(buf, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos; pending.erase(0, eol + 1)) {
            if (windowShown(pending.substr(0, eol))) {
                shownMs = (wallSeconds() - start) * 1e3;
                break;
            }
        }
    }
    // The program ends as on a session's end: it closes its window, saving
    // the settings into the temporary folder. Its log is drained meanwhile.
    ::kill(pid, SIGTERM);
    const double stopBy = wallSeconds() + 5.0;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (wallSeconds() > stopBy) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        pollfd p{pipeFds[0], POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && ::read(pipeFds[0], buf, sizeof buf) <= 0) ::usleep(10000);
    }
    ::close(pipeFds[0]);
    return shownMs;
}

void measure(BenchLine& out, bool withSettings) {
    startOnce(withSettings);  // the program's files into the page cache
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        const double ms = startOnce(withSettings);
        if (ms < 0) {
            std::fprintf(stderr, "the window did not show within %d ms\n", kGiveUpMs);
            runs.push_back(1e9);
        } else {
            runs.push_back(ms);
        }
    }
    out.report(std::string("startup.") + (withSettings ? "config_23_lines" : "no_config") + ".to_window_shown",
               median(runs), "ms", Bound::AtMost, kTargetMs, 1);
}

}  // namespace
}  // namespace qs::bench

int main() {
    using namespace qs::bench;
    BenchLine::note("start-up: exec of quillstone to the first flush of its whole window, offscreen, median of 5");
    BenchLine out;
    measure(out, false);
    measure(out, true);
    return out.exitStatus();
}
