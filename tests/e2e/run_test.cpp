// Automation runs of the real exe against the stand-in designer and spreadsheet: the values land
// where and in the order they should, pages and sheets turn, the spreadsheet gets the values whole
// on Russian and AZERTY keyboard layouts and with Caps Lock on, and Escape, Pause and closing the
// window stop a run with nothing sent afterwards.
#include "harness.h"
#include "http_server.h"
#include "merge_window.h"
#include "run_support.h"
#include "tables/merge_window_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace harness;

namespace {





// Ends the editing of the last cell with a click on another cell, once the stand-in spreadsheet
// has taken `chars` characters in all (or the wait is over: the values then show what is missing).
// A key held up by a low-level keyboard hook under Wine could otherwise arrive after the click.
void EndEditingAfter(const Fixture& spreadsheet, size_t chars) {
    WaitUntil([&] { return EventsOf(spreadsheet.Log(), "char").size() >= chars; });
    ClickAt(CenterOf(spreadsheet.ChildrenOfClass(L"FakeCell").back()));
}

// The Enter keys the stand-in spreadsheet took other than right before a Ctrl+Page Down (a run ends a
// sheet's last cell with Enter before the sheet key, nowhere else): their places among the keys.
std::string EntersNotBeforeASheetKey(const std::vector<FixtureEvent>& log) {
    const std::vector<FixtureEvent> keys = EventsOf(log, "key");
    std::string out;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].fields.at(1) != "D") continue;
        size_t next = i + 1;
        while (next < keys.size() && keys[next].fields.at(1) == "11") ++next;  // Ctrl
        if (next == keys.size() || keys[next].fields.at(1) != "22") out += "key " + std::to_string(i) + "; ";
    }
    return out;
}

size_t Utf16Length(const std::vector<Landed>& values) {
    size_t n = 0;
    for (const Landed& v : values)
        n += static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, v.value.data(), static_cast<int>(v.value.size()),
                                                     nullptr, 0));
    return n;
}

// The key scans of a Latin q and of the digit 1 the stand-in spreadsheet logged at its start.
std::vector<std::string> KeyScansOf(const Fixture& spreadsheet) {
    const auto logged = EventsOf(spreadsheet.Log(), "keyboard");
    if (logged.empty()) return {};
    return {logged[0].fields.begin() + 1, logged[0].fields.end()};
}

// Caps Lock switched on with its key while the guard lives, and off again after, passed or failed.
// The key goes to the stand-in, which shows that it has taken it: under Wine a thread that did not
// get the key itself may go on seeing the old state until its input queue runs empty.
struct CapsLock {
    bool on = false;
    explicit CapsLock(const Fixture& spreadsheet) {
        BringToFront(spreadsheet.window);
        PressKey(VK_CAPITAL);
        on = WaitUntil([&] { return Logged(spreadsheet.Log(), "key", "14"); }) &&
             WaitUntil([] { return (GetKeyState(VK_CAPITAL) & 1) != 0; });
    }
    ~CapsLock() {
        if (GetKeyState(VK_CAPITAL) & 1) PressKey(VK_CAPITAL);
        WaitUntil([] { return (GetKeyState(VK_CAPITAL) & 1) == 0; });
    }
};



// Escape pressed during the run: how long its stop message took to come, the stand-in's log length
// at the stop, and the log once the message is answered and `settle` has passed.
struct EscapeStop {
    long long msToMessage = 0;
    size_t atStop = 0;
    std::vector<FixtureEvent> after;
};
EscapeStop StopWithEscape(Scene& s, milliseconds settle) {
    EscapeStop stop;
    const auto pressed = std::chrono::steady_clock::now();
    PressKey(VK_ESCAPE);
    MessageBoxInfo box = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(10));
    stop.msToMessage = std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - pressed).count();
    ExpectStopMessage(box);
    stop.atStop = s.fixture.Log().size();
    AnswerMessageBox(box.window);
    std::this_thread::sleep_for(settle);
    stop.after = s.fixture.Log();
    return stop;
}
}  // namespace

