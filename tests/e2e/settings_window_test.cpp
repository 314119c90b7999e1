// The delay-settings window used as a person would: opened from the main window, fields edited by
// typing, Apply and Close, and the values carried through barcode_delays.cfg.
#include "delays/settings_window_ids.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <array>
#include <thread>

using namespace harness;

namespace {
// The seven fields in window order: initial, double-click, wizard, typing, Enter, between, page switch.
using FieldTexts = std::array<std::wstring, 7>;
const FieldTexts kDefaultFields = {L"1000", L"200", L"700", L"20", L"200", L"200", L"400"};

std::wstring DelaysFile(const App& app) { return JoinPath(app.workDir, L"barcode_delays.cfg"); }

HWND OpenSettings(const App& app) {
    HWND button = FindChild(app.window, L"Button", L"Настройки, советы");
    if (!button) return nullptr;
    Click(button);
    return WaitForTopWindow(app.process.Id(), L"BarcodeSettings");
}

// The seven fields in window order, which is the order of their identifiers.
std::vector<HWND> Fields(HWND settings) {
    std::vector<HWND> fields;
    for (int id = kInitialDelayEditId; id <= kPageSwitchDelayEditId; ++id) fields.push_back(ChildById(settings, id));
    return fields;
}

FieldTexts FieldValues(HWND settings) {
    FieldTexts texts;
    std::vector<HWND> fields = Fields(settings);
    for (size_t i = 0; i < texts.size() && i < fields.size(); ++i) texts[i] = TextOf(fields[i]);
    return texts;
}

// Clicks into the field, erases what it holds with Backspace and types `text`; succeeds once the
// field shows it (input arrives asynchronously).
testing::AssertionResult TypeIntoField(HWND field, const std::wstring& text) {
    Click(field);
    PressKey(VK_END);
    for (size_t n = TextOf(field).size(); n > 0; --n) PressKey(VK_BACK);
    if (!WaitUntil([&] { return TextOf(field).empty(); }, milliseconds(3000)))
        return testing::AssertionFailure() << "not erased: " << ToUtf8(TextOf(field));
    TypeText(text);
    if (!WaitUntil([&] { return TextOf(field) == text; }, milliseconds(3000)))
        return testing::AssertionFailure() << "field shows: " << ToUtf8(TextOf(field));
    return testing::AssertionSuccess();
}

void ClickButton(HWND settings, const std::wstring& text) { Click(FindChild(settings, L"Button", text)); }

// Presses Apply and answers the message box it shows.
MessageBoxInfo Apply(const App& app, HWND settings) {
    ClickButton(settings, L"Применить");
    MessageBoxInfo box = WaitForMessageBox(app.process.Id());
    if (box.window) AnswerMessageBox(box.window);
    return box;
}

void CloseSettings(HWND settings) {
    ClickButton(settings, L"Закрыть");
    WaitUntil([&] { return !IsWindow(settings); });
}
}  // namespace

