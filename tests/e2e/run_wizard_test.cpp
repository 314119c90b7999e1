// A run of the real exe against a stand-in designer that misbehaves as real ones do: a wizard that
// opens late or never, a question box of its own, a second document in front. Nothing may reach the
// page or another window; every stop says why; a stop is continued from where it was.
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <thread>

using namespace harness;

namespace {
const std::vector<int> kDefaults = {1000, 200, 700, 20, 200, 200, 400};

// The designer and a run of `total` numbered values from `start` with a long wait between barcodes,
// stopped with Escape once `stored` values are in, then "СТАРТ" again: its question, left open
// (window null when the stop or the question did not come).
MessageBoxInfo QuestionAfterStop(Scene& s, const std::wstring& prefix, const std::wstring& start,
                                 const std::wstring& total, size_t stored) {
    if (!s.OpenDesigner(3, QuickDelaysWithGap(1500))) return {};
    s.Fields(prefix, start, total);
    s.PressStart();
    return s.EscapeOnceStored(stored) ? s.StartAgain() : MessageBoxInfo{};
}
}  // namespace

TEST(RunWizardE2E, ASlowRandomWizardWithWaitingFillsEveryValueAndNothingLandsOnThePage) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, kWaitingDelays, L"open=50-1500 seed=7"));
    s.Fields(L"S", L"0001", L"8");
    s.PressStart();
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(8, NextStartLine(L"0009")));
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("S", 1, 8, 3));
    ExpectNothingStrayAndClose(s);
}

TEST(RunWizardE2E, ASlowRandomWizardWithTheFixedDefaultsStopsAndNothingLandsOnThePage) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, kDefaults, L"open=50-1500 seed=7"));
    s.Fields(L"S", L"0001", L"8");
    s.PressStart();
    const std::wstring message = EndMessage(s);
    std::printf("fixed defaults, slow wizard: %s\n", ToUtf8(message).c_str());
    EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен: двойной щелчок по захвату ")) << ToUtf8(message);
    EXPECT_NE(message.find(L"не открыл мастер ШК за 800 мс."), std::wstring::npos) << ToUtf8(message);
    std::this_thread::sleep_for(milliseconds(1600));  // the late wizard opens after the stop
    const auto values = ValuesIn(s.fixture.Log());
    EXPECT_LT(values.size(), 8u);
    const auto expected = Expected("S", 1, 8, 3);
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(values[i], expected[i]);  // each stored value exact
    EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));
    EXPECT_TRUE(EventsOf(s.fixture.Log(), "char").empty() || values.size() > 0);
    s.fixture.process.Kill();
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunWizardE2E, ADeadObjectStopsTheRunInBothModes) {
    InBothPacings(L"dead=2", [](Scene& s, bool waiting) {
        const POINT second = CenterOf(s.fixture.ChildrenOfClass(L"FakeBarcodeObject").at(1));
        const std::wstring message = s.RunAndAnswer(L"D", L"1", L"3");
        const std::wstring point = L"(" + std::to_wstring(second.x) + L", " + std::to_wstring(second.y) + L")";
        EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен: двойной щелчок по захвату 2 " + point +
                                            L" не открыл мастер ШК за " + (waiting ? L"10000" : std::to_wstring(kQuickDelays[2] + 100)) + L" мс."))
            << ToUtf8(message);
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), (std::vector<Landed>{{"1", "1", "D1"}}));
        EXPECT_EQ(EventsOf(s.fixture.Log(), "dead").size(), 2u);  // nothing opened or changed: tried once more
        ExpectNothingStrayAndClose(s);
    });
}

TEST(RunWizardE2E, TheDesignersQuestionBoxIsNeverAnsweredByTheRun) {
    InBothPacings(L"question=2", [](Scene& s, bool) {
        const std::wstring message = s.RunAndAnswer(L"Q", L"1", L"3");
        EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен: ")) << ToUtf8(message);
        EXPECT_NE(message.find(L"«Fake designer» программы fake_designer.exe"), std::wstring::npos) << ToUtf8(message);
        std::this_thread::sleep_for(milliseconds(300));
        const auto log = s.fixture.Log();
        EXPECT_EQ(EventsOf(log, "question").size(), 1u);
        EXPECT_TRUE(EventsOf(log, "answer").empty());  // still open: the run sent it nothing
        EXPECT_EQ(ValuesIn(log), (std::vector<Landed>{{"1", "1", "Q1"}, {"1", "2", "Q2"}}));
        EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));
        s.fixture.process.Kill();
        EXPECT_EQ(CloseApp(s.app), 0u);
    });
}

