// The coordinates file, count changes and the scroll arithmetic of the position rows.
#include "automation/positions/coordinates.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {
using Points = std::vector<std::pair<int, int>>;

Points AsPairs(const std::vector<Position>& list) {
    Points out;
    for (const Position& p : list) out.emplace_back(p.x, p.y);
    return out;
}

std::vector<Position> FromPairs(const Points& points) {
    std::vector<Position> out;
    for (const auto& p : points) out.push_back({p.first, p.second});
    return out;
}
}  // namespace

TEST(CoordinatesFile, WritesOneMarkedCrLfLinePerEntryUncapturedAsZero) {
    EXPECT_EQ(FormatCoordinates(FromPairs({{100, 200}, {0, 0}, {-5, 1080}, {0, 0}, {0, 7}})),
              "100,200 px\r\n0,0 px\r\n-5,1080 px\r\n0,0 px\r\n0,7 px\r\n");
    EXPECT_EQ(FormatCoordinates({}), "");
    EXPECT_EQ(FormatCoordinates(FromPairs({{INT_MIN, INT_MAX}})), "-2147483648,2147483647 px\r\n");
}

TEST(CoordinatesFile, ReadsLinesByTheXCommaYRule) {
    struct Case {
        const char* name;
        std::string text;
        Points expected;
    };
    const Case cases[] = {
        {"unreadable line between two points", "100,200\r\nabc\r\n300, 400\r\n", {{100, 200}, {300, 400}}},
        {"blank before the comma", "10 ,20\r\n30,40\r\n", {{30, 40}}},
        {"leading blanks and tabs", "  \t7,8\r\n", {{7, 8}}},
        {"blanks after the comma", "1,\t 2\n", {{1, 2}}},
        {"signs", "-3,+4\n+5,-6\n", {{-3, 4}, {5, -6}}},
        {"trailing text ignored", "1,2,3\n4,5 ms\n6,7abc\n", {{1, 2}, {4, 5}, {6, 7}}},
        {"leading zeros", "007,0009\n", {{7, 9}}},
        {"last line without line end", "1,1\n2,2", {{1, 1}, {2, 2}}},
        {"LF only and empty lines", "\n1,2\n\n\n3,4\n", {{1, 2}, {3, 4}}},
        {"second number missing", "1,\n1,x\n1\n,2\n", {}},
        {"sign without digits", "-,5\n5,-\n", {}},
        {"line end inside a point is not a blank", "1,\r\n2\n", {}},
        {"32-bit extremes", "-2147483648,2147483647\n", {{INT_MIN, INT_MAX}}},
        {"numbers beyond 32 bits", "2147483648,1\n1,-2147483649\n99999999999999999999,1\n", {}},
        {"a zero byte ends what is read", std::string("1,2\0 junk\n", 10) + std::string("\0" "3,4\n", 5), {{1, 2}}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(AsPairs(ParseCoordinates(c.text, 96)), c.expected) << c.name;
}

TEST(CoordinatesFile, WhatIsWrittenReadsBackTheSameAtAnyDpi) {
    const auto list = FromPairs({{0, 0}, {1, -1}, {0, 900}, {1919, 0}, {INT_MIN, INT_MAX}});
    for (int dpi : {96, 120, 144, 192}) EXPECT_EQ(AsPairs(ParseCoordinates(FormatCoordinates(list), dpi)), AsPairs(list)) << dpi;
}

// Files of earlier versions (no marker) were written by a program the system showed scaled-down
// points; files of this version must still read in those versions, which take "%d,%d" and ignore
// the rest of the line.
TEST(CoordinatesFile, UnmarkedLinesAreScaledByThePrimaryDpiAndMarkedOnesKept) {
    struct Case {
        const char* name;
        std::string text;
        int dpi;
        Points expected;
    };
    const Case cases[] = {
        {"unmarked at 100 %", "514,123\r\n", 96, {{514, 123}}},
        {"unmarked at 125 %", "514,123\r\n", 120, {{643, 154}}},
        {"unmarked at 150 %", "514,123\r\n-40,0\r\n", 144, {{771, 185}, {-60, 0}}},
        {"unmarked at 200 %", "514,123\r\n", 192, {{1028, 246}}},
        {"halves round away from zero", "1,-1\r\n", 144, {{2, -2}}},
        {"marked lines as written", "514,123 px\r\n771,185 px\n", 144, {{514, 123}, {771, 185}}},
        {"marker after blanks and tabs, blanks after it", "5,6 \t px \r\n", 192, {{5, 6}}},
        {"marker right after the number", "5,6px\r\n", 192, {{5, 6}}},
        {"each line by its own marker", "10,10 px\r\n10,10\r\n", 192, {{10, 10}, {20, 20}}},
        {"other text is no marker", "10,10 pixels\r\n10,10 ms\r\n10,10 PX\r\n10,10 px x\r\n", 192,
         {{20, 20}, {20, 20}, {20, 20}, {20, 20}}},
        {"beyond 32 bits once scaled", "2147483647,-2147483648\r\n", 192, {{INT_MAX, INT_MIN}}},
    };
    for (const Case& c : cases) EXPECT_EQ(AsPairs(ParseCoordinates(c.text, c.dpi)), c.expected) << c.name;

    // What this version writes, read by the rule of the versions before it.
    const std::string written = FormatCoordinates(FromPairs({{771, 185}, {0, 0}, {-1920, 40}}));
    Points earlier;
    std::size_t start = 0;
    for (std::size_t end; (end = written.find("\r\n", start)) != std::string::npos; start = end + 2) {
        Position p;
        ASSERT_TRUE(ParseCoordinateLine(written.substr(start, end - start), p)) << written;
        earlier.emplace_back(p.x, p.y);
    }
    EXPECT_EQ(earlier, (Points{{771, 185}, {0, 0}, {-1920, 40}}));
}

TEST(CoordinatesFile, OnlyListsOfOneToThirtyEntriesMayReplaceTheCurrentOne) {
    EXPECT_NE(CoordinatesLoadProblem(0), "");
    EXPECT_EQ(CoordinatesLoadProblem(1), "");
    EXPECT_EQ(CoordinatesLoadProblem(30), "");
    const std::string tooMany = CoordinatesLoadProblem(31);
    EXPECT_NE(tooMany, "");
    EXPECT_NE(tooMany.find("31"), std::string::npos) << "the message says how many lines were found";
    EXPECT_NE(tooMany.find("30"), std::string::npos) << "and what the limit is";
}

TEST(Positions, ALeftEdgePointCountsAsCaptured) {
    EXPECT_FALSE(IsPositionSet({0, 0}));
    EXPECT_TRUE(IsPositionSet({0, 500}));
    EXPECT_TRUE(IsPositionSet({500, 0}));
    EXPECT_TRUE(IsPositionSet({-1, -1}));
}

TEST(Positions, CountChangesKeepTheLeadingEntries) {
    std::vector<Position> list;
    for (int i = 1; i <= 12; ++i) list.push_back({i, 10 * i});
    ResizePositions(list, 3);
    EXPECT_EQ(AsPairs(list), (Points{{1, 10}, {2, 20}, {3, 30}}));
    ResizePositions(list, 8);
    EXPECT_EQ(AsPairs(list), (Points{{1, 10}, {2, 20}, {3, 30}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}));
    ResizePositions(list, -1);
    EXPECT_TRUE(list.empty());
}

TEST(PositionRows, ScrollRangeAndRowsShown) {
    struct Case {
        int count, scrollPos, maxScroll, rows;
    };
    const Case cases[] = {
        {5, 0, 0, 5}, {10, 0, 0, 10}, {12, 0, 2, 10}, {12, 2, 2, 10}, {30, 20, 20, 10}, {1, 0, 0, 1}, {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MaxScrollPos(c.count, 10), c.maxScroll) << c.count;
        EXPECT_EQ(RowsShown(c.count, c.scrollPos, 10), c.rows) << c.count << " from " << c.scrollPos;
    }
}

TEST(PositionRows, ScrollRequestsMoveWithinTheRange) {
    struct Case {
        const char* name;
        int current, request, thumb, count, expected;
    };
    const Case cases[] = {
        {"line down", 0, kScrollLineDown, 0, 12, 1},
        {"line down at the end", 2, kScrollLineDown, 0, 12, 2},
        {"line up", 2, kScrollLineUp, 0, 12, 1},
        {"line up at the top", 0, kScrollLineUp, 0, 12, 0},
        {"page down stops at the end", 0, kScrollPageDown, 0, 12, 2},
        {"page down of a long list", 3, kScrollPageDown, 0, 30, 13},
        {"page up stops at the top", 2, kScrollPageUp, 0, 12, 0},
        {"thumb track", 0, kScrollThumbTrack, 15, 30, 15},
        {"thumb track beyond the end", 0, kScrollThumbTrack, 65535, 30, 20},
        {"thumb position is ignored", 1, kScrollThumbPosition, 2, 12, 1},
        {"top is ignored", 2, kScrollTop, 0, 12, 2},
        {"bottom is ignored", 0, kScrollBottom, 0, 12, 0},
        {"end of scrolling", 1, kScrollEnd, 0, 12, 1},
        {"unknown request", 1, 42, 0, 12, 1},
        {"nothing to scroll", 0, kScrollPageDown, 0, 5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollTarget(c.current, c.request, c.thumb, c.count, 10), c.expected) << c.name;
}

TEST(Positions, OnScreenMeansInsideTheVirtualScreenEdgesIncludedOnTheLeftAndTop) {
    const ScreenArea single = {0, 0, 1280, 1024};
    const ScreenArea leftOfPrimary = {-1920, -200, 3200, 1224};  // a second monitor left of and above
    const struct {
        ScreenArea screen;
        Position point;
        bool on;
    } cases[] = {
        {single, {640, 512}, true},          {single, {0, 0}, true},
        {single, {1279, 1023}, true},        {single, {1280, 500}, false},
        {single, {500, 1024}, false},        {single, {-1, 500}, false},
        {single, {500, -1}, false},          {single, {125830000, 300}, false},
        {single, {INT_MIN, INT_MIN}, false}, {single, {INT_MAX, INT_MAX}, false},
        {leftOfPrimary, {-1920, -200}, true}, {leftOfPrimary, {-1921, 0}, false},
        {leftOfPrimary, {1279, 1023}, true},  {leftOfPrimary, {1280, 0}, false},
        {leftOfPrimary, {0, -201}, false},    {leftOfPrimary, {0, 1024}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsOnScreen(c.point, c.screen), c.on) << c.point.x << "," << c.point.y << " on " << c.screen.left;
}

TEST(Positions, RowsOffScreenNameTheRowAndThePoint) {
    const std::vector<Position> list = {{10, 10}, {5000, 20}, {30, 30}, {-5, 40}};
    const ScreenArea screen = {0, 0, 1280, 1024};
    EXPECT_EQ(RowsOffScreen(list, list.size(), screen), (std::vector<int>{2, 4}));
    EXPECT_EQ(RowsOffScreen(list, 1, screen), std::vector<int>{});  // only the rows a run uses count
    const std::string refusal = OffScreenRefusal(list, {2, 4});
    EXPECT_NE(refusal.find("2 (5000,20)"), std::string::npos) << refusal;
    const std::string warning = OffScreenLoadWarning(list, {2, 4});
    EXPECT_NE(warning.find("2 (5000,20)"), std::string::npos) << warning;
    EXPECT_NE(warning.find("4 (-5,40)"), std::string::npos) << warning;
    EXPECT_EQ(OffScreenLoadWarning(list, {}), "");
}

// A capture's window follows its point on the same line: earlier readers still take the point, a
// damaged window part leaves the point without a window and still marked.
TEST(CoordinatesFile, WindowPartsRoundTripAndDamagedOnesLeaveThePointWithoutAWindow) {
    const CapturedWindow designer = {"designer.exe", "PageWnd", {440, 51, 664, 568}};
    const CapturedWindow odd = {"Мой редактор 2.exe", "a;b%c\td", {-1920, -10, 1, 1}};
    const std::vector<Position> list = {{540, 150, designer}, {0, 0}, {-1800, 5, odd}};
    const std::string text = FormatCoordinates(list);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "540,150 px window=440,51,664x568;designer.exe;PageWnd");
    EXPECT_NE(text.find("window=-1920,-10,1x1;Мой%20редактор%202.exe;a%3Bb%25c%09d\r\n"), std::string::npos) << text;
    for (int dpi : {96, 144}) {
        const std::vector<Position> read = ParseCoordinates(text, dpi);
        ASSERT_EQ(read.size(), 3u);
        EXPECT_EQ(AsPairs(read), AsPairs(list));
        EXPECT_TRUE(read[0].window.SameKind(designer) && read[0].window.area == designer.area);
        EXPECT_FALSE(read[1].window.Recorded());
        EXPECT_TRUE(read[2].window.SameKind(odd) && read[2].window.area == odd.area);
    }
    Position earlier;
    ASSERT_TRUE(ParseCoordinateLine(text.substr(0, text.find("\r\n")), earlier));
    EXPECT_EQ(std::make_pair(earlier.x, earlier.y), std::make_pair(540, 150));

    const struct {
        const char* name;
        std::string line;
        bool window;
        Points point;  // at 192 dpi: an unmarked line is doubled
    } cases[] = {
        {"whole, blanks after it", "5,6 px window=1,2,3x4;p.exe;C \r", true, {{5, 6}}},
        {"an earlier line", "5,6 px\r", false, {{5, 6}}},
        {"an unmarked line", "5,6\r", false, {{10, 12}}},
        {"cut short", "5,6 px window=1,2,3x4;p.exe\r", false, {{5, 6}}},
        {"no size", "5,6 px window=1,2;p.exe;C", false, {{5, 6}}},
        {"a zero size", "5,6 px window=1,2,0x4;p.exe;C", false, {{5, 6}}},
        {"a negative size", "5,6 px window=1,2,-3x4;p.exe;C", false, {{5, 6}}},
        {"a number beyond 32 bits", "5,6 px window=99999999999,2,3x4;p.exe;C", false, {{5, 6}}},
        {"a bad escape", "5,6 px window=1,2,3x4;p%G1.exe;C", false, {{5, 6}}},
        {"an escape cut short", "5,6 px window=1,2,3x4;p.exe;C%4", false, {{5, 6}}},
        {"an empty class", "5,6 px window=1,2,3x4;p.exe;", false, {{5, 6}}},
        {"a third name", "5,6 px window=1,2,3x4;p.exe;C;D", false, {{5, 6}}},
        {"text after the part", "5,6 px window=1,2,3x4;p.exe;C junk", false, {{5, 6}}},
        {"the part without the marker", "5,6 window=1,2,3x4;p.exe;C", false, {{10, 12}}},
        {"the part glued to the marker", "5,6 pxwindow=1,2,3x4;p.exe;C", false, {{10, 12}}},
    };
    for (const auto& c : cases) {
        const std::vector<Position> read = ParseCoordinates(c.line, 192);
        EXPECT_EQ(AsPairs(read), c.point) << c.name;
        ASSERT_EQ(read.size(), 1u) << c.name;
        EXPECT_EQ(read[0].window.Recorded(), c.window) << c.name;
    }
}
