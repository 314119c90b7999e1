// The automation run: validation of what the main window says, the values of the barcodes, and the
// run itself over the machine interface, page by page, with its Pause tests, pump points and stops.
#pragma once
#include "automation/coordinates.h"
#include "automation/machine.h"
#include "automation/run_record.h"

#include <optional>
#include <string>
#include <vector>

// What the main window holds when "СТАРТ" is pressed.
struct RunInputs {
    std::string prefix;
    std::string startText;  // as typed; refused when longer than kMaxStartChars
    std::string totalText;  // as typed, at most its first 19 characters
    int perPage = 5;        // selected index of the per-page list + 1
    bool listMode = false;
    std::string listText;   // the variable list field, whole
    bool excelMode = false;
    std::vector<Position> positions;
};
// Every input of a run the same: a stop of the one may be continued by the other.
bool SameRunInputs(const RunInputs& a, const RunInputs& b);

// The longest start text a run takes: 19 digits always fit in the 64-bit counter.
constexpr size_t kMaxStartChars = 19;

// Message texts of the run.
extern const char* const kEmptyListMessage;
extern const char* const kBadTotalMessage;
extern const char* const kStartTooLongMessage;
extern const char* const kMissingPositionsMessage;
extern const char* const kFinishedMessage;
extern const char* const kFinishedCaption;
extern const char* const kStopMessage;
extern const char* const kStopCaption;
extern const char* const kInputBlockedMessage;
extern const char* const kContinueCaption;
extern const char* const kInterruptedNote;  // begins the question when the program had closed

// The running number as the start text shows it: zero-filled to its width when it has more than
// one character and begins with '0', otherwise plain.
std::string FormatRunningNumber(long long number, const std::string& startText);

// How many barcodes a run fills and where its values come from; `refusal` is set when the inputs
// are refused. Number mode never counts past the largest 64-bit number.
struct RunPlan {
    std::string refusal;
    std::vector<std::string> list;  // list mode: the entries, each used once
    long long firstNumber = 0;      // number mode
    std::string startText;          // number mode: the start as counted, blanks at its ends trimmed
    long long total = 0;
};
RunPlan PlanRun(const RunInputs& inputs);
// The value of barcode `index` (0-based) of the run.
std::string RunValue(const RunInputs& inputs, const RunPlan& plan, long long index);

// The question asked at "СТАРТ" when a run with the same inputs stopped at `point`.
std::string ContinueQuestion(const RunInputs& inputs, const RunPlan& plan, const ContinuePoint& point);

// StartAutomation over a machine. Returns at once while another run is in progress. A run that
// stops before its end is remembered with the barcode to continue from; a "СТАРТ" with the same
// inputs then asks whether to continue there, begin anew or do nothing.
void RunAutomation(Machine& machine, const RunInputs& inputs);
// Forgets a remembered stop (tests; a new process starts without one).
void ForgetRunStop();
// The folder of the journal and the unfinished run's files, ending with a separator; empty (the
// default) for the working folder.
void SetRunFolder(const std::string& folder);
struct SavedRun;
// At start-up: a run left unfinished in the run folder (the program closed, was killed, the machine
// restarted), remembered as a stop so that "СТАРТ" with its inputs asks to continue; damaged or
// inconsistent files are removed.
std::optional<SavedRun> LoadInterruptedRun();
bool RunInProgress();
// Input may go out: the run has started and not yet stopped or ended.
bool AutomationRunning();
// The emergency stop: flag cleared, hook removed, caption flashed, stop message shown.
void StopRun(Machine& machine);
// The same stop when input would have reached another application: `why` names its window.
void StopRunHeldBack(Machine& machine, const std::string& why);
