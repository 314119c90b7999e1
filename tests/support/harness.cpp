// Implementation of the end-to-end harness (see harness.h).
#include "harness.h"

#include "fixtures/fixture_log.h"

#include <thread>

namespace harness {

std::wstring LinuxToWine(const std::string& path) {
    std::wstring out = (path.size() > 1 && path[1] == ':') ? L"" : L"Z:";
    for (char c : path) out += (c == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

namespace {

void CreateDirectories(const std::wstring& path) {
    for (size_t pos = path.find(L'\\', 3); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1))
        CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

void Sleep(milliseconds duration) { std::this_thread::sleep_for(duration); }

// A mouse event that carries its own screen position. Under Wine a cursor moved with SetCursorPos can
// briefly snap back to where it was, so a button event without a position may land on the previous spot.
void SendMouseAt(POINT screen, DWORD flags) {
    const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + height - 1) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void SendKey(WORD vk, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

HWND FileNameField(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47c)) {  // cmb13: the file name combo box
        if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, 0x480);  // edt1
}

// Whether an icon control of another process shows `icon`, judged by the pixels on the screen: icon
// handles are private to each process under Wine, so comparing handles says nothing there.
bool ShowsIcon(HWND control, HICON icon) {
    RECT rect;
    GetWindowRect(control, &rect);
    const int width = GetSystemMetrics(SM_CXICON), height = GetSystemMetrics(SM_CYICON);
    HDC screen = GetDC(nullptr);
    HDC shown = CreateCompatibleDC(screen), drawn = CreateCompatibleDC(screen);
    HBITMAP shownBits = CreateCompatibleBitmap(screen, width, height), drawnBits = CreateCompatibleBitmap(screen, width, height);
    SelectObject(shown, shownBits);
    SelectObject(drawn, drawnBits);
    bool same = false;
    for (int attempt = 0; attempt < 20 && !same; ++attempt) {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        BitBlt(shown, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        HBRUSH background = CreateSolidBrush(GetPixel(shown, 0, 0));  // icon corners are transparent
        RECT all = {0, 0, width, height};
        FillRect(drawn, &all, background);
        DeleteObject(background);
        DrawIconEx(drawn, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        same = true;
        for (int y = 0; y < height && same; ++y)
            for (int x = 0; x < width && same; ++x) same = GetPixel(shown, x, y) == GetPixel(drawn, x, y);
        if (!same) Sleep(milliseconds(50));
    }
    DeleteDC(shown);
    DeleteDC(drawn);
    DeleteObject(shownBits);
    DeleteObject(drawnBits);
    ReleaseDC(nullptr, screen);
    return same;
}

HWND WaitForFileDialog(DWORD pid, milliseconds timeout) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND w : TopWindows(pid, L"#32770"))
            if (FileNameField(w)) { found = w; return true; }
        return false;
    }, timeout);
    return found;
}
}  // namespace

// --- Paths -------------------------------------------------------------------------------------------

std::wstring BuildDir() { return LinuxToWine(TEST_BUILD_DIR); }

namespace {
// A folder named by a Unix path in the environment, or `fallback`.
std::wstring FolderFromEnvironment(const wchar_t* name, const std::wstring& fallback) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024) return fallback;
    std::string unixPath;
    for (const wchar_t* c = value; *c; ++c) unixPath += static_cast<char>(*c);  // build paths are ASCII
    return LinuxToWine(unixPath);
}
}  // namespace

std::wstring SuiteDir() { return FolderFromEnvironment(L"TEST_SUITE_DIR", JoinPath(BuildDir(), L"wine")); }
std::wstring WorldDir() { return FolderFromEnvironment(L"TEST_WORLD_DIR", JoinPath(BuildDir(), L"wine")); }

std::wstring ExeDir() {
    const std::wstring suite = SuiteDir();
    return FileExists(JoinPath(suite, L"RizidudUdaravuzuv.exe")) ? suite : BuildDir();
}
std::wstring ExePath() { return JoinPath(ExeDir(), L"RizidudUdaravuzuv.exe"); }
std::wstring FixturePath(const std::wstring& name) { return JoinPath(BuildDir(), name + L".exe"); }
std::wstring JoinPath(const std::wstring& dir, const std::wstring& name) {
    return (!dir.empty() && dir.back() == L'\\') ? dir + name : dir + L"\\" + name;
}

