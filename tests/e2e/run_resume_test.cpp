// A run of the real exe that does not end where it should: stopped between a full page and its page
// turn, killed, or closed with its main window. The program started again in the same folder shows
// the unfinished run and goes on from it; the designer then holds exactly what an uninterrupted run
// would have left, with at most the one value under way typed again into its own object.
#include "app/main_window_ids.h"
#include "delays/settings_window_ids.h"
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <thread>
#include <utility>

using namespace harness;

namespace {
// A long wait between barcodes: an Escape, a kill or a close sent once a value is stored lands there.
const std::vector<int> kLongGap = QuickDelaysWithGap(1000);
constexpr int kPerPage = 3;
const std::wstring kInterruptedNote = L"Прогон был прерван: программа закрылась, не закончив его.\n";

std::wstring ContinueQuestion(const std::wstring& next, int page, int capture, const std::wstring& first,
                              const std::wstring& pageTurn = L"") {
    return L"Остановка была на значении " + next + L" (страница " + std::to_wstring(page) + L", захват " +
           std::to_wstring(capture) + L")." + pageTurn + L"\n\nДа — продолжить с " + next +
           L",\nНет — начать сначала с " + first + L",\nОтмена — ничего не делать.";
}

const wchar_t* const kLockFile = L"barcode_run.lock";

std::vector<std::wstring> RunFilesIn(const std::wstring& dir) {
    std::vector<std::wstring> out;
    for (const wchar_t* name : {L"barcode_run_inputs.cfg", L"barcode_run_list.txt", L"barcode_run_state.cfg"})
        if (FileExists(JoinPath(dir, name))) out.push_back(name);
    return out;
}

// Every value the designer stored went into the object the uninterrupted run gives it, and every
// object ends holding its value. Returns how many values were stored more than once.
size_t ExpectEachObjectHoldsItsValue(const std::vector<Landed>& stored, const std::vector<Landed>& expected) {
    std::map<std::pair<std::string, std::string>, std::string> wanted, held;
    for (const Landed& l : expected) wanted[{l.page, l.object}] = l.value;
    for (const Landed& l : stored) {
        const auto it = wanted.find({l.page, l.object});
        EXPECT_TRUE(it != wanted.end() && it->second == l.value) << "stray value " << l;
        held[{l.page, l.object}] = l.value;
    }
    EXPECT_EQ(held, wanted);
    return stored.size() > expected.size() ? stored.size() - expected.size() : 0;
}

void ExpectFinishedCleanly(Scene& s, const std::vector<Landed>& expected, size_t retypedAtMost) {
    std::this_thread::sleep_for(milliseconds(300));
    const auto log = s.fixture.Log();
    const std::vector<Landed> stored = ValuesIn(log);
    EXPECT_LE(ExpectEachObjectHoldsItsValue(stored, expected), retypedAtMost) << testing::PrintToString(stored);
    EXPECT_EQ(EventsOf(log, "open").size(), stored.size());  // no wizard opened for nothing or left open
    EXPECT_TRUE(EventsOf(log, "cancel").empty());
    EXPECT_EQ(EventsOf(log, "page").size(), (expected.size() - 1) / kPerPage);  // no turn missed, none twice
    EXPECT_TRUE(Stray(s).empty()) << Describe(Stray(s));
    EXPECT_TRUE(RunFilesIn(s.dir).empty()) << ToUtf8(RunFilesIn(s.dir).front());  // a complete run leaves none
}

// "СТАРТ" after a run of nine values stopped between page 1 and its turn: the question (after
// `head`) names the turn still due, "Да" sends it and fills the rest, and the designer ends holding
// what an uninterrupted run leaves.
void ContinueAfterTheFirstPage(Scene& s, const std::string& prefix, const std::wstring& head = L"") {
    const std::wstring p(prefix.begin(), prefix.end());
    s.PressStart();
    MessageBoxInfo ask = WaitForMessageBox(s.app.process.Id());
    ASSERT_TRUE(ask.window);
    EXPECT_EQ(ask.caption, L"Продолжить?");
    EXPECT_EQ(ask.text, head + ContinueQuestion(p + L"0004", 2, 1, p + L"0001",
                                                L"\nСтраница 1 заполнена, а переход на страницу 2 ещё не сделан: "
                                                L"при продолжении сначала будет нажато Page Down."));
    AnswerMessageBox(ask.window, IDYES);
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(6, NextStartLine(L"0010")));
    ExpectFinishedCleanly(s, Expected(prefix, 1, 9, kPerPage), 0);
    EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected(prefix, 1, 9, kPerPage));  // in order, each once
}

