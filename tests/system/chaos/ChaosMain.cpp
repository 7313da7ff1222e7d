// quillstone-chaos: the real window against a faulty simulator, driven by a
// seeded random person, watched for crashes, hangs and bad data-file lines.
//   quillstone-chaos [--seconds N] [--seed S] [--hang-ms MS] [--faults PERCENT] [--keep]
// Without --seed a random one is taken (and printed): a failing run is
// replayed with its seed. `make chaos` runs it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "ChaosPerson.h"
#include "ChaosSupervisor.h"
#include "qt/app/LoggerApp.h"
#include "qt/app/LoggerMain.h"

namespace {

// The window run of one child: the program as it starts for a person, and
// the chaos person at it once it is shown. Reports go to fd 3.
int runWindowChild(int argc, char** argv, std::uint32_t seed, const std::string& simHost) {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::unique_ptr<qs::chaos::ChaosPerson> person;
    return qs::RunLogger(argc, argv, [&](qs::LoggerApp& app) {
        app.window.activateWindow();
        person = std::make_unique<qs::chaos::ChaosPerson>(app, seed, 3, simHost);
        person->start();
    });
}

std::uint32_t number(const char* text) { return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)); }

}  // namespace

int main(int argc, char** argv) {
    qs::chaos::ChaosOptions options;
    // The window runs start in the work folder: this program by its full path.
    options.self = std::filesystem::canonical("/proc/self/exe").string();
    options.seed = std::random_device{}();
    bool child = false;
    std::string simHost;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--child") child = true;
        else if (arg == "--seconds") options.seconds = static_cast<int>(number(value)), ++i;
        else if (arg == "--seed") options.seed = number(value), ++i;
        else if (arg == "--hang-ms") options.hangMs = static_cast<int>(number(value)), ++i;
        else if (arg == "--faults") options.faultPercent = static_cast<int>(number(value)), ++i;
        else if (arg == "--sim") simHost = value, ++i;
        else if (arg == "--keep") options.keep = true;
        else {
            std::fprintf(stderr, "quillstone-chaos: unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (child) return runWindowChild(1, argv, options.seed, simHost);
    try {
        return qs::chaos::RunChaos(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillstone-chaos: %s\n", e.what());
        return 2;
    }
}
