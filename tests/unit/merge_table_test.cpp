// Merge table text: items and running numbers, lists, reshaping, refusals and the start-number rule.
#include "platform/text_parse.h"
#include "support/text_lines.h"
#include "tables/merge_lists.h"
#include "tables/merge_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {
using harness::CrLfLines;

MergeTableRequest Request(const std::string& start, const std::string& count, int columns) {
    MergeTableRequest request;
    request.startText = start;
    request.countText = count;
    request.columns = columns;
    return request;
}

std::string Build(const MergeTableRequest& request) {
    TableResult result = BuildMergeTable(request);
    EXPECT_EQ(result.error, "");
    return result.text;
}

// The data lines of a table without its header.
std::vector<std::string> DataLines(const std::string& text) {
    std::vector<std::string> lines = harness::SplitLines(text);
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
}

// Straightforward reshapes of a plain table, the reference the builder's fused ones must match.
std::vector<std::string> DataCells(const std::string& data) {
    std::vector<std::string> cells;
    for (const std::string& line : SplitListLines(data)) {
        size_t start = 0;
        for (;;) {
            const size_t comma = line.find(',', start);
            const std::string cell = TrimBlanks(line.substr(start, comma == std::string::npos ? comma : comma - start));
            if (!cell.empty()) cells.push_back(cell);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    return cells;
}

// Lays the data cells out column by column under the same header.
std::string SimpleTranspose(const std::string& content, int columns) {
    const size_t headerEnd = content.find("\r\n");
    if (headerEnd == std::string::npos) return content;
    const std::vector<std::string> cells = DataCells(content.substr(headerEnd + 2));
    if (cells.empty()) return content;
    const size_t width = static_cast<size_t>(std::max(columns, 1));
    const size_t rows = (cells.size() + width - 1) / width;
    std::string out = content.substr(0, headerEnd + 2);
    for (size_t row = 0; row < rows; ++row) {
        for (size_t col = 0; col < width && col * rows + row < cells.size(); ++col)
            out += (col > 0 ? "," : "") + cells[col * rows + row];
        out += "\r\n";
    }
    return out;
}

// Drops the header and puts every non-empty cell on a line of its own.
std::string FormatForBarcode(const std::string& content) {
    const size_t firstLineEnd = content.find('\n');
    if (firstLineEnd == std::string::npos) return {};
    std::string out;
    for (const std::string& cell : DataCells(content.substr(firstLineEnd + 1))) out += cell + "\r\n";
    return out;
}
}  // namespace

TEST(MergeTable, DefaultsGiveTwentyOneLines) {
    const std::string text = Build(Request("0001", "100", 5));
    std::vector<std::string> expected = {"001,002,003,004,005"};
    for (int row = 0; row < 20; ++row) {
        std::string line;
        for (int col = 0; col < 5; ++col) {
            char item[8];
            std::snprintf(item, sizeof item, "%04d", row * 5 + col + 1);
            line += (col ? "," : "") + std::string(item);
        }
        expected.push_back(line);
    }
    EXPECT_EQ(text, CrLfLines(expected));
}

TEST(MergeTable, RunningNumbersKeepTheStartWidthAsAMinimum) {
    struct Case {
        const char* start;
        const char* count;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"0998", "5", {"0998,0999,1000,1001,1002"}},
        {"0099999", "2", {"0099999,0100000"}},
        {"1", "3", {"1,2,3"}},
        {"10", "2", {"10,11"}},
        {"0", "3", {"0,1,2"}},
        {"9", "2", {"9,10"}},
        {"99", "2", {"99,100"}},
        {"00", "5", {"00,01,02,03,04"}},
        // 13 and 19 digits count past the 32-bit and even the signed 64-bit range.
        {"1234567899999", "2", {"1234567899999,1234567900000"}},
        {"9999999999999999999", "2", {"9999999999999999999,10000000000000000000"}},
    };
    for (const Case& c : cases) EXPECT_EQ(DataLines(Build(Request(c.start, c.count, 5))), c.items) << c.start;

    // "00" keeps two digits until 99 and then grows.
    const std::vector<std::string> lines = DataLines(Build(Request("00", "101", 1)));
    EXPECT_EQ(lines[9], "09");
    EXPECT_EQ(lines[10], "10");
    EXPECT_EQ(lines[100], "100");
}

