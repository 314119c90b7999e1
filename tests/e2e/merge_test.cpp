// The merge window and the table preview used as a person would: fields, options, the table text,
// copying, saving through the real dialog, and refusals.
#include "harness.h"
#include "merge_window.h"
#include "tables/merge_window_ids.h"
#include "tables/preview_ids.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

using namespace harness;

namespace {
struct ChildRow {
    const wchar_t* className;
    const wchar_t* text;
    int x, y, w, h;
    int id;
};

// The merge window's 31 controls in creation order (combo boxes are measured closed, so no height).
const ChildRow kMergeChildren[] = {
    {L"Static", L"ГЕНЕРАТОР ТАБЛИЦ ДЛЯ СЛИЯНИЯ", 10, 10, 340, 30, 0},
    {L"Static", L"  Столбцов в строке:", 10, 45, 277, 20, 0},
    {L"ComboBox", L"5", 290, 45, 60, -1, kMergeColumnsComboId},
    {L"Button", L"Данные из списка 1", 10, 70, 340, 20, kUseList1CheckId},
    {L"Button", L"Вторые столбцы из списка 2", 10, 95, 340, 20, kUseList2CheckId},
    {L"Button", L"TRANSPOSE (столбцы > строки)", 10, 120, 340, 20, kTransposeCheckId},
    {L"Button", L"Для штрих-кода (столбец для ШК)", 10, 145, 340, 20, kForBarcodeCheckId},
    {L"Button", L"ГЕНЕРАТОР ПАРОЛЕЙ", 10, 170, 340, 190, 0},
    {L"Static", L"                               Использовать символы:", 20, 195, 320, 20, 0},
    {L"Button", L"ABC (латиница загл.)", 20, 220, 155, 20, kUpperLatinCheckId},
    {L"Button", L"abc (латиница проп.)", 185, 220, 155, 20, kLowerLatinCheckId},
    {L"Button", L"АБВ (кирилица загл.)", 20, 245, 155, 20, kUpperCyrillicCheckId},
    {L"Button", L"абв (кириллица проп.)", 185, 245, 155, 20, kLowerCyrillicCheckId},
    {L"Button", L"123 (цифры)", 20, 270, 155, 20, kDigitsCheckId},
    {L"Button", L"!@#$%&* (спецсимволы)", 185, 270, 163, 20, kSpecialCheckId},  // wider: "&" is shown
    {L"Static", L"  Длина пароля:", 20, 300, 100, 20, 0},
    {L"ComboBox", L"8", 130, 300, 60, -1, kPasswordLengthComboId},
    {L"Static", L"  Кол-во паролей:", 20, 330, 100, 20, 0},
    {L"Edit", L"10", 130, 330, 60, 20, kPasswordCountEditId},
    {L"Button", L"В один столбец", 200, 300, 140, 20, kSingleColumnCheckId},
    {L"Button", L"Сгенерировать пароли", 200, 325, 140, 25, kGeneratePasswordsButtonId},
    {L"Edit", L"", 10, 365, 340, 80, kList1EditId},
    {L"Edit", L"", 10, 450, 340, 80, kList2EditId},
    {L"Static", L"  Префикс:", 10, 535, 237, 20, 0},
    {L"Edit", L"", 250, 535, 100, 20, kMergePrefixEditId},
    {L"Static", L"  Начать с:", 10, 560, 237, 20, 0},
    {L"Edit", L"0001", 250, 560, 100, 20, kMergeStartEditId},
    {L"Static", L"  Количество:", 10, 585, 237, 20, 0},
    {L"Edit", L"100", 250, 585, 100, 20, kMergeCountEditId},
    {L"Button", L"Создать таблицу", 10, 612, 167, 30, kCreateTableButtonId},
    {L"Button", L"Сохранить как...", 183, 612, 167, 30, kSaveTableButtonId},
};

// The table of the window's defaults: 100 items "0001".."0100" in rows of five.
std::string DefaultTable() {
    std::string text = "001,002,003,004,005\r\n";
    for (int row = 0; row < 20; ++row) {
        char line[64];
        const int n = row * 5;
        std::snprintf(line, sizeof line, "%04d,%04d,%04d,%04d,%04d\r\n", n + 1, n + 2, n + 3, n + 4, n + 5);
        text += line;
    }
    return text;
}

void ExpectDefaults(HWND merge) {
    const std::vector<HWND> children = Children(merge);
    ASSERT_EQ(children.size(), 31u);
    for (size_t i = 0; i < children.size(); ++i) {
        const ChildRow& row = kMergeChildren[i];
        HWND child = children[i];
        EXPECT_EQ(ClassOf(child), row.className) << i;
        EXPECT_EQ(row.className == std::wstring(L"ComboBox") ? ComboItem(child, ComboSelection(child)) : ShownText(child),
                  row.text) << i;
        EXPECT_EQ(GetDlgCtrlID(child), row.id) << i;
        const RECT rect = RectInParent(child);
        EXPECT_EQ(rect.left, row.x) << i;
        EXPECT_EQ(rect.top, row.y) << i;
        EXPECT_EQ(rect.right - rect.left, row.w) << i;
        if (row.h >= 0) {
            EXPECT_EQ(rect.bottom - rect.top, row.h) << i;
        }
        if (ClassOf(child) == L"Button" && (StyleOf(child) & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            EXPECT_FALSE(IsChecked(child)) << i;
        }
    }
    EXPECT_EQ(ComboCount(children[kColumnsCombo]), 30);
    EXPECT_EQ(ComboItem(children[kColumnsCombo], 29), L"30");
    EXPECT_EQ(ComboCount(ChildById(merge, kPasswordLengthComboId)), 20);
    EXPECT_FALSE(IsWindowVisible(children[kList1Field]));
    EXPECT_FALSE(IsWindowVisible(children[kList2Field]));
    EXPECT_TRUE(IsWindowEnabled(children[kStartField]));
    EXPECT_TRUE(IsWindowEnabled(children[kCountField]));
}

void ClickId(HWND merge, int id) { Click(ChildById(merge, id)); }

class MergeTest : public MergeWindowTest {
protected:
    HWND Field(int index) const { return MergeChildAt(merge, index); }
    HWND CreateTable() { return ClickForPreview(kCreateTableButtonId, WaitForTablePreview); }
};
}  // namespace

TEST_F(MergeTest, OpensWithItsLayoutAndDefaultsAndReopensWithDefaults) {
    EXPECT_EQ(TextOf(merge), L"Слияние при печати");
    EXPECT_TRUE(ExStyleOf(merge) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(GetWindow(merge, GW_OWNER), app.window);
    RECT rect;
    GetWindowRect(merge, &rect);
    EXPECT_EQ(rect.right - rect.left, 375);
    EXPECT_EQ(rect.bottom - rect.top, 687);
    ExpectDefaults(merge);

    // The merge button again brings the same window forward with what the user typed.
    TypeInto(Field(kCountField), L"7");
    ClickId(merge, kTransposeCheckId);
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(ChildById(merge, kTransposeCheckId)); }));
    EXPECT_EQ(OpenMergeWindow(app), merge);
    EXPECT_EQ(TextOf(Field(kCountField)), L"7");
    EXPECT_TRUE(IsChecked(ChildById(merge, kTransposeCheckId)));

    // Closed and opened again, everything is back at its default.
    PostMessageW(merge, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(merge); }));
    merge = OpenMergeWindow(app);
    ASSERT_TRUE(merge);
    ExpectDefaults(merge);
}

