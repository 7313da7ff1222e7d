#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace qs {

// The latest sample records the server still holds, as JSON, for clients
// that poll: bounded, so that a week of logging never grows the logger's
// memory past capacity records.
class SampleRing {
public:
    explicit SampleRing(std::size_t capacity) : capacity_(capacity) {}

    // seq grows with each call (the logger's sample numbering); the oldest
    // record leaves once capacity are held.
    void add(std::uint64_t seq, std::string json);

    // A JSON array of the records with seq > since, oldest first, at most
    // limit of them (the oldest such ones, so that a client that polls with
    // the last seq it saw gets the rest next time).
    std::string since(std::uint64_t since, std::size_t limit) const;

    std::size_t size() const { return records_.size(); }
    std::size_t capacity() const { return capacity_; }

private:
    struct Record {
        std::uint64_t seq;
        std::string json;
    };
    std::size_t capacity_;
    std::deque<Record> records_;
};

}  // namespace qs
