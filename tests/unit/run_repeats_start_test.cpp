// "СТАРТ" over values already entered: the question comes before any input, "Нет" sends nothing and
// writes nothing, "Да" fills and the journal says «повтор»; a continue does not ask; a list that
// repeats a line is refused unless allowed; a journal not read is said, never passed over.
#include "automation/run/run_repeats.h"
#include "fakes/run_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {
bool IsInput(const std::string& event) {
    for (const char* kind : {"cursor", "mouse", "char", "key"})
        if (event.rfind(kind, 0) == 0) return true;
    return false;
}
// No click or key among the events before the question.
bool NoInputBefore(const RecordingMachine& m, const RecordingMachine::Question& q) {
    for (size_t i = 0; i < q.eventsBefore && i < m.events.size(); ++i)
        if (IsInput(m.events[i].what)) return false;
    return true;
}
// Escape at the pump point of barcode `index` (0-based) of a run's first page.
void EscapeAtBarcode(RecordingMachine& m, int index) {
    auto pumps = std::make_shared<int>(0);
    m.onPump = [&m, pumps, index] {
        if (++*pumps == index + 2) m.escapeAt = m.now;
    };
}
RunInputs List(const std::string& text) {
    RunInputs in = Numbered("", "", "", 5);
    in.listMode = true;
    in.listText = text;
    return in;
}
const std::string kQuestionLead = "Значения этого прогона уже вводились: ";

TEST_F(Run, ANewRunOverValuesEnteredBeforeAsksFirstNoSendsNothingYesSaysRepeatInTheJournal) {
    Fast();
    Drive(m, Numbered("P-", "0001", "5", 5));  // a trial of five values
    EXPECT_TRUE(m.confirmations.empty()) << "a folder without a journal has nothing to ask about";
    const std::string journal = FileOf(folder);

    // A new run from 0001: asked before any click, "Нет" (the default) sends and writes nothing.
    RecordingMachine no;
    no.confirmAnswer = Machine::Answer::kNo;
    Drive(no, Numbered("P-", "0001", "10", 5));
    ASSERT_EQ(no.confirmations.size(), 1u);
    EXPECT_EQ(no.confirmations[0].caption, kRepeatCaption);
    EXPECT_EQ(no.confirmations[0].text.rfind(kQuestionLead + "5 из 10 (P-0001 … P-0005), последний раз 08.12.2026 "
                                                             "10:00. Ввести их ещё раз?\n\n",
                                             0),
              0u)
        << no.confirmations[0].text;
    EXPECT_TRUE(no.events.empty()) << no.events.front().what;
    EXPECT_EQ(FileOf(folder), journal);
    EXPECT_FALSE(AutomationRunning());

    // "Да": every value goes in and the start row says how many again.
    RecordingMachine yes;
    Drive(yes, Numbered("P-", "0001", "10", 5));
    ASSERT_EQ(yes.confirmations.size(), 1u);
    EXPECT_TRUE(NoInputBefore(yes, yes.confirmations[0]));
    EXPECT_EQ(Values(yes), (Strings{"P-0001", "P-0002", "P-0003", "P-0004", "P-0005", "P-0006", "P-0007", "P-0008",
                                    "P-0009", "P-0010"}));
    EXPECT_EQ(RunNotes(FileOf(folder)), (Strings{"прогон: 5 значений с P-0001, фиксированные задержки",
                                                 "прогон: 10 значений с P-0001, фиксированные задержки, повтор: 5 значений"}));
    EXPECT_EQ(yes.What().back(), DoneLine(10, "0011"));

    // Values of another range ask nothing.
    RecordingMachine next;
    Drive(next, Numbered("P-", "0011", "5", 5));
    EXPECT_TRUE(next.confirmations.empty());
    EXPECT_EQ(Values(next).front(), "P-0011");
}

