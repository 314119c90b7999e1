// What only the real windows show of the page key's evidence, in both pacings: a designer that draws
// every value 900 ms late (its last page stops the run with page 1 keeping its values; a long
// document completes, each value on its own page), pages alike but for their barcodes turning at
// full speed, and a spreadsheet whose last cell commits 300 ms late.
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

using namespace harness;

namespace {
// The spreadsheet with a point on each of `perPage` cells, the delays of that pacing.
bool OpenSheet(Scene& s, bool waiting, const std::wstring& options) {
    return s.Open(L"fake_spreadsheet", L"FakeSpreadsheet", L"FakeCell", 2, waiting ? kWaitingDelays : kQuickDelays,
                  options);
}
}  // namespace

TEST(RunPageEvidenceE2E, EveryValueDrawn900MsLateStopsOnTheLastPageAndCompletesALongDocument) {
    InBothPacings(L"pages=1 drawlate=900", [](Scene& s, bool) {
        const std::wstring message = s.RunAndAnswer(L"D", L"0001", L"6");
        EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен: после Page Down страница не сменилась"))
            << ToUtf8(message);
        std::this_thread::sleep_for(milliseconds(1200));
        const auto log = s.fixture.Log();
        EXPECT_EQ(ValuesIn(log), Expected("D", 1, 3, 3));  // page 1 keeps D0001..D0003, nothing more typed
        EXPECT_EQ(EventsOf(log, "shown").size(), 3u);
        // The key went after the last drawing.
        const auto shown = EventsOf(log, "shown"), last = EventsOf(log, "last");
        ASSERT_EQ(last.size(), 1u);
        ASSERT_FALSE(shown.empty());
        EXPECT_GT(last[0].us, shown.back().us);
        ExpectNothingStrayAndClose(s);
    });
    InBothPacings(L"drawlate=900", [](Scene& s, bool) {
        EXPECT_EQ(s.RunAndAnswer(L"E", L"0001", L"9"), L"Готово: " + FinishedText(9, NextStartLine(L"0010")));
        std::this_thread::sleep_for(milliseconds(1200));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("E", 1, 9, 3));
        EXPECT_TRUE(ReadJournal(s.dir).notes.empty());  // every drawing was seen: no quiet rule
        ExpectNothingStrayAndClose(s);
    });
}

// A speed, timed alone (a Timing suite): with other suites beside it the machine's load is in the figure.
TEST(RunPageEvidenceTiming, PagesAlikeButForTheirBarcodesTurnAtFullSpeed) {
    InBothPacings(L"", [](Scene& s, bool waiting) {
        EXPECT_EQ(s.RunAndAnswer(L"A", L"0001", L"12"), L"Готово: " + FinishedText(12, NextStartLine(L"0013")));
        std::this_thread::sleep_for(milliseconds(300));
        const auto log = s.fixture.Log();
        EXPECT_EQ(ValuesIn(log), Expected("A", 1, 12, 3));
        // From each page's last stored value to its turn.
        std::vector<long long> turnsMs;
        const auto values = EventsOf(log, "value"), pages = EventsOf(log, "page");
        ASSERT_EQ(pages.size(), 3u);
        for (size_t p = 0; p < pages.size(); ++p) turnsMs.push_back((pages[p].us - values[3 * p + 2].us) / 1000);
        std::sort(turnsMs.begin(), turnsMs.end());
        std::printf("%s: from a page's last value to its turn, median %lld ms\n", waiting ? "waiting" : "fixed",
                    turnsMs[1]);
        // Waiting: the wizard's closing, a look and one more; the quiet page of 300 ms is gone.
        // Fixed: the Enter and gap delays and two looks 30 ms apart, with the same 260 ms to spare.
        EXPECT_LT(turnsMs[1], waiting ? 250 : kQuickDelays[4] + kQuickDelays[5] + 260);
        ExpectNothingStrayAndClose(s);
    });
}

TEST(RunPageEvidenceE2E, ASpreadsheetThatCommitsItsLastCell300MsLateIsNoSheetSwitch) {
    for (const bool waiting : {false, true}) {
        SCOPED_TRACE(waiting ? "waiting" : "fixed");
        {
            Scene s;
            ASSERT_TRUE(OpenSheet(s, waiting, L"sheets=1 commitlate=300"));
            SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
            const std::wstring message = s.RunAndAnswer(L"", L"0001", L"4");
            EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен: после Ctrl+Page Down лист не сменился"))
                << ToUtf8(message);
            std::this_thread::sleep_for(milliseconds(500));
            const auto log = s.fixture.Log();
            EXPECT_EQ(ValuesIn(log), Expected("", 1, 2, 2));  // sheet 1 keeps 1 and 2
            EXPECT_EQ(EventsOf(log, "last").size(), 1u);
            s.fixture.process.Kill();
            EXPECT_EQ(CloseApp(s.app), 0u);
        }
        Scene s;
        ASSERT_TRUE(OpenSheet(s, waiting, L"commitlate=300"));
        SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
        EXPECT_EQ(s.RunAndAnswer(L"", L"0001", L"6"), L"Готово: Генерация завершена!\n\n" + NextStartLine(L"0007"));
        PostMessageW(s.fixture.window, WM_LBUTTONDOWN, 0, 0);  // the last value, still in its editor, is stored
        std::this_thread::sleep_for(milliseconds(500));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("", 1, 6, 2));
        s.fixture.process.Kill();
        EXPECT_EQ(CloseApp(s.app), 0u);
    }
}
