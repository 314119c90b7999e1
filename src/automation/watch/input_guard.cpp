// Which window a run drives, and the machine that holds back input any other window would get.
#include "automation/watch/input_guard.h"

#include "automation/input/wait_until.h"

#include <algorithm>

namespace {
constexpr unsigned char kPageDownKey = 0x22;
constexpr unsigned char kEnterKey = 0x0D;
const char* const kReadyAgain = "\n\nПрограмма готова к новому прогону.";
const char* const kStopped = "Прогон остановлен: ";

std::string PointText(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }

std::string RowText(size_t index, const Position& at, const char* word = "Захват") {
    return word + (" " + std::to_string(index + 1)) + " " + PointText(at.x, at.y);
}

// «title» программы name.exe: what the user sees in the caption and in the task manager.
std::string NameOf(Machine& machine, const WindowOwner& owner) {
    const std::string title = machine.WindowTitle(owner.window);
    const std::string program = machine.ProgramName(owner.process);
    std::string text = title.empty() ? "без заголовка" : "«" + title + "»";
    return program.empty() ? text : text + " программы " + program;
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
                             "Отодвиньте окно программы с захватов (или снимите «Поверх окон») и нажмите СТАРТ снова.";
        } else if (!firstOwner.window) {
            first = index;
            firstOwner = owner;
            continue;
        } else if (owner.window != firstOwner.window) {
            target.refusal = RowText(index, at) + " лежит на окне " + NameOf(machine, owner) + ", а " +
                             RowText(first, positions[first], "захват") + " - на окне " +
                             NameOf(machine, firstOwner) +
                             ".\n\nВсе захваты должны лежать в одном окне: на странице, которую заполняет "
                             "прогон. Уберите окна, лежащие поверх неё, и нажмите СТАРТ снова.";
        } else {
            continue;
        }
        return target;
    }
    target.page = firstOwner;
    return target;
}

std::string PageRefusal(Machine& machine, const WindowOwner& page) {
    if (!page.window) return {};
    if (machine.HasHigherRights(page.process))
        return "Окно " + NameOf(machine, page) +
               " запущено с правами администратора, а эта программа - без них: система молча отбросила бы "
               "все её щелчки и нажатия клавиш.\n\nЗапустите и эту программу от имени администратора или "
               "запустите редактор без этих прав.";
    const std::uintptr_t over = machine.ModalOver(page.window);
    if (!over) return {};
    const std::string blocked = "Окно " + NameOf(machine, page) + " сейчас не принимает ввод";
    if (over == page.window) return blocked + ".\n\nЗакончите работу в редакторе и нажмите СТАРТ снова.";
    return blocked + ": поверх него открыто окно " + NameOf(machine, {over, page.process}) +
           " (мастер ШК, оставшийся после остановки, или вопрос редактора).\n\n"
           "Закройте это окно сами и нажмите СТАРТ снова.";
}

void InputGuard::BeginBarcode(std::size_t capture, const Position& at) {
    expectWizard_ = false;
    capture_ = capture;
    at_ = at;
    wizard_ = 0;
    enterSent_ = false;
    openBefore_ = inner_.WindowsOf(page_.process);
}

void InputGuard::ExpectWizard(unsigned waitedMs) {
    expectWizard_ = true;
    waitedMs_ = waitedMs;
}

bool InputGuard::WasOpenBefore(std::uintptr_t window) const {
    return std::find(openBefore_.begin(), openBefore_.end(), window) != openBefore_.end();
}

bool InputGuard::IsNewWindowOfPage(const WindowOwner& owner) const {
    return owner.window && owner.process == page_.process && owner.window != page_.window &&
           !WasOpenBefore(owner.window);
}

bool InputGuard::WizardReady() {
    const WindowOwner front = inner_.FrontWindow();
    if (!IsNewWindowOfPage(front) || !inner_.FocusInside(front.window)) return false;
    wizard_ = front.window;
    return true;
}

bool InputGuard::WizardStillOpen() {
    const std::vector<std::uintptr_t> open = inner_.WindowsOf(page_.process);
    return wizard_ && std::find(open.begin(), open.end(), wizard_) != open.end();
}

bool InputGuard::NewWindowOfPageOpen() {
    for (std::uintptr_t window : inner_.WindowsOf(page_.process))
        if (window != page_.window && !WasOpenBefore(window)) return true;
    return false;
}

