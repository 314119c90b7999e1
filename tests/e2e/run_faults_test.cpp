// A run of the real exe against a designer whose faults combine: a wizard's focus on its button,
// lost Enters and Page Downs, late repaints and openings, old texts, lost characters, the wizard's
// question after Enter 1 and the designer's "save changes?" over a wizard, a wizard that moves on its
// own, ignored double-clicks, a palette taking the focus a moment, a frozen designer, and the
// page's own: a value drawn up to a second late, a page that never rests, a tooltip; and a
// spreadsheet whose Enter commits late (a series of its own at the end). Scripted cases
// pin single faults; the seeded test mixes them at random (the designer's chaos=SEED) in both
// pacings, continues every stop as a user would, and checks one property whatever happened:
//   1. no object ever holds a value of the run other than its own;
//   2. an object's last value is its own (a wrong one, such as an empty field, may not be left);
//   3. nothing lands on the page or another window (no stray key or character);
//   4. a run reported complete ("Генерация завершена!") left every object of the run its own value;
//   5. the journal's rows of stored barcodes are exactly the values the designer took, per page and
//      object, as many times as it took them: nothing journaled that was not taken, nothing taken
//      that was not journaled;
//   6. no question of the wizard or the designer is answered by a key of the run (the user here
//      answers them «Нет»).
// Seeds: 1..3 by default (each in both pacings, as scripts/test and CI run it). RUN_FAULT_SEEDS=<n>
// runs seeds 1..n and RUN_FAULT_SEED=<s> the one seed s, e.g. to replay a failing one:
//   RUN_FAULT_SEEDS=40 tests/wine/wine-run build/windows build/windows/e2e_run_faults.exe
//   RUN_FAULT_SEED=17 ctest --preset windows -R e2e_run_faults --output-on-failure
// (ctest allows the test ten minutes unless cmake was configured with RUN_FAULT_SEEDS set; see
// cmake/windows.cmake). Each run prints the faults injected and what came of them; RUN_FAULT_DUMP=1
// adds, for a run that violates the property, the stand-in's log and the journal.
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <tuple>
#include <utility>

using namespace harness;

