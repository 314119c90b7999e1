// The main window as the user finds it: its controls, the per-page rows and their scrolling, the
// always-on-top and XL options, the two links, and closing it with other windows open.
#include "app/main_window_ids.h"
#include "browser_recorder.h"
#include "capture_support.h"
#include "app/main_window_ids.h"
#include "harness.h"
#include "online/vendor.h"

#include <gtest/gtest.h>

using namespace harness;

namespace {
struct ExpectedControl {
    const wchar_t* className;
    const wchar_t* text;  // nullptr: not compared (set at run time)
    DWORD style;          // beyond WS_CHILD
    int x, y, w, h;       // h < 0: not compared (a drop-down list sizes itself)
    int id;
};

constexpr DWORD V = WS_VISIBLE;
const ExpectedControl kTable[] = {
    {L"Button", L"СЛИЯНИЕ ПРИ ПЕЧАТИ", V | BS_DEFPUSHBUTTON, 10, 32, 370, 25, kMergeButtonId},
    {L"Static", L" Префикс:", V | SS_LEFT, 10, 62, 114, 20, 0},
    {L"Edit", L"", V | WS_BORDER | ES_AUTOHSCROLL, 125, 62, 95, 20, kPrefixEditId},
    {L"Static", L" Начать с:", V | SS_LEFT, 10, 87, 114, 20, 0},
    {L"Edit", L"0001", V | WS_BORDER, 125, 87, 95, 20, kStartNumberEditId},
    {L"Static", L" Всего:", V | SS_LEFT, 230, 62, 109, 20, 0},
    {L"Edit", L"5", V | WS_BORDER | ES_NUMBER, 340, 62, 40, 20, kTotalBarcodesEditId},
    {L"Static", L" К-во захв. на стр.:", V | SS_LEFT, 230, 87, 109, 20, 0},
    {L"ComboBox", L"5", V | CBS_DROPDOWNLIST, 340, 87, 40, -1, kBarcodesPerPageComboId},
    {L"Button", L"Настройки, советы", V | BS_DEFPUSHBUTTON, 10, 113, 210, 20, kSettingsButtonId},
    {L"Button", L"Поверх окон", V | BS_AUTOCHECKBOX, 230, 113, 150, 20, kAlwaysOnTopCheckId},
    {L"Button", L"XL (вставка в Excel)", V | BS_AUTOCHECKBOX, 230, 138, 150, 20, kHidePromptsCheckId},
    {L"Button", L"Переменная из списка", V | BS_AUTOCHECKBOX, 230, 165, 150, 20, kVariableListCheckId},
    {L"Edit", L"", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 254, 265, 125, 245, kVariableListEditId},
    {L"Static", L"Pause/Break - экстренная остановка", V | SS_CENTER, 10, 191, 370, 18, 0},
    {L"Button", L"СТАРТ", V | BS_DEFPUSHBUTTON, 10, 213, 370, 25, kStartButtonId},
    {L"Static", L"Перед захватами отцентруйте страницу - F4", V | SS_CENTER, 10, 242, 370, 18, 0},
    {L"ScrollBar", L"", V | SBS_VERT, 230, 265, 20, 245, kCoordsScrollId},
    {L"Button", L"Сохранить координаты захватов", V | BS_DEFPUSHBUTTON, 10, 139, 210, 20, kSaveCoordsButtonId},
    {L"Button", L"Загрузить координаты захватов", V | BS_DEFPUSHBUTTON, 10, 165, 210, 20, kLoadCoordsButtonId},
    {L"Static", L"версия 2.1", V | SS_CENTER, 162, 513, 65, 18, 0},
};
const ExpectedControl kAfterRows[] = {
    {L"Static", nullptr, V | SS_CENTER | SS_NOTIFY, 10, 8, 370, 18, kAdBannerId},
    {L"Static", L"Видеоинструкция", V | SS_LEFT | SS_NOTIFY, 10, 513, 117, 20, kVideoLinkId},
    {L"Static", L"Контакты", V | SS_CENTER | SS_NOTIFY, 315, 513, 70, 20, kWebsiteLinkId},
};
ExpectedControl RowControl(int column, int row) {
    const int y = 265 + 25 * row;
    const DWORD field = V | WS_BORDER | ES_READONLY | ES_NUMBER;
    const ExpectedControl columns[] = {
        {L"Static", nullptr, V, 10, y, 20, 20, 0},
        {L"Edit", L"", field, 35, y, 60, 20, 0},
        {L"Edit", L"", field, 99, y, 60, 20, 0},
        {L"Button", L"Захват", V | BS_PUSHBUTTON, 162, y, 65, 20, 0},
    };
    return columns[column];
}

// Compares one child window with its row of the table; the kind of button or label is compared exactly.
void ExpectMatches(HWND child, const ExpectedControl& e, const std::string& where) {
    SCOPED_TRACE(where);
    ASSERT_TRUE(child);
    EXPECT_EQ(_wcsicmp(ClassOf(child).c_str(), e.className), 0);
    if (e.text) {
        EXPECT_TRUE(TextOf(child) == e.text);
    }
    const DWORD style = static_cast<DWORD>(StyleOf(child));
    // An edit control takes WS_BORDER out of its style and draws the border itself.
    const DWORD expected = (e.style | WS_CHILD) & ~(_wcsicmp(e.className, L"Edit") ? 0 : WS_BORDER);
    EXPECT_EQ(style & expected, expected) << std::hex << style;
    EXPECT_EQ(style & WS_VISIBLE, e.style & WS_VISIBLE);
    if (!_wcsicmp(e.className, L"Button")) {
        EXPECT_EQ(style & BS_TYPEMASK, e.style & BS_TYPEMASK);
    }
    if (!_wcsicmp(e.className, L"Static")) {
        EXPECT_EQ(style & SS_TYPEMASK, e.style & SS_TYPEMASK);
    }
    const RECT r = RectInParent(child);
    EXPECT_EQ(r.left, e.x);
    EXPECT_EQ(r.top, e.y);
    EXPECT_EQ(r.right - r.left, e.w);
    if (e.h >= 0) {
        EXPECT_EQ(r.bottom - r.top, e.h);
    }
    EXPECT_EQ(GetDlgCtrlID(child), e.id);
}

int ScrollPosOf(HWND scroll) { return static_cast<int>(SendMessageW(scroll, SBM_GETPOS, 0, 0)); }

// The screen point inside the scroll bar `fromBottom` pixels above its lower edge.
POINT InScrollBar(HWND scroll, int fromBottom) {
    RECT r;
    GetWindowRect(scroll, &r);
    return {(r.left + r.right) / 2, r.bottom - fromBottom};
}
}  // namespace

