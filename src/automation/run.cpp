// The automation run over the machine interface. Every wait reads `delays` when it begins; input
// stops at once when Escape was seen, the main window went away or the window it belongs to is not
// where it would land, and after a stop nothing more is sent. Window messages are dispatched only at
// the pump points, once per page and once per barcode.
#include "automation/run.h"

#include "automation/input.h"
#include "automation/input_guard.h"
#include "automation/run_progress.h"
#include "automation/wizard_wait.h"
#include "delays/delay_settings.h"
#include "platform/captions.h"
#include "platform/text_parse.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <optional>

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
const char* const kContinueCaption = "Продолжить?";
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

// A run that stopped before its end: its inputs and the first barcode not stored.
struct RunStop {
    RunInputs inputs;
    long long next = 0;
};
std::optional<RunStop> lastStop;

// The run under way as its progress shows it; plan is null outside a run.
struct Shown {
    const RunInputs* inputs = nullptr;
    const RunPlan* plan = nullptr;
    const WizardWait* wait = nullptr;
    int perPage = 1;
    long long stored = 0;
    double charsLeft = 0;
} shown;

// Counted afresh each time from the delays in force, so settings applied during the run show.
void ShowRunning(Machine& machine) {
    RunProgress progress;
    progress.stored = shown.stored;
    progress.total = shown.plan->total;
    RunRemainder rest = RemainderAfter(shown.stored, shown.plan->total, shown.perPage, shown.charsLeft);
    rest.wizardMs = shown.wait ? shown.wait->MeasuredMsPerBarcode() : -1;
    progress.msLeft = ScheduleMs(rest, shown.inputs->excelMode, delays);
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

// One barcode in wizard mode: open it, type the value, confirm three times. True once the third
// Enter has gone out: the barcode counts as stored also when a stop follows in its wait.
bool FillInWizard(InputGuard& guard, WizardWait& wait, size_t capture, const Position& at,
                  const std::string& value) {
    guard.BeginBarcode(capture, at);
    SimulateDoubleClick(guard, at.x, at.y);
    if (!StillRunning(guard)) return false;
    wait.Opened(guard);
    if (!StillRunning(guard)) return false;
    SimulateTyping(guard, value);
    if (!StillRunning(guard)) return false;
    if (!WaitAndGoOn(guard, AfterTypingDelay(value.size()))) return false;
    for (int press = 0; press < 2; ++press) {
        if (PauseStops(guard)) return false;
        SimulateKeyPress(guard, kVkReturn);
        if (!StillRunning(guard)) return false;
    }
    if (PauseStops(guard)) return false;
    PressKey(guard, kVkReturn);
    if (guard.PendingStop() != StopCause::kNone) return false;
    wait.Closed(guard);
    return true;
}

bool TurnPage(InputGuard& guard, bool excelMode) {
    if (PauseStops(guard)) return false;
    guard.ExpectPage();
    if (excelMode)
        SimulateExcelPageDown(guard);
    else
        SimulateKeyPress(guard, kVkNext);
    if (!StillRunning(guard)) return false;
    return WaitAndGoOn(guard, delays.pageSwitchDelay);
}

// The barcodes from `from` on, page by page: a page's pump point when a page begins (and where the
// run begins), then each barcode's pump point; false when the run was stopped or ended on the way.
bool FillFrom(InputGuard& guard, WizardWait& wait, const RunInputs& inputs, const RunPlan& plan, int perPage,
              long long from) {
    const size_t count = inputs.positions.size();
    for (long long index = from; index < plan.total; ++index) {
        const int i = static_cast<int>(index % perPage);
        if ((i == 0 || index == from) && (!PumpAndGoOn(guard) || PauseStops(guard))) return false;
        if (!PumpAndGoOn(guard) || PauseStops(guard)) return false;
        const size_t capture = static_cast<size_t>(i) % count;
        const Position at = inputs.positions[capture];
        if (PauseStops(guard)) return false;
        const std::string value = RunValue(inputs, plan, index);
        const bool stored = inputs.excelMode ? SimulateExcelPaste(guard, at.x, at.y, value)
                                             : FillInWizard(guard, wait, capture, at, value);
        if (!stored) {
            StillRunning(guard);  // shows the stop, if not shown yet
            return false;
        }
        ShowStored(guard, index + 1, value);
        if (!StillRunning(guard)) return false;
        if (index + 1 < plan.total) {
            if (PauseStops(guard)) return false;
            wait.Gap(guard);
            if (!StillRunning(guard)) return false;
            if (i + 1 == perPage && !TurnPage(guard, inputs.excelMode)) return false;
        }
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
        // A letter or a blank inside would make every value another number than the label shows.
        plan.startText = TrimBlanks(inputs.startText);
        if (!IsDigitsOnly(plan.startText)) {
            plan.refusal = kStartNotDigitsMessage;
            return plan;
        }
        // A longer start would have to be cut, and a cut start counts from another number.
        if (plan.startText.size() > kMaxStartChars) {
            plan.refusal = kStartTooLongMessage;
            return plan;
        }
        plan.firstNumber = ParseLeadingInteger(plan.startText);
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
    return inputs.prefix + FormatRunningNumber(plan.firstNumber + index, plan.startText);
}

namespace {
// What every stop does before its message: the caption says where the run stopped, and the stop is
// remembered so that "СТАРТ" can continue from there.
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
        if (shown.stored < shown.plan->total) {
            progress.next = RunValue(*shown.inputs, *shown.plan, shown.stored);
            lastStop = RunStop{*shown.inputs, shown.stored};
        }
        machine.ShowProgress(progress);
    }
    machine.FlashMainWindow();
}

// The first barcode to fill: 0, or where a remembered stop of the same run left off if the user
// says so; -1 when the user cancels.
long long FirstBarcode(Machine& machine, const RunInputs& inputs, const RunPlan& plan) {
    if (lastStop && !SameRunInputs(lastStop->inputs, inputs)) lastStop.reset();
    if (!lastStop || lastStop->next <= 0 || lastStop->next >= plan.total) return 0;
    switch (machine.Ask(ContinueQuestion(inputs, plan, lastStop->next), kContinueCaption)) {
        case Machine::Answer::kYes: return lastStop->next;
        case Machine::Answer::kNo: return 0;
        case Machine::Answer::kCancel: break;
    }
    return -1;
}

// The characters of the barcodes before `from`.
double TypedCharsBefore(const RunInputs& inputs, const RunPlan& plan, long long from) {
    RunPlan head = plan;
    head.total = from;
    if (inputs.listMode) head.list.resize(static_cast<size_t>(from));
    return TypedChars(inputs, head);
}

// Why the run cannot start, checked before any input: points off the screens, positions not in one
// window of another program, a page that cannot take our input now.
std::string StartRefusal(Machine& machine, const RunInputs& inputs, const RunPlan& plan, int perPage,
                         WindowOwner& page) {
    const size_t used = std::min(inputs.positions.size(), static_cast<size_t>(perPage));
    const std::vector<int> offScreen = RowsOffScreen(inputs.positions, used, machine.VirtualScreen());
    if (!offScreen.empty()) return OffScreenRefusal(inputs.positions, offScreen);
    const InputTarget target = FindInputTarget(machine, inputs.positions, perPage, plan.total);
    if (!target.refusal.empty()) return target.refusal;
    page = target.page;
    return PageRefusal(machine, page);
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
void ForgetRunStop() { lastStop.reset(); }

bool SameRunInputs(const RunInputs& a, const RunInputs& b) {
    const auto samePoint = [](const Position& p, const Position& q) { return p.x == q.x && p.y == q.y; };
    return a.prefix == b.prefix && a.startText == b.startText && a.totalText == b.totalText &&
           a.perPage == b.perPage && a.listMode == b.listMode && a.listText == b.listText &&
           a.excelMode == b.excelMode &&
           std::equal(a.positions.begin(), a.positions.end(), b.positions.begin(), b.positions.end(), samePoint);
}

std::string ContinueQuestion(const RunInputs& inputs, const RunPlan& plan, long long next) {
    const long long perPage = inputs.perPage > 0 ? inputs.perPage : 1;
    const size_t count = inputs.positions.empty() ? 1 : inputs.positions.size();
    const std::string value = RunValue(inputs, plan, next);
    const long long capture = static_cast<long long>(static_cast<size_t>(next % perPage) % count) + 1;
    return "Остановка была на значении " + value + " (страница " + std::to_string(next / perPage + 1) +
           ", захват " + std::to_string(capture) + ").\n\nДа — продолжить с " + value +
           ",\nНет — начать сначала с " + RunValue(inputs, plan, 0) + ",\nОтмена — ничего не делать.";
}

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
    WindowOwner page;
    const std::string refusal = StartRefusal(machine, inputs, plan, perPage, page);
    if (!refusal.empty()) {
        machine.ShowMessage(refusal, kErrorCaption, false);
        return;
    }
    const long long from = FirstBarcode(machine, inputs, plan);
    if (from < 0) return;
    lastStop.reset();

    InputGuard guarded(machine, page);
    struct GuardInUse {
        explicit GuardInUse(const InputGuard& in) { runGuard = &in; }
        ~GuardInUse() { runGuard = nullptr; }
    } guardInUse(guarded);
    const std::unique_ptr<WizardWait> wait = MakeWizardWait(delays, inputs.excelMode);

    g_autoRunning = true;
    machine.InstallEscapeHook();
    machine.BeginPreciseTiming();
    shown = Shown{&inputs, &plan, wait.get(), perPage, from,
                  TypedChars(inputs, plan) - TypedCharsBefore(inputs, plan, from)};
    ShowRunning(machine);
    if (!WaitAndGoOn(machine, delays.initialDelay)) return;
    if (!FillFrom(guarded, *wait, inputs, plan, perPage, from)) return;
    if (!g_autoRunning) return;  // stopped from outside: the stop message was given there
    EndQuietly(machine);
    RunProgress finished;
    finished.state = RunProgress::State::kFinished;
    finished.stored = finished.total = plan.total;
    machine.ShowProgress(finished);
    machine.ShowMessage(kFinishedMessage, kFinishedCaption, false);
}
