// Builds the merge table text and its transposed and barcode forms.
#include "tables/merge_table.h"

#include "platform/text_parse.h"
#include "tables/merge_lists.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <limits>
#include <string_view>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Calls `take` for every comma-separated piece of every line of `data` that is not empty once
// stripped of blanks. Splitting at commas and line feeds in one pass gives the same pieces as
// splitting into lines first, and it is the hot loop of both reshaped forms.
template <typename Take>
void ForEachCell(std::string_view data, Take take) {
    const char* piece = data.data();
    const char* const end = piece + data.size();
    for (;;) {
        const char* stop = piece;
        while (stop < end && *stop != ',' && *stop != '\n') ++stop;
        const char* first = piece;
        const char* last = stop;
        while (first < last && IsBlank(*first)) ++first;
        while (last > first && IsBlank(last[-1])) --last;
        if (first < last) take(std::string_view(first, static_cast<size_t>(last - first)));
        if (stop == end) break;
        piece = stop + 1;
    }
}

// Appends to a string through a raw cursor: one capacity check per item instead of one per piece.
class Writer {
public:
    Writer(std::string& out, size_t expected) : out_(out) {
        out_.resize(std::max<size_t>(expected, 64));
        cursor_ = &out_[0];
        end_ = cursor_ + out_.size();
    }
    // Cuts the string to what was written; call before the string is used or returned, so the result
    // never depends on when a destructor runs.
    void Finish() { out_.resize(Size()); }
    size_t Size() const { return static_cast<size_t>(cursor_ - out_.data()); }
    const char* Data() const { return out_.data(); }
    void Reserve(size_t more) {
        if (static_cast<size_t>(end_ - cursor_) >= more) return;
        const size_t used = Size();
        out_.resize(std::max(out_.size() * 2, used + more));
        cursor_ = &out_[0] + used;
        end_ = &out_[0] + out_.size();
    }
    void Put(char c) { *cursor_++ = c; }
    // Cells are mostly a few bytes long; fixed-size copies of overlapping halves stay inline where a
    // call to memcpy per cell would dominate the time.
    void Put(std::string_view text) {
        const char* from = text.data();
        const size_t n = text.size();
        if (n >= 8 && n <= 16) {
            std::memcpy(cursor_, from, 8);
            std::memcpy(cursor_ + n - 8, from + n - 8, 8);
        } else if (n >= 4 && n < 8) {
            std::memcpy(cursor_, from, 4);
            std::memcpy(cursor_ + n - 4, from + n - 4, 4);
        } else if (n > 0 && n < 4) {
            cursor_[0] = from[0];
            cursor_[n / 2] = from[n / 2];
            cursor_[n - 1] = from[n - 1];
        } else if (n > 16) {
            std::memcpy(cursor_, from, n);
        }
        cursor_ += n;
    }

private:
    std::string& out_;
    char* cursor_;
    char* end_;
};

// "%03d": at least three digits with leading zeros.
void AppendThreeDigits(std::string& out, int value) {
    if (value < 0 || value > 999) {
        out += std::to_string(value);
        return;
    }
    const char digits[3] = {static_cast<char>('0' + value / 100), static_cast<char>('0' + value / 10 % 10),
                            static_cast<char>('0' + value % 10)};
    out.append(digits, 3);
}

void AppendHeader(std::string& out, int columns, bool withList2) {
    for (int i = 1; i <= columns; ++i) {
        if (i > 1) out += ',';
        AppendThreeDigits(out, i);
        if (withList2) {
            out += ',';
            AppendThreeDigits(out, i + 100);
        }
    }
    out += "\r\n";
}

// The running number as decimal text; counting in the text keeps the leading zeros of the start
// and never overflows, however many digits the start has.
void Increment(std::string& number) {
    size_t i = number.size();
    while (i > 0 && number[i - 1] == '9') number[--i] = '0';
    if (i == 0)
        number.insert(number.begin(), '1');
    else
        ++number[i - 1];
}

