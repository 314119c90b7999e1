// A stopped run continues where it left off: the question at "СТАРТ", and a continued run that
// sends exactly the rest of what the uninterrupted run would have sent.
#include "automation/run/run.h"
#include "fakes/run_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {
// The events from barcode `index`'s own pump point to the end (its first click follows that pump),
// but for the completion message, which counts the barcodes of its own run.
Strings TailFromBarcode(const RecordingMachine& r, size_t index) {
    Strings w = r.What();
    if (!w.empty() && w.back().rfind(kDoneLine, 0) == 0) w.back() = kDoneLine;
    size_t clicks = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i].rfind("cursor", 0) != 0) continue;
        if (clicks++ == index) return Strings(w.begin() + static_cast<long>(i) - 1, w.end());
    }
    return {};
}

long long StoppedAt(const RecordingMachine& r) {
    for (auto p = r.progress.rbegin(); p != r.progress.rend(); ++p)
        if (p->second.state == RunProgress::State::kStopped) return p->second.stored;
    return -1;
}

// Barcodes whose last input went out: the third Enter, or in spreadsheet mode the whole value.
long long Confirmed(const RecordingMachine& r, const RunInputs& in, const RunPlan& plan) {
    if (!in.excelMode) return static_cast<long long>(Count(r, "key+ 0D") / 3);
    const std::vector<Filled> filled = FilledBarcodes(r);
    long long whole = 0;
    for (const Filled& f : filled) whole += f.value.size() == TypedText(in, RunValue(in, plan, whole)).size();
    return whole;
}

// An object of the designer (a cell of the spreadsheet): its page (sheet) and its point.
using Object = std::pair<int, std::string>;

// What each object holds after a run that began on page `page`: in wizard mode the text typed into
// its wizard once three Enters confirmed it, in a cell everything typed after its double-click on
// top of what it held; Delete (after Home and Shift+End) empties either.
std::map<Object, std::string> Objects(const RecordingMachine& r, bool wizard, int page = 1) {
    std::map<Object, std::string> held;
    Object at;
    std::string text;
    int enters = 0;
    for (const auto& e : r.events) {
        const std::string& w = e.what;
        if (w == "key+ 22") ++page;
        if (w.rfind("mouse", 0) == 0) {
            at = {page, w.substr(w.find(" at ") + 4)};
            text = wizard ? std::string() : held[at];
            enters = 0;
        }
        if (w == "key+ 2E") text.clear();
        if (w == "key+ 0D" && ++enters == 3) held[at] = text;
        if (const char c = TypedCharacter(w)) text += c;
        if (!wizard && !at.second.empty()) held[at] = text;
    }
    return held;
}

RunInputs Listed(const std::string& text, int perPage) {
    RunInputs in = Numbered("L", "", "", perPage);
    in.listMode = true;
    in.listText = text;
    return in;
}

RunInputs Cells(int perPage, const std::string& prefix = "c") {
    RunInputs in = Numbered(prefix, "98", "5", perPage);
    in.excelMode = true;
    return in;
}

}  // namespace

// The process killed in any wait of the run (nothing written at that moment): the point on disk,
// continued by a new process, sends exactly the page turns the uninterrupted run sends and leaves
// every object holding its value.
TEST_F(Run, AKillInAnyWaitLeavesAPointThatContinuesToTheUninterruptedResult) {
    for (const RunInputs& in : {Numbered("R-", "0001", "7", 3), Cells(2), Cells(2, "")}) {
        const bool wizard = !in.excelMode;
        SCOPED_TRACE(wizard ? "wizard" : "cells " + in.prefix);
        delays = DelaySettings{3, 5, 2, 7, 11, 13, 17};
        RecordingMachine whole;
        Drive(whole, in);
        const size_t waits = whole.Only("wait ").size();
        int checked = 0, turnsDue = 0, cutShort = 0;
        for (size_t kill = 0; kill < waits; ++kill) {
            TempFolder left("killed");
            RecordingMachine killed;
            size_t sleeps = 0, eventsAtKill = 0;
            killed.onSleep = [&] {
                if (sleeps++ != kill) return;
                CopyRunFiles(folder, left);
                eventsAtKill = killed.events.size();
                killed.closedAt = killed.now;
            };
            Drive(killed, in);
            if (eventsAtKill == 0) continue;
            killed.events.resize(eventsAtKill);
            const std::optional<SavedRun> saved = LoadedByANewProcess(left, folder);
            if (!saved) continue;  // nothing stored yet
            SCOPED_TRACE("killed in wait " + std::to_string(kill));
            ++checked;
            turnsDue += saved->point.turnDue;
            cutShort += saved->point.partial;
            RecordingMachine next;
            next.wizardOnDoubleClick = wizard;
            // The designer outlives the program: it shows the page and the values it showed.
            next.drawings = killed.drawings;
            next.pageShown = killed.Page();
            next.now = killed.now;
            RunAutomation(next, saved->inputs);
            const size_t turned = Count(killed, "key+ 22");
            EXPECT_EQ(turned + Count(next, "key+ 22"), Count(whole, "key+ 22"));
            std::map<Object, std::string> both = Objects(killed, wizard);
            for (const auto& [at, text] : Objects(next, wizard, static_cast<int>(turned) + 1)) both[at] = text;
            EXPECT_EQ(both, Objects(whole, wizard));
        }
        EXPECT_GT(checked, static_cast<int>(waits) / 2);
        EXPECT_GT(turnsDue, 0);
        if (!wizard) {
            EXPECT_GT(cutShort, 0);
        }
    }
}

