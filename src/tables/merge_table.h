// Merge table text: a comma-separated table of numbered values (or list lines) with a header row of
// column numbers, and its two reshaped forms (transposed, one value per line for a barcode column).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Everything one table is built from, as read from the merge window.
struct MergeTableRequest {
    std::string prefix;     // put in front of every item; may be empty
    std::string startText;  // digits only (see GetStartNumberString); its length is the minimum width
    std::string countText;  // read like atoi; ignored when list 1 supplies the items
    int columns = 5;        // items per row, 1 to 30
    bool useList1 = false, useList2 = false, useTranspose = false, useForBarcode = false;
    const std::vector<std::string>* list1 = nullptr;  // items when useList1
    const std::vector<std::string>* list2 = nullptr;  // second values when useList2
};

// The table text, or an empty text and the message that tells the user why.
struct TableResult {
    std::string text;
    std::string error;
};

// Messages shown with the caption "Ошибка" when no table can be made.
constexpr const char* kBadCountMessage = "Укажите корректное количество!";
constexpr const char* kNoListDataMessage = "Нет данных для генерации таблицы!";
constexpr const char* kNoDataToSaveMessage = "Нет данных для сохранения!";
constexpr const char* kStartTooLongTableMessage =
    "Поле \"Начать с:\" длиннее 19 цифр: такой номер не помещается в счётчик.\nСократите его.";
constexpr size_t kMaxTableStartChars = 19;
std::string TooManyItemsMessage();
std::string TableTooLargeMessage();

// Limits that keep a table within what the preview fills in seconds and memory holds easily (the
// table benchmarks measure both). The byte bound applies when long prefixes or list lines make each
// item large.
constexpr std::int64_t kMaxTableItems = 2000000;
constexpr std::size_t kMaxTableBytes = 32u * 1024 * 1024;

// Builds the table, or explains why not (bad count, empty list 1, too large).
TableResult BuildMergeTable(const MergeTableRequest& request);

// The start field's text without blanks at its ends when that is non-empty and all digits, otherwise
// the replacement "20001".
std::string GetStartNumberString(const std::string& fieldText);
// Why a table cannot count from the start field (empty when it can): anything but digits between
// the blanks at its ends, or more digits than the counter holds. An empty field takes the replacement.
std::string MergeStartProblem(const std::string& fieldText);
constexpr const char* kReplacementStartNumber = "20001";

// Columns per row: the combo's selected index + 1, or 5 when the merge window is closed.
int GetMergeColumnsCount(bool mergeWindowOpen, int selectedIndex);

// Rebuilds mergeList1 and mergeList2 from the two list fields; a list is filled only when its option
// is ticked, and both are emptied first.
void ParseMergeLists(bool useList1, const std::string& list1Text, bool useList2, const std::string& list2Text);
