// Whole-file reading and atomic replacement, in the working directory of the test run
// (native and under Wine, so both implementations are held to the same behaviour).
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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
}  // namespace
