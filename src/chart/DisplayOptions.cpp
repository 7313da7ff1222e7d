// PLACEHOLDER: handlers not built yet.
#include "app/TGPIBTelnet.h"

namespace qs {

void TGPIBTelnet::DisplayDataBoxClick() {}
void TGPIBTelnet::DisplayMeanBoxClick() {}
void TGPIBTelnet::FilterCheckboxClick() {}
void TGPIBTelnet::BoldRawClick() {}
void TGPIBTelnet::BoldMeanClick() {}
void TGPIBTelnet::BoldFilterClick() {}
void TGPIBTelnet::ScrollBoxExit() {}
void TGPIBTelnet::MeanBoxChange() {}
void TGPIBTelnet::FilterPointsChange() {}
void TGPIBTelnet::TrimToScrollWindow() {}

}  // namespace qs
