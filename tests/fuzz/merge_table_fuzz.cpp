// Fuzz target: the merge table from any fields and lists. Every table is compared with one built the
// slow, obvious way: the plain table row by row, and the reshaped forms laid out from the plain
// table's cells (the transposed form is a permutation of them, the barcode form all of them one per
// line). The save names and ranges of a table hold their numbers and nothing a file name cannot.
#include "tables/merge_lists.h"
#include "tables/merge_table.h"
#include "tables/table_files.h"
#include "platform/text_parse.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// Items per table here: enough for many rows of every width, few enough for fast executions.
constexpr std::int64_t kMaxFuzzItems = 3000;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string ThreeDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", value);
    return text;
}

std::string NextNumber(std::string number) {
    for (size_t i = number.size(); i-- > 0;) {
        if (number[i] != '9') {
            ++number[i];
            return number;
        }
        number[i] = '0';
    }
    return "1" + number;
}

std::string Header(int columns, bool withList2) {
    std::string header;
    for (int i = 1; i <= columns; ++i) {
        if (i > 1) header += ',';
        header += ThreeDigits(i);
        if (withList2) header += "," + ThreeDigits(i + 100);
    }
    return header + "\r\n";
}

std::string PlainBody(const MergeTableRequest& request, const std::vector<std::string>& list2, size_t items,
                      int columns) {
    std::string body, number = GetStartNumberString(request.startText);
    size_t second = 0;
    for (size_t item = 0; item < items; ++item) {
        const int col = static_cast<int>(item % static_cast<size_t>(columns));
        if (col > 0) body += ',';
        if (request.useList1) {
            body += request.prefix + (*request.list1)[item];
        } else {
            body += request.prefix + number;
            number = NextNumber(number);
        }
        if (second < list2.size()) body += "," + list2[second++];
        if (col == columns - 1 || item + 1 == items) body += "\r\n";
    }
    return body;
}

// Table text split at commas and line feeds, each piece stripped of blanks, the empty ones left out.
std::vector<std::string> Cells(const std::string& text) {
    std::vector<std::string> cells;
    std::string piece;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ',' && text[i] != '\n') {
            piece += text[i];
            continue;
        }
        size_t first = 0, last = piece.size();
        while (first < last && IsBlank(piece[first])) ++first;
        while (last > first && IsBlank(piece[last - 1])) --last;
        if (first < last) cells.push_back(piece.substr(first, last - first));
        piece.clear();
    }
    return cells;
}

std::string Transposed(const std::vector<std::string>& cells, int columns, bool barcode) {
    const size_t width = static_cast<size_t>(columns), rows = (cells.size() + width - 1) / width;
    std::string out;
    for (size_t row = 0; row < rows; ++row) {
        for (size_t col = 0; col < width && col * rows + row < cells.size(); ++col) {
            if (col > 0 && !barcode) out += ',';
            out += cells[col * rows + row];
            if (barcode) out += "\r\n";
        }
        if (!barcode) out += "\r\n";
    }
    return out;
}

size_t Count(const std::string& text, char c) {
    size_t n = 0;
    for (char t : text) n += t == c;
    return n;
}

