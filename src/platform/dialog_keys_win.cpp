// Tab order by position rather than by creation: the windows create their controls in a fixed order
// that other code relies on, and that order is not the order a reader's eye takes.
#include "platform/dialog_keys_win.h"

#include <algorithm>
#include <vector>

namespace {
struct KeyedWindow {
    HWND window;
    bool enterAndEscape;
};
std::vector<KeyedWindow> keyedWindows;  // a handful at most; closed ones are dropped when seen

// Controls whose tops are this close count as one row (a check box beside a button is a pixel off).
constexpr LONG kRowTolerance = 8;

const KeyedWindow* ActiveKeyedWindow() {
    keyedWindows.erase(std::remove_if(keyedWindows.begin(), keyedWindows.end(),
                                      [](const KeyedWindow& k) { return !IsWindow(k.window); }),
                       keyedWindows.end());
    HWND active = GetActiveWindow();
    for (const KeyedWindow& k : keyedWindows)
        if (k.window == active) return &k;
    return nullptr;
}

bool IsKey(const MSG& msg, WPARAM key) {
    return (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) && msg.wParam == key;
}

bool IsArrowKey(const MSG& msg) {
    return (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam >= VK_LEFT && msg.wParam <= VK_DOWN;
}

struct Stop {
    HWND control;
    RECT rect;  // in the window's client coordinates
};

std::vector<HWND> TabStopsInScreenOrder(HWND window) {
    std::vector<Stop> stops;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) || !IsWindowVisible(child) || !IsWindowEnabled(child))
            continue;
        Stop stop{child, {}};
        GetWindowRect(child, &stop.rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&stop.rect), 2);
        stops.push_back(stop);
    }
    std::stable_sort(stops.begin(), stops.end(), [](const Stop& a, const Stop& b) { return a.rect.top < b.rect.top; });
    // Rows: each begins with the highest control not yet placed; within a row, left to right.
    for (size_t begin = 0; begin < stops.size();) {
        size_t end = begin + 1;
        while (end < stops.size() && stops[end].rect.top - stops[begin].rect.top <= kRowTolerance) ++end;
        std::stable_sort(stops.begin() + static_cast<long>(begin), stops.begin() + static_cast<long>(end),
                         [](const Stop& a, const Stop& b) { return a.rect.left < b.rect.left; });
        begin = end;
    }
    std::vector<HWND> order;
    for (const Stop& stop : stops) order.push_back(stop.control);
    return order;
}
}  // namespace

void UseDialogKeys(HWND window, bool enterAndEscape) { keyedWindows.push_back({window, enterAndEscape}); }

void MoveFocusToNextTabStop(HWND window, bool backward) {
    const std::vector<HWND> order = TabStopsInScreenOrder(window);
    if (order.empty()) return;
    // The focused control, or the control of the window that holds it (a combo box's own edit).
    HWND focus = GetFocus();
    while (focus && GetParent(focus) != window && focus != window) focus = GetParent(focus);
    const auto at = std::find(order.begin(), order.end(), focus);
    size_t next;
    if (at == order.end())
        next = backward ? order.size() - 1 : 0;
    else
        next = (static_cast<size_t>(at - order.begin()) + (backward ? order.size() - 1 : 1)) % order.size();
    HWND target = order[next];
    SetFocus(target);
    // As in a dialog, a field reached with Tab has its text selected, ready to be typed over.
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(target, EM_SETSEL, 0, -1);
}

bool TranslateDialogKeys(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    const KeyedWindow* keyed = ActiveKeyedWindow();
    if (!keyed || (msg.hwnd != keyed->window && !IsChild(keyed->window, msg.hwnd))) return false;
    const bool ctrlOrAlt = (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000);
    if (IsKey(msg, VK_TAB) && !ctrlOrAlt) {
        if (msg.message == WM_KEYDOWN) MoveFocusToNextTabStop(keyed->window, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        return true;
    }
    // Arrows would move the focus in creation order among the buttons; they keep their own meaning.
    if (IsArrowKey(msg)) return false;
    if (!keyed->enterAndEscape && (IsKey(msg, VK_RETURN) || IsKey(msg, VK_ESCAPE))) return false;
    return IsDialogMessageW(keyed->window, &msg) != FALSE;
}