namespace {
constexpr int kPerPage = 3;
constexpr unsigned kDefaultSeeds = 3;
constexpr int kMaxStarts = 6;  // the first "СТАРТ" and up to five more after stops
const std::wstring kContinueCaption = L"Продолжить?";

std::vector<unsigned> FaultSeeds() {
    if (const char* one = std::getenv("RUN_FAULT_SEED")) return {static_cast<unsigned>(std::strtoul(one, nullptr, 10))};
    unsigned count = kDefaultSeeds;
    if (const char* many = std::getenv("RUN_FAULT_SEEDS")) count = static_cast<unsigned>(std::strtoul(many, nullptr, 10));
    std::vector<unsigned> seeds;
    for (unsigned seed = 1; seed <= count; ++seed) seeds.push_back(seed);
    return seeds;
}

// The page the designer shows, from its caption "Fake designer - page N"; 0 when unreadable.
int DesignerPage(const Scene& s) {
    const std::wstring caption = CaptionOf(s.fixture.window);
    const size_t space = caption.rfind(L' ');
    return space == std::wstring::npos ? 0 : _wtoi(caption.c_str() + space + 1);
}

// As a user answers the questions of the wizard or the designer a stop left open: «Нет» to each.
void AnswerDesignerQuestions(Scene& s) {
    for (int boxes = 0; boxes < 4; ++boxes) {
        const MessageBoxInfo box = WaitForMessageBox(s.fixture.process.Id(), milliseconds(150));
        if (!box.window) return;
        AnswerMessageBox(box.window, IDNO);
        WaitUntil([&] { return !IsWindow(box.window); }, milliseconds(1000));
    }
}

// As a user tidies up after a stop: waits out a wizard that is still on its way (a late opening, a
// double-click queued while the designer was frozen), answers the questions left open, then cancels
// every wizard left open with Escape. False when one stays open.
bool CancelOpenWizards(Scene& s) {
    long long openingEndsUs = 0;
    for (const FixtureEvent& e : EventsOf(s.fixture.Log(), "fault")) {
        if (e.fields.size() > 2 && e.fields[1] == "slowopen")
            openingEndsUs = std::max(openingEndsUs, e.us + std::stoll(e.fields[2]) * 1000 + 300000);
        if (e.fields.size() > 1 && e.fields[1] == "freeze") openingEndsUs = std::max(openingEndsUs, e.us + 2000000);
    }
    const long long waitUs = openingEndsUs - NowMicroseconds();
    if (waitUs > 0) std::this_thread::sleep_for(std::chrono::microseconds(waitUs));
    AnswerDesignerQuestions(s);
    for (HWND wizard : TopWindows(s.fixture.process.Id(), L"FakeWizard")) PostMessageW(wizard, WM_KEYDOWN, VK_ESCAPE, 0);
    return WaitUntil([&] { return TopWindows(s.fixture.process.Id(), L"FakeWizard").empty(); }, milliseconds(3000));
}

// Page Down on the designer until it shows `page` (it may lose a key, so each press is seen to take).
bool TurnDesignerTo(Scene& s, int page) {
    for (int press = 0; press < 6 && DesignerPage(s) < page; ++press) {
        const int before = DesignerPage(s);
        BringToFront(s.fixture.window);
        PressKey(VK_NEXT);
        WaitUntil([&] { return DesignerPage(s) != before; }, milliseconds(1000));
    }
    return DesignerPage(s) == page;
}

// The page the continue question wants in front: the page of its value, or the one before it when
// the page turn is still to come.
int PageWanted(const std::wstring& question) {
    const std::wstring head = L"(страница ";
    const size_t at = question.find(head);
    if (at == std::wstring::npos) return 0;
    const int page = _wtoi(question.c_str() + at + head.size());
    return question.find(L"сначала будет нажато Page Down") != std::wstring::npos ? page - 1 : page;
}

// A run as a user lives it: "СТАРТ", and after each stop the designer tidied, the right page put in
// front and "СТАРТ" again with Yes to the question, up to kMaxStarts times.
struct Lived {
    std::vector<std::wstring> ends;  // "<caption>: <text>" of each message a run ended with
    bool complete = false;
    int starts = 0;
    std::string trouble;  // what the user could not do, if anything
};

Lived LiveThrough(Scene& s, const std::wstring& prefix, int total) {
    Lived lived;
    s.Fields(prefix, L"0001", std::to_wstring(total));
    s.PressStart();
    lived.starts = 1;
    for (int boxes = 0; boxes < 3 * kMaxStarts; ++boxes) {
        MessageBoxInfo box = WaitForMessageBox(s.app.process.Id(), std::chrono::seconds(60));
        if (!box.window) {
            lived.trouble = "no message within 60 s";
            break;
        }
        if (box.caption == kContinueCaption) {
            const int wanted = PageWanted(box.text);
            if (DesignerPage(s) == wanted) {
                AnswerMessageBox(box.window, IDYES);
                continue;
            }
            AnswerMessageBox(box.window, IDCANCEL);
            if (!TurnDesignerTo(s, wanted)) {
                lived.trouble = "the designer shows page " + std::to_string(DesignerPage(s)) + ", the run wants " +
                                std::to_string(wanted);
                break;
            }
            s.PressStart();
            continue;
        }
        AnswerMessageBox(box.window);
        lived.ends.push_back(box.caption + L": " + box.text);
        lived.complete = StartsWith(box.text, L"Генерация завершена!");
        if (lived.complete || lived.starts == kMaxStarts) break;
        if (!CancelOpenWizards(s)) {
            lived.trouble = "a wizard would not close";
            break;
        }
        s.PressStart();
        ++lived.starts;
    }
    CancelOpenWizards(s);  // one opening late after the last stop gets nothing either
    return lived;
}

using Place = std::pair<std::string, std::string>;  // page, object

// The property (see the file's header) over what the designer logged and the journal; one line per
// violation.
std::vector<std::string> Violations(const std::vector<FixtureEvent>& log, const Journal& journal,
                                    const std::vector<Landed>& expected, bool complete) {
    std::vector<std::string> out;
    std::map<Place, std::string> own;
    std::map<std::string, Place> placeOf;
    for (const Landed& l : expected) {
        own[{l.page, l.object}] = l.value;
        placeOf[l.value] = {l.page, l.object};
    }
    std::map<Place, std::string> last;
    std::map<std::tuple<std::string, std::string, std::string>, int> taken;  // stores less journal rows
    auto key = [](const Landed& l) { return std::make_tuple(l.page, l.object, l.value); };
    for (const Landed& l : ValuesIn(log)) {
        const auto other = placeOf.find(l.value);
        if (other != placeOf.end() && other->second != Place{l.page, l.object})
            out.push_back("object " + l.page + "/" + l.object + " got " + l.value + ", the value of " +
                          other->second.first + "/" + other->second.second);
        if (own.count({l.page, l.object}) == 0) out.push_back("a value landed outside the run: " + testing::PrintToString(l));
        last[{l.page, l.object}] = l.value;
        ++taken[key(l)];
    }
    for (const auto& [place, value] : last)
        if (own.count(place) && own[place] != value)
            out.push_back("object " + place.first + "/" + place.second + " was left holding \"" + value + "\"");
    for (const FixtureEvent& e : EventsOf(log, "stray")) out.push_back("stray " + Describe({e}));
    for (const char* kind : {"checkdigit", "answer"})  // the user answers «Нет»: a «Да» came from the run
        for (const FixtureEvent& e : EventsOf(log, kind))
            if (e.fields.size() > 1 && e.fields[1] == "yes") out.push_back(std::string(kind) + " «Да» by a key of the run");
    if (complete)
        for (const auto& [place, value] : own)
            if (last[place] != value)
                out.push_back("complete, but object " + place.first + "/" + place.second + " holds \"" + last[place] + "\"");
    for (const Landed& row : StoredRows(journal)) --taken[key(row)];
    for (const auto& [l, count] : taken) {
        const std::string what = std::get<0>(l) + "/" + std::get<1>(l) + " \"" + std::get<2>(l) + "\"";
        if (count > 0) out.push_back("taken but not journaled as stored (x" + std::to_string(count) + "): " + what);
        if (count < 0) out.push_back("journaled as stored but not taken (x" + std::to_string(-count) + "): " + what);
    }
    return out;
}

// The faults the designer injected, counted by kind: "focus button x1, lostkey 0D x2, ...".
std::string FaultsIn(const std::vector<FixtureEvent>& log) {
    std::map<std::string, int> counts;
    for (const FixtureEvent& e : log) {
        if (e.kind() == "fault" && e.fields.size() > 1) ++counts[e.fields[1]];
        if (e.kind() == "lostkey" && e.fields.size() > 1) ++counts[e.fields[1] == "D" ? "lost Enter" : "lost Page Down"];
        if (e.kind() == "lost") ++counts["lost character"];
    }
    std::string out;
    for (const auto& [kind, count] : counts) out += (out.empty() ? "" : ", ") + kind + " x" + std::to_string(count);
    return out.empty() ? "none" : out;
}

// With RUN_FAULT_DUMP set, a run that violated the property prints what the stand-in logged (ms
// from its first line) and the journal, to tell which fault it was.
void DumpForReplay(const std::vector<FixtureEvent>& log, const std::wstring& dir) {
    if (!std::getenv("RUN_FAULT_DUMP")) return;
    const long long t0 = log.empty() ? 0 : log.front().us;
    for (const FixtureEvent& e : log) {
        std::printf("  %8lld", (e.us - t0) / 1000);
        for (const std::string& f : e.fields) std::printf(" %s", f.c_str());
        std::printf("\n");
    }
    std::printf("%s\n", ToUtf8(FromCp1251(ReadJournal(dir).bytes)).c_str());
}

// The first line of a message, for the summary.
std::string Brief(const std::wstring& message) { return ToUtf8(message.substr(0, message.find(L'\n'))); }
}  // namespace