TEST(MergeTable, StartNumberFallsBackTo20001WhenNotAllDigits) {
    const struct {
        const char* field;
        const char* expected;
        bool refused;  // the window refuses to make a table from it
    } cases[] = {
        {"0001", "0001", false}, {"0998", "0998", false}, {"0", "0", false},    {"12a", "20001", true},
        {" 7", "7", false},      {"", "20001", false},    {"-5", "20001", true}, {"7 ", "7", false},
        {"1.5", "20001", true},  {"A-0001", "20001", true}, {"00 01", "20001", true}, {" \t", "20001", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetStartNumberString(c.field), c.expected) << c.field;
        EXPECT_EQ(MergeStartProblem(c.field), c.refused ? kStartNotDigitsMessage : "") << c.field;
    }
    EXPECT_EQ(MergeStartProblem(" 12345678901234567890"), kStartTooLongTableMessage);
    EXPECT_EQ(DataLines(Build(Request("12a", "3", 5))), std::vector<std::string>{"20001,20002,20003"});
}

TEST(MergeTable, CountIsReadLikeAtoiAndRefusedBelowOneOrAboveTheBound) {
    const struct {
        const char* count;
        std::string error;
    } refusals[] = {
        {"0", kBadCountMessage},
        {"", kBadCountMessage},
        {"abc", kBadCountMessage},
        {"-3", kBadCountMessage},
        {"99999999999999999999", TooManyItemsMessage()},
    };
    EXPECT_EQ(BuildMergeTable(Request("1", std::to_string(kMaxTableItems + 1), 5)).error, TooManyItemsMessage());
    for (const auto& c : refusals) {
        TableResult result = BuildMergeTable(Request("1", c.count, 5));
        EXPECT_EQ(result.error, c.error) << c.count;
        EXPECT_EQ(result.text, "") << c.count;
    }
    EXPECT_EQ(DataLines(Build(Request("1", " 3xyz", 5))), std::vector<std::string>{"1,2,3"});
    EXPECT_EQ(Build(Request("1", "3", 5)), CrLfLines({"001,002,003,004,005", "1,2,3"}));
}

TEST(MergeTable, TheItemBoundStillBuildsAtItsLimit) {
    TableResult result = BuildMergeTable(Request("1", std::to_string(kMaxTableItems), 30));
    EXPECT_EQ(result.error, "");
    const std::string last = std::to_string(kMaxTableItems) + "\r\n";
    EXPECT_EQ(result.text.substr(result.text.size() - last.size()), last);
}

TEST(MergeTable, TextBeyondTheByteBoundIsRefused) {
    MergeTableRequest request = Request("1", std::to_string(kMaxTableItems), 30);
    request.prefix = std::string(99, 'x');
    TableResult result = BuildMergeTable(request);
    EXPECT_EQ(result.text, "");
    EXPECT_EQ(result.error, TableTooLargeMessage());
}

TEST(MergeTable, ListOneSuppliesTheItemsAndIgnoresStartAndCount) {
    const std::vector<std::string> list1 = {"a", "b", "c", "d", "e", "f", "g"};
    MergeTableRequest request = Request("0001", "0", 3);
    request.prefix = "X-";
    request.useList1 = true;
    request.list1 = &list1;
    EXPECT_EQ(Build(request), CrLfLines({"001,002,003", "X-a,X-b,X-c", "X-d,X-e,X-f", "X-g"}));

    const std::vector<std::string> empty;
    request.list1 = &empty;
    request.countText = "100";
    EXPECT_EQ(BuildMergeTable(request).error, kNoListDataMessage);
}

TEST(MergeTable, ListTwoAddsSecondValuesWhileItLasts) {
    const std::vector<std::string> shortList = {"A", "B", "C"};
    const std::vector<std::string> longList = {"A", "B", "C", "D", "E", "F"};
    MergeTableRequest request = Request("1", "4", 2);
    request.useList2 = true;
    request.list2 = &shortList;
    EXPECT_EQ(Build(request), CrLfLines({"001,101,002,102", "1,A,2,B", "3,C,4"}));
    request.list2 = &longList;
    EXPECT_EQ(Build(request), CrLfLines({"001,101,002,102", "1,A,2,B", "3,C,4,D"}));
    // A ticked list 2 that is empty still gives the doubled header.
    const std::vector<std::string> none;
    request.list2 = &none;
    EXPECT_EQ(Build(request), CrLfLines({"001,101,002,102", "1,2", "3,4"}));
}

