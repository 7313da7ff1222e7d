#pragma once
#include <cstdint>
#include <vector>

namespace qs::test {

// The frequency data of the test suite of NIST Special Publication 1065
// (W. J. Riley, "Handbook of Frequency Stability Analysis", 2008, section
// 12.4), with which any frequency stability software is checked.

// The nine frequency readings of the small set of NBS Monograph 140 (ten
// phase points), tau0 = 1 s.
inline std::vector<double> NistNinePointSet() { return {892, 809, 823, 798, 671, 644, 883, 903, 677}; }

// The 1000 readings of the large set: the prime-modulus generator
// n(i+1) = 16807 n(i) mod 2147483647 from n(0) = 1234567890, each reading
// n(i) / 2147483647, tau0 = 1 s. The publication gives n(1), n(2) and n(3)
// (395529916, 1209410747, 633705974) as a check.
inline std::vector<std::uint64_t> NistThousandPointSeeds() {
    std::vector<std::uint64_t> n{1234567890};
    while (n.size() < 1000) n.push_back(16807 * n.back() % 2147483647);
    return n;
}
inline std::vector<double> NistThousandPointSet() {
    std::vector<double> y;
    for (std::uint64_t n : NistThousandPointSeeds()) y.push_back(static_cast<double>(n) / 2147483647.0);
    return y;
}

// Expected values as the publication tabulates them (seven significant
// digits): the sample standard deviation, and OADEV, MDEV and HDEV at
// averaging factors m. At m = 1 the overlapping and the non-overlapping
// Hadamard deviation are the same number, so the table's HDEV checks the
// overlapping rule there.
struct NistValue {
    const char* set;       // "9-point" or "1000-point"
    const char* quantity;  // "OADEV", "MDEV", "HDEV"
    long long m;
    double expected;
};

inline std::vector<NistValue> NistPublishedDeviations() {
    return {
        {"9-point", "OADEV", 1, 91.22945},         {"9-point", "OADEV", 2, 85.95287},
        {"9-point", "MDEV", 1, 91.22945},          {"9-point", "MDEV", 2, 74.78849},
        {"9-point", "HDEV", 1, 70.80607},          {"1000-point", "OADEV", 1, 2.922319e-01},
        {"1000-point", "OADEV", 10, 9.159953e-02}, {"1000-point", "OADEV", 100, 3.241343e-02},
        {"1000-point", "MDEV", 1, 2.922319e-01},   {"1000-point", "MDEV", 10, 6.172376e-02},
        {"1000-point", "MDEV", 100, 2.170921e-02}, {"1000-point", "HDEV", 1, 2.943883e-01},
    };
}

// The sample standard deviation of the readings averaged over m
// (non-overlapping groups of m), as the publication tabulates it.
struct NistSpread {
    const char* set;
    long long m;
    double expected;
};

inline std::vector<NistSpread> NistPublishedStandardDeviations() {
    return {{"9-point", 1, 100.9770},
            {"1000-point", 1, 2.884664e-01},
            {"1000-point", 10, 9.296352e-02},
            {"1000-point", 100, 3.206656e-02}};
}

inline std::vector<double> NistSet(const char* name) {
    return name[0] == '9' ? NistNinePointSet() : NistThousandPointSet();
}

// The publication's seven digits hold the value to within 5e-7 of it.
constexpr double kNistRelativeTolerance = 1e-6;

}  // namespace qs::test
