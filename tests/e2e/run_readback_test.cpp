// A run of the real exe against wizards whose field does not simply hold what was typed: it opens
// with the object's old text, loses keys typed quickly, takes its time over each character, keeps
// its text from other programs, or holds fewer characters than the value. Every stored value must be
// exactly the one wanted, or the run stops before the wizard is confirmed; the message and the
// journal in the working folder say which values were seen in the wizard.
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <thread>

using namespace harness;

namespace {
constexpr int kValues = 6;
constexpr int kPerPage = 3;
constexpr size_t kValueLength = 6;  // P-0001
const std::wstring kFinished = L"Готово: Генерация завершена!\n\nПроверено в окне мастера: 6 из 6.";
const std::wstring kNextRun = L"\n\nСледующий прогон без повтора: Начать с: 0007";

// What a run of P-0001..P-0006 over two pages left behind.
struct SixValues {
    bool opened = false;
    std::wstring message;  // "<caption>: <text>" of the message it ended with
    std::vector<FixtureEvent> log;
    std::vector<size_t> charsPerWizard;           // characters each wizard took, in the order they opened
    Journal journal;                              // barcode_run_log.csv
    bool waiting = false;                         // paced by the wizard's window
};

std::vector<size_t> CharsPerWizard(const std::vector<FixtureEvent>& log) {
    std::vector<size_t> out;
    bool open = false;
    for (const FixtureEvent& e : log) {
        if (e.kind() == "open") {
            out.push_back(0);
            open = true;
        } else if (e.kind() == "value" || e.kind() == "cancel") {
            open = false;
        } else if (e.kind() == "char" && open) {
            ++out.back();
        }
    }
    return out;
}

// The designer started with `option`, six values run with `delays`, the end message answered.
SixValues RunSix(const std::wstring& option, const std::vector<int>& delays) {
    SixValues run;
    Scene s;
    if (!s.OpenDesigner(kPerPage, delays, option)) return run;
    run.opened = true;
    run.waiting = delays.size() > 7 && delays[7] == 1;
    s.Fields(L"P-", L"0001", std::to_wstring(kValues));
    s.PressStart();
    run.message = EndMessage(s);
    std::this_thread::sleep_for(milliseconds(300));
    run.log = s.fixture.Log();
    run.charsPerWizard = CharsPerWizard(run.log);
    run.journal = ReadJournal(s.app.workDir);
    s.fixture.process.Kill();  // a wizard a stop left open goes with it
    EXPECT_EQ(CloseApp(s.app), 0u);
    return run;
}

// YYYY-MM-DD HH:MM:SS.mmm
bool IsLocalTime(const std::wstring& text) {
    const std::wstring mask = L"dddd-dd-dd dd:dd:dd.ddd";
    if (text.size() != mask.size()) return false;
    for (size_t i = 0; i < mask.size(); ++i)
        if (mask[i] == L'd' ? !iswdigit(text[i]) : text[i] != mask[i]) return false;
    return true;
}

// The journal holds its header and the first `count` barcodes of the run in order, each with a
// result that equals `result`, or begins with it when `prefixOnly`.
void ExpectJournal(const SixValues& run, size_t count, const std::wstring& result, bool prefixOnly = false) {
    ASSERT_FALSE(run.journal.bytes.empty()) << "no barcode_run_log.csv in the working folder";
    EXPECT_EQ(run.journal.header, L"Время;Страница;Захват;Значение;Итог");
    // The run's own row comes first and says what it fills and how it is paced.
    const auto& starts = run.journal.starts;
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(IsLocalTime(starts[0][0])) << ToUtf8(starts[0][0]);
    EXPECT_EQ(starts[0], (std::vector<std::wstring>{starts[0][0], L"", L"", L"",
                                                    std::wstring(L"прогон: 6 значений с P-0001, ") +
                                                        (run.waiting ? L"ожидание окна мастера"
                                                                     : L"фиксированные задержки")}));
    ASSERT_FALSE(run.journal.rows.empty());
    EXPECT_LE(starts[0][0], run.journal.rows[0][0]);
    ASSERT_EQ(run.journal.rows.size(), count);
    const std::vector<Landed> expected = Expected("P-", 1, kValues, kPerPage);
    for (size_t i = 0; i < count; ++i) {
        const std::vector<std::wstring>& row = run.journal.rows[i];
        SCOPED_TRACE("row " + std::to_string(i + 1));
        ASSERT_EQ(row.size(), 5u);
        EXPECT_TRUE(IsLocalTime(row[0])) << ToUtf8(row[0]);
        if (i > 0) {
            EXPECT_LE(run.journal.rows[i - 1][0], row[0]);
        }
        EXPECT_EQ(ToUtf8(row[1]), expected[i].page);
        EXPECT_EQ(ToUtf8(row[2]), expected[i].object);
        EXPECT_EQ(ToUtf8(row[3]), expected[i].value);
        if (prefixOnly) {
            EXPECT_TRUE(StartsWith(row[4], result)) << ToUtf8(row[4]);
        } else {
            EXPECT_EQ(row[4], result);
        }
    }
}

// Values typed again, as the completion message counts them after "Проверено в окне мастера"; -1
// when the message is not the completion of a run whose values were all seen in the wizard.
int RetypedIn(const std::wstring& message) {
    if (!StartsWith(message, kFinished) || message.size() < kFinished.size() + kNextRun.size() ||
        message.substr(message.size() - kNextRun.size()) != kNextRun)
        return -1;
    const std::wstring rest = message.substr(kFinished.size(), message.size() - kFinished.size() - kNextRun.size());
    if (rest.empty()) return 0;
    const std::wstring head = L"\nВведено повторно: ";
    if (!StartsWith(rest, head) || rest.back() != L'.') return -1;
    const std::wstring number = rest.substr(head.size(), rest.size() - head.size() - 1);
    if (number.empty() || number.find_first_not_of(L"0123456789") != std::wstring::npos) return -1;
    return std::stoi(number);
}
}  // namespace

