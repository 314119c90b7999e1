// The two ways of waiting for a barcode's wizard.
#include "automation/watch/wizard_wait.h"

#include "automation/input/input.h"
#include "automation/input/wait_until.h"
#include "automation/watch/page_turn.h"

#include <algorithm>

namespace {
// Polls `ready` until it holds, a stop is pending or the ceiling is reached; whether it came to hold.
bool PollUntil(InputGuard& guard, unsigned ceiling, const std::function<bool()>& ready) {
    return WaitUntil(guard, ready, kWizardPollMs, ceiling).Ready();
}

using Closing = WizardWait::Closing;

// A closing wait that a stop ended: the wizard as it is now decides.
Closing SeenAtStop(InputGuard& guard) { return guard.WizardStillOpen() ? Closing::kOpen : Closing::kGone; }

// The wizard seen still open at the end of a closing wait of `ceiling` ms holds input back.
Closing ClosedWithin(InputGuard& guard, unsigned ceiling) {
    if (PollUntil(guard, ceiling, [&] { return !guard.WizardStillOpen(); })) return Closing::kGone;
    if (guard.PendingStop() != StopCause::kNone) return SeenAtStop(guard);
    guard.HoldBackUnclosed(ceiling);
    return Closing::kOpen;
}

unsigned ClosingCeilingMs() {
    return WizardCeilingMs(static_cast<long long>(BoundedDelay(delays.enterDelay)) +
                           BoundedDelay(delays.betweenBarcodesDelay));
}

// The schedule of the seven delays: the wizard is given a fixed time to open, the Enter and the
// gap a fixed time to let it close; the guard then looks at what is in front before each input.
class FixedWait : public WizardWait {
public:
    void DoubleClick(InputGuard& guard, const Position& at) override { SimulateDoubleClick(guard, at.x, at.y); }
    void Enter(InputGuard& guard, std::size_t) override { SimulateKeyPress(guard, kVkReturn); }
    void Opened(InputGuard& guard) override {
        WaitDelay(guard, delays.masterOpenDelay);
        if (guard.PendingStop() == StopCause::kNone) WaitDelay(guard, 100);
        guard.ExpectWizard(BoundedDelay(delays.masterOpenDelay) + 100);
    }
    Closing Closed(InputGuard& guard, bool last) override {
        WaitDelay(guard, delays.enterDelay);
        guard.ExpectPage();
        if (!last) return Closing::kUnseen;
        if (guard.PendingStop() != StopCause::kNone) return SeenAtStop(guard);
        return ClosedWithin(guard, ClosingCeilingMs());
    }
    void Gap(InputGuard& guard, bool) override { WaitDelay(guard, delays.betweenBarcodesDelay); }
    // Where the next click would find the wizard in front: this barcode's value is not stored.
    bool GoneAfterGap(InputGuard& guard) override {
        if (!guard.WizardStillOpen()) return true;
        if (guard.PendingStop() == StopCause::kNone)
            guard.HoldBackUnclosed(BoundedDelay(delays.enterDelay) + BoundedDelay(delays.betweenBarcodesDelay));
        return false;
    }
};

// Whether the wizard's focused control reads as it did: the same control kind, text and caret.
bool SameField(const FieldRead& a, const FieldRead& b) {
    return a.state == b.state && a.text == b.text && a.controlClass == b.controlClass &&
           a.dialogCode == b.dialogCode && a.caret == b.caret;
}

class WatchingWait : public WizardWait {
public:
    // The button records carry the point, and the wizard before was seen gone with the page
    // enabled: nothing is left to wait for.
    void DoubleClick(InputGuard& guard, const Position& at) override { DoubleClickAtOnce(guard, at.x, at.y); }
    void Enter(InputGuard& guard, std::size_t maxChars) override {
        const FieldRead field = guard.ReadWizardField(maxChars);
        const PagePicture picture = guard.PictureOfWizard();
        PressKey(guard, kVkReturn);
        unsigned looks = 0;
        WaitUntil(
            guard,
            [&] {
                if (!guard.WizardStillOpen() || !SameField(field, guard.ReadWizardField(maxChars))) return true;
                return looks++ % kStepPictureEvery == 0 &&
                       ComparePictures(picture, guard.PictureOfWizard()) == PageSeen::kChanged;
            },
            kWizardPollMs, BoundedDelay(delays.enterDelay));
    }
    void Opened(InputGuard& guard) override {
        const unsigned ceiling = WizardCeilingMs(static_cast<long long>(BoundedDelay(delays.masterOpenDelay)) + 100);
        guard.ExpectWizard(ceiling);
        if (!Watch(guard, ceiling, [&] { return guard.WizardReady(); }, true)) {
            // Given up at the ceiling: the guard says what is in front instead, unless it is the
            // wizard after all (with the focus not yet inside).
            if (guard.PendingStop() == StopCause::kNone) guard.FrontTakesKeys();
        }
    }
    Closing Closed(InputGuard& guard, bool) override {
        const unsigned ceiling = ClosingCeilingMs();
        if (Watch(guard, ceiling, [&] { return guard.WizardClosed(); }, false)) {
            guard.ExpectPage();
            // Whatever comes in front meanwhile is the next input's check to find; the value is stored.
            WaitUntil(guard, [&] { return !guard.WizardClosed(); }, kWizardPollMs, kPageSteadyMs);
            return Closing::kGone;
        }
        if (guard.PendingStop() != StopCause::kNone) return SeenAtStop(guard);
        const Closing seen = SeenAtStop(guard);
        guard.HoldBackUnclosed(ceiling);
        return seen;
    }
    // The page came back taking input: the next click goes at once, and a page key looks for the
    // page at rest first.
    void Gap(InputGuard&, bool) override {}
    bool FixedSchedule() const override { return false; }

private:
    // Polls `ready` until it holds (then settles if asked), a stop is pending or the ceiling is reached.
    static bool Watch(InputGuard& guard, unsigned ceiling, const std::function<bool()>& ready, bool settle) {
        if (!PollUntil(guard, ceiling, ready)) return false;
        if (settle) guard.Sleep(kWizardSettleMs);
        return true;
    }
};
}  // namespace

unsigned WizardCeilingMs(long long fixedMs) {
    return static_cast<unsigned>(std::max<long long>(kMinWizardCeilingMs, 5 * std::max(0LL, fixedMs)));
}

std::unique_ptr<WizardWait> MakeWizardWait(const DelaySettings& settings, bool excelMode) {
    if (settings.waitForWizard && !excelMode) return std::make_unique<WatchingWait>();
    return std::make_unique<FixedWait>();
}
