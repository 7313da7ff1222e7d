// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::PrintButtonClick() {}
void TGPIBTelnet::SamplesPerPrintedPageExit() {}

}  // namespace qs
