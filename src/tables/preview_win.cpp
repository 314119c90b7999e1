// The two preview windows (one class, one procedure), their copy and save commands, and the save
// of the merge window's "Сохранить как...".
#include "tables/preview_win.h"

#include "platform/app_window_win.h"
#include "platform/captions.h"
#include "platform/controls_win.h"
#include "platform/dpi_win.h"
#include "platform/file_dialog_win.h"
#include "platform/gdi_win.h"
#include "platform/text_win.h"
#include "tables/clipboard_win.h"
#include "tables/merge_lists.h"
#include "tables/merge_table.h"
#include "tables/merge_window_win.h"
#include "tables/preview_ids.h"
#include "tables/save_file_win.h"
#include "tables/table_content_win.h"
#include "tables/table_files.h"

HWND hPreviewWindow = nullptr, hPreviewEdit = nullptr, hPasswordPreviewWindow = nullptr, hPasswordPreviewEdit = nullptr;

namespace {
constexpr DWORD V = WS_VISIBLE;
constexpr DWORD kPreviewEdit = V | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN;

constexpr int kPreviewWidth = 505, kPreviewHeight = 475;  // outer size at 96 dpi

const ControlRow kTablePreviewControls[] = {
    {"EDIT", "", kPreviewEdit, 10, 10, 468, 350, kTablePreviewEditId, &hPreviewEdit},
    {"BUTTON", "Копировать", V, 10, 370, 150, 30, kTableCopyId, nullptr},
    {"BUTTON", "Сохранить", V, 170, 370, 150, 30, kTableSaveId, nullptr},
    {"BUTTON", "Закрыть", V, 330, 370, 150, 30, kTableCloseId, nullptr},
    {"STATIC", " Любой функционал таблиц можно включать не закрывая этого окна", V, 10, 410, 560, 20, kTableInfoId,
     nullptr},
};

const ControlRow kPasswordPreviewControls[] = {
    {"EDIT", "", kPreviewEdit, 10, 10, 468, 350, kPasswordPreviewEditId, &hPasswordPreviewEdit},
    {"BUTTON", "Копировать", V, 10, 370, 150, 30, kPasswordCopyId, nullptr},
    {"BUTTON", "Сохранить", V, 170, 370, 150, 30, kPasswordSaveId, nullptr},
    {"BUTTON", "Закрыть", V, 330, 370, 150, 30, kPasswordCloseId, nullptr},
    {"STATIC", " Любой функционал паролей можно влючать не закрывая этого окна", V, 10, 410, 560, 20,
     kPasswordInfoId, nullptr},
};

// What tells the two kinds of preview apart.
struct PreviewKind {
    HWND* window;
    HWND* edit;
    const char* title;
    const ControlRow* controls;
    size_t controlCount;
    int firstId;  // copy; save, close and the label follow
};

const PreviewKind kTablePreview = {&hPreviewWindow, &hPreviewEdit, "Предварительный просмотр таблицы",
                                   kTablePreviewControls, sizeof kTablePreviewControls / sizeof *kTablePreviewControls,
                                   kTableCopyId};
const PreviewKind kPasswordPreview = {&hPasswordPreviewWindow, &hPasswordPreviewEdit, "Сгенерированные пароли",
                                      kPasswordPreviewControls,
                                      sizeof kPasswordPreviewControls / sizeof *kPasswordPreviewControls,
                                      kPasswordCopyId};

const PreviewKind* KindOf(HWND window) {
    if (window && window == hPreviewWindow) return &kTablePreview;
    if (window && window == hPasswordPreviewWindow) return &kPasswordPreview;
    return nullptr;
}

void ShowPreview(const PreviewKind& kind, const std::string& content) {
    if (BringForwardIfOpen(*kind.window)) {
        if (*kind.edit) SetPreviewText(*kind.edit, content);
        return;
    }
    HWND window = CreateTopWindowForDpi(WS_EX_DLGMODALFRAME, L"BarcodePreview", WideFromCp1251(kind.title).c_str(),
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, kPreviewWidth,
                                        kPreviewHeight, AppWindow());
    if (!window) return;
    *kind.window = window;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CreateControlRows(window, kind.controls, kind.controlCount);
    // The font goes on before the text: an edit control lays its whole text out again for a new font.
    SendMessageW(*kind.edit, WM_SETFONT, reinterpret_cast<WPARAM>(FixedPitchFont(WindowDpi(window))), TRUE);
    SetPreviewText(*kind.edit, content);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetFocus(*kind.edit);
    SendMessageW(*kind.edit, EM_SETSEL, 0, -1);
}

// --- Commands ---------------------------------------------------------------------------------------

void Copy(HWND window, HWND edit, const char* copiedMessage) {
    switch (CopyTextToClipboard(window, PreviewTextOf(edit))) {
        case CopyResult::ClipboardBusy: return;
        case CopyResult::OutOfMemory: ShowMessage(window, kCopyFailedMessage, kErrorCaption, MB_OK); return;
        case CopyResult::Copied: ShowMessage(window, copiedMessage, kSuccessCaption, MB_OK); return;
    }
}

// Asks for a name and writes `text`; false when cancelled or not written (the latter is reported).
bool SaveText(HWND owner, const std::string& text, const std::string& defaultName, std::wstring& path) {
    if (!AskSaveFileName(owner, defaultName, path)) return false;
    if (WriteTextFile(path, text)) return true;
    ShowMessage(owner, kSaveErrorMessage, kErrorCaption, MB_OK);
    return false;
}

void SaveTablePreview(HWND window) {
    const std::string text = PreviewTextOf(hPreviewEdit);
    if (text.empty()) return;
    const bool open = IsMergeWindowOpen();
    const std::string startText = open ? ReadField(hMergeStartEdit, 19) : std::string();
    const std::string countText = open ? ReadField(hMergeCountEdit, 19) : std::string();
    const bool useList1 = open && IsChecked(hUseList1Check);
    const SaveRange range = PreviewSaveRange(open, startText, countText, useList1, mergeList1.size());
    std::wstring path;
    if (!SaveText(window, text, PreviewDefaultFileName(useList1, range), path)) return;
    ShowMessageWithPath(window, PreviewSavedMessage(kPathMarker, range), path, kSuccessCaption);
}

void SavePasswordPreview(HWND window) {
    const std::string text = PreviewTextOf(hPasswordPreviewEdit);
    if (text.empty()) return;
    std::wstring path;
    if (SaveText(window, text, kPasswordsDefaultFileName, path))
        ShowMessage(window, kPasswordsSavedMessage, kSuccessCaption, MB_OK);
}

void OnCommand(HWND window, int id) {
    if (id == kTableCopyId) Copy(window, hPreviewEdit, kTableCopiedMessage);
    if (id == kPasswordCopyId) Copy(window, hPasswordPreviewEdit, kPasswordsCopiedMessage);
    if (id == kTableSaveId) SaveTablePreview(window);
    if (id == kPasswordSaveId) SavePasswordPreview(window);
    if (id == kTableCloseId || id == kPasswordCloseId) DestroyWindow(window);
}

// The box is in 96-dpi pixels measured from the client's top left; the client size is the window's own.
void MoveControl(HWND control, const LayoutBox& box, int dpi) {
    const LayoutBox placed = ScaleBox(box, dpi);
    if (control) SetWindowPos(control, nullptr, placed.x, placed.y, placed.width, placed.height, SWP_NOZORDER);
}

// The text field takes what the window gives it; the buttons and the note keep their distance from
// the bottom edge.
void OnSize(HWND window, int width, int height) {
    const PreviewKind* kind = KindOf(window);
    if (!kind) return;  // still being created: the controls keep their creation geometry
    const int dpi = WindowDpi(window);
    // The client size back in 96-dpi pixels, so the margins below are the layout's.
    const int w = MulDiv(width, kBaseDpi, dpi), h = MulDiv(height, kBaseDpi, dpi);
    MoveControl(*kind->edit, {10, 10, w - 20, h - 120}, dpi);
    const int buttonY = h - 80, infoY = h - 40;
    MoveControl(GetDlgItem(window, kind->firstId), {10, buttonY, 150, 30}, dpi);
    MoveControl(GetDlgItem(window, kind->firstId + 1), {170, buttonY, 150, 30}, dpi);
    MoveControl(GetDlgItem(window, kind->firstId + 2), {330, buttonY, 150, 30}, dpi);
    MoveControl(GetDlgItem(window, kind->firstId + 3), {10, infoY, w - 20, 20}, dpi);
}

void OnDestroy(HWND window) {
    KillTimer(window, kPreviewFillTimerId);
    if (window == hPreviewWindow) {
        ForgetPreviewText(hPreviewEdit);
        hPreviewWindow = hPreviewEdit = nullptr;
    } else if (window == hPasswordPreviewWindow) {
        ForgetPreviewText(hPasswordPreviewEdit);
        hPasswordPreviewWindow = hPasswordPreviewEdit = nullptr;
    }
}
}  // namespace

