// Passwords: pools, table layout, refusals, and that every pool character is equally likely.
#include "support/text_lines.h"
#include "tables/merge_table.h"
#include "tables/passwords.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {
// Bytes 0, 1, ..., 255, 0, 1, ...: every byte value equally often, so an unbiased picker must give
// every index exactly equally often.
RandomSource CyclingSource() {
    auto next = std::make_shared<unsigned>(0);
    return [next](unsigned char* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((*next)++);
        return true;
    };
}

RandomSource SeededSource(unsigned seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine](unsigned char* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((*engine)() >> 24);
        return true;
    };
}

using harness::SplitCells;
using harness::SplitLines;

PasswordTableResult Table(const PasswordTableRequest& request, unsigned seed = 1) {
    RandomIndexPicker picker(SeededSource(seed));
    return BuildPasswordTable(request, picker);
}

PasswordCharsets Only(bool PasswordCharsets::*flag) {
    PasswordCharsets sets;
    sets.*flag = true;
    return sets;
}
}  // namespace

TEST(PasswordPool, SetsJoinInTheirFixedOrder) {
    PasswordCharsets all;
    all.useUpperLatin = all.useLowerLatin = all.useUpperCyrillic = all.useLowerCyrillic = all.useDigits =
        all.useSpecial = true;
    const std::string pool = PasswordPool(all);
    EXPECT_EQ(pool, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                    "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя0123456789!@#$%&*?+-=_");
    EXPECT_EQ(pool.size(), 140u);
    EXPECT_EQ(std::set<char>(pool.begin(), pool.end()).size(), 140u) << "no character twice";

    EXPECT_EQ(PasswordPool({}), "0123456789");
    EXPECT_EQ(PasswordPool(Only(&PasswordCharsets::useDigits)), PasswordPool({}));
    EXPECT_EQ(PasswordPool(Only(&PasswordCharsets::useUpperCyrillic)).size(), 33u);
    PasswordCharsets two;
    two.useSpecial = two.useLowerLatin = true;
    EXPECT_EQ(PasswordPool(two), "abcdefghijklmnopqrstuvwxyz!@#$%&*?+-=_");
}

TEST(PasswordTable, DefaultsGiveAHeaderAndTwoRowsOfEightDigitPasswords) {
    PasswordTableRequest request;
    request.countText = "10";
    const PasswordTableResult result = Table(request);
    ASSERT_EQ(result.error, "");
    const std::vector<std::string> lines = SplitLines(result.text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "P001,P002,P003,P004,P005");
    for (size_t i = 1; i < 3; ++i) {
        const std::vector<std::string> cells = SplitCells(lines[i]);
        ASSERT_EQ(cells.size(), 5u);
        for (const std::string& cell : cells) {
            EXPECT_EQ(cell.size(), 8u);
            EXPECT_EQ(cell.find_first_not_of("0123456789"), std::string::npos) << cell;
        }
    }
}

TEST(PasswordTable, LayoutsAndPrefix) {
    const struct {
        const char* name;
        const char* count;
        int columns;
        bool singleColumn;
        const char* prefix;
        std::vector<size_t> cellsPerLine;  // the header line included when there is one
        const char* header;
    } cases[] = {
        {"single column", "10", 5, true, "", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, nullptr},
        {"short last row", "3", 5, false, "", {5, 3}, "P001,P002,P003,P004,P005"},
        {"one column chosen", "2", 1, false, "", {1, 1, 1}, "P001"},
        {"thirty columns", "31", 30, false, "", {30, 30, 1}, nullptr},
        {"prefix in a table", "4", 2, false, "PW-", {2, 2, 2}, "P001,P002"},
        {"prefix in one column", "2", 7, true, "PW-", {1, 1}, nullptr},
    };
    for (const auto& c : cases) {
        PasswordTableRequest request;
        request.countText = c.count;
        request.columns = c.columns;
        request.singleColumn = c.singleColumn;
        request.prefix = c.prefix;
        const PasswordTableResult result = Table(request);
        ASSERT_EQ(result.error, "") << c.name;
        const std::vector<std::string> lines = SplitLines(result.text);
        ASSERT_EQ(lines.size(), c.cellsPerLine.size()) << c.name;
        if (c.header) {
            EXPECT_EQ(lines[0], c.header) << c.name;
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::vector<std::string> cells = SplitCells(lines[i]);
            EXPECT_EQ(cells.size(), c.cellsPerLine[i]) << c.name << " line " << i;
            const bool isHeader = !c.singleColumn && i == 0;
            for (const std::string& cell : cells) {
                if (!isHeader) {
                    EXPECT_EQ(cell.rfind(c.prefix, 0), 0u) << c.name << ": " << cell;
                }
            }
        }
    }
}