TEST_F(Run, AContinuedRunIsTheUninterruptedRunsTailForEveryStopPoint) {
    const struct {
        const char* name;
        RunInputs inputs;
    } plans[] = {
        {"numbers across pages", Numbered("R-", "0001", "7", 3)},
        {"a list", Listed("a\nbb\n\nccc\nd", 2)},
        {"cells and sheets", Cells(2)},
        {"cells with the text mark", Cells(2, "")},
    };
    for (const auto& p : plans) {
        SCOPED_TRACE(p.name);
        delays = DelaySettings{3, 5, 2, 7, 11, 13, 17};
        const RunPlan plan = PlanRun(p.inputs);
        const bool wizard = !p.inputs.excelMode;
        RecordingMachine whole;
        Drive(whole, p.inputs);
        ASSERT_EQ(whole.What().back().rfind(kDoneLine, 0), 0u);
        std::set<long long> stopsSeen;
        int turnsDue = 0, cutShort = 0;
        // Escape in the middle of every wait of the run: each stops at another point.
        for (const auto& e : whole.Only("wait ")) {
            RecordingMachine stopped;
            stopped.escapeAt = e.at + 1;
            Drive(stopped, p.inputs);
            const long long next = StoppedAt(stopped);
            if (next >= plan.total) continue;  // nothing left
            ContinuePoint point{next};
            const size_t turned = Count(stopped, "key+ 22");
            point.turnDue = next > 0 && next % p.inputs.perPage == 0 && turned < static_cast<size_t>(next / p.inputs.perPage);
            point.partial = !wizard && FilledBarcodes(stopped).size() > static_cast<size_t>(next) &&
                            !FilledBarcodes(stopped).back().value.empty();
            if (next <= 0 && !point.partial) continue;  // nothing to go on from
            SCOPED_TRACE("escape at " + std::to_string(stopped.escapeAt));
            ASSERT_EQ(next, Confirmed(stopped, p.inputs, plan));
            stopsSeen.insert(next);
            turnsDue += point.turnDue;
            cutShort += point.partial;

            RecordingMachine continued;
            continued.wizardOnDoubleClick = wizard;
            continued.answer = Machine::Answer::kYes;
            // The designer shows the page and the values it showed when the run stopped.
            continued.drawings = stopped.drawings;
            continued.lastClick = stopped.lastClick;  // a sheet's selection is where it was
            continued.pageShown = stopped.Page();
            continued.now = stopped.now;
            RunAutomation(continued, p.inputs);
            const Strings w = continued.What();
            ASSERT_GE(w.size(), 4u);
            EXPECT_EQ(w[0], "ask " + std::string(kContinueCaption) + ": " + ContinueQuestion(p.inputs, plan, point));
            // A turn due goes out first, once the page was seen at rest (a sheet's edit ended first).
            Strings first = {"hook on", "wait 17"};
            if (!point.turnDue) first.push_back("pump");
            else if (wizard) first.insert(first.end(), {"wait 30", "key+ 22"});
            else first.insert(first.end(), {"key+ 0D", "key- 0D", "wait 30", "key+ 11"});
            ASSERT_GE(w.size(), first.size() + 1);
            EXPECT_EQ(Strings(w.begin() + 1, w.begin() + 1 + static_cast<long>(first.size())), first);
            if (!point.partial) {
                EXPECT_EQ(TailFromBarcode(continued, 0), TailFromBarcode(whole, static_cast<size_t>(next)));
            }
            // Every page turned once, and every object holds what the uninterrupted run put there.
            EXPECT_EQ(turned + Count(continued, "key+ 22"), Count(whole, "key+ 22"));
            std::map<Object, std::string> both = Objects(stopped, wizard);
            for (const auto& [at, text] : Objects(continued, wizard, static_cast<int>(turned) + 1)) both[at] = text;
            EXPECT_EQ(both, Objects(whole, wizard));
            EXPECT_EQ(continued.progress.front().second.stored, next);
        }
        // Every barcode but the first is a stop point (the first too when cut short in a cell), and
        // some stops fall between a full page and its turn.
        EXPECT_GE(static_cast<long long>(stopsSeen.size()), plan.total - 1);
        EXPECT_GT(turnsDue, 0);
        if (!wizard) {
            EXPECT_GT(cutShort, 0);
        }
    }
}

