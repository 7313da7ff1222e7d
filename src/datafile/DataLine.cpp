#include "datafile/DataLine.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/CLocale.h"

namespace qs {

std::string FormatE8(double value) {
    if (!std::isfinite(value)) {
        CLocaleScope c;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.8E", value);
        return buf;
    }
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 8);
    std::string s(buf, end);
    for (char& ch : s)
        if (ch == 'e') ch = 'E';
    return s;
}

std::string FormatDataLine(const SampleTime& t, std::string_view replyText, double mean, double filter) {
    char stamp[48];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d, ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::string line = stamp;
    line.reserve(line.size() + replyText.size() + 40);
    line.append(replyText);
    line += ", ";
    line += FormatE8(mean);
    line += ", ";
    line += FormatE8(filter);
    line += "\r\n";
    return line;
}

int ScanDataLine(const char* line, DataLineFields& f) {
    CLocaleScope c;
    return std::sscanf(line, "%04d-%02d-%02d %02d:%02d:%02d, %lf, %lf, %lf, %lf", &f.year, &f.month, &f.day, &f.hour,
                       &f.minute, &f.second, &f.raw, &f.mean, &f.filter, &f.fourth);
}

}  // namespace qs
