// Capturing positions with the capture key, the position rows, and saving and loading the
// coordinates file through the real dialogs.
#include "capture_support.h"
#include "harness.h"

#include <gtest/gtest.h>

using namespace harness;

namespace {
constexpr WORD kCaptureKey = VK_OEM_3;
using Values = std::vector<std::pair<std::wstring, std::wstring>>;

// The user points at `where` in the application in front and presses the capture key.
void PressCaptureKeyAt(POINT where) {
    MoveMouse(where);
    PressKey(kCaptureKey);
}

bool RowValuesBecome(HWND window, const Values& expected) {
    return WaitUntil([&] { return RowValues(window) == expected; }, milliseconds(3000));
}

void ArmRow(HWND window, int row) { ASSERT_TRUE(ClickButtonAndWait(PositionRows(window).at(row).button)); }

void SelectPerPage(HWND window, int count) {
    SelectComboItem(PerPageCombo(window), count - 1);
    WaitUntil([&] { return static_cast<int>(PositionRows(window).size()) == std::min(count, 10); });
}

// Clicks a coordinates button and completes the dialog it opens with `path`.
bool ThroughDialog(App& app, const wchar_t* button, const std::wstring& path) {
    Click(ButtonWithText(app.window, button));
    return CompleteFileDialog(app.process.Id(), path);
}

// What a capture at `point` records of `recorder` when the point lies on it: " window=" and the
// client area's origin and size, this program's file name and the window's class; else nothing.
std::string WindowPartAt(HWND recorder, POINT point) {
    if (GetAncestor(WindowFromPoint(point), GA_ROOT) != recorder) return "";
    RECT client;
    GetClientRect(recorder, &client);
    POINT origin = {0, 0};
    ClientToScreen(recorder, &origin);
    return " window=" + std::to_string(origin.x) + "," + std::to_string(origin.y) + "," + std::to_string(client.right) +
           "x" + std::to_string(client.bottom) + ";e2e_capture.exe;TestKeyRecorder";
}

constexpr const wchar_t* kSave = L"Сохранить координаты захватов";
constexpr const wchar_t* kLoad = L"Загрузить координаты захватов";
}  // namespace