// Every line ends in CR LF, and there is one line per row (plus the header) unless the prefix brings
// line feeds of its own.
void CheckLines(const std::string& text, size_t lines) {
    Check(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') Check(i > 0 && text[i - 1] == '\r');
    Check(Count(text, '\n') == lines);
}

void CheckTable(const MergeTableRequest& request) {
    const TableResult result = BuildMergeTable(request);
    const int columns = request.columns < 1 ? 1 : request.columns;
    const std::vector<std::string> noLines;
    const std::vector<std::string>& list2 = request.useList2 ? *request.list2 : noLines;
    std::int64_t items = 0;
    if (request.useList1) {
        items = static_cast<std::int64_t>(request.list1->size());
        if (items == 0) {
            Check(result.text.empty() && result.error == kNoListDataMessage);
            return;
        }
    } else {
        items = ParseLeadingInteger(request.countText);
        if (items < 1) {
            Check(result.text.empty() && result.error == kBadCountMessage);
            return;
        }
    }
    if (items > kMaxTableItems) {
        Check(result.text.empty() && result.error == TooManyItemsMessage());
        return;
    }
    Check(result.error.empty());

    const std::string header = Header(columns, request.useList2);
    const std::string body = PlainBody(request, list2, static_cast<size_t>(items), columns);
    const std::vector<std::string> cells = Cells(body);
    std::string expected;
    if (!request.useTranspose && !request.useForBarcode)
        expected = header + body;
    else if (!request.useTranspose)
        expected = Transposed(cells, 1, true);
    else if (cells.empty())
        expected = request.useForBarcode ? "" : header + body;
    else
        expected = (request.useForBarcode ? "" : header) + Transposed(cells, columns, request.useForBarcode);
    Check(result.text == expected);

    // The same facts once more in the terms a user sees them.
    const size_t rows = (static_cast<size_t>(items) + columns - 1) / columns;
    const bool prefixLines = request.prefix.find('\n') != std::string::npos;
    if (!request.useForBarcode && !prefixLines) {
        const size_t cellRows = (cells.size() + columns - 1) / columns;
        CheckLines(result.text, 1 + (request.useTranspose && !cells.empty() ? cellRows : rows));
    }
    if (request.useForBarcode && !cells.empty()) CheckLines(result.text, cells.size());
    if (request.useTranspose || request.useForBarcode) {
        std::vector<std::string> got = Cells(result.text.substr(request.useForBarcode ? 0 : header.size()));
        std::vector<std::string> want = cells;
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        Check(got == want || cells.empty());
    }
}

bool FileNameSafe(const std::string& name) {
    for (char c : name)
        if (std::string("\\/:*?\"<>|").find(c) != std::string::npos || static_cast<unsigned char>(c) < 32)
            return false;
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0;
}

std::int64_t ExpectedEnd(std::int64_t start, std::int64_t items) {
    const __int128 end = static_cast<__int128>(start) + items - 1;
    if (end > INT64_MAX) return INT64_MAX;
    if (end < INT64_MIN) return INT64_MIN;
    return static_cast<std::int64_t>(end);
}

void CheckRange(const SaveRange& range, std::int64_t start, std::int64_t items) {
    Check(range.start == start && range.items == items);
    // The lowest count a text can give saturates once on the way; a table is never built from it.
    if (items != INT64_MIN) Check(range.end == ExpectedEnd(start, items));
}

void CheckSaveNames(const MergeTableRequest& request, bool mergeOpen) {
    const size_t listSize = request.list1->size();
    const SaveRange preview =
        PreviewSaveRange(mergeOpen, request.startText, request.countText, request.useList1, listSize);
    if (!mergeOpen)
        CheckRange(preview, 1, 5);
    else
        CheckRange(preview, ParseLeadingInteger(request.startText),
                   request.useList1 && listSize > 0 ? static_cast<std::int64_t>(listSize)
                                                    : ParseLeadingInteger(request.countText));
    const SaveRange merge = MergeSaveRange(request.startText, request.countText, request.useList1, listSize);
    CheckRange(merge, ParseLeadingInteger(request.startText),
               request.useList1 ? static_cast<std::int64_t>(listSize) : ParseLeadingInteger(request.countText));

    for (const std::string& name : {PreviewDefaultFileName(request.useList1, preview),
                                    MergeSaveDefaultFileName(request.useList1, merge)}) {
        Check(FileNameSafe(name));
        const size_t digits = name.find_first_of("-0123456789");
        const LeadingInteger first = ReadLeadingInteger(name, digits);
        Check(first.hasDigits && name[first.end] == '-');
        const LeadingInteger last = ReadLeadingInteger(name, first.end + 1);
        Check(last.hasDigits && name.substr(last.end) == ".txt");
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    MergeTableRequest request;
    request.prefix = input.ConsumeRandomLengthString(24);
    request.startText = input.ConsumeRandomLengthString(40);
    request.countText = input.ConsumeRandomLengthString(24);
    request.columns = input.ConsumeIntegralInRange(-1, 32);
    request.useList1 = input.ConsumeBool();
    request.useList2 = input.ConsumeBool();
    request.useTranspose = input.ConsumeBool();
    request.useForBarcode = input.ConsumeBool();
    const bool mergeOpen = input.ConsumeBool();
    const std::string list1Text = input.ConsumeRandomLengthString(size);
    const std::string list2Text = input.ConsumeRemainingBytesAsString();

    ParseMergeLists(request.useList1, list1Text, request.useList2, list2Text);
    Check(mergeList1 == (request.useList1 ? SplitListLines(list1Text) : std::vector<std::string>()));
    Check(mergeList2 == (request.useList2 ? SplitListLines(list2Text) : std::vector<std::string>()));
    request.list1 = &mergeList1;
    request.list2 = &mergeList2;

    // Blanks at the ends of the start field do not count; digits between them are the start.
    const std::string start = GetStartNumberString(request.startText);
    const size_t first = request.startText.find_first_not_of(" \t\r\n");
    const std::string trimmed = first == std::string::npos
                                    ? std::string()
                                    : request.startText.substr(first, request.startText.find_last_not_of(" \t\r\n") - first + 1);
    const bool digits = !trimmed.empty() && trimmed.find_first_not_of("0123456789") == std::string::npos;
    Check(start == (digits ? trimmed : std::string(kReplacementStartNumber)));

    CheckSaveNames(request, mergeOpen);

    const std::int64_t items = request.useList1 ? static_cast<std::int64_t>(mergeList1.size())
                                                : ParseLeadingInteger(request.countText);
    if (items > kMaxFuzzItems && items <= kMaxTableItems) return 0;  // too slow for one execution
    CheckTable(request);
    return 0;
}
