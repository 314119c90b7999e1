// The automation run over the machine interface. Every wait reads `delays` when it begins; input
// stops at once when Escape was seen, the main window went away or another application's window is
// where it would land, and after a stop nothing more is sent. Window messages are dispatched only at
// the pump points, once per page and once per barcode.
#include "automation/run.h"

#include "automation/input.h"
#include "automation/input_guard.h"
#include "automation/run_progress.h"
#include "delays/delay_settings.h"
#include "platform/captions.h"
#include "platform/text_parse.h"

#include <algorithm>
#include <climits>
#include <cstdio>

const char* const kEmptyListMessage = "Список переменных пуст!";
const char* const kBadTotalMessage = "Укажите корректное количество штрих-кодов!";
const char* const kStartTooLongMessage =
    "Поле \"Начать с:\" длиннее 19 символов: такой номер не помещается в счётчик.\nСократите его.";
const char* const kMissingPositionsMessage = "Не все координаты заданы!";
const char* const kFinishedMessage = "Генерация завершена!";
const char* const kFinishedCaption = "Готово";
const char* const kStopMessage =
    "? Автоматизация остановлена!\n\nПрограмма готова к новому запуску.\nДля продолжения нажмите СТАРТ.";
const char* const kStopCaption = "ЭКСТРЕННАЯ ОСТАНОВКА";
const char* const kInputBlockedMessage =
    "Система не приняла щелчки и нажатия клавиш: ввод заблокирован.\n"
    "Обычно так бывает, когда программа, в которую идёт ввод, запущена от имени администратора, "
    "или когда экран заблокирован.\n\nПрограмма готова к новому запуску.";