TEST_F(Run, TheQuestionNamesTheValueItsPageAndCaptureAndEachAnswerDoesWhatItSays) {
    Fast();
    const RunInputs in = Numbered("R-", "0001", "10", 3);
    const RunPlan plan = PlanRun(in);
    EXPECT_EQ(ContinueQuestion(in, plan, ContinuePoint{4}),
              "Остановка была на значении R-0005 (страница 2, захват 2).\n\nДа — продолжить с R-0005,\n"
              "Нет — начать сначала с R-0001,\nОтмена — ничего не делать.");
    // Stopped after 4 of 10 at the fifth barcode's pump point.
    int pumps = 0;
    m.onPump = [&] {
        if (++pumps == 7) m.escapeAt = m.now;  // page 1: 1 + 3, page 2: 1 + 1, then barcode 5's
    };
    Drive(m, in);
    ASSERT_EQ(Shown(m).back(), "stopped 4/10 R-0005");

    RecordingMachine cancel;
    cancel.answer = Machine::Answer::kCancel;
    RunAutomation(cancel, in);
    EXPECT_EQ(cancel.What(), Strings{"ask Продолжить?: " + ContinueQuestion(in, plan, ContinuePoint{4})});

    RecordingMachine no;
    no.answer = Machine::Answer::kNo;
    RunAutomation(no, in);
    EXPECT_EQ(Values(no).front(), "R-0001");
    EXPECT_EQ(Values(no).size(), 10u);

    // The completed run forgot the stop: no question.
    RecordingMachine after;
    RunAutomation(after, in);
    EXPECT_EQ(after.What().front(), "hook on");
}

TEST_F(Run, AChangedInputForgetsTheStop) {
    Fast();
    const RunInputs in = Numbered("R-", "0001", "10", 3);
    RunInputs other[8] = {in, in, in, in, in, in, in, in};
    other[0].prefix = "Q-";
    other[1].startText = "0002";
    other[2].totalText = "11";
    other[3].perPage = 2;
    other[3].positions.resize(2);
    other[4].positions[1].x += 1;
    other[5].listMode = true;
    other[5].listText = "x";
    other[6].excelMode = true;
    other[7].listText = "only read in list mode, still an input";
    for (const RunInputs& changed : other) {
        RecordingMachine stopped;
        int pumps = 0;
        stopped.onPump = [&] {
            if (++pumps == 3) stopped.escapeAt = stopped.now;
        };
        Drive(stopped, in);
        ASSERT_EQ(StoppedAt(stopped), 1);
        RecordingMachine fresh;
        fresh.wizardOnDoubleClick = !changed.excelMode;
        RunAutomation(fresh, changed);
        EXPECT_EQ(fresh.Only("ask").size(), 0u);
        // ... and the stop is gone for the original inputs too.
        RecordingMachine original;
        RunAutomation(original, in);
        EXPECT_EQ(original.Only("ask").size(), 0u);
    }
}

