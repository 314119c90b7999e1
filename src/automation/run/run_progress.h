// What a run shows of itself while it goes: barcodes stored out of the total, the time its schedule
// still needs, and after a stop the value to continue with. Text for the main window's caption.
#pragma once
#include "automation/input/machine.h"
#include "automation/run/run_plan.h"
#include "delays/delay_settings.h"

#include <string>

// The characters a run types over all its barcodes, prefixes and spreadsheet mode's text marks included.
double TypedChars(const RunInputs& inputs, const RunPlan& plan);
// What the run types for a value: in spreadsheet mode the cell's entry (cell_entry.h), else the value.
std::string TypedText(const RunInputs& inputs, const std::string& value);

// What a run has still to do: barcodes with their characters, the waits between barcodes and the
// page turns, and whether the initial wait is still ahead.
struct RunRemainder {
    long long barcodes = 0;
    double chars = 0;
    long long gaps = 0;
    long long pageTurns = 0;
    bool initialWait = false;
    // Waiting for the wizard types each value at once and reads it back instead of waiting after it.
    bool typesAtOnce = false;
    // Waiting for the wizard also watches the page turn: what a turn took so far (-1: the delays).
    double pageTurnMs = -1;
    // Waiting for the wizard, once a barcode was stored: what a barcode took in this run so far,
    // from its click to its wizard seen gone (-1: not measured yet). It stands for all of the above
    // but the initial wait and the page turns.
    double msPerBarcode = -1;
};
// The remainder once `stored` of the plan's barcodes are done, given the characters still to type;
// `gapWaited` when the wait after the barcode stored last is behind too (at the start, and with the
// fixed delays, whose wizard is seen gone only after that wait).
RunRemainder RemainderAfter(long long stored, long long total, int perPage, double charsLeft, bool gapWaited);
// The milliseconds the waits of that remainder take with `d` in force.
double ScheduleMs(const RunRemainder& rest, bool excelMode, const DelaySettings& d);

// "~K мин", or "~S с" under a minute.
std::string TimeLeftText(double ms);
// "N из M, ещё ~K мин" while running, "Остановлено: N из M, следующий V" after a stop (without the
// next value when none is left; "Остановлено (note): ..." when the stop has a note), "" at the end.
std::string ProgressText(const RunProgress& progress);
