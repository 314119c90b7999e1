// Spreadsheet mode against a stand-in spreadsheet whose cells are General cells of a sheet in the
// Russian locale: leading zeros, long numbers, day-month pairs, formulas, booleans and an apostrophe
// of the value's own all reach the cells as the values' text, on the US and the Russian keyboard layout.
#include "harness.h"
#include "run_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

using namespace harness;

namespace {
// A value the stand-in stored with the kind of content its cell took it for.
struct Held {
    Landed landed;
    std::string kind;
    bool operator==(const Held& o) const { return landed == o.landed && kind == o.kind; }
};
std::ostream& operator<<(std::ostream& out, const Held& h) { return out << h.landed << " " << h.kind; }

// The stand-in's values, each with the kind it logged just before it.
std::vector<Held> HeldIn(const std::vector<FixtureEvent>& log) {
    std::vector<Held> out;
    std::string kind = "(none)";
    for (const FixtureEvent& e : log) {
        if (e.kind() == "kind") kind = e.fields.at(3);
        if (e.kind() != "value") continue;
        out.push_back({{e.fields.at(1), e.fields.at(2), e.fields.size() > 3 ? e.fields[3] : ""}, kind});
        kind = "(none)";
    }
    return out;
}

std::vector<Held> AsText(const std::vector<Landed>& values) {
    std::vector<Held> out;
    for (const Landed& v : values) out.push_back({v, "text"});
    return out;
}

// The stand-in has taken `chars` characters in all: a click on its last cell ends the last editing,
// then its values are read once `count` have come.
std::vector<Held> HeldOnceTyped(const Fixture& spreadsheet, size_t chars, size_t count) {
    WaitUntil([&] { return EventsOf(spreadsheet.Log(), "char").size() >= chars; });
    ClickAt(CenterOf(spreadsheet.ChildrenOfClass(L"FakeCell").back()));
    WaitUntil([&] { return ValuesIn(spreadsheet.Log()).size() >= count; });
    std::this_thread::sleep_for(milliseconds(300));
    return HeldIn(spreadsheet.Log());
}
}  // namespace

// Numbers from 0001 in the cells of one column, three rows a sheet over two sheets.
TEST(RunCellsE2E, ZeroFilledNumbersKeepTheirZerosInThreeRowsOverTwoSheets) {
    Scene s;
    ASSERT_TRUE(s.OpenSpreadsheet(3, L"general"));
    const std::vector<HWND> cells = s.fixture.ChildrenOfClass(L"FakeCell");
    ASSERT_GE(cells.size(), 9u);
    ASSERT_TRUE(CapturePoints(s.app, s.fixture.window, {CenterOf(cells[0]), CenterOf(cells[4]), CenterOf(cells[8])}));
    SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
    s.Fields(L"", L"0001", L"6");
    ASSERT_TRUE(s.RunToCompletion(NextStartLine(L"0007")));

    const std::vector<Held> held = HeldOnceTyped(s.fixture, 6 * 5, 6);  // each value after its apostrophe
    EXPECT_EQ(held, AsText({{"1", "1", "0001"}, {"1", "5", "0002"}, {"1", "9", "0003"},
                            {"2", "1", "0004"}, {"2", "5", "0005"}, {"2", "9", "0006"}}));
    EXPECT_EQ(EventsOf(s.fixture.Log(), "sheet").size(), 1u);
    EXPECT_EQ(CloseApp(s.app), 0u);
}

// Nine lines of a list, each a value a General cell would change but the last: every cell holds its
// line exactly, as text, whichever layout the spreadsheet types with.
TEST(RunCellsE2E, NineListValuesEachHoldTheirLineOnTheUsAndTheRussianLayout) {
    const std::vector<std::wstring> lines = {L"00123",      L"1-2",     L"=1+2", L"+7 999 123", L"12345678901234567890",
                                             L"ИСТИНА",     L"'quoted", L"1,50", L"P-0001"};
    std::wstring list;
    size_t chars = 8;  // an apostrophe before every line but P-0001
    std::vector<std::string> expected;
    for (const std::wstring& line : lines) {
        list += line + L"\r\n";
        chars += line.size();
        expected.push_back(ToUtf8(line));
    }
    for (const wchar_t* layout : {L"us", L"ru"}) {
        SCOPED_TRACE(ToUtf8(layout));
        std::optional<XKeyboardLayout> switched;  // back to US when the case ends, passed or failed
        if (std::wstring(layout) == L"ru") {
            if (!RunsUnderWine()) continue;  // the layout of the X server behind Wine
            switched.emplace(layout);
            ASSERT_TRUE(switched->Active()) << "setxkbmap -layout ru did not take effect";
        }
        Scene s;  // started on that layout
        ASSERT_TRUE(s.OpenSpreadsheet(3, L"general"));
        if (switched) {
            const auto keyboard = EventsOf(s.fixture.Log(), "keyboard");
            ASSERT_FALSE(keyboard.empty());
            // No key types a Latin q; the key of the US apostrophe types э here.
            ASSERT_EQ(keyboard[0].fields.at(1), "FFFF");
        }
        SendMessageW(CheckBox(s.app, L"XL (вставка в Excel)"), BM_CLICK, 0, 0);
        SendMessageW(CheckBox(s.app, L"Переменная из списка"), BM_CLICK, 0, 0);
        SetTextOf(VariableListEdit(s.app), list);
        s.Fields(L"", L"0001", L"1");
        ASSERT_TRUE(s.RunToCompletion(NextListLine(lines.back())));

        EXPECT_EQ(HeldOnceTyped(s.fixture, chars, lines.size()), AsText(Placed(expected, 3)));
        EXPECT_EQ(EventsOf(s.fixture.Log(), "sheet").size(), 2u);
        EXPECT_EQ(CloseApp(s.app), 0u);
    }
}