TEST(RunFaultsE2E, SeededFaultsInBothPacingsNeverPutAValueInTheWrongPlaceAndTheJournalEqualsWhatWasTaken) {
    int runs = 0, completed = 0, violated = 0, troubled = 0;
    for (const unsigned seed : FaultSeeds()) {
        for (const bool waiting : {false, true}) {
            const std::string name = "seed " + std::to_string(seed) + (waiting ? ", waiting" : ", fixed delays");
            SCOPED_TRACE(name + " (RUN_FAULT_SEED=" + std::to_string(seed) + " replays it)");
            const int total = 6 + static_cast<int>(seed % 4);
            const std::string prefix = "F" + std::to_string(seed) + "-";
            const long long beganUs = NowMicroseconds();
            Scene s;
            ASSERT_TRUE(s.OpenDesigner(kPerPage, waiting ? kWaitingDelays : kQuickDelays,
                                       L"chaos=" + std::to_wstring(seed)));
            const Lived lived = LiveThrough(s, FromCp1251(prefix), total);
            std::this_thread::sleep_for(milliseconds(300));
            const std::vector<FixtureEvent> log = s.fixture.Log();
            const std::vector<std::string> violations =
                Violations(log, ReadJournal(s.dir), Expected(prefix, 1, total, kPerPage), lived.complete);

            ++runs;
            completed += lived.complete;
            violated += !violations.empty();
            troubled += !lived.trouble.empty();
            std::printf("[%s] %d values; faults: %s\n", name.c_str(), total, FaultsIn(log).c_str());
            for (const std::wstring& end : lived.ends) std::printf("[%s]   ended: %s\n", name.c_str(), Brief(end).c_str());
            if (!lived.trouble.empty()) {
                std::printf("[%s]   the user could not go on: %s\n", name.c_str(), lived.trouble.c_str());
                ADD_FAILURE() << "the user could not go on: " << lived.trouble;  // a run the user cannot finish fails too
            }
            std::printf("[%s]   %s after %d start(s), %zu value(s) taken, %zu violation(s), %lld s\n", name.c_str(),
                        lived.complete ? "complete" : "not complete", lived.starts, ValuesIn(log).size(),
                        violations.size(), (NowMicroseconds() - beganUs) / 1000000);
            for (const std::string& v : violations) ADD_FAILURE() << v;
            if (!violations.empty()) DumpForReplay(log, s.dir);
            s.fixture.process.Kill();
            EXPECT_EQ(CloseApp(s.app), 0u);
        }
    }
    std::printf("fault runs: %d, complete: %d, with violations: %d, the user stuck: %d\n", runs, completed, violated,
                troubled);
}

