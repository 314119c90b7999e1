// Keyboard use of the program's windows: Tab and Shift+Tab move through a window's tab stops in the
// order they appear on screen (rows top to bottom, each left to right), and the dialog keys of the
// system (IsDialogMessage) work in the active one of the windows that ask for them.
#pragma once
#include <windows.h>

// Called once a window's controls exist. `enterAndEscape`: Enter and Escape act as in a dialog
// (Enter presses button 1 or the focused button, Escape button 2); otherwise they reach the
// focused control as before.
void UseDialogKeys(HWND window, bool enterAndEscape);
// For a message loop or pump, before TranslateMessage: true when the message was handled here.
bool TranslateDialogKeys(MSG& msg);
// The window's visible, enabled tab stops in screen order.
void MoveFocusToNextTabStop(HWND window, bool backward);
