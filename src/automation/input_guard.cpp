// Which application a run drives, and the machine that holds back input any other one would get.
#include "automation/input_guard.h"

#include <algorithm>

namespace {
const char* const kReadyAgain = "\n\nПрограмма готова к новому запуску.";

std::string PointText(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

std::string RowText(size_t index, const Position& at, const char* word = "Позиция") {
    return word + (" " + std::to_string(index + 1)) + " " + PointText(at.x, at.y);
}

// «title» программы name.exe: what the user sees in the caption and in the task manager.
std::string NameOf(Machine& machine, const WindowOwner& owner) {
    const std::string title = machine.WindowTitle(owner.window);
    const std::string program = machine.ProgramName(owner.process);
    std::string text = title.empty() ? "без заголовка" : "«" + title + "»";
    return program.empty() ? text : text + " программы " + program;
}

// The end of a stop message: the program the run fills, and that it may be started again.
std::string HeldBackEnd(Machine& machine, unsigned long target) {
    const std::string program = machine.ProgramName(target);
    return ", а не окно программы" + (program.empty() ? "" : " " + program) + ", которую она заполняет." + kReadyAgain;
}
}  // namespace

InputTarget FindInputTarget(Machine& machine, const std::vector<Position>& positions, long long perPage,
                            long long total) {
    InputTarget target;
    if (positions.empty()) return target;
    const long long used = std::min(perPage, total);
    size_t first = 0;
    WindowOwner firstOwner;
    for (long long i = 0; i < used && i < static_cast<long long>(positions.size()); ++i) {
        const size_t index = static_cast<size_t>(i);
        const Position& at = positions[index];
        const WindowOwner owner = machine.WindowAt(at.x, at.y);
        if (!owner.window) {
            target.refusal = RowText(index, at) + " не лежит ни на одном окне.";
        } else if (owner.process == machine.OwnProcess()) {
            target.refusal = RowText(index, at) + " лежит на окне " + NameOf(machine, owner) +
                             " - окне этой программы: щелчки попали бы в её собственные кнопки и поля.\n\n"
                             "Отодвиньте окно программы с позиций (или снимите «Поверх окон») и нажмите СТАРТ снова.";
        } else if (!firstOwner.window) {
            first = index;
            firstOwner = owner;
            continue;
        } else if (owner.process != firstOwner.process) {
            target.refusal = RowText(index, at) + " лежит на окне " + NameOf(machine, owner) + ", а " +
                             RowText(first, positions[first], "позиция") + " - на окне " + NameOf(machine, firstOwner) +
                             ".\n\nВсе позиции должны лежать в окнах одной программы.";
        } else {
            continue;
        }
        return target;
    }
    target.process = firstOwner.process;
    return target;
}

bool InputGuard::PointIsTargets(int x, int y) {
    const WindowOwner owner = inner_.WindowAt(x, y);
    if (owner.window && owner.process == target_) return true;
    shut_ = true;
    heldBack_ = "Автоматизация остановлена: под точкой " + PointText(x, y) +
                (owner.window ? " оказалось окно " + NameOf(inner_, owner) + HeldBackEnd(inner_, target_)
                              : std::string(" нет ни одного окна.") + kReadyAgain);
    return false;
}

bool InputGuard::FrontIsTargets() {
    for (unsigned waited = 0;; waited += kFrontPollMs) {
        const WindowOwner front = inner_.FrontWindow();
        if (front.window && front.process == target_) return true;
        if (front.window || waited >= kFrontSettleMs) {
            shut_ = true;
            heldBack_ = "Автоматизация остановлена: впереди " +
                        (front.window ? "оказалось окно " + NameOf(inner_, front) + HeldBackEnd(inner_, target_)
                                      : std::string("нет ни одного окна.") + kReadyAgain);
            return false;
        }
        inner_.Sleep(kFrontPollMs);
        if (inner_.PendingStop() != StopCause::kNone) {
            shut_ = true;  // Escape or the window closed while waiting: the run ends for that reason
            return false;
        }
    }
}

// A release follows a press that went out. A press while another key of ours is down belongs to a
// chord whose first key was checked (Ctrl+Page Down, Shift+letter): holding it back would leave
// the modifier down.
bool InputGuard::KeyMayGo(bool release) {
    if (shut_) return false;
    if (release) {
        if (keysDown_ > 0) --keysDown_;
        return true;
    }
    if (keysDown_ == 0 && !FrontIsTargets()) return false;
    ++keysDown_;
    return true;
}

void InputGuard::SetCursor(int x, int y) {
    if (!shut_ && PointIsTargets(x, y)) inner_.SetCursor(x, y);
}

void InputGuard::SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) {
    if (!shut_ && PointIsTargets(x, y)) inner_.SendMouseButtons(x, y, flags);
}

void InputGuard::SendUnicodeKey(char16_t unit, bool release) {
    if (KeyMayGo(release)) inner_.SendUnicodeKey(unit, release);
}

void InputGuard::SendVirtualKey(unsigned char vk, bool release) {
    if (KeyMayGo(release)) inner_.SendVirtualKey(vk, release);
}

void InputGuard::Sleep(unsigned ms) {
    if (!shut_) inner_.Sleep(ms);
}

StopCause InputGuard::PendingStop() {
    if (!heldBack_.empty()) return StopCause::kWrongWindow;
    return inner_.PendingStop();
}
