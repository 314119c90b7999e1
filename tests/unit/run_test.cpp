// The automation run over a recording machine: values, order, pages, waits, refusals and stops.
#include "automation/input/input.h"
#include "automation/run/run.h"
#include "automation/run/run_progress.h"
#include "delays/delay_settings.h"
#include "fakes/recording_machine.h"
#include "fakes/run_fixture.h"
#include "platform/caption_text.h"
#include "platform/text_parse.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

TEST_F(Run, ThreeNumberedBarcodesOnOnePageEventByEvent) {
    Drive(m, Numbered("AB", "0001", "3", 5));
    Strings expected = {"hook on", "wait 1000", "pump"};
    for (int i = 1; i <= 3; ++i) {
        const Strings one = WizardBarcode("10" + std::to_string(i) + ",20" + std::to_string(i),
                                          "AB000" + std::to_string(i), i == 3);
        expected.insert(expected.end(), one.begin(), one.end());
    }
    expected.insert(expected.end(), {"hook off", DoneLine(3, "0004")});
    EXPECT_EQ(m.What(), expected);
    EXPECT_FALSE(AutomationRunning());
    EXPECT_FALSE(m.preciseTiming);
}

TEST_F(Run, OneBarcodeTakesAboutTwoSecondsWithDefaultDelays) {
    Drive(m, Numbered("AB", "0001", "2", 5));
    const auto cursors = m.Only("cursor");
    ASSERT_EQ(cursors.size(), 2u);
    // 200 + 700 + 100 + 6 x 21 + 6 x 20 + 50 + 3 x 200 + 200, from one double-click's cursor to the next
    EXPECT_EQ(cursors[1].at - cursors[0].at, 2096);
}

TEST_F(Run, SevenBarcodesFivePerPageSwitchPageOnceWithItsWaits) {
    Drive(m, Numbered("", "1", "7", 5));
    const std::vector<Filled> expected = {{"101,201", "1"}, {"102,202", "2"}, {"103,203", "3"}, {"104,204", "4"},
                                          {"105,205", "5"}, {"101,201", "6"}, {"102,202", "7"}};
    EXPECT_EQ(FilledBarcodes(m), expected);
    EXPECT_EQ(Count(m, "key+ 22"), 1u);
    // After barcode 5: between-barcodes wait, a second look at the page (at rest), Page Down with the
    // Enter delay, the page delay, then the page's pump point and the barcode's.
    const Strings w = m.What();
    size_t pageDown = 0;
    while (w[pageDown] != "key+ 22") ++pageDown;
    EXPECT_EQ(Strings(w.begin() + pageDown - 2, w.begin() + pageDown + 6),
              (Strings{"wait 200", "wait 30", "key+ 22", "key- 22", "wait 200", "wait 400", "pump", "pump"}));
    // No page switch after the last barcode, and no between-barcodes wait either.
    EXPECT_EQ(Strings(w.end() - 5, w.end() - 1), (Strings{"key+ 0D", "key- 0D", "wait 200", "hook off"}));
    EXPECT_EQ(w.back(), DoneLine(7, "8"));
}

