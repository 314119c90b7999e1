// Spreadsheet mode's cells hold the values' text: every run, on every keyboard layout, through a trial
// stop, a stop and its continue and a cell typed in part, read with the rules of a General cell of a
// sheet in the Russian locale (the stand-in spreadsheet's, fixtures/general_cell.h).
#include "automation/input/cell_entry.h"
#include "automation/run/run.h"
#include "automation/run/run_progress.h"
#include "fakes/run_fixture.h"
#include "fixtures/general_cell.h"
#include "platform/cp1251_utf16.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {
std::wstring Wide(const std::string& cp1251) {
    std::wstring out;
    for (char16_t unit : Utf16FromCp1251Text(cp1251)) out += static_cast<wchar_t>(unit);
    return out;
}

using Cell = std::pair<int, std::string>;              // sheet, point
using Holding = std::pair<std::string, std::wstring>;  // the kind of content, what the cell shows

// The cells of a workbook after the events of one run or more: a double-click opens the cell under
// it with what its editor then shows, Delete (after Home and Shift+End) empties the editor, the keys
// and characters typed go in, and the next double-click, Enter or Ctrl+Page Down ends the editing in
// a General cell; Ctrl+Page Down then shows the next sheet. The keys mean what the machine's layout
// in front makes of them.
class Workbook {
public:
    void Take(const RecordingMachine& r) {
        LayoutKey held;
        for (const auto& e : r.events) {
            const std::string& w = e.what;
            if (w.rfind("mouse", 0) == 0) {
                Commit();
                open_ = Cell{sheet_, w.substr(w.find(" at ") + 4)};
                const auto it = cells_.find(*open_);
                editor_ = it == cells_.end() ? L"" : it->second.Edited();
            } else if (w.rfind("char+ ", 0) == 0) {
                if (open_) editor_ += static_cast<wchar_t>(std::stoul(w.substr(6), nullptr, 16));
            } else if (w.rfind("key", 0) == 0) {
                const bool down = w[3] == '+';
                const auto vk = static_cast<unsigned char>(std::stoul(w.substr(5), nullptr, 16));
                if (vk == kVkShift) held.shift = down;
                else if (vk == kVkControl) held.ctrl = down;
                else if (vk == kVkMenu) held.alt = down;
                else if (down) Key(vk, held, r);
            }
        }
    }
    // What every cell holds once the last one's editing has ended too (the user's click after the run).
    std::map<Cell, Holding> Held() {
        Commit();
        std::map<Cell, Holding> out;
        for (const auto& [cell, content] : cells_) out[cell] = {content.kind, content.shown};
        return out;
    }

private:
    void Commit() {
        if (open_) cells_[*open_] = fixture::GeneralCell(editor_);
        open_.reset();
    }
    void Key(unsigned char vk, const LayoutKey& held, const RecordingMachine& r) {
        if (vk == kVkReturn) {
            Commit();
        } else if (vk == kVkNext && held.ctrl) {
            Commit();
            ++sheet_;
        } else if (vk == kVkDelete) {
            editor_.clear();
        } else if (vk != kVkHome && vk != kVkEnd && open_) {
            editor_ += r.layout->CharacterOf({vk, held.shift, held.ctrl, held.alt}, r.capsLock);
        }
    }
    std::map<Cell, fixture::CellContent> cells_;
    int sheet_ = 1;
    std::optional<Cell> open_;
    std::wstring editor_;
};

// Each cell of the run holding its value as text.
std::map<Cell, Holding> ValuesAsText(const RunInputs& in) {
    const RunPlan plan = PlanRun(in);
    std::map<Cell, Holding> out;
    for (long long i = 0; i < plan.total; ++i) {
        const BarcodePlace place = PlaceOf(in, i);
        const Position at = in.positions[place.capture];
        out[{static_cast<int>(place.page) + 1, std::to_string(at.x) + "," + std::to_string(at.y)}] = {
            "text", Wide(RunValue(in, plan, i))};
    }
    return out;
}

RunInputs CellList(const std::string& lines, int perPage) {
    RunInputs in = Numbered("", "", "", perPage);
    in.listMode = true;
    in.listText = lines;
    in.excelMode = true;
    return in;
}

// The nine values of a list that a General cell would each change but the last.
const char* const kNineLines = "00123\n1-2\n=1+2\n+7 999 123\n12345678901234567890\nИСТИНА\n'quoted\n1,50\nP-0001";
}  // namespace