TEST_F(MergeTest, ListOptionsShowTheirFieldsAndListOneDisablesStartAndCount) {
    // The window changes the four fields one after another: wait for all of them.
    const auto fieldsBecome = [&](bool list1Shown, bool list2Shown, bool numbersEnabled) {
        return WaitUntil([&] {
            return (IsWindowVisible(Field(kList1Field)) != FALSE) == list1Shown &&
                   (IsWindowVisible(Field(kList2Field)) != FALSE) == list2Shown &&
                   (IsWindowEnabled(Field(kStartField)) != FALSE) == numbersEnabled &&
                   (IsWindowEnabled(Field(kCountField)) != FALSE) == numbersEnabled;
        });
    };
    ClickId(merge, kUseList1CheckId);
    EXPECT_TRUE(fieldsBecome(true, false, false)) << "list 1 shown, start and count disabled";
    TypeInto(Field(kList1Field), L"kept");

    ClickId(merge, kUseList1CheckId);
    EXPECT_TRUE(fieldsBecome(false, false, true)) << "back to numbers";

    ClickId(merge, kUseList2CheckId);
    EXPECT_TRUE(fieldsBecome(false, true, true)) << "only list 2 shown";
    EXPECT_EQ(TextOf(Field(kList1Field)), L"kept");
}

