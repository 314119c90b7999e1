// The automation run bound to this machine: SendInput for the input (a refusal stops the run), the
// keyboard layout of the window in front, a wait that keeps the low-level keyboard hooks answered,
// GetAsyncKeyState for Pause, the PeekMessage pump, the windows (and their processes) under a point
// and in front, a process's windows and rights.
#include "automation/run/run_win.h"

#include "automation/positions/capture_win.h"
#include "automation/input/input.h"
#include "automation/input/wait_until.h"
#include "automation/watch/process_rights.h"
#include "automation/watch/read_back.h"
#include "automation/watch/page_picture_win.h"
#include "automation/positions/window_place_win.h"
#include "automation/run/run_progress.h"
#include "automation/run/run_state.h"
#include "platform/app_window_win.h"
#include "platform/dialog_keys_win.h"
#include "platform/taskbar_win.h"
#include "platform/text_win.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

namespace {
HHOOK g_escapeHook = nullptr;
bool escapeSeen = false;  // raised by the hook; the run stops before its next input
bool quitTaken = false;   // the pump took the quit request of a closed main window
bool inputRefused = false;  // the system took fewer events than were given: input is blocked
int quitCode = 0;
bool timingRaised = false;

// SendInput says how many events it inserted; fewer than given means the system refused them (the
// receiving program runs with higher rights, or the desktop is locked).
bool Send(INPUT* inputs, UINT count) {
    if (SendInput(count, inputs, sizeof(INPUT)) == count) return true;
    inputRefused = true;
    return false;
}

LONGLONG Ticks() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LONGLONG TicksPerSecond() {
    static LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

HKL LayoutHandle(KeyboardLayout layout) { return reinterpret_cast<HKL>(layout); }

WindowOwner OwnerOf(HWND window) {
    WindowOwner owner;
    if (!window) return owner;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    owner.window = reinterpret_cast<std::uintptr_t>(window);
    owner.process = process;
    return owner;
}

// The integrity level of a process token (its mandatory label), 0 when unknown.
DWORD IntegrityLevel(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0) return 0;
    std::vector<BYTE> buffer(size);
    auto* label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer.data());
    if (!GetTokenInformation(token, TokenIntegrityLevel, label, size, &size)) return 0;
    const DWORD count = *GetSidSubAuthorityCount(label->Label.Sid);
    return count ? *GetSidSubAuthority(label->Label.Sid, count - 1) : 0;
}

// Input into a process of a higher integrity level is dropped by the system without an error. Its
// token is asked for with the least access there is; RightsAreHigher weighs what the system told.
bool RunsWithHigherRights(DWORD process) {
    ProcessRightsProbe probe;
    HANDLE own = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own)) {
        probe.ownLevel = IntegrityLevel(own);
        CloseHandle(own);
    }
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    probe.opened = handle != nullptr;
    HANDLE token = nullptr;
    if (handle && OpenProcessToken(handle, TOKEN_QUERY, &token)) {
        probe.level = IntegrityLevel(token);
        probe.tokenRead = probe.level != 0;
        CloseHandle(token);
    }
    if (handle) CloseHandle(handle);
    return RightsAreHigher(probe);
}

// Each read of another program's field waits at most this long, and not at all for a program the
// system sees as hung.
constexpr UINT kFieldReadMs = 200;

// A password edit gives other processes no text (the system answers them with an empty one).
bool IsPasswordField(HWND control) {
    wchar_t className[64] = L"";
    GetClassNameW(control, className, 64);
    return wcsstr(_wcslwr(className), L"edit") && (GetWindowLongPtrW(control, GWL_STYLE) & ES_PASSWORD);
}

// What kind of control has the focus: its class, which keys it wants (WM_GETDLGCODE) and, for an
// edit, where its caret stands (EM_GETSEL's end, packed in the answer: no buffer crosses processes).
void DescribeControl(HWND control, FieldRead& read) {
    const UINT flags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
    wchar_t className[64] = L"";
    GetClassNameW(control, className, 64);
    read.controlClass = Cp1251FromWide(className);
    DWORD_PTR code = 0;
    if (SendMessageTimeoutW(control, WM_GETDLGCODE, 0, 0, flags, kFieldReadMs, &code))
        read.dialogCode = static_cast<unsigned>(code);
    DWORD_PTR selection = 0;
    if (KindOfFocus(read) == FocusKind::kTakesText &&
        SendMessageTimeoutW(control, EM_GETSEL, 0, 0, flags, kFieldReadMs, &selection))
        read.caret = HIWORD(selection);
}

