// Window readers of the table generators: they read the merge window into a request, call the
// builders and show their refusals in message boxes owned by the merge window.
#include "tables/table_content_win.h"

#include "platform/captions.h"
#include "platform/controls_win.h"
#include "platform/text_win.h"
#include "tables/merge_lists.h"
#include "tables/merge_table.h"
#include "tables/merge_window_ids.h"
#include "tables/merge_window_win.h"
#include "tables/passwords.h"
#include "tables/system_random_win.h"

#include <cstring>
#include <optional>
#include <vector>

namespace {

void ShowRefusal(const std::string& message) { ShowMessage(hMergeWindow, message, kErrorCaption, MB_OK); }

// The text fields a table is made from, exactly in code page 1251.
struct MergeTexts {
    std::string list1, list2, prefix, start, count;
};

// A text field of the merge window: its control, how a refusal names it (as the window labels it)
// and where its text goes.
struct TextSource {
    HWND control;
    const char* name;
    bool list;
    std::string MergeTexts::*text;
};

// The texts of `sources`, or nothing once the refusal has named the first character code page 1251
// cannot carry (the table would otherwise hold a look-alike or a '?' in its place).
std::optional<MergeTexts> ReadMergeTexts(const std::vector<TextSource>& sources) {
    std::vector<TypedField> typed;
    for (const TextSource& source : sources) typed.push_back({source.name, GetControlTextUtf16(source.control), source.list});
    TypedFields converted = ConvertTypedFields(typed, Cp1251FromUtf16Exact);
    if (!converted.refusal.empty()) {
        ShowMessage(hMergeWindow, converted.refusal, kErrorCaption, MB_OK);
        return std::nullopt;
    }
    MergeTexts texts;
    for (size_t i = 0; i < sources.size(); ++i) texts.*sources[i].text = std::move(converted.cp1251[i]);
    return texts;
}

std::vector<TextSource> ListSources(bool useList1, bool useList2) {
    std::vector<TextSource> sources;
    if (useList1) sources.push_back({hList1Edit, "списка 1", true, &MergeTexts::list1});
    if (useList2) sources.push_back({hList2Edit, "списка 2", true, &MergeTexts::list2});
    return sources;
}

std::string CutToChars(std::string text, size_t maxChars) {
    if (text.size() > maxChars) text.resize(maxChars);  // one byte per character in code page 1251
    return text;
}
}  // namespace

bool IsMergeOptionTicked(int id) { return IsChecked(GetDlgItem(hMergeWindow, id)); }

bool IsMergeWindowOpen() { return hMergeWindow && IsWindow(hMergeWindow); }

std::string ReadField(HWND control, size_t maxChars) { return CutToChars(GetControlText(control), maxChars); }

void GetStartNumberString(char* buffer, int bufferSize) {
    if (!buffer || bufferSize < 1) return;
    const std::string field = ReadField(hMergeStartEdit, static_cast<size_t>(bufferSize - 1));
    const std::string start = GetStartNumberString(field);
    if (start != field) SetControlText(hMergeStartEdit, start);
    const size_t length = std::min(start.size(), static_cast<size_t>(bufferSize - 1));
    std::memcpy(buffer, start.data(), length);
    buffer[length] = '\0';
}

int GetMergeColumnsCount() {
    const bool open = IsMergeWindowOpen();
    return GetMergeColumnsCount(open, open ? ComboIndex(hMergeColumnsCombo) : 0);
}

void ParseMergeLists() {
    const bool useList1 = IsChecked(hUseList1Check), useList2 = IsChecked(hUseList2Check);
    // A list with a character it cannot carry is refused, and the lists stay as they were.
    if (const std::optional<MergeTexts> texts = ReadMergeTexts(ListSources(useList1, useList2)))
        ParseMergeLists(useList1, texts->list1, useList2, texts->list2);
}

std::string GenerateTableContent() {
    if (!IsMergeWindowOpen()) return {};
    MergeTableRequest request;
    request.useList1 = IsChecked(hUseList1Check);
    request.useList2 = IsChecked(hUseList2Check);
    // The fields this table is made from, in the window's order; the count is not used with list 1.
    std::vector<TextSource> sources = ListSources(request.useList1, request.useList2);
    sources.push_back({hMergePrefixEdit, "Префикс", false, &MergeTexts::prefix});
    sources.push_back({hMergeStartEdit, "Начать с", false, &MergeTexts::start});
    if (!request.useList1) sources.push_back({hMergeCountEdit, "Количество", false, &MergeTexts::count});
    const std::optional<MergeTexts> texts = ReadMergeTexts(sources);
    if (!texts) return {};

    const std::string startProblem = MergeStartProblem(texts->start);
    if (!startProblem.empty()) {
        ShowRefusal(startProblem);
        return {};
    }
    request.prefix = CutToChars(texts->prefix, 99);
    char start[20];
    GetStartNumberString(start, sizeof start);
    request.startText = start;
    request.countText = CutToChars(texts->count, 19);
    request.columns = GetMergeColumnsCount();
    request.useTranspose = IsChecked(hTransposeCheck);
    request.useForBarcode = IsChecked(hForBarcodeCheck);
    if (request.useList1 || request.useList2)
        ParseMergeLists(request.useList1, texts->list1, request.useList2, texts->list2);
    request.list1 = &mergeList1;
    request.list2 = &mergeList2;

    TableResult result = BuildMergeTable(request);
    if (!result.error.empty()) ShowRefusal(result.error);
    return std::move(result.text);
}

std::string GeneratePasswordTable() {
    if (!IsMergeWindowOpen()) return {};
    const std::optional<MergeTexts> texts =
        ReadMergeTexts({{GetDlgItem(hMergeWindow, kPasswordCountEditId), "Кол-во паролей", false, &MergeTexts::count},
                        {hMergePrefixEdit, "Префикс", false, &MergeTexts::prefix}});
    if (!texts) return {};
    PasswordTableRequest request;
    request.sets.useUpperLatin = IsMergeOptionTicked(kUpperLatinCheckId);
    request.sets.useLowerLatin = IsMergeOptionTicked(kLowerLatinCheckId);
    request.sets.useUpperCyrillic = IsMergeOptionTicked(kUpperCyrillicCheckId);
    request.sets.useLowerCyrillic = IsMergeOptionTicked(kLowerCyrillicCheckId);
    request.sets.useDigits = IsMergeOptionTicked(kDigitsCheckId);
    request.sets.useSpecial = IsMergeOptionTicked(kSpecialCheckId);
    request.length = ComboIndex(GetDlgItem(hMergeWindow, kPasswordLengthComboId)) + 1;
    request.countText = CutToChars(texts->count, 19);
    request.singleColumn = IsMergeOptionTicked(kSingleColumnCheckId);
    request.columns = request.singleColumn ? 1 : GetMergeColumnsCount();
    request.prefix = CutToChars(texts->prefix, 99);

    PasswordTableResult result = BuildPasswordTable(request, PasswordPicker());
    if (!result.error.empty()) ShowRefusal(result.error);
    return std::move(result.text);
}
