#include "stability/LinearSums.h"

#include <algorithm>
#include <cmath>

#include "stability/StabilityFigures.h"

namespace qs {

namespace {

// What is left of a centred sum of squares below this share of the raw sum
// is the rounding of the raw sums (some 2^-106 of them, times the number of
// terms), not a spread: all x (or all y) were the same.
constexpr double kRoundingShare = 0x1p-70;

DoubleDouble centred(DoubleDouble raw, DoubleDouble a, DoubleDouble b, long long n) {
    return raw - (a * b) / static_cast<double>(n);
}

// A centred sum of squares: never below 0, and 0 when only rounding is left.
DoubleDouble centredSquares(DoubleDouble raw, DoubleDouble s, long long n) {
    const DoubleDouble c = centred(raw, s, s, n);
    if (c.hi <= std::fabs(raw.hi) * kRoundingShare) return {};
    return c;
}

}  // namespace

void LinearSums::add(double x, double y) {
    if (!referenced_) {
        referenced_ = true;
        x0_ = x;
        y0_ = y;
    }
    const double dx = x - x0_, dy = y - y0_;
    ++n_;
    sx_ += dx;
    sy_ += dy;
    sxx_ += TwoProduct(dx, dx);
    syy_ += TwoProduct(dy, dy);
    sxy_ += TwoProduct(dx, dy);
}

void LinearSums::remove(double x, double y) {
    if (n_ <= 1) {
        clear();
        return;
    }
    const double dx = x - x0_, dy = y - y0_;
    --n_;
    sx_ -= dx;
    sy_ -= dy;
    sxx_ -= TwoProduct(dx, dx);
    syy_ -= TwoProduct(dy, dy);
    sxy_ -= TwoProduct(dx, dy);
}

bool LinearSums::finite() const {
    for (const DoubleDouble& d : {sx_, sy_, sxx_, syy_, sxy_})
        if (!std::isfinite(d.hi) || !std::isfinite(d.lo)) return false;
    return true;
}

void LinearSums::clear() { *this = LinearSums(); }

DoubleDouble LinearSums::centredXX() const { return centredSquares(sxx_, sx_, n_); }
DoubleDouble LinearSums::centredYY() const { return centredSquares(syy_, sy_, n_); }
DoubleDouble LinearSums::centredXY() const { return centred(sxy_, sx_, sy_, n_); }

std::optional<double> LinearSums::meanX() const {
    if (n_ == 0) return std::nullopt;
    return FiniteOrNone(x0_ + (sx_ / static_cast<double>(n_)).value());
}

std::optional<double> LinearSums::meanY() const {
    if (n_ == 0) return std::nullopt;
    return FiniteOrNone(y0_ + (sy_ / static_cast<double>(n_)).value());
}

std::optional<double> LinearSums::stddevY() const {
    if (n_ < 2) return std::nullopt;
    return FiniteOrNone(std::sqrt((centredYY() / static_cast<double>(n_ - 1)).value()));
}

LinearSums::Line LinearSums::line() const {
    Line l;
    if (n_ < 2) return l;
    const DoubleDouble xx = centredXX(), yy = centredYY(), xy = centredXY();
    if (!(xx.hi > 0.0)) return l;
    l.slope = FiniteOrNone((xy / xx).value());
    if (n_ >= 3) {
        DoubleDouble residual = yy - (xy * xy) / xx;
        if (residual.hi < 0.0) residual = {};
        l.slopeStderr = FiniteOrNone(std::sqrt((residual / static_cast<double>(n_ - 2) / xx).value()));
    }
    if (yy.hi > 0.0) {
        const double r = xy.value() / std::sqrt(xx.value() * yy.value());
        if (std::isfinite(r)) l.correlation = std::clamp(r, -1.0, 1.0);
    }
    return l;
}

}  // namespace qs
