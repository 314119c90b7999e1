// Implementation of the merge window helpers (see merge_window.h).
#include "merge_window.h"

#include <gtest/gtest.h>

namespace harness {

HWND OpenMergeWindow(const App& app) {
    HWND button = FindChild(app.window, L"Button", L"СЛИЯНИЕ ПРИ ПЕЧАТИ");
    if (!button) return nullptr;
    Click(button);
    return WaitForTopWindow(app.process.Id(), L"BarcodeMerge");
}

HWND MergeChildAt(HWND merge, int index) {
    const std::vector<HWND> children = Children(merge);
    return index < static_cast<int>(children.size()) ? children[static_cast<size_t>(index)] : nullptr;
}

namespace {
HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}
}  // namespace

bool TypeInto(HWND field, const std::wstring& text) {
    // A busy machine can drop the click that focuses the field; a second try types it again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        Click(field);
        // The click is handled after messages sent to the field, so select only once it has landed.
        WaitUntil([&] { return FocusOf(field) == field; }, milliseconds(3000));
        Sleep(50);
        SendMessageW(field, EM_SETSEL, 0, -1);
        if (text.empty()) {
            PressKey(VK_DELETE);
        } else {
            TypeText(text);
        }
        if (WaitUntil([&] { return TextOf(field) == text; }, milliseconds(3000))) return true;
    }
    return false;
}

HWND WaitForWindow(DWORD pid, const std::wstring& className, const std::wstring& caption, milliseconds timeout) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w : TopWindows(pid, className))
            if (TextOf(w) == caption) { found = w; return true; }
        return false;
    }, timeout);
    return found;
}

HWND WaitForTablePreview(const App& app, milliseconds timeout) {
    return WaitForWindow(app.process.Id(), L"BarcodePreview", L"Предварительный просмотр таблицы", timeout);
}

HWND WaitForPasswordPreview(const App& app, milliseconds timeout) {
    return WaitForWindow(app.process.Id(), L"BarcodePreview", L"Сгенерированные пароли", timeout);
}

void MoveAside(HWND preview) {
    SetWindowPos(preview, nullptr, 640, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WaitUntil([&] {
        RECT rect;
        GetWindowRect(preview, &rect);
        return rect.left == 640;
    }, milliseconds(3000));
}

TimedPreview ClickAndTimePreview(HWND merge, int buttonId, const std::function<HWND()>& waitForPreview) {
    BringToFront(merge);
    const POINT at = CenterOf(ChildById(merge, buttonId));
    MoveMouse(at);  // so the clock covers the click alone
    TimedPreview timed;
    timed.clicked = std::chrono::steady_clock::now();
    ClickAt(at);
    timed.preview = waitForPreview();
    if (!timed.preview) return timed;
    timed.field = PreviewField(timed.preview);
    if (WaitUntil([&] { return SendMessageW(timed.field, WM_GETTEXTLENGTH, 0, 0) > 0; }, milliseconds(5000),
                  milliseconds(2)))
        timed.shown = std::chrono::duration<double>(std::chrono::steady_clock::now() - timed.clicked).count();
    return timed;
}

HWND PreviewField(HWND preview) { return FindWindowExW(preview, nullptr, L"Edit", nullptr); }

std::string PreviewBytes(HWND preview) { return ToCp1251(TextOf(PreviewField(preview))); }

std::string WaitForPreviewChange(HWND preview, const std::string& before, milliseconds timeout) {
    // Two equal reads in a row: a read that crosses a change of the text may catch part of it.
    std::string now = before;
    WaitUntil([&] {
        if ((now = PreviewBytes(preview)) == before) return false;
        Sleep(100);
        return PreviewBytes(preview) == now;
    }, timeout);
    return now;
}

void MergeWindowTest::SetUp() {
    ASSERT_TRUE(StartApp(app));
    merge = OpenMergeWindow(app);
    ASSERT_TRUE(merge);
}

HWND MergeWindowTest::ClickForPreview(int buttonId, HWND (*waitForPreview)(const App&, milliseconds)) {
    Click(ChildById(merge, buttonId));
    HWND preview = waitForPreview(app, kDefaultTimeout);
    if (preview) MoveAside(preview);
    return preview;
}

bool ExpectMessage(DWORD pid, const std::wstring& caption, const std::wstring& text) {
    MessageBoxInfo box = WaitForMessageBox(pid);
    EXPECT_TRUE(box.window) << "no message box";
    if (!box.window) return false;
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    AnswerMessageBox(box.window);
    return box.caption == caption && box.text == text;
}

}  // namespace harness