TEST_F(Run, AContinueDoesNotAskAndBeginningAnewDoes) {
    Fast();
    const RunInputs in = Numbered("C", "01", "8", 8);  // one page: no turn to see
    RecordingMachine stopped;
    EscapeAtBarcode(stopped, 2);
    Drive(stopped, in);
    ASSERT_EQ(Values(stopped).size(), 2u);

    // "Да" to the continue question: the rest, asked nothing more.
    RecordingMachine goOn;
    RunAutomation(goOn, in);
    EXPECT_TRUE(goOn.confirmations.empty());
    EXPECT_EQ(Values(goOn), (Strings{"C03", "C04", "C05", "C06", "C07", "C08"}));

    // Stopped again; "Нет" to the continue question begins anew over what went in: that asks.
    RecordingMachine again, anew;
    EscapeAtBarcode(again, 1);
    ForgetRunStop();
    RunInputs other = in;
    other.startText = "21";
    Drive(again, other);
    anew.answer = Machine::Answer::kNo;
    anew.confirmAnswer = Machine::Answer::kNo;
    RunAutomation(anew, other);
    ASSERT_EQ(anew.confirmations.size(), 1u);
    EXPECT_EQ(anew.confirmations[0].text.rfind(kQuestionLead + "1 из 8 (C21)", 0), 0u) << anew.confirmations[0].text;
    ASSERT_FALSE(anew.What().empty());
    EXPECT_EQ(anew.What().front().rfind("ask ", 0), 0u);
    EXPECT_FALSE(anew.HasInputAfter(0));
    // The stop is still there to go on from.
    RecordingMachine later;
    RunAutomation(later, other);
    EXPECT_TRUE(later.confirmations.empty());
    EXPECT_EQ(Values(later).front(), "C22");
}

TEST_F(Run, AListThatRepeatsALineIsRefusedNamingBothUnlessAllowed) {
    Fast();
    const RunInputs in = List("K1\nK2\n\nK1 \n");
    Drive(m, in);
    EXPECT_EQ(m.What(), (Strings{"message Ошибка: " + ListRepeatRefusal(in.listText)}));
    EXPECT_EQ(ListRepeatRefusal(in.listText).rfind("Строки 1 и 4 списка одинаковы: «K1».", 0), 0u);
    EXPECT_EQ(FileOf(folder), "");

    delays.allowListRepeats = true;
    RecordingMachine allowed;
    Drive(allowed, in);
    EXPECT_EQ(Values(allowed), (Strings{"K1", "K2", "K1"}));
    EXPECT_TRUE(allowed.confirmations.empty()) << "its own repeat is no value entered before";
    EXPECT_NE(allowed.What().back().find("Следующий прогон без повтора: с новой строки списка"), std::string::npos);

    // The same list again: each line entered before, named by its line.
    RecordingMachine twice;
    twice.confirmAnswer = Machine::Answer::kNo;
    Drive(twice, in);
    ASSERT_EQ(twice.confirmations.size(), 1u);
    EXPECT_EQ(twice.confirmations[0].text.rfind(kQuestionLead + "3 из 3 (K1 … K1 (строки 1–4)), последний раз ", 0), 0u)
        << twice.confirmations[0].text;
}

TEST_F(Run, AJournalThatCannotBeReadIsSaidInTheJournalAndAtTheEnd) {
    Fast();
    ASSERT_TRUE(WriteFileAtomically(folder.path + "/" + kJournalOldFileName, "\xFF\xFEjunk"));
    Drive(m, Numbered("", "1", "2", 5));
    EXPECT_TRUE(m.confirmations.empty());
    const std::string note = "Повторы проверены не по всем журналам: barcode_run_log.old.csv — сохранён другой "
                             "программой в кодировке UTF-16, не прочитан.";
    EXPECT_EQ(RunNotes(FileOf(folder)),
              (Strings{"прогон: 2 значения с 1, фиксированные задержки", std::string(kJournalNoteLead) + note}));
    EXPECT_EQ(m.What().back(), std::string("message ") + kFinishedCaption + ": " +
                                   CompletionMessage(RunTally{2, 0, 0}, false, note,
                                                     "Следующий прогон без повтора: Начать с: 3"));

    // With values entered before, the question names it.
    RecordingMachine again;
    again.confirmAnswer = Machine::Answer::kNo;
    Drive(again, Numbered("", "1", "2", 5));
    ASSERT_EQ(again.confirmations.size(), 1u);
    EXPECT_NE(again.confirmations[0].text.find("Ввести их ещё раз?\n\n" + note + "\n\nДа"), std::string::npos)
        << again.confirmations[0].text;
}
}  // namespace
