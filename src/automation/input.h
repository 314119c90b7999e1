// The input primitives of a run: a double-click on a screen point, typing a value, a single key
// press, entering a value into a spreadsheet cell and turning to the next sheet. Each sends its fixed
// sequence of events and waits as long as `delays` says at the moment of the wait. None sends
// anything more once the machine reports a pending stop.
#pragma once
#include "automation/machine.h"

#include <string>

// Virtual keys the run uses.
constexpr unsigned char kVkReturn = 0x0D;
constexpr unsigned char kVkShift = 0x10;
constexpr unsigned char kVkControl = 0x11;
constexpr unsigned char kVkSpace = 0x20;
constexpr unsigned char kVkNext = 0x22;  // Page Down
constexpr unsigned char kVkOemMinus = 0xBD;

// A code page 1251 character as UTF-16 (bytes below 0x80 keep their value).
char16_t Utf16FromCp1251(unsigned char c);

// How spreadsheet mode enters one character: a key of the keyboard (with Shift for capitals) for
// Latin letters, digits, blank and hyphen; the character itself for everything else, so the cell
// receives exactly it whatever the keyboard layout.
struct CellKey {
    bool unicode = false;
    bool shift = false;
    unsigned char vk = 0;  // when !unicode
    char16_t unit = 0;     // when unicode
};
CellKey CellKeyFor(unsigned char c);

// A screen coordinate as an absolute mouse coordinate (0..65535 across `extent` pixels from
// `origin`), chosen so that the system's mapping back, value * extent / 65536, gives the same pixel.
long NormalizedCoordinate(int value, int origin, int extent);

void SimulateDoubleClick(Machine& machine, int x, int y);
void SimulateTyping(Machine& machine, const std::string& text);
void SimulateKeyPress(Machine& machine, unsigned char key);
void SimulateExcelPaste(Machine& machine, int x, int y, const std::string& text);
void SimulateExcelPageDown(Machine& machine);

// A wait of `ms` as the delays give it (bounded; 0 or less waits nothing).
void WaitDelay(Machine& machine, int ms);
