// The run sees the windows it types into: one page window at START, clicks only on the page in
// front, keys only to the wizard this barcode's double-click opened, and the two ways of waiting
// for that wizard.
#include "automation/run/run.h"
#include "automation/input/wait_until.h"
#include "automation/watch/wizard_wait.h"
#include "automation/watch/wizard_step.h"
#include "fakes/run_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {
const WindowOwner kPage = RecordingMachine::kPage;
const WindowOwner kOther = RecordingMachine::Window(3);   // "window 30" of program3.exe
const WindowOwner kQuestion = {0x23, 200};                // a box of the designer's own
const std::string kReady = "\n\nПрограмма готова к новому прогону.";
const std::string kStopped = "message Ошибка: Прогон остановлен: ";
const std::string kPageName = "«window 20» программы program2.exe";
const std::string kOtherName = "«window 30» программы program3.exe";

std::string InsteadOfPage(const std::string& name) {
    return "оказалось окно " + name + ", а не окно " + kPageName + ", которое она заполняет." + kReady;
}
std::string AtPoint(const std::string& point, const std::string& name) {
    return kStopped + "под точкой " + point + " " + InsteadOfPage(name);
}
std::string InFront(const std::string& name) { return kStopped + "впереди " + InsteadOfPage(name); }
std::string InsteadOfWizard(const std::string& name, int capture, const std::string& point,
                            const std::string& note = "") {
    return kStopped + "впереди оказалось окно " + name + ", а не мастер ШК захвата " + std::to_string(capture) +
           " " + point + "." + note + kReady;
}
std::string NoWizard(int capture, const std::string& point, unsigned ms) {
    return kStopped + "двойной щелчок по захвату " + std::to_string(capture) + " " + point +
           " не открыл мастер ШК за " + std::to_string(ms) +
           " мс.\nОбъекта нет под этой точкой, или редактор отвечает медленнее: увеличьте «Открытие Мастера ШК» "
           "в настройках задержек или включите «Ждать окно мастера»." + kReady;
}
const std::string kOpenBefore =
    "\nЭто окно было открыто ещё до щелчка (вопрос редактора или другой документ): ответьте на него сами.";

// A step the wizard shows at once is seen persisting at the first look at its picture that is
// kStepPersistMs after the first (pictures every kStepPictureEvery looks, a look a millisecond).
constexpr long long kStepSeenAfterMs =
    (kStepPersistMs + kStepPictureEvery - 1) / kStepPictureEvery * kStepPictureEvery;

bool IsInput(const std::string& what) {
    for (const char* kind : {"cursor", "mouse", "char", "key"})
        if (what.rfind(kind, 0) == 0) return true;
    return false;
}
std::string LastInput(const RecordingMachine& m) {
    for (auto e = m.events.rbegin(); e != m.events.rend(); ++e)
        if (IsInput(e->what)) return e->what;
    return "";
}
// The last three events of a stopped run: the hook removed, the caption flashed, the message.
Strings StopTail(const RecordingMachine& m) {
    const Strings w = m.What();
    return w.size() < 3 ? w : Strings(w.end() - 3, w.end());
}
void ExpectStopped(const RecordingMachine& m, const std::string& message) {
    EXPECT_EQ(StopTail(m), (Strings{"hook off", "flash", message}));
    EXPECT_FALSE(AutomationRunning());
    EXPECT_FALSE(m.preciseTiming);
}

class Watching : public Run {
protected:
    void SetUp() override {
        Run::SetUp();
        delays.waitForWizard = true;
    }
};
}  // namespace

TEST_F(Run, StartRefusesPositionsNotInOnePageWindowAndPagesThatCannotTakeInput) {
    struct Case {
        const char* name;
        std::function<WindowOwner(int x, int y)> windowAt;
        std::string message;
        bool higherRights = false;
        std::uintptr_t modalOver = 0;
    } cases[] = {
        {"position 2 on our own window (always on top)",
         [](int x, int) { return x == 102 ? RecordingMachine::Window(1) : kPage; },
         "Захват 2 (102, 202) лежит на окне «window 10» программы program1.exe - окне этой программы: щелчки "
         "попали бы в её собственные кнопки и поля.\n\nОтодвиньте окно программы с захватов (или снимите «Поверх "
         "окон») и нажмите СТАРТ снова."},
        {"position 3 on another program", [](int x, int) { return x == 103 ? kOther : kPage; },
         "Захват 3 (103, 203) лежит на окне " + kOtherName + ", а захват 1 (101, 201) - на окне " + kPageName +
             ".\n\nВсе захваты должны лежать в одном окне: на странице, которую заполняет прогон. Уберите "
             "окна, лежащие поверх неё, и нажмите СТАРТ снова."},
        {"position 3 on a second document of the same program",
         [](int x, int) { return x == 103 ? WindowOwner{0x24, 200} : kPage; },
         "Захват 3 (103, 203) лежит на окне «window 24» программы program2.exe, а захват 1 (101, 201) - на окне " +
             kPageName +
             ".\n\nВсе захваты должны лежать в одном окне: на странице, которую заполняет прогон. Уберите "
             "окна, лежащие поверх неё, и нажмите СТАРТ снова."},
        {"no window under position 1", [](int x, int) { return x == 101 ? WindowOwner{} : kPage; },
         "Захват 1 (101, 201) не лежит ни на одном окне."},
        {"the designer runs as administrator", nullptr,
         "Окно " + kPageName +
             " запущено с правами администратора, а эта программа - без них: система молча отбросила бы все её "
             "щелчки и нажатия клавиш.\n\nЗапустите и эту программу от имени администратора или запустите редактор "
             "без этих прав.",
         true},
        {"a wizard left open over the page", nullptr,
         "Окно " + kPageName + " сейчас не принимает ввод: поверх него открыто окно «window 21» программы "
             "program2.exe (мастер ШК, оставшийся после остановки, или вопрос редактора).\n\nЗакройте это окно "
             "сами и нажмите СТАРТ снова.",
         false, RecordingMachine::kWizard.window},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMachine r;
        r.windowAt = c.windowAt;
        r.higherRights = c.higherRights;
        r.modalOver = c.modalOver;
        Drive(r, Numbered("AB", "0001", "3", 5));
        EXPECT_EQ(r.What(), Strings{"message Ошибка: " + c.message});
        EXPECT_FALSE(AutomationRunning());
    }
}

