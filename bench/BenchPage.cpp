// The live page's first load with a million samples a series held (a
// million on each channel: value, mean and filter of both, six series of a
// million points): the page, the status and the history reduced to a
// 1366-pixel chart, each fetched whole over loopback from the logger's own
// server on its event loop, as a browser opening the page fetches them.
// The samples reach the server as the logger's records; the figure is the
// time from the first request to the last byte of the history.
#include <QCoreApplication>
#include <QMetaObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "WindowHarness.h"
#include "qt/net/LoggerServer.h"

namespace qs::bench {
namespace {

constexpr long long kSamplesPerChannel = 1000000;
constexpr double kFirstLoadTargetSeconds = 1.0;

// One whole answer, by a client of its own (HTTP/1.0: the server closes
// when it is sent); empty when it could not connect.
std::string fetch(int port, const std::string& path) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(static_cast<std::uint16_t>(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nHost: bench\r\n\r\n";
        if (::send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
            char buf[65536];
            for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return reply;
}

SampleRecord sample(std::uint64_t seq, long long i, int channel) {
    SampleRecord s;
    s.seq = seq;
    s.time = benchTime(i / 2);  // both channels, alternating, two samples a second
    s.channel = channel;
    s.command = channel == 1 ? "MEAS:VOLT:DC? 10,0.000001" : "MEAS:VOLT:DC? 1,0.0000001";
    s.value = benchValue(i) * (channel == 1 ? 10.0 : 1.0);
    s.mean = s.value - 3.3e-8;
    s.filter = s.value + 1.7e-8;
    s.count = static_cast<int>(seq);
    s.written = true;
    return s;
}

}  // namespace
}  // namespace qs::bench

int main(int argc, char** argv) {
    using namespace qs;
    using namespace qs::bench;
    QCoreApplication app(argc, argv);
    BenchLine out;
    test::WindowHarness h;
    LoggerServer::Settings settings;
    settings.address.port = 0;
    settings.identity = {"00000000000000be", "bench", 0.0};
    LoggerServer server(h.w, settings);
    std::string error;
    if (!server.start(error)) {
        BenchLine::note("the server did not start: " + error);
        out.report("page.first_load_1e6_per_series", 1e9, "s", Bound::AtMost, kFirstLoadTargetSeconds);
        return out.exitStatus();
    }
    const double heap0 = heapBytes();
    const double cpu0 = processCpuSeconds();
    std::uint64_t seq = 0;
    for (long long i = 0; i < 2 * kSamplesPerChannel; ++i) h.w.sampleSubscribers.publish(sample(++seq, i, 1 + i % 2));
    char note[240];
    std::snprintf(note, sizeof note, "%lld samples a channel taken in %.1f s of CPU; the server holds %.1f MiB more",
                  kSamplesPerChannel, processCpuSeconds() - cpu0, (heapBytes() - heap0) / (1024.0 * 1024.0));
    BenchLine::note(note);

    const int port = server.server().port();
    std::vector<std::pair<std::string, std::string>> replies;
    double seconds = 0.0;
    std::atomic<bool> done = false;
    std::thread browser([&] {
        const auto start = std::chrono::steady_clock::now();
        for (const char* path : {"/", "/api/status", "/api/history?width=1366"})
            replies.emplace_back(path, fetch(port, path));
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        done = true;
        QMetaObject::invokeMethod(&app, [&app] { app.quit(); }, Qt::QueuedConnection);
    });
    app.exec();
    browser.join();

    bool whole = true;
    for (const auto& [path, reply] : replies) {
        const bool ok = reply.starts_with("HTTP/1.") && reply.find(" 200 ") != std::string::npos &&
                        (path != "/api/history?width=1366" || reply.ends_with("]}]}"));
        whole = whole && ok;
        std::snprintf(note, sizeof note, "%s: %zu bytes%s", path.c_str(), reply.size(), ok ? "" : " (not a whole 200)");
        BenchLine::note(note);
    }
    out.report("page.first_load_1e6_per_series", whole ? seconds : 1e9, "s", Bound::AtMost, kFirstLoadTargetSeconds);
    return out.exitStatus();
}
