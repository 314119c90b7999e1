// Windows services of the table generators: the clipboard copy in both formats, its refusal when
// memory runs out, and the system random source behind the passwords.
#include "harness.h"
#include "tables/clipboard_win.h"
#include "tables/system_random_win.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace {
using harness::ClipboardBytes;
using harness::ClipboardHas;
using harness::ClipboardUnicode;

// The window the product's copy opens the clipboard with.
HWND OwnerWindow() {
    static HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return window;
}

int allocations = 0;
int failAt = 0;  // the allocation (1-based) that fails
HGLOBAL CountingAllocator(size_t bytes) {
    if (++allocations == failAt) return nullptr;
    return GlobalAlloc(GMEM_MOVEABLE, bytes);
}
}  // namespace

TEST(TablesClipboard, CopiesTheBytesAndTheirUnicodeForm) {
    const std::string text = "001,002\r\nЩ-1,Ж-2\r\n";
    ASSERT_EQ(CopyTextToClipboard(OwnerWindow(), text), CopyResult::Copied);
    EXPECT_EQ(ClipboardBytes(CF_TEXT), text);
    EXPECT_EQ(ClipboardUnicode(), L"001,002\r\nЩ-1,Ж-2\r\n");
}

TEST(TablesClipboard, AFailedAllocationLeavesTheClipboardEmptyAndSaysSo) {
    for (int failing : {1, 2}) {
        ASSERT_EQ(CopyTextToClipboard(OwnerWindow(), "old"), CopyResult::Copied);
        allocations = 0;
        failAt = failing;
        EXPECT_EQ(CopyTextToClipboard(OwnerWindow(), "new", CountingAllocator), CopyResult::OutOfMemory) << failing;
        EXPECT_FALSE(ClipboardHas(CF_TEXT)) << failing;
        EXPECT_FALSE(ClipboardHas(CF_UNICODETEXT)) << failing;
    }
}

TEST(TablesRandom, SystemSourceGivesUniformUnrepeatedBytes) {
    RandomSource source = SystemRandomSource();
    std::array<unsigned char, 4096> first{}, second{};
    ASSERT_TRUE(source(first.data(), first.size()));
    ASSERT_TRUE(source(second.data(), second.size()));
    EXPECT_NE(first, second);

    // Chi-square of 256,000 bytes over 256 values: 255 degrees of freedom, 0.1% critical value ~330.
    std::array<int, 256> counts{};
    static std::array<unsigned char, 256000> bytes{};
    ASSERT_TRUE(source(bytes.data(), bytes.size()));
    for (unsigned char b : bytes) ++counts[b];
    double chiSquare = 0;
    for (int count : counts) chiSquare += (count - 1000.0) * (count - 1000.0) / 1000.0;
    EXPECT_LT(chiSquare, 330.0);
}
