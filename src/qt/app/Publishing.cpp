#include "qt/app/Publishing.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "qt/app/Serving.h"
#include "window/LinkJson.h"
#include "window/SampleJson.h"

namespace qs {

std::string DefaultLoggerName() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') std::snprintf(host, sizeof host, "logger");
    std::error_code ec;
    const std::string folder = std::filesystem::current_path(ec).filename().string();
    return TopicLevel(folder.empty() ? std::string(host) : std::string(host) + "-" + folder);
}

std::unique_ptr<BrokerPublishing> StartPublishing(const PublishingOptions& options, TGPIBTelnet& logger,
                                                  const std::string& run, std::string& error) {
    if (!options.address) return nullptr;
    BrokerPublishing::Settings settings;
    settings.address = *options.address;
    if (!options.passwordFile.empty() && !ReadFirstLine(options.passwordFile, settings.password)) {
        error = "--mqtt-password-file " + options.passwordFile + ": the file cannot be read";
        return nullptr;
    }
    settings.caFile = options.caFile;
    settings.name = options.name.empty() ? DefaultLoggerName() : options.name;
    settings.spoolFolder = kSpoolFolder;
    settings.run = run;

    auto publishing = std::make_unique<BrokerPublishing>(settings);
    if (!publishing->start(error)) return nullptr;
    SamplePublisher& publisher = publishing->publisher();
    logger.sampleSubscribers.add([&publisher](const SampleRecord& sample) { publisher.sampleTaken(sample); });
    logger.statusSubscribers.add([&publisher, &logger](const StatusEvent& event) {
        if (event.kind == StatusEventKind::LinkStatus) publisher.linkChanged(LinkJson(logger, event));
    });
    return publishing;
}

std::string NewRunId() {
    std::random_device random;
    return RunId((static_cast<unsigned long long>(random()) << 32) ^ random());
}

}  // namespace qs
