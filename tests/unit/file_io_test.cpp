// Whole-file reading and atomic replacement, in the working directory of the test run
// (native and under Wine, so both implementations are held to the same behaviour).
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
class FileIo : public ::testing::Test {
protected:
    std::string path = "file_io_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt";
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(FileIo, WritesExactBytesAndReadsThemBack) {
    const std::string bytes("line\r\n\0zero\xff\xe0\r\n", 14);
    ASSERT_TRUE(WriteFileAtomically(path, bytes));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(path, read));
    EXPECT_EQ(read, bytes);
}

TEST_F(FileIo, ReplacesAnExistingFileWhole) {
    ASSERT_TRUE(WriteFileAtomically(path, std::string(100000, 'x')));
    ASSERT_TRUE(WriteFileAtomically(path, "short\r\n"));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(path, read));
    EXPECT_EQ(read, "short\r\n");
}

TEST_F(FileIo, EmptyContentGivesAnEmptyFile) {
    ASSERT_TRUE(WriteFileAtomically(path, ""));
    std::string read = "stale";
    ASSERT_TRUE(ReadWholeFile(path, read));
    EXPECT_EQ(read, "");
}

TEST_F(FileIo, MissingFileAndMissingFolderAreReportedNotCreated) {
    std::string read = "kept";
    EXPECT_FALSE(ReadWholeFile("no_such_file_here.cfg", read));
    EXPECT_EQ(read, "kept");
    EXPECT_FALSE(WriteFileAtomically("no_such_folder_here/file.cfg", "x"));
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

#ifdef _WIN32
TEST_F(FileIo, TheReplacedFileKeepsItsAttributes) {
    ASSERT_TRUE(WriteFileAtomically(path, "first"));
    const std::wstring wide(path.begin(), path.end());
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(WriteFileAtomically(path, "second"));
    EXPECT_TRUE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    std::string read;
    ASSERT_TRUE(ReadWholeFile(path, read));
    EXPECT_EQ(read, "second");
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif
}  // namespace
