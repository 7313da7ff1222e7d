#pragma once
#include <string>

namespace qs {

// Seconds to whole milliseconds, truncated toward zero, saturating at the
// limits of an int.
int SecondsToMs(double seconds);

// The interval as the poll scheduler keeps it: narrowed to single precision.
// Values beyond the float range become an infinity of the same sign instead
// of an undefined conversion.
float ToSingle(double seconds);

// The CountDown caption for a countdown in milliseconds: the seconds computed
// in single precision and written with one decimal ("%.1f"), always with a
// point. 2150 ms reads "2.2", because 2.15f lies just above 2.15.
std::string CountdownCaption(int countdownMs);

// The shortest time-out the watchdog may have for an interval, in whole
// seconds: the interval rounded half up, and at least 1. Saturates at the
// largest int for an absurd interval.
int MinimumTimeoutSeconds(float intervalSeconds);

// How long a new link waits for the adapter's greeting before the watchdog
// acts, in milliseconds: 30 s, or the time-out if that is longer. An adapter
// may take its time to greet after the Telnet negotiation.
int GreetingWaitMs(int timeoutMs);

}  // namespace qs
