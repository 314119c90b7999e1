// The read-back decision: a pure function of the reads and the clock, so that every case is tested
// without a designer.
#include "automation/read_back.h"

#include <algorithm>
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
        if (read.text == value_ && value_ != before_) return ReadBackVerdict::kVerified;
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

int RetypePaceMs(int typingDelay) { return std::max(2 * std::max(typingDelay, 0), 30); }

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
    return "Автоматизация остановлена: в мастере ШК " + capture + " стоит " + Quoted(found) + ", а не " + Quoted(wanted) +
           "; значение введено " + TimesText(typings) + ", Enter не нажат.\n"
           "Проверьте мастер: не ограничена ли длина поля, не меняет ли оно буквы. Исправьте значение "
           "или закройте мастер сами. Если редактор теряет символы, увеличьте «Ввод текста» в настройках "
           "задержек.\n\nПрограмма готова к новому запуску.";
}

std::string LostFieldStopMessage(const std::string& capture, long long waitedMs) {
    return "Автоматизация остановлена: поле мастера ШК " + capture + " перестало отвечать, его текст не удалось прочитать за " +
           std::to_string(waitedMs) + " мс. Enter не нажат, чтобы не подтвердить неизвестный текст.\n"
           "Проверьте значение в мастере и закройте мастер сами.\n\nПрограмма готова к новому запуску.";
}