namespace {
// Two states, not one: input may go out only while g_autoRunning, and a "СТАРТ" dispatched at a
// pump point or inside the run's own message boxes (stop, refusal) must not start a run inside the
// run, which runInProgress guards for the whole call.
bool g_autoRunning = false;
bool runInProgress = false;
const InputGuard* runGuard = nullptr;  // the run's input goes through it; it knows what held input back

// The run under way as its progress shows it; plan is null outside a run.
struct Shown {
    const RunInputs* inputs = nullptr;
    const RunPlan* plan = nullptr;
    int perPage = 1;
    long long stored = 0;
    double charsLeft = 0;
} shown;

// Counted afresh each time from the delays in force, so settings applied during the run show.
void ShowRunning(Machine& machine) {
    RunProgress progress;
    progress.stored = shown.stored;
    progress.total = shown.plan->total;
    progress.msLeft = ScheduleMs(RemainderAfter(shown.stored, shown.plan->total, shown.perPage, shown.charsLeft),
                                 shown.inputs->excelMode, delays);
    machine.ShowProgress(progress);
}

void ShowStored(Machine& machine, long long stored, const std::string& value) {
    shown.stored = stored;
    shown.charsLeft -= static_cast<double>(value.size());
    if (stored < shown.plan->total) ShowRunning(machine);
}

// The run ends without a message: the application is going away.
void EndQuietly(Machine& machine) {
    g_autoRunning = false;
    machine.RemoveEscapeHook();
    machine.EndPreciseTiming();
}

// True while the run may send more input; ends the run otherwise.
bool StillRunning(Machine& machine) {
    switch (machine.PendingStop()) {
        case StopCause::kEscape:
            if (g_autoRunning) StopRun(machine);
            return false;
        case StopCause::kClosed:
            EndQuietly(machine);
            return false;
        case StopCause::kWrongWindow:
            if (g_autoRunning) StopRunHeldBack(machine, runGuard ? runGuard->HeldBack() : std::string());
            return false;
        case StopCause::kInputBlocked:
            if (g_autoRunning) StopRunHeldBack(machine, kInputBlockedMessage);
            return false;
        case StopCause::kNone: break;
    }
    return g_autoRunning;
}

bool WaitAndGoOn(Machine& machine, int ms) {
    WaitDelay(machine, ms);
    return StillRunning(machine);
}

// A held Pause key ends the run with the stop message.
bool PauseStops(Machine& machine) {
    if (!machine.PauseDown()) return false;
    StopRun(machine);
    return true;
}

bool PumpAndGoOn(Machine& machine) {
    machine.PumpMessages();
    return StillRunning(machine);
}

// The wait after typing: typingDelay per character and 50 ms more, bounded like every other wait.
int AfterTypingDelay(size_t length) {
    const long long total = static_cast<long long>(delays.typingDelay) * static_cast<long long>(length) + 50;
    return total > INT_MAX ? INT_MAX : total < INT_MIN ? INT_MIN : static_cast<int>(total);
}

// One barcode in wizard mode: open it, type the value, confirm three times.
bool FillInWizard(Machine& machine, const Position& at, const std::string& value) {
    SimulateDoubleClick(machine, at.x, at.y);
    if (!StillRunning(machine)) return false;
    if (!WaitAndGoOn(machine, delays.masterOpenDelay) || !WaitAndGoOn(machine, 100)) return false;
    SimulateTyping(machine, value);
    if (!StillRunning(machine)) return false;
    if (!WaitAndGoOn(machine, AfterTypingDelay(value.size()))) return false;
    for (int press = 0; press < 3; ++press) {
        if (PauseStops(machine)) return false;
        SimulateKeyPress(machine, kVkReturn);
        // After the last Enter the barcode is stored, also when a stop comes in the Enter's wait:
        // the caller counts it before it looks.
        if (press < 2 && !StillRunning(machine)) return false;
    }
    return true;
}

bool TurnPage(Machine& machine, bool excelMode) {
    if (PauseStops(machine)) return false;
    if (excelMode)
        SimulateExcelPageDown(machine);
    else
        SimulateKeyPress(machine, kVkNext);
    if (!StillRunning(machine)) return false;
    return WaitAndGoOn(machine, delays.pageSwitchDelay);
}

// Pages and barcodes; false when the run was stopped or ended on the way.
bool FillAll(Machine& machine, const RunInputs& inputs, const RunPlan& plan, int perPage) {
    const size_t count = inputs.positions.size();
    long long processed = 0;
    while (processed < plan.total && g_autoRunning) {
        if (!PumpAndGoOn(machine) || PauseStops(machine)) return false;
        for (int i = 0; i < perPage && processed < plan.total && g_autoRunning; ++i) {
            if (!PumpAndGoOn(machine) || PauseStops(machine)) return false;
            const Position at = inputs.positions[static_cast<size_t>(i) % count];
            if (PauseStops(machine)) return false;
            const std::string value = RunValue(inputs, plan, processed);
            if (inputs.excelMode) {
                SimulateExcelPaste(machine, at.x, at.y, value);
                if (!StillRunning(machine)) return false;
            } else if (!FillInWizard(machine, at, value)) {
                return false;
            }
            ++processed;
            ShowStored(machine, processed, value);
            if (!StillRunning(machine)) return false;
            if (processed < plan.total) {
                if (PauseStops(machine) || !WaitAndGoOn(machine, delays.betweenBarcodesDelay)) return false;
            }
        }
        if (processed < plan.total && g_autoRunning && !TurnPage(machine, inputs.excelMode)) return false;
    }
    return true;
}
}  // namespace

std::string FormatRunningNumber(long long number, const std::string& startText) {
    char text[32];
    if (startText.size() > 1 && startText[0] == '0')
        std::snprintf(text, sizeof text, "%0*lld", static_cast<int>(startText.size()), number);
    else
        std::snprintf(text, sizeof text, "%lld", number);
    return text;
}

RunPlan PlanRun(const RunInputs& inputs) {
    RunPlan plan;
    if (inputs.listMode) {
        plan.list = SplitListLines(inputs.listText);
        if (plan.list.empty()) {
            plan.refusal = kEmptyListMessage;
            return plan;
        }
        plan.total = static_cast<long long>(plan.list.size());
    } else {
        plan.total = ParseLeadingInteger(inputs.totalText);
        if (plan.total <= 0) {
            plan.refusal = kBadTotalMessage;
            return plan;
        }
        // A longer start would have to be cut, and a cut start counts from another number.
        if (inputs.startText.size() > kMaxStartChars) {
            plan.refusal = kStartTooLongMessage;
            return plan;
        }
        plan.firstNumber = ParseLeadingInteger(inputs.startText);
        // The last number must still fit: the run ends at the largest 64-bit number.
        if (plan.firstNumber > 0 && plan.total - 1 > LLONG_MAX - plan.firstNumber)
            plan.total = LLONG_MAX - plan.firstNumber + 1;
    }
    bool allSet = !inputs.positions.empty();
    for (const Position& p : inputs.positions)
        if (p.x == 0 && p.y == 0) allSet = false;
    if (!allSet) plan.refusal = kMissingPositionsMessage;
    return plan;
}