TEST(RunE2E, ThreePagesFillEveryObjectInOrderAndASecondStartIsIgnored) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3));
    s.Fields(L"AB", L"0099", L"8");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf(s.fixture.Log(), "value").empty(); }));
    // "СТАРТ" clicked again while the run goes on: dispatched at the next pump point, it starts nothing.
    PostMessageW(s.app.window, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(StartButton(s.app)));

    MessageBoxInfo done = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(30));
    ASSERT_TRUE(done.window);
    EXPECT_EQ(done.caption, L"Готово");
    EXPECT_EQ(done.text, FinishedText(8, NextStartLine(L"0107")));
    EXPECT_FALSE(done.hasInformationIcon);
    AnswerMessageBox(done.window);

    const std::vector<Landed> expected = {
        {"1", "1", "AB0099"}, {"1", "2", "AB0100"}, {"1", "3", "AB0101"}, {"2", "1", "AB0102"},
        {"2", "2", "AB0103"}, {"2", "3", "AB0104"}, {"3", "1", "AB0105"}, {"3", "2", "AB0106"},
    };
    std::this_thread::sleep_for(milliseconds(500));
    const auto log = s.fixture.Log();
    EXPECT_EQ(ValuesIn(log), expected);
    EXPECT_EQ(EventsOf(log, "page").size(), 2u);  // no page turn after the last barcode
    EXPECT_EQ(EventsOf(log, "open").size(), 8u);
    EXPECT_TRUE(EventsOf(log, "cancel").empty());
    EXPECT_TRUE(TopWindows(s.app.process.Id(), L"#32770").empty());  // one completion message only
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunE2E, ListValuesWithPrefixThenThirteenDigitNumbersInTheSameSession) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(2));
    HWND listCheck = CheckBox(s.app, L"Переменная из списка");
    SendMessageW(listCheck, BM_CLICK, 0, 0);
    SetTextOf(VariableListEdit(s.app), L" A1 \r\n\r\nB 2\r\n   \r\n");
    s.Fields(L"P", L"0001", L"0");  // the total is not looked at in list mode
    s.PressStart();
    MessageBoxInfo done = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(30));
    ASSERT_TRUE(done.window);
    EXPECT_EQ(done.text, FinishedText(2, NextListLine(L"B 2")));
    AnswerMessageBox(done.window);

    SendMessageW(listCheck, BM_CLICK, 0, 0);
    s.Fields(L"", L"4600000000001", L"2");
    s.PressStart();
    done = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(30));
    ASSERT_TRUE(done.window);
    AnswerMessageBox(done.window);

    const std::vector<Landed> expected = {
        {"1", "1", "PA1"}, {"1", "2", "PB 2"}, {"1", "1", "4600000000001"}, {"1", "2", "4600000000002"}};
    EXPECT_EQ(ValuesIn(s.fixture.Log()), expected);
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunE2E, SpreadsheetModeFillsCellsAndTurnsSheets) {
    Scene s;
    ASSERT_TRUE(s.OpenSpreadsheet(3));
    SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
    s.Fields(L"Жa-", L"1", L"7");
    s.PressStart();
    MessageBoxInfo done = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(30));
    ASSERT_TRUE(done.window);
    EXPECT_EQ(done.text, L"Генерация завершена!\n\n" + NextStartLine(L"8"));
    AnswerMessageBox(done.window);
    // The last cell stays in its editor until a click elsewhere ends the editing.
    ClickAt(CenterOf(s.fixture.ChildrenOfClass(L"FakeCell").back()));
    ASSERT_TRUE(WaitUntil([&] { return EventsOf(s.fixture.Log(), "value").size() == 7; }));

    std::vector<Landed> expected;
    for (int i = 1; i <= 7; ++i)
        expected.push_back({std::to_string((i - 1) / 3 + 1), std::to_string((i - 1) % 3 + 1),
                            ToUtf8(L"Жa-" + std::to_wstring(i))});
    const auto log = s.fixture.Log();
    EXPECT_EQ(ValuesIn(log), expected);
    EXPECT_EQ(EventsOf(log, "sheet").size(), 2u);
    EXPECT_EQ(EntersNotBeforeASheetKey(log), "");
    EXPECT_EQ(CloseApp(s.app), 0u);
}

