// Implementation of the automation-run test helpers (see run_support.h).
#include "run_support.h"

#include "app/main_window_ids.h"
#include "fixtures/fixture_log.h"

#include <cstdio>

namespace harness {

std::vector<FixtureEvent> ReadFixtureLog(const std::wstring& path) {
    std::vector<FixtureEvent> out;
    for (const std::string& line : SplitLines(ReadFileBytes(path), "\n", OpenLastLine::Kept)) {
        const std::vector<std::string> fields = SplitCells(line, '\t');
        if (fields.size() < 2) continue;
        FixtureEvent event;
        event.us = std::stoll(fields.front());
        event.fields.assign(fields.begin() + 1, fields.end());
        out.push_back(event);
    }
    return out;
}

std::vector<FixtureEvent> EventsOf(const std::vector<FixtureEvent>& log, const std::string& kind) {
    std::vector<FixtureEvent> out;
    for (const FixtureEvent& e : log)
        if (e.kind() == kind) out.push_back(e);
    return out;
}

long long NowMicroseconds() { return fixture::NowMicroseconds(); }

std::vector<HWND> Fixture::ChildrenOfClass(const std::wstring& className) const {
    std::vector<HWND> out;
    for (HWND child : Children(window))
        if (_wcsicmp(ClassOf(child).c_str(), className.c_str()) == 0) out.push_back(child);
    return out;
}

bool StartFixture(Fixture& fixture, const std::wstring& name, const std::wstring& windowClass,
                  const std::wstring& dir, const std::wstring& args) {
    fixture.log = JoinPath(dir, name + L".log");
    if (!fixture.process.Start(FixturePath(name), dir, L"\"" + fixture.log + L"\"" + (args.empty() ? L"" : L" " + args)))
        return false;
    fixture.window = WaitForTopWindow(fixture.process.Id(), windowClass);
    return fixture.window && WaitUntil([&] { return !EventsOf(fixture.Log(), "ready").empty(); });
}

void WriteDelays(const std::wstring& workDir, const std::vector<int>& lineOrder) {
    std::string text;
    for (int value : lineOrder) text += std::to_string(value) + "\r\n";
    WriteFileBytes(JoinPath(workDir, L"barcode_delays.cfg"), text);
}

void ParkMainWindow(const App& app) {
    SetWindowPos(app.window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<PositionRow> PositionRows(const App& app) {
    const std::vector<HWND> children = Children(app.window);
    std::vector<PositionRow> rows;
    for (size_t i = 2; i < children.size(); ++i)
        if (_wcsicmp(ClassOf(children[i]).c_str(), L"Button") == 0 && TextOf(children[i]) == L"Захват")
            rows.push_back({children[i - 2], children[i - 1], children[i]});
    return rows;
}

std::vector<std::wstring> RowTexts(const App& app, size_t count) {
    std::vector<std::wstring> out;
    const std::vector<PositionRow> rows = PositionRows(app);
    for (size_t i = 0; i < count && i < rows.size(); ++i) out.push_back(TextOf(rows[i].x) + L"," + TextOf(rows[i].y));
    return out;
}

std::vector<std::wstring> PointTexts(const std::vector<POINT>& points) {
    std::vector<std::wstring> out;
    for (const POINT& p : points) out.push_back(std::to_wstring(p.x) + L"," + std::to_wstring(p.y));
    return out;
}

bool CapturePoint(const App& app, HWND front, size_t row, POINT point) {
    const std::vector<PositionRow> rows = PositionRows(app);
    if (rows.size() <= row) return false;
    const PositionRow& r = rows[row];
    auto taken = [&] { return TextOf(r.x) == std::to_wstring(point.x) && TextOf(r.y) == std::to_wstring(point.y); };
    for (int attempt = 0; attempt < 3 && !taken(); ++attempt) {
        SendMessageW(r.capture, BM_CLICK, 0, 0);
        BringToFront(front);  // the user turns to the other application and points there
        MoveMouse(point);
        PressKey(VK_OEM_3);
        WaitUntil(taken, milliseconds(1500));
    }
    return taken();
}

bool CapturePoints(const App& app, HWND front, const std::vector<POINT>& points) {
    SelectComboItem(PerPageCombo(app), static_cast<int>(points.size()) - 1);
    if (PositionRows(app).size() < points.size()) return false;
    for (size_t row = 0; row < points.size(); ++row)
        if (!CapturePoint(app, front, row, points[row])) return false;
    return true;
}

namespace {
DWORD WINAPI ScanKeys(void* out) {
    for (const wchar_t* c = L"qwertyuiop[]asdfghjkl;'zxcvbnm,./1234567890-=\x0444\x0451"; *c; ++c)
        *static_cast<std::wstring*>(out) += static_cast<wchar_t>(VkKeyScanExW(*c, GetKeyboardLayout(0)));
    return 0;
}

// What the key scan finds for a row of characters on the display's layout as it is now. Under Wine
// a thread keeps the key mapping it loaded first, so the scan runs on a new thread, which gets its
// own connection to the display.
std::wstring KeyScanNow() {
    std::wstring out;
    HANDLE thread = CreateThread(nullptr, 0, ScanKeys, &out, 0, nullptr);
    if (!thread) return out;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return out;
}

bool RunSetxkbmap(const std::wstring& layout) {
    // Wine starts a Unix program as it starts a Windows one, but gives no handle to wait on.
    std::wstring command = L"Z:\\usr\\bin\\setxkbmap -layout " + layout;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
}
}  // namespace

bool RunsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

XKeyboardLayout::XKeyboardLayout(const std::wstring& layout) {
    if (!RunsUnderWine()) return;
    // This thread's connection keeps the display from resetting, and its layout with it, when the
    // last other client goes.
    VkKeyScanExW(L'q', GetKeyboardLayout(0));
    before_ = KeyScanNow();
    active_ = RunSetxkbmap(layout) && WaitUntil([&] { return KeyScanNow() != before_; }, milliseconds(5000),
                                                 milliseconds(100));
}

XKeyboardLayout::~XKeyboardLayout() {
    if (!active_) return;
    RunSetxkbmap(L"us");
    WaitUntil([&] { return KeyScanNow() == before_; }, milliseconds(5000), milliseconds(100));
}

HWND StartButton(const App& app) { return FindChild(app.window, L"Button", L"СТАРТ"); }
HWND PrefixEdit(const App& app) { return ChildById(app.window, kPrefixEditId); }
HWND StartNumberEdit(const App& app) { return ChildById(app.window, kStartNumberEditId); }
HWND TotalEdit(const App& app) { return ChildById(app.window, kTotalBarcodesEditId); }
HWND PerPageCombo(const App& app) { return ChildById(app.window, kBarcodesPerPageComboId); }
HWND CheckBox(const App& app, const std::wstring& text) { return FindChild(app.window, L"Button", text); }
HWND VariableListEdit(const App& app) {
    for (HWND child : Children(app.window))
        if (_wcsicmp(ClassOf(child).c_str(), L"Edit") == 0 && (StyleOf(child) & ES_MULTILINE)) return child;
    return nullptr;
}

std::vector<FixtureEvent> Stray(const Scene& s) { return EventsOf(s.fixture.Log(), "stray"); }

void ExpectNothingStrayAndClose(Scene& s) {
    EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));
    EXPECT_EQ(CloseApp(s.app), 0u);
}

std::string Describe(const std::vector<FixtureEvent>& events) {
    std::string out;
    for (const FixtureEvent& e : events) {
        for (const std::string& f : e.fields) out += f + " ";
        out += "| ";
    }
    return out;
}

std::wstring EndMessage(Scene& s, milliseconds timeout) {
    MessageBoxInfo box = WaitForMessageBox(s.app.process.Id(), timeout);
    if (!box.window) return L"(no message)";
    AnswerMessageBox(box.window);
    return box.caption + L": " + box.text;
}

std::wstring CaptionOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring Scene::RunAndAnswer(const std::wstring& prefix, const std::wstring& start, const std::wstring& total) {
    Fields(prefix, start, total);
    PressStart();
    return EndMessage(*this);
}

MessageBoxInfo Scene::StartAgain() {
    PressStart();
    MessageBoxInfo ask = WaitForMessageBox(app.process.Id());
    if (ask.window && ask.caption != L"Продолжить?") ADD_FAILURE() << "not the question: " << ToUtf8(ask.text);
    return ask;
}

void InBothPacings(const std::wstring& options, const std::function<void(Scene& s, bool waiting)>& body) {
    for (const bool waiting : {false, true}) {
        SCOPED_TRACE(waiting ? "waiting for the wizard" : "fixed delays");
        Scene s;
        ASSERT_TRUE(s.OpenDesigner(3, waiting ? kWaitingDelays : kQuickDelays, options));
        body(s, waiting);
    }
}

bool StartsWith(const std::wstring& text, const std::wstring& head) { return text.rfind(head, 0) == 0; }

Journal ReadJournal(const std::wstring& dir) {
    Journal journal;
    journal.bytes = ReadFileBytes(JoinPath(dir, L"barcode_run_log.csv"));
    const std::vector<std::string> lines = SplitLines(journal.bytes);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            journal.header = FromCp1251(lines[i]);
            continue;
        }
        std::vector<std::wstring> row;
        for (const std::string& cell : SplitCsvRow(lines[i])) row.push_back(FromCp1251(cell));
        const std::wstring result = row.size() == 5 ? row[4] : L"";
        (StartsWith(result, L"прогон: ") ? journal.starts : StartsWith(result, L"заметка: ") ? journal.notes : journal.rows)
            .push_back(row);
    }
    return journal;
}

