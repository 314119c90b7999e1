// The input primitives: event sequences, their waits, spreadsheet key choice on several keyboard
// layouts and the 1251 table.
#include "automation/input/input.h"
#include "delays/delay_settings.h"
#include "fakes/recording_machine.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <string>
#include <vector>

using Strings = std::vector<std::string>;

namespace {
class Input : public ::testing::Test {
protected:
    void SetUp() override { delays = DelaySettings{}; }
    void TearDown() override { delays = DelaySettings{}; }
    RecordingMachine m;
};
}  // namespace

TEST_F(Input, DoubleClickWaitsThenSendsBothClicksInOneBatch) {
    SimulateDoubleClick(m, 300, -40);
    EXPECT_EQ(m.What(), (Strings{"cursor 300,-40", "wait 200", "mouse 2 4 2 4 at 300,-40"}));
    EXPECT_EQ(m.now, 200);
}

TEST_F(Input, TypingSendsEachCharacterDownWaitUpWait) {
    delays.typingDelay = 7;
    SimulateTyping(m, "A\xC6");  // A and Cyrillic capital Zhe
    EXPECT_EQ(m.What(), (Strings{"char+ 0041", "wait 1", "char- 0041", "wait 7", "char+ 0416", "wait 1",
                                 "char- 0416", "wait 7"}));
}

TEST_F(Input, SixCharactersTakeSixTimesTwentyOneMilliseconds) {
    SimulateTyping(m, "AB0001");
    EXPECT_EQ(m.now, 6 * 21);
    EXPECT_EQ(m.Typed(), u"AB0001");
}

TEST_F(Input, KeyPressWithoutDelayDoesNotWait) {
    delays.enterDelay = 0;
    SimulateKeyPress(m, kVkReturn);
    EXPECT_EQ(m.What(), (Strings{"key+ 0D", "key- 0D"}));
    delays.enterDelay = -30;  // hand-edited file: never a wait of weeks
    SimulateKeyPress(m, kVkNext);
    EXPECT_EQ(m.now, 0);
}

TEST_F(Input, DelaysAreReadWhenEachWaitBegins) {
    delays.typingDelay = 5;
    m.onPump = nullptr;
    SimulateTyping(m, "a");
    delays.typingDelay = 9;
    SimulateTyping(m, "b");
    EXPECT_EQ(m.Only("wait 5").size(), 1u);
    EXPECT_EQ(m.Only("wait 9").size(), 1u);
}

TEST_F(Input, ExcelPasteOfEmptyTextStillClicksAndWaits) {
    SimulateExcelPaste(m, 10, 20, "");
    EXPECT_EQ(m.What(), (Strings{"cursor 10,20", "wait 200", "mouse 2 4 2 4 at 10,20", "wait 700", "wait 50"}));
}

TEST_F(Input, ExcelPasteOnUsLayoutUsesKeysWithShiftForCapitalsAndTheCharacterOtherwise) {
    delays.typingDelay = 3;  // US layout, Caps Lock off: the recorder's default
    SimulateExcelPaste(m, 1, 2, "Aa7- \xE6,");
    const Strings expected = {
        "cursor 1,2", "wait 200", "mouse 2 4 2 4 at 1,2", "wait 700",
        "key+ 10", "key+ 41", "key- 41", "key- 10", "wait 3",  // A
        "key+ 41", "key- 41", "wait 3",                        // a
        "key+ 37", "key- 37", "wait 3",                        // 7
        "key+ BD", "key- BD", "wait 3",                        // -
        "key+ 20", "key- 20", "wait 3",                        // blank
        "char+ 0436", "char- 0436", "wait 3",                  // Cyrillic small zhe, exactly
        "char+ 002C", "char- 002C", "wait 3",                  // comma, exactly
        "wait 50"};
    EXPECT_EQ(m.What(), expected);
}

TEST_F(Input, ExcelPasteOnRussianLayoutSendsLatinLettersAsCharacters) {
    m.layout = &RussianLayout();
    SimulateExcelPaste(m, 1, 2, "Ab-0 \xC6");
    const Strings expected = {
        "cursor 1,2", "wait 200", "mouse 2 4 2 4 at 1,2", "wait 700",
        "char+ 0041", "char- 0041", "wait 20",  // A: no key of the layout types it
        "char+ 0062", "char- 0062", "wait 20",  // b
        "key+ BD", "key- BD", "wait 20",        // - and 0 have keys here as well
        "key+ 30", "key- 30", "wait 20",
        "key+ 20", "key- 20", "wait 20",
        "char+ 0416", "char- 0416", "wait 20",  // Cyrillic capital Zhe, as on every layout
        "wait 50"};
    EXPECT_EQ(m.What(), expected);
}