TEST_F(Run, ARefusedStartKeepsTheStopForTheNextStart) {
    Fast();
    const RunInputs in = Numbered("", "1", "5", 5);
    m.wizardOpensAfter = -1;  // the wizard of the first barcode never opens
    Drive(m, in);
    ASSERT_EQ(Shown(m).back(), "stopped 0/5 1");  // nothing stored: a new start has nothing to continue
    RecordingMachine again;
    RunAutomation(again, in);
    EXPECT_TRUE(again.Only("ask").empty());

    RecordingMachine second;
    second.wizardOpensAfter = 0;
    second.onPump = [&] {
        if (second.Only("mouse").size() == 1) second.wizardOpensAfter = -1;  // the second one does not open
    };
    Drive(second, in);
    ASSERT_EQ(Shown(second).back(), "stopped 1/5 2");
    RecordingMachine blocked;
    blocked.modalOver = RecordingMachine::kWizard.window;  // a wizard left open
    RunAutomation(blocked, in);
    EXPECT_TRUE(blocked.Only("ask").empty());
    EXPECT_FALSE(blocked.HasInputAfter(0));
    RecordingMachine later;
    later.answer = Machine::Answer::kYes;
    RunAutomation(later, in);
    EXPECT_EQ(later.Only("ask").size(), 1u);
    EXPECT_EQ(Values(later), (Strings{"2", "3", "4", "5"}));
}

// A point that cannot be written stops the run before its next input: removed, it is never left
// stale, and the message says whether the old one is gone or still there.
TEST_F(Run, AContinuePointThatCannotBeWrittenStopsTheRunAndIsNeverLeftStale) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder in the file's place makes writes and removals fail only with POSIX rename and remove";
#endif
    Fast();
    const RunInputs in = Numbered("F-", "0001", "6", 3);
    const std::string point = folder.path + "/" + kRunStateFileName;
    for (const bool removable : {true, false}) {
        SCOPED_TRACE(removable ? "the write fails" : "the write and the removal fail");
        RecordingMachine r;
        int pumps = 0;
        bool staleSeen = false;
        r.onPump = [&] {
            ++pumps;
            if (pumps == 3) {  // before the second barcode: its point cannot be written in place
                std::filesystem::remove(point);
                std::filesystem::create_directory(point);
                if (!removable) WriteFileAtomically(point + "/inside", "x");
            }
            if (pumps == 4) staleSeen = std::filesystem::exists(point);
        };
        Drive(r, in);
        if (removable) {
            EXPECT_FALSE(staleSeen);  // the first barcode's point was not left behind
        }
        EXPECT_EQ(Values(r), (Strings{"F-0001", "F-0002"}));
        EXPECT_EQ(r.What().back().rfind("message Ошибка: Прогон остановлен: не удалось записать в папку «" +
                                            folder.path + "/»",
                                        0),
                  0u)
            << r.What().back();
        EXPECT_EQ(r.What().back().find("не удалось удалить прежнюю запись") == std::string::npos, removable)
            << r.What().back();
        ForgetRunStop();
        const std::optional<SavedRun> saved = LoadInterruptedRun();
        if (removable) {  // the stop's own point could be written again: the run goes on from value 3
            ASSERT_TRUE(saved);
            EXPECT_EQ(saved->point.next, 2);
        } else {
            EXPECT_FALSE(saved);
        }
        ForgetRunStop();
        std::filesystem::remove_all(point);
    }
}

// A Page Down the system refused did not turn the page: the point still has the turn due.
TEST_F(Run, ARefusedPageKeyIsNotCountedAsATurn) {
    Fast();
    const RunInputs in = Numbered("B-", "0001", "5", 3);
    RecordingMachine dry;
    Drive(dry, in);
    m.inputBlockedAt = dry.Only("key+ 22").front().at;
    Drive(m, in);
    EXPECT_EQ(m.What().back(), Refusal(kInputBlockedMessage));
    ForgetRunStop();
    const std::optional<SavedRun> saved = LoadInterruptedRun();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->point, (ContinuePoint{3, true, false}));
}