namespace {
struct ReadbackCase {
    const wchar_t* option;
    bool waiting;
    size_t typingsAtMost;  // of one value into one wizard
    int retyped;           // the count the message gives; -1: any that matches the characters typed
};

// Six values run against a designer with the case's option: each seen in the wizard and stored
// exactly, each typing the whole value, the retypes as the message counts them.
void ExpectEveryValueSeenAndStoredExactly(const ReadbackCase& c) {
    SCOPED_TRACE(ToUtf8(c.option) + (c.waiting ? ", waiting for the wizard" : ", fixed delays"));
    const SixValues run = RunSix(c.option, c.waiting ? kWaitingDelays : kQuickDelays);
    if (!run.opened) return;
    const int retyped = RetypedIn(run.message);
    EXPECT_GE(retyped, 0) << ToUtf8(run.message);
    if (c.retyped >= 0) {
        EXPECT_EQ(retyped, c.retyped) << ToUtf8(run.message);
    }
    EXPECT_EQ(ValuesIn(run.log), Expected("P-", 1, kValues, kPerPage));
    EXPECT_TRUE(EventsOf(run.log, "stray").empty()) << Describe(EventsOf(run.log, "stray"));
    // Each typing is the whole value: the characters tell how often each value went out.
    EXPECT_EQ(run.charsPerWizard.size(), static_cast<size_t>(kValues));
    size_t chars = 0;
    for (size_t n : run.charsPerWizard) {
        EXPECT_EQ(n % kValueLength, 0u) << n;
        EXPECT_LE(n, c.typingsAtMost * kValueLength);
        chars += n;
    }
    if (retyped >= 0) {
        EXPECT_EQ(chars, (kValues + retyped) * kValueLength);
    }
    if (std::wstring(c.option) == L"lose=3") {
        EXPECT_FALSE(EventsOf(run.log, "lost").empty());  // it did lose keys
    }
    ExpectJournal(run, kValues, L"проверено");
}
}  // namespace

