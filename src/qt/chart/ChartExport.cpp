#include "qt/chart/ChartExport.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <qcustomplot.h>

namespace qs {

namespace {
const QString kPngFilter = QStringLiteral("PNG image (*.png)");
const QString kPngDoubleFilter = QStringLiteral("PNG image, twice the size (*.png)");
const QString kPdfFilter = QStringLiteral("PDF document (*.pdf)");
const QString kCsvFilter = QStringLiteral("CSV figures (*.csv)");
}  // namespace

QString ChartFileStem(const QDateTime& utc) {
    return QStringLiteral("Chart-") + utc.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

ChartFile ChartFileFor(QString path, const QString& filter, bool withCsv) {
    QString suffix = QFileInfo(path).suffix().toLower();
    const bool csv = withCsv && suffix == QLatin1String("csv");
    if (suffix != QLatin1String("pdf") && suffix != QLatin1String("png") && !csv) {
        suffix = filter == kPdfFilter                 ? QStringLiteral("pdf")
                 : withCsv && filter == kCsvFilter ? QStringLiteral("csv")
                                                      : QStringLiteral("png");
        path += QLatin1Char('.') + suffix;
    }
    using F = ChartFile::Format;
    if (withCsv && suffix == QLatin1String("csv")) return {path, F::Csv};
    const F format = suffix == QLatin1String("pdf") ? F::Pdf : filter == kPngDoubleFilter ? F::PngDoubleSize : F::Png;
    return {path, format};
}

std::optional<ChartFile> ChooseChartFile(QWidget* parent, const QString& suggestedPath, bool withCsv) {
    QString filter = kPngFilter;
    QStringList filters{kPngFilter, kPngDoubleFilter, kPdfFilter};
    if (withCsv) filters << kCsvFilter;
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save Chart As"), suggestedPath,
                                                      filters.join(QStringLiteral(";;")), &filter);
    if (path.isEmpty()) return std::nullopt;
    return ChartFileFor(path, filter, withCsv);
}

bool SavePlot(QCustomPlot& plot, const ChartFile& file, const QString& title, std::string& error) {
    bool saved = false;
    switch (file.format) {
        case ChartFile::Format::Png: saved = plot.savePng(file.path, 0, 0, 1.0); break;
        case ChartFile::Format::PngDoubleSize: saved = plot.savePng(file.path, 0, 0, 2.0); break;
        case ChartFile::Format::Pdf:
            saved = plot.savePdf(file.path, 0, 0, QCP::epAllowCosmetic, QStringLiteral("Quillstone"), title);
            break;
        case ChartFile::Format::Csv: break;
    }
    if (!saved) error = "Cannot write the chart to \"" + file.path.toStdString() + "\".";
    return saved;
}

void CopyPlot(QCustomPlot& plot) { QApplication::clipboard()->setImage(plot.toPixmap().toImage()); }

}  // namespace qs
