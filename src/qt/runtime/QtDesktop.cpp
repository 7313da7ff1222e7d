#include "qt/runtime/QtDesktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace qs {

// False when the desktop has no handler for folders (no file manager).
bool QtDesktop::openFolder(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace qs