TEST(SettingsWindow, OpensOwnedByTheMainWindowWithItsLayoutAndTheDefaults) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    EXPECT_EQ(TextOf(settings), L"Настройки задержек");
    EXPECT_EQ(GetWindow(settings, GW_OWNER), app.window);
    EXPECT_TRUE(ExStyleOf(settings) & WS_EX_DLGMODALFRAME);
    RECT outer;
    GetWindowRect(settings, &outer);
    EXPECT_EQ(outer.right - outer.left, 336);  // wider than 300: every tip on its line whole
    EXPECT_EQ(outer.bottom - outer.top, 595);

    EXPECT_EQ(Children(settings).size(), 33u);
    EXPECT_EQ(FieldValues(settings), kDefaultFields);
    for (HWND field : Fields(settings)) EXPECT_TRUE(StyleOf(field) & ES_NUMBER);
    HWND apply = ChildById(settings, kApplyButtonId), close = ChildById(settings, kCloseButtonId);
    ASSERT_TRUE(apply && close);
    EXPECT_EQ(TextOf(apply), L"Применить");
    EXPECT_EQ(TextOf(close), L"Закрыть");
    RECT a = RectInParent(apply), c = RectInParent(close);
    RECT client;
    GetClientRect(settings, &client);
    EXPECT_EQ(a.left, 10);
    EXPECT_EQ(a.top, 262);
    // Under the seven delays, off until turned on: waiting for the wizard.
    HWND wait = ChildById(settings, kWaitForWizardCheckId);
    ASSERT_TRUE(wait);
    EXPECT_EQ(TextOf(wait).rfind(L"Ждать окно мастера", 0), 0u);
    EXPECT_EQ(RectInParent(wait).top, 182);
    EXPECT_FALSE(IsChecked(wait));
    // Under it, off too, the trial run on two lines, clear of the wait above and Apply below.
    HWND trial = ChildById(settings, kTrialRunCheckId);
    ASSERT_TRUE(trial);
    EXPECT_EQ(TextOf(trial), L"Пробный запуск: остановиться после первой страницы");
    EXPECT_FALSE(IsChecked(trial));
    EXPECT_TRUE(StyleOf(trial) & BS_MULTILINE);
    EXPECT_GE(RectInParent(trial).top, RectInParent(wait).bottom);
    EXPECT_LE(RectInParent(trial).right, client.right);
    // Under it, off as well, repeats in a list, clear of the trial run above and Apply below.
    HWND repeats = ChildById(settings, kAllowListRepeatsCheckId);
    ASSERT_TRUE(repeats);
    EXPECT_EQ(TextOf(repeats), L"Разрешить повторы в списке");
    EXPECT_FALSE(IsChecked(repeats));
    EXPECT_GE(RectInParent(repeats).top, RectInParent(trial).bottom);
    EXPECT_LE(RectInParent(repeats).bottom, a.top);
    EXPECT_LE(RectInParent(repeats).right, client.right);
    EXPECT_EQ(c.left, 143);
    EXPECT_LE(c.right, client.right) << "Close must lie inside the window";
    // The tips carry a real bullet and arrive whole, including the last one at the bottom.
    EXPECT_TRUE(FindChild(settings, L"Static", L" • Для МЕДЛЕННЫХ ПК: увеличьте все задержки"));
    HWND last = FindChild(settings, L"Static", L" • Автоматический переход на следующий лист");
    ASSERT_TRUE(last);
    EXPECT_LE(RectInParent(last).bottom, client.bottom);
    EXPECT_TRUE(FindChild(settings, L"Static", L"                  НАСТРОЙКИ ЗАДЕРЖЕК (мс):"));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(SettingsWindow, AppliedValuesAreSavedInLineOrderAndShownOnReopening) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    std::vector<HWND> fields = Fields(settings);
    ASSERT_EQ(fields.size(), 7u);
    ASSERT_TRUE(TypeIntoField(fields[0], L"1500"));
    ASSERT_TRUE(TypeIntoField(fields[2], L"900"));
    ASSERT_TRUE(TypeIntoField(fields[3], L""));  // emptied
    ASSERT_TRUE(TypeIntoField(fields[6], L"0450"));
    SetTextOf(fields[4], L"  250");  // pasted text may carry blanks the field would not accept as typed
    Click(ChildById(settings, kWaitForWizardCheckId));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(ChildById(settings, kWaitForWizardCheckId)); }));
    Click(ChildById(settings, kTrialRunCheckId));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(ChildById(settings, kTrialRunCheckId)); }));
    Click(ChildById(settings, kAllowListRepeatsCheckId));
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(ChildById(settings, kAllowListRepeatsCheckId)); }));

    MessageBoxInfo box = Apply(app, settings);
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Успех");
    EXPECT_EQ(box.text, L"Настройки задержек сохранены!");
    EXPECT_FALSE(box.hasInformationIcon);
    EXPECT_EQ(ReadFileBytes(DelaysFile(app)), "1500\r\n200\r\n900\r\n0\r\n250\r\n200\r\n450\r\n1\r\n1\r\n1\r\n");
    const FieldTexts applied = {L"1500", L"200", L"900", L"0", L"250", L"200", L"450"};
    EXPECT_EQ(FieldValues(settings), applied);

    CloseSettings(settings);
    EXPECT_FALSE(IsWindow(settings));
    settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    EXPECT_EQ(FieldValues(settings), applied);
    EXPECT_TRUE(IsChecked(ChildById(settings, kWaitForWizardCheckId)));
    EXPECT_TRUE(IsChecked(ChildById(settings, kTrialRunCheckId)));
    EXPECT_TRUE(IsChecked(ChildById(settings, kAllowListRepeatsCheckId)));
    EXPECT_EQ(CloseApp(app), 0u);

    // The next start reads the file back.
    App again;
    ASSERT_TRUE(StartApp(again, app.workDir));
    settings = OpenSettings(again);
    ASSERT_TRUE(settings);
    EXPECT_EQ(FieldValues(settings), applied);
    EXPECT_TRUE(IsChecked(ChildById(settings, kWaitForWizardCheckId)));
    EXPECT_TRUE(IsChecked(ChildById(settings, kTrialRunCheckId)));
    EXPECT_TRUE(IsChecked(ChildById(settings, kAllowListRepeatsCheckId)));
    EXPECT_EQ(CloseApp(again), 0u);
}

