// Which controls a view shows in its status bar rather than in the panel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WindowHarness.h"
#include "window/ControlInventory.h"

namespace qs {
namespace {

// Every other control stands in the panel.
TEST(ControlInventory, StatusLinesAndNothingElseStandInTheStatusBarLinkFirst) {
    test::WindowHarness h;
    ControlInventory inventory(h.w);
    std::vector<std::string> inBar;
    for (const ControlEntry& e : inventory.controls()) {
        if (e.place != ControlPlace::StatusBar) continue;
        inBar.emplace_back(e.name);
        EXPECT_NE(e.label(), nullptr) << e.name << " is no label";
    }
    EXPECT_EQ(inBar, (std::vector<std::string>{"LinkStatus", "DataFileStatus"}));
}

}  // namespace
}  // namespace qs
