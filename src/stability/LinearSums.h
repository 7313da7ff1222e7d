#pragma once
#include <optional>

#include "stability/DoubleDouble.h"

namespace qs {

// The sums of a least-squares line of y against x, kept as pairs arrive and
// leave: the mean and spread of y, and the line's slope, its standard error
// and the correlation. Each x and y is taken relative to the first pair's
// (so that 10 V readings with a noise of 1 uV sum their noise, not their
// 10 V), the products are exact and the sums double-double: removing a
// pair takes away exactly what adding it brought, give or take the last of
// some 106 bits.
class LinearSums {
public:
    // ---- getters
    long long count() const { return n_; }
    std::optional<double> meanX() const;
    std::optional<double> meanY() const;
    // Sample standard deviation of y (n - 1); none below 2 pairs.
    std::optional<double> stddevY() const;

    struct Line {
        std::optional<double> slope;  // dy/dx; none when x does not vary
        std::optional<double> slopeStderr;  // none below 3 pairs
        std::optional<double> correlation;  // none when x or y does not vary
    };
    Line line() const;
    // Whether every sum is a finite number (readings beyond about 1e150
    // make squares that are not).
    bool finite() const;

    // ---- setters
    void add(double x, double y);
    // A pair added before; removing the last one starts afresh.
    void remove(double x, double y);
    void clear();

private:
    // The centred sums: sum (x - mean x)^2, sum (y - mean y)^2 and
    // sum (x - mean x)(y - mean y), each 0 when what is left of it is only
    // the rounding of the raw sums.
    DoubleDouble centredXX() const;
    DoubleDouble centredYY() const;
    DoubleDouble centredXY() const;

    bool referenced_ = false;
    double x0_ = 0.0, y0_ = 0.0;
    long long n_ = 0;
    DoubleDouble sx_, sy_, sxx_, syy_, sxy_;
};

}  // namespace qs
