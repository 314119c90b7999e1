// Reading integers one after another out of a settings text: the rules must stay those of extracting
// an int from a C++ stream, which the files of earlier versions were read by.
#include "platform/text_parse.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {
// What a stream gives, number by number, up to the first that fails (or the end of the text).
std::vector<NextInt> ReadByStream(const std::string& text) {
    std::vector<NextInt> numbers;
    std::istringstream in(text);
    for (;;) {
        NextInt number;
        in >> std::ws;
        if (in.eof()) {
            number.atEnd = true;
            numbers.push_back(number);
            return numbers;
        }
        int value = 0;
        number.read = static_cast<bool>(in >> value);
        number.value = value;
        numbers.push_back(number);
        if (!number.read) return numbers;
    }
}

std::vector<NextInt> ReadByReader(const std::string& text) {
    std::vector<NextInt> numbers;
    std::size_t at = 0;
    for (;;) {
        numbers.push_back(ReadNextInt(text, at));
        if (numbers.back().atEnd || !numbers.back().read) return numbers;
    }
}

std::string Describe(const std::vector<NextInt>& numbers) {
    std::string out;
    for (const NextInt& n : numbers)
        out += n.atEnd ? "end " : (n.read ? "" : "failed:") + std::to_string(n.value) + " ";
    return out;
}

const char* const kTexts[] = {
    "", " \r\n\t", "0", "1\r\n2\r\n3\r\n", "1\n2\n3", "  -5\t+6\v7\f8 ", "+", "-", "- 5", "+-5", "--5", "5-3",
    "300ms 9", "\xE0\xE1 1", "007 0008", "2147483647 -2147483648", "2147483648", "-2147483649",
    "4294967297", "99999999999999999999999999 1", "-0 +0", "1.5 2", "0x10", "1e3", "\r\r\r4\r",
};

TEST(NextInt, ReadsAsStreamExtraction) {
    for (const char* text : kTexts) EXPECT_EQ(Describe(ReadByReader(text)), Describe(ReadByStream(text))) << text;
    const std::string withNul("4\0 5", 4);
    EXPECT_EQ(Describe(ReadByReader(withNul)), Describe(ReadByStream(withNul)));
}

TEST(NextInt, ReadsAsStreamExtractionOnMixedTexts) {
    const std::string alphabet = std::string("   \t\r\n\v\f+-+-0123456789012345678901234567890123456789x\xE0") + '\0';
    std::mt19937 random(34);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(Describe(ReadByReader(text)), Describe(ReadByStream(text))) << text;
    }
}

TEST(NextInt, OutOfRangeGivesTheBoundAndANumberEndsAtTheFirstOtherCharacter) {
    std::size_t at = 0;
    NextInt n = ReadNextInt(" 42abc", at);
    EXPECT_TRUE(n.read);
    EXPECT_EQ(n.value, 42);
    EXPECT_EQ(at, 3u);
    at = 0;
    n = ReadNextInt("-99999999999 1", at);
    EXPECT_FALSE(n.read);
    EXPECT_EQ(n.value, INT_MIN);
    at = 0;
    n = ReadNextInt("\r\n ", at);
    EXPECT_TRUE(n.atEnd);
    EXPECT_FALSE(n.read);
}
}  // namespace
