// A late drawing is no page turn, in both pacings: the page key waits for every object's drawing
// (900 ms late on the document's last page, and on a long document), pages alike but for their
// barcodes turn at full speed, a value drawn as before falls back to the quiet rule and the journal
// says so, a tooltip after the key is no turn, a continue point keeps a turn it never saw, and the
// sheet key waits for the last cell's late commit.
#include "automation/watch/page_evidence.h"
#include "automation/watch/page_turn.h"
#include "automation/watch/wizard_wait.h"
#include "fakes/run_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
long long LastDrawing(const RecordingMachine& m) {
    long long last = -1;
    for (const auto& d : m.drawings) last = std::max(last, d.when);
    return last;
}
// The pages the values were drawn on, in the order they were stored.
std::vector<long long> DrawnPages(const RecordingMachine& m) {
    std::vector<long long> pages;
    for (const auto& d : m.drawings) pages.push_back(d.page);
    return pages;
}
long long FirstAt(const RecordingMachine& m, const std::string& what) {
    const auto events = m.Only(what);
    return events.empty() ? -1 : events.front().at;
}
// The time of the `n`-th (1-based) event that is exactly `what`.
long long NthAt(const RecordingMachine& m, const std::string& what, size_t n) {
    for (const auto& e : m.events)
        if (e.what == what && --n == 0) return e.at;
    return -1;
}
const Strings kFirstPage = {"S0001", "S0002", "S0003"};
// The rows of the journal that belong to no barcode, written since it held `before`.
Strings NotesSince(const std::string& before, const std::string& now) {
    const Strings all = RunNotes(now);
    return Strings(all.begin() + static_cast<long>(RunNotes(before).size()), all.end());
}
}  // namespace

TEST_F(Run, EveryValueDrawn900MsLateIsWaitedForOnTheLastPageAndOnALongDocument) {
    InEachPacing([&](const Pacing& pacing) {
        const std::string before = FileOf(folder);
        RecordingMachine last;
        last.lastPage = 1;
        last.drawLateMs = 900;
        Drive(last, Numbered("S", "0001", "6", 3));
        EXPECT_EQ(Values(last), kFirstPage);
        const long long keyAt = FirstAt(last, "key+ 22");
        ASSERT_GE(keyAt, 0);
        // The key went once the last object showed its value, and looked a moment more for the rest.
        EXPECT_GE(keyAt, LastDrawing(last));
        if (pacing.waiting) {
            // The hard case: when the quiet page would have let the key go, no object was drawn yet.
            EXPECT_GT(last.drawings.front().when, NthAt(last, "key+ 0D", 9) + kPageQuietMs);
        }
        EXPECT_EQ(last.What().back(),
                  "message Ошибка: " + PageUnchangedStopMessage(false, PageSeen::kSame, 2000, 3, 6, "S0004"));
        EXPECT_EQ(DrawnPages(last), (std::vector<long long>{1, 1, 1}));

        FreshStartPacedBy(pacing.waiting);
        RecordingMachine longer;
        longer.drawLateMs = 900;
        Drive(longer, Numbered("S", "0001", "9", 3));
        EXPECT_EQ(longer.What().back(), DoneLine(9, "0010"));
        EXPECT_EQ(DrawnPages(longer), (std::vector<long long>{1, 1, 1, 2, 2, 2, 3, 3, 3}));
        EXPECT_EQ(NotesSince(before, FileOf(folder)).size(), 2u);  // the two runs' starts: no fallback
    });
}

TEST_F(Run, PagesAlikeButForTheirBarcodesTurnAtFullSpeedInBothPacings) {
    InEachPacing([&](const Pacing& pacing) {
        RecordingMachine r;
        Drive(r, Numbered("", "1", "9", 3));
        EXPECT_EQ(r.What().back(), DoneLine(9, "10"));
        // From the page's last Enter to its key: the wizard's closing, then two looks that agree.
        for (size_t page = 1; page <= 2; ++page) {
            const long long gap = NthAt(r, "key+ 22", page) - NthAt(r, "key+ 0D", 9 * page);
            if (pacing.waiting)
                EXPECT_LE(gap, kPageSteadyMs + 2 * kTurnLookMs) << page;
            else
                EXPECT_LE(gap, 200 + 200 + kPictureSettleMs) << page;
        }
    });
}

TEST_F(Run, AValueDrawnAsBeforeFallsBackToTheQuietRuleAndTheJournalSaysSo) {
    InEachPacing([&](const Pacing&) {
        const std::string before = FileOf(folder);
        RecordingMachine r;
        r.drawsAsBefore = true;  // the objects show what they showed, each page its own (an earlier run's values)
        r.overlay = [&r](const Position&, long long) -> std::uint64_t { return static_cast<std::uint64_t>(r.pageShown); };
        Drive(r, Numbered("S", "0001", "6", 3));
        EXPECT_EQ(r.What().back(), DoneLine(6, "0007"));
        EXPECT_GE(NthAt(r, "key+ 22", 1) - NthAt(r, "key+ 0D", 9), 2000);
        const Strings notes = NotesSince(before, FileOf(folder));
        ASSERT_EQ(notes.size(), 2u);
        EXPECT_EQ(notes[1], std::string(kJournalNoteLead) + UndrawnNote(1, "1, 2, 3", 2000));
    });
}

