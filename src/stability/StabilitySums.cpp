#include "stability/StabilitySums.h"

#include <algorithm>
#include <cmath>

#include "platform/LargeArrays.h"

namespace qs {

namespace {

// A sum of squares, in blocks of 256 added up in four plain partial sums
// (a block's rounding stays within some 64 roundings of the block), the
// blocks added up in double-double.
constexpr long long kSquareBlock = 256;

double blockOfSquares(const double* v, long long n) {
    double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
    long long i = 0;
    for (; i + 4 <= n; i += 4) {
        a0 += v[i] * v[i];
        a1 += v[i + 1] * v[i + 1];
        a2 += v[i + 2] * v[i + 2];
        a3 += v[i + 3] * v[i + 3];
    }
    for (; i < n; ++i) a0 += v[i] * v[i];
    return (a0 + a1) + (a2 + a3);
}

// A sum that is not a number (readings so large that their differences
// overflowed) gives none, never 0.
double variance(double sum, double scale, long long terms) {
    if (std::isnan(sum)) return sum;
    return std::max(0.0, sum) / (scale * static_cast<double>(terms));
}

// Squares of terms made one at a time, added up as blockOfSquares adds
// them: a block's worth in plain partial sums, the blocks in double-double.
// term(j) makes term j; j runs ascending over [from, to).
template <class Term>
double sumOfSquares(long long from, long long to, Term term) {
    DoubleDouble total;
    for (long long b = from; b < to; b += kSquareBlock) {
        const long long e = std::min(to, b + kSquareBlock);
        double a0 = 0.0, a1 = 0.0;
        long long j = b;
        for (; j + 2 <= e; j += 2) {
            const double t0 = term(j), t1 = term(j + 1);
            a0 += t0 * t0;
            a1 += t1 * t1;
        }
        if (j < e) {
            const double t = term(j);
            a0 += t * t;
        }
        total += a0 + a1;
    }
    return total.value();
}

}  // namespace

StabilityRow RowOf(const OctaveSums& s, std::optional<double> tau0) {
    StabilityRow row;
    row.m = s.m;
    const double m = static_cast<double>(s.m);
    if (tau0) row.tau = FiniteOrNone(m * *tau0);
    row.oadevTerms = s.oadevTerms;
    row.mdevTerms = s.mdevTerms;
    row.hdevTerms = s.hdevTerms;
    if (s.oadevTerms > 0) {
        row.oadev = FiniteOrNone(std::sqrt(variance(s.oadevSum, 2.0 * m * m, s.oadevTerms)));
        if (row.oadev) row.oadevError = *row.oadev / std::sqrt(static_cast<double>(s.oadevTerms));
    }
    if (s.mdevTerms > 0) row.mdev = FiniteOrNone(std::sqrt(variance(s.mdevSum, 2.0 * m * m * m * m, s.mdevTerms)));
    if (s.hdevTerms > 0) row.hdev = FiniteOrNone(std::sqrt(variance(s.hdevSum, 6.0 * m * m, s.hdevTerms)));
    return row;
}

std::vector<long long> OctaveFactors(long long points) {
    std::vector<long long> factors;
    for (long long m = 1; 4 * m <= points; m *= 2) factors.push_back(m);
    return factors;
}

std::vector<OctaveSums> OctaveChainSums(std::span<const double> y, long long largest) {
    std::vector<OctaveSums> out;
    for (long long m = 1; m <= largest; m *= 2) out.push_back({.m = m});
    const long long n = static_cast<long long>(y.size());
    if (out.empty() || n < 2) return out;
    // The D and the M terms of the octave at hand. Each octave's are made
    // over the last octave's in place, ascending: a new term reads the old
    // one in its place and old ones beyond it, which no earlier term has
    // replaced. The octave after has fewer terms; the rest is left behind.
    std::vector<double> dTerms = LargeVector<double>(y.size() - 1), mTerms = LargeVector<double>(y.size() - 1);
    double* __restrict d = dTerms.data();
    double* __restrict mt = mTerms.data();
    for (OctaveSums& s : out) {
        const long long m = s.m, h = m / 2, nD = n - 2 * m + 1, nH = n - 3 * m + 1, nM = n - 3 * m + 2;
        if (nD <= 0) break;
        if (m == 1) {
            s.oadevSum = sumOfSquares(0, nD, [&](long long j) { return d[j] = y[j + 1] - y[j]; });
            // One reading a window: M is D.
            std::copy(d, d + nD, mt);
        } else {
            s.oadevSum =
                sumOfSquares(0, nD, [&](long long j) { return d[j] = (d[j] + d[j + 2 * h]) + 2.0 * d[j + h]; });
        }
        s.oadevTerms = nD;
        if (nH > 0) {
            s.hdevSum = sumOfSquares(0, nH, [&](long long i) { return d[i + m] - d[i]; });
            s.hdevTerms = nH;
        }
        if (nM <= 0) continue;
        if (m == 1) {
            s.mdevSum = s.oadevSum;
        } else {
            s.mdevSum = sumOfSquares(
                0, nM, [&](long long j) { return mt[j] = (mt[j] + mt[j + 3 * h]) + 3.0 * (mt[j + h] + mt[j + 2 * h]); });
        }
        s.mdevTerms = nM;
    }
    return out;
}

StabilityBatch::StabilityBatch(std::span<const double> values)
    : StabilityBatch(values, values.empty() ? 0.0 : values[0]) {}

StabilityBatch::StabilityBatch(std::span<const double> values, double reference)
    : n_(static_cast<long long>(values.size())),
      reference_(reference),
      hi_(LargeVector<double>(values.size() + 1)),
      lo_(LargeVector<double>(values.size() + 1)) {
    DoubleDouble p;
    for (std::size_t k = 0; k < values.size(); ++k) {
        p += values[k] - reference_;
        hi_[k + 1] = p.hi;
        lo_[k + 1] = p.lo;
    }
}

DoubleDouble StabilityBatch::prefix(long long k) const {
    const std::size_t i = static_cast<std::size_t>(std::clamp<long long>(k, 0, n_));
    return {hi_[i], lo_[i]};
}

OctaveSums StabilityBatch::sums(long long m) const {
    OctaveSums s;
    s.m = m;
    if (m < 1) return s;
    const long long nD = n_ - 2 * m + 1;
    if (nD <= 0) return s;
    if (d_.capacity() < static_cast<std::size_t>(nD + 1)) ReserveLarge(d_, static_cast<std::size_t>(nD + 1));
    d_.resize(static_cast<std::size_t>(nD + 1));
    double* __restrict d = d_.data();
    {
        // D_j = P_(j+2m) - 2 P_(j+m) + P_j: the two outer prefix sums added
        // exactly, so that the one rounding left is of a number about the
        // size of the term. Squared block by block as they are made, while
        // the block is in the cache: at ten million readings and twenty
        // factors these passes are what an analysis costs.
        const double* __restrict ha = hi_.data();
        const double* __restrict la = lo_.data();
        DoubleDouble total;
        for (long long from = 0; from < nD; from += kSquareBlock) {
            const long long to = std::min(nD, from + kSquareBlock);
            for (long long j = from; j < to; ++j) {
                const double c = ha[j + 2 * m], a = ha[j];
                const double sum = c + a, bb = sum - c;
                const double e = (c - (sum - bb)) + (a - bb);
                d[j] = (sum - 2.0 * ha[j + m]) + (e + ((la[j + 2 * m] + la[j]) - 2.0 * la[j + m]));
            }
            total += blockOfSquares(d + from, to - from);
        }
        s.oadevTerms = nD;
        s.oadevSum = total.value();
    }

    const long long nH = n_ - 3 * m + 1, nM = n_ - 3 * m + 2;
    if (nM <= 0) return s;
    // M_j = R_(j+m) - R_j with R_k = D_0 + ... + D_(k-1), R held as the
    // double-double sums B before each block of 64 and, in place of the D
    // terms, the plain sums within the block before each one, so that an M
    // term's rounding is that of a few dozen terms, however large m:
    //   M_j = (B_(block of j+m) - B_(block of j)) + (s_(j+m) - s_j).
    // The H terms D_(j+m) - D_j are squared in the same pass, each before
    // its D_j is replaced (its D_(j+m) lies ahead, still as it was).
    constexpr long long kBlock = 64;
    const long long blocks = nD / kBlock + 1;
    std::vector<DoubleDouble> before(static_cast<std::size_t>(blocks + 1));
    d[nD] = 0.0;
    DoubleDouble running, hTotal;
    double hBlock[kSquareBlock];
    long long hFilled = 0;
    for (long long b = 0; b < blocks; ++b) {
        before[static_cast<std::size_t>(b)] = running;
        double within = 0.0;
        const long long from = b * kBlock, to = std::min(nD + 1, (b + 1) * kBlock);
        for (long long i = from; i < std::min(to, std::max(nH, 0LL)); ++i) hBlock[hFilled++] = d[i + m] - d[i];
        if (hFilled == kSquareBlock) {
            hTotal += blockOfSquares(hBlock, hFilled);
            hFilled = 0;
        }
        for (long long i = from; i < to; ++i) {
            const double term = d[i];
            d[i] = within;
            within += term;
        }
        running += within;
    }
    before[static_cast<std::size_t>(blocks)] = running;
    if (nH > 0) {
        if (hFilled > 0) hTotal += blockOfSquares(hBlock, hFilled);
        s.hdevTerms = nH;
        s.hdevSum = hTotal.value();
    }
    double block[kSquareBlock];
    DoubleDouble total;
    long long filled = 0;
    for (long long b = 0; b * kBlock < nM; ++b) {
        const long long j0 = b * kBlock, j1 = std::min(nM, j0 + kBlock);
        // Within a block of j, j + m lies in at most two blocks.
        for (long long j = j0; j < j1;) {
            const long long c = (j + m) / kBlock, end = std::min(j1, (c + 1) * kBlock - m);
            const DoubleDouble delta =
                QuickSubtract(before[static_cast<std::size_t>(c)], before[static_cast<std::size_t>(b)]);
            for (; j < end; ++j) {
                block[filled++] = (delta.hi + (d[j + m] - d[j])) + delta.lo;
                if (filled == kSquareBlock) {
                    total += blockOfSquares(block, filled);
                    filled = 0;
                }
            }
        }
    }
    total += blockOfSquares(block, filled);
    s.mdevTerms = nM;
    s.mdevSum = total.value();
    return s;
}

double StabilityBatch::paddedD(long long j, long long m) const {
    const DoubleDouble outer = prefix(j + 2 * m) + prefix(j);
    return (outer - prefix(j + m) * 2.0).value();
}

double StabilityBatch::paddedDSum(long long from, long long count, long long m) const {
    if (count <= 32) {
        double s = 0.0;
        for (long long i = from; i < from + count; ++i) s += paddedD(i, m);
        return s;
    }
    const long long half = count / 2;
    return paddedDSum(from, half, m) + paddedDSum(from + half, count - half, m);
}

double StabilityBatch::modifiedTerm(long long j, long long m) const { return paddedDSum(j, m, m); }

}  // namespace qs
