// The main window's text fields of a run, as the controls hold them (UTF-16), into the run's inputs:
// exactly in code page 1251, or refused before anything is sent.
#pragma once
#include "automation/run/run_plan.h"
#include "platform/typed_text.h"

#include <string>

// The total field is read as typed, at most its first 19 characters (its digits saturate anyway).
constexpr std::size_t kTotalFieldChars = 19;

struct RunFields {
    std::u16string prefix, startText, totalText, listText;
    bool listMode = false;
};

// Fills the text inputs of `inputs` (prefix, start, total, list) from the fields. The fields a run
// types from are converted exactly: the prefix, and the list in list mode or the start and the total
// otherwise; a character code page 1251 cannot carry there refuses the run with the message returned.
// The start and total of list mode are disabled and not used, so they never refuse it.
std::u16string ReadRunFields(const RunFields& fields, const Cp1251Converter& convert, RunInputs& inputs);
