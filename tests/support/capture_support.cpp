// Implementation of capture_support.h.
#include "capture_support.h"

#include "app/main_window_ids.h"

#include <algorithm>
#include <map>
#include <future>
#include <mutex>
#include <thread>

namespace harness {

namespace {
// The rows lie left of the scroll bar, from y 265 down to 510; the two links below start at 513.
constexpr int kRowsTop = 265, kRowsBottom = 510;
constexpr int kLabelX = 10, kXFieldX = 35, kYFieldX = 99, kButtonX = 162;

constexpr UINT kTakeFocus = WM_APP + 1;

std::mutex keysLock;
std::vector<int> recordedKeys;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        std::lock_guard<std::mutex> hold(keysLock);
        recordedKeys.push_back(static_cast<int>(wParam));
        return 0;
    }
    if (message == kTakeFocus) {
        SetFocus(window);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

std::vector<PositionRow> PositionRows(HWND mainWindow) {
    std::map<int, PositionRow> byTop;
    for (HWND child : Children(mainWindow)) {
        if (!IsWindowVisible(child)) continue;
        RECT r = RectInParent(child);
        if (r.top < kRowsTop || r.top >= kRowsBottom) continue;
        PositionRow& row = byTop[r.top];
        if (r.left == kLabelX) row.label = child;
        else if (r.left == kXFieldX) row.x = child;
        else if (r.left == kYFieldX) row.y = child;
        else if (r.left == kButtonX) row.button = child;
    }
    std::vector<PositionRow> rows;
    for (const auto& entry : byTop)
        if (entry.second.label || entry.second.x || entry.second.y || entry.second.button) rows.push_back(entry.second);
    return rows;
}

std::vector<std::wstring> RowLabels(HWND mainWindow) {
    std::vector<std::wstring> labels;
    for (const PositionRow& row : PositionRows(mainWindow)) labels.push_back(row.label ? TextOf(row.label) : L"?");
    return labels;
}

std::vector<std::pair<std::wstring, std::wstring>> RowValues(HWND mainWindow) {
    std::vector<std::pair<std::wstring, std::wstring>> values;
    for (const PositionRow& row : PositionRows(mainWindow))
        values.emplace_back(row.x ? TextOf(row.x) : L"?", row.y ? TextOf(row.y) : L"?");
    return values;
}

std::vector<std::wstring> Labels(int first, int last) {
    std::vector<std::wstring> labels;
    for (int i = first; i <= last; ++i) labels.push_back(std::to_wstring(i) + L":");
    return labels;
}

std::vector<std::pair<std::wstring, std::wstring>> EmptyRows(int count) {
    return std::vector<std::pair<std::wstring, std::wstring>>(static_cast<size_t>(count), {L"", L""});
}

bool ClickButtonAndWait(HWND button) {
    const DWORD thread = GetWindowThreadProcessId(button, nullptr);
    auto state = [thread] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(thread, &info);
        return info;
    };
    // Wine now and then drops a click that arrives while the foreground is changing hands; a press
    // that never reached the button (it did not take the focus) is made again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        Click(button);
        if (!WaitUntil([&] { return state().hwndFocus == button; }, milliseconds(1500))) continue;
        return WaitUntil([&] { return !state().hwndCapture; }, milliseconds(3000));
    }
    return false;
}

HWND PerPageCombo(HWND mainWindow) { return ChildById(mainWindow, kBarcodesPerPageComboId); }
HWND CoordsScrollBar(HWND mainWindow) { return FindChild(mainWindow, L"ScrollBar", L""); }
HWND ButtonWithText(HWND mainWindow, const std::wstring& text) { return FindChild(mainWindow, L"Button", text); }

KeyRecorder::KeyRecorder() {
    std::promise<HWND> created;
    std::future<HWND> window = created.get_future();
    // The window lives on its own thread with its own message loop, so it answers activation and
    // focus changes whatever the test's thread is waiting for.
    thread_ = std::thread([&created] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"TestKeyRecorder";
        RegisterClassW(&wc);
        HWND w = CreateWindowExW(0, L"TestKeyRecorder", L"key recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 520, 480,
                                 500, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        created.set_value(w);
        MSG msg;
        while (w && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    });
    window_ = window.get();
    // Created windows become active on their own thread; let that finish before anyone takes the
    // foreground away, or it would take it back.
    WaitUntil([&] { return GetForegroundWindow() == window_; }, milliseconds(2000));
    SendMessageW(window_, WM_NULL, 0, 0);
    Clear();
}

KeyRecorder::~KeyRecorder() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (thread_.joinable()) thread_.join();
}

void KeyRecorder::BringForward() {
    SetForegroundWindow(window_);
    WaitUntil([&] { return GetForegroundWindow() == window_; }, milliseconds(3000));
    SendMessageW(window_, kTakeFocus, 0, 0);
}

void KeyRecorder::Clear() {
    std::lock_guard<std::mutex> hold(keysLock);
    recordedKeys.clear();
}

int KeyRecorder::PressesOf(WORD vk) const {
    std::lock_guard<std::mutex> hold(keysLock);
    return static_cast<int>(std::count(recordedKeys.begin(), recordedKeys.end(), static_cast<int>(vk)));
}

}  // namespace harness