TEST(RunWizardE2E, ASecondDocumentBroughtToTheFrontGetsNothing) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, QuickDelaysWithGap(600), L"second"));
    HWND second = WaitForTopWindow(s.fixture.process.Id(), L"FakeDocument");
    ASSERT_TRUE(second);
    s.Fields(L"T", L"1", L"9");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() == 2; }, std::chrono::seconds(20)));
    BringToFront(second);
    const std::wstring message = EndMessage(s);
    EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен: ")) << ToUtf8(message);
    EXPECT_NE(message.find(L"«Fake designer - document 2»"), std::wstring::npos) << ToUtf8(message);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_LT(ValuesIn(s.fixture.Log()).size(), 4u);
    ExpectNothingStrayAndClose(s);
}

TEST(RunWizardE2E, YesContinuesAfterFourOfTenAndEveryObjectHoldsTheUninterruptedRunsValue) {
    Scene s;
    MessageBoxInfo ask = QuestionAfterStop(s, L"R-", L"0001", L"10", 4);
    ASSERT_TRUE(ask.window);
    EXPECT_EQ(ask.text, L"Остановка была на значении R-0005 (страница 2, захват 2).\n\nДа — продолжить с R-0005,\n"
                        L"Нет — начать сначала с R-0001,\nОтмена — ничего не делать.");
    AnswerMessageBox(ask.window, IDYES);
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(6, NextStartLine(L"0011")));
    std::this_thread::sleep_for(milliseconds(300));
    const auto log = s.fixture.Log();
    EXPECT_EQ(ValuesIn(log), Expected("R-", 1, 10, 3));  // each object once, no value typed twice
    EXPECT_EQ(EventsOf(log, "open").size(), 10u);
    ExpectNothingStrayAndClose(s);
}

TEST(RunWizardE2E, CancelSendsNothingNoStartsAnewAndAChangedFieldAsksNothing) {
    Scene s;
    MessageBoxInfo ask = QuestionAfterStop(s, L"N", L"1", L"3", 1);
    ASSERT_TRUE(ask.window);
    const size_t logged = s.fixture.Log().size();
    AnswerMessageBox(ask.window, IDCANCEL);
    std::this_thread::sleep_for(milliseconds(1000));
    EXPECT_EQ(s.fixture.Log().size(), logged);  // Cancel: nothing sent

    ask = s.StartAgain();
    ASSERT_TRUE(ask.window);  // still remembered
    AnswerMessageBox(ask.window, IDNO);
    // N1 went in before the stop: beginning anew asks first, and "Да" enters it again on purpose.
    const MessageBoxInfo repeat = s.AnswerRepeatQuestion(IDYES);
    ASSERT_TRUE(repeat.window);
    EXPECT_TRUE(StartsWith(repeat.text, L"Значения этого прогона уже вводились: 1 из 3 (N1), последний раз "))
        << ToUtf8(repeat.text);
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(3, NextStartLine(L"4")));
    // No: from the first value at the first capture.
    EXPECT_EQ(ValuesIn(s.fixture.Log()),
              (std::vector<Landed>{{"1", "1", "N1"}, {"1", "1", "N1"}, {"1", "2", "N2"}, {"1", "3", "N3"}}));

    s.PressStart();
    ASSERT_TRUE(s.AnswerRepeatQuestion(IDYES).window);  // the whole run went in before
    ASSERT_TRUE(s.EscapeOnceStored(5));
    s.Fields(L"N", L"5", L"1");  // a changed start: a new run, no question
    s.PressStart();
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(1, NextStartLine(L"6")));
    EXPECT_EQ(ValuesIn(s.fixture.Log()).back(), (Landed{"1", "1", "N5"}));
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunWizardE2E, AWizardLeftOpenByAStopIsRefusedAtStartAndGetsNothing) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, kQuickDelays, L"dead=2"));
    s.Fields(L"W", L"1", L"3");
    s.PressStart();
    EndMessage(s);  // the dead object stops the run
    // A wizard of the designer stays open over the page, as one left by a stop in mid-barcode does.
    DoubleClickAt(CenterOf(s.fixture.ChildrenOfClass(L"FakeBarcodeObject").at(2)));
    ASSERT_TRUE(WaitUntil([&] { return EventsOf(s.fixture.Log(), "open").size() == 2; }));
    const size_t logged = s.fixture.Log().size();
    s.PressStart();
    MessageBoxInfo box = WaitForMessageBox(s.app.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_NE(box.text.find(L"поверх него открыто окно «Barcode wizard» программы fake_designer.exe"), std::wstring::npos)
        << ToUtf8(box.text);
    AnswerMessageBox(box.window);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(s.fixture.Log().size(), logged);
    EXPECT_EQ(CloseApp(s.app), 0u);
}
