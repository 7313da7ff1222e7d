#pragma once
#include <memory>
#include <string>

#include "qt/app/ProgramOptions.h"
#include "qt/net/LoggerServer.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// What --serve asks for, put together: the token read from its file and
// the server listening, the logger's records told to it. Null with the
// reason (one line) when it cannot start; null without one when there is
// no --serve.
std::unique_ptr<LoggerServer> StartServing(const ServingOptions& options, TGPIBTelnet& logger,
                                           ServedState::Identity identity, std::string& error);

// A file's first line without its line end; false when the file cannot be
// read. For the secrets that never go on the command line.
bool ReadFirstLine(const std::string& path, std::string& line);

}  // namespace qs
