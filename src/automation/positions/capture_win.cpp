// The position rows of the main window, the capture key (a low-level keyboard hook that takes the
// mouse position) and the save/open dialogs of the coordinates file.
#include "automation/positions/capture_win.h"

#include "automation/positions/automation_state.h"
#include "automation/positions/coordinates.h"
#include "automation/positions/window_place_win.h"
#include "platform/captions.h"
#include "platform/controls_win.h"
#include "platform/dpi_win.h"
#include "platform/file_dialog_win.h"
#include "platform/file_io.h"
#include "platform/message_box_win.h"
#include "platform/text_win.h"

#include <string>
#include <vector>

static_assert(kScrollLineUp == SB_LINEUP && kScrollLineDown == SB_LINEDOWN && kScrollPageUp == SB_PAGEUP &&
                  kScrollPageDown == SB_PAGEDOWN && kScrollThumbPosition == SB_THUMBPOSITION &&
                  kScrollThumbTrack == SB_THUMBTRACK && kScrollTop == SB_TOP && kScrollBottom == SB_BOTTOM &&
                  kScrollEnd == SB_ENDSCROLL,
              "scroll request codes must match the scroll bar's");

namespace {
HWND rowsParent = nullptr;  // the main window
HWND hCoordsScroll = nullptr;
std::vector<HWND> coordEdits;      // X and Y field of every row shown, X first
std::vector<HWND> captureButtons;  // "Захват" button of every row shown
std::vector<HWND> rowLabels;       // the number labels, kept only to destroy them with their rows
HHOOK g_keyboardHook = nullptr;
int scrollPos = 0;                 // index of the entry shown in the top row
constexpr int visibleRows = 10;
int currentCaptureIndex = -1;      // entry the pending capture fills

constexpr DWORD kCaptureKey = VK_OEM_3;  // the key left of 1 on the top row
constexpr int kFirstRowY = 265;
constexpr int kRowPitch = 25;

// One row's four controls; y is added per row. The fields are read-only: points come only from a
// capture or a file.
constexpr DWORD kFieldStyle = WS_VISIBLE | WS_BORDER | ES_READONLY | ES_NUMBER;
const ControlRow kRowLabel = {"STATIC", "", WS_VISIBLE, 10, 0, 20, 20, 0, nullptr};
const ControlRow kRowXField = {"EDIT", "", kFieldStyle, 35, 0, 60, 20, 0, nullptr};
const ControlRow kRowYField = {"EDIT", "", kFieldStyle, 99, 0, 60, 20, 0, nullptr};
const ControlRow kRowButton = {"BUTTON", "Захват", WS_VISIBLE, 162, 0, 65, 20, 0, nullptr};

HWND CreateRowControl(const ControlRow& layout, int row, const std::string& text) {
    ControlRow placed = layout;
    placed.y = kFirstRowY + kRowPitch * row;
    placed.text = text.c_str();
    return CreateControlRow(rowsParent, placed);
}

std::string CoordinateText(int value, bool shown) { return shown ? std::to_string(value) : std::string(); }

void DestroyRows() {
    for (const std::vector<HWND>* list : {&rowLabels, &coordEdits, &captureButtons})
        for (HWND control : *list) DestroyWindow(control);
    rowLabels.clear();
    coordEdits.clear();
    captureButtons.clear();
}

void RemoveCaptureHook() {
    if (g_keyboardHook) UnhookWindowsHookEx(g_keyboardHook);
    g_keyboardHook = nullptr;
}

// Stores the cursor position into the pending entry and shows it if its row is visible; false when
// the entry no longer exists (the count was lowered meanwhile), so the capture stays pending.
bool TakeCursorPosition() {
    // Physical screen pixels, as the run replays them, whatever DPI the monitor under it has.
    POINT cursor = {};
    GetPhysicalCursorPos(&cursor);
    if (currentCaptureIndex < 0 || currentCaptureIndex >= static_cast<int>(positions.size())) return false;
    // The window under the point too, so that a run can find the point again where the window is then.
    positions[currentCaptureIndex] = {cursor.x, cursor.y, CapturedWindowAt(cursor)};
    const int row = currentCaptureIndex - scrollPos;
    if (row >= 0 && row < static_cast<int>(coordEdits.size() / 2)) {
        SetControlText(coordEdits[2 * row], std::to_string(cursor.x));
        SetControlText(coordEdits[2 * row + 1], std::to_string(cursor.y));
    }
    RemoveCaptureHook();
    return true;
}

void ShowLoadRefusal(const std::string& why) { ShowMessage(rowsParent, why, kErrorCaption, MB_OK | MB_ICONERROR); }
}  // namespace

