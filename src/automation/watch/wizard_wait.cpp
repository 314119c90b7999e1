// The two ways of waiting for a barcode's wizard.
#include "automation/watch/wizard_wait.h"

#include "automation/input/input.h"
#include "automation/input/wait_until.h"
#include "automation/watch/page_turn.h"
#include "automation/watch/wizard_step.h"

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

// The fixed schedule's time for the wizard to open: where a double-click the designer ignored is
// tried once more, in either pacing.
unsigned OpeningMs() { return BoundedDelay(delays.masterOpenDelay) + 100; }

// The barcode's double-click, the page's picture taken just before it: whether the designer
// ignored it is judged against that picture.
class DoubleClickOnce {
public:
    void Before(InputGuard& guard, const Position& at) {
        at_ = at;
        page_ = guard.PictureOfPage();
        firstAtMs_ = guard.NowMs();
        retried_ = false;
    }
    // Once per barcode: again when nothing opened or changed and the designer answers, at once
    // after that look (no double-click delay in which a late wizard could come up under the click).
    // The click goes to the page; keys go to the wizard again after it (given `waitedMs` to open,
    // when not 0).
    bool Retried(InputGuard& guard, unsigned waitedMs) {
        if (guard.PendingStop() != StopCause::kNone || !guard.DoubleClickIgnored(page_)) return false;
        guard.ExpectPage();
        retried_ = true;
        DoubleClickAtOnce(guard, at_.x, at_.y);
        if (waitedMs > 0) guard.ExpectWizard(waitedMs);
        return guard.PendingStop() == StopCause::kNone;
    }

    // A designer that opens its wizard late answers messages meanwhile, just as one that ignored the
    // click does: after a second double-click, the first may still bring up a wizard, which the next
    // barcode's double-click must not take for its own.
    void LateOpeningPassed(InputGuard& guard) {
        if (!retried_) return;
        retried_ = false;
        guard.WatchForLateWizard(firstAtMs_ + WizardCeilingMs(static_cast<long long>(OpeningMs())));
    }

private:
    Position at_;
    PagePicture page_;
    long long firstAtMs_ = 0;
    bool retried_ = false;
};

unsigned ClosingCeilingMs() {
    return WizardCeilingMs(static_cast<long long>(BoundedDelay(delays.enterDelay)) +
                           BoundedDelay(delays.betweenBarcodesDelay));
}

// The schedule of the seven delays: the wizard is given a fixed time to open, the Enter and the
// gap a fixed time to let it close; the guard then looks at what is in front before each input.
class FixedWait : public WizardWait {
public:
    void DoubleClick(InputGuard& guard, const Position& at) override {
        click_.Before(guard, at);
        SimulateDoubleClick(guard, at.x, at.y);
    }
    void Enter(InputGuard& guard, std::size_t) override { SimulateKeyPress(guard, kVkReturn); }
    void Opened(InputGuard& guard) override {
        for (int click = 0; click < 2; ++click) {
            WaitDelay(guard, delays.masterOpenDelay);
            if (guard.PendingStop() == StopCause::kNone) WaitDelay(guard, 100);
            if (click == 1 || !click_.Retried(guard, 0)) break;
        }
        guard.ExpectWizard(OpeningMs());
    }
    Closing Closed(InputGuard& guard, bool last) override {
        WaitDelay(guard, delays.enterDelay);
        guard.ExpectPage();
        if (!last) return Closing::kUnseen;
        if (guard.PendingStop() != StopCause::kNone) return SeenAtStop(guard);
        return ClosedWithin(guard, ClosingCeilingMs());
    }
    void Gap(InputGuard& guard, bool) override { WaitDelay(guard, delays.betweenBarcodesDelay); }
    void LateOpeningPassed(InputGuard& guard) override { click_.LateOpeningPassed(guard); }
    // Where the next click would find the wizard in front: this barcode's value is not stored.
    bool GoneAfterGap(InputGuard& guard) override {
        if (!guard.WizardStillOpen()) return true;
        if (guard.PendingStop() == StopCause::kNone)
            guard.HoldBackUnclosed(BoundedDelay(delays.enterDelay) + BoundedDelay(delays.betweenBarcodesDelay));
        return false;
    }

private:
    DoubleClickOnce click_;
};

