// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::WatchdogTimerTimer() {}

}  // namespace qs
