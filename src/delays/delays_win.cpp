// Reading the settings window's fields into `delays` and saving them.
#include "app/text_win.h"
#include "delays/delay_settings.h"
#include "delays/settings_window_win.h"

void ReadDelaySettings() {
    const struct { HWND edit; int DelaySettings::*field; } fields[] = {
        {hInitialDelayEdit, &DelaySettings::initialDelay},
        {hDoubleClickDelayEdit, &DelaySettings::doubleClickDelay},
        {hMasterOpenDelayEdit, &DelaySettings::masterOpenDelay},
        {hTypingDelayEdit, &DelaySettings::typingDelay},
        {hEnterDelayEdit, &DelaySettings::enterDelay},
        {hBetweenBarcodesDelayEdit, &DelaySettings::betweenBarcodesDelay},
        {hPageSwitchDelayEdit, &DelaySettings::pageSwitchDelay},
    };
    for (const auto& f : fields) delays.*f.field = ParseDelayField(GetControlText(f.edit));
}

bool SaveDelaySettings() {
    ReadDelaySettings();
    return WriteDelaySettingsFile(delays);
}
