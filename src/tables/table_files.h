// Default file names and confirmation texts of the table and password saves and copies.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The numbers a saved table is named after: its first and last running number, and its item count.
struct SaveRange {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::int64_t items = 0;
};

// Save from the table preview: the start and count fields when the merge window is open, else "1"
// and "5"; list 1's length replaces the count when list 1 is used and not empty.
SaveRange PreviewSaveRange(bool mergeWindowOpen, const std::string& startText, const std::string& countText,
                           bool useList1, std::size_t list1Size);
std::string PreviewDefaultFileName(bool useList1, const SaveRange& range);  // list_1-12.txt, 1-100.txt
std::string PreviewSavedMessage(const std::string& path, const SaveRange& range);

// "Сохранить как..." of the merge window: the items are list 1's lines when list 1 is used.
SaveRange MergeSaveRange(const std::string& startText, const std::string& countText, bool useList1,
                         std::size_t list1Size);
std::string MergeSaveDefaultFileName(bool useList1, const SaveRange& range);  // list_table_1-12.txt
// The rows and columns of a saved table text as a spreadsheet opening it sees them: its lines (the
// header of column numbers not counted) and the most comma-separated cells of any line.
struct TableShape {
    std::int64_t rows = 0;
    int columns = 0;
};
TableShape SavedTableShape(const std::string& text, bool withHeader);
std::string MergeSavedMessage(const std::string& path, std::int64_t rows, int columns, std::int64_t items,
                              bool useList1);

constexpr const char* kPasswordsDefaultFileName = "passwords.txt";
constexpr const char* kPasswordsSavedMessage = "Пароли сохранены!";
constexpr const char* kSaveErrorMessage = "Ошибка сохранения файла!";
constexpr const char* kTableCopiedMessage = "Таблица скопирована в буфер обмена!";
constexpr const char* kPasswordsCopiedMessage = "Пароли скопированы в буфер обмена!";
constexpr const char* kCopyFailedMessage = "Не хватает памяти, чтобы скопировать текст в буфер обмена!";
