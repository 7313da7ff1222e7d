#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace qs {

// A C stream that closes itself: FileHandle owns what fopen returned.
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Writes all the bytes to the open file descriptor, again where a signal
// interrupted a write. False when a write fails or writes nothing.
bool WriteAll(int fd, std::string_view bytes);

// Opens the file for appending in byte mode, writes the bytes, closes it.
// False when it could not be opened, written or closed. Nothing stays open
// between two calls, so other programs can read the file at any time.
bool AppendToFile(const std::string& fileName, std::string_view bytes);

// The text-mode form of bytes, as the logger's files have always been
// written: every LF becomes CR LF, whatever the platform.
std::string ToTextMode(std::string_view bytes);

}  // namespace qs
