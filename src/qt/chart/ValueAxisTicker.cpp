#include "qt/chart/ValueAxisTicker.h"

#include <string>
#include <vector>

#include "chart/ValueAxisLabels.h"

namespace qs {

// The labels depend on all ticks together, so they are made once the ticks
// are known rather than one tick at a time.
void ValueAxisTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                               QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) {
    QCPAxisTicker::generate(range, locale, formatChar, precision, ticks, subTicks, nullptr);
    if (!tickLabels) return;
    const std::vector<std::string> labels = ValueAxisLabels(std::vector<double>(ticks.begin(), ticks.end()));
    tickLabels->clear();
    tickLabels->reserve(static_cast<qsizetype>(labels.size()));
    for (const std::string& l : labels) tickLabels->push_back(QString::fromStdString(l));
}

}  // namespace qs
