// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::HintBoxClick() {}
void TGPIBTelnet::OpenFolderButtonClick() {}

}  // namespace qs
