#pragma once
#include <qcustomplot.h>

namespace qs {

// Value ticks labelled "#,##0.#######": thousands separators, up to seven
// decimals without trailing zeros, a point as decimal separator whatever the
// user's locale.
class ValueAxisTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;
};

}  // namespace qs
