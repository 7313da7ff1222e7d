#pragma once
#include <qcustomplot.h>

#include "platform/LargeArrays.h"
#include "qt/chart/SeriesSummary.h"

namespace qs {

// A graph's point container that can drop its oldest point in constant time,
// and keeps the level-of-detail summary its graph is drawn from. Points are
// changed only through addPoint, dropFirst and clearPoints, which keep the
// summary in step.
//
// QCPDataContainer keeps removed front points as preallocated space, but
// only offers that through removals by key, which would take every point of
// an equal key at once; the scrolling window removes exactly one point.
class SeriesData : public QCPGraphDataContainer {
public:
    // Adds a point where its key belongs (after any equal keys when it is not
    // below the newest). True when it went after the newest point.
    bool addPoint(double key, double value) {
        // The append that QCPDataContainer::add makes after the same test,
        // without going through its tests again: a load adds tens of millions.
        if (isEmpty() || !(key < mData.constLast().key)) {
            mData.append(QCPGraphData(key, value));
            summary_.appended(value);
            return true;
        }
        add(QCPGraphData(key, value));
        summary_.forget();
        return false;
    }

    // Room for `points` points in all, as large pages where it can be: ten
    // million points otherwise fault in 4 KiB at a time as they arrive.
    void reserveRoom(int points) {
        if (points <= room()) return;
        mData.reserve(static_cast<qsizetype>(points) + mPreallocSize);
        AdviseLargePages(mData.constData(), static_cast<std::size_t>(mData.capacity()) * sizeof(QCPGraphData));
    }

    void dropFirst() {
        if (isEmpty()) return;
        ++mPreallocSize;
        summary_.droppedFirst();
        if (mAutoSqueeze) performAutoSqueeze();
    }

    void clearPoints() {
        clear();
        summary_.cleared();
    }

    // How many points fit before the container grows.
    qsizetype room() const { return mData.capacity() - mPreallocSize; }

    // The extremes of the values of points first to last - 1.
    ValueExtremes extremes(int first, int last) const {
        return summary_.extremes(mData.constData() + mPreallocSize, size(), first, last);
    }

private:
    SeriesSummary summary_;
};

}  // namespace qs
