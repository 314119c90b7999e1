// The seven waits of an automation run, in milliseconds, and their file "barcode_delays.cfg".
#pragma once
#include <string>

struct DelaySettings {
    int doubleClickDelay = 200;
    int masterOpenDelay = 700;
    int typingDelay = 20;
    int enterDelay = 200;
    int betweenBarcodesDelay = 200;
    int pageSwitchDelay = 400;
    int initialDelay = 1000;
    // Wizard mode waits for the wizard's window instead of the fixed opening and closing delays.
    bool waitForWizard = false;
    // A new run stops after its first page (sheet), before the page key, for the user to look at it.
    bool trialRun = false;
    // A list whose lines repeat may be run (a reprint on purpose); otherwise "СТАРТ" refuses it.
    bool allowListRepeats = false;
};

extern DelaySettings delays;

constexpr const char* kDelaySettingsFile = "barcode_delays.cfg";

// The longest single wait a delay can cause. The record and the file keep any value as typed or
// read; only the wait itself is bounded, so a negative value waits 0 and a huge one 10 minutes.
constexpr unsigned kMaxDelayMs = 600000;
unsigned BoundedDelay(int ms);

// Stream-extraction reading in file line order (initialDelay first): fields not reached keep their
// values; a word gives 0 and stops; a number out of the 32-bit range gives the bound and stops.
// An eighth number, 1, turns waiting for the wizard on, a ninth, 1, the trial run, and a tenth, 1,
// lets a list repeat; files of earlier versions lack them (off), and those versions read only the
// first seven (eight, nine) numbers of ours.
void ParseDelaySettings(const std::string& text, DelaySettings& settings);
std::string FormatDelaySettings(const DelaySettings& settings);  // ten lines, CR LF

// The number in an edit field, read like atoi from its first 19 characters; digits beyond the
// 32-bit range give the nearest bound.
int ParseDelayField(const std::string& text);

// Fills `delays` from the file in the working directory; a missing file keeps the values.
void LoadDelaySettings();
// Writes `settings` to the file; false when it could not be written.
bool WriteDelaySettingsFile(const DelaySettings& settings);
