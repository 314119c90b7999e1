// Input primitives over the machine interface; every wait goes through BoundedDelay.
#include "automation/input/input.h"

#include "delays/delay_settings.h"

#include <algorithm>
#include <climits>

namespace {
bool Stopped(Machine& machine) { return machine.PendingStop() != StopCause::kNone; }

void PressAndRelease(Machine& machine, unsigned char vk) {
    machine.SendVirtualKey(vk, false);
    machine.SendVirtualKey(vk, true);
}

// The key between its modifiers: Shift first, released last.
void PressWithModifiers(Machine& machine, const LayoutKey& key) {
    if (key.shift) machine.SendVirtualKey(kVkShift, false);
    if (key.ctrl) machine.SendVirtualKey(kVkControl, false);
    if (key.alt) machine.SendVirtualKey(kVkMenu, false);
    PressAndRelease(machine, key.vk);
    if (key.alt) machine.SendVirtualKey(kVkMenu, true);
    if (key.ctrl) machine.SendVirtualKey(kVkControl, true);
    if (key.shift) machine.SendVirtualKey(kVkShift, true);
}

// The characters spreadsheet mode sends as key presses when the layout has keys for them.
bool TypedByKey(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-';
}

const std::vector<unsigned> kDoubleClick = {kMouseLeftDown, kMouseLeftUp, kMouseLeftDown, kMouseLeftUp};

// Cursor to the point, `settleMs` (the double-click delay unless asked otherwise), then both
// clicks in one batch.
void DoubleClickAt(Machine& machine, int x, int y, int settleMs) {
    if (Stopped(machine)) return;
    machine.SetCursor(x, y);
    WaitDelay(machine, settleMs);
    if (Stopped(machine)) return;
    machine.SendMouseButtons(x, y, kDoubleClick);
}
}  // namespace

CellKey CellKeyFor(unsigned char c, Machine& machine, const CellKeyboard& keyboard) {
    CellKey cell;
    cell.unit = Utf16FromCp1251(c);
    std::optional<LayoutKey> key;
    if (TypedByKey(c)) key = machine.KeyForCharacter(cell.unit, keyboard.layout);
    // The key scan does not know Caps Lock: with it on, a letter key (and on some layouts a digit
    // key) types the other case, which Shift turns back.
    if (key && machine.CharacterOfKey(*key, keyboard.capsLock, keyboard.layout) != cell.unit) {
        key->shift = !key->shift;
        if (machine.CharacterOfKey(*key, keyboard.capsLock, keyboard.layout) != cell.unit) key.reset();
    }
    if (key)
        cell.key = *key;
    else
        cell.unicode = true;
    return cell;
}

int NormalizedCoordinate(int value, int origin, int extent) {
    if (extent < 1) extent = 1;
    const long long normalized = ((static_cast<long long>(value) - origin) * 65536 + extent - 1) / extent;
    // Points off the screens are refused before a run; the bound only keeps the type honest.
    return static_cast<int>(std::clamp<long long>(normalized, INT_MIN, INT_MAX));
}

void WaitDelay(Machine& machine, int ms) {
    const unsigned bounded = BoundedDelay(ms);
    if (bounded > 0) machine.Sleep(bounded);
}

void SimulateDoubleClick(Machine& machine, int x, int y) { DoubleClickAt(machine, x, y, delays.doubleClickDelay); }

void DoubleClickAtOnce(Machine& machine, int x, int y) { DoubleClickAt(machine, x, y, 0); }

namespace {
// Each character as its own key, down and up, then the wait `pace` gives when it is asked.
template <typename Pace>
void TypeCharacters(Machine& machine, const std::string& text, Pace pace) {
    for (unsigned char c : text) {
        const char16_t unit = Utf16FromCp1251(c);
        if (Stopped(machine)) return;
        machine.SendUnicodeKey(unit, false);
        WaitDelay(machine, 1);
        if (Stopped(machine)) return;
        machine.SendUnicodeKey(unit, true);
        WaitDelay(machine, pace());
    }
}
}  // namespace

void SimulateTyping(Machine& machine, const std::string& text) {
    TypeCharacters(machine, text, [] { return delays.typingDelay; });
}

void SimulateTypingAtPace(Machine& machine, const std::string& text, int paceMs) {
    TypeCharacters(machine, text, [paceMs] { return paceMs; });
}

void ClearField(Machine& machine) {
    if (Stopped(machine)) return;
    PressAndRelease(machine, kVkHome);
    PressWithModifiers(machine, LayoutKey{kVkEnd, true, false, false});
    PressAndRelease(machine, kVkDelete);
}

void SimulateKeyPress(Machine& machine, unsigned char key) {
    if (Stopped(machine)) return;
    PressAndRelease(machine, key);
    WaitDelay(machine, delays.enterDelay);
}

void PressKey(Machine& machine, unsigned char key) {
    if (!Stopped(machine)) PressAndRelease(machine, key);
}

bool SimulateExcelPaste(Machine& machine, int x, int y, const std::string& text, bool clearFirst,
                        const std::function<void()>& beforeKeys) {
    DoubleClickAt(machine, x, y, delays.doubleClickDelay);
    if (Stopped(machine)) return false;
    WaitDelay(machine, delays.masterOpenDelay);
    if (Stopped(machine)) return false;
    if (beforeKeys) beforeKeys();
    if (clearFirst) ClearField(machine);
    // Read after the wait, when the cell's editor is in front, so it is the layout that turns the
    // keys into characters.
    const CellKeyboard keyboard = {machine.ForegroundKeyboardLayout(), machine.CapsLockOn()};
    for (unsigned char c : text) {
        if (Stopped(machine)) return false;
        const CellKey key = CellKeyFor(c, machine, keyboard);
        if (key.unicode) {
            machine.SendUnicodeKey(key.unit, false);
            machine.SendUnicodeKey(key.unit, true);
        } else {
            PressWithModifiers(machine, key.key);
        }
        WaitDelay(machine, delays.typingDelay);
    }
    // A stop now came after the last key went out (Escape in its wait), unless the machine held
    // that key back or the system refused it.
    if (Stopped(machine)) {
        const StopCause cause = machine.PendingStop();
        return cause != StopCause::kWrongWindow && cause != StopCause::kInputBlocked;
    }
    WaitDelay(machine, 50);
    return true;
}

void PressExcelPageDown(Machine& machine) {
    if (Stopped(machine)) return;
    machine.SendVirtualKey(kVkControl, false);
    PressAndRelease(machine, kVkNext);
    machine.SendVirtualKey(kVkControl, true);
}

void SimulateExcelPageDown(Machine& machine) {
    if (Stopped(machine)) return;
    PressExcelPageDown(machine);
    WaitDelay(machine, delays.pageSwitchDelay);
}
