#include "qt/chart/ChartAxes.h"

#include <qcustomplot.h>

#include "chart/SeriesStyle.h"

namespace qs {

void StyleAxis(QCPAxis* axis) {
    const QColor colour(kAxisLineColour.r, kAxisLineColour.g, kAxisLineColour.b);
    const QPen line(colour);
    axis->setBasePen(line);
    axis->setTickPen(line);
    axis->setSubTickPen(line);
    axis->setTickLabelColor(colour);
    axis->setLabelColor(colour);
    axis->grid()->setSubGridVisible(false);
    axis->grid()->setZeroLinePen(Qt::NoPen);
}

void ShowAxisContent(QCPAxis* axis, bool used, const QString& title) {
    axis->setTicks(used);
    axis->setTickLabels(used);
    axis->grid()->setVisible(used);
    axis->setLabel(used ? title : QString());
}

}  // namespace qs
