#pragma once
#include <QObject>

#include "qt/link/QtStreamLink.h"

namespace qs {

// The link to the KISS-488: the stream link speaking Telnet (terminal type
// "dumb", data 8-bit, default port 23).
class QtTelnet : public QtStreamLink {
public:
    explicit QtTelnet(ErrorReport errorReport, QObject* parent = nullptr);
};

}  // namespace qs
