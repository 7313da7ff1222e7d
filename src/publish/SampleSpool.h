#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace qs {

// One record handed out by the spool: id is what acknowledge() takes back.
struct SpoolEntry {
    std::uint64_t id = 0;
    std::string text;
};

// The records a broker has not acknowledged yet, on disk in a folder of
// their own, so that neither an outage of the broker nor a restart of the
// logger loses one. Records are lines (no line end inside) in numbered
// segment files; a small file "acknowledged" says where the first record
// not yet acknowledged starts. It is saved now and then, never ahead of
// the broker: after a crash a record may go twice, never not at all.
// A segment wholly acknowledged is deleted, so the folder holds what waits
// plus at most one segment.
//
// One thread at a time; every call is a few system calls at most.
class SampleSpool {
public:
    struct Limits {
        std::uint64_t maxBytes = 256ull << 20;  // a week at 1 sample/s is about 140 MB
        std::uint64_t segmentBytes = 1ull << 20;
    };

    explicit SampleSpool(std::string folder);
    SampleSpool(std::string folder, Limits limits);
    ~SampleSpool();
    SampleSpool(const SampleSpool&) = delete;
    SampleSpool& operator=(const SampleSpool&) = delete;

    // Opens the folder, making it if need be, and takes up what an earlier
    // run left unacknowledged (a torn last line of a crash is cut off).
    // False with the reason when the folder cannot be used.
    bool open(std::string& error);

    // Keeps a record until it is acknowledged. False when the spool is full
    // or the disk refused it: the record is dropped and counted.
    bool append(std::string_view record);

    // The oldest record not yet handed out since the last rewind.
    std::optional<SpoolEntry> next();

    // The broker has the record: once every older one is acknowledged too,
    // it is gone from the spool. An id from before a rewind is ignored.
    void acknowledge(std::uint64_t id);

    // Every record handed out and not acknowledged is handed out again, in
    // order (a new connection to the broker).
    void rewind();

    // Saves how far the acknowledgements have come.
    void flush();

    std::uint64_t waiting() const { return waiting_; }  // appended, not yet acknowledged
    std::uint64_t dropped() const { return dropped_; }  // not kept, since open
    std::uint64_t bytesOnDisk() const;

private:
    struct Position {
        std::uint32_t segment = 0;
        std::uint64_t offset = 0;
        auto operator<=>(const Position&) const = default;
    };
    struct Segment {
        std::uint32_t number = 0;
        std::uint64_t bytes = 0;
    };
    // A record appended in this run, not yet handed out: the live case
    // hands it out from memory rather than reading back what was just
    // written.
    struct Recent {
        Position at, end;
        std::string text;
    };
    struct HandedOut {
        std::uint64_t id = 0;
        Position end;
        bool acknowledged = false;
    };

    std::string segmentPath(std::uint32_t number) const;
    bool openWriteSegment(std::uint32_t number);
    bool readLine(Position& at, std::string& line);
    void advanceAcknowledged(Position to);
    void dropAcknowledgedSegments();
    void saveAcknowledged();

    std::string folder_;
    Limits limits_;
    std::deque<Segment> segments_;  // oldest first; the last takes the appends
    int writeFd_ = -1;
    int readFd_ = -1;
    int ackFd_ = -1;
    std::uint32_t readFdSegment_ = 0;
    Position acknowledged_;  // the first byte not acknowledged
    Position read_;          // the first byte not handed out
    std::deque<HandedOut> handedOut_;
    std::deque<Recent> recent_;
    static constexpr std::size_t kRecentRecords = 1000;
    std::uint64_t nextId_ = 1;
    std::uint64_t waiting_ = 0;
    std::uint64_t dropped_ = 0;
    bool unsaved_ = false;
};

}  // namespace qs