// Adds `amount` to a decimal number in text, keeping its width as a minimum.
void AddDecimal(std::string& number, std::uint64_t amount) {
    size_t i = number.size();
    unsigned carry = 0;
    while (amount > 0 || carry > 0) {
        if (i == 0) {
            number.insert(number.begin(), '0');
            i = 1;
        }
        --i;
        const unsigned digit = static_cast<unsigned>(number[i] - '0') + static_cast<unsigned>(amount % 10) + carry;
        amount /= 10;
        carry = digit / 10;
        number[i] = static_cast<char>('0' + digit % 10);
    }
}

bool IsAllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

std::string TooManyItemsMessage() {
    return "Слишком большая таблица! Можно не более " + std::to_string(kMaxTableItems) + " элементов.";
}

std::string TableTooLargeMessage() {
    return "Слишком большая таблица! Текст таблицы не может превышать " +
           std::to_string(kMaxTableBytes / (1024 * 1024)) + " МБ.";
}

std::string GetStartNumberString(const std::string& fieldText) {
    const std::string start = TrimBlanks(fieldText);
    return IsAllDigits(start) ? start : std::string(kReplacementStartNumber);
}

std::string MergeStartProblem(const std::string& fieldText) {
    const std::string start = TrimBlanks(fieldText);
    if (!IsDigitsOnly(start)) return kStartNotDigitsMessage;
    // A longer start would have to be cut, and a cut start counts from another number.
    if (start.size() > kMaxTableStartChars) return kStartTooLongTableMessage;
    return {};
}

int GetMergeColumnsCount(bool mergeWindowOpen, int selectedIndex) {
    return mergeWindowOpen ? selectedIndex + 1 : 5;
}

void ParseMergeLists(bool useList1, const std::string& list1Text, bool useList2, const std::string& list2Text) {
    mergeList1.clear();
    mergeList2.clear();
    if (useList1 && !list1Text.empty()) mergeList1 = SplitListLines(list1Text);
    if (useList2 && !list2Text.empty()) mergeList2 = SplitListLines(list2Text);
}

namespace {
bool HasSeparator(std::string_view text) {
    for (char c : text)
        if (c == ',' || c == '\n') return true;
    return false;
}

// The items of a table in order, each as prefix + value, with its list-2 value and the row ends.
struct ItemWalk {
    std::string_view prefix;
    const std::vector<std::string>* list1;  // items from list 1, or running numbers when null
    const std::vector<std::string>* list2;
    std::string number;
    size_t items;
    int columns;

    // item(col, value), second(value) and rowEnd() return false to stop.
    template <typename Item, typename Second, typename RowEnd>
    void Run(Item item, Second second, RowEnd rowEnd) {
        size_t list1Index = 0, list2Index = 0;
        for (size_t processed = 0; processed < items;) {
            for (int col = 0; col < columns && processed < items; ++col, ++processed) {
                if (list1) {
                    if (list1Index < list1->size() && !item(col, std::string_view((*list1)[list1Index++]))) return;
                } else {
                    if (!item(col, std::string_view(number))) return;
                    Increment(number);
                }
                if (list2Index < list2->size() && !second(std::string_view((*list2)[list2Index++]))) return;
            }
            if (!rowEnd()) return;
        }
    }
};

// Collects the cells that the reshaped forms are made of, item by item: an item without commas,
// line feeds or blanks at its ends is one cell; any other is split and stripped like table text.
struct CellCollector {
    std::string_view prefix;
    bool prefixIsPlain;  // no separator inside and no blank in front
    std::string scratch;

    bool IsWhole(std::string_view prefixPart, std::string_view value) const {
        if (value.empty() || (!prefixPart.empty() && !prefixIsPlain)) return false;
        if (HasSeparator(value) || IsBlank(value.back())) return false;
        return !prefixPart.empty() || !IsBlank(value.front());
    }

