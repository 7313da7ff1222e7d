#pragma once
#include <string>

#include "StoreWindow.h"

namespace qs::bench {

// The logger window on a chart store of choice, as the benches drive it.
template <class ChartT>
struct BenchWindow : test::StoreWindow<ChartT> {
    // 1 "Send Command 1", 2 "Send Command 2", 3 "Alternate Commands".
    void selectMode(int radio) {
        if (radio == 1) this->w.RadioButton1.setChecked(true);
        if (radio == 2) this->w.RadioButton2.setChecked(true);
        if (radio == 3) this->w.RadioButton3.setChecked(true);
    }
    void setMeanPoints(int points) {
        this->w.MeanBox.setText(std::to_string(points));
        this->w.MeanBoxChange();
    }
    void setScrollPoints(int points) {
        this->w.ScrollBox.setText(std::to_string(points));
        this->w.ScrollBoxExit();
    }
};

}  // namespace qs::bench
