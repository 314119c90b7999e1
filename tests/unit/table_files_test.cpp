// Default file names, ranges and confirmation texts of the table saves.
#include "tables/table_files.h"

#include "tables/merge_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(TableFiles, PreviewSaveNamesAndRanges) {
    const struct {
        const char* name;
        bool mergeOpen;
        const char* start;
        const char* count;
        bool useList1;
        size_t list1Size;
        const char* fileName;
    } cases[] = {
        {"defaults", true, "0001", "100", false, 0, "1-100.txt"},
        {"list 1", true, "0001", "100", true, 12, "list_1-12.txt"},
        {"list 1 empty uses the count", true, "5", "3", true, 0, "list_5-7.txt"},
        {"merge window closed", false, "0001", "100", true, 12, "1-5.txt"},
        {"13-digit start", true, "1234567890123", "10", false, 0, "1234567890123-1234567890132.txt"},
        {"start read like atoi", true, "12a", "2", false, 0, "12-13.txt"},
        {"no count", true, "7", "", false, 0, "7-6.txt"},
        {"saturates", true, "9223372036854775807", "3", false, 0,
         "9223372036854775807-9223372036854775807.txt"},
    };
    for (const auto& c : cases) {
        const SaveRange range = PreviewSaveRange(c.mergeOpen, c.start, c.count, c.useList1, c.list1Size);
        EXPECT_EQ(PreviewDefaultFileName(c.mergeOpen && c.useList1, range), c.fileName) << c.name;
    }
    EXPECT_EQ(PreviewSavedMessage("C:\\t\\1-100.txt", PreviewSaveRange(true, "0001", "100", false, 0)),
              "Таблица сохранена!\n\nФайл: C:\\t\\1-100.txt\nДиапазон: 1-100");
}

TEST(TableFiles, MergeSaveNamesRowsAndMessages) {
    const SaveRange plain = MergeSaveRange("0001", "100", false, 0);
    EXPECT_EQ(MergeSaveDefaultFileName(false, plain), "1-100.txt");
    EXPECT_EQ(MergeSavedMessage("C:\\1-100.txt", 20, 5, plain.items, false),
              "Таблица сохранена!\n\nФайл: C:\\1-100.txt\nСтрок: 20\nСтолбцов: 5\nВсего элементов: 100");

    const SaveRange list = MergeSaveRange("0001", "100", true, 12);
    EXPECT_EQ(MergeSaveDefaultFileName(true, list), "list_table_1-12.txt");
    EXPECT_EQ(MergeSavedMessage("x.txt", 3, 5, list.items, true),
              "Таблица сохранена!\n\nФайл: x.txt\nСтрок: 3\nСтолбцов: 5\nВсего элементов из списка: 12");
}

// The rows and columns the save reports are those of the table as built, in every form.
TEST(TableFiles, TheSavedTableIsMeasuredInTheFormItWasMadeIn) {
    const auto made = [](const char* count, int columns, bool transpose, bool barcode, bool list2) {
        static const std::vector<std::string> seconds = {"a", "b", "c", "d", "e", "f", "g"};
        MergeTableRequest request;
        request.startText = "1";
        request.countText = count;
        request.columns = columns;
        request.useTranspose = transpose;
        request.useForBarcode = barcode;
        request.useList2 = list2;
        request.list2 = &seconds;
        return BuildMergeTable(request).text;
    };
    const struct {
        const char* form;
        std::string text;
        bool withHeader;
        std::int64_t rows;
        int columns;
    } cases[] = {
        {"plain 100 in fives", made("100", 5, false, false, false), true, 20, 5},
        {"plain 101 in fives", made("101", 5, false, false, false), true, 21, 5},
        {"one item under 30 column numbers", made("1", 30, false, false, false), true, 1, 30},
        {"transposed 7 in threes", made("7", 3, true, false, false), true, 3, 3},
        {"one value a line", made("100", 5, false, true, false), false, 100, 1},
        {"transposed, one value a line", made("7", 3, true, true, false), false, 7, 1},
        {"with list 2", made("7", 3, false, false, true), true, 3, 6},
        {"nothing", "", true, 0, 0},
    };
    for (const auto& c : cases) {
        const TableShape shape = SavedTableShape(c.text, c.withHeader);
        EXPECT_EQ(shape.rows, c.rows) << c.form;
        EXPECT_EQ(shape.columns, c.columns) << c.form;
    }
}

TEST(TableFiles, LongPathsAreEmbeddedWhole) {
    const std::string path = "C:\\" + std::string(300, 'a') + "\\1-100.txt";
    const std::string message = MergeSavedMessage(path, 20, 5, 100, false);
    EXPECT_NE(message.find(path), std::string::npos);
    EXPECT_EQ(message.substr(message.size() - 20), "Всего элементов: 100");
    EXPECT_NE(PreviewSavedMessage(path, {1, 100, 100}).find(path + "\nДиапазон: 1-100"), std::string::npos);
}
