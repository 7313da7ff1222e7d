#pragma once
#include <cmath>
#include <optional>

namespace qs {

// What the stability rules tell about one channel's readings. A figure
// that does not exist (too few points, a mean of 0 for a ppm, a value that
// would leave the range of a double) is nullopt, shown as "none": no figure
// is ever NaN or infinite.

// The statistics of a series of readings against their time stamps.
struct SeriesFigures {
    long long n = 0;
    std::optional<double> mean;
    std::optional<double> stddev;  // sample standard deviation (n - 1)
    std::optional<double> stddevPpm;  // of |mean|
    std::optional<double> minimum, maximum, peakToPeak;
    std::optional<double> peakToPeakPpm;  // of |mean|
    // The least-squares line against time: its slope in the readings' unit
    // per day, in ppm of |mean| per day, and the slope's standard error
    // (per day).
    std::optional<double> driftPerDay, driftPpmPerDay, driftStderrPerDay;
    // The median spacing of the time stamps, in seconds (see MedianSpacing).
    std::optional<double> tau0;
};

// The stability at tau = m * tau0, from frequency-type readings (each an
// average over its interval): the overlapping Allan deviation with its
// 1-sigma error bar, the modified Allan deviation and the overlapping
// Hadamard deviation, in the readings' unit, each with its number of terms.
struct StabilityRow {
    long long m = 0;
    std::optional<double> tau;  // seconds; none without a tau0
    std::optional<double> oadev, oadevError;
    long long oadevTerms = 0;
    std::optional<double> mdev;
    long long mdevTerms = 0;
    std::optional<double> hdev;
    long long hdevTerms = 0;
};

// The least-squares line of y against x over pairs of readings: in
// Alternate Commands channel 1 (y) against channel 2 (x), the temperature
// coefficient when command 2 reads a temperature.
struct RegressionFigures {
    long long pairs = 0;
    std::optional<double> slope, slopeStderr;
    std::optional<double> correlation;  // r
    std::optional<double> ppmPerUnit;   // the slope in ppm of |mean y| per unit of x
};

// The figures by the names every machine-readable output gives them (the
// JSON of --analyze and the stats topic, the CSV, the headless stats
// line), in the order they are written.
struct SeriesFigureName {
    const char* name;
    std::optional<double> SeriesFigures::*figure;
};
inline constexpr SeriesFigureName kSeriesFigureNames[] = {
    {"mean", &SeriesFigures::mean},
    {"stddev", &SeriesFigures::stddev},
    {"stddev_ppm", &SeriesFigures::stddevPpm},
    {"min", &SeriesFigures::minimum},
    {"max", &SeriesFigures::maximum},
    {"p2p", &SeriesFigures::peakToPeak},
    {"p2p_ppm", &SeriesFigures::peakToPeakPpm},
    {"drift_per_day", &SeriesFigures::driftPerDay},
    {"drift_ppm_per_day", &SeriesFigures::driftPpmPerDay},
    {"drift_stderr", &SeriesFigures::driftStderrPerDay},
    {"tau0", &SeriesFigures::tau0},
};

// The regression's figures after its "pairs".
struct RegressionFigureName {
    const char* name;
    std::optional<double> RegressionFigures::*figure;
};
inline constexpr RegressionFigureName kRegressionFigureNames[] = {
    {"slope", &RegressionFigures::slope},
    {"slope_err", &RegressionFigures::slopeStderr},
    {"r", &RegressionFigures::correlation},
    {"ppm_per_unit", &RegressionFigures::ppmPerUnit},
};

// value when it is a finite number, else none.
inline std::optional<double> FiniteOrNone(double value) {
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

}  // namespace qs