// A workbook of fewer sheets than the values need: Ctrl+Page Down on its last sheet only ends the
// cell's editing, which changes the picture too (the value now drawn in its cell). The run stops
// there, the sheets keeping their values, instead of typing the rest over the last sheet.
TEST(RunE2E, SpreadsheetModeStopsOnTheWorkbooksLastSheet) {
    struct Case {
        const wchar_t* options;
        int stored;
        size_t sheetTurns, lastSheetKeys;
        std::wstring messageStart, messagePart;
    };
    const Case cases[] = {
        {L"sheets=2", 6, 1, 1,
         L"Ошибка: Прогон остановлен: после Ctrl+Page Down лист не сменился за 2000 мс.\nПохоже, это "
         L"последний лист книги",
         L"Введено 6 из 9; следующее — X0007."},
        {L"sheets=3", 9, 2, 0, L"Готово: Генерация завершена!\n\n" + NextStartLine(L"0010"), L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.options));
        Scene s;
        ASSERT_TRUE(s.OpenSpreadsheet(3, c.options));
        SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
        const std::wstring message = s.RunAndAnswer(L"X", L"0001", L"9");
        EXPECT_TRUE(StartsWith(message, c.messageStart)) << ToUtf8(message);
        EXPECT_NE(message.find(c.messagePart), std::wstring::npos) << ToUtf8(message);
        // A value still in its editor is stored by a click elsewhere.
        std::this_thread::sleep_for(milliseconds(300));
        ClickAt(CenterOf(s.fixture.ChildrenOfClass(L"FakeCell").back()));
        WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() >= static_cast<size_t>(c.stored); });
        std::this_thread::sleep_for(milliseconds(300));

        const auto log = s.fixture.Log();
        EXPECT_EQ(ValuesIn(log), Expected("X", 1, c.stored, 3));
        EXPECT_EQ(EventsOf(log, "sheet").size(), c.sheetTurns);
        EXPECT_EQ(EventsOf(log, "last").size(), c.lastSheetKeys);
        EXPECT_EQ(EntersNotBeforeASheetKey(log), "");
        EXPECT_EQ(CloseApp(s.app), 0u);
    }
}