TEST(MergeTable, ReshapingOptions) {
    const struct {
        const char* name;
        bool transpose, barcode;
        std::vector<std::string> lines;
    } cases[] = {
        {"plain", false, false, {"001,002,003", "1,2,3", "4,5,6", "7"}},
        {"transposed", true, false, {"001,002,003", "1,4,7", "2,5", "3,6"}},
        {"barcode", false, true, {"1", "2", "3", "4", "5", "6", "7"}},
        {"both", true, true, {"1", "4", "7", "2", "5", "3", "6"}},
    };
    for (const auto& c : cases) {
        MergeTableRequest request = Request("1", "7", 3);
        request.useTranspose = c.transpose;
        request.useForBarcode = c.barcode;
        EXPECT_EQ(Build(request), CrLfLines(c.lines)) << c.name;
    }
}

TEST(MergeTable, PrefixBlanksAndCommasAreKeptInThePlainFormOnly) {
    MergeTableRequest request = Request("1", "2", 2);
    request.prefix = " P";
    EXPECT_EQ(Build(request), CrLfLines({"001,002", " P1, P2"}));
    request.useForBarcode = true;
    EXPECT_EQ(Build(request), CrLfLines({"P1", "P2"}));

    request = Request("1", "2", 2);
    request.prefix = "a,b";
    EXPECT_EQ(Build(request), CrLfLines({"001,002", "a,b1,a,b2"}));
    request.useTranspose = true;  // four cells now, in two columns
    EXPECT_EQ(Build(request), CrLfLines({"001,002", "a,a", "b1,b2"}));
}

TEST(MergeTable, ReshapedFormsEqualReshapingThePlainText) {
    // The reshaped forms are built from the items directly; they must match what reshaping the plain
    // text gives, whatever the prefix, lists and column count.
    const std::vector<std::string> list1 = {"a", "b,c", " ", "d e", ",", "f\rg"};
    const std::vector<std::string> list2 = {"x", "y,z", "w"};
    const struct {
        const char* prefix;
        const char* start;
        const char* count;
        int columns;
        bool useList1, useList2;
    } cases[] = {
        {"", "0001", "23", 5, false, false},  {"P-", "98", "7", 3, false, false},
        {"P-", "0995", "13", 4, false, false}, {" P", "1", "9", 2, false, false},
        {"a,b", "1", "5", 3, false, false},   {"\t", "7", "4", 30, false, false},
        {"", "1", "11", 1, false, false},     {"", "1", "8", 3, false, true},
        {"Q", "1", "0", 2, true, false},       {"", "1", "0", 4, true, true},
        {"", "1", "100", 7, false, false},     {"", "9999999999999999998", "6", 4, false, false},
    };
    for (const auto& c : cases) {
        MergeTableRequest request = Request(c.start, c.count, c.columns);
        request.prefix = c.prefix;
        request.useList1 = c.useList1;
        request.useList2 = c.useList2;
        request.list1 = &list1;
        request.list2 = &list2;
        const std::string plain = Build(request);
        request.useTranspose = true;
        EXPECT_EQ(Build(request), SimpleTranspose(plain, c.columns)) << c.prefix << "/" << c.count;
        request.useForBarcode = true;
        EXPECT_EQ(Build(request), FormatForBarcode(SimpleTranspose(plain, c.columns))) << c.prefix << "/" << c.count;
        request.useTranspose = false;
        EXPECT_EQ(Build(request), FormatForBarcode(plain)) << c.prefix << "/" << c.count;
    }
}

TEST(MergeTable, ListOfOnlyCommasHasNoCellsToReshape) {
    const std::vector<std::string> list1 = {",", ", ,"};
    MergeTableRequest request = Request("1", "0", 2);
    request.useList1 = true;
    request.list1 = &list1;
    request.useTranspose = true;
    EXPECT_EQ(Build(request), CrLfLines({"001,002", ",,, ,"}));
    request.useForBarcode = true;
    EXPECT_EQ(Build(request), "");
}