// The switches take effect and are written at the click, like the main window's check boxes;
// a delay typed but not applied stays out of the file, and the window closed without "Применить"
// leaves the switches as they were clicked, also at the next start.
TEST(SettingsWindow, ASwitchIsKeptAtItsClickWithoutApplyAndTypedDelaysAreNot) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    ASSERT_TRUE(TypeIntoField(Fields(settings)[2], L"999"));
    const struct {
        int box;
        const char* file;
    } clicks[] = {
        {kTrialRunCheckId, "1000\r\n200\r\n700\r\n20\r\n200\r\n200\r\n400\r\n0\r\n1\r\n0\r\n"},
        {kWaitForWizardCheckId, "1000\r\n200\r\n700\r\n20\r\n200\r\n200\r\n400\r\n1\r\n1\r\n0\r\n"},
        {kTrialRunCheckId, "1000\r\n200\r\n700\r\n20\r\n200\r\n200\r\n400\r\n1\r\n0\r\n0\r\n"},
        {kAllowListRepeatsCheckId, "1000\r\n200\r\n700\r\n20\r\n200\r\n200\r\n400\r\n1\r\n0\r\n1\r\n"},
    };
    for (const auto& c : clicks) {
        Click(ChildById(settings, c.box));
        EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(DelaysFile(app)) == c.file; })) << c.file;
    }
    EXPECT_TRUE(TopWindows(app.process.Id(), L"#32770").empty()) << "a click asks nothing";
    CloseSettings(settings);
    EXPECT_EQ(CloseApp(app), 0u);

    App again;
    ASSERT_TRUE(StartApp(again, app.workDir));
    settings = OpenSettings(again);
    ASSERT_TRUE(settings);
    EXPECT_EQ(FieldValues(settings), kDefaultFields);
    EXPECT_TRUE(IsChecked(ChildById(settings, kWaitForWizardCheckId)));
    EXPECT_FALSE(IsChecked(ChildById(settings, kTrialRunCheckId)));
    EXPECT_TRUE(IsChecked(ChildById(settings, kAllowListRepeatsCheckId)));
    EXPECT_EQ(CloseApp(again), 0u);
}

