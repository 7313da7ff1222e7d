#pragma once
#include <optional>
#include <span>
#include <vector>

#include "stability/DoubleDouble.h"
#include "stability/StabilityFigures.h"

namespace qs {

// The stability of frequency-type readings y_0 .. y_(N-1) at an averaging
// factor m, through the window sums W_j = y_j + ... + y_(j+m-1):
//
//   D_j = W_(j+m) - W_j                  N - 2m + 1 terms   OADEV^2 = sum D^2 / (2 m^2 terms)
//   H_j = W_(j+2m) - 2 W_(j+m) + W_j     N - 3m + 1 terms   HDEV^2  = sum H^2 / (6 m^2 terms)
//       = D_(j+m) - D_j
//   M_j = D_j + ... + D_(j+m-1)          N - 3m + 2 terms   MDEV^2  = sum M^2 / (2 m^4 terms)
//
// the overlapping Allan, overlapping Hadamard and modified Allan variances
// of frequency data as the time-and-frequency literature writes them
// (unit white noise gives an OADEV of 1 at m = 1).

// The sums of squares of one averaging factor and their numbers of terms.
struct OctaveSums {
    long long m = 0;
    double oadevSum = 0.0, mdevSum = 0.0, hdevSum = 0.0;
    long long oadevTerms = 0, mdevTerms = 0, hdevTerms = 0;
};

// The deviations of the sums, tau = m * tau0. The OADEV error bar is the
// simple estimate OADEV / sqrt(terms).
StabilityRow RowOf(const OctaveSums& sums, std::optional<double> tau0);

// The averaging factors a table shows: 1, 2, 4, ... up to a quarter of the
// points (tau <= N tau0 / 4).
std::vector<long long> OctaveFactors(long long points);

// The sums of the octaves m = 1, 2, 4, ... up to `largest`, as
// StabilityBatch::sums gives them (an octave the readings are too few for
// has no terms), at a fraction of the cost: one streaming pass an octave,
// each octave's terms made from the previous octave's, with W'_j = W_j + W_(j+m):
//   D'_j = D_j + 2 D_(j+m) + D_(j+2m)
//   M'_j = M_j + 3 M_(j+m) + 3 M_(j+2m) + M_(j+3m)
// from D_j = M_j = y_(j+1) - y_j at m = 1 (a difference of two readings,
// exact for readings within a factor of two of each other, whatever their
// offset). A step adds terms of positive weights, so each octave's terms
// carry a few roundings more than the last: up to m = 2^21 the figures stay
// within some 1e-14 of the prefix sums'. What an analysis of a whole file and
// a rebuild of the live sums use; the terms the live sums add and take away
// later, and any factor besides the octaves, come from the prefix sums.
std::vector<OctaveSums> OctaveChainSums(std::span<const double> values, long long largest);

// The sums of every averaging factor of a set of readings, in one pass over
// them each. The readings are taken relative to the first one and summed
// into prefix sums P_k = (y_0 - y_first) + ... + (y_(k-1) - y_first) in
// double-double; each term then comes from four of them with an error of
// about one rounding of the term itself, whatever the readings' offset.
class StabilityBatch {
public:
    explicit StabilityBatch(std::span<const double> values);
    // Relative to a reference of one's own: the live sums' padding.
    StabilityBatch(std::span<const double> values, double reference);

    // ---- getters
    long long count() const { return n_; }
    double reference() const { return reference_; }
    // Any m >= 1; no terms when the readings are too few for it.
    OctaveSums sums(long long m) const;
    // P_k, with k beyond either end taken to the end: the readings padded
    // with the reference on both sides.
    DoubleDouble prefix(long long k) const;
    // W over [from, to) as prefix(to) - prefix(from).
    DoubleDouble window(long long from, long long to) const { return prefix(to) - prefix(from); }
    // M_j of factor m with the padding above, for any j: O(m).
    double modifiedTerm(long long j, long long m) const;

private:
    double paddedD(long long j, long long m) const;
    double paddedDSum(long long from, long long count, long long m) const;

    long long n_ = 0;
    double reference_ = 0.0;
    std::vector<double> hi_, lo_;  // P_0 .. P_N
    mutable std::vector<double> d_;  // work space: the D terms of one factor
};

}  // namespace qs