enum class Ending { kKilled, kWindowClosed };

// The app is ended as the test says `after` the designer has stored `count` values.
void EndAppOnceStored(Scene& s, size_t count, Ending ending, milliseconds after) {
    ASSERT_TRUE(WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() == count; }, std::chrono::seconds(30),
                          milliseconds(5)));
    std::this_thread::sleep_for(after);
    if (ending == Ending::kKilled) {
        s.app.process.Kill();  // TerminateProcess: nothing of the app runs after it
    } else {
        PostMessageW(s.app.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(s.app.process.WaitExit(), 0u);  // a quiet end, no message on the way
    }
    ASSERT_FALSE(s.app.process.Running());
}
}  // namespace

TEST(RunResumeE2E, AStopBeforeAFullPagesTurnTurnsItFirstWhenContinued) {
    for (const bool restarted : {false, true}) {
        SCOPED_TRACE(restarted ? "the app closed and started again after the stop" : "in the same app");
        Scene s;
        ASSERT_TRUE(s.OpenDesigner(kPerPage, kLongGap));
        s.Fields(L"E-", L"0001", L"9");
        s.PressStart();
        ASSERT_TRUE(s.EscapeOnceStored(3));  // the third Enter went out, its Page Down not yet
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_TRUE(EventsOf(s.fixture.Log(), "page").empty());
        if (restarted) {
            EXPECT_EQ(CloseApp(s.app), 0u);
            ASSERT_TRUE(s.RestartApp());
            EXPECT_TRUE(StartsWith(CaptionOf(s.app.window), L"Прерван: 3 из 9, следующий E-0004")) << ToUtf8(CaptionOf(s.app.window));
        }
        ContinueAfterTheFirstPage(s, "E-", restarted ? kInterruptedNote : L"");
        EXPECT_EQ(CloseApp(s.app), 0u);
    }
}

// The trial run and waiting for the wizard ticked in the settings window, which is then closed
// without "Применить": the next run waits for the wizard and stops once the first page is stored,
// before its Page Down; "СТАРТ" and "Да" turn the page and fill the rest, and both ticks outlast a
// restart.
TEST(RunResumeE2E, ATrialRunStopsAfterTheFirstPageAndGoesOnWhenContinued) {
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(kPerPage));
    Click(ChildById(s.app.window, kSettingsButtonId));
    HWND settings = WaitForTopWindow(s.app.process.Id(), L"BarcodeSettings");
    ASSERT_TRUE(settings);
    for (int box : {kTrialRunCheckId, kWaitForWizardCheckId}) {
        Click(ChildById(settings, box));
        ASSERT_TRUE(WaitUntil([&] { return IsChecked(ChildById(settings, box)); }));
    }
    PostMessageW(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }));

    s.Fields(L"T-", L"0001", L"9");
    s.PressStart();
    EXPECT_EQ(EndMessage(s), L"Пробный запуск: Пробный запуск: заполнено 3 значения на первой странице. Проверьте "
                             L"страницу в редакторе; если всё верно, нажмите СТАРТ, чтобы продолжить.");
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_TRUE(EventsOf(s.fixture.Log(), "page").empty());
    EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("T-", 1, 3, kPerPage));
    EXPECT_TRUE(StartsWith(CaptionOf(s.app.window), L"Остановлено (пробный запуск): 3 из 9, следующий T-0004"))
        << ToUtf8(CaptionOf(s.app.window));
    const Journal journal = ReadJournal(s.dir);
    ASSERT_FALSE(journal.rows.empty());
    EXPECT_EQ(journal.rows.back().at(4), L"остановка: пробный запуск");
    ASSERT_EQ(journal.starts.size(), 1u);
    EXPECT_NE(journal.starts[0].at(4).find(L"ожидание окна мастера"), std::wstring::npos)
        << ToUtf8(journal.starts[0].at(4));

    ContinueAfterTheFirstPage(s, "T-");

    // The tick is read back at the next start.
    EXPECT_EQ(CloseApp(s.app), 0u);
    ASSERT_TRUE(s.RestartApp());
    Click(ChildById(s.app.window, kSettingsButtonId));
    settings = WaitForTopWindow(s.app.process.Id(), L"BarcodeSettings");
    ASSERT_TRUE(settings);
    EXPECT_TRUE(IsChecked(ChildById(settings, kTrialRunCheckId)));
    EXPECT_TRUE(IsChecked(ChildById(settings, kWaitForWizardCheckId)));
    EXPECT_EQ(CloseApp(s.app), 0u);
}

