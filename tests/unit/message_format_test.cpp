// The message line format (markers, comments, blanks) for the message cache and the advertising
// list, and the built-in messages.
#include "online/message_format.h"

#include <gtest/gtest.h>

namespace {
struct Expected {
    std::string text;
    uint32_t color;
    bool bold;
};

void ExpectMessages(const std::vector<AdMessage>& got, const std::vector<Expected>& expected, const char* name) {
    ASSERT_EQ(got.size(), expected.size()) << name;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].text, expected[i].text) << name << " #" << i;
        EXPECT_EQ(got[i].color, expected[i].color) << name << " #" << i;
        EXPECT_EQ(got[i].bold, expected[i].bold) << name << " #" << i;
    }
}

constexpr uint32_t kSteel = 0x996633, kCornflower = 0xED9564, kRed = 0x0000FF, kGreen = 0x008000,
                   kOrange = 0x00A5FF, kPurple = 0x800080;

struct ParseCase {
    const char* name;
    std::string text;
    std::vector<Expected> cache;  // as the message cache reads it
    std::vector<Expected> ads;    // as the advertising list reads it
};

const std::string k499(499, 'x'), k500(500, 'y'), k600(600, 'z');

const ParseCase kCases[] = {
    {"plain lines, CR LF and a last line without LF", "Один\r\nДва\nТри",
     {{"Один", kSteel, false}, {"Два", kSteel, false}, {"Три", kSteel, false}},
     {{"Один", kCornflower, false}, {"Два", kCornflower, false}, {"Три", kCornflower, false}}},
    {"markers", "!a\r\n@b\r\n$c\r\n%d\r\n^e\r\n&f\r\n",
     {{"a", kRed, true}, {"b", kGreen, false}, {"c", kOrange, false}, {"d", kPurple, true}, {"e", kRed, false},
      {"&f", kSteel, false}},
     {{"a", kRed, true}, {"b", kGreen, false}, {"c", kOrange, false}, {"d", kPurple, true}, {"e", kRed, false},
      {"&f", kCornflower, false}}},
    {"blanks around and after the marker", "  @  \tword  \r\n\t!\t \r\n",
     {{"word", kGreen, false}, {"", kRed, true}}, {{"word", kGreen, false}, {"", kRed, true}}},
    {"only the first marker counts", "!!twice\n", {{"!twice", kRed, true}}, {{"!twice", kRed, true}}},
    {"comments and blank lines", "# c\r\n; c\r\n \t \r\n\r\n\n  # indented\nreal\n",
     {{"real", kSteel, false}}, {{"real", kCornflower, false}}},
    {"a marker does not hide a comment sign", "!# not a comment\n", {{"# not a comment", kRed, true}},
     {{"# not a comment", kRed, true}}},
    {"lines starting with <", "<b>bold</b>\n  <br>\nok\n", {{"<b>bold</b>", kSteel, false}, {"<br>", kSteel, false},
     {"ok", kSteel, false}}, {{"ok", kCornflower, false}}},
    {"< inside a text", "a < b\n!<x\nb\n", {{"a < b", kSteel, false}, {"<x", kRed, true}, {"b", kSteel, false}},
     {{"b", kCornflower, false}}},
    {"499 and 500 bytes", k499 + "\r\n" + k500 + "\r\n!" + k499 + "\r\n",
     {{k499, kSteel, false}, {k500, kSteel, false}, {k499, kRed, true}},
     {{k499, kCornflower, false}, {k499, kRed, true}}},
    {"600 bytes", k600, {{k600, kSteel, false}}, {}},
    {"a lone CR is not a line end", "a\rb\n", {{"a\rb", kSteel, false}}, {{"a\rb", kCornflower, false}}},
    {"empty text", "", {}, {}},
    {"blank lines before, CR LF runs after", "\n\r\n \nfirst\r\n\r\n\r\n", {{"first", kSteel, false}},
     {{"first", kCornflower, false}}},
    {"a NUL byte stays in its line", std::string("a\0b\nc", 5), {{std::string("a\0b", 3), kSteel, false},
     {"c", kSteel, false}}, {{std::string("a\0b", 3), kCornflower, false}, {"c", kCornflower, false}}},
    {"a line of 100,000 bytes", "@" + std::string(100000, 'w') + "\r\nend",
     {{std::string(100000, 'w'), kGreen, false}, {"end", kSteel, false}}, {{"end", kCornflower, false}}},
};

TEST(MessageLines, ParseAsCacheAndAsAdvertisingList) {
    for (const ParseCase& c : kCases) {
        ExpectMessages(ParseMessageLines(c.text, kSteel), c.cache, c.name);
        ExpectMessages(ParseAdLines(c.text), c.ads, c.name);
    }
}

TEST(MessageRecord, NewRecordIsSteelBlueAndNotBold) {
    AdMessage message;
    EXPECT_EQ(message.text, "");
    EXPECT_EQ(message.color, kSteel);
    EXPECT_FALSE(message.bold);
}

TEST(BuiltInMessages, FortyOneEntriesWithTheTwoRepeats) {
    std::vector<AdMessage> ads = {{"stale", 0, true}};
    FillBuiltInMessages(ads);
    ASSERT_EQ(ads.size(), 41u);
    for (const AdMessage& message : ads) {
        EXPECT_EQ(message.color, kCornflower);
        EXPECT_FALSE(message.bold);
        EXPECT_FALSE(message.text.empty());
    }
    EXPECT_EQ(ads[0].text, "Улыбка — это твоя суперсила!");
    EXPECT_EQ(ads[17].text, "Сегодня — твой день! Бросай печали!");
    EXPECT_EQ(ads[29].text, ads[17].text);
    EXPECT_EQ(ads[22].text, "Хороший день начинается с улыбки!");
    EXPECT_EQ(ads[32].text, ads[22].text);
    EXPECT_EQ(ads[40].text, "Неси добро в этот мир!");
    // Apart from those two, every phrase is different.
    for (size_t i = 0; i < ads.size(); ++i)
        for (size_t j = i + 1; j < ads.size(); ++j)
            if (!((i == 17 && j == 29) || (i == 22 && j == 32))) {
                EXPECT_NE(ads[i].text, ads[j].text) << i << " " << j;
            }
}
}  // namespace
