// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::Timer1Timer() {}
void TGPIBTelnet::Timer2Timer() {}
void TGPIBTelnet::Timer3Timer() {}
void TGPIBTelnet::IntervalBoxExit() {}
void TGPIBTelnet::TimeOutBoxExit() {}
void TGPIBTelnet::SendCommand(const std::string&) {}

}  // namespace qs