TEST(RunResumeE2E, ARunEndedWithTheProgramIsShownAtTheNextStartAndContinuedToTheUninterruptedResult) {
    struct Case {
        const char* name;
        Ending ending;
        bool list;
        // After the fourth value reached the designer: 300 ms puts the end well inside the wait
        // between barcodes, 0 at once. With the fixed delays the run sees that value's wizard gone
        // only when the next click is due: killed before that, it types the value again (into the
        // same object); a closed window lets the run look first, and the value counts.
        milliseconds after;
    };
    const Case cases[] = {
        {"numbers, the process killed", Ending::kKilled, false, milliseconds(300)},
        {"numbers, the main window closed", Ending::kWindowClosed, false, milliseconds(300)},
        {"a list, the process killed", Ending::kKilled, true, milliseconds(300)},
        {"numbers, the process killed as the fourth value is stored", Ending::kKilled, false, milliseconds(0)},
    };
    const std::wstring listText = L"Ящик 01\r\nЯщик 02\r\n Ящик 03\r\nЯщик 04\r\nЯщик 05\r\n\r\nЯщик 06\r\n"
                                  L"Ящик 07\r\nЯщик 08\r\nЯщик 09\r\nЯщик 10";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        ASSERT_TRUE(s.OpenDesigner(kPerPage, kLongGap));
        const std::vector<POINT> points = Centers(s.fixture.ChildrenOfClass(L"FakeBarcodeObject"), kPerPage);
        std::vector<std::wstring> values;
        if (c.list) {
            SendMessageW(CheckBox(s.app, L"Переменная из списка"), BM_CLICK, 0, 0);
            SetTextOf(VariableListEdit(s.app), listText);
            s.Fields(L"Л-", L"1", L"0");  // the total is not looked at in list mode
            for (int i = 1; i <= 10; ++i) values.push_back(L"Л-Ящик " + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i));
        } else {
            s.Fields(L"R-", L"0001", L"10");
            for (int i = 1; i <= 10; ++i) values.push_back(L"R-00" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i));
        }
        std::vector<std::string> utf8;
        for (const std::wstring& v : values) utf8.push_back(ToUtf8(v));
        const std::vector<Landed> expected = Placed(utf8, kPerPage);
        const std::wstring prefix = TextOf(PrefixEdit(s.app)), start = TextOf(StartNumberEdit(s.app)),
                           total = TextOf(TotalEdit(s.app));
        s.PressStart();
        EndAppOnceStored(s, 4, c.ending, c.after);
        EXPECT_EQ(ValuesIn(s.fixture.Log()), std::vector<Landed>(expected.begin(), expected.begin() + 4));
        EXPECT_FALSE(FileExists(JoinPath(s.dir, kLockFile)));  // the folder's lock went with the process

        ASSERT_TRUE(s.RestartApp());
        EXPECT_EQ(TextOf(PrefixEdit(s.app)), prefix);
        EXPECT_EQ(TextOf(StartNumberEdit(s.app)), start);
        EXPECT_EQ(TextOf(TotalEdit(s.app)), total);
        EXPECT_EQ(ComboSelection(PerPageCombo(s.app)), kPerPage - 1);
        EXPECT_EQ(RowTexts(s.app, kPerPage), PointTexts(points));
        EXPECT_EQ(IsChecked(CheckBox(s.app, L"Переменная из списка")), c.list);
        if (c.list) {
            EXPECT_EQ(TextOf(VariableListEdit(s.app)), listText);
        }
        const std::wstring caption = CaptionOf(s.app.window);
        const int next = c.ending == Ending::kKilled ? 3 : 4;
        EXPECT_TRUE(StartsWith(caption, L"Прерван: " + std::to_wstring(next) + L" из 10, следующий " + values[next] +
                                            L" · "))
            << ToUtf8(caption);

        // Cancel keeps the point and sends nothing; the next START asks again.
        const size_t logged = s.fixture.Log().size();
        s.PressStart();
        MessageBoxInfo ask = WaitForMessageBox(s.app.process.Id());
        ASSERT_TRUE(ask.window);
        EXPECT_EQ(ask.caption, L"Продолжить?");
        AnswerMessageBox(ask.window, IDCANCEL);
        std::this_thread::sleep_for(milliseconds(500));
        EXPECT_EQ(s.fixture.Log().size(), logged);

        s.PressStart();
        ask = WaitForMessageBox(s.app.process.Id());
        ASSERT_TRUE(ask.window);
        EXPECT_EQ(ask.caption, L"Продолжить?");
        EXPECT_EQ(ask.text, kInterruptedNote + ContinueQuestion(values[next], 2, next - 2, values[0]));
        AnswerMessageBox(ask.window, IDYES);
        const std::wstring end = EndMessage(s);
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(end, L"Готово: " + FinishedText(10 - next, c.list ? NextListLine(L"Ящик 10") : NextStartLine(L"0011")))
            << ToUtf8(end);
        ExpectFinishedCleanly(s, expected, 4 - next);
        EXPECT_EQ(CloseApp(s.app), 0u);
    }
}

