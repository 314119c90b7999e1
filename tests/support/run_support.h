// Helpers for the end-to-end tests of an automation run: the stand-in applications and their logs,
// positions captured into the main window, the delays file, the run's controls and the keyboard
// layout of the display.
#pragma once
#include "harness.h"

#include <string>
#include <vector>

namespace harness {

// One line of a stand-in application's log: its time stamp and its tab-separated fields.
struct FixtureEvent {
    long long us = 0;  // performance counter in microseconds
    std::vector<std::string> fields;
    const std::string& kind() const { return fields.front(); }
};
std::vector<FixtureEvent> ReadFixtureLog(const std::wstring& path);
std::vector<FixtureEvent> EventsOf(const std::vector<FixtureEvent>& log, const std::string& kind);
long long NowMicroseconds();  // on the stand-ins' clock

// A stand-in application (fake_designer, fake_spreadsheet) with its log in `dir`.
struct Fixture {
    Process process;
    std::wstring log;
    HWND window = nullptr;
    std::vector<FixtureEvent> Log() const { return ReadFixtureLog(log); }
    // Children of the main window of the class (the objects or cells), in creation order.
    std::vector<HWND> ChildrenOfClass(const std::wstring& className) const;
};
bool StartFixture(Fixture& fixture, const std::wstring& name, const std::wstring& windowClass,
                  const std::wstring& dir, const std::wstring& args = L"");

// The seven delays in the order of the delays file: initial, double-click, wizard, typing, Enter,
// between barcodes, page switch.
void WriteDelays(const std::wstring& workDir, const std::vector<int>& lineOrder);

// Puts the app's main window at the top left, out of the stand-ins' way.
void ParkMainWindow(const App& app);
// Sets the per-page count to points.size() and captures each point into its row: the row's Capture
// button, then the capture key with `front` in front and the cursor on the point. False when a row
// did not take its point.
bool CapturePoints(const App& app, HWND front, const std::vector<POINT>& points);

// The keyboard layout of the X server behind Wine, switched with setxkbmap on the test display for
// the guard's life and back to US, the display's own, when it ends, passed or failed. Wine takes
// the server's layout when a program starts: start the programs under test after the switch.
// Active() tells whether the switch took effect; there is no such server on Windows itself.
class XKeyboardLayout {
public:
    explicit XKeyboardLayout(const std::wstring& layout);
    ~XKeyboardLayout();
    XKeyboardLayout(const XKeyboardLayout&) = delete;
    XKeyboardLayout& operator=(const XKeyboardLayout&) = delete;
    bool Active() const { return active_; }

private:
    std::wstring before_;  // the key scan before the switch
    bool active_ = false;
};
bool RunsUnderWine();

HWND StartButton(const App& app);
HWND PrefixEdit(const App& app);
HWND StartNumberEdit(const App& app);
HWND TotalEdit(const App& app);
HWND CheckBox(const App& app, const std::wstring& text);
HWND VariableListEdit(const App& app);  // the multi-line edit beside the rows

}  // namespace harness
