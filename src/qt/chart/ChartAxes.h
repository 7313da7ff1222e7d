#pragma once
#include <QString>

class QCPAxis;

namespace qs {

// The look of the chart's axes: colours and grids once, and what an axis
// shows at each repaint.

// Dark grey lines and labels, no sub grid, no zero line.
void StyleAxis(QCPAxis* axis);

// An axis that plots something shows its numbers, grid and title; one with
// nothing on it shows none of them, so that no range left from an earlier
// view or from nothing reads as data.
void ShowAxisContent(QCPAxis* axis, bool used, const QString& title);

}  // namespace qs