TEST(RunE2E, SpreadsheetModeOnARussianKeyboardLayoutTypesEveryValueWhole) {
    if (!RunsUnderWine()) GTEST_SKIP() << "switches the X server's keyboard layout";
    XKeyboardLayout russian(L"ru");  // switched back when the test ends, passed or failed
    ASSERT_TRUE(russian.Active()) << "setxkbmap -layout ru did not take effect";
    Scene s;  // started on the Russian layout
    ASSERT_TRUE(s.Open(L"fake_spreadsheet", L"FakeSpreadsheet", L"FakeCell", 3, kQuickDelays));
    ASSERT_EQ(KeyScansOf(s.fixture), (std::vector<std::string>{"FFFF", "31"}));  // no key for a Latin q

    SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
    s.Fields(L"Ab-", L"0001", L"3");
    ASSERT_TRUE(s.RunToCompletion(NextStartLine(L"0004")));
    // The second run fills the next row of cells (the stand-in keeps what a cell holds).
    const std::vector<HWND> cells = s.fixture.ChildrenOfClass(L"FakeCell");
    ASSERT_TRUE(CapturePoints(s.app, s.fixture.window, Centers(cells, 3, 4)));
    s.Fields(L"Ёжик Й-", L"9", L"3");
    ASSERT_TRUE(s.RunToCompletion(NextStartLine(L"12")));

    const std::vector<Landed> expected = {
        {"1", "1", "Ab-0001"}, {"1", "2", "Ab-0002"}, {"1", "3", "Ab-0003"},
        {"1", "5", ToUtf8(L"Ёжик Й-9")}, {"1", "6", ToUtf8(L"Ёжик Й-10")},
        {"1", "7", ToUtf8(L"Ёжик Й-11")},
    };
    EndEditingAfter(s.fixture, Utf16Length(expected));
    WaitUntil([&] { return EventsOf(s.fixture.Log(), "value").size() == expected.size(); });
    EXPECT_EQ(ValuesIn(s.fixture.Log()), expected);
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunE2E, SpreadsheetModeOnAzertyWithCapsLockOnTypesEveryValueWhole) {
    if (!RunsUnderWine()) GTEST_SKIP() << "switches the X server's keyboard layout";
    XKeyboardLayout french(L"fr");
    ASSERT_TRUE(french.Active()) << "setxkbmap -layout fr did not take effect";
    Scene s;
    ASSERT_TRUE(s.Open(L"fake_spreadsheet", L"FakeSpreadsheet", L"FakeCell", 3, kQuickDelays));
    ASSERT_EQ(KeyScansOf(s.fixture), (std::vector<std::string>{"51", "131"}));  // the digits need Shift
    CapsLock caps(s.fixture);
    ASSERT_TRUE(caps.on);

    SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
    s.Fields(L"Ab-", L"0098", L"3");
    ASSERT_TRUE(s.RunToCompletion(NextStartLine(L"0101")));
    const std::vector<Landed> expected = {{"1", "1", "Ab-0098"}, {"1", "2", "Ab-0099"}, {"1", "3", "Ab-0100"}};
    EndEditingAfter(s.fixture, Utf16Length(expected));
    WaitUntil([&] { return EventsOf(s.fixture.Log(), "value").size() == expected.size(); });
    EXPECT_EQ(ValuesIn(s.fixture.Log()), expected);
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunStopTiming, EscapeDuringAStepLongerThanTheHookTimeoutStopsAtOnce) {
    Scene s;
    // The wizard wait (4 s) is longer than the time a keyboard hook may keep the system waiting.
    ASSERT_TRUE(s.OpenDesigner(3, {300, 20, 4000, 2, 20, 20, 80}));
    s.Fields(L"", L"1", L"6");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf(s.fixture.Log(), "open").empty(); }));
    std::this_thread::sleep_for(milliseconds(300));
    const EscapeStop stop = StopWithEscape(s, milliseconds(1500));
    // Taken during the wait, not after it.
    EXPECT_LT(stop.msToMessage, 2500);
    const auto& log = stop.after;
    EXPECT_EQ(log.size(), stop.atStop);        // nothing arrived after the stop
    EXPECT_FALSE(Logged(log, "key", "1B"));    // the Escape itself was swallowed
    EXPECT_TRUE(EventsOf(log, "char").empty());
    EXPECT_TRUE(EventsOf(log, "cancel").empty());
    EXPECT_EQ(CloseApp(s.app), 0u);
}

// The half-hourly banner refresh fires during a run while the server drips: the fetch runs beside
// the window, so Escape still stops the run at once and never reaches the designer.
TEST(RunStopTiming, EscapeDuringABannerRefreshFromADrippingServerStopsAtOnce) {
    HttpServer server(VendorPort());
    ASSERT_TRUE(server.Start());
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "Реклама " + std::to_string(i) + "\r\n";
    server.Serve("/ads.txt", {200, "text/plain", lines});
    Scene s;
    ASSERT_TRUE(s.Open(L"fake_designer", L"FakeDesigner", L"FakeBarcodeObject", 3,
                       {300, 20, 4000, 2, 20, 20, 80}, L"3"));
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/ads.txt") == 1; }));
    server.SetBehaviour(ServerBehaviour::Drip, milliseconds(1000));
    s.Fields(L"", L"1", L"6");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf(s.fixture.Log(), "open").empty(); }));
    PostMessageW(s.app.window, WM_TIMER, 1101, 0);
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/ads.txt") == 2; }));
    std::this_thread::sleep_for(milliseconds(300));
    const EscapeStop stop = StopWithEscape(s, milliseconds(1000));
    std::printf("Escape to the stop message during a banner refresh: %lld ms\n", stop.msToMessage);
    EXPECT_LT(stop.msToMessage, 1000);
    const auto& log = stop.after;
    EXPECT_EQ(log.size(), stop.atStop);      // nothing arrived after the stop
    EXPECT_FALSE(Logged(log, "key", "1B"));  // the Escape never reached the designer
    const auto closing = std::chrono::steady_clock::now();
    EXPECT_EQ(CloseApp(s.app), 0u);  // with the refresh still dripping
    EXPECT_LT(std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - closing).count(), 1000);
}

