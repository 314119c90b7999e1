// The read-back decision: a pure function of the reads and the clock, so that every case is tested
// without a designer.
#include "automation/watch/read_back.h"

#include "delays/delay_settings.h"

#include <algorithm>
#include <cctype>
#include <utility>

ReadBack::ReadBack(const FieldRead& before, std::string value, long long typedAtMs, long long typingMs)
    : before_(before.text),
      value_(std::move(value)),
      ceilingAt_(typedAtMs + std::max(kMinReadBackCeilingMs, 3 * std::max(0LL, typingMs))) {}

ReadBackVerdict ReadBack::Settled() const {
    return last_ == before_ ? ReadBackVerdict::kUnreadable : ReadBackVerdict::kMismatch;
}

ReadBackVerdict ReadBack::Next(const FieldRead& read, long long nowMs) {
    lastFailed_ = read.state != FieldRead::State::kText;
    if (!lastFailed_) {
        // A field that held the value before typing shows nothing new by holding it.
        if (read.text == value_ && read.exact && value_ != before_) return ReadBackVerdict::kVerified;
        if (!seen_ || read.text != last_) {
            seen_ = true;
            last_ = read.text;
            changedAt_ = nowMs;
        } else if (nowMs - changedAt_ >= kReadBackSteadyMs) {
            return Settled();
        }
    }
    if (nowMs < ceilingAt_) return ReadBackVerdict::kWaiting;
    // A field still changing at the ceiling holds another text for all we can tell.
    return lastFailed_ || !seen_ ? ReadBackVerdict::kLost : Settled();
}

namespace {
std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsListClass(const std::string& lower) {
    return lower == "listbox" || lower == "combolbox" || lower == "syslistview32" || lower == "systreeview32";
}

// Standard controls that take no typed text even when their WM_GETDLGCODE says nothing of it.
bool IsNoTextClass(const std::string& lower) {
    static const char* const kClasses[] = {"button", "static", "scrollbar", "systabcontrol32", "msctls_trackbar32",
                                           "msctls_updown32"};
    for (const char* c : kClasses)
        if (lower == c) return true;
    return IsListClass(lower);
}
}  // namespace

FocusKind KindOfFocus(const FieldRead& read) {
    if (read.state == FieldRead::State::kNoField) return FocusKind::kUnknown;
    const std::string lower = Lower(read.controlClass);
    if (lower.find("edit") != std::string::npos || (read.dialogCode & kDlgHasSetSel)) return FocusKind::kTakesText;
    if (read.dialogCode & kDlgWantChars) return FocusKind::kUnknown;
    if ((read.dialogCode & (kDlgDefPushButton | kDlgUndefPushButton | kDlgRadioButton | kDlgButton | kDlgStatic)) ||
        IsNoTextClass(lower))
        return FocusKind::kNoText;
    return FocusKind::kUnknown;
}

bool KeysNeverArrived(const FieldRead& before, const FieldRead& after) {
    return KindOfFocus(after) == FocusKind::kTakesText && before.state == FieldRead::State::kText &&
           after.state == FieldRead::State::kText && after.text == before.text &&
           (before.caret < 0 || after.caret < 0 || after.caret == before.caret);
}

// Twice the typing delay as bounded, so a hand-edited huge delay cannot overflow the doubling.
int RetypePaceMs(int typingDelay) {
    return static_cast<int>(std::max<unsigned>(2 * BoundedDelay(typingDelay), 30));
}

namespace {
// A text found in a field, as a message quotes it: long texts are cut.
std::string Quoted(const std::string& text) {
    constexpr size_t kLongest = 60;
    return "«" + (text.size() > kLongest ? text.substr(0, kLongest) + "…" : text) + "»";
}

const char* TimesText(int typings) {
    switch (typings) {
        case 1: return "один раз";
        case 2: return "дважды";
        default: return "трижды";
    }
}
}  // namespace

std::string MismatchStopMessage(const std::string& capture, const std::string& found, const std::string& wanted,
                                int typings) {
    return "Прогон остановлен: в мастере ШК " + capture + " стоит " + Quoted(found) + ", а не " + Quoted(wanted) +
           "; значение введено " + TimesText(typings) + ", Enter не нажат.\n"
           "Проверьте мастер: не ограничена ли длина поля, не меняет ли оно буквы. Исправьте значение "
           "или закройте мастер сами. Если редактор теряет символы, увеличьте «Ввод текста» в настройках "
           "задержек.\n\nПрограмма готова к новому прогону.";
}

namespace {
// "кнопке «Next»": the control as the stop message names it, its accelerator marks taken off.
std::string ControlName(const FieldRead& focused) {
    const unsigned code = focused.dialogCode;
    const std::string lower = Lower(focused.controlClass);
    const char* noun = (code & (kDlgDefPushButton | kDlgUndefPushButton)) ? "кнопке"
                       : (code & kDlgRadioButton)                        ? "переключателе"
                       : (code & kDlgButton)                             ? "флажке"
                       : IsListClass(lower)                              ? "списке"
                       : lower == "button"                               ? "кнопке"
                                                                         : "элементе";
    std::string caption;
    for (size_t i = 0; i < focused.text.size(); ++i) {
        if (focused.text[i] == '&' && i + 1 < focused.text.size()) ++i;
        caption += focused.text[i];
    }
    if (caption.empty() || focused.state != FieldRead::State::kText) return noun;
    return std::string(noun) + " " + Quoted(caption);
}
}  // namespace

std::string WrongFocusStopMessage(const std::string& capture, const std::string& window, const FieldRead& focused) {
    return "Прогон остановлен: фокус в мастере ШК " + capture + (window.empty() ? "" : " (окно " + window + ")") +
           " стоит на " + ControlName(focused) + ", а не на поле ввода; значение не введено, Enter не нажат.\n"
           "Клавиши ушли бы не в поле, а Enter нажал бы эту кнопку. Закройте мастер сами, настройте редактор так, "
           "чтобы мастер открывался с курсором в поле данных, и нажмите СТАРТ снова. Если это окно - вопрос "
           "редактора, а не мастер, ответьте на него сами.\n\nПрограмма готова к новому прогону.";
}

std::string KeysLostStopMessage(const std::string& capture, const std::string& wanted, int typings) {
    return "Прогон остановлен: в поле мастера ШК " + capture + " не появилось ни одного символа значения " +
           Quoted(wanted) + "; значение введено " + TimesText(typings) + ", Enter не нажат.\n"
           "Клавиши уходят не в поле мастера. Закройте мастер сами, проверьте, что он открывается с курсором в поле "
           "данных, и нажмите СТАРТ снова.\n\nПрограмма готова к новому прогону.";
}

std::string LostFieldStopMessage(const std::string& capture, long long waitedMs) {
    return "Прогон остановлен: поле мастера ШК " + capture + " перестало отвечать, его текст не удалось прочитать за " +
           std::to_string(waitedMs) + " мс. Enter не нажат, чтобы не подтвердить неизвестный текст.\n"
           "Проверьте значение в мастере и закройте мастер сами.\n\nПрограмма готова к новому прогону.";
}
