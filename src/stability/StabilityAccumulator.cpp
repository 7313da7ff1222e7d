#include "stability/StabilityAccumulator.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "stability/SeriesStatistics.h"

namespace qs {

namespace {

// The sums take in what arrived at the latest after this many appends and
// drops, so that a look never has more than a few milliseconds of work.
constexpr long long kCatchUpBatch = 4096;

// A sum made in one pass is trusted down to this share of what it was.
constexpr double kAnchorShare = 1.0 / 64.0;

// The weights of the readings in M_0 = D_0 + ... + D_(m-1): the sum of the
// first m window sums is the readings under a triangle of base 2m - 1, the
// sum of the next m the same triangle moved on by m; M_0 is their
// difference, spanning readings 0 .. 3m - 2.
double triangle(long long k, long long m) {
    if (k < 0 || k > 2 * m - 2) return 0.0;
    return static_cast<double>(std::min(k + 1, 2 * m - 1 - k));
}

double frontWeight(long long k, long long m) { return triangle(k - m, m) - triangle(k, m); }

bool isPowerOfTwo(long long n) { return n > 0 && (n & (n - 1)) == 0; }

bool finite(const DoubleDouble& d) { return std::isfinite(d.hi) && std::isfinite(d.lo); }

// p - 2q + r, exactly but for a rounding of its last few bits.
DoubleDouble secondDifference(double p, double q, double r) {
    const DoubleDouble outer = TwoSum(p, r);
    const DoubleDouble s = TwoSum(outer.hi, -2.0 * q);
    return {s.hi, s.lo + outer.lo};
}

// Adds a term's square to its sum, or takes it away. Each term is the double
// nearest its double-double, so that it leaves as the very number it came
// as (worked out from the first D terms then, not from the last ones), and
// the sum keeps nothing of it.
void addTerm(DoubleDouble& sum, long long& terms, double term) {
    sum += term * term;
    ++terms;
}
void removeTerm(DoubleDouble& sum, long long& terms, double term) {
    sum -= term * term;
    // A sum without terms is 0, whatever its rounding left.
    if (--terms == 0) sum = {};
}

}  // namespace

StabilityAccumulator::StabilityAccumulator(std::vector<long long> extraFactors) {
    for (long long m : extraFactors)
        if (m >= 1 && !isPowerOfTwo(m)) extraFactors_.push_back(m);
    std::sort(extraFactors_.begin(), extraFactors_.end());
    extraFactors_.erase(std::unique(extraFactors_.begin(), extraFactors_.end()), extraFactors_.end());
}

// Each reading costs in proportion to the number of octaves: for each
// averaging factor m = 1, 2, 4, ... up to the points held (and any other
// factors asked for), the sums of squares of the D, H and M terms (see
// StabilitySums.h) gain their newest term and lose their oldest. What that
// takes is kept per octave: the newest two D terms and the oldest two, and
// the newest and the oldest M term; the weights of an M term are a
// difference of two triangles, so an octave can begin, when the readings
// first number m, from two running moments of the readings, in O(1).
bool StabilityAccumulator::tracked(long long m) const {
    return isPowerOfTwo(m) || std::binary_search(extraFactors_.begin(), extraFactors_.end(), m);
}

const StabilityAccumulator::Octave* StabilityAccumulator::octaveOf(long long m) const {
    const auto it = std::lower_bound(octaves_.begin(), octaves_.end(), m,
                                     [](const Octave& o, long long factor) { return o.m < factor; });
    return it != octaves_.end() && it->m == m ? &*it : nullptr;
}

// Reading n arrives. The last window gains it and loses the one m back,
// which moves into the window before, and so on: the newest D term changes
// by y_n - 2 y_(n-m) + y_(n-2m), the one m before it likewise.
void StabilityAccumulator::appendToOctave(Octave& o, const Readings& r, long long n) {
    const long long m = o.m;
    const double y = r.at(n), a = r.at(n - m), b = r.at(n - 2 * m), c = r.at(n - 3 * m);
    o.dBack1 = QuickAdd(o.dBack1, secondDifference(y, a, b));
    o.dBack2 = QuickAdd(o.dBack2, secondDifference(a, b, c));
    // While the readings are few, the new one lies in one of the first
    // three windows and under the oldest M term.
    if (n < 3 * m) {
        if (n < m) {
            o.dFront1 -= y;
        } else if (n < 2 * m) {
            o.dFront1 += y;
            o.dFront2 -= y;
        } else {
            o.dFront2 += y;
        }
        if (n <= 3 * m - 2) o.mFront += TwoProduct(frontWeight(n, m), y);
    }
    // M_(j+1) - M_j = D_(j+m) - D_j = H_j.
    const DoubleDouble h = QuickSubtract(o.dBack1, o.dBack2);
    o.mBack = QuickAdd(o.mBack, h);
    const long long count = n + 1;
    if (count >= 2 * m) addTerm(o.oadevSum, o.oadevTerms, o.dBack1.value());
    if (count >= 3 * m) addTerm(o.hdevSum, o.hdevTerms, h.value());
    if (count >= 3 * m - 1) addTerm(o.mdevSum, o.mdevTerms, o.mBack.value());
}

// Reading 0 of n leaves: its terms go, and the first windows move on.
void StabilityAccumulator::dropFromOctave(Octave& o, const Readings& r, long long n) {
    const long long m = o.m;
    const DoubleDouble h = QuickSubtract(o.dFront2, o.dFront1);
    if (n >= 2 * m) removeTerm(o.oadevSum, o.oadevTerms, o.dFront1.value());
    if (n >= 3 * m) removeTerm(o.hdevSum, o.hdevTerms, h.value());
    if (n >= 3 * m - 1) removeTerm(o.mdevSum, o.mdevTerms, o.mFront.value());
    o.mFront = QuickAdd(o.mFront, h);
    const double y = r.at(0), a = r.at(m), b = r.at(2 * m), c = r.at(3 * m);
    o.dFront1 = QuickAdd(o.dFront1, secondDifference(y, a, b));
    o.dFront2 = QuickAdd(o.dFront2, secondDifference(a, b, c));
    // While the readings are few, the oldest lies in one of the last three
    // windows and under the newest M term, too.
    if (n <= 3 * m) {
        const long long k = (n + m - 1) / m;
        if (k == 1) {
            o.dBack1 -= y;
        } else if (k == 2) {
            o.dBack1 += y;
            o.dBack2 -= y;
        } else {
            o.dBack2 += y;
        }
        if (n <= 3 * m - 1) o.mBack -= TwoProduct(frontWeight(3 * m - 1 - n, m), y);
    }
}

// An octave begins when the readings number m: every window but the first
// (and last) is padding, so D_0 = -S and the newest D = S, and the two M
// terms are the readings under the rising and the falling edge of their
// triangles, -sum (k + 1) y_k and sum (m - k) y_k.
StabilityAccumulator::Octave StabilityAccumulator::octaveFromMoments(long long m) const {
    Octave o;
    o.m = m;
    o.dBack1 = s1_;
    o.dFront1 = -s1_;
    o.mFront = -(sk_ + s1_);
    o.mBack = s1_ * static_cast<double>(m) - sk_;
    return o;
}

StabilityAccumulator::Octave StabilityAccumulator::octaveFromBatch(const StabilityBatch& batch,
                                                                  const OctaveSums& s) const {
    const long long n = batch.count(), m = s.m;
    const auto w = [&](long long k) { return batch.window(k * m, (k + 1) * m); };  // the k-th window of m
    const auto wb = [&](long long k) { return batch.window(n - (k + 1) * m, n - k * m); };  // k-th from the end
    Octave o;
    o.m = m;
    o.dFront1 = QuickSubtract(w(1), w(0));
    o.dFront2 = QuickSubtract(w(2), w(1));
    o.dBack1 = QuickSubtract(wb(0), wb(1));
    o.dBack2 = QuickSubtract(wb(1), wb(2));
    o.mFront = {batch.modifiedTerm(0, m), 0.0};
    o.mBack = {batch.modifiedTerm(n - 3 * m + 1, m), 0.0};
    o.oadevSum = {s.oadevSum, 0.0};
    o.mdevSum = {s.mdevSum, 0.0};
    o.hdevSum = {s.hdevSum, 0.0};
    o.oadevTerms = s.oadevTerms;
    o.mdevTerms = s.mdevTerms;
    o.hdevTerms = s.hdevTerms;
    o.oadevAnchor = s.oadevSum;
    o.mdevAnchor = s.mdevSum;
    o.hdevAnchor = s.hdevSum;
    return o;
}

// Should a sum ever leave the range of a double (readings beyond about
// 1e150, whose squares overflow), the sums are set aside and every figure is
// worked out from the points held, in one pass, until the next rebuild.
bool StabilityAccumulator::octaveFinite(const Octave& o) {
    return finite(o.dBack1) && finite(o.dBack2) && finite(o.dFront1) && finite(o.dFront2) && finite(o.mFront) &&
           finite(o.mBack) && finite(o.oadevSum) && finite(o.mdevSum) && finite(o.hdevSum);
}

// Everything is summed relative to a reference (the first reading after a
// clear or a rebuild) in double-double, so that after any appends and drops
// the sums agree with a fresh one-pass computation on the same points to
// within about 1e-12 relative (the tests hold them to that), not to the
// bit: a sum that gained and lost terms was rounded differently. A sum made
// in one pass (a rebuild) keeps the rounding of that pass, some 1e-15 of it;
// should it later fall below a 64th of that, so that the rounding could show,
// that octave is worked out again from the points.
bool StabilityAccumulator::shrunkBelowAnchor(const Octave& o) {
    return o.oadevSum.hi < o.oadevAnchor * kAnchorShare || o.mdevSum.hi < o.mdevAnchor * kAnchorShare ||
           o.hdevSum.hi < o.hdevAnchor * kAnchorShare;
}

// An append or a drop only stores or forgets the point; the sums take in
// what arrived at the next look at a figure, or after a few thousand
// readings, octave by octave, which costs the same per reading but keeps
// each octave's state at hand (a few hundred nanoseconds a reading at ten
// million points, and next to nothing on the caller's side). The getters
// take in what waits, so one accumulator serves one thread at a time.
void StabilityAccumulator::append(double seconds, double value) {
    points_.push(seconds, value);
    if (++pendingAppends_ + pendingDrops_ >= kCatchUpBatch) catchUp();
}

void StabilityAccumulator::dropOldest() {
    if (count() <= 1) {
        clear();
        return;
    }
    if (++pendingDrops_ + pendingAppends_ >= kCatchUpBatch) catchUp();
}

void StabilityAccumulator::clear() {
    std::vector<long long> extra = std::move(extraFactors_);
    *this = StabilityAccumulator();
    extraFactors_ = std::move(extra);
}

void StabilityAccumulator::forgetPendingDrops() {
    for (; pendingDrops_ > 0; --pendingDrops_) points_.pop();
}

void StabilityAccumulator::catchUp() const {
    if (pendingAppends_ == 0 && pendingDrops_ == 0) return;
    if (rowsDeferred_) {
        catchUpMoments();
        return;
    }
    if (setAside_) {
        // Nothing is summed: every figure comes from the points.
        for (; pendingDrops_ > 0; --pendingDrops_) points_.pop();
        pendingAppends_ = 0;
        return;
    }
    // The appends first, then the drops: the sums end on the same points as
    // in the order they came, and each octave takes in a run of them.
    catchUpAppends();
    catchUpDrops();
    bool ok = finite(s1_) && finite(sk_) && moments_.finite();
    for (const Octave& o : octaves_) ok = ok && octaveFinite(o);
    if (!ok) setAside_ = true;
}

void StabilityAccumulator::catchUpAppends() const {
    if (pendingAppends_ == 0) return;
    const long long total = static_cast<long long>(points_.size()), n0 = total - pendingAppends_;
    pendingAppends_ = 0;
    if (n0 == 0) reference_ = points_.value(0);
    const Readings r{points_, 0, total, reference_};
    for (long long n = n0; n < total; ++n) {
        const double y = r.at(n);
        moments_.add(points_.time(n), points_.value(n));
        if (n > 0) spacings_.add(points_.time(n) - points_.time(n - 1));
        s1_ += y;
        sk_ += TwoProduct(static_cast<double>(n), y);
        if (tracked(n + 1)) octaves_.push_back(octaveFromMoments(n + 1));
    }
    // An octave begun among these takes in the readings after its beginning.
    for (Octave& o : octaves_)
        for (long long n = std::max(n0, o.m); n < total; ++n) appendToOctave(o, r, n);
}

void StabilityAccumulator::catchUpDrops() const {
    const long long drops = pendingDrops_;
    if (drops == 0) return;
    const long long total = static_cast<long long>(points_.size()), left = total - drops;
    for (long long k = 0; k < drops; ++k) {
        const double t0 = points_.time(k), v0 = points_.value(k), y = v0 - reference_;
        spacings_.remove(points_.time(k + 1) - t0);
        moments_.remove(t0, v0);
        // Every index falls by one: sum (k - 1) y_k over what is left.
        s1_ -= y;
        sk_ -= s1_;
    }
    for (Octave& o : octaves_)
        for (long long k = 0; k < drops; ++k) dropFromOctave(o, Readings{points_, k, total - k, reference_}, total - k);
    while (!octaves_.empty() && octaves_.back().m > left) octaves_.pop_back();
    for (; pendingDrops_ > 0; --pendingDrops_) points_.pop();
    // A sum made in one pass that has lost most of its terms: its rounding
    // could show against what is left, so the octave is made afresh.
    if (std::none_of(octaves_.begin(), octaves_.end(), shrunkBelowAnchor)) return;
    // Counted from the same reference, so that the padding stays the same.
    const StabilityBatch batch(values(), reference_);
    for (Octave& o : octaves_)
        if (shrunkBelowAnchor(o)) o = octaveFromBatch(batch, batch.sums(o.m));
}

void StabilityAccumulator::assign(std::span<const double> seconds, std::span<const double> values) {
    clear();
    const std::size_t n = std::min(seconds.size(), values.size());
    for (std::size_t i = 0; i < n; ++i) points_.push(seconds[i], values[i]);
    rebuild();
}

std::vector<double> StabilityAccumulator::values() const {
    std::vector<double> v(static_cast<std::size_t>(count()));
    for (long long i = 0; i < count(); ++i) v[static_cast<std::size_t>(i)] = value(i);
    return v;
}

std::vector<double> StabilityAccumulator::times() const {
    std::vector<double> t(static_cast<std::size_t>(count()));
    for (long long i = 0; i < count(); ++i) t[static_cast<std::size_t>(i)] = time(i);
    return t;
}

void StabilityAccumulator::rebuild() { rebuildSums(); }

void StabilityAccumulator::rebuildMoments() const {
    for (; pendingDrops_ > 0; --pendingDrops_) points_.pop();
    pendingAppends_ = 0;
    moments_.clear();
    spacings_.clear();
    for (long long i = 0; i < count(); ++i) {
        moments_.add(time(i), value(i));
        if (i > 0) spacings_.add(time(i) - time(i - 1));
    }
}

void StabilityAccumulator::assignDeferringRows(std::span<const double> seconds, std::span<const double> values) {
    PointRing points;
    const std::size_t n = std::min(seconds.size(), values.size());
    for (std::size_t i = 0; i < n; ++i) points.push(seconds[i], values[i]);
    assignDeferringRows(std::move(points));
}

void StabilityAccumulator::assignDeferringRows(PointRing points) {
    clear();
    points_ = std::move(points);
    const long long n = count();
    rebuildMoments();
    // Readings whose squares leave a double's range set the sums aside at
    // once (see octaveFinite), as assign would.
    if (n > 0 && !moments_.finite()) rebuildSums();
    else rowsDeferred_ = n > 0;
}

void StabilityAccumulator::catchUpMoments() const {
    const long long total = static_cast<long long>(points_.size()), n0 = total - pendingAppends_;
    for (long long n = n0; n < total; ++n) {
        moments_.add(points_.time(n), points_.value(n));
        if (n > 0) spacings_.add(points_.time(n) - points_.time(n - 1));
    }
    pendingAppends_ = 0;
    for (long long k = 0; k < pendingDrops_; ++k) {
        spacings_.remove(points_.time(k + 1) - points_.time(k));
        moments_.remove(points_.time(k), points_.value(k));
    }
    for (; pendingDrops_ > 0; --pendingDrops_) points_.pop();
}

void StabilityAccumulator::makeDeferredRows() const {
    if (!rowsDeferred_) return;
    rebuildSums();
}

void StabilityAccumulator::rebuildSums() const {
    rowsDeferred_ = false;
    rebuildMoments();
    const long long n = count();
    octaves_.clear();
    s1_ = sk_ = {};
    setAside_ = false;
    if (n == 0) return;
    const std::vector<double> v = values();
    // The octaves' sums in their chain (its work space gone before the prefix
    // sums take theirs), any other factor's from the prefix sums.
    std::vector<OctaveSums> sums = OctaveChainSums(v, n);
    const StabilityBatch batch(v);
    reference_ = batch.reference();
    s1_ = batch.prefix(n);
    for (long long k = 0; k < n; ++k)
        sk_ += TwoProduct(static_cast<double>(k), v[static_cast<std::size_t>(k)] - reference_);
    for (long long m : extraFactors_)
        if (m <= n) sums.push_back(batch.sums(m));
    std::sort(sums.begin(), sums.end(), [](const OctaveSums& a, const OctaveSums& b) { return a.m < b.m; });
    bool ok = finite(s1_) && finite(sk_) && moments_.finite();
    for (const OctaveSums& s : sums) {
        octaves_.push_back(octaveFromBatch(batch, s));
        ok = ok && octaveFinite(octaves_.back());
    }
    if (!ok) setAside_ = true;
}

std::optional<double> StabilityAccumulator::tau0() const {
    if (count() == 0) return std::nullopt;
    return Tau0(spacings_.median(), time(0), time(count() - 1), count());
}

OctaveSums StabilityAccumulator::sumsOf(const Octave& o) const {
    return {o.m, o.oadevSum.value(), o.mdevSum.value(), o.hdevSum.value(), o.oadevTerms, o.mdevTerms, o.hdevTerms};
}

SeriesFigures StabilityAccumulator::figures() const {
    catchUp();
    if (setAside_) return SeriesFiguresOf(times(), values());
    return FiguresOf(moments_, points_.range(), tau0());
}

std::vector<StabilityRow> StabilityAccumulator::octaveTable() const {
    makeDeferredRows();
    catchUp();
    std::vector<StabilityRow> rows;
    if (setAside_) {
        const std::vector<double> t = times();
        const std::optional<double> t0 = Tau0(MedianSpacing(t), t.front(), t.back(), count());
        const StabilityBatch batch(values());
        for (long long m : OctaveFactors(count())) rows.push_back(RowOf(batch.sums(m), t0));
        return rows;
    }
    const std::optional<double> t0 = tau0();
    for (const Octave& o : octaves_) {
        if (4 * o.m > count()) break;
        if (isPowerOfTwo(o.m)) rows.push_back(RowOf(sumsOf(o), t0));
    }
    return rows;
}

StabilityRow StabilityAccumulator::rowAt(long long m) const {
    makeDeferredRows();
    catchUp();
    if (const Octave* o = setAside_ ? nullptr : octaveOf(m)) return RowOf(sumsOf(*o), tau0());
    std::optional<double> t0;
    if (setAside_ && count() > 0) {
        const std::vector<double> t = times();
        t0 = Tau0(MedianSpacing(t), t.front(), t.back(), count());
    } else {
        t0 = tau0();
    }
    return RowOf(StabilityBatch(values()).sums(m), t0);
}

}  // namespace qs