// A million-item table still filling its preview when the run starts: the parts that would keep the
// thread from the keyboard hook for a second or more wait for the run, so Escape stops it at once and
// never reaches the designer; the preview fills on afterwards.
TEST(RunStopTiming, EscapeDuringAMillionItemPreviewFillStopsAtOnce) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, {300, 20, 300, 2, 20, 300, 80}));
    HWND merge = OpenMergeWindow(s.app);
    ASSERT_TRUE(merge);
    ASSERT_TRUE(TypeInto(MergeChildAt(merge, kCountField), L"1000000"));
    Click(ChildById(merge, kCreateTableButtonId));
    HWND preview = WaitForTablePreview(s.app);
    ASSERT_TRUE(preview);
    HWND field = PreviewField(preview);
    const auto shown = [&] { return SendMessageW(field, WM_GETTEXTLENGTH, 0, 0); };
    ASSERT_TRUE(WaitUntil([&] { return shown() > 0; }));
    // Out of the designer's way, still filling (some 7 MB of text take many seconds).
    ShowWindow(preview, SW_MINIMIZE);
    ShowWindow(merge, SW_MINIMIZE);

    s.Fields(L"", L"1", L"30");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return EventsOf(s.fixture.Log(), "open").size() >= 2; }));
    const EscapeStop stop = StopWithEscape(s, milliseconds(1000));
    std::printf("Escape to the stop message during a preview fill: %lld ms\n", stop.msToMessage);
    EXPECT_LT(stop.msToMessage, 1000);
    EXPECT_EQ(stop.after.size(), stop.atStop);      // nothing arrived after the stop
    EXPECT_FALSE(Logged(stop.after, "key", "1B"));  // the Escape never reached the designer
    // The fill goes on once the run has ended.
    const LRESULT atStop = shown();
    EXPECT_TRUE(WaitUntil([&] { return shown() > atStop; }));
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunE2E, HeldPauseStopsTheRun) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3));
    s.Fields(L"P", L"1", L"30");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return !EventsOf(s.fixture.Log(), "value").empty(); }));
    // Held down: the key repeats, as a keyboard repeats a held key, until the run has stopped.
    MessageBoxInfo box;
    for (int repeat = 0; repeat < 300 && !box.window; ++repeat) {
        KeyDown(VK_PAUSE);
        box = WaitForMessageBox(s.app.process.Id(), milliseconds(30));
    }
    KeyUp(VK_PAUSE);
    ExpectStopMessage(box);
    const auto atStop = s.fixture.Log();
    AnswerMessageBox(box.window);
    std::this_thread::sleep_for(milliseconds(1000));
    const auto log = s.fixture.Log();
    EXPECT_LT(ValuesIn(log).size(), 30u);
    // After the stop only the Pause key itself reached the designer.
    for (size_t i = atStop.size(); i < log.size(); ++i) EXPECT_EQ(log[i].fields, (std::vector<std::string>{"key", "13"}));
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunE2E, ClosingTheWindowDuringARunEndsItAndTheProcess) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3));
    s.Fields(L"", L"1", L"30");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return EventsOf(s.fixture.Log(), "value").size() >= 2; }));
    EXPECT_EQ(CloseApp(s.app), 0u);
    const size_t atExit = s.fixture.Log().size();
    std::this_thread::sleep_for(milliseconds(1000));
    const auto log = s.fixture.Log();
    EXPECT_LE(log.size(), atExit + 40);  // at most the rest of one barcode that was under way
    EXPECT_LT(ValuesIn(log).size(), 30u);
    EXPECT_EQ(SettingsIn(s.app), "0\r\n0\r\n1\r\n");  // saved on the way out
}

