#pragma once
#include <cstdint>
#include <functional>
#include <span>

#include "stability/DataAnalysis.h"
#include "stability/PairRegression.h"
#include "stability/PointRing.h"
#include "stability/StabilityAccumulator.h"

namespace qs {

// The live statistics and stability sums of the window's two channels, kept
// beside the series as samples arrive and as the scroll window drops the
// oldest point. They cover a channel's own readings (never the other
// channel's held value that the chart repeats in Alternate Commands) that
// the scroll window still shows, the newest MeanPoints of them when
// MeanPoints > 0. Times are seconds; one thread at a time.
class StabilityStore {
public:
    // ---- getters
    // The readings the statistics of channel 1 or 2 cover, with their sums.
    const StabilityAccumulator& covered(int channel) const { return of(channel).covered; }
    // Channel 1 readings against the channel 2 readings taken next to them.
    const PairRegression& pairs() const { return pairs_; }
    int meanPoints() const { return meanPoints_; }
    // Changes with every change of what the figures cover.
    std::uint64_t revision() const { return revision_; }
    // The figures and (withRows) the octave table of channel 1, of channel
    // 2 when it has readings, and the regression when there are pairs:
    // O(octaves) plus a look at every few thousand points for the extremes;
    // the first table after a load makes its sums in one pass.
    DataAnalysis analysis(bool withRows = true) const;

    // ---- setters, from the window's handlers
    // A sample of channel 1 or 2; in Alternate Commands a channel 2 sample
    // pairs with the channel 1 reading before it.
    void append(int channel, double seconds, double value, bool alternate);
    // The scroll window dropped points: readings older than the oldest
    // point the channel's raw series still holds leave, all of them when it
    // holds none.
    void dropBefore(int channel, double oldestSeconds);
    void dropAll(int channel);
    // The mean's window changed (0: all): every sum afresh, in one pass.
    void setMeanPoints(int points);
    // After a load: a channel's readings as the chart now shows them, every
    // sum afresh in one pass (the stability table's at its first look).
    void assign(int channel, std::span<const double> seconds, std::span<const double> values);
    // A load hands its readings over as it reads them: begin, a reading at
    // a time, and for each channel the end, with the time of the oldest
    // point the chart shows once the scroll window applies (readings
    // before it leave), every sum then afresh in one pass.
    void beginLoad();
    void loadReading(int channel, double seconds, double value) { of(channel).loading.push(seconds, value); }
    void endLoad(int channel, double oldestShownSeconds);
    // An Empty, or another data file.
    void clear();

    // Told after every one-pass rebuild (a load, an Empty, a new mean
    // window), which no sample announces.
    std::function<void()> onRebuilt;

private:
    struct Channel {
        StabilityAccumulator covered;
        // Every own reading in the scroll window while MeanPoints > 0, so
        // that a wider mean's window can take them in again; empty while it
        // is 0 (covered then holds them all).
        PointRing pool;
        PointRing loading;  // the readings of a load under way
    };
    // Puts the readings into covered (the newest meanPoints_) and the pool,
    // taking them over.
    void place(Channel& c, PointRing readings);
    const Channel& of(int channel) const { return channel == 2 ? channel2_ : channel1_; }
    Channel& of(int channel) { return channel == 2 ? channel2_ : channel1_; }
    // Puts the readings into covered (the newest meanPoints_) and the pool.
    void place(Channel& c, std::span<const double> seconds, std::span<const double> values);
    void trimToMeanWindow(Channel& c);
    void dropPairsBeyondReadings();
    // The pairs afresh from the readings covered: the k-th of channel 1
    // with the k-th of channel 2.
    void rebuildPairs();
    void rebuilt();

    Channel channel1_, channel2_;
    PairRegression pairs_;
    // A channel 1 reading of Alternate Commands that waits for its channel 2.
    bool channel1Waiting_ = false;
    double waitingValue_ = 0.0;
    int meanPoints_ = 0;
    std::uint64_t revision_ = 0;
};

}  // namespace qs