TEST_F(Input, ExcelPasteReadsTheLayoutOnceWhenTheCellIsOpen) {
    SimulateExcelPaste(m, 1, 2, "ab");
    m.layout = &RussianLayout();  // switched by the user before the next barcode
    SimulateExcelPaste(m, 1, 2, "ab");
    EXPECT_EQ(m.layoutReadAt, (std::vector<long long>{900, 900 + 900 + 2 * 20 + 50}));
    EXPECT_EQ(m.Only("key+ 41").size(), 1u);
    EXPECT_EQ(m.Typed(), u"ab");
}

TEST_F(Input, ExcelPasteArrivesWholeOnEveryLayoutWithCapsLockOnOrOff) {
    const std::string values[] = {"Ab-0001", "AZERTY qwerty 0123456789", "\xC6\xB8 z-9", "a_b.c,%"};
    for (const FakeLayout* layout : {&UsLayout(), &RussianLayout(), &FrenchLayout(), &AltGrDigitsLayout()})
        for (bool caps : {false, true})
            for (const std::string& value : values) {
                RecordingMachine one;
                one.layout = layout;
                one.capsLock = caps;
                SimulateExcelPaste(one, 0, 0, value);
                std::u16string expected;
                for (unsigned char c : value) expected += Utf16FromCp1251(c);
                EXPECT_EQ(one.Received(*layout, caps), expected) << layout->id << " caps " << caps << " " << value;
            }
}

TEST_F(Input, SheetSwitchIsCtrlPageDownThenThePageDelay) {
    delays.pageSwitchDelay = 123;
    SimulateExcelPageDown(m);
    EXPECT_EQ(m.What(), (Strings{"key+ 11", "key+ 22", "key- 22", "key- 11", "wait 123"}));
}

TEST_F(Input, NothingIsSentOnceAStopIsPending) {
    m.hookInstalled = true;
    m.escapeAt = 100;  // during the double-click delay
    SimulateDoubleClick(m, 5, 5);
    SimulateTyping(m, "abc");
    SimulateKeyPress(m, kVkReturn);
    SimulateExcelPaste(m, 1, 1, "x");
    SimulateExcelPageDown(m);
    EXPECT_EQ(m.What(), (Strings{"cursor 5,5", "wait 200"}));
    EXPECT_EQ(m.now, 100);  // the wait ended when Escape came
}

TEST(AbsoluteMouse, EveryPixelMapsBackToItself) {
    const struct {
        int origin, extent;
    } screens[] = {{0, 1280}, {0, 1024}, {-1920, 3840}, {0, 1366}, {-768, 2304}, {0, 7680}};
    for (const auto& screen : screens)
        for (int pixel = screen.origin; pixel < screen.origin + screen.extent; ++pixel) {
            const int n = NormalizedCoordinate(pixel, screen.origin, screen.extent);
            ASSERT_GE(n, 0);
            ASSERT_LE(n, 65535);
            ASSERT_EQ(screen.origin + n * screen.extent / 65536, pixel) << screen.extent;
        }
}