TEST(RunReadbackE2E, EveryValueIsSeenInTheWizardAndStoredExactlyAndTypedNoMoreThanNeeded) {
    const ReadbackCase cases[] = {
        {L"old", true, 2, -1},      // the old text cleared and the value typed again, at most once
        {L"old", false, 2, -1},
        {L"slow=40", true, 1, 0},   // a field still taking characters is waited for, never retyped
    };
    for (const ReadbackCase& c : cases) ExpectEveryValueSeenAndStoredExactly(c);
}

// A field that loses keys typed within 15 ms of each other tells the run's first typing from its slower
// retype pace by time alone: with other suites beside it a busy machine spreads any typing out and
// nothing is lost, so these are timed alone (a Timing suite).
TEST(RunReadbackTiming, AFieldThatLosesQuickKeysIsTypedAgainAndTheSlowerPaceLosesNothingMore) {
    const ReadbackCase cases[] = {
        {L"lose=3", true, 2, 1},    // after one retype the slower pace is kept: nothing more is lost
        {L"lose=3", false, 2, -1},
    };
    for (const ReadbackCase& c : cases) ExpectEveryValueSeenAndStoredExactly(c);
}

TEST(RunReadbackE2E, AFieldThatKeepsItsTextToItselfIsCountedNotCheckedAndStillGetsEveryValue) {
    const SixValues run = RunSix(L"nogettext", kWaitingDelays);
    ASSERT_TRUE(run.opened);
    EXPECT_TRUE(StartsWith(run.message, L"Готово: Генерация завершена!\n\n")) << ToUtf8(run.message);
    EXPECT_NE(run.message.find(L"Не проверено: 6 из 6 — поле мастера не даёт прочитать свой текст; просмотрите эти "
                               L"значения в редакторе."),
              std::wstring::npos)
        << ToUtf8(run.message);
    EXPECT_EQ(run.message.find(L"Введено повторно"), std::wstring::npos) << ToUtf8(run.message);
    EXPECT_EQ(ValuesIn(run.log), Expected("P-", 1, kValues, kPerPage));
    EXPECT_EQ(run.charsPerWizard, std::vector<size_t>(kValues, kValueLength));  // nothing it cannot see is retyped
    EXPECT_TRUE(EventsOf(run.log, "stray").empty()) << Describe(EventsOf(run.log, "stray"));
    ExpectJournal(run, kValues, L"не проверено");
}

TEST(RunReadbackE2E, AFieldTooShortForTheValueStopsBeforeItsWizardIsConfirmed) {
    for (const bool waiting : {true, false}) {
        SCOPED_TRACE(waiting ? "waiting for the wizard" : "fixed delays");
        const SixValues run = RunSix(L"limit=4", waiting ? kWaitingDelays : kQuickDelays);
        if (!run.opened) continue;
        EXPECT_TRUE(StartsWith(run.message, L"Ошибка: Прогон остановлен: в мастере ШК захвата 1 ("))
            << ToUtf8(run.message);
        EXPECT_NE(run.message.find(L"«P-00»"), std::wstring::npos) << ToUtf8(run.message);  // what the field holds
        EXPECT_NE(run.message.find(L"а не «P-0001»"), std::wstring::npos) << ToUtf8(run.message);
        // The one wizard opened got no Enter and stored nothing.
        EXPECT_TRUE(ValuesIn(run.log).empty());
        EXPECT_EQ(run.charsPerWizard.size(), 1u);
        if (!run.charsPerWizard.empty()) {
            EXPECT_LE(run.charsPerWizard[0], 3 * kValueLength);  // typed once and at most twice again
        }
        EXPECT_FALSE(Logged(run.log, "key", "D"));  // VK_RETURN
        EXPECT_TRUE(EventsOf(run.log, "stray").empty()) << Describe(EventsOf(run.log, "stray"));
        ExpectJournal(run, 1, L"остановка: ", true);
    }
}