TEST(RunFaultsE2E, AWizardWithTheFocusOnItsButtonStopsTheRunBeforeTypingAndNoObjectChanges) {
    InBothPacings(L"focus=button", [](Scene& s, bool) {
        const std::wstring message = s.RunAndAnswer(L"B", L"1", L"3");
        EXPECT_TRUE(StartsWith(message, L"Ошибка: Прогон остановлен")) << ToUtf8(message);
        EXPECT_NE(message.find(L"«Next»"), std::wstring::npos) << ToUtf8(message);
        std::this_thread::sleep_for(milliseconds(300));
        const std::vector<FixtureEvent> log = s.fixture.Log();
        EXPECT_TRUE(ValuesIn(log).empty()) << testing::PrintToString(ValuesIn(log));
        EXPECT_TRUE(EventsOf(log, "char").empty()) << "typed into a wizard whose focus is on a button";
        EXPECT_TRUE(StoredRows(ReadJournal(s.dir)).empty());
        s.fixture.process.Kill();  // its wizard is still open
        ExpectNothingStrayAndClose(s);
    });
}

TEST(RunFaultsE2E, AWizardThatStaysOpenAfterItsThirdEnterLeavesItsValueUnstoredAndContinuingTypesItAgain) {
    struct Case {
        const char* name;
        bool waiting;
        bool escape;  // Escape a moment after the lost Enter, while the run waits for the wizard to close
    };
    const Case cases[] = {
        {"fixed delays: the run sees the wizard still open", false, false},
        {"waiting for the wizard: Escape while the run waits for it to close", true, true},
    };
    const std::vector<Landed> expected = Expected("L-", 1, 6, kPerPage);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        // The second wizard's third Enter is the sixth in all.
        ASSERT_TRUE(s.OpenDesigner(kPerPage, c.waiting ? kWaitingDelays : kQuickDelays, L"loseenter=6"));
        s.Fields(L"L-", L"0001", L"6");
        s.PressStart();
        if (c.escape) {
            ASSERT_TRUE(WaitUntil([&] { return Logged(s.fixture.Log(), "lostkey", "D"); }, std::chrono::seconds(30)));
            std::this_thread::sleep_for(milliseconds(400));
            PressKey(VK_ESCAPE);  // the run's hook takes it: the wizard never sees it and stays open
        }
        const std::wstring stop = EndMessage(s, std::chrono::seconds(30));
        EXPECT_FALSE(StartsWith(stop, L"Готово")) << ToUtf8(stop);
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), std::vector<Landed>(expected.begin(), expected.begin() + 1));
        const Journal stopped = ReadJournal(s.dir);
        EXPECT_EQ(StoredRows(stopped), std::vector<Landed>(expected.begin(), expected.begin() + 1))
            << "a value whose wizard never closed counted as stored";
        ASSERT_FALSE(stopped.rows.empty());
        EXPECT_TRUE(StartsWith(stopped.rows.back().at(4), L"остановка: ")) << ToUtf8(stopped.rows.back().at(4));
        EXPECT_EQ(ToUtf8(stopped.rows.back().at(3)), "L-0002");

        ASSERT_TRUE(CancelOpenWizards(s));
        MessageBoxInfo ask = s.StartAgain();
        ASSERT_TRUE(ask.window);
        EXPECT_TRUE(StartsWith(ask.text, L"Остановка была на значении L-0002 (страница 1, захват 2).")) << ToUtf8(ask.text);
        AnswerMessageBox(ask.window, IDYES);
        EXPECT_TRUE(StartsWith(EndMessage(s), L"Готово: Генерация завершена!"));
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), expected);  // value 2 typed again into its own object, each once
        EXPECT_EQ(StoredRows(ReadJournal(s.dir)), expected);
        ExpectNothingStrayAndClose(s);
    }
}