TEST(MainWindow, ControlsAreThoseOfTheLayoutInCreationOrder) {
    App app;
    ASSERT_TRUE(StartApp(app));
    const std::vector<HWND> children = Children(app.window);
    const size_t rowControls = 5 * 4;
    ASSERT_EQ(children.size(), std::size(kTable) + rowControls + std::size(kAfterRows));
    size_t at = 0;
    for (const ExpectedControl& e : kTable) {
        ExpectMatches(children[at], e, "control " + std::to_string(at + 1));
        ++at;
    }
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 4; ++column)
            ExpectMatches(children[at++], RowControl(column, row), "row " + std::to_string(row + 1));
    for (const ExpectedControl& e : kAfterRows) {
        ExpectMatches(children[at], e, "control " + std::to_string(at + 1));
        ++at;
    }

    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(MainWindow, FirstStartDefaults) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND combo = PerPageCombo(app.window);
    ASSERT_EQ(ComboCount(combo), 30);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(ComboItem(combo, i), std::to_wstring(i + 1));
    EXPECT_EQ(ComboSelection(combo), 4);
    EXPECT_EQ(RowLabels(app.window), Labels(1, 5));
    EXPECT_EQ(RowValues(app.window), EmptyRows(5));
    EXPECT_FALSE(IsChecked(ButtonWithText(app.window, L"Поверх окон")));
    EXPECT_FALSE(IsChecked(ButtonWithText(app.window, L"XL (вставка в Excel)")));
    EXPECT_EQ(ScrollPosOf(CoordsScrollBar(app.window)), 0);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(MainWindow, PerPageChoiceSetsTheRowsAndTheScrollRange) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND combo = PerPageCombo(app.window);
    HWND scroll = CoordsScrollBar(app.window);
    BringToFront(app.window);

    SelectComboItem(combo, 11);
    ASSERT_TRUE(WaitUntil([&] { return RowLabels(app.window) == Labels(1, 10); }));
    // The lower arrow moves one row; a click in the track below the thumb a page, which stops at 2.
    ClickAt(InScrollBar(scroll, 8));
    EXPECT_TRUE(WaitUntil([&] { return RowLabels(app.window) == Labels(2, 11); }));
    EXPECT_EQ(ScrollPosOf(scroll), 1);
    ClickAt(InScrollBar(scroll, 40));
    EXPECT_TRUE(WaitUntil([&] { return RowLabels(app.window) == Labels(3, 12); }));
    EXPECT_EQ(ScrollPosOf(scroll), 2);
    ClickAt(InScrollBar(scroll, 8));
    Sleep(300);
    EXPECT_EQ(RowLabels(app.window), Labels(3, 12));
    EXPECT_EQ(ScrollPosOf(scroll), 2);

    // A new count shows the top again; fewer than ten rows leave nothing to scroll.
    SelectComboItem(combo, 2);
    EXPECT_TRUE(WaitUntil([&] { return RowLabels(app.window) == Labels(1, 3); }));
    EXPECT_EQ(ScrollPosOf(scroll), 0);
    SendMessageW(app.window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), LPARAM(scroll));
    EXPECT_EQ(RowLabels(app.window), Labels(1, 3));
    SelectComboItem(combo, 29);
    EXPECT_TRUE(WaitUntil([&] { return RowLabels(app.window) == Labels(1, 10); }));
    SendMessageW(app.window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), LPARAM(scroll));
    SendMessageW(app.window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), LPARAM(scroll));
    SendMessageW(app.window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), LPARAM(scroll));
    EXPECT_EQ(RowLabels(app.window), Labels(21, 30));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(MainWindow, AlwaysOnTopAndXlClicksAreSavedAtOnce) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND onTop = ButtonWithText(app.window, L"Поверх окон");
    HWND xl = ButtonWithText(app.window, L"XL (вставка в Excel)");
    EXPECT_FALSE(FileExists(JoinPath(app.workDir, L"barcode_app.cfg")));

    Click(onTop);
    EXPECT_TRUE(WaitUntil([&] { return SettingsIn(app) == "1\r\n0\r\n1\r\n"; }));
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(app.window); }));
    Click(xl);
    EXPECT_TRUE(WaitUntil([&] { return SettingsIn(app) == "1\r\n1\r\n1\r\n"; }));
    Click(onTop);
    EXPECT_TRUE(WaitUntil([&] { return SettingsIn(app) == "0\r\n1\r\n1\r\n"; }));
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(app.window); }));
    EXPECT_EQ(CloseApp(app), 0u);
    EXPECT_EQ(SettingsIn(app), "0\r\n1\r\n1\r\n");
}