std::wstring MakeTempDir(const std::wstring& hint) {
    static int counter = 0;
    std::wstring dir = JoinPath(SuiteDir(), L"work\\" + hint + L"-" + std::to_wstring(GetCurrentProcessId()) +
                                                L"-" + std::to_wstring(++counter) + L"-" +
                                                std::to_wstring(GetTickCount()));
    CreateDirectories(dir);
    return dir;
}

// --- Files -------------------------------------------------------------------------------------------

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// --- Processes ---------------------------------------------------------------------------------------

Process::~Process() {
    Kill();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool Process::Start(const std::wstring& exe, const std::wstring& workDir, const std::wstring& args) {
    // A process started again in the same record (the app restarted in its folder): the old one ends
    // and its handles go.
    Kill();
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
    info_ = {};
    std::wstring commandLine = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &startup, &info_) != FALSE;
}

bool Process::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

DWORD Process::WaitExit(milliseconds timeout) {
    if (!info_.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Process::Kill() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

void RemoveCacheFilesBesideExe() {
    for (const wchar_t* name : {L"title.dat", L"inspirational.dat"}) DeleteFileW(JoinPath(ExeDir(), name).c_str());
}

bool StartApp(App& app, const std::wstring& workDir, milliseconds timeout) {
    RemoveCacheFilesBesideExe();
    return StartAppWithCacheFiles(app, workDir, timeout);
}

bool StartAppWithFile(App& app, const std::wstring& name, const std::string& bytes) {
    const std::wstring dir = MakeTempDir();
    WriteFileBytes(JoinPath(dir, name), bytes);
    return StartApp(app, dir);
}

bool StartAppWithCacheFiles(App& app, const std::wstring& workDir, milliseconds timeout) {
    app.workDir = workDir.empty() ? MakeTempDir(L"app") : workDir;
    if (!app.process.Start(ExePath(), app.workDir)) return false;
    app.window = WaitForTopWindow(app.process.Id(), L"RizidudUdaravuzuv", timeout);
    if (!app.window) return false;
    WaitForInputIdle(app.process.Handle(), static_cast<DWORD>(timeout.count()));
    return true;
}

DWORD CloseApp(App& app, milliseconds timeout) {
    if (app.window && IsWindow(app.window)) PostMessageW(app.window, WM_CLOSE, 0, 0);
    return app.process.WaitExit(timeout);
}

std::string SettingsIn(const App& app) { return ReadFileBytes(JoinPath(app.workDir, L"barcode_app.cfg")); }

// --- Windows -----------------------------------------------------------------------------------------

bool PumpUntil(const std::function<bool()>& condition, milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool WaitUntil(const std::function<bool()>& condition, milliseconds timeout, milliseconds step) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(step);
    }
}

std::vector<HWND> TopWindows(DWORD pid, const std::wstring& className) {
    struct Search { DWORD pid; const std::wstring* className; std::vector<HWND> found; } search{pid, &className, {}};
    EnumWindows([](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == s->pid && IsWindowVisible(w) && (s->className->empty() || ClassOf(w) == *s->className))
            s->found.push_back(w);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopWindow(DWORD pid, const std::wstring& className, milliseconds timeout) {
    HWND found = nullptr;
    WaitUntil([&] {
        auto windows = TopWindows(pid, className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    }, timeout);
    return found;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> result;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) result.push_back(child);
    return result;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

std::wstring ShownText(HWND control) {
    const std::wstring text = TextOf(control);
    const std::wstring type = ClassOf(control);
    const bool prefixes = _wcsicmp(type.c_str(), L"Button") == 0 ||
                          (_wcsicmp(type.c_str(), L"Static") == 0 && !(StyleOf(control) & SS_NOPREFIX));
    if (!prefixes) return text;
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;  // the next character is shown (underlined, or the '&')
        shown += text[i];
    }
    return shown;
}

void SetTextOf(HWND control, const std::wstring& text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& text) {
    for (HWND child : Children(parent))
        if (_wcsicmp(ClassOf(child).c_str(), className.c_str()) == 0 && TextOf(child) == text) return child;
    return nullptr;
}

HWND ChildById(HWND parent, int id) { return GetDlgItem(parent, id); }

RECT RectInParent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
int ComboCount(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

std::wstring ComboItem(HWND combo, int index) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    return text;
}

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }
LONG_PTR ExStyleOf(HWND window) { return GetWindowLongPtrW(window, GWL_EXSTYLE); }
bool IsTopmost(HWND window) { return (ExStyleOf(window) & WS_EX_TOPMOST) != 0; }

// --- Input -------------------------------------------------------------------------------------------

void BringToFront(HWND topLevel) {
    SetForegroundWindow(topLevel);
    // The foreground changes at once, but the window's own thread activates it a little later; a
    // click that arrives in between can be lost, so wait for that thread too.
    const DWORD thread = GetWindowThreadProcessId(topLevel, nullptr);
    WaitUntil([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == topLevel && GetGUIThreadInfo(thread, &info) && info.hwndActive == topLevel;
    }, milliseconds(2000));
}

POINT CenterOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void MoveMouse(POINT screen) {
    // Moved again while Wine's cursor has snapped back to the previous spot. The snap-back can come
    // some 100 ms after the move, so the cursor must stay on the target for a while: a key press that
    // reads the cursor (a capture) must not find it at the old spot.
    using clock = std::chrono::steady_clock;
    const auto settled = milliseconds(60), retry = milliseconds(400);
    for (int attempt = 0; attempt < 5; ++attempt) {
        SendMouseAt(screen, 0);
        const auto moved = clock::now();
        auto onTargetSince = moved;
        bool onTarget = false;
        while (clock::now() - moved < retry || onTarget) {
            POINT now = {};
            GetCursorPos(&now);
            const bool there = now.x == screen.x && now.y == screen.y;
            if (there && !onTarget) onTargetSince = clock::now();
            onTarget = there;
            if (onTarget && clock::now() - onTargetSince >= settled) {
                // The snap-back moved the pointer as far as windows can tell; one more move at the
                // target lets the window under it see where the cursor really is (hover, cursor shape).
                SendMouseAt(screen, 0);
                return;
            }
            Sleep(milliseconds(5));
        }
    }
}

void ClickAt(POINT screen) {
    MoveMouse(screen);
    SendMouseAt(screen, MOUSEEVENTF_LEFTDOWN);
    SendMouseAt(screen, MOUSEEVENTF_LEFTUP);
}

void DoubleClickAt(POINT screen) {
    ClickAt(screen);
    ClickAt(screen);
}

void Click(HWND control) {
    BringToFront(GetAncestor(control, GA_ROOT));
    ClickAt(CenterOf(control));
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        SendKey(0, c, KEYEVENTF_UNICODE);
        SendKey(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
}

void KeyDown(WORD vk) { SendKey(vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), 0); }
void KeyUp(WORD vk) { SendKey(vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP); }
bool HoldKey(WORD vk) {
    KeyDown(vk);
    return WaitUntil([vk] { return (GetAsyncKeyState(vk) & 0x8000) != 0; }, milliseconds(3000));
}
void PressKey(WORD vk) {
    KeyDown(vk);
    KeyUp(vk);
}

HWND FocusedControl(HWND topLevel) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(topLevel, nullptr), &info) ? info.hwndFocus : nullptr;
}

