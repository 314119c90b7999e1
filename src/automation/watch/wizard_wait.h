// How a run waits for a barcode's wizard: the fixed schedule of the delays, or watching the
// designer's windows for the wizard to come up and to close. The run asks the same three questions
// of either; each wait leaves the guard knowing whether the wizard is there, so input it would send
// to the wrong window is held back and the run stops.
#pragma once
#include "automation/watch/input_guard.h"
#include "delays/delay_settings.h"

#include <cstddef>
#include <memory>

class WizardWait {
public:
    virtual ~WizardWait() = default;
    // The barcode's double-click at `at`: after the double-click delay, or at once while watching
    // (the wizard before it was seen gone and the page taking input again).
    virtual void DoubleClick(InputGuard& guard, const Position& at) = 0;
    // After the double-click: until the wizard is ready for the value. At the fixed opening time a
    // double-click the designer ignored (nothing opened or changed, the page enabled, the designer
    // answering) is tried once more.
    virtual void Opened(InputGuard& guard) = 0;
    // The first or second Enter of a value: then the Enter delay, or, while watching, until the
    // wizard shows another step (a change of that very wizard that persists, see wizard_step.h) or
    // has closed; otherwise the Enter delay. `maxChars` bounds the read.
    virtual void Enter(InputGuard& guard, std::size_t maxChars) = 0;
    // What a closing wait saw of the wizard. A value counts as stored only once its wizard was seen gone.
    enum class Closing {
        kGone,    // seen gone
        kOpen,    // seen still open (at the ceiling, or when a stop ended the wait): not stored
        kUnseen,  // not looked at yet: GoneAfterGap tells, when the next click is due
    };
    // After the third Enter has gone out: until the wizard has closed. When it is seen still open
    // at the ceiling the guard holds input back. `last` is the run's last barcode, which no later
    // click looks after.
    virtual Closing Closed(InputGuard& guard, bool last) = 0;
    // Between two barcodes, after the Pause test; `pageTurnNext` when a page turn comes before the
    // next barcode.
    virtual void Gap(InputGuard& guard, bool pageTurnNext) = 0;
    // After the gap, for a wizard whose closing was kUnseen: whether it is gone now. When it is not,
    // input is held back as in Closed (unless a stop is already pending).
    virtual bool GoneAfterGap(InputGuard&) { return true; }
    // After a barcode's value was seen stored, before the next input: when its double-click was tried
    // twice, the first may still open a wizard, so the guard watches for one until the opening's
    // ceiling has passed since that first double-click.
    virtual void LateOpeningPassed(InputGuard& guard) = 0;
    // The fixed schedule types at the typing delay and waits after typing; waiting for the wizard
    // types at once and lets the read-back wait for the characters.
    virtual bool FixedSchedule() const { return true; }
};

// Watching for the wizard: a new window of the designer in front with the focus inside it, then a
// settle; after each of the first two Enters another step shown; after the third Enter the wizard
// gone and the page in front and enabled. Window state and focus are cheap to ask: looked at every
// millisecond; the wizard's picture every few looks. The opening and closing waits give up at
// their ceiling: 10 s or five times the fixed delays they stand for, whichever is longer.
constexpr unsigned kWizardPollMs = 1;
constexpr unsigned kWizardSettleMs = 10;
// After the wizard has gone the page is watched this long before the next input: a designer may put
// up a question of its own just after its wizard, and the next input's check should see it.
constexpr unsigned kPageSteadyMs = 20;
constexpr unsigned kStepPictureEvery = 2;  // looks at the wizard's field per look at its picture
constexpr unsigned kMinWizardCeilingMs = 10000;
unsigned WizardCeilingMs(long long fixedMs);

// The run's waits as the delays in force and the waiting option say; spreadsheet mode has no wizard.
std::unique_ptr<WizardWait> MakeWizardWait(const DelaySettings& settings, bool excelMode);
