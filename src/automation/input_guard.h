// Keeps a run's input inside the application its positions belong to. At "СТАРТ" every position the
// run will click must lie on a window of one and the same other program; during the run each click
// and each key press goes out only while that program is still where the input lands, so a window
// that comes to the front (a messenger, an update notice) never receives the barcodes or the Enters.
#pragma once
#include "automation/coordinates.h"
#include "automation/machine.h"

#include <string>
#include <vector>

// The application a run may send input to, found from the positions it will click: barcode i of
// every page uses positions[i mod n] for i below `perPage` and `total`.
struct InputTarget {
    unsigned long process = 0;
    std::string refusal;  // set when the positions do not all lie on one other program's windows
};
InputTarget FindInputTarget(Machine& machine, const std::vector<Position>& positions, long long perPage,
                            long long total);

// The machine a run sends its input through. A click goes out only while the window under its point
// belongs to the target; a key press that begins a chord (no key of ours down) only while the
// foreground window does. A foreground of none (an activation under way) is looked at again for up
// to kFrontSettleMs. Once input was held back nothing more goes out, PendingStop() says kWrongWindow
// and HeldBack() tells which window was in the way.
class InputGuard : public Machine {
public:
    static constexpr unsigned kFrontSettleMs = 100;
    static constexpr unsigned kFrontPollMs = 10;

    InputGuard(Machine& inner, unsigned long target) : inner_(inner), target_(target) {}
    const std::string& HeldBack() const { return heldBack_; }

    void SetCursor(int x, int y) override;
    void SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) override;
    void SendUnicodeKey(char16_t unit, bool release) override;
    void SendVirtualKey(unsigned char vk, bool release) override;
    void Sleep(unsigned ms) override;
    StopCause PendingStop() override;

    KeyboardLayout ForegroundKeyboardLayout() override { return inner_.ForegroundKeyboardLayout(); }
    bool CapsLockOn() override { return inner_.CapsLockOn(); }
    std::optional<LayoutKey> KeyForCharacter(char16_t unit, KeyboardLayout layout) override {
        return inner_.KeyForCharacter(unit, layout);
    }
    char16_t CharacterOfKey(const LayoutKey& key, bool capsLock, KeyboardLayout layout) override {
        return inner_.CharacterOfKey(key, capsLock, layout);
    }
    ScreenArea VirtualScreen() override { return inner_.VirtualScreen(); }
    bool PauseDown() override { return inner_.PauseDown(); }
    void PumpMessages() override { inner_.PumpMessages(); }
    void InstallEscapeHook() override { inner_.InstallEscapeHook(); }
    void RemoveEscapeHook() override { inner_.RemoveEscapeHook(); }
    void BeginPreciseTiming() override { inner_.BeginPreciseTiming(); }
    void EndPreciseTiming() override { inner_.EndPreciseTiming(); }
    void FlashMainWindow() override { inner_.FlashMainWindow(); }
    void ShowMessage(const std::string& text, const std::string& caption, bool informationIcon) override {
        inner_.ShowMessage(text, caption, informationIcon);
    }
    void ShowProgress(const RunProgress& progress) override { inner_.ShowProgress(progress); }
    WindowOwner WindowAt(int x, int y) override { return inner_.WindowAt(x, y); }
    WindowOwner FrontWindow() override { return inner_.FrontWindow(); }
    unsigned long OwnProcess() override { return inner_.OwnProcess(); }
    std::string WindowTitle(std::uintptr_t window) override { return inner_.WindowTitle(window); }
    std::string ProgramName(unsigned long process) override { return inner_.ProgramName(process); }

private:
    bool PointIsTargets(int x, int y);
    bool FrontIsTargets();
    bool KeyMayGo(bool release);

    Machine& inner_;
    unsigned long target_;
    int keysDown_ = 0;      // keys of ours pressed and not yet released
    bool shut_ = false;     // input was held back: nothing more goes out
    std::string heldBack_;  // the message of the stop, when a window was in the way
};
