// The input primitives: event sequences, their waits, spreadsheet key choice and the 1251 table.
#include "automation/input.h"
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

TEST_F(Input, ExcelPasteUsesKeysWithShiftForCapitalsAndTheCharacterOtherwise) {
    delays.typingDelay = 3;
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
            const long n = NormalizedCoordinate(pixel, screen.origin, screen.extent);
            ASSERT_GE(n, 0);
            ASSERT_LE(n, 65535);
            ASSERT_EQ(screen.origin + n * screen.extent / 65536, pixel) << screen.extent;
        }
}

TEST(CellKey, ChoiceForEachKindOfCharacter) {
    struct Case {
        unsigned char c;
        bool unicode, shift;
        unsigned char vk;
        char16_t unit;
    } cases[] = {
        {'A', false, true, 0x41, 0},    {'Z', false, true, 0x5A, 0},   {'a', false, false, 0x41, 0},
        {'z', false, false, 0x5A, 0},   {'7', false, false, 0x37, 0},  {'0', false, false, 0x30, 0},
        {' ', false, false, 0x20, 0},   {'-', false, false, 0xBD, 0},  {0xC0, true, false, 0, 0x0410},
        {0xFF, true, false, 0, 0x044F}, {0xA8, true, false, 0, 0x0401}, {'.', true, false, 0, '.'},
        {'_', true, false, 0, '_'},     {'%', true, false, 0, '%'},
    };
    for (const Case& c : cases) {
        const CellKey key = CellKeyFor(c.c);
        SCOPED_TRACE(static_cast<int>(c.c));
        EXPECT_EQ(key.unicode, c.unicode);
        EXPECT_EQ(key.shift, c.shift);
        if (c.unicode)
            EXPECT_EQ(key.unit, c.unit);
        else
            EXPECT_EQ(key.vk, c.vk);
    }
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
