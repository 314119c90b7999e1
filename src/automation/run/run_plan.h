// A run's plan: what the main window holds when "СТАРТ" is pressed, whether it is refused, how many
// barcodes it fills and the value of each.
#pragma once
#include "automation/positions/coordinates.h"

#include <cstddef>
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

// Refusals of the inputs.
extern const char* const kEmptyListMessage;
extern const char* const kBadTotalMessage;
extern const char* const kStartTooLongMessage;
extern const char* const kMissingPositionsMessage;

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


// Where barcode `index` of a run goes: its page (from 0, counted from the run's first) and the
// capture it uses (positions[i mod n] for barcode i of a page).
struct BarcodePlace {
    long long page = 0;
    std::size_t capture = 0;
};
BarcodePlace PlaceOf(const RunInputs& inputs, long long index);
