#pragma once
#include <sys/types.h>
#include <unistd.h>

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

// The system's write, or a stand-in for it that a test can make fail.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);

// The system's ftruncate, or a stand-in for it that a test can make fail.
using TruncateCall = int (*)(int fd, off_t length);

// Writes all the bytes to the open file descriptor, again where a signal
// interrupted a write. False when a write fails or writes nothing.
bool WriteAll(int fd, std::string_view bytes, WriteCall write = ::write);

// Opens the file for appending in byte mode, writes the bytes, closes it.
// False when it could not be opened, written or closed. Nothing stays open
// between two calls, so other programs can read the file at any time. A
// write that stops part-way (a full disk) is undone: the file is cut back to
// the length it had, so it never ends in a torn line that the next append
// would be glued onto.
bool AppendToFile(const std::string& fileName, std::string_view bytes, WriteCall write = ::write);

// How an append ended: TornTail when a write stopped part-way and the file
// could not be cut back, so that it now ends in a part of the bytes.
enum class AppendOutcome { Written, NotWritten, TornTail };
AppendOutcome AppendReporting(const std::string& fileName, std::string_view bytes, WriteCall write = ::write,
                              TruncateCall truncate = ::ftruncate);

// The text-mode form of bytes, as the logger's files have always been
// written: every LF becomes CR LF, whatever the platform.
std::string ToTextMode(std::string_view bytes);

}  // namespace qs
