#pragma once

namespace qs {

// A number held as the unevaluated sum hi + lo of two doubles, about 106
// significant bits. The stability sums gain and lose millions of terms over
// a run, and the readings they are made of are large and their changes tiny
// (10 V with a noise of 1 uV): in plain doubles the rounding of a long run
// would swamp the figures, in these it stays some 30 digits below them.
//
// Written without fused multiply-add, so that the package runs on any
// x86-64 and the results do not depend on what the compiler contracts.
struct DoubleDouble {
    double hi = 0.0;
    double lo = 0.0;

    double value() const { return hi + lo; }
};

// a + b as s + e exactly (Knuth).
inline DoubleDouble TwoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a + b as s + e exactly, when |a| >= |b| or a is 0 (Dekker).
inline DoubleDouble QuickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a * b as p + e exactly (Dekker's split), unless it overflows.
inline DoubleDouble TwoProduct(double a, double b) {
    constexpr double kSplit = 134217729.0;  // 2^27 + 1
    const double p = a * b;
    const double ca = kSplit * a, cb = kSplit * b;
    const double ahi = ca - (ca - a), alo = a - ahi;
    const double bhi = cb - (cb - b), blo = b - bhi;
    return {p, ((ahi * bhi - p) + ahi * blo + alo * bhi) + alo * blo};
}

inline DoubleDouble operator-(DoubleDouble a) { return {-a.hi, -a.lo}; }

inline DoubleDouble operator+(DoubleDouble a, double b) {
    DoubleDouble s = TwoSum(a.hi, b);
    s.lo += a.lo;
    return QuickTwoSum(s.hi, s.lo);
}

inline DoubleDouble operator-(DoubleDouble a, double b) { return a + (-b); }

// The careful sum, which keeps its precision when a and b nearly cancel:
// the live sums subtract what they once added.
inline DoubleDouble operator+(DoubleDouble a, DoubleDouble b) {
    DoubleDouble s = TwoSum(a.hi, b.hi);
    const DoubleDouble t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = QuickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return QuickTwoSum(s.hi, s.lo);
}

inline DoubleDouble operator-(DoubleDouble a, DoubleDouble b) { return a + (-b); }

// The quick sum: its error is some 2^-106 of |a| + |b| rather than of the
// result, which is all that a window sum's difference or a running sum
// needs, at half the cost.
inline DoubleDouble QuickAdd(DoubleDouble a, DoubleDouble b) {
    DoubleDouble s = TwoSum(a.hi, b.hi);
    s.lo += a.lo + b.lo;
    return QuickTwoSum(s.hi, s.lo);
}
inline DoubleDouble QuickSubtract(DoubleDouble a, DoubleDouble b) { return QuickAdd(a, -b); }

inline DoubleDouble operator*(DoubleDouble a, double b) {
    DoubleDouble p = TwoProduct(a.hi, b);
    p.lo += a.lo * b;
    return QuickTwoSum(p.hi, p.lo);
}

inline DoubleDouble operator*(DoubleDouble a, DoubleDouble b) {
    DoubleDouble p = TwoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return QuickTwoSum(p.hi, p.lo);
}

inline DoubleDouble operator/(DoubleDouble a, double b) {
    const double q1 = a.hi / b;
    const DoubleDouble r = a - TwoProduct(q1, b);
    const double q2 = r.hi / b;
    return QuickTwoSum(q1, q2);
}

inline DoubleDouble operator/(DoubleDouble a, DoubleDouble b) {
    const double q1 = a.hi / b.hi;
    const DoubleDouble r = a - b * q1;
    const double q2 = r.hi / b.hi;
    return QuickTwoSum(q1, q2);
}

inline DoubleDouble& operator+=(DoubleDouble& a, double b) { return a = a + b; }
inline DoubleDouble& operator-=(DoubleDouble& a, double b) { return a = a - b; }
inline DoubleDouble& operator+=(DoubleDouble& a, DoubleDouble b) { return a = a + b; }
inline DoubleDouble& operator-=(DoubleDouble& a, DoubleDouble b) { return a = a - b; }

}  // namespace qs
