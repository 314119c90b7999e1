// DPI of windows and monitors. The per-window and per-monitor calls are looked up at run time: the
// program also starts on systems older than they are, where one system DPI holds for every window.
#include "platform/dpi_win.h"

namespace {
// A function of a system DLL, or null where that system has none.
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    HMODULE module = GetModuleHandleW(dll);
    if (!module) module = LoadLibraryW(dll);
    if (!module) return nullptr;
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

int ScreenDeviceDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

// The monitor's DPI as this process sees it (its own where it is per-monitor aware); 0 where the
// system cannot tell (before Windows 8.1).
int MonitorDpi(HMONITOR monitor) {
    static const auto getDpiForMonitor = SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (!getDpiForMonitor || !monitor || FAILED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y))) return 0;
    return static_cast<int>(x);
}
}  // namespace

// Windows 10 1607 and later know each window's DPI; Windows 8.1 knows the monitor's.
int WindowDpi(HWND window) {
    static const auto getDpiForWindow = SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (!window) return SystemDpi();
    if (getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    const int dpi = MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    return dpi > 0 ? dpi : SystemDpi();
}

int SystemDpi() {
    static const int dpi = ScreenDeviceDpi();
    return dpi;
}

int PrimaryMonitorDpi() {
    const int dpi = MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    return dpi > 0 ? dpi : SystemDpi();
}

HWND CreateTopWindowForDpi(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int width,
                           int height, HWND owner) {
    const int system = SystemDpi();
    HWND window = CreateWindowExW(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  ScaleForDpi(width, system), ScaleForDpi(height, system), owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) return nullptr;
    const int dpi = WindowDpi(window);
    if (dpi != system)
        SetWindowPos(window, nullptr, 0, 0, ScaleForDpi(width, dpi), ScaleForDpi(height, dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}