std::string RunValue(const RunInputs& inputs, const RunPlan& plan, long long index) {
    if (inputs.listMode) return inputs.prefix + plan.list[static_cast<size_t>(index)];
    return inputs.prefix + FormatRunningNumber(plan.firstNumber + index, inputs.startText);
}

namespace {
// What every stop does before its message.
void EndStopped(Machine& machine) {
    g_autoRunning = false;
    machine.RemoveEscapeHook();
    machine.EndPreciseTiming();
    if (shown.plan) {
        RunProgress progress;
        progress.state = RunProgress::State::kStopped;
        progress.stored = shown.stored;
        progress.total = shown.plan->total;
        // None after the last barcode: Escape can still come in the wait after its last Enter.
        if (shown.stored < shown.plan->total) progress.next = RunValue(*shown.inputs, *shown.plan, shown.stored);
        machine.ShowProgress(progress);
    }
    machine.FlashMainWindow();
}
}  // namespace

void StopRun(Machine& machine) {
    EndStopped(machine);
    machine.ShowMessage(kStopMessage, kStopCaption, true);
}

void StopRunHeldBack(Machine& machine, const std::string& why) {
    EndStopped(machine);
    machine.ShowMessage(why, kErrorCaption, false);
}

bool RunInProgress() { return runInProgress; }
bool AutomationRunning() { return g_autoRunning; }

void RunAutomation(Machine& machine, const RunInputs& inputs) {
    if (runInProgress) return;
    struct Guard {
        Guard() { runInProgress = true; }
        ~Guard() {
            runInProgress = false;
            shown = Shown{};
        }
    } guard;

    RunPlan plan = PlanRun(inputs);
    if (!plan.refusal.empty()) {
        machine.ShowMessage(plan.refusal, kErrorCaption, false);
        return;
    }
    const int perPage = inputs.perPage > 0 ? inputs.perPage : 1;
    // A point off the screens would be clicked somewhere else (or nowhere): refused before any input.
    const size_t used = std::min(inputs.positions.size(), static_cast<size_t>(perPage));
    const std::vector<int> offScreen = RowsOffScreen(inputs.positions, used, machine.VirtualScreen());
    if (!offScreen.empty()) {
        machine.ShowMessage(OffScreenRefusal(inputs.positions, offScreen), kErrorCaption, false);
        return;
    }
    const InputTarget target = FindInputTarget(machine, inputs.positions, perPage, plan.total);
    if (!target.refusal.empty()) {
        machine.ShowMessage(target.refusal, kErrorCaption, false);
        return;
    }
    InputGuard guarded(machine, target.process);
    struct GuardInUse {
        explicit GuardInUse(const InputGuard& in) { runGuard = &in; }
        ~GuardInUse() { runGuard = nullptr; }
    } guardInUse(guarded);

    g_autoRunning = true;
    machine.InstallEscapeHook();
    machine.BeginPreciseTiming();
    shown = Shown{&inputs, &plan, perPage, 0, TypedChars(inputs, plan)};
    ShowRunning(machine);
    if (!WaitAndGoOn(machine, delays.initialDelay)) return;
    if (!FillAll(guarded, inputs, plan, perPage)) return;
    if (!g_autoRunning) return;  // stopped from outside: the stop message was given there
    EndQuietly(machine);
    RunProgress finished;
    finished.state = RunProgress::State::kFinished;
    finished.stored = finished.total = plan.total;
    machine.ShowProgress(finished);
    machine.ShowMessage(kFinishedMessage, kFinishedCaption, false);
}
