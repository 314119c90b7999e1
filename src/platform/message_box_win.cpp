// The system's message box sizes its text label to the widest line exactly as the text is measured.
// Where the glyphs come out wider than that measure (Wine places each glyph by the advance of the
// bitmap it renders, which can exceed the measured advance by a pixel), the label's edge cuts the end
// of that line: the full stop of "...к новому запуску." was lost. The label is left-aligned, so
// widening it into the box's right margin moves nothing; it only lets the last glyph be drawn.
#include "platform/message_box_win.h"

#include "platform/gdi_win.h"

#include <algorithm>

namespace {
thread_local int t_depth = 0;                    // message boxes open on this thread, one inside another
thread_local const std::wstring* t_text = nullptr;  // the text of the innermost one

RECT MeasuredText(HDC dc, const std::wstring& text, UINT format, int width) {
    RECT r = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
    return r;
}

// Widens the left-aligned label by the most, up to one average character and no further than the
// box's client area, at which its text breaks into the same lines: a greedy line break gives the same
// lines at a larger width exactly when no line measures wider than it did.
void GiveTextRoom(HWND box, HWND label, const std::wstring& text) {
    const LONG_PTR style = GetWindowLongPtrW(label, GWL_STYLE);
    if ((style & SS_TYPEMASK) != SS_LEFT || (GetWindowLongPtrW(label, GWL_EXSTYLE) & WS_EX_RIGHT)) return;
    RECT placed, client;
    GetWindowRect(label, &placed);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&placed), 2);
    GetClientRect(box, &client);
    const int width = placed.right - placed.left, height = placed.bottom - placed.top;
    OwnedDc dc(label);
    SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.Get(), &metrics);
    const UINT format = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0) |
                        ((style & SS_EDITCONTROL) ? DT_EDITCONTROL : 0);
    const RECT before = MeasuredText(dc.Get(), text, format, width);
    for (int extra = std::min<int>(metrics.tmAveCharWidth, client.right - placed.right); extra > 0; --extra) {
        const RECT after = MeasuredText(dc.Get(), text, format, width + extra);
        if (after.right <= before.right && after.bottom == before.bottom) {
            SetWindowPos(label, nullptr, 0, 0, width + extra, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
    }
}

// After the box's own WM_INITDIALOG has laid it out, before it is first drawn.
LRESULT CALLBACK AfterDialogInit(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    wchar_t cls[16] = {};
    if (code == HC_ACTION && call->message == WM_INITDIALOG && t_text && GetClassNameW(call->hwnd, cls, 16) &&
        lstrcmpW(cls, L"#32770") == 0) {
        // The label that holds this box's text; any other dialog shown meanwhile is left as it is.
        for (HWND child = GetWindow(call->hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t childCls[16] = {};
            const int length = GetWindowTextLengthW(child);
            if (!GetClassNameW(child, childCls, 16) || lstrcmpiW(childCls, L"Static") != 0 ||
                length != static_cast<int>(t_text->size()))
                continue;
            std::wstring shown(length + 1, L'\0');
            shown.resize(GetWindowTextW(child, &shown[0], length + 1));
            if (shown == *t_text) GiveTextRoom(call->hwnd, child, shown);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    // One hook for the thread, however many boxes are open inside one another.
    HHOOK hook = t_depth == 0 ? SetWindowsHookExW(WH_CALLWNDPROCRET, AfterDialogInit, nullptr, GetCurrentThreadId())
                              : nullptr;
    const std::wstring* outer = t_text;
    t_text = &text;
    ++t_depth;
    const int answer = MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    --t_depth;
    t_text = outer;
    if (hook) UnhookWindowsHookEx(hook);
    return answer;
}
