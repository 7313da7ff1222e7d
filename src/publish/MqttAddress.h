#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace qs {

// Where the samples are published: "mqtt://[USER@]HOST[:PORT]/PREFIX", or
// "mqtts://..." for TLS. PORT defaults to 1883 (8883 with TLS); HOST may be
// an IPv6 address in brackets; PREFIX is the first part of every topic and
// may hold slashes ("lab/bench"), never the wildcards + and #.
struct MqttAddress {
    bool tls = false;
    std::string user;  // empty: no login
    std::string host;
    std::uint16_t port = 1883;
    std::string prefix;

    bool operator==(const MqttAddress&) const = default;
};

// The address, or what is wrong with the text (one line, naming the form).
std::variant<MqttAddress, std::string> ParseMqttAddress(std::string_view text);

// Whether a topic level built from a name may stand in a topic as it is:
// not empty, no slash and no wildcard.
bool IsTopicLevel(std::string_view name);

// A topic level from any text: wildcards, slashes, blanks and controls
// become "_" ("bench pc/Data" gives "bench_pc_Data").
std::string TopicLevel(std::string_view text);

}  // namespace qs