TEST_F(MergeTest, DefaultTableInThePreviewAndItsSaves) {
    HWND preview = CreateTable();
    ASSERT_TRUE(preview);
    EXPECT_EQ(PreviewBytes(preview), DefaultTable());
    EXPECT_TRUE(IsTopmost(preview));
    EXPECT_TRUE(FindChild(preview, L"Static", L" Любой функционал таблиц можно включать не закрывая этого окна"));
    RECT outer;
    GetWindowRect(preview, &outer);
    EXPECT_EQ(outer.right - outer.left, 505);
    EXPECT_EQ(outer.bottom - outer.top, 475);
    const struct {
        HWND control;
        RECT rect;  // left, top, right, bottom in the client area
    } layout[] = {
        {PreviewField(preview), {10, 10, 478, 360}},
        {GetDlgItem(preview, kTableCopyId), {10, 370, 160, 400}},
        {GetDlgItem(preview, kTableSaveId), {170, 370, 320, 400}},
        {GetDlgItem(preview, kTableCloseId), {330, 370, 480, 400}},
        {GetDlgItem(preview, kTableInfoId), {10, 410, 570, 430}},
    };
    for (const auto& row : layout) {
        const RECT rect = RectInParent(row.control);
        EXPECT_TRUE(EqualRect(&rect, &row.rect)) << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
    }
    EXPECT_EQ(TextOf(GetDlgItem(preview, kTableCopyId)), L"Копировать");
    EXPECT_EQ(TextOf(GetDlgItem(preview, kTableCloseId)), L"Закрыть");

    // Save from the preview: proposed 1-100.txt, the file holds the preview's bytes exactly.
    const std::wstring dir = MakeTempDir(L"save");
    Click(FindChild(preview, L"Button", L"Сохранить"));
    EXPECT_EQ(ProposedFileName(Pid()), L"1-100.txt");
    const std::wstring previewPath = JoinPath(dir, L"из превью.txt");
    ASSERT_TRUE(CompleteFileDialog(Pid(), previewPath));
    ExpectMessage(Pid(), L"Успех", L"Таблица сохранена!\n\nФайл: " + previewPath + L"\nДиапазон: 1-100");
    EXPECT_EQ(ReadFileBytes(previewPath), DefaultTable());

    // "Сохранить как..." of the merge window: same name, rows and columns in the message.
    ClickId(merge, kSaveTableButtonId);
    EXPECT_EQ(ProposedFileName(Pid()), L"1-100.txt");
    const std::wstring path = JoinPath(dir, L"table");  // the dialog adds .txt
    ASSERT_TRUE(CompleteFileDialog(Pid(), path));
    ExpectMessage(Pid(), L"Успех",
                  L"Таблица сохранена!\n\nФайл: " + path + L".txt\nСтрок: 20\nСтолбцов: 5\nВсего элементов: 100");
    EXPECT_EQ(ReadFileBytes(path + L".txt"), DefaultTable());

    // Saving over it asks first; confirmed, the file holds only the new, shorter table.
    TypeInto(Field(kCountField), L"3");
    ClickId(merge, kSaveTableButtonId);
    EXPECT_EQ(ProposedFileName(Pid()), L"1-3.txt");
    ASSERT_TRUE(SubmitFileDialog(Pid(), path + L".txt"));
    MessageBoxInfo confirm = WaitForMessageBox(Pid());
    ASSERT_TRUE(confirm.window);
    AnswerMessageBox(confirm.window, IDYES);
    ExpectMessage(Pid(), L"Успех",
                  L"Таблица сохранена!\n\nФайл: " + path + L".txt\nСтрок: 1\nСтолбцов: 5\nВсего элементов: 3");
    EXPECT_EQ(ReadFileBytes(path + L".txt"), CrLfLines({"001,002,003,004,005", "0001,0002,0003"}));

    // One value a line: the message counts the lines saved, not the rows of the plain layout.
    ClickId(merge, kForBarcodeCheckId);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(ChildById(merge, kForBarcodeCheckId)); }));
    ClickId(merge, kSaveTableButtonId);
    const std::wstring barcodePath = JoinPath(dir, L"столбец.txt");
    ASSERT_TRUE(CompleteFileDialog(Pid(), barcodePath));
    ExpectMessage(Pid(), L"Успех",
                  L"Таблица сохранена!\n\nФайл: " + barcodePath + L"\nСтрок: 3\nСтолбцов: 1\nВсего элементов: 3");
    EXPECT_EQ(ReadFileBytes(barcodePath), CrLfLines({"0001", "0002", "0003"}));
    ClickId(merge, kForBarcodeCheckId);

    // A cancelled dialog writes nothing and says nothing.
    ClickId(merge, kSaveTableButtonId);
    CancelFileDialog(Pid());
    EXPECT_FALSE(WaitForMessageBox(Pid(), std::chrono::milliseconds(500)).window);
}

