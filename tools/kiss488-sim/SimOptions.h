#pragma once
#include <optional>
#include <string>
#include <vector>

#include "SimConfig.h"

namespace qs::sim {

// The command line of kiss488-sim. Every option is one row of a table (name,
// value name, help, how it sets the config), so a new fault is one new row
// and shows up in --help by itself.
class SimOptions {
public:
    // What parsing decided: run with a config, or stop with an exit code
    // after printing the help or an error.
    struct Outcome {
        std::optional<SimConfig> config;
        int exitCode = 0;
    };

    static Outcome parse(const std::vector<std::string>& args);
    static std::string helpText();
};

}  // namespace qs::sim
