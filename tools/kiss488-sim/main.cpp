// kiss488-sim: a simulated KISS-488 GPIB-LAN adapter for running and testing
// the logger without hardware. See --help.
#include <signal.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "SimOptions.h"
#include "SimServer.h"

int main(int argc, char** argv) {
    const auto outcome = qs::sim::SimOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!outcome.config) return outcome.exitCode;

    // Stop signals are taken from a signalfd inside the poll loop, so they
    // must not interrupt anything on their way there.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        qs::sim::SimServer server(*outcome.config);
        std::printf("listening on %s\n", server.endpoint().c_str());
        std::fflush(stdout);
        server.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kiss488-sim: %s\n", e.what());
        return 1;
    }
    std::printf("stopped\n");
    return 0;
}