void InputGuard::WatchForLateWizard(long long untilMs) {
    const long long left = untilMs - inner_.NowMs();
    if (shut_ || left <= 0) return;
    // A wizard comes in front or holds the page disabled; a tooltip of the designer does neither.
    WindowOwner late;
    const auto cameUp = [&] {
        const WindowOwner front = inner_.FrontWindow();
        if (IsNewWindowOfPage(front)) late = front;
        else if (const std::uintptr_t modal = inner_.ModalOver(page_.window)) late = {modal, page_.process};
        return late.window != 0;
    };
    if (!WaitUntil(*this, cameUp, kFrontPollMs, left).Ready()) return;
    HoldBack(kStopped + ("после повторного двойного щелчка по захвату " + std::to_string(capture_ + 1) + " " +
                         PointText(at_.x, at_.y) + " открылось ещё одно окно " + Name(late) +
                         ": вероятно, это мастер ШК от первого щелчка, открывшийся с опозданием. " + "Значение " +
                         CaptureText() + " введено; в это окно прогон ничего не посылает.\n" +
                         "Закройте его кнопкой «Отмена», ничего в нём не меняя, и нажмите СТАРТ.") +
             kReadyAgain);
}

bool InputGuard::DoubleClickIgnored(const PagePicture& pageBefore) {
    if (shut_ || wizard_ || NewWindowOfPageOpen()) return false;
    if (!inner_.Answers(page_.window) || inner_.ModalOver(page_.window)) return false;
    if (inner_.FrontWindow().window != page_.window) return false;
    const PagePicture now = inner_.PictureOf(page_.window);
    return pageBefore.taken && now.taken && pageBefore.width == now.width && pageBefore.height == now.height &&
           pageBefore.digest == now.digest;
}

bool InputGuard::WizardClosed() {
    return inner_.FrontWindow().window == page_.window && !WizardStillOpen() && !inner_.ModalOver(page_.window);
}

PagePicture InputGuard::PictureOfWizard() { return wizard_ ? inner_.PictureOf(wizard_) : PagePicture{}; }

std::string InputGuard::Name(const WindowOwner& owner) { return NameOf(inner_, owner); }

std::string InputGuard::WizardText() const { return "мастер ШК " + CaptureText(); }

std::string InputGuard::CaptureText() const {
    return "захвата " + std::to_string(capture_ + 1) + " " + PointText(at_.x, at_.y);
}

void InputGuard::HoldBackUnclosed(unsigned waitedMs) {
    if (WizardStillOpen()) {
        HoldBack(kStopped + WizardText() + " не закрылся за " + std::to_string(waitedMs) +
                 " мс после третьего Enter.\nПроверьте значение в мастере и закройте его сами." + kReadyAgain);
        return;
    }
    const WindowOwner front = inner_.FrontWindow();
    HoldBack(kStopped + std::string("после того как ") + WizardText() + " закрылся, впереди " +
             (front.window ? "оказалось окно " + Name(front) + ", а не окно " + Name(page_) + "."
                           : std::string("нет ни одного окна.")) +
             kReadyAgain);
}

void InputGuard::HoldBack(const std::string& why) {
    shut_ = true;
    heldBack_ = why;
}

// What stands in front instead of the window the next input belongs to.
std::string InputGuard::WrongFront(const WindowOwner& front) {
    if (!front.window) return kStopped + std::string("впереди нет ни одного окна.") + kReadyAgain;
    if (!expectWizard_)
        return kStopped + ("впереди оказалось окно " + Name(front) + ", а не окно " + Name(page_) +
                           ", которое она заполняет.") + kReadyAgain;
    if (front.window == page_.window && !wizard_)
        return kStopped + ("двойной щелчок по захвату " + std::to_string(capture_ + 1) + " " +
                           PointText(at_.x, at_.y) + " не открыл мастер ШК за " + std::to_string(waitedMs_) +
                           " мс.\nОбъекта нет под этой точкой, или редактор отвечает медленнее: увеличьте "
                           "«Открытие Мастера ШК» в настройках задержек или включите «Ждать окно мастера».") +
               kReadyAgain;
    std::string why = kStopped + ("впереди оказалось окно " + Name(front) + ", а не " + WizardText() + ".");
    if (front.process == page_.process && WasOpenBefore(front.window))
        why += "\nЭто окно было открыто ещё до щелчка (вопрос редактора или другой документ): ответьте на него сами.";
    else if (front.process == page_.process && wizard_)
        why += "\nЭто окно редактора открылось поверх мастера (вопрос мастера или редактора): клавиши прогона в него "
               "не посылаются. Ответьте на него сами, проверьте значение в мастере и нажмите СТАРТ.";
    return why + kReadyAgain;
}

