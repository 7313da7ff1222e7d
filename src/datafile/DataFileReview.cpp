// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::LoadButtonClick() {}
void TGPIBTelnet::DeleteButtonClick() {}
void TGPIBTelnet::TextFileBoxExit() {}
void TGPIBTelnet::ResetDataDisplay() {}

}  // namespace qs
