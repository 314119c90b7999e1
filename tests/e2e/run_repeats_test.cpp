// No value twice unasked, with the real exe beside the stand-in designer: a trial of five values,
// then a new run from 0001 asks before any click ("Нет", the default, leaves the editor and the
// journal untouched, a journal held locked is named; "Да" fills and the journal says «повтор»); a
// list with a repeated line is refused naming both lines, and goes through once the settings window
// allows repeats; a continue after a stop does not ask.
#include "delays/settings_window_ids.h"
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <thread>

using namespace harness;

namespace {
const std::wstring kQuestionLead = L"Значения этого прогона уже вводились: ";

// Ticks «Разрешить повторы в списке» in the settings window: it takes effect at the click.
bool AllowRepeatsInLists(const App& app) {
    Click(FindChild(app.window, L"Button", L"Настройки, советы"));
    HWND settings = WaitForTopWindow(app.process.Id(), L"BarcodeSettings");
    if (!settings) return false;
    HWND box = GetDlgItem(settings, kAllowListRepeatsCheckId);
    Click(box);
    if (!WaitUntil([&] { return IsChecked(box); })) return false;
    PostMessageW(settings, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !IsWindow(settings); });
}
}  // namespace

TEST(RunRepeatsE2E, ATrialThenANewRunFromTheStartAsksBeforeAnyClickNoLeavesAllAsItIsYesSaysRepeat) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(5));
    EXPECT_EQ(s.RunAndAnswer(L"P-", L"0001", L"5"), L"Готово: " + FinishedText(5, NextStartLine(L"0006")));
    std::this_thread::sleep_for(milliseconds(300));
    const size_t logged = s.fixture.Log().size();
    const std::wstring journalPath = JoinPath(s.dir, L"barcode_run_log.csv");
    const std::string journal = ReadFileBytes(journalPath);
    ASSERT_FALSE(journal.empty());

    // The rotated journal, held by another program that lets nobody read it: named, not passed over.
    HANDLE locked = CreateFileW(JoinPath(s.dir, L"barcode_run_log.old.csv").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    s.Fields(L"P-", L"0001", L"10");
    s.PressStart();
    MessageBoxInfo ask = WaitForMessageBox(s.app.process.Id());
    ASSERT_TRUE(ask.window);
    EXPECT_EQ(ask.caption, kRepeatCaption);
    EXPECT_TRUE(StartsWith(ask.text, kQuestionLead + L"5 из 10 (P-0001 … P-0005), последний раз ")) << ToUtf8(ask.text);
    EXPECT_NE(ask.text.find(L". Ввести их ещё раз?\n\nПовторы проверены не по всем журналам: barcode_run_log.old.csv — "
                            L"не открылся (занят другой программой или нет доступа).\n\nДа — ввести их ещё раз"),
              std::wstring::npos)
        << ToUtf8(ask.text);
    // «Нет» is the default button, the one Enter presses.
    EXPECT_EQ(GetWindowLongW(GetDlgItem(ask.window, IDNO), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(ask.window, IDYES), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(s.fixture.Log().size(), logged) << "asked before any click";
    AnswerMessageBox(ask.window, IDNO);
    std::this_thread::sleep_for(milliseconds(1000));
    EXPECT_FALSE(WaitForMessageBox(s.app.process.Id(), milliseconds(200)).window);
    EXPECT_EQ(s.fixture.Log().size(), logged) << "«Нет» sends nothing";
    EXPECT_EQ(ReadFileBytes(journalPath), journal) << "and writes nothing";
    CloseHandle(locked);

    // "Да": the five again on page 1, the rest on page 2, and the journal's start row says so.
    s.PressStart();
    const MessageBoxInfo again = s.AnswerRepeatQuestion(IDYES);
    ASSERT_TRUE(again.window);
    EXPECT_EQ(again.text.find(L"Повторы проверены не по всем"), std::wstring::npos) << ToUtf8(again.text);
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(10, NextStartLine(L"0011")));
    std::this_thread::sleep_for(milliseconds(300));
    std::vector<Landed> expected = Expected("P-", 1, 5, 5);
    const std::vector<Landed> whole = Expected("P-", 1, 10, 5);
    expected.insert(expected.end(), whole.begin(), whole.end());
    EXPECT_EQ(ValuesIn(s.fixture.Log()), expected);
    const Journal written = ReadJournal(s.dir);
    ASSERT_EQ(written.starts.size(), 2u);
    EXPECT_NE(written.starts.back().back().find(L", повтор: 5 значений"), std::wstring::npos)
        << ToUtf8(written.starts.back().back());
    EXPECT_EQ(written.starts.front().back().find(L"повтор"), std::wstring::npos);
    EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunRepeatsE2E, AListWithARepeatedLineIsRefusedNamingBothLinesUnlessRepeatsAreAllowed) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3));
    SendMessageW(CheckBox(s.app, L"Переменная из списка"), BM_CLICK, 0, 0);
    SetTextOf(VariableListEdit(s.app), L"КМ-001\r\nКМ-002\r\n\r\n КМ-001\r\n");
    const size_t logged = s.fixture.Log().size();
    s.PressStart();
    MessageBoxInfo box = WaitForMessageBox(s.app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_TRUE(StartsWith(box.text, L"Строки 1 и 4 списка одинаковы: «КМ-001».\n\n")) << ToUtf8(box.text);
    EXPECT_NE(box.text.find(L"«Разрешить повторы в списке»"), std::wstring::npos);
    AnswerMessageBox(box.window);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(s.fixture.Log().size(), logged) << "refused before any click";

    ASSERT_TRUE(AllowRepeatsInLists(s.app));
    s.PressStart();
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(3, NextListLine(L"КМ-001")));
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(ValuesIn(s.fixture.Log()),
              Placed({ToUtf8(L"КМ-001"), ToUtf8(L"КМ-002"), ToUtf8(L"КМ-001")}, 3));
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunRepeatsE2E, AContinueAfterAStopDoesNotAsk) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, QuickDelaysWithGap(1500)));  // Escape lands between barcodes
    s.Fields(L"C-", L"0001", L"6");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() == 2; }, std::chrono::seconds(20)));
    std::this_thread::sleep_for(milliseconds(300));  // inside the wait, the second wizard gone: stored
    PressKey(VK_ESCAPE);
    const MessageBoxInfo stop = WaitForMessageBox(s.app.process.Id());
    ExpectStopMessage(stop);
    AnswerMessageBox(stop.window);
    MessageBoxInfo ask = s.StartAgain();  // the continue question, not the one about values entered before
    ASSERT_TRUE(ask.window);
    AnswerMessageBox(ask.window, IDYES);
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(4, NextStartLine(L"0007")));
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("C-", 1, 6, 3));
    const Journal written = ReadJournal(s.dir);
    for (const auto& start : written.starts) EXPECT_EQ(start.back().find(L"повтор"), std::wstring::npos);
    EXPECT_EQ(CloseApp(s.app), 0u);
}