std::vector<int> TabThrough(HWND topLevel, size_t count, bool backward) {
    BringToFront(topLevel);
    // Keys go to the active window of the thread: wait until that is this one.
    WaitUntil([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(topLevel, nullptr), &info) && info.hwndActive == topLevel;
    }, milliseconds(3000));
    // Activation puts the focus somewhere (the window or its first stop) a moment later.
    WaitUntil([&] { return FocusedControl(topLevel) != nullptr; }, milliseconds(3000));
    std::vector<int> ids;
    if (backward) HoldKey(VK_SHIFT);
    for (size_t i = 0; i < count; ++i) {
        const HWND before = FocusedControl(topLevel);
        PressKey(VK_TAB);
        HWND now = nullptr;
        // The first key after an activation can take a couple of seconds to arrive under Wine.
        WaitUntil([&] { return (now = FocusedControl(topLevel)) != before && now && now != topLevel; }, milliseconds(6000));
        ids.push_back(now != before && now ? GetDlgCtrlID(now) : 0);
    }
    if (backward) KeyUp(VK_SHIFT);
    return ids;
}

void SelectComboItem(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// --- Message boxes and dialogs ------------------------------------------------------------------------

MessageBoxInfo WaitForMessageBox(DWORD pid, milliseconds timeout) {
    MessageBoxInfo info;
    WaitUntil([&] {
        for (HWND w : TopWindows(pid, L"#32770"))
            if (!FileNameField(w)) { info.window = w; return true; }
        return false;
    }, timeout);
    if (!info.window) return info;
    info.caption = TextOf(info.window);
    HICON information = LoadIcon(nullptr, IDI_INFORMATION);
    for (HWND child : Children(info.window)) {
        if (_wcsicmp(ClassOf(child).c_str(), L"Static") != 0) continue;
        if ((StyleOf(child) & SS_TYPEMASK) == SS_ICON) {
            info.hasInformationIcon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) == information ||
                                      ShowsIcon(child, information);
        } else if (info.text.empty()) {
            info.text = TextOf(child);
        }
    }
    return info;
}

