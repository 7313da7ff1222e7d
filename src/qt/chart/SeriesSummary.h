#pragma once
#include <cmath>
#include <cstdint>
#include <deque>

#include <qcustomplot.h>

namespace qs {

// The smallest and largest value of a stretch of points. nan: some value in
// it is not a number (its place breaks the drawn line), min and max are then
// meaningless.
struct ValueExtremes {
    double min = 0.0, max = 0.0;
    bool nan = false;
};

// A level-of-detail summary of a graph's points: the smallest and largest
// value of every block of kBlock consecutive points, so that the extremes of
// any stretch of points cost a few hundred steps however long it is.
class SeriesSummary {
public:
    static constexpr int kBlock = 64;

    void appended(double value) {
        if (known_) take(value);
    }
    void droppedFirst();
    void cleared();
    void forget() { known_ = false; }

    // The extremes of points first to last - 1 of the count held, which start
    // at points (the container's index 0).
    ValueExtremes extremes(const QCPGraphData* points, int count, int first, int last) const;

private:
    struct Block {
        double min, max;  // both NaN: the block holds a value that is not a number
    };
    void rebuild(const QCPGraphData* points, int count) const;
    // Takes the next point's value into its block, as points arrive.
    void take(double value) const {
        if (static_cast<std::uint64_t>(dropped_ + count_++) % kBlock == 0) {
            blocks_.push_back({value, value});
            return;
        }
        Block& b = blocks_.back();
        if (std::isnan(b.min)) return;
        if (std::isnan(value)) b.min = b.max = value;
        else if (value < b.min) b.min = value;
        else if (value > b.max) b.max = value;
    }

    // members
    mutable std::deque<Block> blocks_;  // blocks_[0] is block firstBlock_
    mutable std::int64_t dropped_ = 0;  // points dropped from the front since block 0 began
    mutable std::int64_t firstBlock_ = 0;
    mutable std::int64_t count_ = 0;  // points held
    mutable bool known_ = true;
};

}  // namespace qs