TEST(Capture, TheKeyFillsTheArmedRowOnceAndIsSwallowedOnlyThen) {
    App app;
    ASSERT_TRUE(StartApp(app));
    KeyRecorder front;

    // Nothing armed: the key belongs to the application in front.
    front.BringForward();
    PressCaptureKeyAt({700, 650});
    EXPECT_TRUE(WaitUntil([&] { return front.PressesOf(kCaptureKey) == 1; }, milliseconds(3000)));
    EXPECT_EQ(RowValues(app.window), EmptyRows(5));

    ArmRow(app.window, 2);
    front.BringForward();
    front.Clear();
    PressCaptureKeyAt({612, 734});
    Values expected = EmptyRows(5);
    expected[2] = {L"612", L"734"};
    EXPECT_TRUE(RowValuesBecome(app.window, expected)) << "the armed row shows the mouse position";
    Sleep(300);
    EXPECT_EQ(front.PressesOf(kCaptureKey), 0) << "the press that captured is swallowed";

    // The capture is over: the next press goes through and changes nothing.
    PressCaptureKeyAt({650, 800});
    EXPECT_TRUE(WaitUntil([&] { return front.PressesOf(kCaptureKey) == 1; }, milliseconds(3000)));
    EXPECT_EQ(RowValues(app.window), expected);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(Capture, TwoArmedRowsThenOnePressFillOnlyTheLast) {
    App app;
    ASSERT_TRUE(StartApp(app));
    KeyRecorder front;
    ArmRow(app.window, 0);
    ArmRow(app.window, 3);
    front.BringForward();
    front.Clear();
    PressCaptureKeyAt({700, 600});
    Values expected = EmptyRows(5);
    expected[3] = {L"700", L"600"};
    EXPECT_TRUE(RowValuesBecome(app.window, expected));
    PressCaptureKeyAt({710, 610});
    EXPECT_TRUE(WaitUntil([&] { return front.PressesOf(kCaptureKey) == 1; }, milliseconds(3000)));
    EXPECT_EQ(RowValues(app.window), expected) << "row 1 was re-targeted, not left pending";
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(Capture, OtherKeysAndAltPressesDoNotCapture) {
    App app;
    ASSERT_TRUE(StartApp(app));
    KeyRecorder front;
    ArmRow(app.window, 0);
    front.BringForward();
    front.Clear();
    MoveMouse({640, 700});
    PressKey('A');
    EXPECT_TRUE(HoldKey(VK_MENU));
    PressKey(kCaptureKey);
    KeyUp(VK_MENU);
    EXPECT_TRUE(WaitUntil([&] { return front.PressesOf('A') == 1 && front.PressesOf(kCaptureKey) == 1; },
                          milliseconds(3000)));
    EXPECT_EQ(RowValues(app.window), EmptyRows(5));
    // Still armed: a plain press now captures.
    PressKey(kCaptureKey);
    Values expected = EmptyRows(5);
    expected[0] = {L"640", L"700"};
    EXPECT_TRUE(RowValuesBecome(app.window, expected));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(Capture, APointOnTheLeftScreenEdgeStaysShownAfterTheRowsAreRebuilt) {
    App app;
    ASSERT_TRUE(StartApp(app));
    KeyRecorder front;
    ArmRow(app.window, 1);
    front.BringForward();
    PressCaptureKeyAt({0, 700});
    Values expected = EmptyRows(5);
    expected[1] = {L"0", L"700"};
    ASSERT_TRUE(RowValuesBecome(app.window, expected));
    SelectPerPage(app.window, 6);
    expected.push_back({L"", L""});
    EXPECT_EQ(RowValues(app.window), expected);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(Capture, ScrolledRowsCaptureIntoTheEntryTheyShow) {
    App app;
    ASSERT_TRUE(StartApp(app));
    KeyRecorder front;
    SelectPerPage(app.window, 12);
    HWND scroll = CoordsScrollBar(app.window);
    for (int i = 0; i < 2; ++i) SendMessageW(app.window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), LPARAM(scroll));
    ASSERT_EQ(RowLabels(app.window), Labels(3, 12));
    ArmRow(app.window, 2);  // shows entry 5
    front.BringForward();
    PressCaptureKeyAt({720, 640});
    EXPECT_TRUE(WaitUntil([&] { return RowValues(app.window)[2] == std::make_pair(std::wstring(L"720"), std::wstring(L"640")); },
                          milliseconds(3000)));
    SendMessageW(app.window, WM_VSCROLL, MAKEWPARAM(SB_PAGEUP, 0), LPARAM(scroll));
    ASSERT_EQ(RowLabels(app.window), Labels(1, 10));
    Values expected = EmptyRows(10);
    expected[4] = {L"720", L"640"};
    EXPECT_EQ(RowValues(app.window), expected);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(CoordinatesFile, SaveAndLoadRoundTripThroughTheDialogs) {
    App app;
    ASSERT_TRUE(StartApp(app));
    KeyRecorder front;
    for (auto [row, where] : {std::pair<int, POINT>{0, {601, 702}}, {3, {0, 655}}}) {
        ArmRow(app.window, row);
        front.BringForward();
        PressCaptureKeyAt(where);
        WaitUntil([&] { return !RowValues(app.window)[row].first.empty(); }, milliseconds(3000));
    }
    Values captured = EmptyRows(5);
    captured[0] = {L"601", L"702"};
    captured[3] = {L"0", L"655"};
    ASSERT_EQ(RowValues(app.window), captured);

    // The save dialog proposes the default name and offers text files first.
    Click(ButtonWithText(app.window, kSave));
    EXPECT_EQ(ProposedFileName(app.process.Id()), L"coordinates.txt");
    const std::wstring path = JoinPath(app.workDir, L"точки захвата.txt");
    ASSERT_TRUE(CompleteFileDialog(app.process.Id(), path));
    // Each point marked as physical pixels, and the window it was captured on after it (the key
    // recorder, a window of this test program); earlier versions read the numbers and skip the rest.
    const std::string saved = "601,702 px" + WindowPartAt(front.Window(), {601, 702}) + "\r\n0,0 px\r\n0,0 px\r\n0,655 px" +
                              WindowPartAt(front.Window(), {0, 655}) + "\r\n0,0 px\r\n";
    EXPECT_NE(saved.find(" window="), std::string::npos);
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(path) == saved; }));

    // Saving over an existing file asks first; declining leaves it as it was.
    WriteFileBytes(path, "1,1\r\n");
    for (int answer : {IDNO, IDYES}) {
        Click(ButtonWithText(app.window, kSave));
        HWND dialog = SubmitFileDialog(app.process.Id(), path);
        ASSERT_TRUE(dialog);
        MessageBoxInfo question = WaitForMessageBox(app.process.Id());
        ASSERT_TRUE(question.window);
        AnswerMessageBox(question.window, answer);
        if (answer == IDNO) {
            CancelFileDialog(app.process.Id());
            EXPECT_EQ(ReadFileBytes(path), "1,1\r\n");
        }
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(path) == saved; }));

    // Another count first, then the file brings back five entries and the per-page choice "5".
    SelectPerPage(app.window, 2);
    ASSERT_EQ(RowValues(app.window), (Values{{L"601", L"702"}, {L"", L""}}));
    ASSERT_TRUE(ThroughDialog(app, kLoad, path));
    EXPECT_TRUE(RowValuesBecome(app.window, captured));
    EXPECT_EQ(ComboSelection(PerPageCombo(app.window)), 4);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(CoordinatesFile, LoadingTakesTheReadableLinesAndSetsThePerPageChoice) {
    App app;
    ASSERT_TRUE(StartApp(app));
    const std::wstring path = JoinPath(app.workDir, L"mixed.txt");
    WriteFileBytes(path, "100,200\r\nabc\r\n300, 400\r\n5 ,6\r\n");
    ASSERT_TRUE(ThroughDialog(app, kLoad, path));
    EXPECT_TRUE(RowValuesBecome(app.window, Values{{L"100", L"200"}, {L"300", L"400"}}));
    EXPECT_EQ(RowLabels(app.window), Labels(1, 2));
    EXPECT_EQ(ComboSelection(PerPageCombo(app.window)), 1);

    // Thirty lines fill the largest page; the rows scroll over all of them.
    std::string thirty;
    for (int i = 1; i <= 30; ++i) thirty += std::to_string(i) + "," + std::to_string(900 + i) + "\r\n";
    WriteFileBytes(path, thirty);
    ASSERT_TRUE(ThroughDialog(app, kLoad, path));
    EXPECT_TRUE(WaitUntil([&] { return RowLabels(app.window) == Labels(1, 10); }));
    EXPECT_EQ(ComboSelection(PerPageCombo(app.window)), 29);
    SendMessageW(app.window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 99), LPARAM(CoordsScrollBar(app.window)));
    EXPECT_EQ(RowLabels(app.window), Labels(21, 30));
    EXPECT_EQ(RowValues(app.window).back(), std::make_pair(std::wstring(L"30"), std::wstring(L"930")));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(CoordinatesFile, AFileThePageCannotHoldIsRefusedAndTheListKept) {
    App app;
    ASSERT_TRUE(StartApp(app));
    const std::wstring good = JoinPath(app.workDir, L"good.txt");
    WriteFileBytes(good, "11,12\r\n13,14\r\n15,16\r\n");
    ASSERT_TRUE(ThroughDialog(app, kLoad, good));
    const Values kept = {{L"11", L"12"}, {L"13", L"14"}, {L"15", L"16"}};
    ASSERT_TRUE(RowValuesBecome(app.window, kept));

    std::string thirtyOne;
    for (int i = 1; i <= 31; ++i) thirtyOne += std::to_string(i) + "," + std::to_string(i) + "\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        const wchar_t* saying;
    };
    const Case cases[] = {
        {"no readable line", "abc\r\n1 ,2\r\n\r\n", L"нет ни одной строки"},
        {"empty file", "", L"нет ни одной строки"},
        {"more than a page holds", thirtyOne, L"31"},
        {"far too large to be a coordinates file", std::string(2 << 20, '7'), L"слишком большой"},
    };
    for (const Case& c : cases) {
        const std::wstring path = JoinPath(app.workDir, L"refused.txt");
        WriteFileBytes(path, c.bytes);
        ASSERT_TRUE(ThroughDialog(app, kLoad, path)) << c.name;
        MessageBoxInfo box = WaitForMessageBox(app.process.Id());
        ASSERT_TRUE(box.window) << c.name;
        EXPECT_EQ(box.caption, L"Ошибка") << c.name;
        EXPECT_NE(box.text.find(c.saying), std::wstring::npos) << c.name;
        AnswerMessageBox(box.window);
        EXPECT_EQ(RowValues(app.window), kept) << c.name;
        EXPECT_EQ(ComboSelection(PerPageCombo(app.window)), 2) << c.name;
    }

    // A cancelled dialog changes nothing and says nothing.
    Click(ButtonWithText(app.window, kLoad));
    CancelFileDialog(app.process.Id());
    EXPECT_FALSE(WaitForMessageBox(app.process.Id(), milliseconds(500)).window);
    EXPECT_EQ(RowValues(app.window), kept);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(CoordinatesFile, RowsOffTheScreensAreNamedOnLoadAndRefusedAtStart) {
    App app;
    ASSERT_TRUE(StartApp(app));
    // Saved on a bigger screen, or edited by hand: the second point lies far right of any monitor.
    const std::wstring path = JoinPath(app.workDir, L"bigger_screen.txt");
    WriteFileBytes(path, "100,200\r\n125830000,300\r\n");
    ASSERT_TRUE(ThroughDialog(app, kLoad, path));
    MessageBoxInfo box = WaitForMessageBox(app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_NE(box.text.find(L"2 (125830000,300)"), std::wstring::npos) << ToUtf8(box.text);
    AnswerMessageBox(box.window);
    // Kept: the monitor may be attached later.
    EXPECT_TRUE(RowValuesBecome(app.window, Values{{L"100", L"200"}, {L"125830000", L"300"}}));

    Click(ButtonWithText(app.window, L"СТАРТ"));
    box = WaitForMessageBox(app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_NE(box.text.find(L"Захват 2 (125830000,300)"), std::wstring::npos) << ToUtf8(box.text);
    AnswerMessageBox(box.window);
    EXPECT_EQ(CloseApp(app), 0u);
}

namespace {
// Starts a program of the host system (Wine runs a Unix program given by its Z: path) without
// waiting: Wine gives no handle to wait on for those.
void StartHostCommand(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        if (info.hThread) CloseHandle(info.hThread);
        if (info.hProcess) CloseHandle(info.hProcess);
    }
}

bool CanCreateFileIn(const std::wstring& dir) {
    const std::wstring probe = JoinPath(dir, L"probe.txt");
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
}  // namespace

TEST(CoordinatesFile, ASaveIntoAReadOnlyFolderSaysWhereAndWhy) {
    // A read-only file system mounted over a folder of the build tree: no file can be made there.
    const std::string unixDir = std::string(TEST_BUILD_DIR) + "/readonly_positions";
    const std::wstring dir = JoinPath(BuildDir(), L"readonly_positions");
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring unixWide(unixDir.begin(), unixDir.end());
    StartHostCommand(L"Z:\\usr\\bin\\mount -t tmpfs -o ro,size=64k tmpfs " + unixWide);
    struct Unmount {
        std::wstring dir, unixDir;
        ~Unmount() {
            StartHostCommand(L"Z:\\usr\\bin\\umount -l " + unixDir);
            WaitUntil([&] { return CanCreateFileIn(dir); }, milliseconds(5000));
        }
    } unmount{dir, unixWide};
    if (!WaitUntil([&] { return !CanCreateFileIn(dir); }, milliseconds(5000)))
        GTEST_SKIP() << "no read-only file system could be mounted here";

    App app;
    ASSERT_TRUE(StartApp(app));
    const std::wstring path = JoinPath(dir, L"coordinates.txt");
    ASSERT_TRUE(ThroughDialog(app, kSave, path));
    MessageBoxInfo box = WaitForMessageBox(app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_NE(box.text.find(L"Не удалось сохранить"), std::wstring::npos) << ToUtf8(box.text);
    EXPECT_NE(box.text.find(path), std::wstring::npos) << ToUtf8(box.text);
    AnswerMessageBox(box.window);
    EXPECT_EQ(CloseApp(app), 0u);
}
