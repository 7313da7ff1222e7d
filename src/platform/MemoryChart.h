#pragma once
#include <algorithm>
#include <array>
#include <vector>

#include "platform/MemorySeries.h"

namespace qs {

// Pages of pointsPerPage points needed for the longest series (1 without
// paging, and 1 when a page holds all the points).
int PageCountFor(int longestSeries, int pointsPerPage);

// A chart without pixels: six series of a store kept in memory, paging
// arithmetic, and a record of what was redrawn and printed.
template <class Store>
class MemoryChartOf : public IChart {
public:
    struct PrintedPage {
        int page;
        int pointsPerPage;
    };

    ISeries& Series(int n) override { return store(n); }
    void Redraw() override { ++redraws_; }
    int GetPointsPerPage() const override { return pointsPerPage_; }
    void SetPointsPerPage(int points) override {
        pointsPerPage_ = points;
        page_ = 1;
    }
    void SetPage(int page) override { page_ = page; }
    int PageCount() const override {
        int longest = 0;
        for (const auto& s : series_) longest = std::max(longest, s.Count());
        return PageCountFor(longest, pointsPerPage_);
    }
    void PrintLandscape() override { printed_.push_back({page_, pointsPerPage_}); }

    // The store of series n, 1 to 6.
    Store& store(int n) { return series_.at(static_cast<std::size_t>(n - 1)); }

    // getters for tests
    int redraws() const { return redraws_; }
    int page() const { return page_; }
    const std::vector<PrintedPage>& printed() const { return printed_; }

private:
    std::array<Store, 6> series_;
    int pointsPerPage_ = 0;
    int page_ = 1;
    int redraws_ = 0;
    std::vector<PrintedPage> printed_;
};

// The chart-less store of the tests and benches: every point kept.
using MemoryChart = MemoryChartOf<MemorySeries>;

}  // namespace qs
