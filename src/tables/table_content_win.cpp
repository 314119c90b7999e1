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

namespace {

void ShowRefusal(const std::string& message) { ShowMessage(hMergeWindow, message, kErrorCaption, MB_OK); }
}  // namespace

bool IsMergeOptionTicked(int id) { return IsChecked(GetDlgItem(hMergeWindow, id)); }

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
    const bool useList1 = IsChecked(hUseList1Check), useList2 = IsChecked(hUseList2Check);
    ParseMergeLists(useList1, useList1 ? GetControlText(hList1Edit) : std::string(), useList2,
                    useList2 ? GetControlText(hList2Edit) : std::string());
}

std::string GenerateTableContent() {
    if (!IsMergeWindowOpen()) return {};
    const std::string startProblem = MergeStartProblem(GetControlText(hMergeStartEdit));
    if (!startProblem.empty()) {
        ShowRefusal(startProblem);
        return {};
    }
    MergeTableRequest request;
    request.prefix = ReadField(hMergePrefixEdit, 99);
    char start[20];
    GetStartNumberString(start, sizeof start);
    request.startText = start;
    request.countText = ReadField(hMergeCountEdit, 19);
    request.columns = GetMergeColumnsCount();
    request.useList1 = IsChecked(hUseList1Check);
    request.useList2 = IsChecked(hUseList2Check);
    request.useTranspose = IsChecked(hTransposeCheck);
    request.useForBarcode = IsChecked(hForBarcodeCheck);
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
    request.sets.useUpperLatin = IsMergeOptionTicked(kUpperLatinCheckId);
    request.sets.useLowerLatin = IsMergeOptionTicked(kLowerLatinCheckId);
    request.sets.useUpperCyrillic = IsMergeOptionTicked(kUpperCyrillicCheckId);
    request.sets.useLowerCyrillic = IsMergeOptionTicked(kLowerCyrillicCheckId);
    request.sets.useDigits = IsMergeOptionTicked(kDigitsCheckId);
    request.sets.useSpecial = IsMergeOptionTicked(kSpecialCheckId);
    request.length = ComboIndex(GetDlgItem(hMergeWindow, kPasswordLengthComboId)) + 1;
    request.countText = ReadField(GetDlgItem(hMergeWindow, kPasswordCountEditId), 19);
    request.singleColumn = IsMergeOptionTicked(kSingleColumnCheckId);
    request.columns = request.singleColumn ? 1 : GetMergeColumnsCount();
    request.prefix = ReadField(hMergePrefixEdit, 99);

    PasswordTableResult result = BuildPasswordTable(request, PasswordPicker());
    if (!result.error.empty()) ShowRefusal(result.error);
    return std::move(result.text);
}
