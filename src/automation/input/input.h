// The input primitives of a run: a double-click on a screen point, typing a value, a single key
// press, entering a value into a spreadsheet cell and turning to the next sheet. Each sends its fixed
// sequence of events and waits as long as `delays` says at the moment of the wait. None sends
// anything more once the machine reports a pending stop.
#pragma once
#include "automation/input/machine.h"
#include "platform/cp1251_utf16.h"  // Utf16FromCp1251: what a typed byte stands for

#include <functional>
#include <string>

// Virtual keys the run uses.
constexpr unsigned char kVkReturn = 0x0D;
constexpr unsigned char kVkShift = 0x10;
constexpr unsigned char kVkControl = 0x11;
constexpr unsigned char kVkMenu = 0x12;  // Alt
constexpr unsigned char kVkNext = 0x22;  // Page Down
constexpr unsigned char kVkEnd = 0x23;
constexpr unsigned char kVkHome = 0x24;
constexpr unsigned char kVkDelete = 0x2E;

// The keyboard a value is typed on: the layout of the window that receives it and the Caps Lock
// state, read once per value (the user may switch layouts between barcodes).
struct CellKeyboard {
    KeyboardLayout layout = 0;
    bool capsLock = false;
};

// How spreadsheet mode enters one character. Latin letters, digits, blank and hyphen go as the key
// of the receiving layout that types them, with the modifiers it needs and Shift turned over where
// Caps Lock would change the character, so the spreadsheet sees ordinary key presses. One of them
// that no key of the layout types (a Latin letter on a Cyrillic layout), and every other character,
// goes as the character itself, which arrives as it is whatever the layout.
struct CellKey {
    bool unicode = false;
    LayoutKey key;      // when !unicode
    char16_t unit = 0;  // the character
};
CellKey CellKeyFor(unsigned char c, Machine& machine, const CellKeyboard& keyboard);

// A screen coordinate as an absolute mouse coordinate (0..65535 across `extent` pixels from
// `origin`), chosen so that the system's mapping back, value * extent / 65536, gives the same pixel.
int NormalizedCoordinate(int value, int origin, int extent);

void SimulateDoubleClick(Machine& machine, int x, int y);
// The same double-click without the double-click delay: the button records carry the point
// themselves, so nothing waits for the cursor to arrive.
void DoubleClickAtOnce(Machine& machine, int x, int y);
void SimulateTyping(Machine& machine, const std::string& text);
// The same keys with `paceMs` after each character instead of the typing delay (0: none).
void SimulateTypingAtPace(Machine& machine, const std::string& text, int paceMs);
// Empties a one-line field by keyboard: Home, Shift+End, Delete (Ctrl+A does not select all in
// every edit control).
void ClearField(Machine& machine);
void SimulateKeyPress(Machine& machine, unsigned char key);
// The key press of SimulateKeyPress without its wait.
void PressKey(Machine& machine, unsigned char key);
// True when every character of the text went out. `clearFirst` empties the cell's editor before
// typing: what a stop left of the value there is typed over, not after.
// `beforeKeys` is called once the cell is open, just before its first key goes out.
bool SimulateExcelPaste(Machine& machine, int x, int y, const std::string& text, bool clearFirst = false,
                        const std::function<void()>& beforeKeys = {});
void SimulateExcelPageDown(Machine& machine);
// The chord of SimulateExcelPageDown without its wait.
void PressExcelPageDown(Machine& machine);

// A wait of `ms` as the delays give it (bounded; 0 or less waits nothing).
void WaitDelay(Machine& machine, int ms);