TEST(PasswordTable, EveryLengthAndEveryCharacterFromTheChosenPool) {
    const std::vector<bool PasswordCharsets::*> flags = {
        &PasswordCharsets::useUpperLatin,    &PasswordCharsets::useLowerLatin, &PasswordCharsets::useUpperCyrillic,
        &PasswordCharsets::useLowerCyrillic, &PasswordCharsets::useDigits,     &PasswordCharsets::useSpecial};
    for (auto flag : flags) {
        const PasswordCharsets sets = Only(flag);
        const std::string pool = PasswordPool(sets);
        RandomIndexPicker picker(SeededSource(7));
        for (int length = 1; length <= 20; ++length) {
            PasswordTableRequest request;
            request.sets = sets;
            request.length = length;
            request.countText = "1";
            request.singleColumn = true;
            std::string password = BuildPasswordTable(request, picker).text;
            ASSERT_GE(password.size(), 2u);
            ASSERT_EQ(password.substr(password.size() - 2), "\r\n");
            password.resize(password.size() - 2);
            EXPECT_EQ(password.size(), static_cast<size_t>(length)) << pool;
            EXPECT_EQ(password.find_first_not_of(pool), std::string::npos) << pool << ": " << password;
        }
    }
}

TEST(PasswordTable, RefusesBadCountsAndAFailingSource) {
    const struct {
        const char* count;
        std::string error;
    } cases[] = {
        {"0", kBadPasswordCountMessage},
        {"", kBadPasswordCountMessage},
        {"x5", kBadPasswordCountMessage},
        {"-1", kBadPasswordCountMessage},
        {"99999999999", TooManyPasswordsMessage()},
    };
    for (const auto& c : cases) {
        PasswordTableRequest request;
        request.countText = c.count;
        const PasswordTableResult result = Table(request);
        EXPECT_EQ(result.error, c.error) << c.count;
        EXPECT_EQ(result.text, "") << c.count;
    }
    PasswordTableRequest request;
    request.countText = std::to_string(kMaxPasswords + 1);
    EXPECT_EQ(Table(request).error, TooManyPasswordsMessage());

    request.countText = "3";
    RandomIndexPicker failing([](unsigned char*, size_t) { return false; });
    const PasswordTableResult result = BuildPasswordTable(request, failing);
    EXPECT_EQ(result.text, "");
    EXPECT_EQ(result.error, kRandomFailureMessage);
}

TEST(PasswordTable, SuccessiveTablesDiffer) {
    RandomIndexPicker picker(SeededSource(3));
    PasswordTableRequest request;
    request.countText = "10";
    EXPECT_NE(BuildPasswordTable(request, picker).text, BuildPasswordTable(request, picker).text);
}

TEST(RandomIndexPicker, HasNoModuloBias) {
    // With every byte value equally often, a picker that took "byte % 140" would give the indexes
    // 0-115 twice as often as 116-139. Rejecting bytes 140-255 makes them all equal.
    for (unsigned bound : {10u, 33u, 140u, 256u, 1u}) {
        RandomIndexPicker picker(CyclingSource());
        std::vector<int> counts(bound, 0);
        const unsigned acceptedPerCycle = 256 - 256 % bound;  // 40 whole cycles of the source
        for (unsigned i = 0; i < acceptedPerCycle * 40; ++i) {
            unsigned index = 0;
            ASSERT_TRUE(picker.Next(bound, index));
            ASSERT_LT(index, bound);
            ++counts[index];
        }
        for (unsigned i = 0; i < bound; ++i) EXPECT_EQ(counts[i], counts[0]) << "bound " << bound << " index " << i;
    }
}

TEST(RandomIndexPicker, CharactersAreUniformlySpread) {
    // Chi-square over the full 140-character pool: 280,000 characters, 139 degrees of freedom;
    // the 0.1% critical value is about 195.
    PasswordCharsets all;
    all.useUpperLatin = all.useLowerLatin = all.useUpperCyrillic = all.useLowerCyrillic = all.useDigits =
        all.useSpecial = true;
    PasswordTableRequest request;
    request.sets = all;
    request.length = 20;
    request.countText = "14000";
    request.singleColumn = true;
    const std::string text = Table(request, 12345).text;
    std::map<char, int> counts;
    for (char c : text)
        if (c != '\r' && c != '\n') ++counts[c];
    ASSERT_EQ(counts.size(), 140u);
    const double expected = 14000.0 * 20 / 140;
    double chiSquare = 0;
    for (const auto& entry : counts) chiSquare += (entry.second - expected) * (entry.second - expected) / expected;
    EXPECT_LT(chiSquare, 195.0);
}
