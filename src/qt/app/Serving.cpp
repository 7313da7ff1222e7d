#include "qt/app/Serving.h"

#include <fstream>

namespace qs {

bool ReadFirstLine(const std::string& path, std::string& line) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::unique_ptr<LoggerServer> StartServing(const ServingOptions& options, TGPIBTelnet& logger,
                                           ServedState::Identity identity, std::string& error) {
    if (!options.address) return nullptr;
    LoggerServer::Settings settings;
    settings.address = *options.address;
    if (!options.tokenFile.empty()) {
        if (!ReadFirstLine(options.tokenFile, settings.token)) {
            error = "--serve-token-file " + options.tokenFile + ": the file cannot be read";
            return nullptr;
        }
        // An empty first line would serve everyone while the person thinks
        // the page is closed.
        if (settings.token.empty()) {
            error = "--serve-token-file " + options.tokenFile + ": the first line is empty";
            return nullptr;
        }
    }
    settings.identity = std::move(identity);
    auto server = std::make_unique<LoggerServer>(logger, std::move(settings));
    if (!server->start(error)) return nullptr;
    return server;
}

}  // namespace qs
