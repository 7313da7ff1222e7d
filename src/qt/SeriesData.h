#pragma once
#include <qcustomplot.h>

namespace qs {

// A graph's point container that can drop its oldest point in constant time.
// QCPDataContainer keeps removed front points as preallocated space, but
// only offers that through removals by key, which would take every point of
// an equal key at once; the scrolling window removes exactly one point.
class SeriesData : public QCPGraphDataContainer {
public:
    void dropFirst() {
        if (isEmpty()) return;
        ++mPreallocSize;
        if (mAutoSqueeze) performAutoSqueeze();
    }
};

}  // namespace qs