TEST(RunE2E, RefusesWithoutPositionsAndTheListSwitchesTheFields) {
    App app;
    ASSERT_TRUE(StartApp(app));
    Click(StartButton(app));
    MessageBoxInfo box = WaitForMessageBox(app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_EQ(box.text, L"Не все координаты заданы!");
    EXPECT_FALSE(box.hasInformationIcon);
    AnswerMessageBox(box.window);

    HWND list = VariableListEdit(app);
    ASSERT_TRUE(list);
    EXPECT_FALSE(IsWindowVisible(list));
    SendMessageW(CheckBox(app, L"Переменная из списка"), BM_CLICK, 0, 0);
    // The field is shown before the two number fields are disabled: wait for the last of them.
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(list) && !IsWindowEnabled(TotalEdit(app)); }));
    EXPECT_FALSE(IsWindowEnabled(StartNumberEdit(app)));
    Click(StartButton(app));
    box = WaitForMessageBox(app.process.Id());
    EXPECT_EQ(box.text, L"Список переменных пуст!");
    AnswerMessageBox(box.window);
    SendMessageW(CheckBox(app, L"Переменная из списка"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(list) && IsWindowEnabled(TotalEdit(app)); }));
    EXPECT_TRUE(IsWindowEnabled(StartNumberEdit(app)));
    EXPECT_EQ(CloseApp(app), 0u);
}

// A list pasted from a spreadsheet with letters code page 1251 has no place for: START names the first
// such line and character and sends nothing (they would have been typed as look-alikes or '?'); the
// same for the prefix, where 1251 cannot even show the character. € and № are 1251 and go out whole.
TEST(RunE2E, ACharacterTheRunCannotTypeRefusesStartAndNothingIsSent) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3));
    SendMessageW(CheckBox(s.app, L"Переменная из списка"), BM_CLICK, 0, 0);
    const std::wstring advice =
        L") нельзя ввести в этой программе.\nЗамените его: программа вводит только символы русской кодировки Windows — "
        L"кириллицу, латинские буквы без диакритических знаков, цифры и обычные знаки препинания.";
    const struct {
        const wchar_t* prefix;
        const wchar_t* list;
        std::wstring refusal;
    } cases[] = {
        {L"", L"Müller-1\r\nStraße-2\r\nŁódź-3", L"Строка 1 списка («Müller-1»): символ «ü» (U+00FC" + advice},
        {L"", L"\r\nMuller-1\r\n  Stra\U0001F600e-2\r\n", L"Строка 3 списка («Stra\U0001F600e-2»): символ «\U0001F600» (U+1F600" + advice},
        {L"Ø-", L"A", L"Префикс («Ø-»): символ «Ø» (U+00D8" + advice},
    };
    const size_t before = s.fixture.Log().size();
    for (const auto& c : cases) {
        SetTextOf(PrefixEdit(s.app), c.prefix);
        SetTextOf(VariableListEdit(s.app), c.list);
        s.PressStart();
        MessageBoxInfo box = WaitForMessageBox(s.app.process.Id());
        ASSERT_TRUE(box.window);
        EXPECT_EQ(box.caption, L"Ошибка");
        EXPECT_EQ(box.text, c.refusal);
        AnswerMessageBox(box.window);
    }
    std::this_thread::sleep_for(milliseconds(500));
    const auto log = s.fixture.Log();
    EXPECT_EQ(log.size(), before) << Describe(std::vector<FixtureEvent>(log.begin() + before, log.end()));
    EXPECT_TRUE(EventsOf(log, "open").empty());
    EXPECT_EQ(CaptionOf(s.app.window).find(L"Остановлено"), std::wstring::npos);  // nothing to continue

    SetTextOf(PrefixEdit(s.app), L"№");
    SetTextOf(VariableListEdit(s.app), L"Мюллер-1\r\nStrasse €2\r\nLodz-3");
    s.PressStart();
    MessageBoxInfo done = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(30));
    ASSERT_TRUE(done.window);
    EXPECT_EQ(done.text, FinishedText(3, NextListLine(L"Lodz-3")));
    AnswerMessageBox(done.window);
    EXPECT_EQ(ValuesIn(s.fixture.Log()),
              Placed({ToUtf8(L"№Мюллер-1"), ToUtf8(L"№Strasse €2"), ToUtf8(L"№Lodz-3")}, 3));
    ExpectNothingStrayAndClose(s);
}

