#pragma once
#include <qcustomplot.h>

namespace qs {

// Value ticks labelled "#,##0.#######": thousands separators, up to seven
// decimals without trailing zeros, a point as decimal separator whatever the
// user's locale; more decimals where the ticks lie closer together than
// seven tell apart, so that no two labels read the same.
class ValueAxisTicker : public QCPAxisTicker {
public:
    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision, QVector<double>& ticks,
                  QVector<double>* subTicks, QVector<QString>* tickLabels) override;
};

}  // namespace qs