TEST_F(MergeTest, ALongPathIsShownWholeInTheMessage) {
    // Over 200 characters, with a letter that code page 1251 does not have.
    const std::wstring outer = JoinPath(MakeTempDir(L"long"), L"Отчёт Ω " + std::wstring(70, L'д'));
    const std::wstring dir = JoinPath(outer, std::wstring(70, L'ж'));
    ASSERT_TRUE(CreateDirectoryW(outer.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    const std::wstring path = JoinPath(dir, L"таблица слияния.txt");
    ASSERT_GT(path.size(), 200u);
    TypeInto(Field(kCountField), L"3");
    ClickId(merge, kSaveTableButtonId);
    ASSERT_TRUE(CompleteFileDialog(Pid(), path));
    ExpectMessage(Pid(), L"Успех",
                  L"Таблица сохранена!\n\nФайл: " + path + L"\nСтрок: 1\nСтолбцов: 5\nВсего элементов: 3");
    EXPECT_EQ(ReadFileBytes(path), CrLfLines({"001,002,003,004,005", "0001,0002,0003"}));
}

TEST_F(MergeTest, ReshapingOptionsRegenerateAnOpenPreview) {
    TypeInto(Field(kStartField), L"1");
    TypeInto(Field(kCountField), L"7");
    SelectComboItem(Field(kColumnsCombo), 2);
    // With no preview open, the options generate nothing.
    ClickId(merge, kTransposeCheckId);
    EXPECT_FALSE(WaitForTablePreview(app, std::chrono::milliseconds(300)));
    ClickId(merge, kTransposeCheckId);

    HWND preview = CreateTable();
    ASSERT_TRUE(preview);
    std::string text = PreviewBytes(preview);
    EXPECT_EQ(text, CrLfLines({"001,002,003", "1,2,3", "4,5,6", "7"}));
    ClickId(merge, kTransposeCheckId);
    EXPECT_EQ(text = WaitForPreviewChange(preview, text), CrLfLines({"001,002,003", "1,4,7", "2,5", "3,6"}));
    ClickId(merge, kForBarcodeCheckId);
    EXPECT_EQ(text = WaitForPreviewChange(preview, text), CrLfLines({"1", "4", "7", "2", "5", "3", "6"}));
    ClickId(merge, kTransposeCheckId);
    EXPECT_EQ(text = WaitForPreviewChange(preview, text), CrLfLines({"1", "2", "3", "4", "5", "6", "7"}));

    // Other fields take effect only with "Создать таблицу", which reuses the open preview.
    ClickId(merge, kForBarcodeCheckId);
    text = WaitForPreviewChange(preview, text);
    SelectComboItem(Field(kColumnsCombo), 6);
    Sleep(300);
    EXPECT_EQ(PreviewBytes(preview), text);
    EXPECT_EQ(CreateTable(), preview);
    EXPECT_EQ(WaitForPreviewChange(preview, text), CrLfLines({"001,002,003,004,005,006,007", "1,2,3,4,5,6,7"}));
    EXPECT_EQ(TopWindows(Pid(), L"BarcodePreview").size(), 1u);
}

TEST_F(MergeTest, CopyPutsBothTextFormatsOnTheClipboard) {
    TypeInto(Field(kPrefixField), L"Щ-");
    TypeInto(Field(kCountField), L"3");
    HWND preview = CreateTable();
    ASSERT_TRUE(preview);
    const std::string expected = CrLfLines({"001,002,003,004,005", "Щ-0001,Щ-0002,Щ-0003"});
    EXPECT_EQ(PreviewBytes(preview), expected);
    Click(FindChild(preview, L"Button", L"Копировать"));
    ExpectMessage(Pid(), L"Успех", L"Таблица скопирована в буфер обмена!");
    EXPECT_EQ(ClipboardBytes(CF_TEXT), expected);
    EXPECT_EQ(ClipboardUnicode(), L"001,002,003,004,005\r\nЩ-0001,Щ-0002,Щ-0003\r\n");
}

TEST_F(MergeTest, AHundredThousandLinesPastedIntoListOneReachTheTableWhole) {
    std::wstring list;
    for (int i = 1; i <= 100000; ++i) list += L"item" + std::to_wstring(i) + L"\r\n";
    ClickId(merge, kUseList1CheckId);
    HWND field = ChildById(merge, kList1EditId);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(field) != FALSE; }));
    ASSERT_TRUE(PutOnClipboard(list));
    Click(field);
    HoldKey(VK_CONTROL);
    PressKey('V');
    KeyUp(VK_CONTROL);
    // Far beyond an edit field's default limit of about 32,000 characters. The clipboard's owner (this
    // program) serves the paste from its message loop, so the wait pumps it.
    DWORD_PTR length = 0;
    ASSERT_TRUE(PumpUntil([&] {
        return SendMessageTimeoutW(field, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 50, &length) &&
               length == list.size();
    }, milliseconds(30000))) << length << " of " << list.size();
    EXPECT_FALSE(WaitForMessageBox(Pid(), milliseconds(300)).window);  // it fits: nothing to say

    HWND preview = CreateTable();
    ASSERT_TRUE(preview);
    const std::string last = "item99996,item99997,item99998,item99999,item100000\r\n";
    ASSERT_TRUE(WaitUntil([&] {
        const std::string text = PreviewBytes(preview);
        return text.size() >= last.size() && text.compare(text.size() - last.size(), last.size(), last) == 0;
    }, milliseconds(60000)));
    const std::vector<std::string> lines = SplitLines(PreviewBytes(preview));
    EXPECT_EQ(lines.size(), 1u + 20000u);
}

