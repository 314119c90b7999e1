// Reading the merge window into table and password requests, and reporting what is wrong.
#pragma once
#include <windows.h>

#include <string>

bool IsMergeWindowOpen();
// The check box `id` of the merge window is ticked (false when the window is closed).
bool IsMergeOptionTicked(int id);
// A control's text in code page 1251, cut to at most `maxChars` characters.
std::string ReadField(HWND control, size_t maxChars);

// The merge table from the window's fields, or "" when the window is closed or after telling the
// user what is wrong.
std::string GenerateTableContent();
// The password list from the window's options, or "" on the same terms.
std::string GeneratePasswordTable();

// Fills `buffer` with the start field's text, rewriting an empty or non-digit field to "20001".
void GetStartNumberString(char* buffer, int bufferSize);
int GetMergeColumnsCount();
void ParseMergeLists();
