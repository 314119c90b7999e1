// Helpers for the end-to-end tests of an automation run: the stand-in applications and their logs,
// positions captured into the main window, the delays file, the run's controls and the keyboard
// layout of the display.
#pragma once
#include "harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <ostream>
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
// A row of positions in the main window: its X and Y fields and its capture button.
struct PositionRow {
    HWND x = nullptr, y = nullptr, capture = nullptr;
};
std::vector<PositionRow> PositionRows(const App& app);
// The first `count` rows as "x,y", and points written the same way, to compare them.
std::vector<std::wstring> RowTexts(const App& app, size_t count);
std::vector<std::wstring> PointTexts(const std::vector<POINT>& points);
// Sets the per-page count to points.size() and captures each point into its row: the row's Capture
// button, then the capture key with `front` in front and the cursor on the point. False when a row
// did not take its point.
bool CapturePoints(const App& app, HWND front, const std::vector<POINT>& points);
// One row of those (0-based), with the per-page count left as it is.
bool CapturePoint(const App& app, HWND front, size_t row, POINT point);

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
HWND PerPageCombo(const App& app);
HWND CheckBox(const App& app, const std::wstring& text);
HWND VariableListEdit(const App& app);  // the multi-line edit beside the rows

// --- a run of the app beside a stand-in -----------------------------------------------------------

inline const std::wstring kStopText =
    L"? Автоматизация остановлена!\n\nПрограмма готова к новому запуску.\nДля продолжения нажмите СТАРТ.";
// File order, initial delay first. The fixed schedule's own looks are what these tests check, not the
// stand-in's speed: its windows are wide enough for a machine busy with other suites beside it. The wizard
// counts as not opened 100 ms after its 400 (at 60 it missed under load), and as not closed when still there
// after the Enter delay and the gap (20 + 20 missed it under load; 20 + 400 leaves it twenty times that).
inline const std::vector<int> kQuickDelays = {300, 20, 400, 2, 20, 400, 80};
// The quick delays with a longer wait between barcodes, where an Escape, a kill or another window is to land.
inline std::vector<int> QuickDelaysWithGap(int gapMs) {
    std::vector<int> delays = kQuickDelays;
    delays[5] = gapMs;
    return delays;
}
// The same with waiting for the wizard turned on (the delays file's eighth line).
inline const std::vector<int> kWaitingDelays = {300, 20, 60, 2, 20, 20, 80, 1};

struct Landed {
    std::string page, object, value;
    bool operator==(const Landed& o) const { return page == o.page && object == o.object && value == o.value; }
};
inline std::ostream& operator<<(std::ostream& out, const Landed& l) {
    return out << "(" << l.page << "," << l.object << "," << l.value << ")";
}

inline std::vector<Landed> ValuesIn(const std::vector<FixtureEvent>& log) {
    std::vector<Landed> out;
    for (const FixtureEvent& e : EventsOf(log, "value"))
        out.push_back({e.fields.at(1), e.fields.at(2), e.fields.size() > 3 ? e.fields[3] : ""});
    return out;
}

inline bool Logged(const std::vector<FixtureEvent>& log, const std::string& kind, const std::string& first) {
    for (const FixtureEvent& e : EventsOf(log, kind))
        if (e.fields.size() > 1 && e.fields[1] == first) return true;
    return false;
}

inline std::vector<POINT> Centers(const std::vector<HWND>& windows, size_t count, size_t first = 0) {
    std::vector<POINT> out;
    for (size_t i = first; i < first + count && i < windows.size(); ++i) out.push_back(CenterOf(windows[i]));
    return out;
}

inline void ExpectStopMessage(const MessageBoxInfo& box) {
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"ЭКСТРЕННАЯ ОСТАНОВКА");
    EXPECT_EQ(box.text, kStopText);
    EXPECT_TRUE(box.hasInformationIcon);
}

// «Следующий прогон без повтора: Начать с: 0011».
std::wstring NextStartLine(const std::wstring& start);
// The same line after a list whose last line was `lastLine`.
std::wstring NextListLine(const std::wstring& lastLine);
// The caption of the question about values entered before.
inline const std::wstring kRepeatCaption = L"Повтор значений";

// The app and a stand-in side by side, the delays written and the points captured.
struct Scene {
    App app;
    Fixture fixture;
    std::wstring dir = MakeTempDir(L"run");