TEST(RunResumeE2E, ASecondCopyInTheSameFolderLeavesTheRunUnderWayThereAlone) {
    const std::wstring elsewhere =
        L"В этой рабочей папке идёт прогон другой копии программы.\n"
        L"Её журнал и место продолжения не тронуты: дождитесь конца того прогона или запустите программу в другой "
        L"папке.";
    // Twenty seconds between the two barcodes: the second copy comes and goes inside that wait, also on a
    // machine busy with other suites (six seconds were over before its second message was answered).
    const std::vector<int> longerGap = QuickDelaysWithGap(20000);
    Scene s;
    ASSERT_TRUE(s.OpenDesigner(kPerPage, longerGap));
    s.Fields(L"D-", L"0001", L"2");
    s.PressStart();
    ASSERT_TRUE(WaitUntil([&] { return ValuesIn(s.fixture.Log()).size() == 1; }, std::chrono::seconds(30),
                          milliseconds(5)));
    EXPECT_TRUE(FileExists(JoinPath(s.dir, kLockFile)));
    const std::string inputs = ReadFileBytes(JoinPath(s.dir, L"barcode_run_inputs.cfg"));
    ASSERT_FALSE(inputs.empty());

    App second;
    ASSERT_TRUE(StartApp(second, s.dir));
    ParkMainWindow(second);
    MessageBoxInfo box = WaitForMessageBox(second.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.caption, L"Ошибка");
    EXPECT_EQ(box.text, elsewhere);
    EXPECT_FALSE(StartsWith(CaptionOf(second.window), L"Прерван")) << ToUtf8(CaptionOf(second.window));
    EXPECT_TRUE(TextOf(PrefixEdit(second)).empty());  // the run's inputs were not read
    AnswerMessageBox(box.window);
    // "СТАРТ" there starts nothing over the run either.
    PostMessageW(StartButton(second), BM_CLICK, 0, 0);
    box = WaitForMessageBox(second.process.Id());
    ASSERT_TRUE(box.window);
    EXPECT_EQ(box.text, elsewhere);
    AnswerMessageBox(box.window);
    EXPECT_EQ(CloseApp(second), 0u);
    EXPECT_EQ(ReadFileBytes(JoinPath(s.dir, L"barcode_run_inputs.cfg")), inputs);
    EXPECT_TRUE(FileExists(JoinPath(s.dir, L"barcode_run_state.cfg")));
    EXPECT_EQ(ValuesIn(s.fixture.Log()).size(), 1u) << "the wait between barcodes was over too soon";

    // The first run goes on to its end as if nothing had happened.
    EXPECT_EQ(EndMessage(s), L"Готово: " + FinishedText(2, NextStartLine(L"0003")));
    ExpectFinishedCleanly(s, Expected("D-", 1, 2, kPerPage), 0);
    EXPECT_EQ(ValuesIn(s.fixture.Log()), Expected("D-", 1, 2, kPerPage));
    EXPECT_FALSE(FileExists(JoinPath(s.dir, kLockFile)));
    // Its journal: its own first row and its two barcodes, nothing of the second copy.
    const std::string journal = ReadFileBytes(JoinPath(s.dir, L"barcode_run_log.csv"));
    const std::vector<std::string> lines = SplitLines(journal);
    ASSERT_EQ(lines.size(), 4u) << journal;
    EXPECT_NE(FromCp1251(lines[1]).find(L";;;;прогон: 2 значения с D-0001, фиксированные задержки"),
              std::wstring::npos);
    EXPECT_EQ(CloseApp(s.app), 0u);
}