TEST(SettingsWindow, FieldsShowTheValuesReadFromTheFileAtStart) {
    const struct {
        const char* file;
        FieldTexts fields;
    } cases[] = {
        {"1500\r\n", {L"1500", L"200", L"700", L"20", L"200", L"200", L"400"}},
        {"abc\n", {L"0", L"200", L"700", L"20", L"200", L"200", L"400"}},
        {"1 2 3 4 5 6 7", {L"1", L"2", L"3", L"4", L"5", L"6", L"7"}},
        {"-5\n99999999999\n", {L"-5", L"2147483647", L"700", L"20", L"200", L"200", L"400"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        App app;
        ASSERT_TRUE(StartAppWithFile(app, L"barcode_delays.cfg", c.file));
        HWND settings = OpenSettings(app);
        ASSERT_TRUE(settings);
        EXPECT_EQ(FieldValues(settings), c.fields);
        EXPECT_FALSE(IsChecked(ChildById(settings, kWaitForWizardCheckId)));  // files of earlier versions
        EXPECT_FALSE(IsChecked(ChildById(settings, kTrialRunCheckId)));
        EXPECT_FALSE(IsChecked(ChildById(settings, kAllowListRepeatsCheckId)));
        EXPECT_EQ(CloseApp(app), 0u);
        EXPECT_EQ(ReadFileBytes(DelaysFile(app)), c.file) << "only Apply writes the file";
    }
}

TEST(SettingsWindow, AnUnwritableFileIsReportedAndTheValuesStillTakeEffect) {
    std::wstring dir = MakeTempDir();
    ASSERT_TRUE(CreateDirectoryW(JoinPath(dir, L"barcode_delays.cfg").c_str(), nullptr));
    App app;
    ASSERT_TRUE(StartApp(app, dir));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    ASSERT_TRUE(TypeIntoField(Fields(settings)[1], L"333"));
    MessageBoxInfo box = Apply(app, settings);
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_NE(box.text, L"Настройки задержек сохранены!");
    EXPECT_NE(box.text.find(L"barcode_delays.cfg"), std::wstring::npos) << "the message names the file";
    EXPECT_TRUE(GetFileAttributesW(JoinPath(dir, L"barcode_delays.cfg").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    CloseSettings(settings);
    settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    EXPECT_EQ(FieldValues(settings)[1], L"333");

    // Once the file can be written again, Apply succeeds.
    ASSERT_TRUE(RemoveDirectoryW(JoinPath(dir, L"barcode_delays.cfg").c_str()));
    box = Apply(app, settings);
    EXPECT_EQ(box.caption, L"Успех");
    EXPECT_EQ(ReadFileBytes(JoinPath(dir, L"barcode_delays.cfg")), "1000\r\n333\r\n700\r\n20\r\n200\r\n200\r\n400\r\n0\r\n0\r\n0\r\n");
    EXPECT_EQ(CloseApp(app), 0u);
}

// A switch whose file cannot be written is reported once, and still takes effect until the program closes.
TEST(SettingsWindow, ASwitchThatCannotBeKeptIsReportedOnceAndStillTakesEffect) {
    std::wstring dir = MakeTempDir();
    ASSERT_TRUE(CreateDirectoryW(JoinPath(dir, L"barcode_delays.cfg").c_str(), nullptr));
    App app;
    ASSERT_TRUE(StartApp(app, dir));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    Click(ChildById(settings, kTrialRunCheckId));
    MessageBoxInfo box = WaitForMessageBox(app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_NE(box.text.find(L"barcode_delays.cfg"), std::wstring::npos);
    AnswerMessageBox(box.window);
    for (int id : {kWaitForWizardCheckId, kTrialRunCheckId, kTrialRunCheckId}) Click(ChildById(settings, id));
    EXPECT_FALSE(WaitForMessageBox(app.process.Id(), milliseconds(1000)).window) << "told once";
    CloseSettings(settings);
    settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    EXPECT_TRUE(IsChecked(ChildById(settings, kTrialRunCheckId)));
    EXPECT_TRUE(IsChecked(ChildById(settings, kWaitForWizardCheckId)));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(SettingsWindow, CloseWithoutApplyChangesNothing) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    ASSERT_TRUE(TypeIntoField(Fields(settings)[0], L"5"));
    CloseSettings(settings);
    ASSERT_FALSE(IsWindow(settings));
    settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    EXPECT_EQ(FieldValues(settings), kDefaultFields);
    // The frame's close box does the same as the button.
    ASSERT_TRUE(TypeIntoField(Fields(settings)[0], L"6"));
    SendMessageW(settings, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
    settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    EXPECT_EQ(FieldValues(settings), kDefaultFields);
    EXPECT_FALSE(FileExists(DelaysFile(app)));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(SettingsWindow, ASecondClickBringsTheOpenWindowForward) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    ASSERT_TRUE(TypeIntoField(Fields(settings)[3], L"45"));  // unapplied text must survive the second click
    BringToFront(app.window);
    ASSERT_EQ(GetForegroundWindow(), app.window);
    Click(FindChild(app.window, L"Button", L"Настройки, советы"));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == settings; }, milliseconds(3000)));
    EXPECT_EQ(TopWindows(app.process.Id(), L"BarcodeSettings"), std::vector<HWND>{settings});
    EXPECT_EQ(TextOf(Fields(settings)[3]), L"45");

    // Minimised, it comes back on the next click too.
    ShowWindow(settings, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(settings) != FALSE; }));
    Click(FindChild(app.window, L"Button", L"Настройки, советы"));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(settings); }, milliseconds(3000)));
    EXPECT_EQ(TopWindows(app.process.Id(), L"BarcodeSettings").size(), 1u);
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(SettingsWindow, ClosingTheMainWindowTakesTheSettingsWindowAlong) {
    App app;
    ASSERT_TRUE(StartApp(app));
    ASSERT_TRUE(OpenSettings(app));
    EXPECT_EQ(CloseApp(app), 0u);
    EXPECT_FALSE(FileExists(DelaysFile(app)));

    // Also while the Apply message box is still waiting for its answer.
    App busy;
    ASSERT_TRUE(StartApp(busy));
    HWND settings = OpenSettings(busy);
    ASSERT_TRUE(settings);
    ClickButton(settings, L"Применить");
    ASSERT_TRUE(WaitForMessageBox(busy.process.Id()).window);
    EXPECT_EQ(CloseApp(busy), 0u);
}

