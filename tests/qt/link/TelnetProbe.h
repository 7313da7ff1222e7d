#pragma once
#include <string>
#include <vector>

#include "qt/link/QtTelnet.h"

namespace qs::test {

// A QtTelnet whose events are written down in the order they came.
class TelnetProbe {
public:
    TelnetProbe() : telnet([this](const std::string& message) { errors.push_back(message); }) {
        telnet.setEvents({[this] { log.push_back("connected"); },
                          [this] { log.push_back("disconnected"); },
                          [this](const std::uint8_t* data, std::size_t size) {
                              chunks.emplace_back(reinterpret_cast<const char*>(data), size);
                              data_.append(reinterpret_cast<const char*>(data), size);
                              log.push_back("data");
                          }});
    }

    void send(const std::string& text) {
        for (char c : text) telnet.SendCh(c);
    }
    int events(const std::string& kind) const {
        int n = 0;
        for (const auto& entry : log) n += entry == kind ? 1 : 0;
        return n;
    }
    const std::string& data() const { return data_; }
    // Data received since the given offset.
    std::string dataFrom(std::size_t offset) const { return offset < data_.size() ? data_.substr(offset) : ""; }

    QtTelnet telnet;
    std::vector<std::string> log;
    std::vector<std::string> chunks;
    std::vector<std::string> errors;

private:
    std::string data_;
};

}  // namespace qs::test
