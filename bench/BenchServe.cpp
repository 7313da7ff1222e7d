// Serving over HTTP, measured on the real program: `quillstone --headless
// --serve` logging at 10 samples a second from kiss488-sim, on loopback.
// What one /metrics answer takes; the CPU ten open pages add to the
// logger's (each page having fetched /api/status and /api/samples and
// holding /events); and the time from the simulator sending a reply to a
// page receiving its sample event, which holds the logger's taking the
// sample, its record and the event's way out. And, in this process with a
// probe timer on the server's loop, how long the loop is held when as many
// clients as are served at once each ask for the largest answer there is
// (/api/samples of every record held, about 2.3 MB).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "JsonValue.h"
#include "ServedBench.h"
#include "qt/net/HttpServer.h"

namespace qs::bench {
namespace {

using test::ServedBench;

constexpr double kMetricsTargetMs = 5.0;
constexpr double kPagesCpuTargetPercent = 5.0;
constexpr double kLatencyP50TargetMs = 50.0;
constexpr double kLatencyP99TargetMs = 200.0;
constexpr double kLoopHoldTargetMs = 100.0;
constexpr int kPages = 10;
constexpr int kMeasureSeconds = 10;

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 1e9;
    std::sort(v.begin(), v.end());
    const std::size_t at = std::min(v.size() - 1, static_cast<std::size_t>(p / 100.0 * static_cast<double>(v.size())));
    return v[at];
}

// The logger's CPU over seconds of wall time, in percent of a core;
// during runs meanwhile.
double cpuPercent(const ServedBench& bench, int seconds, const std::function<void(int ms)>& during) {
    const long long ticks0 = bench.cpuTicks();
    const double wall0 = wallSeconds();
    const auto until = test::ServeClock::now() + std::chrono::seconds(seconds);
    while (test::ServeClock::now() < until) during(100);
    const double ticks = static_cast<double>(bench.cpuTicks() - ticks0);
    return 100.0 * ticks / static_cast<double>(::sysconf(_SC_CLK_TCK)) / (wallSeconds() - wall0);
}

// One open page: its two fetches done, then /events, each sample event
// noted with when it came.
struct Page {
    int fd = -1;
    std::string pending;  // the stream's bytes not yet a whole event
    bool headed = false;
};

struct Arrival {
    std::string text;
    std::int64_t ms;
};

void readPages(std::vector<Page>& pages, int ms, std::vector<Arrival>& arrivals) {
    std::vector<pollfd> polls;
    for (const Page& p : pages) polls.push_back({p.fd, POLLIN, 0});
    if (::poll(polls.data(), polls.size(), ms) <= 0) return;
    const std::int64_t now = test::MonotonicMs();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (!(polls[i].revents & POLLIN)) continue;
        char buf[65536];
        const ssize_t n = ::recv(pages[i].fd, buf, sizeof buf, 0);
        if (n <= 0) continue;
        Page& page = pages[i];
        page.pending.append(buf, static_cast<std::size_t>(n));
        if (!page.headed) {
            const std::size_t end = page.pending.find("\r\n\r\n");
            if (end == std::string::npos) continue;
            page.pending.erase(0, end + 4);
            page.headed = true;
        }
        // A sample event's data line is its record.
        for (std::size_t at; (at = page.pending.find("event: sample\ndata: ")) != std::string::npos;) {
            const std::size_t from = at + 20;
            const std::size_t lf = page.pending.find('\n', from);
            if (lf == std::string::npos) break;
            const auto record = test::JsonReader::parse(page.pending.substr(from, lf - from));
            if (record) arrivals.push_back({(*record)["text"].text, now});
            page.pending.erase(0, lf + 1);
        }
    }
}

// What 10000 held sample records come to as /api/samples's JSON.
std::string heldSamples() {
    std::string json = "[";
    for (int seq = 1; seq <= 10000; ++seq) {
        if (seq > 1) json += ",";
        json += R"({"run":"0123456789abcdef","seq":)" + std::to_string(seq) +
                R"(,"time":"2026-12-09T03:00:00Z","channel":1,"command":"MEAS:VOLT:DC? 5,0.00001",)"
                R"("text":"+1.00000123E+00","value":1.0000012300000001,"mean":1.0000011999999999,)"
                R"("filter":1.0000012100000001,"count":)" + std::to_string(seq) + "}";
    }
    return json + "]";
}

// The longest the server's loop is held while every served client at once
// fetches every held sample; the clients read on a thread of their own, as
// they would in processes of their own. Each round is a fresh crowd.
double loopHoldMs(int rounds) {
    const std::string body = heldSamples();
    HttpServer::Limits limits;
    HttpServer server(ServeAddress{"127.0.0.1", 0}, "",
                      [&](ServeRoute route, const HttpServer::Query&) {
                          // Made anew for each request, as the logger makes it.
                          return route == ServeRoute::Samples ? HttpServer::Reply{200, std::string(body)}
                                                              : HttpServer::Reply{404, {}};
                      },
                      limits);
    std::string error;
    if (!server.start(error)) return 1e9;
    std::vector<double> holds;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longest = 0;
        QTimer probe;
        probe.setInterval(5);
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        probe.start();
        std::atomic<int> done{0};
        // One thread polls them all, so that the crowd takes one core at most.
        std::thread crowd([&] {
            const std::string request = test::GetRequest("/api/samples?since=0&limit=100000");
            std::vector<pollfd> fds;
            std::vector<std::size_t> got(static_cast<std::size_t>(limits.clients), 0);
            for (int i = 0; i < limits.clients; ++i) {
                const int fd = test::ConnectLoopback(server.port());
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 2000);
                ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
                fds.push_back({fd, POLLIN, 0});
            }
            const auto until = test::ServeClock::now() + std::chrono::seconds(20);
            while (done < limits.clients && test::ServeClock::now() < until) {
                if (::poll(fds.data(), fds.size(), 100) <= 0) continue;
                for (std::size_t i = 0; i < fds.size(); ++i) {
                    if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
                    char buf[65536];
                    const ssize_t n = ::recv(fds[i].fd, buf, sizeof buf, 0);
                    if (n > 0) got[i] += static_cast<std::size_t>(n);
                    if (n <= 0) {
                        if (got[i] > body.size()) ++done;
                        ::close(fds[i].fd);
                        fds[i].fd = -1;
                    }
                }
            }
            for (const pollfd& p : fds)
                if (p.fd >= 0) ::close(p.fd);
        });
        while (done < limits.clients && clock.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // The last answers' ends, then the closes.
        while (clock.elapsed() < 20000 && server.connections() > 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        crowd.join();
        if (done < limits.clients) return 1e9;
        holds.push_back(static_cast<double>(longest));
    }
    return median(holds);
}

}  // namespace
}  // namespace qs::bench

