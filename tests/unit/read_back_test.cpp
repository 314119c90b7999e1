// Every value is read back from the wizard before its Enter: the decision over the reads and the
// clock, and whole runs against wizards whose fields misbehave, with what the journal keeps.
#include "automation/watch/read_back.h"
#include "automation/watch/wizard_wait.h"
#include "automation/run/run_journal.h"
#include "fakes/run_fixture.h"
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include <filesystem>
#include <fstream>

namespace {
FieldRead Read(FieldRead::State state, const std::string& text = "") {
    FieldRead read;
    read.state = state;
    read.text = text;
    return read;
}
FieldRead Text(const std::string& text) { return Read(FieldRead::State::kText, text); }
FieldRead Inexact(const std::string& text) {
    FieldRead read = Text(text);
    read.exact = false;
    return read;
}
const FieldRead kTimedOut = Read(FieldRead::State::kFailed);

}  // namespace

TEST(ReadBack, DecidesFromTheReadsAndTheClock) {
    const struct {
        const char* name;
        FieldRead before;
        std::vector<std::pair<long long, FieldRead>> reads;  // at ms after typing
        ReadBackVerdict verdict;                           // after the last read
    } cases[] = {
        {"there at once", Text(""), {{0, Text("P-01")}}, ReadBackVerdict::kVerified},
        {"still arriving", Text(""), {{0, Text("P-")}, {100, Text("P-0")}, {200, Text("P-0")}}, ReadBackVerdict::kWaiting},
        {"arrives late", Text(""), {{0, Text("P-")}, {140, Text("P-0")}, {280, Text("P-01")}}, ReadBackVerdict::kVerified},
        {"settled short", Text(""), {{0, Text("P-0")}, {150, Text("P-0")}}, ReadBackVerdict::kMismatch},
        {"old text kept", Text("old"), {{0, Text("oldP-01")}, {150, Text("oldP-01")}}, ReadBackVerdict::kMismatch},
        {"typing changed nothing", Text("x"), {{0, Text("x")}, {150, Text("x")}}, ReadBackVerdict::kUnreadable},
        {"empty stays empty", Text(""), {{0, Text("")}, {149, Text("")}}, ReadBackVerdict::kWaiting},
        {"the old text was the value", Text("P-01"), {{0, Text("P-01")}, {150, Text("P-01")}}, ReadBackVerdict::kUnreadable},
        {"the old text was the value, then doubled", Text("P-01"), {{0, Text("P-01P")}, {150, Text("P-01P-01")}},
         ReadBackVerdict::kWaiting},
        {"reads fail, then answer", Text(""), {{0, kTimedOut}, {1000, kTimedOut}, {1500, Text("P-01")}},
         ReadBackVerdict::kVerified},
        {"reads fail to the ceiling", Text(""), {{0, Text("P")}, {100, kTimedOut}, {2000, kTimedOut}},
         ReadBackVerdict::kLost},
        {"still changing at the ceiling", Text(""), {{1990, Text("P-")}, {2000, Text("P-0")}}, ReadBackVerdict::kMismatch},
        {"a character outside 1251 read as '?'", Text(""), {{0, Inexact("P-01")}, {150, Inexact("P-01")}},
         ReadBackVerdict::kMismatch},
        {"the field lost the focus", Text(""), {{0, Read(FieldRead::State::kNoField)}, {2000, kTimedOut}},
         ReadBackVerdict::kLost},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadBack readBack(c.before, "P-01", 1000, 100);
        ReadBackVerdict verdict = ReadBackVerdict::kWaiting;
        for (const auto& [at, read] : c.reads) verdict = readBack.Next(read, 1000 + at);
        EXPECT_EQ(verdict, c.verdict);
    }
    EXPECT_TRUE(ReadBack::Readable(Text("")));
    for (auto state : {FieldRead::State::kNoField, FieldRead::State::kPassword, FieldRead::State::kFailed})
        EXPECT_FALSE(ReadBack::Readable(Read(state)));
    // The ceiling is three times a long typing time.
    ReadBack slow(Text(""), "P-01", 0, 1000);
    EXPECT_EQ(slow.Next(Text("P"), 2999), ReadBackVerdict::kWaiting);
    EXPECT_EQ(slow.Next(kTimedOut, 3000), ReadBackVerdict::kLost);
    EXPECT_EQ(RetypePaceMs(20), 40);
    EXPECT_EQ(RetypePaceMs(5), 30);
    EXPECT_EQ(RetypePaceMs(-7), 30);
    EXPECT_EQ(RetypePaceMs(INT_MAX), static_cast<int>(2 * kMaxDelayMs));  // a hand-edited delay, bounded
}

