// The one way a run waits for something to happen: it looks at a condition every `pollMs` on the
// machine's steady clock (the real clock, not the sum of the sleeps, so a slow look does not stretch
// the ceiling) until the condition holds, a stop is pending (Escape, the main window gone, input
// held back), the Pause key is held (where the wait says so) or `ceilingMs` has passed since the
// wait began. The machine's sleep answers the messages the system sends meanwhile (the keyboard
// hooks); window messages wait for the run's pump points.
#pragma once
#include "automation/input/machine.h"

#include <functional>

struct WaitEnd {
    enum class Why { kReady, kStopped, kPause, kCeiling };
    Why why = Why::kReady;
    long long waitedMs = 0;
    bool Ready() const { return why == Why::kReady; }
};

// Unbounded: the condition itself decides when to give up.
constexpr long long kNoCeiling = -1;

// Milliseconds of a steady counter of `perSecond` ticks a second. The product ticks * 1000 would
// overflow after about 35 days of uptime on a counter at the processor's clock: it is split.
constexpr long long TicksToMs(long long ticks, long long perSecond) {
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

WaitEnd WaitUntil(Machine& machine, const std::function<bool()>& ready, unsigned pollMs, long long ceilingMs,
                  bool pauseEnds = false);
