// Positions follow the window they were captured on: moved with it at "СТАРТ", refused when it
// changed its size or is not there, and a stop continued after the window moved.
#include "automation/run/run.h"
#include "automation/run/run_journal.h"
#include "automation/watch/window_follow.h"
#include "fakes/run_fixture.h"
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const CapturedWindow kDesigner = {"designer.exe", "PageWnd", {400, 50, 600, 500}};

RecordingMachine::KindOfWindow Placed(int left, int top, int width, int height, unsigned n = 2) {
    return {kDesigner.program, kDesigner.className, {RecordingMachine::Window(n), {left, top, width, height}}};
}

// Three positions on the designer's page, with its window recorded unless `bare`.
RunInputs OnDesigner(const std::string& total, bool bare = false) {
    RunInputs in = Numbered("", "1", total, 3);
    for (Position& p : in.positions)
        if (!bare) p.window = kDesigner;
    return in;
}

Strings Clicks(const RecordingMachine& m) {
    Strings out;
    for (const Filled& f : FilledBarcodes(m)) out.push_back(f.at);
    return out;
}
}  // namespace

TEST_F(Run, PositionsFollowAMovedWindowAndARunIsRefusedWhenItWasResizedOrIsGone) {
    Fast();
    const std::string kNothing = "\nНичего не отправлено.";
    const struct {
        const char* name;
        std::vector<RecordingMachine::KindOfWindow> windows;
        bool bare;
        Strings clicks;  // empty: refused
        std::string message;
    } cases[] = {
        {"where it was", {Placed(400, 50, 600, 500)}, false, {"101,201", "102,202", "103,203"}, ""},
        {"moved by (90, 60)", {Placed(490, 110, 600, 500)}, false, {"191,261", "192,262", "193,263"}, ""},
        // Another document of the same program above it: the one where the positions were captured.
        {"two, the lower one where it was", {Placed(380, 40, 600, 500, 3), Placed(400, 50, 600, 500)}, false,
         {"101,201", "102,202", "103,203"}, ""},
        {"two, one of them another size", {Placed(380, 40, 700, 500, 3), Placed(490, 110, 600, 500)}, false,
         {"191,261", "192,262", "193,263"}, ""},
        {"where it was, another document over its positions", {Placed(400, 50, 600, 500, 3)}, false, {},
         "Захваты закрыты окном «window 20» программы program2.exe, а захвачены на окне «window 30» программы "
         "program3.exe: щелчки заполнили бы не тот документ.\n\nУберите окно, лежащее поверх, или выведите нужный "
         "документ вперёд и нажмите СТАРТ снова.\nНичего не отправлено."},
        {"two, both moved", {Placed(380, 40, 600, 500, 3), Placed(490, 110, 600, 500)}, false, {},
         "Открыто несколько окон программы designer.exe (класс PageWnd) того же размера, что и окно, на котором "
         "сделан захват 1, и ни одно из них не стоит на прежнем месте: неизвестно, какой документ заполнять.\n\n"
         "Оставьте открытым только нужный документ (или верните его окно на прежнее место) и нажмите СТАРТ снова, "
         "или сделайте захваты заново." + kNothing},
        {"no window recorded: as captured", {Placed(490, 110, 600, 500)}, true, {"101,201", "102,202", "103,203"}, ""},
        {"resized", {Placed(490, 110, 640, 500)}, false, {},
         "Окно «window 20» программы designer.exe (класс PageWnd), на котором сделан захват 1, изменило размер: при "
         "захвате его рабочая область была 600x500, а теперь 640x500 пикселей. Объекты на странице могли сместиться, и "
         "щелчки попали бы мимо.\n\nВерните окну прежний размер или сделайте захваты заново." + kNothing},
        {"gone", {}, false, {},
         "Окно программы designer.exe (класс PageWnd), на котором сделан захват 1, не найдено: программа закрыта "
         "или её окно свёрнуто.\n\nОткройте документ в редакторе (разверните окно) и нажмите СТАРТ снова или сделайте "
         "захваты заново." + kNothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMachine r;
        r.windowsOfKind = c.windows;
        Drive(r, OnDesigner("3", c.bare));
        EXPECT_EQ(Clicks(r), c.clicks);
        if (c.clicks.empty()) {
            EXPECT_EQ(r.What(), (Strings{"message Ошибка: " + c.message}));
            continue;
        }
        EXPECT_EQ(r.What().back(), DoneLine(3, "4"));
        const bool moved = c.clicks.front() != "101,201";
        EXPECT_EQ(r.Only("rows").size(), moved ? 1u : 0u);
        EXPECT_EQ(ProgressText(r.progress.front().second).rfind("Захваты сдвинуты вслед за окном на (", 0) == 0, moved);
        EXPECT_EQ(ProgressText(r.progress[1].second).rfind("1 из 3", 0), 0u);  // for a moment only
    }
}

TEST_F(Run, TheRowsAndTheJournalShowTheMoveAndAStopIsContinuedAfterTheWindowMovedAgain) {
    Fast();
    const RunInputs in = OnDesigner("5");
    m.windowsOfKind = {Placed(490, 110, 600, 500)};
    int pumps = 0;
    m.onPump = [&] {
        if (++pumps == 5) m.escapeAt = m.now;  // after three of five: page 1's pump and 3 barcodes, page 2's
    };
    Drive(m, in);
    EXPECT_EQ(m.Only("rows").front().what, "rows 191,261 192,262 193,263");
    ASSERT_EQ(Shown(m).back(), "stopped 3/5 4");
    const std::string journal = FileOf(folder);
    // The move is a note of its own after the run's first row, not a barcode's result.
    EXPECT_NE(journal.find(";;;;заметка: Захваты сдвинуты вслед за окном на (90, 60)\r\n"), std::string::npos)
        << journal;
    EXPECT_EQ(RunNotes(journal), (Strings{"прогон: 5 значений с 1, фиксированные задержки",
                                          "заметка: Захваты сдвинуты вслед за окном на (90, 60)"}));
    EXPECT_EQ(JournalColumn(journal, 3), (Strings{"1", "2", "3", "4"}));

    // The main window now holds the moved points; the window moves on before the next "СТАРТ".
    WindowFollow held = FollowWindows(m, in.positions, 3);
    RunInputs next = in;
    next.positions = held.positions;
    RecordingMachine again;
    again.windowsOfKind = {Placed(500, 100, 600, 500)};
    again.answer = Machine::Answer::kYes;
    RunAutomation(again, next);
    EXPECT_EQ(again.Only("ask").size(), 1u);  // the same positions on the same window: the same run
    EXPECT_EQ(Clicks(again), (Strings{"201,251", "202,252"}));
    EXPECT_EQ(again.What().back(), DoneLine(2, "6"));
    EXPECT_EQ(RunNotes(FileOf(folder)),
              (Strings{"прогон: 5 значений с 1, фиксированные задержки",
                       "заметка: Захваты сдвинуты вслед за окном на (90, 60)",
                       "прогон: 5 значений с 1, продолжение с 4, фиксированные задержки",
                       "заметка: Захваты сдвинуты вслед за окном на (10, -10)"}));

    // The window moved while the question was open: the positions follow it where it is then.
    ForgetRunStop();
    RecordingMachine stopAgain;
    stopAgain.windowsOfKind = {Placed(490, 110, 600, 500)};
    pumps = 0;
    stopAgain.onPump = [&] {
        if (++pumps == 5) stopAgain.escapeAt = stopAgain.now;
    };
    RunAutomation(stopAgain, in);
    RecordingMachine movedMeanwhile;
    movedMeanwhile.windowsOfKind = {Placed(490, 110, 600, 500)};
    movedMeanwhile.onAsk = [&] { movedMeanwhile.windowsOfKind = {Placed(520, 130, 600, 500)}; };
    RunAutomation(movedMeanwhile, next);
    EXPECT_EQ(Clicks(movedMeanwhile), (Strings{"221,281", "222,282"}));

    // A row edited by hand (no window any more) is another input: no question.
    RunInputs edited = next;
    edited.positions[0].window = {};
    EXPECT_FALSE(SameRunInputs(edited, next));
}
