#pragma once
#include <QAction>
#include <QColor>
#include <QImage>
#include <QRect>

#include <cmath>

#include <qcustomplot.h>

#include "TimeAxisLabels.h"
#include "WindowFixture.h"
#include "qt/chart/QtChart.h"

namespace qs::test {

// The whole program's window, looked at through its chart: points put on the
// series, the chart repainted and grabbed, the chart menu's commands.
struct ChartInTheWindow : WindowFixture {
    QCustomPlot& plot() { return *app->chart.widget(); }
    ChartLegend& legend() { return app->chart.plot().lineLegend(); }
    // Points one second apart on all six series, from second `from`.
    void addPoints(int n, int from = 0) {
        for (int i = from; i < from + n; ++i)
            for (int s = 1; s <= 6; ++s) app->chart.Series(s).AddPoint(kStart + i * kSecond, s + 0.1 * (i % 7));
    }
    void show() {
        app->chart.Redraw();
        app->chart.replotNow();
    }
    QImage picture() { return plot().grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // How much of the colour's ink lies in the rectangle: the darkness of
    // its pixels of about that hue.
    static double inkOf(const QImage& image, const QRect& r, QColor colour) {
        double ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.saturation() < 80 || std::abs(c.hue() - colour.hue()) > 20) continue;
                ink += c.saturation();
            }
        return ink;
    }
    QRect legendIcon(const QString& name) {
        for (ChartLegend::Side side : {ChartLegend::Left, ChartLegend::Right}) {
            QCPLegend* l = legend().legendOf(side);
            for (int i = 0; i < l->itemCount(); ++i)
                if (auto* e = qobject_cast<QCPPlottableLegendItem*>(l->item(i)); e && e->plottable()->name() == name)
                    return QRect(e->rect().topLeft(), l->iconSize());
        }
        return {};
    }
    void trigger(const char* action) {
        QAction* a = app->chart.menuAction(QString::fromLatin1(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
};

}  // namespace qs::test