    bool Open(const std::wstring& fixtureName, const std::wstring& fixtureClass, const std::wstring& targetClass,
              size_t perPage, const std::vector<int>& delays, const std::wstring& fixtureArgs = L"") {
        WriteDelays(dir, delays);
        if (!StartApp(app, dir)) return ADD_FAILURE() << "the app did not start", false;
        if (!StartFixture(fixture, fixtureName, fixtureClass, dir, fixtureArgs))
            return ADD_FAILURE() << "the stand-in did not start", false;
        ParkMainWindow(app);
        if (!CapturePoints(app, fixture.window, Centers(fixture.ChildrenOfClass(targetClass), perPage)))
            return ADD_FAILURE() << "the points were not captured", false;
        return true;
    }
    // The designer with `perPage` objects a page, or the spreadsheet, with a point on each target.
    // `options` are the stand-in's own (open=, dead=, question=, second, and the faults such as chaos=).
    bool OpenDesigner(size_t perPage, const std::vector<int>& delays = kQuickDelays, const std::wstring& options = L"") {
        return Open(L"fake_designer", L"FakeDesigner", L"FakeBarcodeObject", perPage, delays,
                    std::to_wstring(perPage) + (options.empty() ? L"" : L" " + options));
    }
    // `options` are the spreadsheet's own (sheets=).
    bool OpenSpreadsheet(size_t perPage, const std::wstring& options = L"") {
        return Open(L"fake_spreadsheet", L"FakeSpreadsheet", L"FakeCell", perPage, kQuickDelays, options);
    }
    void Fields(const std::wstring& prefix, const std::wstring& start, const std::wstring& total) {
        SetTextOf(PrefixEdit(app), prefix);
        SetTextOf(StartNumberEdit(app), start);
        SetTextOf(TotalEdit(app), total);
    }
    void PressStart() { Click(StartButton(app)); }
    // The app started again in the same working folder, as a user does after it closed or was ended.
    bool RestartApp() {
        app.window = nullptr;
        if (!StartApp(app, dir)) return ADD_FAILURE() << "the app did not start again", false;
        ParkMainWindow(app);
        return true;
    }
    // Fills the fields, presses "СТАРТ" and answers the message the run ends with: "<caption>: <text>".
    std::wstring RunAndAnswer(const std::wstring& prefix, const std::wstring& start, const std::wstring& total);
    // "СТАРТ" with a stop remembered: the question "Продолжить?", read and left open for the test to
    // answer (window null when none came).
    MessageBoxInfo StartAgain();
    // Starts a spreadsheet run and answers its completion message, which ends with `nextRun` (where
    // a run without repeats would start); false when none came.
    bool RunToCompletion(const std::wstring& nextRun) {
        PressStart();
        MessageBoxInfo done = WaitForMessageBox(app.process.Id(), std::chrono::seconds(30));
        if (!done.window) return false;
        AnswerMessageBox(done.window);
        return done.text == L"Генерация завершена!\n\n" + nextRun;
    }
    // The question about values entered before, which "СТАРТ" has just brought: read, then answered
    // with `answer` (window null when another message came, or none).
    MessageBoxInfo AnswerRepeatQuestion(int answer) {
        MessageBoxInfo ask = WaitForMessageBox(app.process.Id());
        if (!ask.window) return ask;
        if (ask.caption != kRepeatCaption) {
            ADD_FAILURE() << "not the question about values entered before: " << ToUtf8(ask.text);
            return {};
        }
        AnswerMessageBox(ask.window, answer);
        return ask;
    }
    // Escape once the stand-in has stored `count` values in all, and the stop message answered;
    // false when either did not come.
    bool EscapeOnceStored(size_t count) {
        if (!WaitUntil([&] { return ValuesIn(fixture.Log()).size() == count; }, std::chrono::seconds(30))) return false;
        PressKey(VK_ESCAPE);
        MessageBoxInfo stop = WaitForMessageBox(app.process.Id());
        if (!stop.window) return false;
        ExpectStopMessage(stop);
        AnswerMessageBox(stop.window);
        return true;
    }
};

// The run's journal, barcode_run_log.csv in a working folder: its header and its rows cut into
// fields (time, page, capture, value, result), read from code page 1251.
struct Journal {
    std::string bytes;  // empty when there is none
    std::wstring header;
    std::vector<std::vector<std::wstring>> rows;    // of barcodes: stored, or where a run stopped
    std::vector<std::vector<std::wstring>> starts;  // where a run began ("прогон: ...")
    std::vector<std::vector<std::wstring>> notes;   // "заметка: ..."
};
Journal ReadJournal(const std::wstring& dir);
// A result that says the barcode was stored ("проверено", "не проверено", or either with a note
// after it), not a stop or a note of the run.
bool IsStoredResult(const std::wstring& result);
// The rows of stored barcodes, in order, named as the designer's log names its values.
std::vector<Landed> StoredRows(const Journal& journal);

// `body` once with the quick fixed delays and once with waiting for the wizard, each time beside a
// fresh designer of three objects a page with `options`.
void InBothPacings(const std::wstring& options, const std::function<void(Scene& s, bool waiting)>& body);

// Keys and characters the stand-in designer took on its page or another document, not in a wizard.
std::vector<FixtureEvent> Stray(const Scene& s);
// The end of a test beside the designer: nothing reached its page or another document, and the app
// closes cleanly.
void ExpectNothingStrayAndClose(Scene& s);
// Events as one line for a test message: their fields, separated by " | ".
std::string Describe(const std::vector<FixtureEvent>& events);
// The message a run ends with, answered: "<caption>: <text>", or "(no message)".
std::wstring EndMessage(Scene& s, milliseconds timeout = std::chrono::seconds(60));
std::wstring CaptionOf(HWND window);  // read without a message to the window, so also while it is busy
bool StartsWith(const std::wstring& text, const std::wstring& head);
// The completion message of a wizard run whose `verified` values were all read back, ending with
// `nextRun`: where a run without repeats would start (NextStartLine, NextListLine).
std::wstring FinishedText(int verified, const std::wstring& nextRun);
// `values` in run order, with the page and object each lands on at `perPage` objects a page.
std::vector<Landed> Placed(const std::vector<std::string>& values, int perPage, int firstPage = 1);
// The values `count` barcodes from `first` take, <prefix><four digits>, placed as above.
std::vector<Landed> Expected(const std::string& prefix, int first, int count, int perPage, int firstPage = 1);

}  // namespace harness