void AttachCoordinateRows(HWND parent, HWND scrollBar) {
    rowsParent = parent;
    hCoordsScroll = scrollBar;
}

void UpdateCoordinateFields(int count) {
    DestroyRows();
    ResizePositions(positions, count);
    scrollPos = 0;
    SetScrollRange(hCoordsScroll, SB_CTL, 0, MaxScrollPos(static_cast<int>(positions.size()), visibleRows), TRUE);
    SetScrollPos(hCoordsScroll, SB_CTL, 0, TRUE);
    UpdateScroll();
}

void UpdateScroll() {
    DestroyRows();
    const int rows = RowsShown(static_cast<int>(positions.size()), scrollPos, visibleRows);
    for (int r = 0; r < rows; ++r) {
        const int i = scrollPos + r;
        const Position& p = positions[i];
        // A point on the left screen edge (x = 0) is a real capture and is shown like any other.
        const bool shown = IsPositionSet(p);
        rowLabels.push_back(CreateRowControl(kRowLabel, r, std::to_string(i + 1) + ":"));
        coordEdits.push_back(CreateRowControl(kRowXField, r, CoordinateText(p.x, shown)));
        coordEdits.push_back(CreateRowControl(kRowYField, r, CoordinateText(p.y, shown)));
        captureButtons.push_back(CreateRowControl(kRowButton, r, kRowButton.text));
    }
}

LRESULT OnCoordsScroll(WPARAM wParam) {
    const int target =
        ScrollTarget(scrollPos, LOWORD(wParam), HIWORD(wParam), static_cast<int>(positions.size()), visibleRows);
    if (target != scrollPos) {
        scrollPos = target;
        SetScrollPos(hCoordsScroll, SB_CTL, scrollPos, TRUE);
        UpdateScroll();
    }
    return 0;
}

void CaptureCoordinates(int index) {
    currentCaptureIndex = index + scrollPos;
    RemoveCaptureHook();
    g_keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleW(nullptr), 0);
}

LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode >= 0 && wParam == WM_KEYDOWN) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (key->vkCode == kCaptureKey && TakeCursorPosition()) return 1;  // swallowed: it did its job
    }
    return CallNextHookEx(g_keyboardHook, nCode, wParam, lParam);
}

// In physical pixels: the program is aware of every monitor's DPI, so the system scales nothing.
ScreenArea CurrentVirtualScreen() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool OnCaptureButton(HWND control) {
    for (size_t i = 0; i < captureButtons.size(); ++i) {
        if (control == captureButtons[i]) {
            CaptureCoordinates(static_cast<int>(i));
            return true;
        }
    }
    return false;
}

void SaveCoordinates() {
    std::wstring fileName;
    if (!AskSaveFileName(rowsParent, kDefaultCoordinatesFileName, fileName)) return;
    // Written to a temporary file and moved over the old one, so a failure never leaves half a list.
    if (WriteFileAtomically(Utf8FromWide(fileName), FormatCoordinates(positions))) return;
    const DWORD error = GetLastError();
    std::wstring text = WideFromCp1251("Не удалось сохранить координаты захватов в файл\n") + fileName;
    const std::wstring reason = SystemErrorText(error);
    if (!reason.empty()) text += L"\n\n" + reason;
    ShowMessageBox(rowsParent, text, WideFromCp1251(kErrorCaption), MB_OK | MB_ICONERROR);
}

bool LoadCoordinates() {
    std::wstring fileName;
    if (!AskOpenFileName(rowsParent, fileName)) return false;

    std::string text;
    const ReadResult read = ReadWholeFile(Utf8FromWide(fileName), text, kMaxCoordinatesFileBytes);
    if (read == ReadResult::kTooLarge) ShowLoadRefusal(CoordinatesFileTooLargeMessage());
    if (read != ReadResult::kRead) return false;
    std::vector<Position> loaded = ParseCoordinates(text, PrimaryMonitorDpi());
    // The list, the per-page choice and the rows must agree, so a list they cannot show is refused
    // and the current one kept.
    const std::string problem = CoordinatesLoadProblem(loaded.size());
    if (!problem.empty()) {
        ShowLoadRefusal(problem);
        return false;
    }
    positions = std::move(loaded);
    const std::string warning =
        OffScreenLoadWarning(positions, RowsOffScreen(positions, positions.size(), CurrentVirtualScreen()));
    if (!warning.empty()) ShowMessage(rowsParent, warning, kErrorCaption, MB_OK | MB_ICONWARNING);
    return true;
}
