#pragma once
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include <qcustomplot.h>

class QPrinter;

namespace qs {

// One print job of landscape chart pages: to the default printer, or to a
// PDF file on a machine without one. The printer opens with the first page.
class ChartPrintJob {
public:
    // pdfFile empty: the default printer; else the PDF file to write.
    ChartPrintJob(QCustomPlot& plot, QString pdfFile);
    ~ChartPrintJob();
    ChartPrintJob(const ChartPrintJob&) = delete;
    ChartPrintJob& operator=(const ChartPrintJob&) = delete;

    // Adds a page showing the whole chart as it now stands, laid out anew for
    // the page's printable area. When the printer or the
    // file cannot be opened the job fails: this and later pages are not
    // printed and error() says why.
    void addPage();
    // Ends the job: the printer prints, the PDF file is complete.
    void finish();

    // getters
    int pages() const { return pages_; }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    bool toPdf() const { return !pdfFile_.isEmpty(); }
    const QString& pdfFile() const { return pdfFile_; }

    // "Chart-YYYYMMDD-hhmmss.pdf" for the UTC time, with "-2", "-3"... added
    // when exists says the name is taken.
    static QString pdfFileName(const QDateTime& utc, const std::function<bool(const QString&)>& exists);

private:
    // members
    QCustomPlot& plot_;
    QString pdfFile_;
    std::unique_ptr<QPrinter> printer_;
    QCPPainter painter_;
    int pages_ = 0;
    std::string error_;
};

}  // namespace qs
