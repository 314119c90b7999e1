// Whole-file reading and atomic replacement, in the working directory of the test run
// (native and under Wine, so both implementations are held to the same behaviour).
#include "platform/file_io.h"
#include "platform/file_hold.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
constexpr size_t kAnySize = SIZE_MAX;

class FileIo : public ::testing::Test {
protected:
    std::string path = "file_io_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt";
    void TearDown() override { std::remove(path.c_str()); }
};

// A file saved, saved over, and read back as the second save left it.
void SaveTwiceAndReadBack(const std::string& path) {
    ASSERT_TRUE(WriteFileAtomically(path, "first\r\n"));
    ASSERT_TRUE(WriteFileAtomically(path, "second\r\n"));
    std::string read;
    ASSERT_EQ(ReadWholeFile(path, read, kAnySize), ReadResult::kRead);
    EXPECT_EQ(read, "second\r\n");
}

TEST_F(FileIo, WritesExactBytesAndReadsThemBack) {
    const std::string bytes("line\r\n\0zero\xff\xe0\r\n", 14);
    ASSERT_TRUE(WriteFileAtomically(path, bytes));
    std::string read;
    ASSERT_EQ(ReadWholeFile(path, read, kAnySize), ReadResult::kRead);
    EXPECT_EQ(read, bytes);
}

TEST_F(FileIo, ReplacesAnExistingFileWhole) {
    ASSERT_TRUE(WriteFileAtomically(path, std::string(100000, 'x')));
    ASSERT_TRUE(WriteFileAtomically(path, "short\r\n"));
    std::string read;
    ASSERT_EQ(ReadWholeFile(path, read, kAnySize), ReadResult::kRead);
    EXPECT_EQ(read, "short\r\n");
}

TEST_F(FileIo, EmptyContentGivesAnEmptyFile) {
    ASSERT_TRUE(WriteFileAtomically(path, ""));
    std::string read = "stale";
    ASSERT_EQ(ReadWholeFile(path, read, kAnySize), ReadResult::kRead);
    EXPECT_EQ(read, "");
}

TEST_F(FileIo, MissingFileAndMissingFolderAreReportedNotCreated) {
    std::string read = "kept";
    EXPECT_EQ(ReadWholeFile("no_such_file_here.cfg", read, kAnySize), ReadResult::kNotRead);
    EXPECT_EQ(read, "kept");
    EXPECT_FALSE(WriteFileAtomically("no_such_folder_here/file.cfg", "x"));
    // A folder under the file's name is no file: nothing is read from it.
    std::filesystem::create_directory(path);
    EXPECT_EQ(ReadWholeFile(path, read, kAnySize), ReadResult::kNotRead);
    EXPECT_EQ(read, "kept");
    std::filesystem::remove(path);
}

// The cap is checked before anything is read: a file one byte over it is refused whole, and what the
// caller held stays.
TEST_F(FileIo, AFileOverTheCapIsRefusedAndNothingIsRead) {
    ASSERT_TRUE(WriteFileAtomically(path, std::string(1000, 'x')));
    std::string read = "kept";
    EXPECT_EQ(ReadWholeFile(path, read, 999), ReadResult::kTooLarge);
    EXPECT_EQ(read, "kept");
    EXPECT_EQ(ReadWholeFile(path, read, 1000), ReadResult::kRead);
    EXPECT_EQ(read.size(), 1000u);
    // Larger than one read's buffer: every byte arrives, in order, and the cap still holds.
    std::string large(200001, 'a');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(WriteFileAtomically(path, large));
    EXPECT_EQ(ReadWholeFile(path, read, large.size() - 1), ReadResult::kTooLarge);
    ASSERT_EQ(ReadWholeFile(path, read, large.size()), ReadResult::kRead);
    EXPECT_EQ(read, large);
}

// Files beside `path` whose names start with its name (the target and any temporary).
int FilesNamedLike(const std::string& path) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().filename().string().rfind(path, 0) == 0) ++count;
    return count;
}

TEST_F(FileIo, NoTemporaryIsLeftBehindAfterAFailedReplaceOrASave) {
    // The target is a folder: the write succeeds, the replace cannot.
    std::filesystem::create_directory(path);
    EXPECT_FALSE(WriteFileAtomically(path, "x"));
    EXPECT_EQ(FilesNamedLike(path), 1);
    std::filesystem::remove(path);

    // Each save takes a new temporary and leaves none behind.
    ASSERT_TRUE(WriteFileAtomically(path, "one"));
    ASSERT_TRUE(WriteFileAtomically(path, "two"));
    EXPECT_EQ(FilesNamedLike(path), 1);
}

// Paths near and beyond 260 characters: the temporary's longer name must not make the save fail, and a
// path the save dialog accepts must be written and read like any other.
TEST(FileIoLongPaths, FilesAroundTheOldPathLimitAreWrittenReplacedAndRead) {
    const std::filesystem::path folder = std::filesystem::absolute("file_io_long_paths");
    std::filesystem::create_directory(folder);
    const size_t folderChars = folder.native().size();
    for (size_t total : {240u, 255u, 259u, 260u, 300u}) {
        // The name alone stays within a file system's 255 and leaves room for the temporary's suffix.
        if (total < folderChars + 2 || total - folderChars - 1 > 220) continue;
        const std::string name(total - folderChars - 1, 'n');
        const std::string path = (folder / name).string();
        SCOPED_TRACE(total);
        SaveTwiceAndReadBack(path);
    }
    size_t left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++left;
#ifdef _WIN32
        DeleteFileW((L"\\\\?\\" + entry.path().native()).c_str());  // beyond the old limit only this form reaches it
#else
        std::filesystem::remove(entry.path());
#endif
    }
    EXPECT_LE(left, 5u);  // one file per length, no temporary left behind
    std::error_code ignored;
    std::filesystem::remove(folder, ignored);
}

