// A data line is written whole or not at all: a write that a full disk stops
// part-way is undone, so the next line never gets glued onto a torn one; and
// a torn line in an older file is recognised so that Load can skip it.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "TempWorkDir.h"
#include "core/LineAppender.h"
#include "core/TextFile.h"
#include "datafile/DataLine.h"
#include "datafile/LoadedLine.h"

namespace qs {
namespace {

using test::ReadFile;

const SampleTime kFirst{2026, 12, 8, 0, 35, 52};
const SampleTime kSecond{2026, 12, 8, 0, 35, 57};

std::string line(const SampleTime& t, const char* reply) { return FormatDataLine(t, reply, 1.0, 1.0); }

// A write that stops after `allowed` bytes as a full disk does: the first
// call writes what fits, the next fails with ENOSPC.
std::size_t allowedBytes = 0;
ssize_t shortWrite(int fd, const void* data, std::size_t size) {
    if (allowedBytes == 0) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t n = size < allowedBytes ? size : allowedBytes;
    allowedBytes -= n;
    return ::write(fd, data, n);
}

TEST(TornLine, AWriteStoppedPartWayIsUndone) {
    for (std::size_t allowed : {std::size_t{0}, std::size_t{1}, std::size_t{12}, std::size_t{30}}) {
        test::TempWorkDir dir;
        ASSERT_TRUE(AppendToFile("Data.txt", line(kFirst, "+1.10000000E+01")));
        const std::string before = ReadFile("Data.txt");
        allowedBytes = allowed;
        EXPECT_FALSE(AppendToFile("Data.txt", line(kSecond, "+2.90000000E+01"), shortWrite)) << allowed;
        EXPECT_EQ(ReadFile("Data.txt"), before) << allowed << " bytes were written and taken back";
        ASSERT_TRUE(AppendToFile("Data.txt", line(kSecond, "+2.90000000E+01")));
        EXPECT_EQ(ReadFile("Data.txt"), before + line(kSecond, "+2.90000000E+01"));
    }
}

int failingTruncate(int, off_t) {
    errno = EIO;
    return -1;
}

// Where the torn part cannot be taken back either, the next line to that
// file starts on a line of its own: the torn one ends there, and Load skips
// it, but no sample is glued onto it.
TEST(TornLine, ALineThatCannotBeTakenBackIsEndedBeforeTheNext) {
    test::TempWorkDir dir;
    LineAppender lines(shortWrite, failingTruncate);
    const std::string first = line(kFirst, "+1.10000000E+01");
    const std::string second = line(kSecond, "+2.90000000E+01");
    allowedBytes = 1 << 20;
    ASSERT_TRUE(lines.append("Data.txt", first));
    allowedBytes = 30;
    EXPECT_FALSE(lines.append("Data.txt", second));
    allowedBytes = 1 << 20;
    EXPECT_TRUE(lines.append("Other.txt", first)) << "another file ends in no torn line";
    ASSERT_TRUE(lines.append("Data.txt", second));
    ASSERT_TRUE(lines.append("Data.txt", second));
    EXPECT_EQ(ReadFile("Data.txt"), first + second.substr(0, 30) + "\r\n" + second + second);
    EXPECT_EQ(ReadFile("Other.txt"), first);
}

// The same on a real file system that fills up: a small tmpfs, filled so
// that the data file's last page has room for part of a line only.
class SmallTmpfs : public ::testing::Test {
protected:
    void SetUp() override {
        mountPoint_ = dir_.path() / "small";
        std::filesystem::create_directory(mountPoint_);
        if (::mount("tmpfs", mountPoint_.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                         << "): needs root in a mount namespace; the injected short write covers the rule";
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    std::string path(const char* name) const { return (mountPoint_ / name).string(); }

    test::TempWorkDir dir_;
    std::filesystem::path mountPoint_;
    bool mounted_ = false;
};

TEST_F(SmallTmpfs, ALineThatOnlyPartlyFitsLeavesNoTornLine) {
    const std::string data = path("Data.txt");
    const std::string one = line(kFirst, "+1.10000000E+01");
    // The data file ends 20 bytes before a page boundary: the next line
    // starts on that page and needs the next one.
    const std::string head(4096 - 20, 'x');
    ASSERT_TRUE(AppendToFile(data, head.substr(0, head.size() - one.size()) + one));
    {
        std::ofstream filler(path("filler"), std::ios::binary);
        const std::string block(1024, 'f');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    const std::string before = ReadFile(data);
    EXPECT_FALSE(AppendToFile(data, line(kSecond, "+2.90000000E+01")));
    EXPECT_EQ(ReadFile(data), before) << "the part that fitted was taken back";

    std::filesystem::remove(path("filler"));
    ASSERT_TRUE(AppendToFile(data, line(kSecond, "+2.90000000E+01")));
    const std::string after = ReadFile(data);
    EXPECT_EQ(after, before + line(kSecond, "+2.90000000E+01"));
    const std::size_t first = after.rfind("2026-12-08 00:35:52");
    EXPECT_FALSE(HoldsASecondStamp(after.substr(first, after.find('\n', first) - first).c_str()));
}

struct StampCase {
    const char* line;
    bool torn;
};

TEST(TornLine, ALineHoldingASecondStampIsTorn) {
    const StampCase cases[] = {
        {"2026-12-08 00:35:52, +1.10000000E+01, 1.1E+01, 1.1E+01\r\n", false},
        {"2026-12-08 00:35:52, +1.10000000E+012026-12-08 00:35:57, +2.90000000E+01, 2.9E+01, 2.9E+01\r\n", true},
        {"2026-12-08 00:35:52, +1.12026-12-08 00:35:57, +2.90000000E+01, 2.9E+01, 2.9E+01\r\n", true},
        {"2026-12-08 00:32026-12-08 00:35:57, +2.90000000E+01, 2.9E+01, 2.9E+01\r\n", true},
        {"2022026-12-08 00:35:57, +2.90000000E+01, 2.9E+01, 2.9E+01\r\n", true},
        {"2026-12-08 00:35:52, 12:30:00 READY, 1.1E+01, 1.1E+01\r\n", false},
        {"2026-12-08 00:35:52, +1.1E+01, 1.1E+01, 1.1E+01\r\n2026-12-08 00:35:57", true},
        {"", false},
        {"2026-12-08 00:35:5", false},
        // The first and the last places a stamp can stand after the start.
        {"x2026-12-08 00:35:57", true},
        {"x2026-12-08 00:35:5", false},
        {"2026-12-08 00:35:52:2026-12-08 00:35:57", true},
        {"::::::::::::::::::::::::::::::::", false},
    };
    for (const StampCase& c : cases) EXPECT_EQ(HoldsASecondStamp(c.line), c.torn) << c.line;
}

}  // namespace
}  // namespace qs
