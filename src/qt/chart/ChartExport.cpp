#include "qt/chart/ChartExport.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace qs {

namespace {
const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kPngDoubleFilter = QStringLiteral("PNG image, twice the size (*.png)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");
}  // namespace

QString ChartFileStem(const QDateTime& utc) {
    return QStringLiteral("Chart-") + utc.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

ChartFile ChartFileFor(QString path, const QString& filter) {
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("png")) {
        suffix = filter == kPdfFilter ? QStringLiteral("pdf") : QStringLiteral("png");
        path += QLatin1Char('.') + suffix;
    }
    using F = ChartFile::Format;
    const F format = suffix == QLatin1String("pdf") ? F::Pdf : filter == kPngDoubleFilter ? F::PngDoubleSize : F::Png;
    return {path, format};
}

std::optional<ChartFile> ChooseChartFile(QWidget* parent, const QString& suggestedPath) {
    QString filter = kPngFilter;
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save Chart As"), suggestedPath,
                                                      QStringList{kPngFilter, kPngDoubleFilter, kPdfFilter}.join(QStringLiteral(";;")),
                                                      &filter);
    if (path.isEmpty()) return std::nullopt;
    return ChartFileFor(path, filter);
}

}  // namespace qs
