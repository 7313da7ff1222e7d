#pragma once
#include <array>
#include <vector>

#include "platform/MemorySeries.h"

namespace qs {

// A chart without pixels: six memory series, paging arithmetic, and a record
// of what was redrawn and printed.
class MemoryChart : public IChart {
public:
    struct PrintedPage {
        int page;
        int pointsPerPage;
    };

    ISeries& Series(int n) override { return series_.at(static_cast<std::size_t>(n - 1)); }
    void Redraw() override { ++redraws_; }
    int GetPointsPerPage() const override { return pointsPerPage_; }
    void SetPointsPerPage(int points) override;
    void SetPage(int page) override { page_ = page; }
    int PageCount() const override;
    void PrintLandscape() override { printed_.push_back({page_, pointsPerPage_}); }

    // getters for tests
    int redraws() const { return redraws_; }
    int page() const { return page_; }
    const std::vector<PrintedPage>& printed() const { return printed_; }

private:
    std::array<MemorySeries, 6> series_;
    int pointsPerPage_ = 0;
    int page_ = 1;
    int redraws_ = 0;
    std::vector<PrintedPage> printed_;
};

// Pages of pointsPerPage points needed for the longest series (1 without
// paging, and 1 when a page holds all the points).
int PageCountFor(int longestSeries, int pointsPerPage);

}  // namespace qs
