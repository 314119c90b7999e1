// Test helpers for the main window's position rows and the capture key: reading the rows as the user
// sees them, and a window of the test program that records the keys it receives (a stand-in for the
// application in front while the user captures).
#pragma once
#include "harness.h"

#include <string>
#include <thread>
#include <vector>

namespace harness {

// One position row of the main window: number label, X and Y fields, capture button.
struct PositionRow {
    HWND label = nullptr, x = nullptr, y = nullptr, button = nullptr;
};
// The rows shown now, from the top (found by their place in the window, as a user finds them).
std::vector<PositionRow> PositionRows(HWND mainWindow);
std::vector<std::wstring> RowLabels(HWND mainWindow);
// X and Y texts of every row shown, e.g. {{L"600", L"700"}, {L"", L""}}.
std::vector<std::pair<std::wstring, std::wstring>> RowValues(HWND mainWindow);
// What those read when the rows show entries first..last ("1:", "2:", ...), or `count` empty rows.
std::vector<std::wstring> Labels(int first, int last);
std::vector<std::pair<std::wstring, std::wstring>> EmptyRows(int count);

// Clicks a push button of another process and waits until the click has been handled: the button took
// the focus on the press and let the mouse go after its notification returned.
bool ClickButtonAndWait(HWND button);

HWND PerPageCombo(HWND mainWindow);
HWND CoordsScrollBar(HWND mainWindow);
HWND ButtonWithText(HWND mainWindow, const std::wstring& text);

// A top-level window of the test program that records every key press it receives.
class KeyRecorder {
public:
    KeyRecorder();
    ~KeyRecorder();
    KeyRecorder(const KeyRecorder&) = delete;
    KeyRecorder& operator=(const KeyRecorder&) = delete;

    HWND Window() const { return window_; }
    void BringForward();  // foreground and keyboard focus
    void Clear();
    int PressesOf(WORD vk) const;  // key-down messages it has received for vk

private:
    HWND window_ = nullptr;
    std::thread thread_;
};

}  // namespace harness