TEST_F(Run, WizardFieldsThatMisbehaveEndWithEveryValueExactOrAStopBeforeAnyEnter) {
    const std::vector<std::string> wanted = {"D-0001", "D-0002", "D-0003", "D-0004", "D-0005", "D-0006"};
    struct Case {
        const char* name;
        std::function<void(RecordingMachine&)> designer;
        bool waiting;
        std::string end;       // the last event
        size_t typings;        // values typed in all
        size_t storedValues;   // values confirmed with three Enters
    };
    const std::string kNextD = "Следующий прогон без повтора: Начать с: 0007";
    const std::string kMismatch = std::string("message Ошибка: ") +
        MismatchStopMessage("захвата 1 (101, 201)", "D-00", "D-0001", 3);
    const Case cases[] = {
        {"old text, caret after it", [](RecordingMachine& r) { r.fieldOpensWith = "old"; }, true,
         "message Готово: " + CompletionMessage(RunTally{6, 0, 6}, false, "", kNextD), 12, 6},
        {"old text, fixed delays", [](RecordingMachine& r) { r.fieldOpensWith = "old"; }, false,
         "message Готово: " + CompletionMessage(RunTally{6, 0, 6}, false, "", kNextD), 12, 6},
        // Every third key lost while they come quickly: one retype, then the slower pace holds.
        {"keys lost", [](RecordingMachine& r) {
             r.loseChar = [&r](int n) { return n % 3 == 2 && r.keysTyped < 6; };
         }, true, "message Готово: " + CompletionMessage(RunTally{6, 0, 1}, false, "", kNextD), 7, 6},
        {"40 ms a character", [](RecordingMachine& r) { r.fieldLagMs = 40; }, true, DoneLine(6, "0007"), 6, 6},
        {"no text to read", [](RecordingMachine& r) {
             r.fieldAnswers = [](long long) { return FieldRead::State::kFailed; };
         }, true, "message Готово: " + CompletionMessage(RunTally{0, 6, 0}, false, "", kNextD), 6, 6},
        {"a password field", [](RecordingMachine& r) {
             r.fieldAnswers = [](long long) { return FieldRead::State::kPassword; };
         }, false, "message Готово: " + CompletionMessage(RunTally{0, 6, 0}, false, "", kNextD), 6, 6},
        {"a field shorter than the value", [](RecordingMachine& r) { r.fieldLimit = 4; }, true, kMismatch, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FreshStartPacedBy(c.waiting);
        RecordingMachine r;
        c.designer(r);
        Drive(r, Numbered("D-", "0001", "6", 3));
        EXPECT_EQ(r.What().back(), c.end);
        EXPECT_EQ(r.Only("char+").size(), c.typings * 6);
        EXPECT_EQ(Count(r, "key+ 0D"), c.storedValues * 3);  // no Enter for a value not seen
        if (c.storedValues == 0) {
            EXPECT_EQ(r.field, "D-00");
            EXPECT_EQ(Results(FileOf(folder)).back().rfind("остановка: в мастере ШК захвата 1", 0), 0u);
        }
    }
}

TEST_F(Run, AFieldThatStopsAnsweringIsNeverConfirmedAndEscapeEndsAReadBackAtOnce) {
    delays.waitForWizard = true;
    m.fieldLagMs = 100;
    m.fieldAnswers = [&](long long at) {
        return m.Only("char+").empty() || at < m.Only("char+").front().at ? FieldRead::State::kText
                                                                           : FieldRead::State::kFailed;
    };
    Drive(m, Numbered("", "1", "2", 5));
    EXPECT_EQ(Count(m, "key+ 0D"), 0u);
    EXPECT_NE(m.What().back().find("перестало отвечать"), std::string::npos) << m.What().back();
    EXPECT_EQ(Shown(m).back(), "stopped 0/2 1");

    // Escape while the read-back waits for characters still on their way.
    RecordingMachine r;
    r.fieldLagMs = 100;
    r.onPump = [&] {
        if (r.escapeAt < 0) r.escapeAt = r.now + kWizardSettleMs + 1 + 50;  // settle, key, then 50 ms
    };
    Drive(r, Numbered("", "1", "2", 5));
    EXPECT_EQ(r.What().back(), kStopLine);
    EXPECT_EQ(r.events.back().at, r.escapeAt);
    EXPECT_EQ(Count(r, "key+ 0D"), 0u);
}

TEST(ReadBack, TheFocusedControlSaysWhetherKeysCanReachAField) {
    const struct {
        const char* className;
        unsigned code;
        FocusKind kind;
    } cases[] = {
        {"Edit", kDlgHasSetSel | kDlgWantChars, FocusKind::kTakesText},
        {"RichEdit20W", 0, FocusKind::kTakesText},
        {"TMyField", kDlgHasSetSel, FocusKind::kTakesText},  // keeps a selection: an edit of its own kind
        {"Button", kDlgDefPushButton | kDlgButton, FocusKind::kNoText},
        {"Button", kDlgButton, FocusKind::kNoText},            // a check box
        {"Button", kDlgRadioButton | kDlgButton, FocusKind::kNoText},
        {"ListBox", 0, FocusKind::kNoText},
        {"SysListView32", 0x1, FocusKind::kNoText},
        {"TCustomGrid", kDlgWantChars, FocusKind::kUnknown},  // wants characters: may well take them
        {"TCanvasField", 0, FocusKind::kUnknown},
    };
    for (const auto& c : cases) {
        FieldRead read = Text("");
        read.controlClass = c.className;
        read.dialogCode = c.code;
        EXPECT_EQ(KindOfFocus(read), c.kind) << c.className << " " << c.code;
    }
    EXPECT_EQ(KindOfFocus(Read(FieldRead::State::kNoField)), FocusKind::kUnknown);

    // An edit that shows the same text with its caret where it was never got the keys; one whose
    // caret moved keeps its text to itself.
    FieldRead before = Text("old"), after = Text("old");
    before.controlClass = after.controlClass = "Edit";
    before.caret = after.caret = 3;
    EXPECT_TRUE(KeysNeverArrived(before, after));
    after.caret = 9;
    EXPECT_FALSE(KeysNeverArrived(before, after));
    after.caret = 3;
    after.text = "oldP";
    EXPECT_FALSE(KeysNeverArrived(before, after));
    after.text = "old";
    after.controlClass = "TCanvasField";
    EXPECT_FALSE(KeysNeverArrived(before, after));

    FieldRead button = Text("&Next");
    button.controlClass = "Button";
    button.dialogCode = kDlgDefPushButton | kDlgButton;
    EXPECT_NE(WrongFocusStopMessage("захвата 1 (1, 2)", "", button).find("фокус в мастере ШК захвата 1 (1, 2) стоит на кнопке «Next», а не на поле ввода"),
              std::string::npos);
    // The window is named: a question of the designer taken for the wizard is told by its title.
    EXPECT_NE(WrongFocusStopMessage("захвата 3 (1, 2)", "«Fake designer» программы d.exe", button)
                  .find("захвата 3 (1, 2) (окно «Fake designer» программы d.exe) стоит на кнопке «Next»"),
              std::string::npos);
}

TEST_F(Run, KeysGoOnlyToAControlThatTakesTextAndKeysThatNeverArriveAreTypedAgain) {
    FieldRead nextButton;
    nextButton.state = FieldRead::State::kText;
    nextButton.text = "&Next";
    nextButton.controlClass = "Button";
    nextButton.dialogCode = kDlgDefPushButton | kDlgButton;
    const std::string wrongFocus = "message Ошибка: " + WrongFocusStopMessage("захвата 1 (101, 201)", "«window 21» программы program2.exe", nextButton);
    const std::string keysLost = "message Ошибка: " + KeysLostStopMessage("захвата 1 (101, 201)", "K-01", 3);
    const std::string kNextK = "Следующий прогон без повтора: Начать с: 04";
    const struct {
        const char* name;
        std::function<void(RecordingMachine&)> designer;
        std::string end;
        size_t typings;
    } cases[] = {
        {"the focus stays on the button", [](RecordingMachine& r) { r.buttonFocusFor = RecordingMachine::kNever; },
         wrongFocus, 0},
        {"the focus comes to the field a moment later",
         [](RecordingMachine& r) { r.buttonFocusFor = 100 + (delays.waitForWizard ? 0 : 800); }, DoneLine(3, "04"), 3},
        {"no key reaches the field", [](RecordingMachine& r) { r.loseChar = [](int) { return true; }; }, keysLost, 3},
        {"the field keeps its text to itself",
         [](RecordingMachine& r) { r.fieldHidesText = true; },
         "message Готово: " + CompletionMessage(RunTally{0, 3, 0}, false, "", kNextK), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InEachPacing([&](const Pacing&) {
            std::filesystem::remove(folder.path + "/" + kJournalFileName);
            RecordingMachine r;
            c.designer(r);
            Drive(r, Numbered("K-", "01", "3", 3));
            EXPECT_EQ(r.What().back(), c.end);
            EXPECT_EQ(r.Only("char+").size(), c.typings * 4);
            const bool stored = c.end.rfind("message Готово", 0) == 0;
            EXPECT_EQ(Count(r, "key+ 0D"), stored ? 9u : 0u);  // no Enter into a wizard whose field lacks the value
            if (!stored) {
                EXPECT_EQ(Results(FileOf(folder)).size(), 1u);
                EXPECT_EQ(Results(FileOf(folder)).back().rfind("остановка: ", 0), 0u);
            }
        });
    }
}

TEST(RunJournal, RowsAreQuotedWhereNeededAndGoElsewhereWhenTheFileIsLockedOrLarge) {
    EXPECT_EQ(CsvField("P-0001"), "P-0001");
    EXPECT_EQ(CsvField("a;b"), "\"a;b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    // Text a spreadsheet would take for a formula goes as one whose result is the text, exactly.
    const std::string longValue = "=" + std::string(299, 'x');
    const struct {
        JournalRow row;
        std::string line;
    } lines[] = {
        {{"2026-12-08 10:00:00.125", 2, 3, "x;y", "проверено"}, "2026-12-08 10:00:00.125;2;3;\"x;y\";проверено\r\n"},
        {{"t", 1, 1, "=1+2", "проверено"}, "t;1;1;\"=\"\"=1+2\"\"\";проверено\r\n"},
        {{"t", 1, 1, "+7", "проверено"}, "t;1;1;\"=\"\"+7\"\"\";проверено\r\n"},
        {{"t", 1, 1, "-0001", "проверено"}, "t;1;1;\"=\"\"-0001\"\"\";проверено\r\n"},
        {{"t", 1, 1, "@SUM(A1)", "проверено"}, "t;1;1;\"=\"\"@SUM(A1)\"\"\";проверено\r\n"},
        {{"t", 1, 1, "=\"a\";b", "проверено"}, "t;1;1;\"=\"\"=\"\"\"\"a\"\"\"\";b\"\"\";проверено\r\n"},
        {{"t", 1, 1, "P-0001", "проверено"}, "t;1;1;P-0001;проверено\r\n"},  // only the first character counts
        {{"t", 1, 1, longValue, "проверено"},
         "t;1;1;\"=\"\"" + longValue.substr(0, 255) + "\"\"&\"\"" + longValue.substr(255) + "\"\"\";проверено\r\n"},
        {{"t", 0, 0, "", "заметка: Захваты сдвинуты вслед за окном на (90, 60)"},
         "t;;;;заметка: Захваты сдвинуты вслед за окном на (90, 60)\r\n"},
        {{"t", 2, 1, "=1", "остановка: в поле «=1» другое"}, "t;2;1;\"=\"\"=1\"\"\";остановка: в поле «=1» другое\r\n"},
    };
    for (const auto& l : lines) {
        SCOPED_TRACE(l.row.value);
        const std::string line = JournalLine(l.row);
        EXPECT_EQ(line, l.line);
        // A reader of the file gets the value back exactly.
        const std::vector<Strings> rows = JournalRows(kJournalHeader + line);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(ShownText(rows[0][3]), l.row.value);
    }
    EXPECT_EQ(RunStartResult(9, "P-0001", "", false, false), "прогон: 9 значений с P-0001, ожидание окна мастера");
    EXPECT_EQ(RunStartResult(1, "A", "", true, false), "прогон: 1 значение с A, фиксированные задержки");
    EXPECT_EQ(RunStartResult(22, "A1", "A5", true, true),
              "прогон: 22 значения с A1, продолжение с A5, фиксированные задержки, режим XL");
    EXPECT_EQ(RunStartResult(111, "=1", "", true, false), "прогон: 111 значений с =1, фиксированные задержки");

    TempFolder folder("journal");
    const std::string dir = folder.path + "/";
    RunJournal journal(dir);
    journal.Append({"t1", 1, 1, "A", "проверено"});
    journal.Append({"t2", 1, 2, "B", "не проверено"});
    EXPECT_EQ(FileOf(folder), std::string(kJournalHeader) + "t1;1;1;A;проверено\r\nt2;1;2;B;не проверено\r\n");
    EXPECT_EQ(journal.Note(), "");

    // A later run appends without a second header; past 10 MB the file is moved aside first.
    RunJournal second(dir);
    second.Append({"t3", 2, 1, "C", "проверено"});
    EXPECT_EQ(Results(FileOf(folder)), (Strings{"проверено", "не проверено", "проверено"}));
    std::filesystem::resize_file(folder.dir / kJournalFileName, kJournalRotateBytes + 1);
    RunJournal third(dir);
    third.Append({"t4", 1, 1, "D", "проверено"});
    EXPECT_EQ(FileOf(folder), std::string(kJournalHeader) + "t4;1;1;D;проверено\r\n");
    EXPECT_EQ(FileSizeOf(dir + kJournalOldFileName), kJournalRotateBytes + 1);

    // The journal held by another program (here: a folder in its place) sends this run's rows to
    // the spare file, and the completion message says so.
    TempFolder locked("journal_locked");
    std::filesystem::create_directory(locked.dir / kJournalFileName);
    RunJournal blocked(locked.path + "/");
    blocked.Append({"t5", 1, 1, "E", "проверено"});
    blocked.Append({"t6", 1, 2, "F", "проверено"});
    EXPECT_EQ(Results(FileOf(locked, kJournalSpareFileName)), (Strings{"проверено", "проверено"}));
    EXPECT_NE(blocked.Note().find(kJournalSpareFileName), std::string::npos);
    EXPECT_NE(CompletionMessage(RunTally{2, 0, 0}, false, blocked.Note()).find(kJournalSpareFileName),
              std::string::npos);

    // A run that began in the journal and goes on in the spare file names itself again there, and the
    // spare file is moved aside past 10 MB like the journal.
    TempFolder later("journal_later");
    const std::string laterDir = later.path + "/";
    RunJournal run(laterDir);
    run.Begin({"t0", 0, 0, "", "прогон: 3 значения с G1, фиксированные задержки"});
    run.Append({"t1", 1, 1, "G1", "проверено"});
    std::filesystem::rename(later.dir / kJournalFileName, later.dir / "kept.csv");
    std::filesystem::create_directory(later.dir / kJournalFileName);
    std::ofstream(later.dir / kJournalSpareFileName) << "an earlier run's rows";
    std::filesystem::resize_file(later.dir / kJournalSpareFileName, kJournalRotateBytes + 1);
    run.Append({"t2", 1, 2, "G2", "проверено"});
    run.Append({"t3", 1, 3, "G3", "проверено"});
    const std::string start = "t0;;;;прогон: 3 значения с G1, фиксированные задержки\r\n";
    EXPECT_EQ(FileOf(later, "kept.csv"), kJournalHeader + start + "t1;1;1;G1;проверено\r\n");
    EXPECT_EQ(FileOf(later, kJournalSpareFileName),
              kJournalHeader + start + "t2;1;2;G2;проверено\r\nt3;1;3;G3;проверено\r\n");
    EXPECT_EQ(FileSizeOf(laterDir + kJournalSpareOldFileName), kJournalRotateBytes + 1);
    // The journal begun anew past 10 MB in the middle of a run names the run first too.
    TempFolder grown("journal_grown");
    RunJournal long_run(grown.path + "/");
    long_run.Begin({"t0", 0, 0, "", "прогон: 2 значения с H1, ожидание окна мастера"});
    long_run.Append({"t1", 1, 1, "H1", "проверено"});
    std::filesystem::resize_file(grown.dir / kJournalFileName, kJournalRotateBytes + 1);
    long_run.Append({"t2", 1, 2, "H2", "не проверено"});
    EXPECT_EQ(FileOf(grown), std::string(kJournalHeader) + "t0;;;;прогон: 2 значения с H1, ожидание окна мастера\r\n" +
                                 "t2;1;2;H2;не проверено\r\n");
    EXPECT_EQ(long_run.Note(), "");
}

TEST_F(Run, TheJournalHasARowForEveryStoredBarcodeAndOneWhereTheRunStopped) {
    Fast();
    RunInputs in = Numbered("J;", "1", "5", 2);
    int pumps = 0;
    m.onPump = [&] {
        if (++pumps == 6) m.escapeAt = m.now;  // page 1: 1 + 2, page 2: 1 + 1, then barcode 4's
    };
    Drive(m, in);
    const std::string journal = FileOf(folder);
    EXPECT_EQ(Results(journal), (Strings{"проверено", "проверено", "проверено", "остановка: Esc или Pause"}));
    EXPECT_NE(journal.find(";2;1;\"J;3\";проверено\r\n"), std::string::npos) << journal;
    EXPECT_NE(journal.find(";2;2;\"J;4\";остановка: Esc или Pause\r\n"), std::string::npos) << journal;
    EXPECT_EQ(RunNotes(journal), (Strings{"прогон: 5 значений с J;1, фиксированные задержки"}));
    // A spreadsheet's cells are never read back.
    TempFolder cells("journal_cells");
    SetRunFolder(cells.path + "/");
    in.excelMode = true;
    RecordingMachine sheet;
    Drive(sheet, in);
    EXPECT_EQ(Results(FileOf(cells)), Strings(5, "не проверено"));
    EXPECT_EQ(RunNotes(FileOf(cells)), (Strings{"прогон: 5 значений с J;1, фиксированные задержки, режим XL"}));
    EXPECT_EQ(sheet.What().back(), SheetDoneLine("6"));
}
