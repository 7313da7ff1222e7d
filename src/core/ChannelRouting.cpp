#include "core/ChannelRouting.h"

namespace qs {

CommandMode CommandModeOf(bool radioButton1, bool radioButton2) {
    if (radioButton1) return CommandMode::Command1;
    if (radioButton2) return CommandMode::Command2;
    return CommandMode::Alternate;
}

int ReplyChannel(CommandMode mode, int replyPhase) {
    switch (mode) {
        case CommandMode::Command1:
            return 1;
        case CommandMode::Command2:
            return 2;
        case CommandMode::Alternate:
            break;
    }
    return replyPhase == 1 ? 1 : 2;
}

ChannelRoute<double> RouteSample(CommandMode mode, int channel, double value, const HeldValues<double>& held) {
    return RouteToChannel(mode, channel, value, held, [](double v) { return v != kNoHeldValue; });
}

}  // namespace qs