TEST_F(MergeTest, ListOneNamesAndMessages) {
    ClickId(merge, kUseList1CheckId);
    SetTextOf(Field(kList1Field), L"a\r\nb\r\nc\r\nd\r\ne\r\n  \r\nf\r\ng\r\nh\r\ni\r\nj\r\nk\r\nl\r\n");
    HWND preview = CreateTable();
    ASSERT_TRUE(preview);
    EXPECT_EQ(PreviewBytes(preview), CrLfLines({"001,002,003,004,005", "a,b,c,d,e", "f,g,h,i,j", "k,l"}));

    Click(FindChild(preview, L"Button", L"Сохранить"));
    EXPECT_EQ(ProposedFileName(Pid()), L"list_1-12.txt");
    CancelFileDialog(Pid());

    ClickId(merge, kSaveTableButtonId);
    EXPECT_EQ(ProposedFileName(Pid()), L"list_table_1-12.txt");
    const std::wstring path = JoinPath(MakeTempDir(L"list"), L"list_table_1-12.txt");
    ASSERT_TRUE(CompleteFileDialog(Pid(), path));
    ExpectMessage(Pid(), L"Успех",
                  L"Таблица сохранена!\n\nФайл: " + path +
                      L"\nСтрок: 3\nСтолбцов: 5\nВсего элементов из списка: 12");

    // Only blank lines: nothing to build, whatever the count field says.
    SetTextOf(Field(kList1Field), L" \r\n\t\r\n");
    ClickId(merge, kCreateTableButtonId);
    ExpectMessage(Pid(), L"Ошибка", L"Нет данных для генерации таблицы!");
}

