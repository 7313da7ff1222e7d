#include "qt/runtime/QtDesktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace qs {

void QtDesktop::openFolder(const std::string& path) {
    // Whether a file manager came up is not looked at.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace qs