bool InputGuard::FrontIsRight() {
    // No window in front is an activation under way: looked at again for a moment.
    WindowOwner front;
    const WaitEnd end = WaitUntil(inner_, [&] { return (front = inner_.FrontWindow()).window != 0; }, kFrontPollMs,
                                  kFrontSettleMs);
    if (end.why == WaitEnd::Why::kStopped && !front.window) {
        shut_ = true;  // Escape or the window closed while waiting: the run ends for that reason
        return false;
    }
    // Once the wizard is known only it takes keys: a question it or the designer puts up over it
    // is a new window too, and a key of the run would answer it.
    if (expectWizard_ ? (wizard_ ? front.window == wizard_ : IsNewWindowOfPage(front)) : front.window == page_.window) {
        if (expectWizard_ && !wizard_) wizard_ = front.window;
        return true;
    }
    HoldBack(WrongFront(front));
    return false;
}

// A click needs the page under its point, and the page in front, or this program, whose "СТАРТ"
// or whose message box the user has just used: the click then brings the page forward.
bool InputGuard::ClickMayGo(int x, int y) {
    if (shut_) return false;
    const WindowOwner under = inner_.WindowAt(x, y);
    if (under.window != page_.window) {
        HoldBack(kStopped + ("под точкой " + PointText(x, y) +
                             (under.window ? " оказалось окно " + Name(under) + ", а не окно " + Name(page_) +
                                                 ", которое она заполняет."
                                           : std::string(" нет ни одного окна."))) +
                 kReadyAgain);
        return false;
    }
    if (inner_.FrontWindow().process == inner_.OwnProcess()) return true;
    return FrontIsRight();
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
    if (keysDown_ == 0 && !FrontIsRight()) return false;
    ++keysDown_;
    return true;
}

void InputGuard::SetCursor(int x, int y) {
    if (ClickMayGo(x, y)) inner_.SetCursor(x, y);
}

void InputGuard::SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) {
    if (ClickMayGo(x, y)) inner_.SendMouseButtons(x, y, flags);
}

bool InputGuard::SendUnicodeKey(char16_t unit, bool release) {
    return KeyMayGo(release) && inner_.SendUnicodeKey(unit, release);
}

bool InputGuard::SendVirtualKey(unsigned char vk, bool release) {
    if (!release && vk == kEnterKey && expectWizard_ && wizard_ && enterSent_) {
        // Two answers of the wizard's thread before the next Enter: the first comes before it took
        // a busy moment's queued Enter, the second after, so a question it put up in answer to that
        // Enter is in front for the check below.
        inner_.Answers(wizard_);
        inner_.Answers(wizard_);
    }
    if (!KeyMayGo(release) || !inner_.SendVirtualKey(vk, release)) return false;
    if (!release && vk == kEnterKey && expectWizard_) enterSent_ = true;
    if (!release && vk == kPageDownKey) ++pageKeysSent_;
    return true;
}

FieldRead InputGuard::ReadWizardField(std::size_t maxChars) {
    FieldRead none;
    none.state = FieldRead::State::kNoField;
    return wizard_ ? inner_.ReadFocusedField(wizard_, maxChars) : none;
}

void InputGuard::BringPageForward() {
    if (shut_ || inner_.FrontWindow().window == page_.window) return;
    inner_.BringToFront(page_.window);
    WaitUntil(inner_, [&] { return inner_.FrontWindow().window == page_.window; }, kFrontPollMs, kBringForwardMs);
}

void InputGuard::Sleep(unsigned ms) {
    if (!shut_) inner_.Sleep(ms);
}

StopCause InputGuard::PendingStop() {
    if (!heldBack_.empty()) return StopCause::kWrongWindow;
    return inner_.PendingStop();
}
