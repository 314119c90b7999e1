// What spreadsheet mode types into a cell for a value: the value itself, or the value after a leading
// apostrophe where a spreadsheet would otherwise take it for a number, a date, a formula or a boolean
// (0001 would become 1). The apostrophe only marks the entry as text: the cell holds the value.
#pragma once
#include <string>

// The value (code page 1251) may be changed by a spreadsheet's General cell: it does not begin with a
// letter, or it is a boolean word (ИСТИНА, ЛОЖЬ, TRUE, FALSE in any case), or its leading letters
// name a month (янв, March, ...) with nothing but the end or a non-letter after them. A value that
// begins with an apostrophe needs one more, or its own would be taken for the mark.
bool NeedsTextMark(const std::string& value);

// The text to type into the cell: "'" + value when NeedsTextMark, the value otherwise.
std::string CellEntry(const std::string& value);