// A save clears away the temporary a killed save left beside the options file, and nothing else: the
// user's own file that only begins with the same name, and a temporary dated in the future, stay.
TEST(MainWindow, ASaveOfTheOptionsRemovesOnlyItsOwnStaleTemporary) {
    const std::wstring dir = MakeTempDir(L"temporaries");
    struct Stray {
        const wchar_t* name;
        LONGLONG hoursFromNow;
        bool removed;
    };
    const Stray strays[] = {
        {L"barcode_app.cfg.tmp4242-7-31337", -2, true},
        {L"barcode_app.cfg.tmp-notes.txt", -2, false},
        {L"barcode_app.cfg.tmp4242-8-31337", 24 * 365, false},
    };
    for (const Stray& stray : strays) {
        const std::wstring path = JoinPath(dir, stray.name);
        WriteFileBytes(path, "kept?");
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER at{{now.dwLowDateTime, now.dwHighDateTime}};
        at.QuadPart += stray.hoursFromNow * 3600 * 10000000LL;
        const FILETIME when{at.LowPart, at.HighPart};
        SetFileTime(file, nullptr, nullptr, &when);
        CloseHandle(file);
    }
    App app;
    ASSERT_TRUE(StartApp(app, dir));
    Click(ButtonWithText(app.window, L"XL (вставка в Excel)"));
    EXPECT_TRUE(WaitUntil([&] { return SettingsIn(app) == "0\r\n1\r\n1\r\n"; }));
    for (const Stray& stray : strays)
        EXPECT_EQ(FileExists(JoinPath(dir, stray.name)), !stray.removed) << ToUtf8(stray.name);
    EXPECT_EQ(ReadFileBytes(JoinPath(dir, L"barcode_app.cfg.tmp-notes.txt")), "kept?");
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(MainWindow, AnOptionsFileThatCannotBeWrittenIsReportedOncePerStart) {
    // A folder where the options file belongs: every save of it fails.
    const std::wstring dir = MakeTempDir(L"unwritable_options");
    ASSERT_TRUE(CreateDirectoryW(JoinPath(dir, L"barcode_app.cfg").c_str(), nullptr));
    App app;
    ASSERT_TRUE(StartApp(app, dir));
    HWND xl = ButtonWithText(app.window, L"XL (вставка в Excel)");
    Click(xl);
    MessageBoxInfo box = WaitForMessageBox(app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_NE(box.text.find(L"barcode_app.cfg"), std::wstring::npos) << ToUtf8(box.text);
    AnswerMessageBox(box.window);
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(xl); }));  // the option still applies
    Click(xl);
    EXPECT_TRUE(WaitUntil([&] { return !IsChecked(xl); }));
    EXPECT_FALSE(WaitForMessageBox(app.process.Id(), milliseconds(500)).window);
    EXPECT_EQ(CloseApp(app), 0u);  // and the save at exit stays silent
}