TEST(CellKey, ChoiceForEachLayoutAndCapsLock) {
    const LayoutKey none;
    auto plain = [](unsigned char vk) { return LayoutKey{vk, false, false, false}; };
    auto shifted = [](unsigned char vk) { return LayoutKey{vk, true, false, false}; };
    const LayoutKey altGr3{'3', false, true, true};
    struct Case {
        const FakeLayout& layout;
        bool caps;
        unsigned char c;
        LayoutKey key;   // none: the character itself
        char16_t unit;
    } cases[] = {
        // US with Caps Lock off: the keys the utility has always sent
        {UsLayout(), false, 'A', shifted(0x41), 'A'}, {UsLayout(), false, 'Z', shifted(0x5A), 'Z'},
        {UsLayout(), false, 'a', plain(0x41), 'a'},   {UsLayout(), false, 'z', plain(0x5A), 'z'},
        {UsLayout(), false, '7', plain(0x37), '7'},   {UsLayout(), false, '0', plain(0x30), '0'},
        {UsLayout(), false, ' ', plain(0x20), ' '},   {UsLayout(), false, '-', plain(0xBD), '-'},
        {UsLayout(), false, 0xC0, none, 0x0410},      {UsLayout(), false, 0xFF, none, 0x044F},
        {UsLayout(), false, 0xA8, none, 0x0401},      {UsLayout(), false, '.', none, '.'},
        {UsLayout(), false, ',', none, ','},          {UsLayout(), false, '_', none, '_'},
        {UsLayout(), false, '%', none, '%'},
        // Caps Lock on: Shift turned over on the letters only
        {UsLayout(), true, 'A', plain(0x41), 'A'},    {UsLayout(), true, 'a', shifted(0x41), 'a'},
        {UsLayout(), true, '7', plain(0x37), '7'},    {UsLayout(), true, '-', plain(0xBD), '-'},
        // Russian: no key types a Latin letter; digits, hyphen and blank keep theirs
        {RussianLayout(), false, 'a', none, 'a'},     {RussianLayout(), true, 'Z', none, 'Z'},
        {RussianLayout(), false, '5', plain(0x35), '5'}, {RussianLayout(), false, '-', plain(0xBD), '-'},
        {RussianLayout(), false, ' ', plain(0x20), ' '}, {RussianLayout(), false, 0xE6, none, 0x0436},
        // AZERTY: digits with Shift, the hyphen on the 6 key; Caps Lock shifts the digit row too
        {FrenchLayout(), false, 'q', plain(0x51), 'q'},  {FrenchLayout(), false, 'Q', shifted(0x51), 'Q'},
        {FrenchLayout(), false, '1', shifted(0x31), '1'}, {FrenchLayout(), false, '0', shifted(0x30), '0'},
        {FrenchLayout(), false, '-', plain(0x36), '-'},  {FrenchLayout(), true, '1', plain(0x31), '1'},
        {FrenchLayout(), true, '-', shifted(0x36), '-'}, {FrenchLayout(), true, 'a', shifted(0x41), 'a'},
        // A key that needs AltGr is pressed with Ctrl and Alt
        {AltGrDigitsLayout(), false, '3', altGr3, '3'}, {AltGrDigitsLayout(), true, '3', altGr3, '3'},
    };
    RecordingMachine m;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.layout.id << " caps " << c.caps << " char " << static_cast<int>(c.c));
        const CellKey key = CellKeyFor(c.c, m, CellKeyboard{c.layout.id, c.caps});
        EXPECT_EQ(key.unicode, c.key == none);
        EXPECT_EQ(key.unit, c.unit);
        if (!key.unicode) {
            EXPECT_TRUE(key.key == c.key) << "vk " << static_cast<int>(key.key.vk) << " shift " << key.key.shift
                                          << " ctrl " << key.key.ctrl << " alt " << key.key.alt;
        }
    }
}

TEST_F(Input, ModifiersGoDownBeforeTheKeyAndUpAfterItInReverse) {
    m.layout = &AltGrDigitsLayout();
    delays.typingDelay = 0;
    SimulateExcelPaste(m, 0, 0, "3");
    const Strings w = m.What();
    EXPECT_EQ(Strings(w.begin() + 4, w.end() - 1),
              (Strings{"key+ 11", "key+ 12", "key+ 33", "key- 33", "key- 12", "key- 11"}));
}

namespace {
// The system's own idea of a 1251 byte in UTF-16, or -1 when it has none.
int SystemUtf16(unsigned char byte) {
#ifdef _WIN32
    wchar_t out[2] = {};
    char in[1] = {static_cast<char>(byte)};
    if (MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, in, 1, out, 2) != 1) return -1;
    return out[0];
#else
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return -1;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[4] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return ok ? out[0] | (out[1] << 8) : -1;
#endif
}
}  // namespace

TEST(Cp1251, EveryByteMatchesTheSystemConverter) {
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == 0x98) continue;  // no character in this code page
        EXPECT_EQ(Utf16FromCp1251(static_cast<unsigned char>(byte)), SystemUtf16(static_cast<unsigned char>(byte)))
            << byte;
    }
}