TEST_F(Run, StartLooksOnlyAtThePositionsTheRunWillUse) {
    Fast();
    m.windowAt = [](int x, int) { return x >= 103 ? kOther : kPage; };
    Drive(m, Numbered("", "1", "2", 5));  // two barcodes: positions 3 to 5 stay unused
    EXPECT_EQ(Values(m), (Strings{"1", "2"}));
    EXPECT_EQ(m.What().back(), DoneLine(2, "3"));
}

TEST_F(Run, OurOwnWindowInFrontAtTheFirstClickLetsItGoThePageComesForward) {
    Fast();
    m.frontWindow = [&] { return m.Only("mouse").empty() ? RecordingMachine::Window(1) : m.DesignerFront(); };
    Drive(m, Numbered("", "1", "2", 5));
    EXPECT_EQ(Values(m), (Strings{"1", "2"}));
    EXPECT_EQ(m.What().back(), DoneLine(2, "3"));
}

TEST_F(Run, AWindowInTheWayStopsTheRunBeforeTheInputItWouldGet) {
    // Each case: from the moment `inTheWay` becomes true, `intruder` lies under the points (a click)
    // or stands in front (the keys).
    struct Case {
        const char* name;
        bool excel, atPoint;
        const char* total;
        int perPage;
        std::function<bool(const RecordingMachine&)> inTheWay;
        std::string lastInput;  // the last event that went out
        std::string message;
        WindowOwner intruder = kOther;
    } cases[] = {
        {"the second double-click", false, true, "3", 5, [](const RecordingMachine& r) { return Count(r, "key+ 0D") == 3; },
         "key- 0D", AtPoint("(102, 202)", kOtherName)},
        {"the clicks after the cursor went to the point", false, true, "3", 5,
         [](const RecordingMachine& r) { return Count(r, "cursor 102,202") == 1; }, "cursor 102,202",
         AtPoint("(102, 202)", kOtherName)},
        {"a second document in front before a double-click", false, false, "3", 5,
         [](const RecordingMachine& r) { return Count(r, "key+ 0D") == 3; }, "key- 0D",
         InFront("«window 24» программы program2.exe"), {0x24, 200}},
        {"the typing of the second value", false, false, "3", 5,
         [](const RecordingMachine& r) { return r.Only("mouse").size() == 2; }, "mouse 2 4 2 4 at 102,202",
         InsteadOfWizard(kOtherName, 2, "(102, 202)")},
        {"the rest of a value", false, false, "3", 5, [](const RecordingMachine& r) { return Count(r, "char- 0031") == 1; },
         "char- 0031", InsteadOfWizard(kOtherName, 1, "(101, 201)")},
        {"the first Enter", false, false, "3", 5, [](const RecordingMachine& r) { return Count(r, "char- 0033") == 1; },
         "char- 0033", InsteadOfWizard(kOtherName, 3, "(103, 203)")},
        {"the third Enter", false, false, "3", 5, [](const RecordingMachine& r) { return Count(r, "key+ 0D") == 2; },
         "key- 0D", InsteadOfWizard(kOtherName, 1, "(101, 201)")},
        {"the designer's question box instead of the wizard", false, false, "3", 5,
         [](const RecordingMachine& r) { return r.Only("mouse").size() == 2; }, "mouse 2 4 2 4 at 102,202",
         InsteadOfWizard("«window 23» программы program2.exe", 2, "(102, 202)", kOpenBefore), kQuestion},
        {"Page Down", false, false, "7", 5, [](const RecordingMachine& r) { return Count(r, "key+ 0D") == 15; },
         "key- 0D", InFront(kOtherName)},
        {"a spreadsheet cell's double-click", true, true, "3", 2,
         [](const RecordingMachine& r) { return Count(r, "wait 50") == 1; }, "key- 31", AtPoint("(102, 202)", kOtherName)},
        {"a spreadsheet cell's keys", true, false, "3", 2,
         [](const RecordingMachine& r) { return r.Only("mouse").size() == 2; }, "mouse 2 4 2 4 at 102,202",
         InFront(kOtherName)},
        {"Ctrl+Page Down", true, false, "3", 2, [](const RecordingMachine& r) { return Count(r, "wait 50") == 2; },
         "key- 32", InFront(kOtherName)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMachine r;
        RunInputs in = Numbered("", "11", c.total, c.perPage);  // values 11, 12, 13, ...
        in.excelMode = c.excel;
        // A window of the designer's own was open all along, only not in front.
        if (c.intruder.process == kPage.process) r.designerWindows.push_back(c.intruder.window);
        if (c.atPoint)
            r.windowAt = [&](int, int) { return c.inTheWay(r) ? c.intruder : kPage; };
        else
            r.frontWindow = [&] { return c.inTheWay(r) ? c.intruder : r.DesignerFront(); };
        Drive(r, in);
        EXPECT_EQ(LastInput(r), c.lastInput);
        ExpectStopped(r, c.message);
    }
}

TEST_F(Run, AWizardThatDoesNotOpenInItsTimeStopsTheRunBeforeAnyKey) {
    const struct {
        const char* name;
        long long opensAfter;
        int masterOpenDelay;
    } cases[] = {
        {"a dead object", -1, 700},
        {"a wizard slower than its delay", 1500, 700},
        {"a wizard slower than a raised delay", 2000, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        delays.masterOpenDelay = c.masterOpenDelay;
        RecordingMachine r;
        r.wizardOpensAfter = c.opensAfter;
        Drive(r, Numbered("R-", "0001", "3", 5));
        EXPECT_EQ(LastInput(r), "mouse 2 4 2 4 at 101,201");
        ExpectStopped(r, NoWizard(1, "(101, 201)", static_cast<unsigned>(c.masterOpenDelay) + 100));
        EXPECT_EQ(Shown(r).back(), "stopped 0/3 R-0001");
    }
    // In time, the same run fills every barcode.
    RecordingMachine justInTime;
    justInTime.wizardOpensAfter = 799;
    Drive(justInTime, Numbered("R-", "0001", "3", 5));
    EXPECT_EQ(Values(justInTime), (Strings{"R-0001", "R-0002", "R-0003"}));
}

TEST_F(Run, AWizardStillOpenWhenTheNextClickIsDueStopsTheRunAndItsValueIsNotStored) {
    m.wizardClosesAfter = 1000;  // longer than the Enter's delay and the gap
    Drive(m, Numbered("", "1", "3", 5));
    EXPECT_EQ(LastInput(m), "key- 0D");
    ExpectStopped(m, kStopped + "мастер ШК захвата 1 (101, 201) не закрылся за 400 мс после третьего Enter.\n"
                         "Проверьте значение в мастере и закройте его сами." + kReady);
    EXPECT_EQ(Shown(m).back(), "stopped 0/3 1");
    EXPECT_EQ(Results(FileOf(folder)),
              (Strings{"остановка: мастер ШК захвата 1 (101, 201) не закрылся за 400 мс после третьего Enter"}));
}

TEST_F(Run, AStopWhileAWizardStaysOpenAfterItsLastEnterLeavesItsValueToBeTypedAgain) {
    const RunInputs in = Numbered("W", "1", "3", 5);
    for (const Pacing& pacing : kPacings) {
        for (const long long escapeAfter : {5LL, 150LL, 300LL}) {  // from the second value's last Enter
            SCOPED_TRACE(std::string(pacing.name) + ", Escape " + std::to_string(escapeAfter) + " ms after");
            std::filesystem::remove(folder.path + "/" + kJournalFileName);
            FreshStartPacedBy(pacing.waiting);
            RecordingMachine r;
            r.onPump = [&] {
                if (r.Only("mouse").size() == 1) r.wizardClosesAfter = -1;  // the second wizard stays open
            };
            r.onKey = [&](unsigned char vk) {
                if (vk == 0x0D && Count(r, "key+ 0D") == 6 && r.escapeAt < 0) r.escapeAt = r.now + escapeAfter;
            };
            Drive(r, in);
            EXPECT_EQ(r.What().back(), kStopLine);
            EXPECT_EQ(Shown(r).back(), "stopped 1/3 W2");
            EXPECT_EQ(JournalColumn(FileOf(folder), 3), (Strings{"W1", "W2"}));
            EXPECT_EQ(Results(FileOf(folder)), (Strings{"проверено", "остановка: Esc или Pause"}));

            // The user closes the wizard and goes on: the value is typed again into its own object.
            RecordingMachine goOn;
            goOn.answer = Machine::Answer::kYes;
            RunAutomation(goOn, in);
            EXPECT_EQ(FilledBarcodes(goOn), (std::vector<Filled>{{"102,202", "W2"}, {"103,203", "W3"}}));
            EXPECT_EQ(goOn.What().back(), DoneLine(2, "4"));
            EXPECT_EQ(JournalColumn(FileOf(folder), 3), (Strings{"W1", "W2", "W2", "W3"}));
            EXPECT_EQ(Results(FileOf(folder)), (Strings{"проверено", "остановка: Esc или Pause", "проверено", "проверено"}));
        }
    }
}

TEST_F(Run, TheLastWizardIsWatchedUntilItClosesWithTheFixedDelaysToo) {
    const RunInputs in = Numbered("", "1", "2", 5);
    m.onPump = [&] {
        if (m.Only("mouse").size() == 1) m.wizardClosesAfter = 900;  // the last closes late, but closes
    };
    Drive(m, in);
    EXPECT_EQ(m.What().back(), DoneLine(2, "3"));
    EXPECT_EQ(m.events.back().at - m.Only("key- 0D").back().at, 900);

    RecordingMachine stays;
    stays.onPump = [&] {
        if (stays.Only("mouse").size() == 1) stays.wizardClosesAfter = -1;  // the last one never closes
    };
    Drive(stays, in);
    ExpectStopped(stays, kStopped + "мастер ШК захвата 2 (102, 202) не закрылся за 10000 мс после третьего Enter.\n"
                             "Проверьте значение в мастере и закройте его сами." + kReady);
    EXPECT_EQ(Shown(stays).back(), "stopped 1/2 2");
    EXPECT_EQ(Count(stays, DoneLine(2, "3")), 0u);
}

// --- waiting for the wizard ------------------------------------------------------------------------

TEST_F(Watching, EachStepWaitsForItsEffectAndThePageSettlesBeforeAKey) {
    m.wizardOpensAfter = 60;
    m.focusAfter = 10;
    m.wizardClosesAfter = 30;
    Drive(m, Numbered("", "7", "3", 2));
    // The click at once; the wizard looked for every millisecond, then a short settle.
    Strings one = {"pump", "cursor 101,201", "mouse 2 4 2 4 at 101,201"};
    one.insert(one.end(), 70 / kWizardPollMs, "wait 1");
    // The value goes out at once: the read-back waits for it, not the typing delay. The wizard's
    // picture rests a moment before the first Enter; the first two Enters go on once the wizard's
    // next step has persisted, the third once it is gone.
    one.insert(one.end(), {"wait 10", "char+ 0037", "wait 1", "char- 0037"});
    one.insert(one.end(), kStepQuietMs / kStepPictureEvery, "wait " + std::to_string(kStepPictureEvery));
    for (int enter = 0; enter < 2; ++enter) {
        one.insert(one.end(), {"key+ 0D", "key- 0D"});
        one.insert(one.end(), static_cast<size_t>(kStepSeenAfterMs), "wait 1");
    }
    one.insert(one.end(), {"key+ 0D", "key- 0D"});
    // Closed after 30 ms, then the page watched a moment before the next input.
    one.insert(one.end(), (30 + kPageSteadyMs) / kWizardPollMs, "wait 1");
    Strings expected = {"hook on", "wait 1000", "pump"};
    expected.insert(expected.end(), one.begin(), one.end());
    const Strings w = m.What();
    ASSERT_GT(w.size(), expected.size());
    EXPECT_EQ(Strings(w.begin(), w.begin() + static_cast<long>(expected.size())), expected);
    // No gap: the next barcode's click follows at once; before the page key both objects are seen
    // drawn with their values, and a second look agrees (no quiet page of kPageQuietMs).
    EXPECT_EQ(w[expected.size()], "pump");
    size_t turn = 0;
    while (w[turn] != "key+ 22") ++turn;
    const Strings quiet = {"wait 1", "wait 1", "wait 10"};  // the wizard's closing watched, then two looks
    const long long before = static_cast<long long>(turn) - static_cast<long long>(quiet.size());
    ASSERT_GE(before, 0);
    EXPECT_EQ(Strings(w.begin() + before, w.begin() + static_cast<long>(turn)), quiet);
    EXPECT_EQ(Values(m), (Strings{"7", "8", "9"}));
    EXPECT_EQ(w.back(), DoneLine(3, "10"));
}

// Each Enter waits for its own effect: the next step, or the Enter delay for a wizard whose steps
// look alike; the next click for the page taking input again after the wizard, and a moment more.
TEST_F(Watching, AnEnterGoesOnAtTheNextStepAndAClickOnceThePageTakesInput) {
    const struct {
        const char* name;
        bool stepsLookAlike;
        int enterDelay;
        long long pageBusyMs;  // after the wizard has gone, a window of the designer holds the page
        long long enterGapMs, clickAfterCloseMs;
    } cases[] = {
        {"steps shown: the Enters follow once the step persisted", false, 200, 0, kStepSeenAfterMs, kPageSteadyMs},
        {"steps alike: the Enter delay", true, 200, 0, 200, kPageSteadyMs},
        {"steps alike, a longer Enter delay", true, 350, 0, 350, kPageSteadyMs},
        {"the page held for 40 ms after the wizard: the click waits for it", false, 200, 40, kStepSeenAfterMs,
         40 + kPageSteadyMs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshStartPacedBy(true);
        delays.enterDelay = c.enterDelay;
        RecordingMachine r;
        r.stepsLookAlike = c.stepsLookAlike;
        r.wizardClosesAfter = 5;
        long long closedAt = -1;  // the first wizard's
        r.onKey = [&](unsigned char vk) {
            if (vk != 0x0D || r.wizardEnters != 2 || closedAt >= 0) return;
            closedAt = r.now + r.wizardClosesAfter;
            r.pageHeldUntil = closedAt + c.pageBusyMs;
        };
        Drive(r, Numbered("", "1", "2", 5));
        EXPECT_EQ(Values(r), (Strings{"1", "2"}));
        EXPECT_EQ(r.What().back(), DoneLine(2, "3"));
        const auto enters = r.Only("key+ 0D");
        ASSERT_EQ(enters.size(), 6u);
        EXPECT_EQ(enters[1].at - enters[0].at, c.enterGapMs);
        EXPECT_EQ(enters[2].at - enters[1].at, c.enterGapMs);
        EXPECT_EQ(r.Only("mouse")[1].at - closedAt, c.clickAfterCloseMs);
    }
}

TEST_F(Watching, EachWaitStopsAtItsCeilingSayingWhatIsInFront) {
    struct Case {
        const char* name;
        long long opensAfter, closesAfter;
        int masterOpenDelay;
        bool questionAfterClose;
        std::string message;
        long long stoppedAfterMs;  // from the double-click (opening) or the third Enter (closing)
    } cases[] = {
        {"no wizard", -1, 0, 700, false, NoWizard(1, "(101, 201)", 10000), 10000},
        {"no wizard with a long delay", -1, 0, 3000, false, NoWizard(1, "(101, 201)", 15500), 15500},
        {"a wizard that stays open", 0, -1, 700, false,
         kStopped + "мастер ШК захвата 1 (101, 201) не закрылся за 10000 мс после третьего Enter.\nПроверьте "
                    "значение в мастере и закройте его сами." + kReady, 10000},
        {"a question box of the designer after the wizard", 0, 0, 700, true,
         kStopped + "после того как мастер ШК захвата 1 (101, 201) закрылся, впереди оказалось окно «window 23» "
                    "программы program2.exe, а не окно " + kPageName + "." + kReady, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        delays.masterOpenDelay = c.masterOpenDelay;
        RecordingMachine r;
        r.wizardOpensAfter = c.opensAfter;
        r.wizardClosesAfter = c.closesAfter;
        if (c.questionAfterClose) {
            r.frontWindow = [&] { return Count(r, "key+ 0D") == 3 ? kQuestion : r.DesignerFront(); };
            r.designerWindows.push_back(kQuestion.window);
        }
        Drive(r, Numbered("", "1", "3", 5));
        ExpectStopped(r, "message Ошибка: " + c.message.substr(std::string("message Ошибка: ").size()));
        const bool opening = c.opensAfter < 0;
        const long long from = opening ? r.Only("mouse").back().at : r.Only("key- 0D").back().at;
        EXPECT_EQ(r.events.back().at - from, c.stoppedAfterMs);
        EXPECT_EQ(Count(r, "key+ 0D"), opening ? 0u : 3u);
        // A wizard still open holds its value unconfirmed: that value is where to go on.
        EXPECT_EQ(Shown(r).back(), c.questionAfterClose ? "stopped 1/3 2" : "stopped 0/3 1");
    }
}

TEST_F(Watching, EscapeEndsTheWaitAtOnce) {
    m.wizardOpensAfter = -1;
    m.escapeAt = 1000 + 200 + 333;
    Drive(m, Numbered("", "1", "3", 5));
    EXPECT_FALSE(m.HasInputAfter(m.escapeAt));
    EXPECT_EQ(m.now, m.escapeAt);
    EXPECT_EQ(m.What().back(), kStopLine);
}

TEST_F(Watching, SpreadsheetModeKeepsTheFixedSchedule) {
    Fast();
    RunInputs in = Numbered("a", "7", "3", 2);
    in.excelMode = true;
    RecordingMachine fixed;
    delays.waitForWizard = false;
    Drive(fixed, in);
    delays.waitForWizard = true;
    Drive(m, in);
    EXPECT_EQ(m.What(), fixed.What());
}

TEST_F(Watching, NineValuesWithAFastWizardTakeWellUnderTheFixedSchedule) {
    const RunInputs in = Numbered("AB", "0001", "9", 5);
    RecordingMachine fixed;
    fixed.wizardOpensAfter = 60;
    fixed.wizardClosesAfter = 20;
    delays.waitForWizard = false;
    Drive(fixed, in);
    delays.waitForWizard = true;
    m.wizardOpensAfter = 60;
    m.wizardClosesAfter = 20;
    Drive(m, in);
    EXPECT_EQ(Values(m), Values(fixed));
    EXPECT_EQ(m.What().back(), DoneLine(9, "0010"));
    // The virtual clock, the initial second in both: each step waits for its effect (the wizard's
    // 60 ms, a settle, the steps, its 20 ms closing, the page still before its key) instead of the
    // delays: about 2.4 s against 20.3 s.
    EXPECT_LE(static_cast<double>(m.now), 0.15 * static_cast<double>(fixed.now)) << m.now << " / " << fixed.now;
    // The time left foretold once the first barcode is stored is what the run then still took.
    ASSERT_GE(m.progress.size(), 3u);
    EXPECT_NEAR(m.progress[1].second.msLeft, static_cast<double>(m.progress.back().first - m.progress[1].first), 50);
}

TEST(WizardWait, CeilingIsTenSecondsOrFiveTimesTheFixedDelay) {
    EXPECT_EQ(WizardCeilingMs(800), 10000u);
    EXPECT_EQ(WizardCeilingMs(2000), 10000u);
    EXPECT_EQ(WizardCeilingMs(3100), 15500u);
    EXPECT_EQ(WizardCeilingMs(-5), 10000u);
    EXPECT_EQ(WizardCeilingMs(2 * 600000LL + 100), 6000500u);
}

TEST_F(Run, NoWindowInFrontIsLookedAtAgainForATenthOfASecond) {
    Fast();
    int asked = 0;
    // The wizard's activation under way when its first key is checked.
    m.frontWindow = [&] { return m.Only("mouse").size() == 1 && ++asked <= 3 ? WindowOwner{} : m.DesignerFront(); };
    Drive(m, Numbered("", "1", "1", 1));
    EXPECT_EQ(Values(m), Strings{"1"});
    EXPECT_EQ(Count(m, "wait 10"), 3u);
    EXPECT_EQ(m.What().back(), DoneLine(1, "2"));

    RecordingMachine never;
    never.frontWindow = [] { return WindowOwner{}; };
    Drive(never, Numbered("", "1", "1", 1));
    EXPECT_EQ(Count(never, "wait 10"), 10u);
    EXPECT_TRUE(never.Only("mouse").empty());
    EXPECT_EQ(never.What().back(), "message Ошибка: Прогон остановлен: впереди нет ни одного окна." + kReady);

    // Escape while waiting for a window in front: the emergency stop, and no key goes out.
    RecordingMachine escaped;
    escaped.frontWindow = [] { return WindowOwner{}; };
    escaped.escapeAt = 1 + 35;
    Drive(escaped, Numbered("", "1", "1", 1));
    EXPECT_TRUE(escaped.Only("mouse").empty());
    EXPECT_EQ(escaped.What().back(), kStopLine);
}

TEST_F(Run, AWindowInFrontDuringAChordLetsItsKeysUpBeforeTheStop) {
    Fast();
    RunInputs in = Numbered("A", "1", "1", 1);  // Shift+A, then 1
    in.excelMode = true;
    m.frontWindow = [&] { return Count(m, "key+ 10") == 1 ? kOther : m.DesignerFront(); };  // in front once Shift is down
    Drive(m, in);
    const auto keys = m.Only("key");
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys.back().what, "key- 10");  // no modifier is left down; the 1 is held back
    EXPECT_EQ(m.What().back(), InFront(kOtherName));
}


TEST(WaitUntil, EndsOnTheConditionAStopPauseOrTheCeilingOnTheClockNotTheSumOfItsSleeps) {
    const struct {
        const char* name;
        long long readyAt;     // the condition holds from then on (-1: never)
        long long checkCostMs; // each look at it takes this long
        long long escapeAt, pauseFrom;
        bool pauseEnds;
        WaitEnd::Why why;
        long long waited;
    } cases[] = {
        {"ready at once", 0, 0, -1, -1, false, WaitEnd::Why::kReady, 0},
        {"ready later", 23, 0, -1, -1, false, WaitEnd::Why::kReady, 30},
        {"the ceiling", -1, 0, -1, -1, false, WaitEnd::Why::kCeiling, 100},
        {"slow looks count against the ceiling", -1, 5, -1, -1, false, WaitEnd::Why::kCeiling, 100},
        {"Escape", -1, 0, 42, -1, false, WaitEnd::Why::kStopped, 42},
        {"Pause where it ends the wait", -1, 0, -1, 20, true, WaitEnd::Why::kPause, 20},
        {"Pause where it does not", -1, 0, -1, 20, false, WaitEnd::Why::kCeiling, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMachine r;
        r.hookInstalled = true;
        r.escapeAt = c.escapeAt;
        r.pauseFrom = c.pauseFrom;
        int looks = 0;
        const WaitEnd end = WaitUntil(
            r,
            [&] {
                ++looks;
                r.now += c.checkCostMs;
                return c.readyAt >= 0 && r.now >= c.readyAt;
            },
            10, 100, c.pauseEnds);
        EXPECT_EQ(end.why, c.why);
        EXPECT_GE(end.waitedMs, c.waited);
        EXPECT_LE(end.waitedMs, c.waited + c.checkCostMs + 10);
        if (c.checkCostMs > 0) {
            EXPECT_LT(looks, 11);  // ten sleeps of 10 ms would have been 150 ms on the clock
        }
    }
}

TEST(WaitUntil, TicksBecomeMillisecondsWithoutOverflowOnAFastCounterAfterWeeksOfUptime) {
    const struct {
        long long ticks, perSecond, ms;
    } cases[] = {
        {0, 10000000, 0},
        {12345678, 10000000, 1234},                            // 1.2345678 s: the part below a millisecond is dropped
        {3000000000LL * 86400 * 40, 3000000000LL, 86400000LL * 40},  // 40 days at 3 GHz: ticks * 1000 would overflow
        {3000000000LL * 86400 * 40 + 2999999999LL, 3000000000LL, 86400000LL * 40 + 999},
    };
    for (const auto& c : cases) EXPECT_EQ(TicksToMs(c.ticks, c.perSecond), c.ms) << c.ticks << " / " << c.perSecond;
}

// --- keys only to the wizard, only its real step, a double-click tried once more ------------------

namespace {
const WindowOwner kNewQuestion = {0x25, 200};  // a question that came up over the wizard
const std::string kNewQuestionName = "«window 25» программы program2.exe";
const std::string kOverWizard =
    "\nЭто окно редактора открылось поверх мастера (вопрос мастера или редактора): клавиши прогона в него не "
    "посылаются. Ответьте на него сами, проверьте значение в мастере и нажмите СТАРТ.";
}  // namespace

// The wizard's own question after Enter 1 («Контрольная цифра неверна. Исправить?») and the
// designer's "save changes?" coming up between the typing and Enter 1: no key of the run answers
// them, the focus moving to them is no step, and the value is not stored.
TEST_F(Run, AQuestionOverTheKnownWizardStopsTheRunBeforeTheKeyThatWouldAnswerIt) {
    const struct {
        const char* name;
        std::function<bool(const RecordingMachine&)> up;
        size_t enters;
        std::string lastInput;
    } cases[] = {
        {"the wizard's question after Enter 1", [](const RecordingMachine& r) { return Count(r, "key+ 0D") >= 1; }, 1,
         "key- 0D"},
        {"the designer's question after the typing", [](const RecordingMachine& r) { return Count(r, "char- 0032") >= 1; },
         0, "char- 0032"},
    };
    InEachPacing([&](const Pacing&) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            RecordingMachine r;
            r.frontWindow = [&] { return r.WizardOpen() && c.up(r) ? kNewQuestion : r.DesignerFront(); };
            Drive(r, Numbered("", "12", "3", 5));
            EXPECT_EQ(Count(r, "key+ 0D"), c.enters);
            EXPECT_EQ(LastInput(r), c.lastInput);
            ExpectStopped(r, InsteadOfWizard(kNewQuestionName, 1, "(101, 201)", kOverWizard));
            EXPECT_EQ(Shown(r).back(), "stopped 0/3 12");  // typed again when the run goes on
            ForgetRunStop();
        }
    });
}

// While waiting for the wizard the first two Enters go on at a change of the wizard that persists;
// a picture that moves on its own, reads that give no text, a question in front and steps that look
// alike leave the Enter delay; a preview drawn just after the typing is part of the picture before
// the key.
TEST_F(Watching, OnlyThePersistingStepOfTheWizardItselfShortensTheEnterWait) {
    const long long delay = DelaySettings{}.enterDelay;
    const struct {
        const char* name;
        std::function<void(RecordingMachine&)> wizard;
        long long atLeast, below;  // Enter 2 after Enter 1, in ms
    } cases[] = {
        {"a wizard that shows its step", [](RecordingMachine&) {}, kStepPersistMs, delay / 2},
        {"an animated default button", [](RecordingMachine& r) { r.wizardAnimationMs = 3; }, delay, delay + 10},
        {"steps that look alike", [](RecordingMachine& r) { r.stepsLookAlike = true; }, delay, delay + 10},
        {"reads that fail while the wizard is busy",
         [](RecordingMachine& r) {
             r.fieldAnswers = [&r](long long) {
                 return Count(r, "key+ 0D") > 0 ? FieldRead::State::kFailed : FieldRead::State::kText;
             };
         },
         delay, delay + 10},
        {"a question in front for 100 ms after Enter 1",
         [](RecordingMachine& r) {
             r.frontWindow = [&r] {
                 const auto enters = r.Only("key+ 0D");
                 return enters.size() == 1 && r.now < enters[0].at + 100 ? kNewQuestion : r.DesignerFront();
             };
         },
         100 + kStepPersistMs, delay},
        {"a preview drawn 5 ms after the typing",
         [](RecordingMachine& r) {
             r.onSleep = [&r] {
                 if (r.wizardRedrawsAt.empty() && Count(r, "char- 0031") == 1) r.wizardRedrawsAt.push_back(r.now + 5);
             };
         },
         kStepPersistMs, delay / 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMachine r;
        c.wizard(r);
        Drive(r, Numbered("", "1", "1", 5));
        EXPECT_EQ(r.What().back(), DoneLine(1, "2"));
        const auto enters = r.Only("key+ 0D");
        ASSERT_EQ(enters.size(), 3u);
        EXPECT_GE(enters[1].at - enters[0].at, c.atLeast);
        EXPECT_LT(enters[1].at - enters[0].at, c.below);
        for (long long at : r.wizardRedrawsAt) EXPECT_GE(enters[0].at, at + kStepQuietMs);
        ForgetRunStop();
    }
}

// A double-click the designer ignored is tried once more, once per barcode; never when anything
// opened or changed, the page does not take input or the designer does not answer.
TEST_F(Run, ADoubleClickTheDesignerIgnoredIsTriedOnceMoreOnlyWhenNothingOpenedOrChanged) {
    InEachPacing([&](const Pacing& pacing) {
        RecordingMachine lossy;
        lossy.ignoresDoubleClick = [](int before) { return before % 4 == 0; };  // one in four
        Drive(lossy, Numbered("L", "1", "9", 3));
        Strings values = Values(lossy);  // a double-click begins a value: the ignored ones' are empty
        values.erase(std::remove(values.begin(), values.end(), ""), values.end());
        EXPECT_EQ(values, (Strings{"L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8", "L9"}));
        EXPECT_EQ(lossy.What().back(), DoneLine(9, "10"));
        EXPECT_GE(Count(lossy, "ignored"), 3u);
        EXPECT_EQ(lossy.Only("mouse").size(), 9 + Count(lossy, "ignored"));
        ForgetRunStop();

        const struct {
            const char* name;
            std::function<void(RecordingMachine&)> designer;
            size_t clicks;
        } cases[] = {
            {"ignored twice: tried once more, then the stop", [](RecordingMachine& r) {
                 r.ignoresDoubleClick = [](int) { return true; };
             }, 2},
            {"the designer does not answer", [](RecordingMachine& r) {
                 r.ignoresDoubleClick = [](int) { return true; };
                 r.hungUntil = RecordingMachine::kNever;
             }, 1},
            {"another window of the designer came up", [](RecordingMachine& r) {
                 r.ignoresDoubleClick = [&r](int) {
                     r.designerWindows.push_back(0x26);
                     return true;
                 };
             }, 1},
            {"the page changed", [](RecordingMachine& r) {
                 r.ignoresDoubleClick = [&r](int) {
                     r.repaintsAt.push_back(r.now + 5);
                     return true;
                 };
             }, 1},
            {"the page does not take input", [](RecordingMachine& r) {
                 r.ignoresDoubleClick = [&r](int) {
                     r.pageHeldUntil = RecordingMachine::kNever;
                     return true;
                 };
             }, 1},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            RecordingMachine r;
            c.designer(r);
            Drive(r, Numbered("N", "1", "3", 3));
            EXPECT_EQ(r.Only("mouse").size(), c.clicks);
            EXPECT_EQ(Count(r, "char+"), 0u);
            EXPECT_EQ(r.What().back().rfind(kStopped, 0), 0u) << r.What().back();
            EXPECT_EQ(Shown(r).back(), "stopped 0/3 N1");
            ForgetRunStop();
        }

        // The first double-click was not ignored but late: its wizard comes up after the second one's
        // closed. The next barcode's double-click waits for the opening's ceiling and never takes it.
        for (const bool late : {true, false}) {
            SCOPED_TRACE(late ? "the first wizard comes late" : "it never comes");
            RecordingMachine r;
            long long firstAt = RecordingMachine::kNever;
            r.ignoresDoubleClick = [&r, &firstAt](int before) {
                if (before == 0) firstAt = r.now;
                return before == 0;
            };
            const WindowOwner ghost{0x27, RecordingMachine::kPage.process}, tip{0x28, RecordingMachine::kPage.process};
            r.onSleep = [&r, late, &firstAt, ghost, tip] {  // a tooltip of the designer first: no wizard
                if (firstAt == RecordingMachine::kNever) return;
                if (r.now >= firstAt + 1000 && r.designerWindows.size() == 1) r.designerWindows.push_back(tip.window);
                if (late && r.now >= firstAt + 3000 && r.designerWindows.size() == 2) r.designerWindows.push_back(ghost.window);
            };
            r.frontWindow = [&r, ghost] { return r.designerWindows.size() == 3 ? ghost : r.DesignerFront(); };
            Drive(r, Numbered("G", "1", "2", 3));
            const auto clicks = r.Only("mouse");
            if (late) {
                EXPECT_EQ(clicks.size(), 2u);
                EXPECT_EQ(r.What().back().rfind(kStopped + "после повторного двойного щелчка по захвату 1", 0),
                          0u) << r.What().back();
                EXPECT_EQ(Shown(r).back(), "stopped 1/2 G2");
            } else {
                ASSERT_EQ(clicks.size(), 3u);
                EXPECT_GE(clicks[2].at - firstAt, kMinWizardCeilingMs);
                EXPECT_EQ(r.What().back(), DoneLine(2, "3"));
            }
            ForgetRunStop();
        }
        (void)pacing;
    });
}
