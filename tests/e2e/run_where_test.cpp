// The run knows where it is, against the stand-in designer: a page switch that changes nothing (the
// document's last page) stops the run before it overwrites a page, and a long run over many pages
// stays exact, flat in memory and as fast at its end as at its start.
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <thread>

using namespace harness;

namespace {
constexpr UINT kAddPageMessage = WM_APP + 1;  // the stand-in designer adds a page and goes to it

SIZE_T WorkingSetOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize : 0;
}
}  // namespace

TEST(RunWhereE2E, OnTheLastPageTheRunStopsAfterSixOfNineAndContinuesOnAnAddedPage) {
    InBothPacings(L"pages=2", [](Scene& s, bool) {
        const std::wstring message = s.RunAndAnswer(L"S", L"0001", L"9");
        EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен: после Page Down страница не сменилась "
                                        L"за 2000 мс.\nПохоже, это последняя страница документа"))
            << ToUtf8(message);
        EXPECT_NE(message.find(L"Введено 6 из 9; следующее — S0007."), std::wstring::npos) << ToUtf8(message);
        std::this_thread::sleep_for(milliseconds(300));
        auto log = s.fixture.Log();
        EXPECT_EQ(ValuesIn(log), Expected("S", 1, 6, 3));  // page 2 keeps S0004..S0006
        EXPECT_EQ(EventsOf(log, "open").size(), 6u);        // no wizard after the failed switch
        EXPECT_EQ(EventsOf(log, "last").size(), 1u);
        EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));

        // The user adds a page, goes to it and continues.
        PostMessageW(s.fixture.window, kAddPageMessage, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return Logged(s.fixture.Log(), "added", "3"); }));
        MessageBoxInfo ask = s.StartAgain();
        ASSERT_TRUE(ask.window);
        EXPECT_TRUE(StartsWith(ask.text, L"Остановка была на значении S0007 (страница 3, захват 1).\n\n")) << ToUtf8(ask.text);
        AnswerMessageBox(ask.window, IDYES);
        EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(3, NextStartLine(L"0010")));
        std::this_thread::sleep_for(milliseconds(300));
        log = s.fixture.Log();
        EXPECT_EQ(ValuesIn(log), Expected("S", 1, 9, 3));
        EXPECT_EQ(EventsOf(log, "page").size() + EventsOf(log, "last").size(), 2u);  // no Page Down on continuing
        ExpectNothingStrayAndClose(s);
    });
}

// Another document of the same program, of the same size, opened later above the one the positions
// were captured on: the run fills the captured one where it still stands, and refuses once both moved.
TEST(RunWhereE2E, AnotherDocumentOfTheSameProgramIsNeverFilledInsteadOfTheCapturedOne) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3));
    Fixture other;
    const std::wstring otherDir = MakeTempDir(L"other");
    ASSERT_TRUE(StartFixture(other, L"fake_designer", L"FakeDesigner", otherDir, L"3"));
    RECT a;
    GetWindowRect(s.fixture.window, &a);
    // Above it, but clear of its objects: the captured document is filled.
    SetWindowPos(other.window, HWND_TOP, a.left + 20, a.bottom + 10, 0, 0, SWP_NOSIZE);
    s.Fields(L"D", L"01", L"3");
    s.PressStart();
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(3, NextStartLine(L"04")));
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(ValuesIn(s.fixture.Log()), Placed({"D01", "D02", "D03"}, 3));
    EXPECT_TRUE(EventsOf(other.Log(), "open").empty());
    EXPECT_TRUE(EventsOf(other.Log(), "stray").empty()) << Describe(EventsOf(other.Log(), "stray"));

    // Over its objects: refused, nothing sent to either.
    SetWindowPos(other.window, HWND_TOP, a.left + 60, a.top + 40, 0, 0, SWP_NOSIZE);
    size_t logged = s.fixture.Log().size();
    s.PressStart();
    const std::wstring covered = EndMessage(s);
    EXPECT_TRUE(StartsWith(covered, L"Ошибка: Захваты закрыты окном «Fake designer")) << ToUtf8(covered);
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(s.fixture.Log().size(), logged);
    EXPECT_TRUE(EventsOf(other.Log(), "open").empty());

    // Both moved: which one is meant cannot be told.
    SetWindowPos(s.fixture.window, nullptr, a.left + 30, a.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    logged = s.fixture.Log().size();
    s.PressStart();
    const std::wstring refused = EndMessage(s);
    EXPECT_TRUE(StartsWith(refused, L"Ошибка: Открыто несколько окон программы fake_designer.exe (класс FakeDesigner) "
                                    L"того же размера"))
        << ToUtf8(refused);
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(s.fixture.Log().size(), logged);
    EXPECT_TRUE(EventsOf(other.Log(), "open").empty());
    other.process.Kill();
    ExpectNothingStrayAndClose(s);
}