// The focused control of `root`'s thread when it is a child of `root`, read with WM_GETTEXTLENGTH and
// WM_GETTEXT, which the system marshals between processes. Neither answer is trusted for the size:
// the buffer has room for `maxChars` and the text ends where the copy ends or at a NUL before.
// The waits answer sent messages, so the Escape hook keeps being called meanwhile.
FieldRead ReadFieldOf(HWND root, size_t maxChars) {
    FieldRead read;
    read.state = FieldRead::State::kNoField;
    DWORD process = 0, focusProcess = 0;
    const DWORD thread = GetWindowThreadProcessId(root, &process);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!thread || !GetGUIThreadInfo(thread, &info) || !info.hwndFocus || info.hwndFocus == root ||
        GetAncestor(info.hwndFocus, GA_ROOT) != root)
        return read;
    GetWindowThreadProcessId(info.hwndFocus, &focusProcess);
    if (focusProcess != process) return read;
    read.state = FieldRead::State::kFailed;
    const UINT flags = SMTO_NORMAL | SMTO_ABORTIFHUNG;
    DescribeControl(info.hwndFocus, read);
    if (IsPasswordField(info.hwndFocus)) {
        read.state = FieldRead::State::kPassword;
        return read;
    }
    DWORD_PTR length = 0, copied = 0;
    if (!SendMessageTimeoutW(info.hwndFocus, WM_GETTEXTLENGTH, 0, 0, flags, kFieldReadMs, &length)) return read;
    std::vector<wchar_t> buffer(maxChars + 1, L'\0');
    if (!SendMessageTimeoutW(info.hwndFocus, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), flags,
                             kFieldReadMs, &copied))
        return read;
    copied = std::min<DWORD_PTR>(copied, maxChars);
    buffer[copied] = L'\0';
    read.state = FieldRead::State::kText;
    const Cp1251Conversion text = Cp1251FromWideExact(std::wstring(buffer.data(), wcsnlen(buffer.data(), copied)));
    read.text = text.text;
    read.exact = text.Exact();
    return read;
}

struct SystemMachine : Machine {
    // Positions are physical screen pixels from capture to replay.
    void SetCursor(int x, int y) override { SetPhysicalCursorPos(x, y); }

