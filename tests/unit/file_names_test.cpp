// The temporaries the file layer recognises as its own, their age test, and extended-length paths.
#include "platform/file_names.h"

#include <gtest/gtest.h>

namespace {
TEST(TemporaryNames, OnlyTheExactFormMadeForTheTargetIsOwn) {
    const std::wstring target = L"barcode_app.cfg";
    struct Case {
        const wchar_t* name;
        bool own;
    };
    const Case cases[] = {
        {L"barcode_app.cfg.tmp4242-7-31337", true},
        {L"BARCODE_APP.CFG.tmp1-1-0", true},  // the same file under another spelling
        {L"barcode_app.cfg.tmp18446744073709551615-1-1", true},
        {L"barcode_app.cfg.tmp-notes.txt", false},  // the user's own files beside it
        {L"barcode_app.cfg.tmp", false},
        {L"barcode_app.cfg.tmp12", false},
        {L"barcode_app.cfg.tmp12-3", false},
        {L"barcode_app.cfg.tmp12-3-", false},
        {L"barcode_app.cfg.tmp12-3-4.txt", false},
        {L"barcode_app.cfg.tmp12-3-4-5", false},
        {L"barcode_app.cfg.tmp12--4", false},
        {L"barcode_app.cfg.TMP12-3-4", false},
        {L"barcode_app.cfg.tmp 12-3-4", false},
        {L"barcode_app.cfg.tmp123456789012345678901-1-1", false},  // more digits than any number made
        {L"barcode_app.cfg2.tmp12-3-4", false},                     // another file's temporary
        {L"barcode_app.cf.tmp12-3-4", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOwnTemporaryOf(target, c.name), c.own) << std::wstring(c.name).size();
    EXPECT_TRUE(IsOwnTemporaryOf(target, TemporaryNameFor(target, 4294967295ul, 1, 99999)));
    EXPECT_TRUE(IsOwnTemporaryOf(L"таблица.txt", TemporaryNameFor(L"таблица.txt", 1, 2, 3)));
}

// However long the target's name, its temporary with the largest numbers fits in one name, and is
// recognised as its own and as no other target's, whatever the letter case.
TEST(TemporaryNames, ALongTargetNameIsShortenedToFitAndStaysRecognisable) {
    for (size_t length : {200u, 224u, 225u, 250u, 255u}) {
        SCOPED_TRACE(length);
        const std::wstring target = std::wstring(length - 4, L'т') + L".txt";
        const std::wstring temp = TemporaryNameFor(target, 4294967295u, 4294967295u, 99999);
        EXPECT_LE(temp.size(), kMaxNameChars);
        EXPECT_TRUE(IsOwnTemporaryOf(target, temp));
        const std::wstring pattern = TemporaryPatternFor(target);  // "<name part>.tmp*"
        EXPECT_EQ(temp.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1), 0);
        std::wstring upper = target;
        upper.back() = L'T';
        EXPECT_TRUE(IsOwnTemporaryOf(upper, temp));
        // Another name that begins alike is another file.
        std::wstring other = target;
        other[length - 5] = L'ж';
        EXPECT_FALSE(IsOwnTemporaryOf(other, temp));
    }
    // A character outside the basic plane is never cut in half.
    std::wstring surrogates;
    while (surrogates.size() < 250) surrogates += L"\xD83D\xDE00";
    const std::wstring temp = TemporaryNameFor(surrogates, 1, 1, 1);
    EXPECT_LE(temp.size(), kMaxNameChars);
    const size_t cut = temp.find(L'~');
    ASSERT_NE(cut, std::wstring::npos);
    EXPECT_EQ(cut % 2, 0u);
}

TEST(TemporaryNames, OnlyATemporaryOlderThanTheAgeIsStaleNeverOneFromTheFuture) {
    const uint64_t now = 134000000000000000ull, age = 6000000000ull;  // ten minutes
    EXPECT_TRUE(IsStaleTemporary(now, now - age - 1, age));
    EXPECT_FALSE(IsStaleTemporary(now, now - age, age));
    EXPECT_FALSE(IsStaleTemporary(now, now, age));
    EXPECT_FALSE(IsStaleTemporary(now, now + 1, age));  // the unsigned age would wrap to a huge one
    EXPECT_FALSE(IsStaleTemporary(now, UINT64_MAX, age));
    EXPECT_TRUE(IsStaleTemporary(now, 0, age));
}

TEST(ExtendedLengthPaths, DriveAndSharePathsTakeTheLongFormOthersStayAsTheyAre) {
    struct Case {
        const wchar_t* path;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\Users\\u\\table.txt", L"\\\\?\\C:\\Users\\u\\table.txt"},
        {L"z:/tmp/x.cfg", L"\\\\?\\z:\\tmp\\x.cfg"},
        {L"\\\\server\\share\\dir\\f.txt", L"\\\\?\\UNC\\server\\share\\dir\\f.txt"},
        {L"\\\\?\\C:\\already\\long.txt", L"\\\\?\\C:\\already\\long.txt"},
        {L"\\\\?\\UNC\\server\\share\\f.txt", L"\\\\?\\UNC\\server\\share\\f.txt"},
        {L"\\\\.\\COM1", L"\\\\.\\COM1"},
        {L"barcode_app.cfg", L"barcode_app.cfg"},
        {L"C:relative.txt", L"C:relative.txt"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(ExtendedLengthPath(c.path), c.expected);
}
}  // namespace
