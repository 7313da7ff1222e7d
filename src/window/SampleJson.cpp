#include "window/SampleJson.h"

#include <cstdio>

#include "core/JsonText.h"

namespace qs {

std::string SampleJson(const SampleRecord& s, std::string_view run) {
    return JsonObject()
        .text("run", run)
        .count("seq", static_cast<long long>(s.seq))
        .text("time", FormatIsoUtc(s.time))
        .count("channel", s.channel)
        .text("command", s.command)
        .text("text", s.cleanText)
        .num("value", s.value)
        .num("mean", s.mean)
        .num("filter", s.filter)
        .count("count", s.count)
        .done();
}

std::string RunId(unsigned long long bits) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", bits);
    return buf;
}

}  // namespace qs
