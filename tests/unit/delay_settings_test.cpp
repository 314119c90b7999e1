// The delays file: line order, stream-extraction reading rules, formatting and the wait bound.
#include "delays/delay_settings.h"

#include <gtest/gtest.h>

#include <sstream>

#include <climits>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {
std::vector<int> InLineOrder(const DelaySettings& d) {
    return {d.initialDelay, d.doubleClickDelay, d.masterOpenDelay, d.typingDelay, d.enterDelay,
            d.betweenBarcodesDelay, d.pageSwitchDelay};
}

const std::vector<int> kDefaults = {1000, 200, 700, 20, 200, 200, 400};

struct ReadCase {
    const char* name;
    const char* text;
    std::vector<int> expected;  // file line order
};

const ReadCase kReadCases[] = {
    {"seven lines", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n", {1, 2, 3, 4, 5, 6, 7}},
    {"one line with blanks", "1 2 3\t4 5 6 7", {1, 2, 3, 4, 5, 6, 7}},
    {"only the first value", "1500", {1500, 200, 700, 20, 200, 200, 400}},
    {"a word first", "abc\r\n5\r\n", {0, 200, 700, 20, 200, 200, 400}},
    {"a word in the middle", "1\r\n2\r\nxyz\r\n4\r\n", {1, 2, 0, 20, 200, 200, 400}},
    {"number with a unit", "300ms\r\n9\r\n", {300, 0, 700, 20, 200, 200, 400}},
    {"above 32 bits", "99999999999\r\n5\r\n", {INT_MAX, 200, 700, 20, 200, 200, 400}},
    {"below 32 bits", "1\r\n-99999999999\r\n5\r\n", {1, INT_MIN, 700, 20, 200, 200, 400}},
    {"negative kept as read", "-5\r\n", {-5, 200, 700, 20, 200, 200, 400}},
    {"empty file", "", kDefaults},
    {"only white space", " \r\n\r\n ", kDefaults},
    {"truncated after three", "10\r\n20\r\n30", {10, 20, 30, 20, 200, 200, 400}},
    {"extra values ignored", "1 2 3 4 5 6 7 8 9", {1, 2, 3, 4, 5, 6, 7}},
    {"signs", "+1\r\n-0\r\n+3\r\n", {1, 0, 3, 20, 200, 200, 400}},
    {"a sign without digits", "1\r\n- 2\r\n3\r\n", {1, 0, 700, 20, 200, 200, 400}},
    {"the 32-bit bounds are in range", "2147483647 -2147483648 5", {INT_MAX, INT_MIN, 5, 20, 200, 200, 400}},
    {"just above 32 bits", "2147483648 5", {INT_MAX, 200, 700, 20, 200, 200, 400}},
    {"blank lines and a missing last line end", "\r\n\r\n 1\r\n\r\n\t2\r\n\v\f3", {1, 2, 3, 20, 200, 200, 400}},
    {"a long run of digits", "0000000000000000000000000000042 1", {42, 1, 700, 20, 200, 200, 400}},
};

// Reads `text` into settings whose switches start opposite to what is expected, so a switch the
// reading left alone fails too.
void ExpectSwitchesRead(const char* text, std::initializer_list<std::pair<bool DelaySettings::*, bool>> switches) {
    DelaySettings read;
    for (const auto& [field, expected] : switches) read.*field = !expected;
    ParseDelaySettings(text, read);
    for (const auto& [field, expected] : switches) EXPECT_EQ(read.*field, expected) << text;
}

TEST(DelaySettingsFile, ReadsByStreamExtractionRules) {
    for (const ReadCase& c : kReadCases) {
        DelaySettings settings;
        ParseDelaySettings(c.text, settings);
        EXPECT_EQ(InLineOrder(settings), c.expected) << c.name;
    }
}

// The first `count` numbers of our file, as a reader of an earlier version takes them.
std::vector<int> NumbersAnEarlierReaderSees(const DelaySettings& ours, size_t count) {
    std::istringstream earlier(FormatDelaySettings(ours));
    std::vector<int> values(count);
    for (int& v : values) earlier >> v;
    return values;
}

TEST(DelaySettingsFile, DefaultsAndFormatInLineOrder) {
    DelaySettings settings;
    EXPECT_EQ(InLineOrder(settings), kDefaults);
    EXPECT_EQ(FormatDelaySettings(settings), "1000\r\n200\r\n700\r\n20\r\n200\r\n200\r\n400\r\n0\r\n0\r\n0\r\n");
    settings.typingDelay = 0;
    settings.pageSwitchDelay = -3;
    settings.waitForWizard = true;
    EXPECT_EQ(FormatDelaySettings(settings), "1000\r\n200\r\n700\r\n0\r\n200\r\n200\r\n-3\r\n1\r\n0\r\n0\r\n");
    settings.waitForWizard = false;
    settings.trialRun = true;
    EXPECT_EQ(FormatDelaySettings(settings), "1000\r\n200\r\n700\r\n0\r\n200\r\n200\r\n-3\r\n0\r\n1\r\n0\r\n");
    settings.trialRun = false;
    settings.allowListRepeats = true;
    EXPECT_EQ(FormatDelaySettings(settings), "1000\r\n200\r\n700\r\n0\r\n200\r\n200\r\n-3\r\n0\r\n0\r\n1\r\n");
}

TEST(DelaySettingsFile, WaitingForTheWizardIsAnEighthLineEarlierFilesLackAndEarlierReadersSkip) {
    const struct {
        const char* text;
        bool wait;
    } cases[] = {
        {"1000\r\n200\r\n700\r\n20\r\n200\r\n200\r\n400\r\n", false},  // an earlier version's file
        {"1000 200 700 20 200 200 400 1", true},
        {"1000 200 700 20 200 200 400 0", false},
        {"1000 200 700 20 200 200 400 7", false},
        {"1000 200 700 20 200 200 400 yes", false},
        {"1000 200 700 20 200 200 400 +1", true},
        {"1000 200 700 20 200 200 400 01\r\n", true},
        {"1000 200 700 20 200 200 400 1x", true},
        {"1000 200 700 20 200 200 400x 1", false},  // the seventh number's junk stops the reading
        {"1000 200 700 20 200 200 400 4294967297", false},  // out of range, not 1 modulo 2^32
    };
    for (const auto& c : cases) {
        DelaySettings read;
        read.waitForWizard = !c.wait;
        ParseDelaySettings(c.text, read);
        EXPECT_EQ(read.waitForWizard, c.wait) << c.text;
    }
    // What an earlier version reads of ours: the seven delays, the eighth line ignored.
    DelaySettings ours;
    ours.waitForWizard = true;
    ours.typingDelay = 33;
    const std::vector<int> values = NumbersAnEarlierReaderSees(ours, 8);
    EXPECT_EQ(values[3], 33);
    EXPECT_EQ(values[7], 1);
}

TEST(DelaySettingsFile, TheTrialRunIsANinthLineEarlierFilesLackAndEarlierReadersSkip) {
    const struct {
        const char* text;
        bool wait;
        bool trial;
    } cases[] = {
        {"1000\r\n200\r\n700\r\n20\r\n200\r\n200\r\n400\r\n", false, false},  // seven lines
        {"1000 200 700 20 200 200 400 1\r\n", true, false},                     // eight lines
        {"1000 200 700 20 200 200 400 0 1", false, true},
        {"1000 200 700 20 200 200 400 1 1", true, true},
        {"1000 200 700 20 200 200 400 1 0", true, false},
        {"1000 200 700 20 200 200 400 1x 1", true, false},  // the eighth number's junk stops the reading
        {"1000 200 700 20 200 200 400 yes 1", false, false},
        {"1000 200 700 20 200 200 400 0 1 1", false, true},  // a tenth number is the list's switch
    };
    for (const auto& c : cases)
        ExpectSwitchesRead(c.text, {{&DelaySettings::waitForWizard, c.wait}, {&DelaySettings::trialRun, c.trial}});
    // What a reader of eight numbers finds in ours: the eighth still the wait, the ninth left over.
    DelaySettings ours;
    ours.trialRun = true;
    const std::vector<int> values = NumbersAnEarlierReaderSees(ours, 9);
    EXPECT_EQ(values[7], 0);
    EXPECT_EQ(values[8], 1);
}

TEST(DelaySettingsFile, RepeatsInAListAreATenthLineEarlierFilesLackAndEarlierReadersSkip) {
    const struct {
        const char* text;
        bool trial;
        bool repeats;
    } cases[] = {
        {"1000 200 700 20 200 200 400 0 1\r\n", true, false},  // nine lines: an earlier version's
        {"1000 200 700 20 200 200 400 0 0 1", false, true},
        {"1000 200 700 20 200 200 400 1 1 1\r\n", true, true},
        {"1000 200 700 20 200 200 400 0 0 2", false, false},
        {"1000 200 700 20 200 200 400 0 1x 1", true, false},  // the ninth number's junk stops the reading
        {"1000 200 700 20 200 200 400 0 0 1 1", false, true},  // an eleventh number is ignored
    };
    for (const auto& c : cases)
        ExpectSwitchesRead(c.text, {{&DelaySettings::trialRun, c.trial}, {&DelaySettings::allowListRepeats, c.repeats}});
    // A reader of nine numbers finds its nine in ours, the tenth left over.
    DelaySettings ours;
    ours.allowListRepeats = true;
    const std::vector<int> values = NumbersAnEarlierReaderSees(ours, 10);
    EXPECT_EQ(values[8], 0);
    EXPECT_EQ(values[9], 1);
}

TEST(DelaySettingsFile, FormatRoundTripsThroughReading) {
    DelaySettings written;
    written.initialDelay = 0;
    written.masterOpenDelay = INT_MAX;
    written.enterDelay = INT_MIN;
    DelaySettings read{};
    ParseDelaySettings(FormatDelaySettings(written), read);
    EXPECT_EQ(InLineOrder(read), InLineOrder(written));
    written.waitForWizard = true;
    ParseDelaySettings(FormatDelaySettings(written), read);
    EXPECT_TRUE(read.waitForWizard);
    EXPECT_FALSE(read.trialRun);
    written.trialRun = true;
    ParseDelaySettings(FormatDelaySettings(written), read);
    EXPECT_TRUE(read.waitForWizard);
    EXPECT_TRUE(read.trialRun);
    EXPECT_FALSE(read.allowListRepeats);
    written.allowListRepeats = true;
    ParseDelaySettings(FormatDelaySettings(written), read);
    EXPECT_TRUE(read.allowListRepeats);
}

TEST(DelayField, ReadLikeAtoiFromTheFirst19Characters) {
    EXPECT_EQ(ParseDelayField(""), 0);
    EXPECT_EQ(ParseDelayField("  250"), 250);
    EXPECT_EQ(ParseDelayField("250ms"), 250);
    EXPECT_EQ(ParseDelayField("abc"), 0);
    EXPECT_EQ(ParseDelayField("-40"), -40);
    EXPECT_EQ(ParseDelayField("+7"), 7);
    EXPECT_EQ(ParseDelayField("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseDelayField("-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseDelayField("0000000000000000001234"), 1);  // the digits after the 19th are not read
    EXPECT_EQ(ParseDelayField("000000000000000012345"), 123);
}

TEST(DelayBound, NoValueWaitsBelowZeroOrBeyondTheCap) {
    EXPECT_EQ(BoundedDelay(0), 0u);
    EXPECT_EQ(BoundedDelay(-1), 0u);
    EXPECT_EQ(BoundedDelay(INT_MIN), 0u);
    EXPECT_EQ(BoundedDelay(1), 1u);
    EXPECT_EQ(BoundedDelay(700), 700u);
    EXPECT_EQ(BoundedDelay(static_cast<int>(kMaxDelayMs)), kMaxDelayMs);
    EXPECT_EQ(BoundedDelay(static_cast<int>(kMaxDelayMs) + 1), kMaxDelayMs);
    EXPECT_EQ(BoundedDelay(INT_MAX), kMaxDelayMs);
}
}  // namespace