TEST_F(Run, ATooltipOrAMarkThatNeverRestsIsNoTurnAndTheStopSaysWhatWasSeen) {
    InEachPacing([&](const Pacing& pacing) {
        // A tooltip over the last object once the key went, on the last page.
        RecordingMachine tip;
        tip.lastPage = 1;
        tip.overlay = [&](const Position& at, long long) -> std::uint64_t {
            return at.x == 103 && !tip.Only("key+ 22").empty() ? 7 : 0;
        };
        Drive(tip, Numbered("S", "0001", "6", 3));
        EXPECT_EQ(Values(tip), kFirstPage);
        EXPECT_EQ(tip.What().back(), "message Ошибка: " + PageConfinedStopMessage(false, "3", 2000, 3, 6, "S0004"));

        // A mark blinking outside the objects: the last page stays, a long document turns at full speed.
        for (const long long pages : {1, 0}) {
            FreshStartPacedBy(pacing.waiting);
            RecordingMachine blink;
            blink.lastPage = pages;
            for (long long t = 0; t < 20000; t += 7) blink.repaintsAt.push_back(t);
            Drive(blink, Numbered("S", "0001", "6", 3));
            EXPECT_EQ(Values(blink).size(), pages ? 3u : 6u);
            if (!pages) {
                EXPECT_EQ(blink.What().back(), DoneLine(6, "0007"));
            }
        }
    });
}

TEST_F(Run, AStopBeforeTheTurnWasSeenLooksAtThePageWhenContinued) {
    InEachPacing([&](const Pacing& pacing) {
        const RunInputs in = Numbered("S", "0001", "6", 3);
        const RunPlan plan = PlanRun(in);
        RecordingMachine stopped;
        stopped.pageTurnLagMs = 5000;  // the designer is slow to turn; Escape comes first
        stopped.onKey = [&](unsigned char vk) {
            if (vk == 0x22) stopped.escapeAt = stopped.now + 5;
        };
        Drive(stopped, in);
        EXPECT_EQ(stopped.What().back(), kStopLine);
        // On disk too, for a program that is killed instead.
        TempFolder left("left");
        CopyRunFiles(folder, left);
        const std::optional<SavedRun> saved = LoadedByANewProcess(left, folder);
        ASSERT_TRUE(saved);
        EXPECT_TRUE(saved->point.turnUnseen);
        EXPECT_EQ(saved->point.turnFrom.size(), 3u);
        EXPECT_FALSE(saved->point.turnDue);

        const struct {
            const char* name;
            long long page;   // the page the editor shows now
            bool tooltip;     // something over object 2
            bool keyFirst;
            bool warned;
        } cases[] = {
            {"unchanged: the turn is still due", 1, false, true, false},
            {"turned meanwhile: on without a key", 2, false, false, false},
            {"cannot tell: the question asks the user to look", 1, true, false, true},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            ForgetRunStop();
            ASSERT_TRUE(LoadedByANewProcess(left, folder));
            RecordingMachine again;
            again.drawings = stopped.drawings;
            again.pageShown = c.page;
            again.now = stopped.now;  // the designer still shows what it drew
            if (c.tooltip) again.overlay = [](const Position& at, long long) -> std::uint64_t { return at.x == 102 ? 9 : 0; };
            RunAutomation(again, in);
            const auto asked = again.Only("ask");
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0].what.find("страница могла не смениться") != std::string::npos, c.warned);
            EXPECT_EQ(Count(again, "key+ 22"), c.keyFirst ? 1u : 0u);
            EXPECT_EQ(Values(again), (Strings{"S0004", "S0005", "S0006"}));
            EXPECT_EQ(again.What().back(), DoneLine(3, "0007"));
        }
        ContinuePoint unseen{3, false, false};
        unseen.turnUnseen = true;
        EXPECT_NE(ContinueQuestion(in, plan, unseen).find("Проверьте, какая страница открыта в редакторе: для S0004 нужна "
                                                         "страница 2"),
                  std::string::npos);
        (void)pacing;
    });
}

TEST_F(Run, TheSheetKeyWaitsForTheLastCellsLateCommit) {
    for (const int pageDelay : {400, 80})  // a short page delay waits kCommitSeenMs all the same
    InEachPacing([&](const Pacing&) {
        SCOPED_TRACE(pageDelay);
        delays.pageSwitchDelay = pageDelay;
        RunInputs cells = Numbered("", "1", "4", 2);
        cells.excelMode = true;
        RecordingMachine last;
        last.lastPage = 1;
        last.commitLateMs = 300;
        Drive(last, cells);
        EXPECT_EQ(Values(last), (Strings{"'1", "'2"}));  // numbers go in as text
        EXPECT_GE(FirstAt(last, "key+ 22"), FirstAt(last, "key+ 0D") + 300);
        EXPECT_EQ(last.What().back(), "message Ошибка: " + PageUnchangedStopMessage(true, PageSeen::kSame, 2000, 2, 4, "3"));

        RecordingMachine longer;
        longer.commitLateMs = 300;
        Drive(longer, cells);
        EXPECT_EQ(longer.What().back(), SheetDoneLine("5"));
        EXPECT_EQ(DrawnPages(longer).back(), 2);
    });
}

TEST_F(Run, ATrialStopInASheetCommitsItsLastCellFirst) {
    RunInputs cells = Numbered("", "1", "4", 2);
    cells.excelMode = true;
    delays.trialRun = true;
    RecordingMachine r;
    r.commitLateMs = 100;
    Drive(r, cells);
    const Strings w = r.What();
    ASSERT_FALSE(w.empty());
    EXPECT_NE(w.back().find("Пробный запуск"), std::string::npos) << w.back();
    size_t lastKey = 0, lastEnter = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        if (TypedCharacter(w[i])) lastKey = i;
        if (w[i] == "key+ 0D") lastEnter = i;
    }
    EXPECT_GT(lastEnter, lastKey);  // the Enter after the last cell's keys
    EXPECT_EQ(Count(r, "key+ 22"), 0u);
    EXPECT_GE(r.now, FirstAt(r, "key+ 0D") + 100);  // and its commit seen before the stop
}
