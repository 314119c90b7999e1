// The run's one wait.
#include "automation/input/wait_until.h"

WaitEnd WaitUntil(Machine& machine, const std::function<bool()>& ready, unsigned pollMs, long long ceilingMs,
                  bool pauseEnds) {
    const long long began = machine.NowMs();
    for (;;) {
        WaitEnd end;
        end.waitedMs = machine.NowMs() - began;
        if (ready()) return end;
        if (machine.PendingStop() != StopCause::kNone) end.why = WaitEnd::Why::kStopped;
        else if (pauseEnds && machine.PauseDown()) end.why = WaitEnd::Why::kPause;
        else if (ceilingMs >= 0 && end.waitedMs >= ceilingMs) end.why = WaitEnd::Why::kCeiling;
        else {
            machine.Sleep(pollMs);
            continue;
        }
        return end;
    }
}
