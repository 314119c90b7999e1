// Control identifiers of the delay-settings window (window class "BarcodeSettings").
#pragma once

enum SettingsWindowId : int {
    kApplyButtonId = 1,  // the ids a dialog gives Enter and Escape
    kCloseButtonId = 2,
    // The seven fields, in the order of the delays file (initial delay first).
    kInitialDelayEditId = 501, kDoubleClickDelayEditId = 502, kMasterOpenDelayEditId = 503, kTypingDelayEditId = 504,
    kEnterDelayEditId = 505, kBetweenBarcodesDelayEditId = 506, kPageSwitchDelayEditId = 507,
    kWaitForWizardCheckId = 508,  // wizard mode waits for the wizard's window
    kTrialRunCheckId = 509,       // a new run stops after its first page
    kAllowListRepeatsCheckId = 510,  // a list whose lines repeat may be run
};
