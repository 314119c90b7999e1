// The password generator of the merge window and its preview: layout of the list, refresh on the
// single-column and special-character options, copy and save.
#include "harness.h"
#include "merge_window.h"
#include "tables/merge_window_ids.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>

using namespace harness;

namespace {
// Checks every password of a list: its prefix, length and characters.
void ExpectPasswords(const std::vector<std::string>& lines, size_t firstLine, size_t perLine, const std::string& prefix,
                     size_t length, const std::string& pool) {
    for (size_t i = firstLine; i < lines.size(); ++i) {
        const std::vector<std::string> cells = SplitCells(lines[i]);
        EXPECT_LE(cells.size(), perLine) << lines[i];
        for (const std::string& cell : cells) {
            ASSERT_EQ(cell.compare(0, prefix.size(), prefix), 0) << cell;
            const std::string password = cell.substr(prefix.size());
            EXPECT_EQ(password.size(), length) << cell;
            EXPECT_EQ(password.find_first_not_of(pool), std::string::npos) << cell;
        }
    }
}

class PasswordsTest : public MergeWindowTest {
protected:
    HWND Generate() { return ClickForPreview(308, WaitForPasswordPreview); }
};
}  // namespace

TEST_F(PasswordsTest, DefaultsRefreshOnTheirTwoOptionsCopyAndSave) {
    HWND preview = Generate();
    ASSERT_TRUE(preview);
    EXPECT_TRUE(IsTopmost(preview));
    EXPECT_TRUE(FindChild(preview, L"Static", L" Любой функционал паролей можно влючать не закрывая этого окна"));
    std::string text = PreviewBytes(preview);
    std::vector<std::string> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "P001,P002,P003,P004,P005");
    EXPECT_EQ(SplitCells(lines[1]).size(), 5u);
    EXPECT_EQ(SplitCells(lines[2]).size(), 5u);
    ExpectPasswords(lines, 1, 5, "", 8, "0123456789");

    // "В один столбец" with the preview open: ten fresh passwords, one a line, no header.
    Click(ChildById(merge, kSingleColumnCheckId));
    text = WaitForPreviewChange(preview, text);
    lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 10u);
    ExpectPasswords(lines, 0, 1, "", 8, "0123456789");

    // Another set ticked changes nothing until the special characters are toggled.
    Click(ChildById(merge, kLowerLatinCheckId));
    Sleep(300);
    EXPECT_EQ(PreviewBytes(preview), text);
    Click(ChildById(merge, kSpecialCheckId));
    text = WaitForPreviewChange(preview, text);
    ExpectPasswords(SplitLines(text), 0, 1, "", 8, "abcdefghijklmnopqrstuvwxyz!@#$%&*?+-=_");

    Click(FindChild(preview, L"Button", L"Копировать"));
    ExpectMessage(Pid(), L"Успех", L"Пароли скопированы в буфер обмена!");
    EXPECT_EQ(ClipboardBytes(CF_TEXT), text);
    EXPECT_EQ(ClipboardUnicode(), FromCp1251(text));

    Click(FindChild(preview, L"Button", L"Сохранить"));
    EXPECT_EQ(ProposedFileName(Pid()), L"passwords.txt");
    const std::wstring path = JoinPath(MakeTempDir(L"passwords"), L"passwords.txt");
    ASSERT_TRUE(CompleteFileDialog(Pid(), path));
    ExpectMessage(Pid(), L"Успех", L"Пароли сохранены!");
    EXPECT_EQ(ReadFileBytes(path), text);

    // Generating again reuses the open preview.
    Click(ChildById(merge, kGeneratePasswordsButtonId));
    WaitForPreviewChange(preview, text);
    EXPECT_EQ(TopWindows(Pid(), L"BarcodePreview").size(), 1u);
}

TEST_F(PasswordsTest, CyrillicPoolPrefixLengthAndCount) {
    Click(ChildById(merge, kUpperCyrillicCheckId));
    SelectComboItem(ChildById(merge, kPasswordLengthComboId), 19);
    TypeInto(ChildById(merge, kPasswordCountEditId), L"3");
    TypeInto(MergeChildAt(merge, kPrefixField), L"PW-");
    HWND preview = Generate();
    ASSERT_TRUE(preview);
    const std::vector<std::string> lines = SplitLines(PreviewBytes(preview));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "P001,P002,P003,P004,P005");
    EXPECT_EQ(SplitCells(lines[1]).size(), 3u);
    ExpectPasswords(lines, 1, 5, "PW-", 20, "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
}

TEST_F(PasswordsTest, ACountBelowOneIsRefused) {
    for (const wchar_t* count : {L"0", L""}) {
        TypeInto(ChildById(merge, kPasswordCountEditId), count);
        Click(ChildById(merge, kGeneratePasswordsButtonId));
        ExpectMessage(Pid(), L"Ошибка", L"Укажите корректное количество паролей!");
    }
    EXPECT_FALSE(WaitForPasswordPreview(app, std::chrono::milliseconds(200)));
}

TEST_F(PasswordsTest, EveryStartGivesDifferentPasswords) {
    HWND preview = Generate();
    ASSERT_TRUE(preview);
    const std::string first = PreviewBytes(preview);
    CloseApp(app);
    App second;
    ASSERT_TRUE(StartApp(second));
    HWND secondMerge = OpenMergeWindow(second);
    ASSERT_TRUE(secondMerge);
    Click(ChildById(secondMerge, kGeneratePasswordsButtonId));
    HWND secondPreview = WaitForPasswordPreview(second);
    ASSERT_TRUE(secondPreview);
    EXPECT_NE(PreviewBytes(secondPreview), first);
    CloseApp(second);
}

// Timed: runs alone (see cmake/windows.cmake).
using PasswordsTiming = PasswordsTest;

TEST_F(PasswordsTiming, AMillionPasswordsAppearInThePreviewWithinASecond) {
    ASSERT_TRUE(TypeInto(ChildById(merge, kPasswordCountEditId), L"1000000"));
    const TimedPreview timed = ClickAndTimePreview(merge, kGeneratePasswordsButtonId, [&] { return WaitForPasswordPreview(app); });
    ASSERT_TRUE(timed.preview);
    ASSERT_GE(timed.shown, 0) << "the preview's field stayed empty";
    HWND field = timed.field;
    const double shown = timed.shown;
    std::printf("1,000,000 passwords: preview shown after %.3f s\n", shown);
    EXPECT_LT(shown, 1.0);
    // The header and 200,000 lines of five 8-digit passwords (44 characters and CR LF each).
    const LRESULT expectedLength = 26 + 200000 * 46;
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(field, WM_GETTEXTLENGTH, 0, 0) == expectedLength; },
                          std::chrono::milliseconds(60000), std::chrono::milliseconds(50)))
        << "length " << SendMessageW(field, WM_GETTEXTLENGTH, 0, 0);
}