bool IsStoredResult(const std::wstring& result) {
    return StartsWith(result, L"проверено") || StartsWith(result, L"не проверено");
}

std::vector<Landed> StoredRows(const Journal& journal) {
    std::vector<Landed> out;
    for (const std::vector<std::wstring>& row : journal.rows)
        if (row.size() == 5 && IsStoredResult(row[4])) out.push_back({ToUtf8(row[1]), ToUtf8(row[2]), ToUtf8(row[3])});
    return out;
}

std::wstring FinishedText(int verified, const std::wstring& nextRun) {
    const std::wstring n = std::to_wstring(verified);
    return L"Генерация завершена!\n\nПроверено в окне мастера: " + n + L" из " + n + L".\n\n" + nextRun;
}

std::wstring NextStartLine(const std::wstring& start) { return L"Следующий прогон без повтора: Начать с: " + start; }

std::wstring NextListLine(const std::wstring& lastLine) {
    return L"Следующий прогон без повтора: с новой строки списка — все строки этого списка введены, последняя — «" +
           lastLine + L"».";
}

std::vector<Landed> Placed(const std::vector<std::string>& values, int perPage, int firstPage) {
    std::vector<Landed> out;
    for (size_t i = 0; i < values.size(); ++i)
        out.push_back({std::to_string(firstPage + static_cast<int>(i) / perPage),
                       std::to_string(static_cast<int>(i) % perPage + 1), values[i]});
    return out;
}

std::vector<Landed> Expected(const std::string& prefix, int first, int count, int perPage, int firstPage) {
    std::vector<std::string> values;
    for (int i = 0; i < count; ++i) {
        char value[32];
        std::snprintf(value, sizeof value, "%s%04d", prefix.c_str(), first + i);
        values.push_back(value);
    }
    return Placed(values, perPage, firstPage);
}

}  // namespace harness