TEST(RunE2E, AnotherProgramComingToTheFrontGetsNothingAndStopsTheRun) {
    Scene s;
    ASSERT_TRUE(s.Open(L"fake_designer", L"FakeDesigner", L"FakeBarcodeObject", 3, kQuickDelays, L"3"));
    // Another program is open but out of the way when the run starts, as a messenger would be.
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    Process notepad;
    ASSERT_TRUE(notepad.Start(JoinPath(system, L"notepad.exe"), s.dir));
    HWND pad = WaitForTopWindow(notepad.Id(), L"Notepad");
    ASSERT_TRUE(pad);
    HWND padEdit = FindChild(pad, L"Edit", L"");
    ASSERT_TRUE(padEdit);
    WaitForInputIdle(notepad.Handle(), 5000);
    ShowWindow(pad, SW_MINIMIZE);
    const POINT first = CenterOf(s.fixture.ChildrenOfClass(L"FakeBarcodeObject").at(0));
    ASSERT_TRUE(WaitUntil([&] { return GetAncestor(WindowFromPoint(first), GA_ROOT) == s.fixture.window; }));

    s.Fields(L"W", L"1", L"30");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() >= 2; }, std::chrono::seconds(30)))
        << ToUtf8(WaitForMessageBox(s.app.process.Id(), milliseconds(100)).text);
    // It comes to the front, maximized over the designer and its wizard. The foreground passes to it
    // at once; the window opens a little later.
    SetForegroundWindow(pad);
    ShowWindow(pad, SW_MAXIMIZE);

    MessageBoxInfo box = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(10));
    ASSERT_TRUE(box.window) << "front " << (GetForegroundWindow() == pad) << " zoomed " << IsZoomed(pad) << " values "
                            << ValuesIn(s.fixture.Log()).size() << " pad text " << ToUtf8(TextOf(padEdit));
    const size_t atStop = s.fixture.Log().size();
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_EQ(box.text.rfind(L"Прогон остановлен: ", 0), 0u) << ToUtf8(box.text);
    EXPECT_NE(box.text.find(L"«" + TextOf(pad) + L"» программы notepad.exe"), std::wstring::npos)
        << ToUtf8(box.text);
    EXPECT_NE(box.text.find(L"программы fake_designer.exe"), std::wstring::npos) << ToUtf8(box.text);
    EXPECT_EQ(box.text.substr(box.text.size() - 36), L"\n\nПрограмма готова к новому прогону.");
    AnswerMessageBox(box.window);
    std::this_thread::sleep_for(milliseconds(1500));

    EXPECT_EQ(TextOf(padEdit), L"");  // not one character, not one Enter
    const auto log = s.fixture.Log();
    EXPECT_EQ(log.size(), atStop);  // and the designer got nothing more
    EXPECT_LT(ValuesIn(log).size(), 30u);
    EXPECT_TRUE(TopWindows(s.app.process.Id(), L"#32770").empty());  // no completion message after it
    EXPECT_EQ(CloseApp(s.app), 0u);
    notepad.Kill();
}

