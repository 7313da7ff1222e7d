#include "core/TextFile.h"

#include <cstdio>

namespace qs {

bool AppendToFile(const std::string& fileName, std::string_view bytes) {
    if (fileName.empty()) return false;
    std::FILE* f = std::fopen(fileName.c_str(), "ab");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

std::string ToTextMode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    for (char c : bytes) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace qs