    void SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) override {
        // Absolute coordinates over all monitors: 0..65535 spans the physical virtual screen.
        const ScreenArea screen = CurrentVirtualScreen();
        const LONG dx = NormalizedCoordinate(x, screen.left, screen.width);
        const LONG dy = NormalizedCoordinate(y, screen.top, screen.height);
        std::vector<INPUT> inputs(flags.size());
        for (size_t i = 0; i < flags.size(); ++i) {
            inputs[i].type = INPUT_MOUSE;
            inputs[i].mi.dx = dx;
            inputs[i].mi.dy = dy;
            inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
        }
        Send(inputs.data(), static_cast<UINT>(inputs.size()));
    }

    bool SendUnicodeKey(char16_t unit, bool release) override {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = unit;
        input.ki.dwFlags = KEYEVENTF_UNICODE | (release ? KEYEVENTF_KEYUP : 0);
        return Send(&input, 1);
    }

    // The same event keybd_event makes, through SendInput so that a refusal is seen.
    bool SendVirtualKey(unsigned char vk, bool release) override {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = release ? KEYEVENTF_KEYUP : 0;
        return Send(&input, 1);
    }

    KeyboardLayout ForegroundKeyboardLayout() override {
        // No window in front gives thread 0, this thread: the best guess left.
        const DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
        return reinterpret_cast<KeyboardLayout>(GetKeyboardLayout(thread));
    }

    // The toggle as this thread last saw it; Caps Lock is one light for the whole keyboard.
    bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }

    std::optional<LayoutKey> KeyForCharacter(char16_t unit, KeyboardLayout layout) override {
        const SHORT scan = VkKeyScanExW(static_cast<WCHAR>(unit), LayoutHandle(layout));
        const unsigned vk = LOBYTE(scan), states = HIBYTE(scan);
        // No key (-1), or one that needs a shift state of the layout's own beyond Shift, Ctrl and Alt.
        if (vk == 0xFF || (states & ~7u) != 0) return std::nullopt;
        LayoutKey key;
        key.vk = static_cast<unsigned char>(vk);
        key.shift = (states & 1) != 0;
        key.ctrl = (states & 2) != 0;
        key.alt = (states & 4) != 0;
        return key;
    }

    char16_t CharacterOfKey(const LayoutKey& key, bool capsLock, KeyboardLayout layout) override {
        const HKL hkl = LayoutHandle(layout);
        // A dead key types nothing by itself, and translating it would leave it pending for the
        // next translation of this thread.
        if (MapVirtualKeyExW(key.vk, MAPVK_VK_TO_CHAR, hkl) & 0x80000000u) return 0;
        BYTE state[256] = {};
        if (key.shift) state[VK_SHIFT] = 0x80;
        if (key.ctrl) state[VK_CONTROL] = 0x80;
        if (key.alt) state[VK_MENU] = 0x80;
        if (capsLock) state[VK_CAPITAL] = 0x01;
        WCHAR out[4] = {};
        constexpr UINT kKeepKeyboardState = 0x4;
        const int n = ToUnicodeEx(key.vk, MapVirtualKeyExW(key.vk, MAPVK_VK_TO_VSC, hkl), state, out, 4,
                                  kKeepKeyboardState, hkl);
        return n == 1 ? static_cast<char16_t>(out[0]) : 0;
    }

    // Waits while answering only sent messages, which is how the system calls this thread's
    // low-level keyboard hooks (Escape and capture): a hook kept waiting holds up every key of the
    // desktop, is skipped and at length removed. Window messages stay queued for the pump points.
    void Sleep(unsigned ms) override {
        const LONGLONG end = Ticks() + static_cast<LONGLONG>(ms) * TicksPerSecond() / 1000;
        for (;;) {
            if (PendingStop() != StopCause::kNone) return;
            const LONGLONG left = end - Ticks();
            if (left <= 0) return;
            // Blocks for the whole milliseconds left but one; the last one is waited out in short
            // steps, so a wait ends on time rather than a timer tick late.
            const LONGLONG wholeMs = left * 1000 / TicksPerSecond();
            const DWORD timeout = wholeMs >= 2 ? static_cast<DWORD>(wholeMs - 1) : 0;
            if (MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_SENDMESSAGE, 0) == WAIT_TIMEOUT && timeout == 0)
                SwitchToThread();
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }

    bool PauseDown() override { return CheckPausePressed(); }

    StopCause PendingStop() override {
        if (quitTaken || !AppWindow()) return StopCause::kClosed;
        if (inputRefused) return StopCause::kInputBlocked;
        return escapeSeen ? StopCause::kEscape : StopCause::kNone;
    }

    void PumpMessages() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitTaken = true;
                quitCode = static_cast<int>(msg.wParam);
                return;
            }
            if (TranslateDialogKeys(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void InstallEscapeHook() override {
        escapeSeen = false;
        g_escapeHook = SetWindowsHookExW(WH_KEYBOARD_LL, EscapeHookProc, GetModuleHandleW(nullptr), 0);
    }

    void RemoveEscapeHook() override {
        if (!g_escapeHook) return;
        UnhookWindowsHookEx(g_escapeHook);
        g_escapeHook = nullptr;
    }

    void BeginPreciseTiming() override {
        if (!timingRaised) timingRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
    }

    void EndPreciseTiming() override {
        if (timingRaised) timeEndPeriod(1);
        timingRaised = false;
    }

    ScreenArea VirtualScreen() override { return CurrentVirtualScreen(); }

    long long NowMs() override { return TicksToMs(Ticks(), TicksPerSecond()); }

    std::string LocalTimestamp() override {
        SYSTEMTIME t;
        GetLocalTime(&t);
        char text[32];
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
                      t.wMinute, t.wSecond, t.wMilliseconds);
        return text;
    }

    // Allowed while this program's window is in front, as it is when the user has just answered
    // its question.
    void BringToFront(std::uintptr_t window) override { SetForegroundWindow(reinterpret_cast<HWND>(window)); }

    FieldRead ReadFocusedField(std::uintptr_t window, size_t maxChars) override {
        return ReadFieldOf(reinterpret_cast<HWND>(window), maxChars);
    }

    void FlashMainWindow() override {
        if (HWND window = AppWindow()) FlashWindow(window, TRUE);
    }

    void ShowMessage(const std::string& text, const std::string& caption, bool informationIcon) override {
        ::ShowMessage(AppWindow(), text, caption, MB_OK | (informationIcon ? MB_ICONINFORMATION : 0));
    }

    Answer Ask(const std::string& text, const std::string& caption) override {
        switch (::ShowMessage(AppWindow(), text, caption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES: return Answer::kYes;
            case IDNO: return Answer::kNo;
            default: return Answer::kCancel;
        }
    }

    Answer Confirm(const std::string& text, const std::string& caption) override {
        const int answer = ::ShowMessage(AppWindow(), text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        return answer == IDYES ? Answer::kYes : Answer::kNo;
    }

    // A control or a child window under the point stands for the top-level window it lies in.
    WindowOwner WindowAt(int x, int y) override {
        HWND window = WindowFromPhysicalPoint(POINT{x, y});
        return OwnerOf(window ? GetAncestor(window, GA_ROOT) : nullptr);
    }

    WindowOwner FrontWindow() override { return OwnerOf(GetForegroundWindow()); }

    unsigned long OwnProcess() override { return GetCurrentProcessId(); }

    std::vector<std::uintptr_t> WindowsOf(unsigned long process) override {
        struct Search {
            DWORD process;
            std::vector<std::uintptr_t> found;
        } search{process, {}};
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == s->process && IsWindowVisible(window))
                    s->found.push_back(reinterpret_cast<std::uintptr_t>(window));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // The focus as the window's own thread holds it, asked without a message to that thread.
    bool FocusInside(std::uintptr_t window) override {
        const HWND root = reinterpret_cast<HWND>(window);
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(root, nullptr), &info) || !info.hwndFocus) return false;
        return info.hwndFocus == root || GetAncestor(info.hwndFocus, GA_ROOT) == root;
    }

    bool HasHigherRights(unsigned long process) override { return RunsWithHigherRights(process); }

    bool Answers(std::uintptr_t window) override {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(reinterpret_cast<HWND>(window), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &result) != 0;
    }

    std::uintptr_t ModalOver(std::uintptr_t window) override {
        const HWND page = reinterpret_cast<HWND>(window);
        if (!IsWindow(page) || IsWindowEnabled(page)) return 0;
        const HWND popup = GetLastActivePopup(page);
        return reinterpret_cast<std::uintptr_t>(popup && IsWindowVisible(popup) ? popup : page);
    }

    // Another process's caption is read from the system's copy, without a message to a program
    // that may not be answering.
    std::string WindowTitle(std::uintptr_t window) override {
        wchar_t title[256] = L"";
        GetWindowTextW(reinterpret_cast<HWND>(window), title, 256);
        return Cp1251FromWide(title);
    }

    std::string ProgramName(unsigned long process) override { return ProgramNameOf(process); }

    std::vector<PlacedWindow> WindowsOfKind(const std::string& program, const std::string& className) override {
        return PlacedWindowsOf(program, className);
    }

    // The rows show the moved points, and a coordinates file saved now keeps the window's new place.
    void PositionsFollowed(const std::vector<Position>& moved) override {
        positions = moved;
        UpdateScroll();
    }

    PagePicture PictureOf(std::uintptr_t window) override { return TakePagePicture(reinterpret_cast<HWND>(window)); }
    PagePicture PictureAround(std::uintptr_t window, const std::vector<Position>& around) override {
        return TakePagePicture(reinterpret_cast<HWND>(window), around);
    }

    // The caption and the taskbar button. A stop note stays until the next run or a new title; the
    // note of a run found interrupted at start-up outlives the title fetched then.
    void ShowProgress(const RunProgress& progress) override {
        const bool running = progress.state == RunProgress::State::kRunning;
        const bool interrupted = progress.state == RunProgress::State::kInterrupted;
        SetAppProgress(ProgressText(progress), running || interrupted);
        const TaskbarMark mark = running ? TaskbarMark::kNormal
                                 : progress.state == RunProgress::State::kStopped || interrupted ? TaskbarMark::kPaused
                                                                                                 : TaskbarMark::kNone;
        ShowTaskbarProgress(AppWindow(), mark, static_cast<unsigned long long>(progress.stored),
                            static_cast<unsigned long long>(progress.total));
    }
};

}  // namespace