TEST(MergeTable, OneColumnTransposesToTheSameText) {
    const std::string plain = Build(Request("0001", "4", 1));
    EXPECT_EQ(plain, CrLfLines({"001", "0001", "0002", "0003", "0004"}));
    EXPECT_EQ(SimpleTranspose(plain, 1), plain);
}

TEST(SimpleTranspose, ShortColumnsStayAtTheRightWithoutEmptyCells) {
    const struct {
        std::string content;
        int columns;
        std::string expected;
    } cases[] = {
        {CrLfLines({"h", "1,2,3", "4"}), 3, CrLfLines({"h", "1,3", "2,4"})},
        {CrLfLines({"h", "1,2,3", "4,5"}), 3, CrLfLines({"h", "1,3,5", "2,4"})},
        {CrLfLines({"h", "1,2", "3,4", "5"}), 2, CrLfLines({"h", "1,4", "2,5", "3"})},
        {CrLfLines({"h", " a , ,b", "", "\tc"}), 2, CrLfLines({"h", "a,c", "b"})},
        {"", 3, ""},
        {"no line end", 3, "no line end"},
        {CrLfLines({"header only"}), 3, CrLfLines({"header only"})},
        {CrLfLines({"h", " , ", ""}), 3, CrLfLines({"h", " , ", ""})},
        {CrLfLines({"h", "1,2"}), 0, CrLfLines({"h", "1", "2"})},  // a column count below one counts as one
    };
    for (const auto& c : cases) EXPECT_EQ(SimpleTranspose(c.content, c.columns), c.expected) << c.content;
}

TEST(FormatForBarcode, DropsTheHeaderAndEmptyCells) {
    const struct {
        std::string content;
        std::string expected;
    } cases[] = {
        {CrLfLines({"001,002", "1,2", "3"}), CrLfLines({"1", "2", "3"})},
        {CrLfLines({"h", " a ,,b ", "", "c\t"}), CrLfLines({"a", "b", "c"})},
        {CrLfLines({"only header"}), ""},
        {"", ""},
        {"h\n1,2\n3", CrLfLines({"1", "2", "3"})},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatForBarcode(c.content), c.expected) << c.content;
}

TEST(MergeLists, LinesAreTrimmedAndBlankLinesDropped) {
    EXPECT_EQ(SplitListLines("  a b \r\n\t\r\n\r\nc\t\nd"), (std::vector<std::string>{"a b", "c", "d"}));
    EXPECT_EQ(SplitListLines(" \r\n \t"), std::vector<std::string>{});

    mergeList1 = {"stale"};
    mergeList2 = {"stale"};
    ParseMergeLists(true, "x\r\ny\r\n", false, "ignored");
    EXPECT_EQ(mergeList1, (std::vector<std::string>{"x", "y"}));
    EXPECT_TRUE(mergeList2.empty());
    ParseMergeLists(false, "x", true, "1\r\n\r\n2");
    EXPECT_TRUE(mergeList1.empty());
    EXPECT_EQ(mergeList2, (std::vector<std::string>{"1", "2"}));
}

TEST(MergeColumns, SelectedIndexPlusOneOrFiveWhenClosed) {
    EXPECT_EQ(GetMergeColumnsCount(true, 0), 1);
    EXPECT_EQ(GetMergeColumnsCount(true, 29), 30);
    EXPECT_EQ(GetMergeColumnsCount(false, 29), 5);
}

TEST(ParseLeadingInteger, AtoiRulesIn64Bits) {
    const struct {
        const char* text;
        std::int64_t value;
    } cases[] = {
        {"100", 100},
        {"  42abc", 42},
        {"-7", -7},
        {"+8", 8},
        {"", 0},
        {"x1", 0},
        {"4294967296", 4294967296LL},
        {"9223372036854775807", INT64_MAX},
        {"9999999999999999999", INT64_MAX},
        {"-99999999999999999999", INT64_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLeadingInteger(c.text), c.value) << c.text;
}