int main(int argc, char** argv) {
    using namespace qs;
    using namespace qs::bench;
    QCoreApplication app(argc, argv);
    BenchLine line;
    line.report("serve.loop_hold.served_clients_fetching_all_samples", loopHoldMs(5), "ms", Bound::AtMost,
                kLoopHoldTargetMs, 1);
    QTemporaryDir dir;
    ServedBench served(dir.path().toStdString(), "0.1");
    if (!served.start()) {
        BenchLine::note("the served logger did not start: " + served.why());
        return 2;
    }
    test::PollUntil([&] { return served.dataLines() >= 10; }, 5000);

    // /metrics, each on a connection of its own as a scraper without
    // keep-alive asks.
    {
        std::vector<double> ms;
        for (int i = 0; i < 300; ++i) {
            const double t0 = wallSeconds();
            const std::string reply = served.get("/metrics");
            const double t1 = wallSeconds();
            if (test::StatusOf(reply) != 200) {
                BenchLine::note("/metrics did not answer 200");
                return 2;
            }
            ms.push_back((t1 - t0) * 1000.0);
        }
        char note[160];
        std::snprintf(note, sizeof note, "/metrics over %zu requests: p99 %.3f ms, max %.3f ms", ms.size(),
                      percentile(ms, 99), percentile(ms, 100));
        BenchLine::note(note);
        line.report("serve.metrics.answer_p50", percentile(ms, 50), "ms", Bound::AtMost, kMetricsTargetMs);
    }

    // The logger alone, then with ten pages open.
    const double alone = cpuPercent(served, kMeasureSeconds, [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    });
    std::vector<Page> pages(kPages);
    for (Page& page : pages) {
        for (const char* route : {"/api/status", "/api/samples?since=0"})
            if (test::StatusOf(served.get(route)) != 200) {
                BenchLine::note(std::string(route) + " did not answer 200");
                return 2;
            }
        page.fd = test::ConnectLoopback(served.port());
        // HTTP/1.0, so that the stream comes unchunked and each event's
        // lines are read as sent; the request goes once the connection is up.
        const std::string request = "GET /events HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        pollfd p{page.fd, POLLOUT, 0};
        ::poll(&p, 1, 2000);
        ::send(page.fd, request.data(), request.size(), MSG_NOSIGNAL);
    }
    std::vector<Arrival> arrivals;
    const std::int64_t from = test::MonotonicMs();
    const double withPages = cpuPercent(served, kMeasureSeconds, [&](int ms) { readPages(pages, ms, arrivals); });
    for (const Page& page : pages) ::close(page.fd);
    char note[200];
    std::snprintf(note, sizeof note, "logger CPU: %.2f %% of a core alone, %.2f %% with %d pages (%zu events received)",
                  alone, withPages, kPages, arrivals.size());
    BenchLine::note(note);
    line.report("serve.cpu.ten_pages_extra", withPages - alone, "% of a core", Bound::AtMost, kPagesCpuTargetPercent, 2);

    // Each event against the reply it came from: the latest one the
    // simulator sent with its text before the event arrived.
    std::multimap<std::string, std::int64_t> sent;
    for (const test::SentReply& r : served.replies())
        if (r.ms >= from - 1000) sent.insert({r.text, r.ms});
    std::vector<double> latency;
    std::size_t unmatched = 0;
    for (const Arrival& a : arrivals) {
        std::int64_t best = -1;
        const auto [lo, hi] = sent.equal_range(a.text);
        for (auto it = lo; it != hi; ++it)
            if (it->second <= a.ms) best = std::max(best, it->second);
        if (best < 0) ++unmatched;
        else latency.push_back(static_cast<double>(a.ms - best));
    }
    std::snprintf(note, sizeof note, "sample to event: %zu events, %zu without their reply, max %.0f ms",
                  latency.size(), unmatched, percentile(latency, 100));
    BenchLine::note(note);
    if (latency.size() < static_cast<std::size_t>(kPages * kMeasureSeconds * 5)) {
        BenchLine::note("too few events arrived to measure");
        return 2;
    }
    line.report("serve.event_latency.p50", percentile(latency, 50), "ms", Bound::AtMost, kLatencyP50TargetMs, 1);
    line.report("serve.event_latency.p99", percentile(latency, 99), "ms", Bound::AtMost, kLatencyP99TargetMs, 1);
    if (served.stop() != 0) BenchLine::note("the logger did not end with status 0");
    return line.exitStatus();
}