// --- keys only to the wizard, its real step, an ignored double-click -------------------------------

// The wizard's own question after Enter 1 comes up over it: the run stops before its next key,
// naming the question's window, and none of its keys answers it; the user answers «Нет», cancels
// the wizard and goes on, and the value is typed again into its own object.
TEST(RunFaultsE2E, TheWizardsQuestionAfterItsFirstEnterIsNeverAnsweredByAKeyOfTheRun) {
    InBothPacings(L"checkdigit=2", [](Scene& s, bool) {
        s.Fields(L"Q", L"0001", L"4");
        s.PressStart();
        const std::wstring stop = EndMessage(s, std::chrono::seconds(30));
        EXPECT_TRUE(StartsWith(stop, L"Ошибка: Прогон остановлен: впереди оказалось окно «Мастер штрих-кода»"))
            << ToUtf8(stop);
        EXPECT_NE(stop.find(L"Ответьте на него сами"), std::wstring::npos) << ToUtf8(stop);
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_TRUE(EventsOf(s.fixture.Log(), "checkdigit").empty()) << "a key of the run answered the question";
        EXPECT_EQ(StoredRows(ReadJournal(s.dir)), Expected("Q", 1, 1, 3));
        ASSERT_TRUE(CancelOpenWizards(s));
        EXPECT_TRUE(Logged(s.fixture.Log(), "checkdigit", "no"));
        MessageBoxInfo ask = s.StartAgain();
        ASSERT_TRUE(ask.window);
        AnswerMessageBox(ask.window, IDYES);
        EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(3, NextStartLine(L"0005")));  // the continued run's three
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("Q", 1, 4, 3));
        EXPECT_EQ(StoredRows(ReadJournal(s.dir)), Expected("Q", 1, 4, 3));
        ExpectNothingStrayAndClose(s);
    });
}