TEST_F(MergeTest, PreviewOutlivesTheMergeWindowAndSavesWithTheFallbackRange) {
    HWND preview = CreateTable();
    ASSERT_TRUE(preview);
    PostMessageW(merge, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(merge); }));
    ASSERT_TRUE(IsWindow(preview));
    Click(FindChild(preview, L"Button", L"Сохранить"));
    EXPECT_EQ(ProposedFileName(Pid()), L"1-5.txt");
    const std::wstring path = JoinPath(MakeTempDir(L"closed"), L"1-5.txt");
    ASSERT_TRUE(CompleteFileDialog(Pid(), path));
    ExpectMessage(Pid(), L"Успех", L"Таблица сохранена!\n\nФайл: " + path + L"\nДиапазон: 1-5");
    EXPECT_EQ(ReadFileBytes(path), DefaultTable());

    // Resizing keeps the buttons 80 and the label 40 pixels above the bottom edge.
    SetWindowPos(preview, nullptr, 0, 0, 700, 600, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    ASSERT_TRUE(WaitUntil([&] {
        GetClientRect(preview, &client);
        return RectInParent(FindChild(preview, L"Button", L"Закрыть")).top == client.bottom - 80;
    }));
    const RECT field = RectInParent(PreviewField(preview));
    EXPECT_EQ(field.right - field.left, client.right - 20);
    EXPECT_EQ(field.bottom - field.top, client.bottom - 120);
    EXPECT_EQ(RectInParent(GetDlgItem(preview, kTableInfoId)).top, client.bottom - 40);

    Click(FindChild(preview, L"Button", L"Закрыть"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(preview); }));
}

TEST_F(MergeTest, RefusalsAndTheStartNumberFallback) {
    const struct {
        const wchar_t* count;
        const wchar_t* message;
    } refusals[] = {
        {L"0", L"Укажите корректное количество!"},
        {L"", L"Укажите корректное количество!"},
        {L"2000001", L"Слишком большая таблица! Можно не более 2000000 элементов."},
    };
    for (const auto& refusal : refusals) {
        TypeInto(Field(kCountField), refusal.count);
        ClickId(merge, kCreateTableButtonId);
        ExpectMessage(Pid(), L"Ошибка", refusal.message);
    }
    EXPECT_FALSE(WaitForTablePreview(app, std::chrono::milliseconds(200)));

    TypeInto(Field(kCountField), L"2");
    // Anything but digits in the start is refused (it would count from another number than it shows).
    for (const wchar_t* start : {L"12a", L"A-0001", L"00 01"}) {
        TypeInto(Field(kStartField), start);
        ClickId(merge, kCreateTableButtonId);
        ExpectMessage(Pid(), L"Ошибка",
                      L"В поле «Начать с:» должны быть только цифры, например 0001. Префикс вводится в поле «Префикс:».");
    }
    EXPECT_FALSE(WaitForTablePreview(app, std::chrono::milliseconds(200)));
    // Blanks at its ends are dropped; an empty start counts from 20001, which the field then shows.
    TypeInto(Field(kStartField), L" 0001 ");
    HWND preview = CreateTable();
    ASSERT_TRUE(preview);
    EXPECT_EQ(PreviewBytes(preview), CrLfLines({"001,002,003,004,005", "0001,0002"}));
    TypeInto(Field(kStartField), L"");
    ClickId(merge, kCreateTableButtonId);
    EXPECT_EQ(WaitForPreviewChange(preview, PreviewBytes(preview)), CrLfLines({"001,002,003,004,005", "20001,20002"}));
    EXPECT_EQ(TextOf(Field(kStartField)), L"20001");

    // A 13-digit start counts on in 64 bits and names the file after its real range.
    TypeInto(Field(kStartField), L"1234567899999");
    ClickId(merge, kCreateTableButtonId);
    EXPECT_EQ(WaitForPreviewChange(preview, PreviewBytes(preview)),
              CrLfLines({"001,002,003,004,005", "1234567899999,1234567900000"}));
    Click(FindChild(preview, L"Button", L"Сохранить"));
    EXPECT_EQ(ProposedFileName(Pid()), L"1234567899999-1234567900000.txt");
    CancelFileDialog(Pid());
}

