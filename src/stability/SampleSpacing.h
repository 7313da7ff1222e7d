#pragma once
#include <map>
#include <optional>
#include <span>

namespace qs {

// tau0, the time one reading stands for: the median spacing of a channel's
// own time stamps, in seconds (2 s for each channel of a file logged in
// Alternate Commands at 1 s). The logger's time stamps are whole seconds, so
// the spacings are counted to the millisecond, which also takes away the
// micro-seconds by which a time from the day-count axis misses its second.
// When more than half the spacings are 0 (several readings a second under
// one time stamp), the mean spacing stands in; with neither there is none.

// A spacing as counted: whole milliseconds.
long long SpacingKey(double seconds);

// tau0 from the median spacing and the first and last of n time stamps.
std::optional<double> Tau0(std::optional<double> medianSpacing, double first, double last, long long n);

// The median spacing of time stamps in their order; none below two.
std::optional<double> MedianSpacing(std::span<const double> seconds);

// The spacings of the points the live sums cover, counted by their value:
// a logger's spacings take a few values only, so this stays a handful of
// entries however many points there are.
class SpacingCounts {
public:
    // ---- getters
    long long count() const { return n_; }
    std::optional<double> median() const;

    // ---- setters
    void add(double spacing);
    void remove(double spacing);  // a spacing added before
    void clear();

private:
    std::map<long long, long long> counts_;
    long long n_ = 0;
};

}  // namespace qs
