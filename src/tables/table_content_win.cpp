// Window readers of the table generators: they read the merge window into a request, call the
// builders and show their refusals in message boxes owned by the merge window.
#include "tables/table_content_win.h"

#include "app/globals_win.h"
#include "app/text_win.h"
#include "tables/merge_lists.h"
#include "tables/merge_table.h"
#include "tables/merge_window_win.h"
#include "tables/passwords.h"
#include "tables/system_random_win.h"

#include <cstring>

namespace {
bool IsTicked(HWND box) { return box && SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool IsTickedId(int id) { return IsTicked(GetDlgItem(hMergeWindow, id)); }

int ComboIndex(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

void ShowRefusal(const std::string& message) { ShowMessage(hMergeWindow, message, kErrorCaption, MB_OK); }
}  // namespace

bool IsMergeWindowOpen() { return hMergeWindow && IsWindow(hMergeWindow); }

std::string ReadField(HWND control, size_t maxChars) {
    std::string text = GetControlText(control);
    if (text.size() > maxChars) text.resize(maxChars);  // one byte per character in code page 1251
    return text;
}

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
    const bool useList1 = IsTicked(hUseList1Check), useList2 = IsTicked(hUseList2Check);
    ParseMergeLists(useList1, useList1 ? GetControlText(hList1Edit) : std::string(), useList2,
                    useList2 ? GetControlText(hList2Edit) : std::string());
}

std::string GenerateTableContent() {
    if (!IsMergeWindowOpen()) return {};
    MergeTableRequest request;
    request.prefix = ReadField(hMergePrefixEdit, 99);
    char start[20];
    GetStartNumberString(start, sizeof start);
    request.startText = start;
    request.countText = ReadField(hMergeCountEdit, 19);
    request.columns = GetMergeColumnsCount();
    request.useList1 = IsTicked(hUseList1Check);
    request.useList2 = IsTicked(hUseList2Check);
    request.useTranspose = IsTicked(hTransposeCheck);
    request.useForBarcode = IsTicked(hForBarcodeCheck);
    if (request.useList1 || request.useList2) ParseMergeLists();
    request.list1 = &mergeList1;
    request.list2 = &mergeList2;

    TableResult result = BuildMergeTable(request);
    if (!result.error.empty()) ShowRefusal(result.error);
    return std::move(result.text);
}

std::string GeneratePasswordTable() {
    if (!IsMergeWindowOpen()) return {};
    PasswordTableRequest request;
    request.sets.useUpperLatin = IsTickedId(kUpperLatinCheckId);
    request.sets.useLowerLatin = IsTickedId(kLowerLatinCheckId);
    request.sets.useUpperCyrillic = IsTickedId(kUpperCyrillicCheckId);
    request.sets.useLowerCyrillic = IsTickedId(kLowerCyrillicCheckId);
    request.sets.useDigits = IsTickedId(kDigitsCheckId);
    request.sets.useSpecial = IsTickedId(kSpecialCheckId);
    request.length = ComboIndex(GetDlgItem(hMergeWindow, kPasswordLengthComboId)) + 1;
    request.countText = ReadField(GetDlgItem(hMergeWindow, kPasswordCountEditId), 19);
    request.singleColumn = IsTickedId(kSingleColumnCheckId);
    request.columns = request.singleColumn ? 1 : GetMergeColumnsCount();
    request.prefix = ReadField(hMergePrefixEdit, 99);

    PasswordTableResult result = BuildPasswordTable(request, PasswordPicker());
    if (!result.error.empty()) ShowRefusal(result.error);
    return std::move(result.text);
}