TEST(RunE2E, StartRefusesAPositionUnderThisProgramsOwnWindow) {
    Scene s;
    ASSERT_TRUE(s.Open(L"fake_designer", L"FakeDesigner", L"FakeBarcodeObject", 2, kQuickDelays, L"2"));
    // The main window moved over the second object, as one kept on top would lie over it.
    const POINT second = CenterOf(s.fixture.ChildrenOfClass(L"FakeBarcodeObject").at(1));
    RECT frame;
    GetWindowRect(s.app.window, &frame);
    SetWindowPos(s.app.window, HWND_TOPMOST, second.x - 20, second.y - (frame.bottom - frame.top) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
    s.Fields(L"", L"1", L"2");
    s.PressStart();
    MessageBoxInfo box = WaitForMessageBox(s.app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    const std::wstring row = L"Захват 2 (" + std::to_wstring(second.x) + L", " + std::to_wstring(second.y) + L") ";
    EXPECT_EQ(box.text.rfind(row + L"лежит на окне «" + TextOf(s.app.window) + L"»", 0), 0u) << ToUtf8(box.text);
    AnswerMessageBox(box.window);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_TRUE(EventsOf(s.fixture.Log(), "open").empty());  // nothing was sent
    EXPECT_EQ(CloseApp(s.app), 0u);
}

namespace {
// The captions the main window shows until a message box of the process appears, each once.
std::vector<std::wstring> CaptionsUntilMessageBox(const App& app, milliseconds timeout) {
    std::vector<std::wstring> seen;
    WaitUntil([&] {
        const std::wstring caption = CaptionOf(app.window);
        if (seen.empty() || seen.back() != caption) seen.push_back(caption);
        return !TopWindows(app.process.Id(), L"#32770").empty();
    }, timeout, milliseconds(5));
    return seen;
}
}  // namespace

TEST(RunE2E, CaptionCountsTheStoredBarcodesAndEndsAsTheTitle) {
    Scene s;
    ASSERT_TRUE(s.Open(L"fake_designer", L"FakeDesigner", L"FakeBarcodeObject", 3, kQuickDelays, L"3"));
    const std::wstring title = CaptionOf(s.app.window);
    s.Fields(L"AB", L"0001", L"5");
    s.PressStart();
    const std::vector<std::wstring> seen = CaptionsUntilMessageBox(s.app, std::chrono::seconds(30));
    MessageBoxInfo done = WaitForMessageBox(s.app.process.Id());
    ASSERT_TRUE(done.window);
    EXPECT_EQ(done.text, FinishedText(5, NextStartLine(L"0006")));
    // 0 to 4 of 5 with the seconds left, then the title alone once the run is over.
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.back(), title);
    std::vector<std::wstring> counts;
    for (size_t i = seen.front() == title ? 1 : 0; i + 1 < seen.size(); ++i) {
        const std::wstring& c = seen[i];
        EXPECT_NE(c.find(L" из 5, ещё ~"), std::wstring::npos) << ToUtf8(c);
        EXPECT_EQ(c.substr(c.size() - title.size() - 3), L" · " + title) << ToUtf8(c);
        counts.push_back(c.substr(0, c.find(L' ')));
    }
    counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
    EXPECT_EQ(counts, (std::vector<std::wstring>{L"0", L"1", L"2", L"3", L"4"}));
    AnswerMessageBox(done.window);
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunE2E, AfterEscapeTheCaptionNamesTheNextValueAndASecondStartFillsTheRest) {
    Scene s;
    // A long wait between barcodes, so that Escape lands after the second barcode is stored.
    ASSERT_TRUE(s.Open(L"fake_designer", L"FakeDesigner", L"FakeBarcodeObject", 3, QuickDelaysWithGap(1500), L"3"));
    const std::wstring title = CaptionOf(s.app.window);
    s.Fields(L"AB", L"0001", L"5");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() == 2; }, std::chrono::seconds(20)));
    // Inside the wait, once the designer has closed the wizard: a value counts once its wizard is gone.
    std::this_thread::sleep_for(milliseconds(300));
    PressKey(VK_ESCAPE);
    MessageBoxInfo box = WaitForMessageBox(s.app.process.Id());
    ExpectStopMessage(box);
    EXPECT_EQ(CaptionOf(s.app.window), L"Остановлено: 2 из 5, следующий AB0003 · " + title);
    AnswerMessageBox(box.window);
    EXPECT_EQ(CaptionOf(s.app.window), L"Остановлено: 2 из 5, следующий AB0003 · " + title);

    s.Fields(L"AB", L"0003", L"3");
    s.PressStart();
    MessageBoxInfo done = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(30));
    ASSERT_TRUE(done.window);
    EXPECT_EQ(done.text, FinishedText(3, NextStartLine(L"0006")));
    AnswerMessageBox(done.window);
    EXPECT_EQ(CaptionOf(s.app.window), title);
    std::vector<std::string> values;
    for (const Landed& l : ValuesIn(s.fixture.Log())) values.push_back(l.value);
    EXPECT_EQ(values, (std::vector<std::string>{"AB0001", "AB0002", "AB0003", "AB0004", "AB0005"}));
    EXPECT_EQ(CloseApp(s.app), 0u);
}