void AnswerMessageBox(HWND box, int buttonId) {
    if (HWND button = GetDlgItem(box, buttonId)) {
        SendMessageW(button, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    }
    WaitUntil([&] { return !IsWindow(box); }, milliseconds(5000));
}

bool CompleteFileDialog(DWORD pid, const std::wstring& path, milliseconds timeout) {
    HWND dialog = SubmitFileDialog(pid, path, timeout);
    return dialog && WaitUntil([&] { return !IsWindow(dialog); }, milliseconds(5000));
}

HWND SubmitFileDialog(DWORD pid, const std::wstring& path, milliseconds timeout) {
    HWND dialog = WaitForFileDialog(pid, timeout);
    if (!dialog) return nullptr;
    SetTextOf(FileNameField(dialog), path);
    // Posted: the dialog may ask something (replace the file?) and would not return until answered.
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return dialog;
}

std::wstring ProposedFileName(DWORD pid, milliseconds timeout) {
    HWND dialog = WaitForFileDialog(pid, timeout);
    return dialog ? TextOf(FileNameField(dialog)) : std::wstring();
}

void CancelFileDialog(DWORD pid, milliseconds timeout) {
    if (HWND dialog = WaitForFileDialog(pid, timeout)) {
        SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        WaitUntil([&] { return !IsWindow(dialog); }, milliseconds(5000));
    }
}

// --- Clipboard ---------------------------------------------------------------------------------------

namespace {
// Another program (the utility copying) may hold the clipboard for a moment.
bool OpenClipboardWhenFree() { return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, milliseconds(3000)); }

template <typename Reader>
auto WithClipboardData(UINT format, Reader reader) -> decltype(reader(nullptr, 0)) {
    decltype(reader(nullptr, 0)) result{};
    if (!OpenClipboardWhenFree()) return result;
    if (HANDLE data = GetClipboardData(format)) {
        if (const void* bytes = GlobalLock(data)) {
            result = reader(bytes, GlobalSize(data));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return result;
}
}  // namespace

std::string ClipboardBytes(UINT format) {
    return WithClipboardData(format, [](const void* p, size_t size) {
        if (!p) return std::string();
        const char* bytes = static_cast<const char*>(p);
        return std::string(bytes, strnlen(bytes, size));
    });
}

std::wstring ClipboardUnicode() {
    return WithClipboardData(CF_UNICODETEXT, [](const void* p, size_t size) {
        if (!p) return std::wstring();
        const wchar_t* text = static_cast<const wchar_t*>(p);
        return std::wstring(text, wcsnlen(text, size / sizeof(wchar_t)));
    });
}

bool ClipboardHas(UINT format) {
    if (!OpenClipboardWhenFree()) return false;
    const bool has = GetClipboardData(format) != nullptr;
    CloseClipboard();
    return has;
}

bool PutOnClipboard(const std::wstring& text) {
    // The clipboard gives data only to an owner window, kept for the life of the test program so
    // another process can still be served what it put there.
    static HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!WaitUntil([] { return OpenClipboard(owner) != FALSE; }, milliseconds(3000))) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (void* target = block ? GlobalLock(block) : nullptr) {
        memcpy(target, text.c_str(), bytes);
        GlobalUnlock(block);
        ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    if (!ok && block) GlobalFree(block);
    CloseClipboard();
    return ok;
}

// --- Text --------------------------------------------------------------------------------------------

std::wstring FromCp1251(const std::string& bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(1251, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(1251, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

std::string ToCp1251(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string ToUtf8(const std::wstring& text) { return fixture::Utf8(text); }

}  // namespace harness
