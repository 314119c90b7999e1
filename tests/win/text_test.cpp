// The exact conversion into code page 1251 against the system's own: what it keeps byte for byte,
// which character it names when it cannot, and that it agrees with the program's 1251 table on every
// character of the basic plane (where the lossy conversion would hand out look-alikes).
#include "fakes/cp1251_table.h"
#include "platform/text_win.h"

#include <gtest/gtest.h>

#include <string>

TEST(ExactCp1251, KeepsWhat1251HasAndNamesTheFirstCharacterItHasNot) {
    const struct {
        const char* name;
        std::wstring text;
        size_t outside;     // npos: exact
        std::string bytes;  // when exact, code page 1251 (this file's narrow literals are)
    } cases[] = {
        {"plain Cyrillic", L"Привет, Ёжик!", Cp1251Conversion::kExact, "Привет, Ёжик!"},
        {"the euro sign is 0x88", L"€", Cp1251Conversion::kExact, "\x88"},
        {"the number sign is 0xB9", L"№5", Cp1251Conversion::kExact, "\xB9" "5"},
        {"empty", L"", Cp1251Conversion::kExact, ""},
        {"u with diaeresis", L"Müller-1", 1, ""},
        {"sharp s", L"Straße-2", 4, ""},
        {"Polish L first", L"Łódź-3", 0, ""},
        {"z with acute", L"AźB", 1, ""},
        {"an emoji, then a sharp s", L"A\U0001F600ß", 1, ""},
        {"half of a pair", std::wstring(L"A") + wchar_t(0xDC00), 1, ""},
        {"full-width digit", L"1\xFF12", 1, ""},
    };
    for (const auto& c : cases) {
        const Cp1251Conversion converted = Cp1251FromWideExact(c.text);
        EXPECT_EQ(converted.outside, c.outside) << c.name;
        if (c.outside == Cp1251Conversion::kExact) {
            EXPECT_EQ(converted.text, c.bytes) << c.name;
        }
        EXPECT_EQ(converted.outside, TableCp1251(Utf16FromWide(c.text)).outside) << c.name;
    }
    // What the lossy conversion makes of the same texts: look-alikes, reported by nobody.
    const std::wstring pasted = L"Müller-1 Łódź-3";
    EXPECT_EQ(Cp1251FromWide(pasted), "Muller-1 Lodz-3");
}

TEST(ExactCp1251, AgreesWithTheProgramsTableOnEveryCharacterOfTheBasicPlane) {
    int disagreements = 0;
    for (unsigned unit = 1; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // halves of pairs: above
        const std::wstring one(1, static_cast<wchar_t>(unit));
        const Cp1251Conversion system = Cp1251FromWideExact(one), table = TableCp1251(Utf16FromWide(one));
        if (system.Exact() != table.Exact() || (system.Exact() && system.text != table.text)) {
            if (++disagreements <= 10) ADD_FAILURE() << "U+" << std::hex << unit;
        }
    }
    EXPECT_EQ(disagreements, 0);
}