#ifdef _WIN32
// A name near the file system's 255 leaves no room for the temporary's suffix: the temporary's name is
// shortened, and the save neither fails nor leaves it behind. (The native build's stand-in keeps plain
// temporary names.)
TEST(FileIoLongPaths, NamesUpToTheLongestAFileMayHaveAreSaved) {
    const std::filesystem::path folder = std::filesystem::absolute("file_io_long_names");
    std::filesystem::create_directory(folder);
    for (size_t length : {225u, 250u, 255u}) {
        SCOPED_TRACE(length);
        const std::string path = (folder / (std::string(length - 4, 'n') + ".txt")).string();
        SaveTwiceAndReadBack(path);
    }
    size_t left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++left;
        DeleteFileW((L"\\\\?\\" + entry.path().native()).c_str());
    }
    EXPECT_EQ(left, 3u);  // the three files, no temporary
    std::error_code ignored;
    std::filesystem::remove(folder, ignored);
}

// Past 260 characters a name lookup of the size fails; the cap, taken from the opened file, still holds.
TEST(FileIoLongPaths, AFileOverTheCapAtAPathOfOver300CharactersIsRefused) {
    const std::wstring outer = L"\\\\?\\" + std::filesystem::absolute("file_io_long_cap").native();
    // ASCII names: Wine keeps names in UTF-8, where a Cyrillic letter takes two of the 255 bytes.
    const std::wstring inner = outer + L"\\" + std::wstring(150, L'k');
    const std::wstring file = inner + L"\\" + std::wstring(120, L'c') + L".txt";
    ASSERT_TRUE(CreateDirectoryW(outer.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CreateDirectoryW(inner.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    std::string utf8(WideCharToMultiByte(CP_UTF8, 0, file.c_str() + 4, -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, file.c_str() + 4, -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.pop_back();  // the terminator
    ASSERT_GT(file.size() - 4, 300u);
    ASSERT_TRUE(WriteFileAtomically(utf8, std::string(2 << 20, '7')));
    std::string read = "kept";
    EXPECT_EQ(ReadWholeFile(utf8, read, 1 << 20), ReadResult::kTooLarge);
    EXPECT_EQ(read, "kept");
    DeleteFileW(file.c_str());
    RemoveDirectoryW(inner.c_str());
    RemoveDirectoryW(outer.c_str());
}

void SetWriteTime(const std::string& path, long long secondsFromNow) {
    const std::wstring wide(path.begin(), path.end());
    HANDLE file = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER at;
    at.LowPart = now.dwLowDateTime;
    at.HighPart = now.dwHighDateTime;
    at.QuadPart += secondsFromNow * 10000000LL;
    const FILETIME when = {at.LowPart, at.HighPart};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &when));
    CloseHandle(file);
}

// A save removes what a killed save left behind, and nothing else: the user's files that only begin
// with the target's name and a temporary dated in the future stay.
TEST_F(FileIo, ASaveRemovesOnlyItsOwnStaleTemporaries) {
    struct Stray {
        std::string suffix;
        long long secondsFromNow;
        bool removed;
    };
    const Stray strays[] = {
        {".tmp4242-7-31337", -3600, true},
        {".tmp4242-8-31337", -60, false},        // maybe still being written
        {".tmp4242-9-31337", 86400 * 365, false},  // from the future: its age is unknown
        {".tmp-notes.txt", -3600, false},
        {".tmp4242-7-31337.bak", -3600, false},
    };
    for (const Stray& stray : strays) {
        std::FILE* file = std::fopen((path + stray.suffix).c_str(), "wb");
        ASSERT_TRUE(file);
        std::fclose(file);
        SetWriteTime(path + stray.suffix, stray.secondsFromNow);
    }
    ASSERT_TRUE(WriteFileAtomically(path, "saved"));
    for (const Stray& stray : strays) {
        EXPECT_EQ(!std::filesystem::exists(path + stray.suffix), stray.removed) << stray.suffix;
        std::remove((path + stray.suffix).c_str());
    }
}

TEST_F(FileIo, TheReplacedFileKeepsItsAttributes) {
    ASSERT_TRUE(WriteFileAtomically(path, "first"));
    const std::wstring wide(path.begin(), path.end());
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(WriteFileAtomically(path, "second"));
    EXPECT_TRUE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    std::string read;
    ASSERT_EQ(ReadWholeFile(path, read, kAnySize), ReadResult::kRead);
    EXPECT_EQ(read, "second");
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif
}  // namespace

// A hold keeps the file to itself until it lets go, which removes the file; a folder that takes no
// files is told apart from a file someone else holds.
TEST_F(FileIo, AHeldFileIsNobodyElsesUntilReleasedAndThenGone) {
    {
        FileHold first, second;
        ASSERT_EQ(first.Take(path), HoldResult::kHeld);
        EXPECT_GE(FileSizeOf(path), 0);
        EXPECT_EQ(second.Take(path), HoldResult::kHeldElsewhere);
        first.Release();
        EXPECT_EQ(FileSizeOf(path), -1);
        EXPECT_EQ(second.Take(path), HoldResult::kHeld);  // and a held one goes when its holder does
    }
    EXPECT_EQ(FileSizeOf(path), -1);
    ASSERT_TRUE(WriteFileAtomically(path, "left by a holder that could not remove it"));
    FileHold stale;
    EXPECT_EQ(stale.Take(path), HoldResult::kHeld);
    stale.Release();
    EXPECT_EQ(FileSizeOf(path), -1);
    FileHold nowhere;
    EXPECT_EQ(nowhere.Take("no_such_folder_for_holds/" + path), HoldResult::kNotHeld);
}
