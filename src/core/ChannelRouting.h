#pragma once
#include <optional>

namespace qs {

// A held value of "none yet": a channel has not had a sample in alternate
// mode. A sample of exactly this value cannot be told from it.
inline constexpr double kNoHeldValue = -9999.0;

// Which commands the poll sends: RadioButton1, RadioButton2, or neither
// (the two in turn).
enum class CommandMode { Command1, Command2, Alternate };

CommandMode CommandModeOf(bool radioButton1, bool radioButton2);

// The channel of a reply: 1 for a reply to command 1, 2 for command 2's. In
// alternate mode the reply phase tells which command went out last: 1 after
// command 1.
int ReplyChannel(CommandMode mode, int replyPhase);

// The latest value of each channel in alternate mode.
template <typename Value>
struct HeldValues {
    Value channel1;
    Value channel2;
};

// What a sample adds beside its own points on its channel's series.
template <typename Value>
struct ChannelRoute {
    std::optional<Value> otherHeld;  // the other channel's held value, plotted again at the sample's time
    HeldValues<Value> held;          // the held values after the sample
};

// In alternate mode both lines run on at every sample: the other channel's
// held value is plotted again at the sample's time (when it has one, which
// isHeld tells), and the sample becomes its own channel's held value. In the
// other modes nothing is held or repeated.
template <typename Value, typename IsHeld>
ChannelRoute<Value> RouteToChannel(CommandMode mode, int channel, const Value& value, const HeldValues<Value>& held,
                                   IsHeld isHeld) {
    ChannelRoute<Value> route{std::nullopt, held};
    if (mode != CommandMode::Alternate) return route;
    const Value& other = channel == 1 ? held.channel2 : held.channel1;
    if (isHeld(other)) route.otherHeld = other;
    (channel == 1 ? route.held.channel1 : route.held.channel2) = value;
    return route;
}

// A reply's value, held while it is not kNoHeldValue.
ChannelRoute<double> RouteSample(CommandMode mode, int channel, double value, const HeldValues<double>& held);

}  // namespace qs