// A trial run stops once its first page (sheet) is stored, before the page key; "СТАРТ" and "Да"
// then send the key and fill the rest exactly as the run that never stopped. Only a new run stops
// so: a continued one, and a run that all fits on one page, go to their end.
TEST_F(Run, ATrialRunStopsBeforeTheFirstPageKeyAndGoesOnAsTheUninterruptedRun) {
    for (const bool wizard : {true, false}) {
        SCOPED_TRACE(wizard ? "wizard" : "cells");
        RunInputs in = Numbered("T", "0001", "9", 3);
        in.excelMode = !wizard;
        const RunPlan plan = PlanRun(in);
        InEachPacing([&](const Pacing&) {
            const DelaySettings paced = delays;
            RecordingMachine whole;
            Drive(whole, in);
            ASSERT_EQ(Values(whole).size(), 9u);
            const std::string journalBefore = FileOf(folder);

            delays.trialRun = true;
            RecordingMachine trial;
            Drive(trial, in);
            EXPECT_EQ(Values(trial), (Strings{"T0001", "T0002", "T0003"}));
            EXPECT_EQ(Count(trial, "key+ 22"), 0u);
            const Strings w = trial.What();
            ASSERT_GE(w.size(), 3u);
            const std::string lead = "message " + std::string(kTrialStopCaption) + " (i): Пробный запуск: заполнено 3 значения на ";
            EXPECT_EQ(w.back().rfind(lead + (wizard ? "первой странице" : "первом листе"), 0), 0u) << w.back();
            EXPECT_EQ(w.back().find(kFinishedMessage), std::string::npos);
            // Up to its stop, the trial run sent what the uninterrupted run sent.
            const Strings sent(w.begin(), w.end() - 3);
            EXPECT_EQ(Strings(w.end() - 3, w.end() - 1), (Strings{"hook off", "flash"}));
            const Strings all = whole.What();
            ASSERT_LE(sent.size(), all.size());
            EXPECT_EQ(sent, Strings(all.begin(), all.begin() + static_cast<long>(sent.size())));
            EXPECT_EQ(Shown(trial).back(), "stopped 3/9 T0004");
            EXPECT_EQ(ProgressText(trial.progress.back().second), "Остановлено (пробный запуск): 3 из 9, следующий T0004");
            const std::string journal = FileOf(folder).substr(journalBefore.size());
            EXPECT_EQ(Results(journal).back(), "остановка: пробный запуск");
            EXPECT_EQ(JournalColumn(journal, 3).back(), "T0004");

            // "СТАРТ" asks to go on after the page; "Да" turns it first and stops nowhere again.
            RecordingMachine continued;
            continued.wizardOnDoubleClick = wizard;
            continued.drawings = trial.drawings;  // the designer shows what the trial filled
            continued.now = trial.now;
            RunAutomation(continued, in);
            const Strings c = continued.What();
            ASSERT_FALSE(c.empty());
            EXPECT_EQ(c.front(), "ask " + std::string(kContinueCaption) + ": " +
                                     ContinueQuestion(in, plan, ContinuePoint{3, true, false}));
            const auto pageKey = std::find(c.begin(), c.end(), "key+ 22");
            ASSERT_NE(pageKey, c.end());
            EXPECT_LT(pageKey - c.begin(), std::find_if(c.begin(), c.end(), [](const std::string& e) {
                                               return e.rfind("mouse", 0) == 0;
                                           }) - c.begin());
            EXPECT_EQ(c.back().rfind(kDoneLine, 0), 0u) << c.back();
            EXPECT_EQ(Count(continued, "key+ 22"), Count(whole, "key+ 22"));
            EXPECT_EQ(TailFromBarcode(continued, 0), TailFromBarcode(whole, 3));
            std::map<Object, std::string> both = Objects(trial, wizard);
            for (const auto& [at, text] : Objects(continued, wizard)) both[at] = text;
            EXPECT_EQ(both, Objects(whole, wizard));

            // A trial run stopped with Escape on its first page goes on to the end when continued.
            RecordingMachine escaped, goneOn;
            int pumps = 0;
            escaped.onPump = [&] {
                if (++pumps == 3) escaped.escapeAt = escaped.now;  // at the second barcode's pump point
            };
            Drive(escaped, in);
            ASSERT_EQ(StoppedAt(escaped), 1);
            goneOn.wizardOnDoubleClick = wizard;
            goneOn.drawings = escaped.drawings;
            goneOn.now = escaped.now;
            RunAutomation(goneOn, in);
            EXPECT_EQ(goneOn.What().back().rfind(kDoneLine, 0), 0u) << goneOn.What().back();
            EXPECT_EQ(Values(goneOn).size(), 8u);

            // A new start instead ("Нет") is a trial run again.
            RecordingMachine stoppedAgain, anew;
            Drive(stoppedAgain, in);
            anew.answer = Machine::Answer::kNo;
            anew.wizardOnDoubleClick = wizard;
            RunAutomation(anew, in);
            EXPECT_EQ(Values(anew), Values(trial));
            EXPECT_EQ(anew.What().back(), w.back());

            // All on one page: the switch changes nothing.
            RunInputs onePage = in;
            onePage.totalText = "3";
            delays = paced;
            RecordingMachine plain, tried;
            Drive(plain, onePage);
            delays.trialRun = true;
            Drive(tried, onePage);
            EXPECT_EQ(tried.What(), plain.What());
            EXPECT_EQ(tried.What().back().rfind(kDoneLine, 0), 0u);
        });
    }
}