// "Save changes?" 50 ms after the first stored value: over the next wizard when the run is quick
// (waiting), or over the page (fixed). No key of the run answers it, and no value is lost or doubled.
TEST(RunFaultsE2E, TheDesignersLateQuestionOverTheNextWizardIsNeverAnsweredByAKeyOfTheRun) {
    InBothPacings(L"latequestion=1", [](Scene& s, bool waiting) {
        s.Fields(L"V", L"0001", L"3");
        s.PressStart();
        const std::wstring stop = EndMessage(s, std::chrono::seconds(30));
        std::printf("%s: %s\n", waiting ? "waiting" : "fixed", ToUtf8(stop.substr(0, stop.find(L'\n'))).c_str());
        EXPECT_TRUE(StartsWith(stop, L"Ошибка: Прогон остановлен")) << ToUtf8(stop);
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_FALSE(EventsOf(s.fixture.Log(), "question").empty());
        EXPECT_FALSE(Logged(s.fixture.Log(), "answer", "yes")) << "a key of the run answered the question";
        ASSERT_TRUE(CancelOpenWizards(s));
        MessageBoxInfo ask = s.StartAgain();
        ASSERT_TRUE(ask.window);
        AnswerMessageBox(ask.window, IDYES);
        EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(2, NextStartLine(L"0004")));  // the continued run's two
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("V", 1, 3, 3));
        EXPECT_EQ(StoredRows(ReadJournal(s.dir)), Expected("V", 1, 3, 3));
        ExpectNothingStrayAndClose(s);
    });
}

// A designer that ignores one double-click in four: each is tried once more and the run completes.
TEST(RunFaultsE2E, ADesignerThatIgnoresOneDoubleClickInFourCompletesTheRunInBothPacings) {
    InBothPacings(L"loseclick=4", [](Scene& s, bool) {
        EXPECT_EQ(s.RunAndAnswer(L"K", L"0001", L"9"), L"Готово: " + FinishedText(9, NextStartLine(L"0010")));
        std::this_thread::sleep_for(milliseconds(300));
        const std::vector<FixtureEvent> log = s.fixture.Log();
        EXPECT_EQ(ValuesIn(log), Expected("K", 1, 9, 3));
        EXPECT_EQ(StoredRows(ReadJournal(s.dir)), Expected("K", 1, 9, 3));
        EXPECT_GE(EventsOf(log, "fault").size(), 2u);  // ignored, and tried again
        EXPECT_EQ(EventsOf(log, "click").size(), 9 + EventsOf(log, "fault").size());
        ExpectNothingStrayAndClose(s);
    });
}

// A designer slow to open its first wizard (1.5 s) but answering meanwhile: at the opening time the
// double-click looks ignored and is tried again, and the first one's wizard comes up after the second
// one's closed. The run waits for it before the next double-click and stops: no value of capture 2
// goes into object 1.
TEST(RunFaultsE2E, AWizardOfTheFirstDoubleClickComingLateIsNeverTakenForTheNextBarcodes) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(3, kWaitingDelays, L"openfirst=1500"));
    const std::wstring end = s.RunAndAnswer(L"S", L"0001", L"3");
    EXPECT_EQ(end.rfind(L"Ошибка: Прогон остановлен: после повторного двойного щелчка по захвату 1", 0), 0u)
        << ToUtf8(end);
    std::this_thread::sleep_for(milliseconds(300));
    const std::vector<FixtureEvent> log = s.fixture.Log();
    EXPECT_EQ(ValuesIn(log), Expected("S", 1, 1, 3));
    EXPECT_EQ(StoredRows(ReadJournal(s.dir)), Expected("S", 1, 1, 3));
    EXPECT_EQ(EventsOf(log, "open").size(), 2u);  // the late one came up, and nothing was typed into it
    EXPECT_TRUE(CancelOpenWizards(s));
    ExpectNothingStrayAndClose(s);
}

