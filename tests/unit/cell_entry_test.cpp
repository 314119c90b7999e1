// Spreadsheet mode's text mark: which values get an apostrophe typed before them, and what a General
// cell of a sheet in the Russian locale (the stand-in spreadsheet's rules) holds with and without it.
#include "automation/input/cell_entry.h"
#include "fixtures/general_cell.h"
#include "platform/cp1251_utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::wstring Wide(const std::string& cp1251) {
    std::wstring out;
    for (char16_t unit : Utf16FromCp1251Text(cp1251)) out += static_cast<wchar_t>(unit);
    return out;
}
}  // namespace

// The rule, value by value: with the mark the cell holds the value as text; without it, what the
// cell would make of it. A few values are marked although this cell keeps them (a month's name
// alone, a sign that is no letter): other spreadsheets, or other versions, read them as dates or
// numbers, and in a spreadsheet the mark is never seen in the cell.
TEST(CellEntry, TheMarkGoesBeforeEveryValueACellWouldChangeAndTheCellThenHoldsTheValue) {
    const struct {
        const char* value;  // code page 1251
        bool marked;
        const char* kind;     // what a General cell takes it for without the mark
        const wchar_t* shown;  // and shows
    } rows[] = {
        // numbers lose their leading zeros, long ones their digits, a decimal comma its zero
        {"0001", true, "number", L"1"},
        {"00123", true, "number", L"123"},
        {"12345678901234567890", true, "number", L"1,23457E+19"},
        {"4600000000001", true, "number", L"4,6E+12"},
        {"1,50", true, "number", L"1,5"},
        {"-5", true, "number", L"-5"},
        {" 0001", true, "number", L"1"},
        // a day and a month, with a month's name too
        {"1-2", true, "date", L"01.фев"},
        {"1.2", true, "date", L"01.фев"},
        {"1/2", true, "date", L"01.фев"},
        {"12.10.24", true, "date", L"12.10.2024"},
        {"янв-21", true, "date", L"янв.21"},
        {"5 Mar", true, "date", L"05.мар"},
        // formulas, their results or an unknown name
        {"=1+2", true, "formula", L"3"},
        {"+7 999 123", true, "formula", L"#ИМЯ?"},
        {"-5-A", true, "formula", L"#ИМЯ?"},
        {"@x", true, "formula", L"#ИМЯ?"},
        // booleans in either language and any case
        {"ИСТИНА", true, "boolean", L"ИСТИНА"},
        {"ложь", true, "boolean", L"ЛОЖЬ"},
        {"TRUE", true, "boolean", L"ИСТИНА"},
        {"False ", true, "boolean", L"ЛОЖЬ"},
        // an apostrophe of the value's own is eaten as the mark unless another goes before it
        {"'quoted", true, "text", L"quoted"},
        // marked to be safe
        {"Март", true, "text", L"Март"},
        {"Mar0001", true, "text", L"Mar0001"},
        {"№5", true, "text", L"№5"},
        {"(5)", true, "text", L"(5)"},
        // a letter first and no word a cell reads: kept as typed, no mark
        {"P-0001", false, "text", L"P-0001"},
        {"AB0001", false, "text", L"AB0001"},
        {"Ёжик Й-9", false, "text", L"Ёжик Й-9"},
        {"Decor-1", false, "text", L"Decor-1"},
        {"Mayor 5", false, "text", L"Mayor 5"},
        {"Истина1", false, "text", L"Истина1"},
        {"Ma-1", false, "text", L"Ma-1"},
        {"", false, "text", L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "value " << ::testing::PrintToString(Wide(row.value)));
        const std::string entry = CellEntry(row.value);
        EXPECT_EQ(NeedsTextMark(row.value), row.marked);
        EXPECT_EQ(entry, row.marked ? "'" + std::string(row.value) : std::string(row.value));

        const fixture::CellContent bare = fixture::GeneralCell(Wide(row.value));
        EXPECT_EQ(bare.kind, row.kind);
        EXPECT_EQ(bare.shown, row.shown);
        // Whatever a cell would change is marked.
        if (bare.kind != "text" || bare.shown != Wide(row.value)) {
            EXPECT_TRUE(row.marked);
        }

        for (const fixture::CellContent& cell : {fixture::GeneralCell(Wide(entry)), fixture::TextCell(Wide(entry))}) {
            EXPECT_EQ(cell.kind, "text");
            EXPECT_EQ(cell.shown, Wide(row.value));
        }
    }
}

// Opened again, a cell's editor shows the mark before a marked text, a formula as it was typed and
// a number as the cell holds it, so that a cell typed in part is cleared whole, mark and all.
TEST(CellEntry, ACellOpenedAgainShowsTheMarkAsTheFormulaBarDoes) {
    const struct {
        const wchar_t* entry;
        const wchar_t* edited;
    } rows[] = {
        {L"'0001", L"'0001"}, {L"'", L"'"},         {L"'P-1", L"'P-1"}, {L"=1+2", L"=1+2"},
        {L"0001", L"1"},      {L"P-0001", L"P-0001"}, {L"1-2", L"01.фев"},
    };
    for (const auto& row : rows) EXPECT_EQ(fixture::GeneralCell(row.entry).Edited(), row.edited);
}
