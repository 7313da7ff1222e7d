#include "qt/link/QtTelnet.h"

#include <utility>

#include "link/LinkCodecTable.h"

namespace qs {

QtTelnet::QtTelnet(ErrorReport errorReport, QObject* parent)
    : QtStreamLink(MakeLinkCodec(ProgramLinkCodecs(), kTelnetLink), std::move(errorReport), parent) {}

}  // namespace qs
