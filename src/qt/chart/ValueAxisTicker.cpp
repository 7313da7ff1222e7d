#include "qt/chart/ValueAxisTicker.h"

#include "chart/AxisLabels.h"

namespace qs {

QString ValueAxisTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    return QString::fromStdString(FormatAxisValue(tick));
}

}  // namespace qs