TEST(MainWindow, AWindowKeptOnTopTakesTheTopmostBandBackWhenItLosesIt) {
    App app;
    ASSERT_TRUE(StartAppWithFile(app, L"barcode_app.cfg", "1\r\n0\r\n1\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return IsTopmost(app.window); }));
    SetWindowPos(app.window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(app.window); }, milliseconds(3000)));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(MainWindow, LinksOpenTheVendorPagesInTheBrowser) {
    BrowserRecorder browser;
    App app;
    ASSERT_TRUE(StartApp(app));
    Click(FindChild(app.window, L"Static", L"Контакты"));
    EXPECT_TRUE(browser.WaitForUrls(1));
    Click(FindChild(app.window, L"Static", L"Видеоинструкция"));
    EXPECT_TRUE(browser.WaitForUrls(2));
    EXPECT_EQ(browser.Urls(), (std::vector<std::string>{VendorUrl("http", "/contacts.html"), VendorUrl("https", "/")}));
    EXPECT_EQ(CloseApp(app), 0u);
}

// The cursor the utility shows with the mouse at a screen point (handles differ between processes,
// so cursors are compared with each other, not with this program's own).
HCURSOR CursorAt(POINT screen) {
    MoveMouse(screen);
    Sleep(50);
    MoveMouse(screen);  // a second move on the spot: the cursor is chosen again where it now is
    Sleep(100);
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

TEST(MainWindow, TheHandCursorShowsOnlyWellInsideTheLinksAndTheBanner) {
    App app;
    ASSERT_TRUE(StartApp(app));
    BringToFront(app.window);
    POINT plain = {140, 525};  // client area between the video link and the version label
    ClientToScreen(app.window, &plain);
    const HCURSOR arrow = CursorAt(plain);
    // The banner comes last: leaving it, its hover poll puts the arrow back once on its own.
    for (HWND control : {ChildById(app.window, kVideoLinkId), ChildById(app.window, kWebsiteLinkId), ChildById(app.window, kAdBannerId)}) {
        RECT r;
        GetWindowRect(control, &r);
        const LONG midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        const HCURSOR hand = CursorAt({midX, midY});
        EXPECT_NE(hand, arrow) << GetDlgCtrlID(control);
        // The rectangle shrunk by 2: its left and top edges are inside, its right and bottom edges not.
        const struct {
            POINT at;
            bool inside;
        } probes[] = {
            {{r.left + 1, midY}, false}, {{r.left + 2, midY}, true},  {{r.right - 3, midY}, true},
            {{r.right - 2, midY}, false}, {{midX, r.top + 1}, false}, {{midX, r.top + 2}, true},
            {{midX, r.bottom - 3}, true}, {{midX, r.bottom - 2}, false},
        };
        for (const auto& probe : probes)
            EXPECT_EQ(CursorAt(probe.at), probe.inside ? hand : arrow)
                << GetDlgCtrlID(control) << " at " << probe.at.x - r.left << "," << probe.at.y - r.top;
    }
    EXPECT_EQ(CloseApp(app), 0u);
}

// Opens another window of the utility with `button`, then closes the main window as the close box does.
void CloseWithWindowOpen(const wchar_t* button, const wchar_t* windowClass) {
    App app;
    ASSERT_TRUE(StartApp(app));
    Click(ButtonWithText(app.window, button));
    if (!WaitForTopWindow(app.process.Id(), windowClass, milliseconds(3000))) {
        CloseApp(app);
        GTEST_SKIP() << "the window behind this button does not open yet";
    }
    EXPECT_EQ(CloseApp(app), 0u);
    EXPECT_EQ(SettingsIn(app), "0\r\n0\r\n1\r\n");
}

TEST(MainWindow, ClosingWithTheMergeWindowOpenEndsTheProcess) {
    CloseWithWindowOpen(L"СЛИЯНИЕ ПРИ ПЕЧАТИ", L"BarcodeMerge");
}

TEST(MainWindow, ClosingWithTheSettingsWindowOpenEndsTheProcess) {
    CloseWithWindowOpen(L"Настройки, советы", L"BarcodeSettings");
}

TEST(MainWindow, TabGoesThroughTheControlsInScreenOrderAndEnterInAFieldDoesNothing) {
    App app;
    ASSERT_TRUE(StartApp(app));
    // Rows top to bottom, each left to right; the hidden list field is passed over.
    const std::vector<int> order = {kMergeButtonId, kPrefixEditId, kTotalBarcodesEditId, kStartNumberEditId,
                                    kBarcodesPerPageComboId, kSettingsButtonId, kAlwaysOnTopCheckId,
                                    kSaveCoordsButtonId, kHidePromptsCheckId, kLoadCoordsButtonId,
                                    kVariableListCheckId, kStartButtonId, kMergeButtonId};
    EXPECT_EQ(TabThrough(app.window, order.size()), order);
    EXPECT_EQ(TabThrough(app.window, 2, true), (std::vector<int>{kStartButtonId, kVariableListCheckId}));

    // Enter and Escape in a field: no run, no refusal, no window, and the field keeps its text.
    HWND prefix = ChildById(app.window, kPrefixEditId);
    Click(prefix);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(app.window) == prefix; }));
    TypeText(L"P");
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    TypeText(L"Q");
    ASSERT_TRUE(WaitUntil([&] { return TextOf(prefix) == L"PQ"; }));
    EXPECT_FALSE(WaitForMessageBox(app.process.Id(), milliseconds(500)).window);
    EXPECT_EQ(TopWindows(app.process.Id()).size(), 1u);
    EXPECT_EQ(CloseApp(app), 0u);
}