// A wizard whose default button moves on its own completes in both pacings, its Enters paced by the
// Enter delay when waiting (its picture is no evidence of a step).
TEST(RunFaultsE2E, AWizardWhosePictureMovesOnItsOwnCompletesInBothPacings) {
    InBothPacings(L"animated", [](Scene& s, bool) {
        EXPECT_EQ(s.RunAndAnswer(L"M", L"0001", L"4"), L"Готово: " + FinishedText(4, NextStartLine(L"0005")));
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("M", 1, 4, 3));
        ExpectNothingStrayAndClose(s);
    });
}

// --- the spreadsheet's series: late commits ------------------------------------------------------
// The same property over the stand-in spreadsheet whose Enter commits 40..300 ms late (seeded), in
// both delay files, a third of the seeds with a one-sheet workbook whose sheet key does nothing: no
// cell ever holds another's value, a run reported complete filled every cell, and the journal's
// stored rows are the values the spreadsheet took.
TEST(RunFaultsE2E, SeededLateCommitsInASpreadsheetNeverPutAValueInTheWrongCell) {
    int runs = 0, completed = 0, violated = 0;
    for (const unsigned seed : FaultSeeds()) {
        for (const bool waiting : {false, true}) {
            const std::string name = "sheet seed " + std::to_string(seed) + (waiting ? ", waiting" : ", fixed delays");
            SCOPED_TRACE(name);
            const int total = 5 + static_cast<int>(seed % 4);
            const bool oneSheet = seed % 3 == 0;
            const std::string prefix = "X" + std::to_string(seed) + "-";
            Scene s;
            ASSERT_TRUE(s.Open(L"fake_spreadsheet", L"FakeSpreadsheet", L"FakeCell", 2,
                               waiting ? kWaitingDelays : kQuickDelays,
                               L"commitlate=40-300 seed=" + std::to_wstring(seed) + (oneSheet ? L" sheets=1" : L"")));
            SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
            const std::wstring end = s.RunAndAnswer(FromCp1251(prefix), L"0001", std::to_wstring(total));
            const bool complete = StartsWith(end, L"Готово: Генерация завершена!");
            PostMessageW(s.fixture.window, WM_LBUTTONDOWN, 0, 0);  // a value left in its editor is stored
            std::this_thread::sleep_for(milliseconds(500));
            const std::vector<FixtureEvent> log = s.fixture.Log();
            const std::vector<std::string> violations =
                Violations(log, ReadJournal(s.dir), Expected(prefix, 1, total, 2), complete);
            ++runs;
            completed += complete;
            violated += !violations.empty();
            std::printf("[%s] %d values%s; late commits: %zu; %s; %zu value(s) taken, %zu violation(s)\n", name.c_str(),
                        total, oneSheet ? ", one sheet" : "", EventsOf(log, "fault").size(), Brief(end).c_str(),
                        ValuesIn(log).size(), violations.size());
            for (const std::string& v : violations) ADD_FAILURE() << v;
            if (!violations.empty()) DumpForReplay(log, s.dir);
            EXPECT_EQ(complete, !oneSheet) << ToUtf8(end);
            s.fixture.process.Kill();
            EXPECT_EQ(CloseApp(s.app), 0u);
        }
    }
    std::printf("spreadsheet fault runs: %d, complete: %d, with violations: %d\n", runs, completed, violated);
}
