// Windows by point and by program and class, with their client areas in physical pixels (this
// program is aware of every monitor's DPI, so the system scales none of these numbers).
#include "automation/positions/window_place_win.h"

#include "platform/text_win.h"

#include <cwchar>

namespace {
bool AreaOf(HWND window, ClientArea& area) {
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return false;
    area = {origin.x, origin.y, client.right - client.left, client.bottom - client.top};
    return true;
}

std::string ClassNameOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return Cp1251FromWide(name);
}
}  // namespace

std::string ProgramNameOf(DWORD process) {
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (!handle) return {};
    wchar_t path[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    const BOOL known = QueryFullProcessImageNameW(handle, 0, path, &size);
    CloseHandle(handle);
    if (!known) return {};
    const wchar_t* name = wcsrchr(path, L'\\');
    return Cp1251FromWide(name ? name + 1 : path);
}

CapturedWindow CapturedWindowAt(POINT point) {
    CapturedWindow captured;
    HWND under = WindowFromPhysicalPoint(point);
    HWND root = under ? GetAncestor(under, GA_ROOT) : nullptr;
    if (!root || root == GetDesktopWindow() || root == GetShellWindow()) return captured;
    DWORD process = 0;
    GetWindowThreadProcessId(root, &process);
    if (process == GetCurrentProcessId()) return captured;
    CapturedWindow found;
    found.program = ProgramNameOf(process);
    found.className = ClassNameOf(root);
    if (found.program.empty() || found.className.empty() || !AreaOf(root, found.area)) return captured;
    return found;
}

std::vector<PlacedWindow> PlacedWindowsOf(const std::string& program, const std::string& className) {
    struct Search {
        const std::string& program;
        const std::string& className;
        std::vector<PlacedWindow> found;
    } search{program, className, {}};
    // EnumWindows goes from the top of the z-order down.
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!IsWindowVisible(window) || IsIconic(window) || ClassNameOf(window) != s->className) return TRUE;
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            PlacedWindow placed;
            placed.owner = {reinterpret_cast<std::uintptr_t>(window), process};
            if (ProgramNameOf(process) == s->program && AreaOf(window, placed.area)) s->found.push_back(placed);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