class WatchingWait : public WizardWait {
public:
    // The button records carry the point, and the wizard before was seen gone with the page
    // enabled: nothing is left to wait for.
    void DoubleClick(InputGuard& guard, const Position& at) override {
        click_.Before(guard, at);
        DoubleClickAtOnce(guard, at.x, at.y);
    }
    // Only the wizard's own step ends the wait (see wizard_step.h); else the Enter delay.
    void Enter(InputGuard& guard, std::size_t maxChars) override {
        if (firstEnter_) PictureAtRest(guard);
        firstEnter_ = false;
        step_.BeforeKey(guard.ReadWizardField(maxChars), guard.PictureOfWizard());
        PressKey(guard, kVkReturn);
        unsigned looks = 0;
        WaitUntil(
            guard,
            [&] {
                StepLook look;
                look.atMs = guard.NowMs();
                if (step_.Confirming(look.atMs)) return false;
                look.open = guard.WizardStillOpen();
                if (look.open) {
                    look.inFront = guard.WizardInFront();
                    look.field = guard.ReadWizardField(maxChars);
                    look.pictureTaken = looks++ % kStepPictureEvery == 0 || step_.PictureDue();
                    if (look.pictureTaken) look.picture = guard.PictureOfWizard();
                }
                return step_.Look(look) != WizardStep::Seen::kWaiting;
            },
            kWizardPollMs, BoundedDelay(delays.enterDelay));
    }
    void Opened(InputGuard& guard) override {
        step_.NewWizard();
        firstEnter_ = true;
        const unsigned ceiling = WizardCeilingMs(static_cast<long long>(OpeningMs()));
        guard.ExpectWizard(ceiling);
        const auto ready = [&] { return guard.WizardReady(); };
        // At the fixed schedule's opening time a double-click the designer ignored is tried once more;
        // the ceiling then counts from that one.
        if (PollUntil(guard, std::min(OpeningMs(), ceiling), ready) ||
            (click_.Retried(guard, ceiling) ? PollUntil(guard, ceiling, ready)
                                         : PollUntil(guard, ceiling - std::min(OpeningMs(), ceiling), ready))) {
            guard.Sleep(kWizardSettleMs);
            return;
        }
        // Given up at the ceiling: the guard says what is in front instead, unless it is the
        // wizard after all (with the focus not yet inside).
        if (guard.PendingStop() == StopCause::kNone) guard.FrontTakesKeys();
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
    void LateOpeningPassed(InputGuard& guard) override { click_.LateOpeningPassed(guard); }
    bool FixedSchedule() const override { return false; }

private:
    // The wizard's picture unchanged for kStepQuietMs, or it moves on its own.
    void PictureAtRest(InputGuard& guard) {
        if (step_.PictureMoves()) return;
        PagePicture last = guard.PictureOfWizard();
        long long stillSince = guard.NowMs();
        const WaitEnd end = WaitUntil(
            guard,
            [&] {
                if (guard.NowMs() - stillSince < kStepQuietMs) return false;  // no look needed before
                const PagePicture now = guard.PictureOfWizard();
                if (ComparePictures(last, now) == PageSeen::kSame) return true;
                stillSince = guard.NowMs();
                last = now;
                return false;
            },
            kStepPictureEvery * kWizardPollMs, std::max<long long>(BoundedDelay(delays.enterDelay), 3 * kStepQuietMs));
        if (end.why == WaitEnd::Why::kCeiling) step_.PictureMoved();
    }

    DoubleClickOnce click_;
    WizardStep step_;
    bool firstEnter_ = true;
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
