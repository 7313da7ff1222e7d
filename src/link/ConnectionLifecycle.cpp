// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::StartButtonClick() {}
void TGPIBTelnet::ResetButtonClick() {}
void TGPIBTelnet::TelnetConnected() {}
void TGPIBTelnet::TelnetDisconnected() {}
void TGPIBTelnet::SendFailureRecovery() {}

}  // namespace qs
