// Default file names and confirmation texts of the saves; numbers are 64-bit and saturate at the ends.
#include "tables/table_files.h"

#include "tables/merge_table.h"
#include "platform/text_parse.h"

#include <algorithm>
#include <limits>

namespace {
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

SaveRange RangeFrom(std::int64_t start, std::int64_t items) {
    return {start, SaturatingAdd(start, SaturatingAdd(items, -1)), items};
}

std::string Range(const SaveRange& range) { return std::to_string(range.start) + "-" + std::to_string(range.end); }
}  // namespace

SaveRange PreviewSaveRange(bool mergeWindowOpen, const std::string& startText, const std::string& countText,
                           bool useList1, std::size_t list1Size) {
    const std::int64_t start = ParseLeadingInteger(mergeWindowOpen ? startText : "1");
    const std::int64_t count = ParseLeadingInteger(mergeWindowOpen ? countText : "5");
    const bool fromList = mergeWindowOpen && useList1 && list1Size > 0;
    return RangeFrom(start, fromList ? static_cast<std::int64_t>(list1Size) : count);
}

std::string PreviewDefaultFileName(bool useList1, const SaveRange& range) {
    return (useList1 ? "list_" : "") + Range(range) + ".txt";
}

std::string PreviewSavedMessage(const std::string& path, const SaveRange& range) {
    return "Таблица сохранена!\n\nФайл: " + path + "\nДиапазон: " + Range(range);
}

SaveRange MergeSaveRange(const std::string& startText, const std::string& countText, bool useList1,
                         std::size_t list1Size) {
    const std::int64_t items = useList1 ? static_cast<std::int64_t>(list1Size) : ParseLeadingInteger(countText);
    return RangeFrom(ParseLeadingInteger(startText), items);
}

std::string MergeSaveDefaultFileName(bool useList1, const SaveRange& range) {
    return (useList1 ? "list_table_" : "") + Range(range) + ".txt";
}

TableShape SavedTableShape(const std::string& text, bool withHeader) {
    TableShape shape;
    bool header = withHeader;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const int cells = 1 + static_cast<int>(std::count(text.begin() + at, text.begin() + end, ','));
        shape.columns = std::max(shape.columns, cells);
        if (!header) ++shape.rows;
        header = false;
        at = end + 1;
    }
    return shape;
}

std::string MergeSavedMessage(const std::string& path, std::int64_t rows, int columns, std::int64_t items,
                              bool useList1) {
    return "Таблица сохранена!\n\nФайл: " + path + "\nСтрок: " + std::to_string(rows) +
           "\nСтолбцов: " + std::to_string(columns) +
           (useList1 ? "\nВсего элементов из списка: " : "\nВсего элементов: ") + std::to_string(items);
}