TEST(RunWhereTiming, ThreeHundredValuesOverSixtyPagesAreExactFlatInMemoryAndAsFastAtTheEnd) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(5, kWaitingDelays));
    s.Fields(L"L", L"0001", L"300");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() >= 60; }, std::chrono::seconds(120)));
    const SIZE_T atSixty = WorkingSetOf(s.app.process.Handle());
    EXPECT_EQ(EndMessage(s, std::chrono::seconds(600)), L"Готово: " + FinishedText(300, NextStartLine(L"0301")));
    const SIZE_T atEnd = WorkingSetOf(s.app.process.Handle());
    std::this_thread::sleep_for(milliseconds(300));
    const auto log = s.fixture.Log();
    EXPECT_EQ(ValuesIn(log), Expected("L", 1, 300, 5));
    EXPECT_EQ(EventsOf(log, "page").size(), 59u);
    EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));

    // The time between stored values: the last fifty against the fifty after the first page.
    const auto values = EventsOf(log, "value");
    const auto span = [&](size_t from, size_t to) { return (values[to].us - values[from].us) / 1000.0 / (to - from); };
    const double early = span(5, 55), late = span(249, 299);
    std::printf("working set at value 60: %zu KB, at the end: %zu KB; ms per value: %.0f early, %.0f late\n",
                atSixty / 1024, atEnd / 1024, early, late);
    EXPECT_LT(atEnd, atSixty + 4 * 1024 * 1024);
    EXPECT_LT(late, early * 1.3 + 20);
    EXPECT_EQ(CloseApp(s.app), 0u);
}

namespace {
void MoveWindowBy(HWND window, int dx, int dy, int dw = 0) {
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, r.left + dx, r.top + dy, r.right - r.left + dw, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

TEST(RunWhereE2E, CapturedPositionsFollowTheMovedDesignerAndAResizedOrClosedOneIsRefused) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, kWaitingDelays));
    const POINT first = CenterOf(s.fixture.ChildrenOfClass(L"FakeBarcodeObject").at(0));
    MoveWindowBy(s.fixture.window, 90, 60);
    EXPECT_EQ(s.RunAndAnswer(L"M", L"0001", L"6"), L"Готово: " + FinishedText(6, NextStartLine(L"0007")));
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("M", 1, 6, 3));
    EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));
    // The rows show the moved points.
    HWND firstX = nullptr;
    for (HWND child : Children(s.app.window))
        if (TextOf(child) == std::to_wstring(first.x + 90)) firstX = child;
    EXPECT_TRUE(firstX) << "no row shows x = " << first.x + 90;

    // Wider by 40 pixels: refused, nothing sent.
    MoveWindowBy(s.fixture.window, 0, 0, 40);
    size_t logged = s.fixture.Log().size();
    s.PressStart();
    std::wstring message = EndMessage(s);
    EXPECT_TRUE(StartsWith(message, L"Ошибка: Окно «Fake designer - page 2» программы fake_designer.exe (класс "
                                    L"FakeDesigner), на котором сделан захват 1, изменило размер"))
        << ToUtf8(message);
    EXPECT_NE(message.find(L"Верните окну прежний размер или сделайте захваты заново."), std::wstring::npos);
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(s.fixture.Log().size(), logged);

    // Closed: refused, naming the program.
    s.fixture.process.Kill();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(s.fixture.window); }));
    s.PressStart();
    message = EndMessage(s);
    EXPECT_TRUE(StartsWith(message, L"Ошибка: Окно программы fake_designer.exe (класс FakeDesigner), на котором "
                                    L"сделан захват 1, не найдено"))
        << ToUtf8(message);
    EXPECT_EQ(CloseApp(s.app), 0u);
}
