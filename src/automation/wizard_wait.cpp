// The two ways of waiting for a barcode's wizard.
#include "automation/wizard_wait.h"

#include "automation/input.h"

#include <algorithm>

namespace {
// The schedule of the seven delays: the wizard is given a fixed time to open, the Enter and the
// gap a fixed time to let it close; the guard then looks at what is in front before each input.
class FixedWait : public WizardWait {
public:
    void Opened(InputGuard& guard) override {
        WaitDelay(guard, delays.masterOpenDelay);
        if (guard.PendingStop() == StopCause::kNone) WaitDelay(guard, 100);
        guard.ExpectWizard(BoundedDelay(delays.masterOpenDelay) + 100);
    }
    void Closed(InputGuard& guard) override {
        WaitDelay(guard, delays.enterDelay);
        guard.ExpectPage();
    }
    void Gap(InputGuard& guard) override { WaitDelay(guard, delays.betweenBarcodesDelay); }
};

class WatchingWait : public WizardWait {
public:
    void Opened(InputGuard& guard) override {
        const unsigned ceiling = WizardCeilingMs(static_cast<long long>(BoundedDelay(delays.masterOpenDelay)) + 100);
        guard.ExpectWizard(ceiling);
        if (!Watch(guard, ceiling, [&] { return guard.WizardReady(); })) {
            // Given up at the ceiling: the guard says what is in front instead, unless it is the
            // wizard after all (with the focus not yet inside).
            if (guard.PendingStop() == StopCause::kNone) guard.FrontTakesKeys();
        }
    }
    void Closed(InputGuard& guard) override {
        const unsigned ceiling = WizardCeilingMs(static_cast<long long>(BoundedDelay(delays.enterDelay)) +
                                                 BoundedDelay(delays.betweenBarcodesDelay));
        if (Watch(guard, ceiling, [&] { return guard.WizardClosed(); }))
            guard.ExpectPage();
        else if (guard.PendingStop() == StopCause::kNone)
            guard.HoldBackUnclosed(ceiling);
        ++barcodes_;
    }
    void Gap(InputGuard&) override {}
    double MeasuredMsPerBarcode() const override { return barcodes_ ? waitedMs_ / barcodes_ : -1; }

private:
    // Polls `ready` until it holds (then settles), a stop is pending or the ceiling is reached.
    template <typename Ready>
    bool Watch(InputGuard& guard, unsigned ceiling, Ready ready) {
        for (unsigned waited = 0;; waited += kWizardPollMs) {
            if (guard.PendingStop() != StopCause::kNone) return false;
            if (ready()) {
                guard.Sleep(kWizardSettleMs);
                waitedMs_ += waited + kWizardSettleMs;
                return true;
            }
            if (waited >= ceiling) return false;
            guard.Sleep(kWizardPollMs);
        }
    }

    double waitedMs_ = 0;
    double barcodes_ = 0;
};
}  // namespace

unsigned WizardCeilingMs(long long fixedMs) {
    return static_cast<unsigned>(std::max<long long>(kMinWizardCeilingMs, 5 * std::max(0LL, fixedMs)));
}

std::unique_ptr<WizardWait> MakeWizardWait(const DelaySettings& settings, bool excelMode) {
    if (settings.waitForWizard && !excelMode) return std::make_unique<WatchingWait>();
    return std::make_unique<FixedWait>();
}
