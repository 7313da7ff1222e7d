// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::FormCreate() {}
void TGPIBTelnet::FormCloseQuery(bool&) {}

}  // namespace qs
