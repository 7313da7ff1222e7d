#pragma once
#include <memory>
#include <string>

#include "qt/app/ProgramOptions.h"
#include "qt/net/BrokerPublishing.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// The folder of the samples a broker has not acknowledged, in the working
// directory.
inline constexpr const char* kSpoolFolder = "mqtt-spool";

// What --mqtt asks for, put together: the password read from its file, the
// logger's name, the spool, and the logger's samples and link changes
// handed to the publisher under run (this start of the program). Null with
// the reason (one line) when it cannot start; null without one when there
// is no --mqtt.
std::unique_ptr<BrokerPublishing> StartPublishing(const PublishingOptions& options, TGPIBTelnet& logger,
                                                  const std::string& run, std::string& error);

// A new run id: 64 random bits, for every record this start of the program
// sends (to a broker, to a page).
std::string NewRunId();

// The name a logger has in the topics without --name: the host name and
// the working folder's name, "benchpc-Quillstone".
std::string DefaultLoggerName();

}  // namespace qs