// A character code page 1251 has no place for would reach the table or the passwords as a look-alike
// or a '?': the field (or list line) and the character are named instead, and nothing is made.
TEST_F(MergeTest, ACharacterATableCannotHoldIsRefusedByItsField) {
    const std::wstring advice =
        L") нельзя ввести в этой программе.\nЗамените его: программа вводит только символы русской кодировки Windows — "
        L"кириллицу, латинские буквы без диакритических знаков, цифры и обычные знаки препинания.";
    const std::wstring badPrefix = L"Префикс («Łódź-»): символ «Ł» (U+0141" + advice;
    ClickId(merge, kUseList2CheckId);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Field(kList2Field)) != FALSE; }));
    SetTextOf(Field(kList2Field), L"b");
    const struct {
        int field;
        const wchar_t* text;
        int button;
        std::wstring message;
    } cases[] = {
        {kPrefixField, L"Łódź-", kCreateTableButtonId, badPrefix},
        {kPrefixField, L"Łódź-", kGeneratePasswordsButtonId, badPrefix},
        {kStartField, L"１２", kCreateTableButtonId, L"Начать с («１２»): символ «１» (U+FF11" + advice},
        {kList2Field, L"a\r\nStraße", kCreateTableButtonId, L"Строка 2 списка 2 («Straße»): символ «ß» (U+00DF" + advice},
    };
    for (const auto& c : cases) {
        const std::wstring before = TextOf(Field(c.field));
        SetTextOf(Field(c.field), c.text);
        ClickId(merge, c.button);
        EXPECT_TRUE(ExpectMessage(Pid(), L"Ошибка", c.message)) << c.field;
        SetTextOf(Field(c.field), before);
    }
    EXPECT_FALSE(WaitForTablePreview(app, std::chrono::milliseconds(200)));
    EXPECT_FALSE(WaitForPasswordPreview(app, std::chrono::milliseconds(200)));
}

// Timed: runs alone (see cmake/windows.cmake).
using MergeTiming = MergeTest;

TEST_F(MergeTiming, AMillionItemsAppearInThePreviewWithinASecond) {
    ASSERT_TRUE(TypeInto(Field(kCountField), L"1000000"));
    ASSERT_TRUE(TypeInto(Field(kStartField), L"0000001"));
    const TimedPreview timed = ClickAndTimePreview(merge, kCreateTableButtonId, [&] { return WaitForTablePreview(app); });
    ASSERT_TRUE(timed.preview);
    ASSERT_GE(timed.shown, 0) << "the preview's field stayed empty";
    HWND preview = timed.preview, field = timed.field;
    const auto begin = timed.clicked;
    const double shown = timed.shown;
    EXPECT_EQ(TextOf(field).substr(0, 29), L"001,002,003,004,005\r\n0000001,");

    // The rest follows part by part: 1,000,000 items of 7 digits and a comma or CR LF each (41
    // characters a row) after the 21 characters of the header.
    const LRESULT expectedLength = 21 + 200000 * 41;
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(field, WM_GETTEXTLENGTH, 0, 0) == expectedLength; },
                          std::chrono::milliseconds(60000), std::chrono::milliseconds(50)));
    const double filled = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("1,000,000 items: preview shown after %.3f s, its field complete after %.3f s\n", shown, filled);
    EXPECT_LT(shown, 1.0);
    const std::wstring text = TextOf(field);
    EXPECT_EQ(text.substr(text.size() - 41), L"0999996,0999997,0999998,0999999,1000000\r\n");

    // Copy takes the whole table.
    Click(FindChild(preview, L"Button", L"Копировать"));
    ExpectMessage(Pid(), L"Успех", L"Таблица скопирована в буфер обмена!");
    EXPECT_EQ(ClipboardBytes(CF_TEXT).size(), static_cast<size_t>(expectedLength));
}

TEST_F(MergeTest, TabGoesThroughTheControlsInScreenOrder) {
    // The list fields are hidden until their options are ticked, so Tab passes them over.
    const std::vector<int> order = {
        kMergeColumnsComboId, kUseList1CheckId, kUseList2CheckId, kTransposeCheckId, kForBarcodeCheckId,
        kUpperLatinCheckId, kLowerLatinCheckId, kUpperCyrillicCheckId, kLowerCyrillicCheckId, kDigitsCheckId,
        kSpecialCheckId, kPasswordLengthComboId, kSingleColumnCheckId, kPasswordCountEditId,
        kGeneratePasswordsButtonId, kMergePrefixEditId, kMergeStartEditId, kMergeCountEditId, kCreateTableButtonId,
        kSaveTableButtonId, kMergeColumnsComboId};
    EXPECT_EQ(TabThrough(merge, order.size()), order);
    // Shown, the list field takes its place and lets Tab out again.
    ClickId(merge, kUseList1CheckId);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(ChildById(merge, kList1EditId)) != FALSE; }));
    HWND prefix = ChildById(merge, kMergePrefixEditId);
    Click(prefix);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControl(merge) == prefix; }));
    EXPECT_EQ(TabThrough(merge, 1, true), std::vector<int>{kList1EditId});
    EXPECT_EQ(TabThrough(merge, 1), std::vector<int>{kMergePrefixEditId});
}
