// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::LoadSettings() {}
void TGPIBTelnet::SaveSettings() {}

}  // namespace qs
