// Writing all of a buffer to an open file: what the data file, the raw
// results log and config.txt are written with.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "core/TextFile.h"

namespace qs {
namespace {

enum class Target { Pipe, DevFull, Closed };

TEST(WriteAll, WritesEveryByteOrSaysItCouldNot) {
    const struct {
        Target target;
        std::string bytes;
        bool ok;
    } cases[] = {
        {Target::Pipe, "2024-03-05 14:07:09,1\r\n", true},
        {Target::Pipe, std::string(40000, 'x'), true},  // within a pipe's 64 KiB: nobody need read first
        {Target::Pipe, "", true},
        {Target::DevFull, "x", false},  // the disk is full
        {Target::Closed, "x", false},   // no file at all
        {Target::Closed, "", true},     // nothing to write, nothing fails
    };
    for (const auto& c : cases) {
        int fds[2] = {-1, -1};
        int fd = -1;
        if (c.target == Target::Pipe) {
            ASSERT_EQ(::pipe(fds), 0);
            fd = fds[1];
        } else if (c.target == Target::DevFull) {
            fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
            if (fd < 0) GTEST_SKIP() << "no /dev/full";
        }
        EXPECT_EQ(WriteAll(fd, c.bytes), c.ok) << c.bytes.size() << " bytes";
        if (c.target == Target::Pipe) {
            ::close(fds[1]);
            std::string back;
            char buf[4096];
            for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) back.append(buf, static_cast<std::size_t>(n));
            ::close(fds[0]);
            EXPECT_EQ(back, c.bytes);
        } else if (fd >= 0) {
            ::close(fd);
        }
    }
}

}  // namespace
}  // namespace qs
