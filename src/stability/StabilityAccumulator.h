#pragma once
#include <optional>
#include <span>
#include <vector>

#include "stability/DoubleDouble.h"
#include "stability/LinearSums.h"
#include "stability/PointRing.h"
#include "stability/SampleSpacing.h"
#include "stability/StabilityFigures.h"
#include "stability/StabilitySums.h"

namespace qs {

// The statistics and the stability of one channel, kept up to date as
// readings arrive and as the oldest leave, at O(octaves) a reading. Times
// are seconds (any origin), readings finite; one thread at a time.
class StabilityAccumulator {
public:
    // Besides the octaves, live sums of these averaging factors too (a table
    // of chosen taus); each costs as much per reading as an octave.
    explicit StabilityAccumulator(std::vector<long long> extraFactors = {});

    // ---- getters
    long long count() const { return static_cast<long long>(points_.size()) - pendingDrops_; }
    // Reading i (0 the oldest) and its time.
    double time(long long i) const { return points_.time(i + pendingDrops_); }
    double value(long long i) const { return points_.value(i + pendingDrops_); }
    // N, mean, spread, extremes, drift, tau0; O(points / 4096) for the extremes.
    SeriesFigures figures() const;
    // The rows of m = 1, 2, 4, ... up to a quarter of the points, from the
    // live sums: O(octaves).
    std::vector<StabilityRow> octaveTable() const;
    // The row of any m >= 1: an octave's or an extra factor's from its live
    // sums, any other from one pass over the points held.
    StabilityRow rowAt(long long m) const;

    // ---- setters
    void append(double seconds, double value);
    // Drops the oldest reading; nothing when there is none.
    void dropOldest();
    // Empties it; the extra factors stay.
    void clear();
    // The points held and every sum afresh from these, in one pass (after a
    // load, or a change of the points the statistics cover).
    void assign(std::span<const double> seconds, std::span<const double> values);
    // Every sum afresh from the points held, in one pass.
    void rebuild();
    // As assign, but only the figures' sums now (a pass over the moments);
    // the stability sums are made in one pass at the first look at a row.
    // A load of millions of readings then costs little, and only a look
    // at the stability table pays for its sums.
    void assignDeferringRows(std::span<const double> seconds, std::span<const double> values);
    // The same with points handed over whole, without a copy.
    void assignDeferringRows(PointRing points);
    // Whether the stability sums wait for the first look at a row.
    bool rowsDeferred() const { return rowsDeferred_; }

private:
    struct Octave {
        long long m = 0;
        // The newest two D terms, D_(N-2m) and D_(N-3m), and the oldest
        // two, D_0 and D_m, the readings padded with the reference beyond
        // either end; and M_0 and M_(N-3m+1), padded likewise.
        DoubleDouble dBack1, dBack2, dFront1, dFront2;
        DoubleDouble mFront, mBack;
        DoubleDouble oadevSum, mdevSum, hdevSum;
        long long oadevTerms = 0, mdevTerms = 0, hdevTerms = 0;
        // The sums as a pass over the points made them (0 when they were
        // built term by term): what their rounding is some 1e-15 of.
        double oadevAnchor = 0.0, mdevAnchor = 0.0, hdevAnchor = 0.0;
    };

    // The readings in the ring from its index `from`, relative to the
    // reference, padded with 0 beyond either end of [0, n).
    struct Readings {
        const PointRing& ring;
        long long from, n;
        double reference;
        double at(long long i) const { return i >= 0 && i < n ? ring.value(from + i) - reference : 0.0; }
    };

    bool tracked(long long m) const;
    const Octave* octaveOf(long long m) const;
    static void appendToOctave(Octave& o, const Readings& r, long long n);
    static void dropFromOctave(Octave& o, const Readings& r, long long n);
    Octave octaveFromMoments(long long m) const;
    // The octave of the sums' factor, its sums made already.
    Octave octaveFromBatch(const StabilityBatch& batch, const OctaveSums& sums) const;
    static bool octaveFinite(const Octave& o);
    static bool shrunkBelowAnchor(const Octave& o);
    OctaveSums sumsOf(const Octave& o) const;
    std::optional<double> tau0() const;
    std::vector<double> values() const;
    std::vector<double> times() const;
    // Takes in the appends and drops since the last time.
    void catchUp() const;
    void catchUpAppends() const;
    void catchUpDrops() const;
    void forgetPendingDrops();
    void rebuildSums() const;
    void rebuildMoments() const;
    // While the rows are deferred: what arrived and left, in the moments only.
    void catchUpMoments() const;
    void makeDeferredRows() const;

    std::vector<long long> extraFactors_;  // ascending, no power of two among them
    // The ring holds every point appended and not yet forgotten: the first
    // pendingDrops_ are dropped already, the last pendingAppends_ new.
    // What the sums have taken in lies between. The sums and the ring's
    // front change at a look, so they are mutable.
    mutable PointRing points_;
    mutable long long pendingDrops_ = 0, pendingAppends_ = 0;
    mutable LinearSums moments_;  // value against time
    mutable SpacingCounts spacings_;
    mutable double reference_ = 0.0;
    // sum (y_k - reference) and sum k (y_k - reference), k from 0 at the oldest.
    mutable DoubleDouble s1_, sk_;
    // Ascending: m = 1, 2, 4, ... and the extra factors, each <= N.
    mutable std::vector<Octave> octaves_;
    mutable bool setAside_ = false;  // a sum left the range of a double
    mutable bool rowsDeferred_ = false;  // the stability sums are to be made at the next look at a row
};

}  // namespace qs