TEST(SettingsWindow, TabGoesThroughFieldsAndButtonsEnterAppliesAndEscapeCloses) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    EXPECT_EQ(TabThrough(settings, 13),
              (std::vector<int>{kInitialDelayEditId, kDoubleClickDelayEditId, kMasterOpenDelayEditId,
                                kTypingDelayEditId, kEnterDelayEditId, kBetweenBarcodesDelayEditId,
                                kPageSwitchDelayEditId, kWaitForWizardCheckId, kTrialRunCheckId,
                                kAllowListRepeatsCheckId, kApplyButtonId, kCloseButtonId, kInitialDelayEditId}));
    EXPECT_EQ(TabThrough(settings, 1, true), std::vector<int>{kCloseButtonId});

    // A field reached with Tab has its text selected: typing replaces it, Enter applies.
    TabThrough(settings, 2);  // Close -> initial -> double-click
    TypeText(L"321");
    HWND doubleClick = ChildById(settings, kDoubleClickDelayEditId);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(doubleClick) == L"321"; }));
    PressKey(VK_RETURN);
    MessageBoxInfo box = WaitForMessageBox(app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.text, L"Настройки задержек сохранены!");
    AnswerMessageBox(box.window);
    EXPECT_EQ(ReadFileBytes(DelaysFile(app)), "1000\r\n321\r\n700\r\n20\r\n200\r\n200\r\n400\r\n0\r\n0\r\n0\r\n");

    BringToFront(settings);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));
    EXPECT_EQ(CloseApp(app), 0u);
}

TEST(SettingsWindow, EveryTipShowsWholeSoNoneNeedsItsTooltip) {
    App app;
    ASSERT_TRUE(StartApp(app));
    HWND settings = OpenSettings(app);
    ASSERT_TRUE(settings);
    // A tip cut short by its width would get a tool in the window's tooltip (a hidden popup of the
    // process); the tips are wide enough for their text, so there is none.
    std::this_thread::sleep_for(milliseconds(500));
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) != nullptr;)
        if (GetWindow(tip, GW_OWNER) == settings) {
            EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
        }
    const std::wstring once = L"   увеличьте 'Открытие мастера ШК' до 800-1000";
    HWND label = FindChild(settings, L"Static", once);
    ASSERT_TRUE(label);
    RECT client;
    GetClientRect(settings, &client);
    EXPECT_LE(RectInParent(label).right, client.right);
    EXPECT_EQ(Children(settings).size(), 33u);  // the layout keeps its 33 controls
    EXPECT_EQ(CloseApp(app), 0u);
}
