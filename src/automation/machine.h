// What the input primitives and the automation run need from the machine they drive: the cursor,
// mouse and keyboard events, waiting, the Pause key, the message pump, the Escape hook, message
// boxes and which application's window input would reach. The exe binds it to the real system
// calls; tests bind it to a recorder with a virtual clock.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Why a run has to end before its next input.
enum class StopCause {
    kNone,
    kEscape,       // Escape was pressed while the run's hook was installed
    kClosed,       // the main window went away (the application is quitting)
    kWrongWindow,  // the next input would have reached a window of another application
};

// A top-level window and the process it belongs to; window 0 when there is none.
struct WindowOwner {
    std::uintptr_t window = 0;
    unsigned long process = 0;
};

// Mouse button flags as the system's mouse input records carry them.
constexpr unsigned kMouseLeftDown = 0x0002;
constexpr unsigned kMouseLeftUp = 0x0004;

struct Machine {
    virtual ~Machine() = default;

    // --- input -----------------------------------------------------------------------------------
    virtual void SetCursor(int x, int y) = 0;
    // All records in one call, each carrying the point, so the clicks land there even if the cursor
    // was moved after it was put on the point.
    virtual void SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) = 0;
    virtual void SendUnicodeKey(char16_t unit, bool release) = 0;          // the character itself
    virtual void SendVirtualKey(unsigned char vk, bool release) = 0;       // one key of the keyboard

    // --- time and control ------------------------------------------------------------------------
    // Waits `ms` milliseconds (never 0); may return early once PendingStop() is not kNone.
    virtual void Sleep(unsigned ms) = 0;
    virtual bool PauseDown() = 0;          // the Pause/Break key is held at this instant
    virtual StopCause PendingStop() = 0;
    virtual void PumpMessages() = 0;       // dispatches everything queued for the thread
    virtual void InstallEscapeHook() = 0;  // also forgets an Escape seen before
    virtual void RemoveEscapeHook() = 0;   // harmless when none is installed
    virtual void BeginPreciseTiming() = 0;
    virtual void EndPreciseTiming() = 0;   // harmless when not begun

    // --- the user --------------------------------------------------------------------------------
    virtual void FlashMainWindow() = 0;
    virtual void ShowMessage(const std::string& text, const std::string& caption, bool informationIcon) = 0;

    // --- where input lands -----------------------------------------------------------------------
    // Asked before input goes out, so each answers in microseconds and sends the window no message.
    virtual WindowOwner WindowAt(int x, int y) = 0;  // the top-level window under a screen point
    virtual WindowOwner FrontWindow() = 0;           // the foreground window, which takes the keys
    virtual unsigned long OwnProcess() = 0;
    // For the messages that name a window in the way (code page 1251).
    virtual std::string WindowTitle(std::uintptr_t window) = 0;
    virtual std::string ProgramName(unsigned long process) = 0;  // the file name of its executable
};