TEST_F(Run, EveryCellHoldsItsValueAsTextOnEveryLayoutAndTheMarksAreCountedInTheTimeLeft) {
    const RunInputs in = CellList(kNineLines, 3);
    for (const FakeLayout* layout : {&UsLayout(), &RussianLayout(), &FrenchLayout(), &AltGrDigitsLayout()})
        for (bool caps : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "layout " << layout->id << " caps " << caps);
            delays = DelaySettings{3, 5, 2, 7, 11, 13, 17};
            RecordingMachine r;
            r.layout = layout;
            r.capsLock = caps;
            Drive(r, in);
            ASSERT_EQ(r.What().back(), SheetListDoneLine("P-0001"));
            Workbook book;
            book.Take(r);
            EXPECT_EQ(book.Held(), ValuesAsText(in));
            // The apostrophe goes as the character itself, as no key of some layouts types it: one
            // before each value but P-0001, and 'quoted's own.
            EXPECT_EQ(Count(r, "char+ 0027"), 9u);
            // Each figure of the time left is the time the run then still took, the marks typed included.
            const long long end = r.progress.back().first;
            for (const auto& [at, p] : r.progress) {
                if (p.state == RunProgress::State::kRunning) {
                    EXPECT_EQ(p.msLeft, static_cast<double>(end - at)) << p.stored;
                }
            }
        }
}

TEST_F(Run, TheCharactersARunTypesCountTheMarksOfSpreadsheetModeOnly) {
    RunInputs list = CellList(kNineLines, 3);
    RunInputs prefixed = list;
    prefixed.prefix = "Mar";  // a month's name before the values: marked but for MarP-0001
    const RunInputs cases[] = {
        list, prefixed, CellList("A\nB\n", 2),
        [] { RunInputs n = Numbered("", "0098", "4", 2); n.excelMode = true; return n; }(),
        [] { RunInputs n = Numbered("P-", "0098", "4", 2); n.excelMode = true; return n; }(),
        [] { RunInputs n = Numbered("-", "7", "12", 2); n.excelMode = true; return n; }(),
        [] { RunInputs n = Numbered("ЛОЖЬ", "1", "3", 2); n.excelMode = true; return n; }(),
        [&] { RunInputs n = list; n.excelMode = false; return n; }(),  // the wizard takes the value as it is
        Numbered("", "0001", "3", 2),
    };
    for (const RunInputs& in : cases) {
        SCOPED_TRACE(in.prefix + (in.listMode ? " list" : " " + in.startText) + (in.excelMode ? " cells" : " wizard"));
        const RunPlan plan = PlanRun(in);
        double typed = 0;
        for (long long i = 0; i < plan.total; ++i) {
            const std::string value = RunValue(in, plan, i);
            EXPECT_EQ(TypedText(in, value), in.excelMode ? CellEntry(value) : value);
            typed += static_cast<double>(TypedText(in, value).size());
        }
        EXPECT_EQ(TypedChars(in, plan), typed);
    }
}

// A trial run's stop, a stop anywhere with Escape and its continue, and a cell left typed in part
// (cleared and typed again whole): the cells end as the run that never stopped leaves them, each
// holding its value as text, its mark typed once.
TEST_F(Run, TheMarkSurvivesATrialStopAStopAnywhereAndACellTypedInPart) {
    RunInputs in = Numbered("", "0001", "6", 3);
    in.excelMode = true;
    const std::map<Cell, Holding> expected = ValuesAsText(in);
    delays = DelaySettings{3, 5, 2, 7, 11, 13, 17};
    RecordingMachine whole;
    Drive(whole, in);
    Workbook uninterrupted;
    uninterrupted.Take(whole);
    ASSERT_EQ(uninterrupted.Held(), expected);

    {
        SCOPED_TRACE("trial run");
        delays.trialRun = true;
        RecordingMachine trial, continued;
        Drive(trial, in);
        ASSERT_EQ(Shown(trial).back(), "stopped 3/6 0004");
        continued.wizardOnDoubleClick = false;
        continued.drawings = trial.drawings;  // the sheet still shows what the trial typed
        continued.lastClick = trial.lastClick;
        continued.now = trial.now;
        RunAutomation(continued, in);
        ASSERT_EQ(continued.What().back(), SheetDoneLine("0007"));
        Workbook book;
        book.Take(trial);
        book.Take(continued);
        EXPECT_EQ(book.Held(), expected);
        delays.trialRun = false;
    }

    int stops = 0, cutShort = 0;
    for (const auto& e : whole.Only("wait ")) {
        RecordingMachine stopped, continued;
        stopped.escapeAt = e.at + 1;
        Drive(stopped, in);
        // A stop with something left to do: another START continues it.
        const RunProgress& left = stopped.progress.back().second;
        if (left.state != RunProgress::State::kStopped || left.stored >= left.total) continue;
        SCOPED_TRACE("escape at " + std::to_string(stopped.escapeAt));
        ++stops;
        continued.wizardOnDoubleClick = false;
        continued.answer = Machine::Answer::kYes;
        continued.drawings = stopped.drawings;  // the sheet still shows what was typed, on its page
        continued.lastClick = stopped.lastClick;
        continued.pageShown = stopped.Page();
        continued.now = stopped.now;
        RunAutomation(continued, in);
        ASSERT_EQ(continued.What().back(), SheetDoneLine("0007"));
        cutShort += Count(continued, "key+ 2E") > 0;
        Workbook book;
        book.Take(stopped);
        book.Take(continued);
        EXPECT_EQ(book.Held(), expected);
    }
    EXPECT_GT(stops, 10);
    EXPECT_GT(cutShort, 0);
}