void StartAutomation(const RunInputs& inputs) {
    if (RunInProgress()) return;  // "СТАРТ" dispatched at a pump point of the run
    quitTaken = false;
    inputRefused = false;
    SystemMachine machine;
    RunAutomation(machine, inputs);
    if (quitTaken) PostQuitMessage(quitCode);  // the main loop ends as it would have without the run
    quitTaken = false;
}

std::optional<SavedRun> RestoreInterruptedRun() {
    std::optional<SavedRun> saved = LoadInterruptedRun();
    if (!saved) return saved;
    const RunPlan plan = PlanRun(saved->inputs);
    RunProgress progress;
    progress.state = RunProgress::State::kInterrupted;
    progress.stored = saved->point.next;
    progress.total = plan.total;
    progress.next = RunValue(saved->inputs, plan, saved->point.next);
    SystemMachine().ShowProgress(progress);
    return saved;
}

bool CheckPausePressed() { return (GetAsyncKeyState(VK_PAUSE) & 0x8000) != 0; }

// Answers within microseconds: it only notes the Escape and swallows it. The run stops before its
// next input and shows the stop message from its own code, not from inside the hook call.
LRESULT CALLBACK EscapeHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode >= 0 && wParam == WM_KEYDOWN && AutomationRunning() &&
        reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_ESCAPE) {
        escapeSeen = true;
        return 1;
    }
    return CallNextHookEx(g_escapeHook, nCode, wParam, lParam);
}
