#pragma once
#include <memory>
#include <optional>
#include <vector>

namespace qs {

// The smallest and the largest of some readings.
struct ValueRange {
    double minimum = 0.0;
    double maximum = 0.0;
};

// The points (time, value) the live stability sums cover, oldest first:
// appended at the back, dropped from the front, 16 bytes a point. They are
// kept in chunks of a few thousand, each with the extremes of its points,
// so that the extremes of all of them cost a look at each chunk's and not
// at every point, and dropping the point that was a chunk's extreme costs a
// look at that chunk's points only, once, when the extremes are next asked.
class PointRing {
public:
    // ---- getters
    long long size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // i from 0 (the oldest) to size() - 1.
    double time(long long i) const {
        const Place p = at(i);
        return p.chunk.t[p.slot];
    }
    double value(long long i) const {
        const Place p = at(i);
        return p.chunk.y[p.slot];
    }
    // The extremes of the values; nullopt when there is none.
    std::optional<ValueRange> range() const;

    // ---- setters
    void push(double time, double value);
    // Drops the oldest point; nothing when there is none.
    void pop();
    void clear();

private:
    static constexpr int kChunkPoints = 4096;
    struct Chunk {
        double t[kChunkPoints];
        double y[kChunkPoints];
        ValueRange range;
        bool stale = false;  // a point that was an extreme has left: range must be worked out again
    };
    struct Place {
        Chunk& chunk;
        int slot;
    };
    Place at(long long i) const {
        const long long p = front_ + i;
        return {*chunks_[first_ + static_cast<std::size_t>(p / kChunkPoints)], static_cast<int>(p % kChunkPoints)};
    }

    // chunks_[first_] holds the oldest point; the chunks before it are
    // emptied and freed, their places taken back now and then.
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::size_t first_ = 0;
    long long front_ = 0;  // the oldest point's slot in its chunk
    long long size_ = 0;
};

}  // namespace qs
