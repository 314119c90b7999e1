// No value twice unasked: the journals read back (rotated, spare, damaged, quoted, other encodings,
// earlier versions), the plan's values found in them, the ranges the question names, a list's
// repeated lines, and where the next run without repeats starts.
#include "automation/run/run_journal.h"
#include "automation/run/run_journal_read.h"
#include "automation/run/run_repeats.h"
#include "fakes/temp_folder.h"
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {
using Indices = std::vector<long long>;

RunInputs NumberInputs(const std::string& prefix, const std::string& start, const std::string& total) {
    RunInputs in;
    in.prefix = prefix;
    in.startText = start;
    in.totalText = total;
    in.positions = {{10, 10}};
    return in;
}

RunInputs ListInputs(const std::string& prefix, const std::string& list) {
    RunInputs in = NumberInputs(prefix, "", "");
    in.listMode = true;
    in.listText = list;
    return in;
}

// A row as this version writes it.
std::string Row(const std::string& time, const std::string& value, const std::string& result) {
    return JournalLine(JournalRow{time, 1, 1, value, result});
}

// Every row of a journal's text as "time|value|result".
struct ReadBack {
    JournalTextRead read;
    std::vector<std::string> rows;
};
ReadBack ReadText(const std::string& bytes) {
    ReadBack back;
    back.read = ReadJournalText(bytes, [&](const JournalRowRead& r) {
        back.rows.push_back(std::string(r.time) + "|" + std::string(r.value) + "|" + std::string(r.result));
    });
    return back;
}

TEST(JournalReading, EveryValueThisVersionWritesReadsBackAsItWasTyped) {
    const std::string longFormula = "+" + std::string(300, '7') + "\"" + std::string(300, 'x');
    const std::vector<std::string> values = {"P-0001", "-5",       "=1+2",    "+7",    "@a",      "a;b",
                                             "say \"hi\"", "=\"q\"", "\"",   "",      longFormula, "Ёлка №1"};
    std::string journal = kJournalHeader;
    for (const std::string& v : values) journal += Row("2026-12-08 10:00:00.000", v, "проверено");
    const ReadBack back = ReadText(journal);
    EXPECT_EQ(back.read.kind, JournalTextRead::Kind::kJournal);
    EXPECT_EQ(back.read.damaged, 0);
    ASSERT_EQ(back.rows.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(back.rows[i], "2026-12-08 10:00:00.000|" + values[i] + "|проверено") << values[i];
}

TEST(JournalReading, RowsOfEarlierVersionsAndOfOtherHandsAreReadAsTheyStand) {
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> rows;
        long long damaged;
    } cases[] = {
        // Earlier versions: every value as it stood, a page and capture always, no start rows.
        {"earlier version", std::string(kJournalHeader) + "t1;1;1;=A;проверено\r\nt2;1;2;-5;не проверено\r\n",
         {"t1|=A|проверено", "t2|-5|не проверено"}, 0},
        {"start, note and stop rows", std::string(kJournalHeader) + "t0;;;;прогон: 3 значения с A\r\nt1;;;;\"заметка: a;\nb\"\r\n"
                                        "t2;1;1;A;остановка: Esc или Pause\r\n",
         {"t0||прогон: 3 значения с A", "t1||заметка: a;\nb", "t2|A|остановка: Esc или Pause"}, 0},
        {"line feeds only, no end at the last", std::string("Время;Страница;Захват;Значение;Итог\nt1;1;1;A;проверено\nt2;1;1;B;проверено"),
         {"t1|A|проверено", "t2|B|проверено"}, 0},
        {"blank lines", std::string(kJournalHeader) + "\r\n\r\nt1;1;1;A;проверено\r\n   \r\n", {"t1|A|проверено"}, 0},
        {"the header again", std::string(kJournalHeader) + kJournalHeader + "t1;1;1;A;проверено\r\n", {"t1|A|проверено"}, 0},
        {"a value ending ='s formula that is not one", std::string(kJournalHeader) + "t1;1;1;\"=\"\"a\"\"x\";проверено\r\n",
         {"t1|=\"a\"x|проверено"}, 0},
        // Damage: a row cut short, two run together, zeros of a power cut, a quote never closed.
        {"damaged rows", std::string(kJournalHeader) + "t1;1;1;A;проверено\r\nt2;1;1\r\nt3;1;1;B;проверено;t4;1;1;C\r\n" +
                             std::string(12, '\0') + "\r\nt5;1;1;D;проверено\r\n",
         {"t1|A|проверено", "t5|D|проверено"}, 3},
        {"a quote never closed", std::string(kJournalHeader) + "t1;1;1;A;проверено\r\nt2;1;1;\"B;проверено\r\nt3;1;1;C;проверено\r\n",
         {"t1|A|проверено"}, 2},
        {"text after a closing quote", std::string(kJournalHeader) + "t1;1;1;\"A\"x;проверено\r\n", {}, 1},
        {"empty file", "", {}, 0},
        {"header only", kJournalHeader, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadBack back = ReadText(c.bytes);
        EXPECT_EQ(back.read.kind, JournalTextRead::Kind::kJournal);
        EXPECT_EQ(back.rows, c.rows);
        EXPECT_EQ(back.read.damaged, c.damaged);
    }
}

TEST(JournalReading, AFileInAnotherEncodingOrNotAJournalIsSaidSoAndNotRead) {
    const std::string utf8Header = u8"Время;Страница;Захват;Значение;Итог\r\n";
    const struct {
        const char* name;
        std::string bytes;
        JournalTextRead::Kind kind;
        const char* encoding;
    } cases[] = {
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8Header + "t;1;1;A;x\r\n", JournalTextRead::Kind::kOtherEncoding, "UTF-8"},
        {"UTF-8 without", utf8Header + "t;1;1;A;x\r\n", JournalTextRead::Kind::kOtherEncoding, "UTF-8"},
        {"UTF-16 with its mark", std::string("\xFF\xFE\x12\x04", 4), JournalTextRead::Kind::kOtherEncoding, "UTF-16"},
        {"UTF-16 without", std::string("\x12\x04\x40\x04\x35\x04\x3B\x00\x31\x00", 10), JournalTextRead::Kind::kOtherEncoding, "UTF-16"},
        {"another table", "a,b,c\r\n1,2,3\r\n", JournalTextRead::Kind::kNotJournal, ""},
        {"header cut", "Время;Страница\r\n", JournalTextRead::Kind::kNotJournal, ""},
        {"no header", "t1;1;1;A;проверено\r\n", JournalTextRead::Kind::kNotJournal, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadBack back = ReadText(c.bytes);
        EXPECT_EQ(back.read.kind, c.kind);
        EXPECT_EQ(back.read.encoding, c.encoding);
        EXPECT_TRUE(back.rows.empty());
    }
}

TEST(JournalReading, FieldTextUndoesOnlyTheFormulaTheJournalWrites) {
    const struct {
        const char* field;
        const char* text;
    } cases[] = {
        {"=\"-5\"", "-5"},        {"=\"a\"\"b\"", "a\"b"}, {"=\"ab\"&\"cd\"", "abcd"}, {"=\"\"", ""},
        {"=A1", "=A1"},           {"=\"a\"x", "=\"a\"x"},  {"=\"a\"&", "=\"a\"&"},     {"=\"a", "=\"a"},
        {"=\"", "=\""},           {"plain", "plain"},      {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(JournalFieldText(c.field), c.text) << c.field;
}

TEST(PlannedValues, ANumberIsThePlansOnlyWhenItsStartWouldWriteItSo) {
    const struct {
        const char* prefix;
        const char* start;
        const char* total;
        const char* value;
        Indices indices;
    } cases[] = {
        {"P-", "0001", "2000", "P-0001", {0}},
        {"P-", "0001", "2000", "P-2000", {1999}},
        {"P-", "0001", "2000", "P-2001", {}},
        {"P-", "0001", "2000", "P-0000", {}},
        {"P-", "0001", "2000", "P-001", {}},     // narrower than the start
        {"P-", "0001", "2000", "P-00001", {}},   // wider with a leading zero
        {"P-", "0001", "2000", "0001", {}},      // without the prefix
        {"P-", "0001", "2000", "Q-0001", {}},
        {"P-", "0001", "2000", "P-0001 ", {}},
        {"P-", "0001", "2000", "P-", {}},
        {"P-", "0001", "2000", "P", {}},
        {"", "0999", "3", "1000", {1}},
        {"", "09999", "2", "10000", {1}},
        {"", "7", "10", "10", {3}},
        {"", "7", "10", "07", {}},
        {"", "", "3", "0", {0}},
        {"", "", "3", "00", {}},
        {"", "0", "3", "2", {2}},
        {"A1", "0001", "5", "A10003", {2}},      // a prefix ending in a digit
        {"", "9223372036854775806", "5", "9223372036854775807", {1}},
        {"", "9223372036854775806", "5", "9223372036854775808", {}},
        {"", "1", "99999999999999", "99999999999999999999", {}},  // more digits than a run writes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.prefix) + " " + c.start + " " + c.total + " " + c.value);
        const RunInputs in = NumberInputs(c.prefix, c.start, c.total);
        const RunPlan plan = PlanRun(in);
        ASSERT_EQ(plan.refusal, "");
        Indices found;
        PlannedValues(in, plan).IndicesOf(c.value, found);
        EXPECT_EQ(found, c.indices);
    }
}

TEST(PlannedValues, AListLineIsFoundWithThePrefixAndEveryTimeItIsListed) {
    const RunInputs in = ListInputs("X", " A1 \r\n\r\nB 2\r\nA1\r\n");
    const RunPlan plan = PlanRun(in);
    const PlannedValues planned(in, plan);
    const struct {
        const char* value;
        Indices indices;
    } cases[] = {{"XA1", {0, 2}}, {"XB 2", {1}}, {"A1", {}}, {"X A1", {}}, {"XB", {}}, {"X", {}}};
    for (const auto& c : cases) {
        Indices found;
        planned.IndicesOf(c.value, found);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.indices) << c.value;
    }
}

TEST(RepeatText, RangesOfConsecutiveValuesAtMostThreeThenHowManyMore) {
    const RunInputs in = NumberInputs("P-", "0001", "2000");
    const RunPlan plan = PlanRun(in);
    const auto valueOf = [&](long long i) { return RunValue(in, plan, i); };
    const struct {
        Indices indices;
        const char* text;
    } cases[] = {
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "P-0001 … P-0010"},
        {{4}, "P-0005"},
        {{0, 1}, "P-0001 … P-0002"},
        {{0, 2, 3, 4, 9}, "P-0001, P-0003 … P-0005, P-0010"},
        {{0, 2, 4, 6, 8, 10}, "P-0001, P-0003, P-0005 и ещё 3"},
        {{0, 1, 2, 10, 11, 20, 30, 31, 32, 33}, "P-0001 … P-0003, P-0011 … P-0012, P-0021 и ещё 4"},
        {{1998, 1999}, "P-1999 … P-2000"},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueRanges(c.indices, valueOf), c.text);

    // A list's values name their lines, as the field counts them (blank lines too).
    const RunInputs listed = ListInputs("", "K7\r\n\r\nZZ1\r\nAB\r\nQ\r\n");
    const RunPlan listPlan = PlanRun(listed);
    const std::vector<long long> lines = ListLineNumbers(listed.listText);
    EXPECT_EQ(lines, (Indices{1, 3, 4, 5}));
    EXPECT_EQ(ValueRanges({0, 1, 2, 3}, [&](long long i) { return RunValue(listed, listPlan, i); },
                          [&](long long i) { return lines[static_cast<size_t>(i)]; }),
              "K7 … Q (строки 1–5)");
    EXPECT_EQ(ValueRanges({0, 2}, [&](long long i) { return RunValue(listed, listPlan, i); },
                          [&](long long i) { return lines[static_cast<size_t>(i)]; }),
              "K7 (строка 1), AB (строка 4)");
}

TEST(RepeatText, TheQuestionSaysHowManyWhichWhenAndWhatEachAnswerDoes) {
    const RunInputs in = NumberInputs("P-", "0001", "2000");
    const RunPlan plan = PlanRun(in);
    EarlierEntries earlier;
    for (long long i = 0; i < 10; ++i) earlier.indices.push_back(i);
    earlier.lastTime = "2026-12-08 14:03:59.120";
    EXPECT_EQ(RepeatQuestion(in, plan, earlier),
              "Значения этого прогона уже вводились: 10 из 2000 (P-0001 … P-0010), последний раз 08.12.2026 14:03. "
              "Ввести их ещё раз?\n\nДа — ввести их ещё раз (например, перепечатать испорченные этикетки),\nНет — "
              "ничего не вводить: поправьте «Начать с:» и нажмите СТАРТ снова.");
    // A journal not read is named; a time not of ours is not given.
    earlier.lastTime.clear();
    earlier.unread = {"barcode_run_log.old.csv — повреждено строк: 2, они не прочитаны"};
    const std::string question = RepeatQuestion(in, plan, earlier);
    EXPECT_EQ(question.find("последний раз"), std::string::npos);
    EXPECT_NE(question.find("P-0010). Ввести их ещё раз?\n\nПовторы проверены не по всем журналам: "
                            "barcode_run_log.old.csv — повреждено строк: 2, они не прочитаны.\n\nДа"),
              std::string::npos)
        << question;
    EarlierEntries listed;
    listed.indices = {1};
    EXPECT_NE(RepeatQuestion(ListInputs("", "A\n\nB"), PlanRun(ListInputs("", "A\n\nB")), listed)
                  .find("вводились: 1 из 2 (B (строка 3)). Ввести их ещё раз?\n\nДа — ввести их ещё раз (например, "
                        "перепечатать испорченные этикетки),\nНет — ничего не вводить: поправьте список"),
              std::string::npos);

    EXPECT_EQ(ShownJournalTime("2026-01-31 09:05:00.000"), "31.01.2026 09:05");
    EXPECT_EQ(ShownJournalTime("31.01.2026 9:05"), "31.01.2026 9:05");  // saved by a spreadsheet: as it stands
    EXPECT_EQ(RepeatStartNote(10), "повтор: 10 значений");
    EXPECT_EQ(RepeatStartNote(1), "повтор: 1 значение");
    EXPECT_EQ(UnreadJournalsText({}), "");
    EXPECT_EQ(UnreadJournalsText({"a — x", "b — y"}), "Повторы проверены не по всем журналам: a — x; b — y.");
}

// --- the journals of a folder ----------------------------------------------------------------------

class Journals : public ::testing::Test {
protected:
    TempFolder folder{"journals"};
    std::string Dir() const { return folder.path + "/"; }
    void Write(const char* name, const std::string& bytes) const {
        ASSERT_TRUE(WriteFileAtomically(Dir() + name, bytes));
    }
    EarlierEntries Find(const RunInputs& in) const { return FindEarlierEntries(Dir(), in, PlanRun(in)); }
};

TEST_F(Journals, EveryFileIsReadRotatedAndSpareAndOnlyTakenValuesCount) {
    const std::string header = kJournalHeader;
    Write(kJournalFileName, header + Row("2026-12-08 09:00:00.000", "", "прогон: 2 значения с P-0003") +
                                Row("2026-12-08 09:00:01.000", "P-0003", "проверено") +
                                Row("2026-12-08 09:00:02.000", "P-0004", "остановка: Esc или Pause"));
    Write(kJournalSpareFileName, header + Row("2026-12-07 18:00:00.000", "P-0007", "не проверено"));
    Write(kJournalOldFileName, header + Row("2026-12-08 14:03:00.000", "P-0001", "проверено") +
                                   Row("2026-12-01 10:00:00.000", "P-9999", "проверено") +
                                   Row("2026-12-08 15:00:00.000", "Q-0002", "проверено"));
    // An earlier version's spare file, as it was rotated by hand: no formula, no start row.
    Write(kJournalSpareOldFileName, header + "2026-11-30 08:00:00.000;1;2;P-0002;проверено\r\n");
    const EarlierEntries found = Find(NumberInputs("P-", "0001", "2000"));
    EXPECT_EQ(found.indices, (Indices{0, 1, 2, 6}));
    EXPECT_EQ(found.lastTime, "2026-12-08 14:03:00.000");
    EXPECT_TRUE(found.unread.empty());
    // The same value in two files counts once.
    Write(kJournalSpareFileName, header + Row("2026-12-09 08:00:00.000", "P-0003", "проверено"));
    const EarlierEntries again = Find(NumberInputs("P-", "0001", "2000"));
    EXPECT_EQ(again.indices, (Indices{0, 1, 2}));
    EXPECT_EQ(again.lastTime, "2026-12-09 08:00:00.000");
}

TEST_F(Journals, AListsValuesAreFoundAsTheJournalQuotesThem) {
    Write(kJournalFileName, std::string(kJournalHeader) + Row("2026-12-08 10:00:00.000", "-12", "проверено") +
                                Row("2026-12-08 10:00:01.000", "=A;1", "не проверено"));
    const RunInputs in = ListInputs("", "-11\n-12\n=A;1\n");
    EXPECT_EQ(Find(in).indices, (Indices{1, 2}));
}

TEST_F(Journals, AJournalNotReadWholeIsNamedWithWhyAndTheOthersStillCount) {
    const std::string header = kJournalHeader;
    Write(kJournalFileName, header + Row("2026-12-08 10:00:00.000", "0002", "проверено") + "t;1\r\n");
    Write(kJournalSpareFileName, "\xEF\xBB\xBF" + std::string(u8"Время;Страница;Захват;Значение;Итог\r\n"));
    Write(kJournalOldFileName, "a,b\r\n");
    // A journal past the size read: the rotation could not move it aside for a long while.
    {
        std::ofstream big(Dir() + kJournalSpareOldFileName, std::ios::binary);
    }
    std::filesystem::resize_file(Dir() + kJournalSpareOldFileName, kMaxJournalReadBytes + 1);
    const EarlierEntries found = Find(NumberInputs("", "0001", "10"));
    EXPECT_EQ(found.indices, (Indices{1}));
    EXPECT_EQ(found.unread, (std::vector<std::string>{
                                "barcode_run_log.csv — повреждено строк: 1, они не прочитаны",
                                "barcode_run_log.spare.csv — сохранён другой программой в кодировке UTF-8, не прочитан",
                                "barcode_run_log.old.csv — не похож на журнал программы, не прочитан",
                                "barcode_run_log.spare.old.csv — больше 64 МБ, не прочитан",
                            }));
}

TEST_F(Journals, NoJournalIsNothingToSayAndAFolderByItsNameIsNoJournal) {
    EXPECT_TRUE(Find(NumberInputs("", "0001", "10")).unread.empty());
    std::filesystem::create_directory(folder.dir / kJournalFileName);
    const EarlierEntries found = Find(NumberInputs("", "0001", "10"));
    EXPECT_TRUE(found.indices.empty());
    EXPECT_TRUE(found.unread.empty());
}

// --- a list that repeats, and the next run ---------------------------------------------------------

TEST(ListRepeats, LinesTheSameAfterTrimmingAreRefusedByTheirNumbers) {
    const std::string tail =
        "\n\nОдин код дважды — две одинаковые этикетки. Уберите лишние строки или, если повтор нужен, отметьте "
        "«Разрешить повторы в списке» в окне «Настройки задержек» (кнопка «Настройки, советы»).\nНичего не отправлено.";
    const struct {
        const char* list;
        std::string message;
    } cases[] = {
        {"A\nB\nC", ""},
        {"a\nA", ""},                 // case counts
        {"A 1\nA  1", ""},            // inner blanks count
        {"", ""},
        {"A\nB\nA", "Строки 1 и 3 списка одинаковы: «A»." + tail},
        {" A\t\r\n\r\nA\r\n", "Строки 1 и 3 списка одинаковы: «A»." + tail},
        {"X\nA\nA\nB\nA", "Строки 2, 3 и 5 списка одинаковы: «A»." + tail},
        {"B\nA\nA\nB\nC\nC", "Строки 1 и 4 списка одинаковы: «B».\nПовторяются и другие строки: ещё 2 значения." + tail},
        {"Q\nQ\nQ\nQ\nQ\nQ\nQ\nQ", "Строки 1, 2, 3, 4, 5, 6 и ещё 2 списка одинаковы: «Q»." + tail},
        {"01234567890123456789012345678901234567890123456789012345678901234\n"
         "01234567890123456789012345678901234567890123456789012345678901234",
         "Строки 1 и 2 списка одинаковы: «012345678901234567890123456789012345678901234567890123456789…»." + tail},
    };
    for (const auto& c : cases) EXPECT_EQ(ListRepeatRefusal(c.list), c.message) << c.list;
}

TEST(NextRun, NamesTheStartAfterTheLastValueOrTheListsEnd) {
    const struct {
        RunInputs in;
        const char* text;
    } cases[] = {
        {NumberInputs("P-", "0001", "10"), "Следующий прогон без повтора: Начать с: 0011"},
        {NumberInputs("", "0999", "1"), "Следующий прогон без повтора: Начать с: 1000"},
        {NumberInputs("", "7", "3"), "Следующий прогон без повтора: Начать с: 10"},
        {NumberInputs("", "", "3"), "Следующий прогон без повтора: Начать с: 3"},
        {NumberInputs("", "9223372036854775806", "5"), ""},  // the counter ends with this run
        {NumberInputs("", "9223372036854775805", "2"), "Следующий прогон без повтора: Начать с: 9223372036854775807"},
        {ListInputs("", "A\nB\nC-03\n"),
         "Следующий прогон без повтора: с новой строки списка — все строки этого списка введены, последняя — «C-03»."},
    };
    for (const auto& c : cases) EXPECT_EQ(NextRunWithoutRepeat(c.in, PlanRun(c.in)), c.text) << c.in.startText;
}
}  // namespace