    // Calls write(prefixPart, value) for a whole item, or write({}, cell) for each of its cells.
    template <typename Write>
    void Add(std::string_view prefixPart, std::string_view value, Write write) {
        if (IsWhole(prefixPart, value)) {
            write(prefixPart, value);
            return;
        }
        scratch.assign(prefixPart.data(), prefixPart.size());
        scratch.append(value.data(), value.size());
        ForEachCell(scratch, [&](std::string_view cell) { write(std::string_view(), cell); });
    }
};

// The transposed layout of the cells: cell k goes to row k mod rows, column k div rows; with
// `barcode` the same order is written one cell per line without the header.
template <typename Cells>
std::string LayOutTransposed(std::string_view header, const Cells& cells, int columns, bool barcode,
                             size_t expectedSize) {
    const size_t width = static_cast<size_t>(std::max(columns, 1));
    const size_t total = cells.size();
    const size_t rows = (total + width - 1) / width;
    std::string out;
    Writer writer(out, expectedSize + total * 2 + header.size());
    if (!barcode) {
        writer.Reserve(header.size());
        writer.Put(header);
    }
    for (size_t row = 0; row < rows; ++row) {
        writer.Reserve(width + 2);
        for (size_t col = 0; col < width; ++col) {
            const size_t index = col * rows + row;
            if (index >= total) break;  // the columns to the right are shorter still
            const std::string_view cell = cells[index];
            writer.Reserve(cell.size() + width + 2);
            if (col > 0 && !barcode) writer.Put(',');
            writer.Put(cell);
            if (barcode) {
                writer.Put('\r');
                writer.Put('\n');
            }
        }
        if (!barcode) {
            writer.Put('\r');
            writer.Put('\n');
        }
    }
    writer.Finish();
    return out;
}

// Cells packed one after another in one buffer, found by where each ends; four bytes a cell keep
// the index of a million-cell table small.
struct PackedCells {
    std::string bytes;
    std::vector<std::uint32_t> ends;

    size_t size() const { return ends.size(); }
    std::string_view operator[](size_t i) const {
        const std::uint32_t begin = i ? ends[i - 1] : 0;
        return std::string_view(bytes.data() + begin, ends[i] - begin);
    }
};

std::string PlainTable(ItemWalk walk, std::string_view header, size_t expected, bool& tooLarge) {
    std::string text;
    Writer out(text, expected);
    out.Reserve(header.size());
    out.Put(header);
    walk.Run(
        [&](int col, std::string_view value) {
            out.Reserve(walk.prefix.size() + value.size() + 1);
            if (col > 0) out.Put(',');
            out.Put(walk.prefix);
            out.Put(value);
            return true;
        },
        [&](std::string_view second) {
            out.Reserve(second.size() + 1);
            out.Put(',');
            out.Put(second);
            return true;
        },
        [&] {
            out.Reserve(2);
            out.Put('\r');
            out.Put('\n');
            tooLarge = out.Size() > kMaxTableBytes;
            return !tooLarge;
        });
    out.Finish();
    return text;
}

// Every cell of every item through `write` (the prefix on the first value only), stopping once the
// text written so far passes the size bound.
template <typename Write>
void WriteEachCell(ItemWalk& walk, CellCollector& collector, const Writer& out, Write write, bool& tooLarge) {
    walk.Run(
        [&](int, std::string_view value) {
            collector.Add(walk.prefix, value, write);
            return true;
        },
        [&](std::string_view second) {
            collector.Add({}, second, write);
            return true;
        },
        [&] {
            tooLarge = out.Size() > kMaxTableBytes;
            return !tooLarge;
        });
}

// One cell per line, straight from the items.
std::string BarcodeTable(ItemWalk walk, CellCollector& collector, size_t expected, bool& tooLarge) {
    std::string text;
    Writer out(text, expected);
    auto write = [&](std::string_view prefixPart, std::string_view cell) {
        out.Reserve(prefixPart.size() + cell.size() + 2);
        out.Put(prefixPart);
        out.Put(cell);
        out.Put('\r');
        out.Put('\n');
    };
    WriteEachCell(walk, collector, out, write, tooLarge);
    out.Finish();
    return text;
}

// The transposed running numbers written directly: each column counts on from its own first number,
// which the column before reaches after `rows` items. Only for numbered items that are whole cells.
std::string TransposedNumbers(const ItemWalk& walk, std::string_view header, bool barcode, size_t expected) {
    const size_t width = static_cast<size_t>(walk.columns);
    const size_t rows = (walk.items + width - 1) / width;
    std::vector<std::string> counters(width, walk.number);
    for (size_t col = 1; col < width; ++col) {
        counters[col] = counters[col - 1];
        AddDecimal(counters[col], rows);
    }
    std::string out;
    Writer writer(out, expected + walk.items * 2);
    if (!barcode) {
        writer.Reserve(header.size());
        writer.Put(header);
    }
    for (size_t row = 0; row < rows; ++row) {
        for (size_t col = 0; col < width; ++col) {
            if (col * rows + row >= walk.items) break;
            std::string& number = counters[col];
            writer.Reserve(walk.prefix.size() + number.size() + 3);
            if (col > 0 && !barcode) writer.Put(',');
            writer.Put(walk.prefix);
            writer.Put(number);
            if (barcode) {
                writer.Put('\r');
                writer.Put('\n');
            }
            Increment(number);
        }
        if (!barcode) {
            writer.Reserve(2);
            writer.Put('\r');
            writer.Put('\n');
        }
    }
    writer.Finish();
    return out;
}

// The cells of all items, packed.
void CollectCells(ItemWalk walk, CellCollector& collector, size_t expected, PackedCells& cells, bool& tooLarge) {
    Writer out(cells.bytes, expected);
    auto write = [&](std::string_view prefixPart, std::string_view cell) {
        out.Reserve(prefixPart.size() + cell.size());
        out.Put(prefixPart);
        out.Put(cell);
        cells.ends.push_back(static_cast<std::uint32_t>(out.Size()));
    };
    WriteEachCell(walk, collector, out, write, tooLarge);
    out.Finish();
}
}  // namespace