void ShowPreviewWindow(const std::string& content) { ShowPreview(kTablePreview, content); }
void ShowPasswordPreviewWindow(const std::string& content) { ShowPreview(kPasswordPreview, content); }

void SaveMergeTable(const std::string& content) {
    if (content.empty()) {
        ShowMessage(hMergeWindow, kNoDataToSaveMessage, kErrorCaption, MB_OK);
        return;
    }
    char start[20];
    GetStartNumberString(start, sizeof start);
    const std::string countText = ReadField(hMergeCountEdit, 19);
    const bool useList1 = IsChecked(hUseList1Check);
    const SaveRange range = MergeSaveRange(start, countText, useList1, mergeList1.size());
    std::wstring path;
    if (!AskSaveFileName(hMergeWindow, MergeSaveDefaultFileName(useList1, range), path)) return;
    if (!WriteTextFile(path, content)) {
        ShowMessage(hMergeWindow, kSaveErrorMessage, kErrorCaption, MB_OK);
        return;
    }
    // The text was made just now from these options: only the one-value-a-line form has no header.
    const TableShape shape = SavedTableShape(content, !IsChecked(hForBarcodeCheck));
    const std::string message = MergeSavedMessage(kPathMarker, shape.rows, shape.columns, range.items, useList1);
    ShowMessageWithPath(hMergeWindow, message, path, kSuccessCaption);
}

LRESULT CALLBACK PreviewWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: OnSize(hWnd, LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_DPICHANGED: ApplyDpiChange(hWnd, wParam, lParam); return 0;
        case WM_COMMAND: OnCommand(hWnd, LOWORD(wParam)); return 0;
        case WM_TIMER: if (wParam == kPreviewFillTimerId) ContinuePreviewFill(hWnd); return 0;
        case WM_CLOSE: DestroyWindow(hWnd); return 0;
        case WM_DESTROY: OnDestroy(hWnd); return 0;
        default: return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
