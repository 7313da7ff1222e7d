#include "qt/net/BrokerPublishing.h"

#include <utility>

namespace qs {

BrokerPublishing::BrokerPublishing(Settings settings)
    : settings_(std::move(settings)),
      spool_(settings_.spoolFolder),
      link_(settings_.address, {settings_.password, settings_.caFile}, "quillstone/" + settings_.name,
            PublisherTopics::Under(settings_.address.prefix, settings_.name).status,
            {[this] { publisher_.connected(); }, [this](const std::string& reason) { publisher_.refused(reason); },
             [this] { publisher_.lost(); }, [this](int id) { publisher_.acknowledged(id); },
             [this](int id, const std::string& reason) { publisher_.rejected(id, reason); }}),
      publisher_(link_, spool_, PublisherTopics::Under(settings_.address.prefix, settings_.name), settings_.run,
                 settings_.address.host) {}

BrokerPublishing::~BrokerPublishing() { finish(); }

bool BrokerPublishing::start(std::string& error) {
    if (!spool_.open(error)) {
        error = "MQTT: the spool cannot be used: " + error;
        return false;
    }
    return link_.start(error);
}

void BrokerPublishing::finish() {
    if (std::exchange(finished_, true)) return;
    publisher_.closing();
    link_.finish(1000);
}

}  // namespace qs