TEST_F(Run, RunningNumbersKeepTheWidthOfTheStartText) {
    struct Case {
        const char* start;
        const char* total;
        Strings values;
        const char* next;  // where the next run without repeats starts
    } cases[] = {
        {"7", "4", {"7", "8", "9", "10"}, "11"},
        {"0", "3", {"0", "1", "2"}, "3"},
        {"", "3", {"0", "1", "2"}, "3"},
        {"0099", "3", {"0099", "0100", "0101"}, "0102"},
        {"09999", "2", {"09999", "10000"}, "10001"},
        {"4600000000001", "3", {"4600000000001", "4600000000002", "4600000000003"}, "4600000000004"},
        {"9223372036854775806", "5", {"9223372036854775806", "9223372036854775807"}, ""},  // no wrap-around
        {" 0001 ", "2", {"0001", "0002"}, "0003"},  // blanks at the ends make no wider numbers
        {"\t42\r\n", "2", {"42", "43"}, "44"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        Fast();
        RecordingMachine r;
        Drive(r, Numbered("", c.start, c.total, 5));
        EXPECT_EQ(Values(r), c.values);
        EXPECT_EQ(r.What().back(), DoneLine(static_cast<long long>(c.values.size()), c.next));
    }
}

TEST(RunNumbers, ReadLikeAtoiButSixtyFourBitsWide) {
    const struct {
        const char* text;
        long long value;
    } cases[] = {
        {"5", 5},           {"  42", 42},       {"+8", 8},    {"-17", -17},        {"", 0},
        {"abc", 0},         {"30x", 30},        {"0001", 1},  {"4600000000001", 4600000000001LL},
        {"9223372036854775807", LLONG_MAX},     {"9999999999999999999", LLONG_MAX},
        {"-9223372036854775808", LLONG_MIN},    {"-99999999999999999999", LLONG_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLeadingInteger(c.text), c.value) << c.text;
}

TEST(RunNumbers, TotalIsBoundedByTheNumbersLeft) {
    RunInputs in;
    in.positions = {{1, 1}};
    in.startText = "9223372036854775800";
    in.totalText = "9999999999999999999";
    EXPECT_EQ(PlanRun(in).total, 8);
    in.startText = "0";
    EXPECT_EQ(PlanRun(in).total, LLONG_MAX);
    in.totalText = "99999999999";  // beyond 32 bits, taken as written
    EXPECT_EQ(PlanRun(in).total, 99999999999LL);
}

TEST(VariableList, NonBlankLinesTrimmedInOrder) {
    const struct {
        const char* text;
        Strings lines;
    } cases[] = {
        {"", {}},
        {" \r\n\t\r\n  ", {}},
        {"  A1 \r\n\r\nB 2\r\n", {"A1", "B 2"}},
        {"x\ny\nz", {"x", "y", "z"}},
        {"\t tab \t\n", {"tab"}},
        {"last without line end", {"last without line end"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitListLines(c.text), c.lines) << c.text;
}

TEST_F(Run, ListModeUsesEveryLineOnceWithThePrefixAndIgnoresTheTotal) {
    Fast();
    RunInputs in = Numbered("", "0001", "0", 5);
    in.listMode = true;
    in.listText = " A1 \r\n\r\nB 2\r\n";
    Drive(m, in);
    EXPECT_EQ(Values(m), (Strings{"A1", "B 2"}));

    RecordingMachine withPrefix;
    in.prefix = "P";
    Drive(withPrefix, in);
    EXPECT_EQ(Values(withPrefix), (Strings{"PA1", "PB 2"}));
    EXPECT_EQ(withPrefix.What().back(), ListDoneLine(2, "B 2"));
}

TEST_F(Run, RefusalsSendNothing) {
    const std::vector<Position> unset = {{10, 10}, {0, 0}, {30, 30}};
    struct Case {
        const char* name;
        bool listMode;
        const char* listText;
        const char* total;
        std::vector<Position> positions;
        const char* message;
        const char* start = "1";
    } cases[] = {
        {"blank list", true, " \r\n\r\n", "5", FivePositions(), kEmptyListMessage},
        {"empty list", true, "", "5", FivePositions(), kEmptyListMessage},
        {"total 0", false, "", "0", FivePositions(), kBadTotalMessage},
        {"empty total", false, "", "", FivePositions(), kBadTotalMessage},
        {"word total", false, "", "abc", FivePositions(), kBadTotalMessage},
        {"negative total", false, "", "-4", FivePositions(), kBadTotalMessage},
        {"one position unset", false, "", "5", unset, kMissingPositionsMessage},
        {"no positions at all", false, "", "5", {}, kMissingPositionsMessage},
        {"list mode checks positions", true, "a", "", unset, kMissingPositionsMessage},
        // Cut to 19 characters these would count from 1234567890123456789 and from 0.
        {"start of 20 digits", false, "", "5", FivePositions(), kStartTooLongMessage, "12345678901234567890"},
        {"start of 23 zeros and a 1", false, "", "5", FivePositions(), kStartTooLongMessage, "000000000000000000000001"},
        // Counted as atoi would, these fill 0, 1, 2... or 12, 13: labels other than the field shows.
        {"prefix in the start field", false, "", "5", FivePositions(), kStartNotDigitsMessage, "A-0001"},
        {"blank inside the start", false, "", "5", FivePositions(), kStartNotDigitsMessage, "00 01"},
        {"signed start", false, "", "5", FivePositions(), kStartNotDigitsMessage, "-2"},
        {"letters after the digits", false, "", "5", FivePositions(), kStartNotDigitsMessage, "12abc"},
        {"list mode ignores the start", true, "a", "", unset, kMissingPositionsMessage, "A-0001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMachine r;
        RunInputs in = Numbered("", c.start, c.total, 5);
        in.listMode = c.listMode;
        in.listText = c.listText;
        in.positions = c.positions;
        Drive(r, in);
        EXPECT_EQ(r.What(), Strings{Refusal(c.message)});
        EXPECT_FALSE(AutomationRunning());
    }
}

TEST_F(Run, APositionOffTheScreensIsRefusedBeforeAnyInput) {
    RunInputs in = Numbered("", "1", "5", 5);
    m.screen = {0, 0, 1280, 1024};
    in.positions[2] = {125830000, 300};
    Drive(m, in);
    EXPECT_EQ(m.What(), Strings{Refusal(OffScreenRefusal(in.positions, {3}).c_str())});
    EXPECT_FALSE(AutomationRunning());
}

TEST_F(Run, APositionWithOneCoordinateZeroCountsAsSet) {
    Fast();
    RunInputs in = Numbered("", "1", "2", 2);
    in.positions = {{0, 350}, {40, 0}};
    Drive(m, in);
    EXPECT_EQ(FilledBarcodes(m), (std::vector<Filled>{{"0,350", "1"}, {"40,0", "2"}}));
}

TEST_F(Run, PauseHeldWhileTypingStopsBeforeTheFirstEnter) {
    m.pauseFrom = 1000 + 200 + 700 + 100 + 10;  // inside the typing of the first value
    Drive(m, Numbered("AB", "0001", "3", 5));
    EXPECT_EQ(Count(m, "key+ 0D"), 0u);
    EXPECT_EQ(m.Typed(), u"AB0001");  // the value already under way is completed, nothing after it
    const Strings w = m.What();
    EXPECT_EQ(Strings(w.end() - 3, w.end()), (Strings{"hook off", "flash", kStopLine}));
    EXPECT_FALSE(AutomationRunning());
    EXPECT_FALSE(m.preciseTiming);
}

TEST_F(Run, EscapeEndsALongWaitAtOnceAndNothingIsSentAfterIt) {
    delays.masterOpenDelay = 5000;  // a step that blocks far longer than a hook may be kept waiting
    m.escapeAt = 1000 + 200 + 300;
    Drive(m, Numbered("AB", "0001", "3", 5));
    EXPECT_FALSE(m.HasInputAfter(m.escapeAt));
    EXPECT_EQ(m.now, m.escapeAt);
    const Strings w = m.What();
    EXPECT_EQ(Strings(w.end() - 4, w.end()), (Strings{"wait 5000", "hook off", "flash", kStopLine}));
}

TEST_F(Run, EscapeBetweenTheCharactersOfAValueStopsTheTyping) {
    Fast();
    m.escapeAt = 1 + 1 + 1 + 100 + 2 + 1;  // while the second character's key is down
    Drive(m, Numbered("", "123456", "2", 5));
    EXPECT_FALSE(m.HasInputAfter(m.escapeAt));
    EXPECT_EQ(m.What().back(), kStopLine);
    EXPECT_EQ(Count(m, "key+ 0D"), 0u);
}

TEST_F(Run, InputTheSystemRefusesStopsTheRunWithAnErrorNeverTheCompletionMessage) {
    Fast();
    m.inputBlockedAt = 1 + 1 + 1 + 100 + 2 + 1;  // refused while the second character goes out
    Drive(m, Numbered("", "123456", "2", 5));
    EXPECT_FALSE(m.HasInputAfter(m.inputBlockedAt));
    const Strings w = m.What();
    EXPECT_EQ(Strings(w.end() - 3, w.end()),
              (Strings{"hook off", "flash", Refusal(kInputBlockedMessage)}));
    EXPECT_FALSE(AutomationRunning());
    EXPECT_FALSE(m.preciseTiming);
}

TEST_F(Run, ClosingTheWindowEndsTheRunQuietlyAtThePumpPoint) {
    Fast();
    int pumps = 0;
    m.onPump = [&] {
        if (++pumps == 4) m.closedAt = m.now;  // the close is dispatched at the second barcode's pump point
    };
    Drive(m, Numbered("", "1", "5", 5));
    EXPECT_EQ(Values(m), (Strings{"1", "2"}));
    EXPECT_FALSE(m.HasInputAfter(m.closedAt));
    EXPECT_EQ(m.What().back(), "hook off");  // neither the stop message nor the completion message
    EXPECT_FALSE(AutomationRunning());
    EXPECT_FALSE(m.preciseTiming);
}

TEST_F(Run, StartPressedDuringARunStartsNoSecondRun) {
    Fast();
    const RunInputs in = Numbered("", "1", "3", 5);
    m.onPump = [&] { RunAutomation(m, in); };
    Drive(m, in);
    EXPECT_EQ(Values(m), (Strings{"1", "2", "3"}));
    EXPECT_EQ(Count(m, "hook on"), 1u);
    EXPECT_EQ(Count(m, DoneLine(3, "4")), 1u);
    // and once it has ended a new run may start
    RecordingMachine again;
    Drive(again, in);
    EXPECT_EQ(Values(again), (Strings{"1", "2", "3"}));
}

TEST_F(Run, ValuesLongerThanNinetyNineCharactersAreTypedWhole) {
    Fast();
    const std::string prefix(150, 'x');
    Drive(m, Numbered(prefix, "0001", "1", 5));
    EXPECT_EQ(Values(m), Strings{prefix + "0001"});
    // the wait after typing counts every character
    EXPECT_EQ(Count(m, "wait " + std::to_string(154 + 50)), 1u);
}

TEST_F(Run, DelaysChangedAtAPumpPointApplyFromTheNextWait) {
    int pumps = 0;
    m.onPump = [&] {
        if (++pumps == 3) delays.doubleClickDelay = 77;  // settings applied at the second barcode's pump
    };
    Drive(m, Numbered("", "1", "3", 5));
    EXPECT_EQ(Count(m, "wait 77"), 2u);
}

TEST_F(Run, HugeDelaysAreBoundedAndTheTypingWaitDoesNotOverflow) {
    Fast();
    delays.typingDelay = INT_MAX;
    Drive(m, Numbered("", "1", "1", 1));
    for (const auto& e : m.Only("wait ")) EXPECT_LE(std::stoul(e.what.substr(5)), kMaxDelayMs) << e.what;
    EXPECT_EQ(m.What().back(), DoneLine(1, "2"));
}

TEST_F(Run, SpreadsheetModeFillsCellsAndTurnsSheetsAfterEndingTheLastCellsEdit) {
    Fast();
    RunInputs in = Numbered("a", "7", "3", 2);
    in.excelMode = true;
    Drive(m, in);
    EXPECT_EQ(FilledBarcodes(m), (std::vector<Filled>{{"101,201", "A7"}, {"102,202", "A8"}, {"101,201", "A9"}}));
    EXPECT_EQ(Count(m, "key+ 10"), 0u);  // small letters without Shift
    // The sheet's last cell: Enter ends its edit, the sheet is looked at twice (at rest), then
    // Ctrl+Page Down once, the page delay from the sheet switch and once more from the run. No other
    // Enter: the next click ends a cell's edit.
    EXPECT_EQ(Count(m, "key+ 0D"), 1u);
    const Strings w = m.What();
    size_t at = 0;
    while (w[at] != "key+ 0D") ++at;
    EXPECT_EQ(Strings(w.begin() + at, w.begin() + at + 10),
              (Strings{"key+ 0D", "key- 0D", "wait 30", "key+ 11", "key+ 22", "key- 22", "key- 11", "wait 1",
                       "wait 1", "pump"}));
    EXPECT_EQ(Count(m, "key+ 11"), 1u);
    EXPECT_EQ(w.back(), SheetDoneLine("10"));
}

TEST_F(Run, SpreadsheetModeTypesCyrillicExactly) {
    Fast();
    RunInputs in = Numbered("\xC0\xE1", "1", "1", 1);  // А б
    in.excelMode = true;
    Drive(m, in);
    EXPECT_EQ(m.Typed(), u"\u0410\u0431");
    EXPECT_EQ(Count(m, "key+ 10"), 0u);
    EXPECT_EQ(Count(m, "key+ 31"), 1u);
}

TEST_F(Run, SpreadsheetModeFollowsALayoutSwitchedBetweenValues) {
    Fast();
    RunInputs in = Numbered("Ab", "1", "2", 2);
    in.excelMode = true;
    int pumps = 0;
    m.onPump = [&] {
        if (++pumps == 3) m.layout = &RussianLayout();  // the page's, the first barcode's, the second's
    };
    Drive(m, in);
    EXPECT_EQ(m.layoutReadAt.size(), 2u);
    EXPECT_EQ(Count(m, "key+ 42"), 1u);  // b as a key on US
    EXPECT_EQ(m.Typed(), u"Ab");         // and as characters on the Russian layout
    EXPECT_EQ(Count(m, "key+ 31") + Count(m, "key+ 32"), 2u);
}

TEST_F(Run, AThousandBarcodesThirtyPerPageFollowTheSchedule) {
    delays = DelaySettings{3, 5, 2, 7, 11, 13, 17};
    RunInputs in = Numbered("N", "0001", "1000", 30);
    for (int i = 0; i < 30; ++i) in.positions[static_cast<size_t>(i)] = {i + 1, 1000 - i};
    Drive(m, in);
    const std::vector<Filled> filled = FilledBarcodes(m);
    ASSERT_EQ(filled.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        const Position at = in.positions[static_cast<size_t>(i % 30)];
        ASSERT_EQ(filled[static_cast<size_t>(i)].at, std::to_string(at.x) + "," + std::to_string(at.y)) << i;
        ASSERT_EQ(filled[static_cast<size_t>(i)].value, "N" + FormatRunningNumber(i + 1, "0001")) << i;
    }
    EXPECT_EQ(Count(m, "key+ 22"), 33u);  // 34 pages
    EXPECT_EQ(Count(m, "key+ 0D"), 3000u);
    const long long perBarcode = 3 + 5 + 100 + 5 * (1 + 2) + (2 * 5 + 50) + 3 * 7;
    EXPECT_EQ(m.now, 17 + 1000 * perBarcode + 999 * 11 + 33 * (kPictureSettleMs + 7 + 13));
    EXPECT_EQ(m.progress.front().second.msLeft, static_cast<double>(m.now));  // the time left foretold at START
}


TEST_F(Run, ProgressAfterEveryBarcodeAndItsTimeLeftMatchTheSchedule) {
    RunInputs list = Numbered("P", "", "", 5);
    list.listMode = true;
    list.listText = "A1\r\n\r\nB 22\r\nC333";
    RunInputs excel = Numbered("a", "7", "3", 2);
    excel.excelMode = true;
    struct Case {
        const char* name;
        RunInputs inputs;
        Strings shown;
        int delayChangedAtPump;  // 0: none
    } cases[] = {
        {"numbers", Numbered("AB", "0001", "3", 5), {"0/3", "1/3", "2/3", "done 3/3"}, 0},
        {"list", list, {"0/3", "1/3", "2/3", "done 3/3"}, 0},
        {"cells and a sheet switch", excel, {"0/3", "1/3", "2/3", "done 3/3"}, 0},
        {"page switches", Numbered("", "98", "7", 3), {"0/7", "1/7", "2/7", "3/7", "4/7", "5/7", "6/7", "done 7/7"}, 0},
        {"delays changed mid-run", Numbered("", "98", "7", 3), {"0/7", "1/7", "2/7", "3/7", "4/7", "5/7", "6/7", "done 7/7"}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        delays = DelaySettings{3, 5, 2, 7, 11, 13, 17};
        RecordingMachine r;
        int pumps = 0;
        long long changedAt = 0;
        r.onPump = [&] {
            if (++pumps != c.delayChangedAtPump) return;
            delays = DelaySettings{30, 50, 20, 70, 110, 130, 170};
            changedAt = r.now;
        };
        Drive(r, c.inputs);
        EXPECT_EQ(Shown(r), c.shown);
        ASSERT_FALSE(r.progress.empty());
        // Each figure is the time the run then still took; after a change, counted with the new delays
        // (a figure shown at the very moment of the change was counted before it).
        const long long end = r.progress.back().first;
        for (const auto& [at, p] : r.progress) {
            if (at <= changedAt || p.state != RunProgress::State::kRunning) continue;
            EXPECT_EQ(p.msLeft, static_cast<double>(end - at)) << p.stored;
        }
        EXPECT_EQ(end, r.now);
    }
}

TEST_F(Run, AStopNamesTheValueToContinueWith) {
    struct Case {
        const char* name;
        RunInputs inputs;
        int stopAtPump;  // Escape at this pump point, or Pause held from it when negative
        std::string shown;
    } cases[] = {
        {"Escape, zero-filled", Numbered("AB", "0099", "5", 5), 4, "stopped 2/5 AB0101"},
        {"Pause, plain numbers", Numbered("", "9", "5", 5), -3, "stopped 1/5 10"},
        {"Escape before the first barcode", Numbered("X-", "007", "5", 5), 1, "stopped 0/5 X-007"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fast();
        RecordingMachine r;
        int pumps = 0;
        r.onPump = [&] {
            if (++pumps != std::abs(c.stopAtPump)) return;
            (c.stopAtPump > 0 ? r.escapeAt : r.pauseFrom) = r.now;
        };
        Drive(r, c.inputs);
        ASSERT_FALSE(r.progress.empty());
        EXPECT_EQ(Shown(r).back(), c.shown);
        // shown before the stop message, which waits for the user
        EXPECT_EQ(r.progress.back().first, r.events.back().at);
        EXPECT_EQ(r.What().back(), kStopLine);
    }
}

TEST(RunProgressText, CaptionPartsAndTimeLeft) {
    auto running = [](long long stored, long long total, double ms) {
        RunProgress p;
        p.stored = stored;
        p.total = total;
        p.msLeft = ms;
        return p;
    };
    RunProgress stopped;
    stopped.state = RunProgress::State::kStopped;
    stopped.stored = 41;
    stopped.total = 1000;
    stopped.next = "AB0042";
    RunProgress finished;
    finished.state = RunProgress::State::kFinished;
    const struct {
        RunProgress progress;
        const char* text;
    } cases[] = {
        {running(0, 5, 6400), "0 из 5, ещё ~7 с"},
        {running(3, 5, 0), "3 из 5, ещё ~0 с"},
        {running(3, 5, 59000), "3 из 5, ещё ~59 с"},
        {running(3, 5, 59001), "3 из 5, ещё ~1 мин"},
        {running(12, 1000, 2096.0 * 988), "12 из 1000, ещё ~35 мин"},
        // A total of 9999999999999999999 foretells more minutes than a long long holds.
        {running(0, LLONG_MAX, 1e300), "0 из 9223372036854775807, ещё ~16666666667 мин"},
        {running(0, 5, -1), "0 из 5, ещё ~0 с"},
        {stopped, "Остановлено: 41 из 1000, следующий AB0042"},
        {[&] { RunProgress all = stopped; all.stored = 1000; all.next.clear(); return all; }(), "Остановлено: 1000 из 1000"},
        {[&] { RunProgress trial = stopped; trial.note = "пробный запуск"; return trial; }(),
         "Остановлено (пробный запуск): 41 из 1000, следующий AB0042"},
        {finished, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressText(c.progress), c.text);
}

TEST(RunProgressText, CharactersOfHugeAndZeroFilledRunsAreCountedByWidth) {
    RunInputs in;
    in.positions = {{1, 1}};
    const struct {
        const char* prefix;
        const char* start;
        const char* total;
        double chars;
    } cases[] = {
        {"", "0098", "4", 16},                   // 0098 0099 0100 0101
        {"AB", "98", "4", 8 + 2 + 2 + 3 + 3},    // 98 99 100 101
        {"", " 0098 ", "4", 16},                 // the width is the trimmed start's (a signed one is refused)
        {"", "0", "9223372036854775807", 0},     // only checked to be finite and large
    };
    for (const auto& c : cases) {
        in.prefix = c.prefix;
        in.startText = c.start;
        in.totalText = c.total;
        const double chars = TypedChars(in, PlanRun(in));
        if (c.chars > 0) {
            EXPECT_EQ(chars, c.chars) << c.start;
        } else {
            EXPECT_GT(chars, 1e19) << c.start;
        }
    }
}

TEST_F(Run, EscapeInTheWaitAfterALastEnterCountsThatBarcodeAsStored) {
    Fast();
    delays.enterDelay = 10;
    const RunInputs in = Numbered("AB", "0001", "5", 5);
    RecordingMachine dry;
    Drive(dry, in);
    m.escapeAt = dry.Only("key- 0D").at(5).at + 5;  // in the wait after the second barcode's last Enter
    Drive(m, in);
    EXPECT_EQ(Count(m, "key+ 0D"), 6u);
    EXPECT_EQ(Shown(m).back(), "stopped 2/5 AB0003");

    // After the last barcode there is no next value to name.
    RunInputs list = Numbered("P", "", "", 5);
    list.listMode = true;
    list.listText = "A\nB";
    RecordingMachine dryList, last;
    Drive(dryList, list);
    last.escapeAt = dryList.Only("key- 0D").back().at + 5;
    Drive(last, list);
    EXPECT_EQ(Shown(last).back(), "stopped 2/2 ");
    EXPECT_EQ(last.What().back(), kStopLine);
}

TEST(RunProgressText, TheCaptionKeepsARunsProgressOverATitleUpdateButNotAStopNote) {
    // Steps: 't' a title update, 'r' running progress, 's' a stop note, 'e' the end of a run.
    const struct {
        const char* steps;
        const char* caption;
    } cases[] = {
        {"", "T0"},
        {"r", "1 из 5 · T0"},
        {"rt", "1 из 5 · T1"},
        {"rs", "Остановлено · T0"},
        {"rst", "T1"},
        {"rsr", "1 из 5 · T0"},
        {"rre", "T0"},
        {"rtet", "T2"},
    };
    for (const auto& c : cases) {
        CaptionText caption;
        caption.SetTitle("T0");
        int titles = 0;
        for (const char* step = c.steps; *step; ++step) {
            if (*step == 't') caption.SetTitle("T" + std::to_string(++titles));
            if (*step == 'r') caption.SetProgress("1 из 5", true);
            if (*step == 's') caption.SetProgress("Остановлено", false);
            if (*step == 'e') caption.SetProgress("", false);
        }
        EXPECT_EQ(caption.Text(), c.caption) << c.steps;
    }
}