TableResult BuildMergeTable(const MergeTableRequest& request) {
    static const std::vector<std::string> kNoLines;
    const std::vector<std::string>& list1 = request.list1 ? *request.list1 : kNoLines;
    const std::vector<std::string>& list2 = request.useList2 && request.list2 ? *request.list2 : kNoLines;
    const int columns = std::max(request.columns, 1);

    std::int64_t totalItems = 0;
    if (request.useList1) {
        totalItems = static_cast<std::int64_t>(list1.size());
    } else {
        totalItems = ParseLeadingInteger(request.countText);
        if (totalItems < 1) return {{}, kBadCountMessage};
    }
    if (totalItems < 1) return {{}, kNoListDataMessage};
    if (totalItems > kMaxTableItems) return {{}, TooManyItemsMessage()};

    ItemWalk walk{request.prefix, request.useList1 ? &list1 : nullptr, &list2,
                  GetStartNumberString(request.startText), static_cast<size_t>(totalItems), columns};
    const size_t items = walk.items;
    size_t valueBytes = 0;
    if (request.useList1)
        for (const std::string& line : list1) valueBytes += line.size();
    else
        valueBytes = items * (walk.number.size() + 1);
    for (size_t i = 0; i < list2.size() && i < items; ++i) valueBytes += list2[i].size() + 1;
    const size_t expected = items * (walk.prefix.size() + 1) + valueBytes + (items / columns + 1) * 2 + 1024;
    if (expected > kMaxTableBytes + kMaxTableBytes / 8) return {{}, TableTooLargeMessage()};

    std::string header;
    AppendHeader(header, columns, request.useList2);
    bool tooLarge = false;
    TableResult result;
    if (!request.useTranspose && !request.useForBarcode) {
        result.text = PlainTable(walk, header, expected, tooLarge);
    } else {
        CellCollector collector{walk.prefix, !HasSeparator(walk.prefix) && !IsBlank(walk.prefix.empty() ? 'x' : walk.prefix.front()), {}};
        if (!request.useTranspose) {
            result.text = BarcodeTable(walk, collector, expected + items, tooLarge);
        } else if (!request.useList1 && list2.empty() && collector.IsWhole(walk.prefix, "0")) {
            result.text = TransposedNumbers(walk, header, request.useForBarcode, expected);
        } else {
            PackedCells cells;
            cells.ends.reserve(items + std::min(items, list2.size()));
            CollectCells(walk, collector, expected, cells, tooLarge);
            if (!tooLarge && cells.size() == 0) {
                // Nothing to lay out: the transposed form is the plain table, the barcode form empty.
                if (!request.useForBarcode) result.text = PlainTable(walk, header, expected, tooLarge);
            } else if (!tooLarge) {
                result.text = LayOutTransposed(header, cells, columns, request.useForBarcode, expected);
            }
        }
    }
    if (tooLarge) return {{}, TableTooLargeMessage()};
    return result;
}
