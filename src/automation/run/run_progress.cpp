// The progress of a run and its time left, counted from the same waits the run itself makes.
#include "automation/run/run_progress.h"

#include "automation/input/cell_entry.h"
#include "automation/watch/page_turn.h"

#include <algorithm>
#include <cmath>

namespace {
double Bounded(int ms) { return BoundedDelay(ms); }

// Characters of the running numbers first .. first + count - 1 as FormatRunningNumber writes them:
// `width` is the zero-filled width (0 when not filled), a minus sign counts.
double NumberChars(long long first, long long count, double width) {
    if (count <= 0) return 0;
    const long long last = first + (count - 1);  // fits: the plan bounds the total
    double chars = 0;
    unsigned long long bandLow = 1;  // magnitudes with `digits` digits: [bandLow, bandLow * 10 - 1]
    for (int digits = 1; digits <= 20; ++digits) {
        const unsigned long long bandHigh = digits >= 19 ? ~0ULL : bandLow * 10 - 1;
        const double positive = std::max(width, static_cast<double>(digits));
        const double negative = std::max(width, static_cast<double>(digits + 1));
        // Non-negative numbers of the band (0 counts as one digit).
        if (last >= 0) {
            const unsigned long long lo = std::max<unsigned long long>(first < 0 ? 0 : first, digits == 1 ? 0 : bandLow);
            const unsigned long long hi = std::min<unsigned long long>(static_cast<unsigned long long>(last), bandHigh);
            if (lo <= hi) chars += static_cast<double>(hi - lo + 1) * positive;
        }
        // Negative numbers whose magnitude is in the band.
        if (first < 0) {
            const unsigned long long magHigh = 0 - static_cast<unsigned long long>(first);
            const unsigned long long magLow = last < 0 ? 0 - static_cast<unsigned long long>(last) : 1;
            const unsigned long long lo = std::max(magLow, bandLow), hi = std::min(magHigh, bandHigh);
            if (lo <= hi) chars += static_cast<double>(hi - lo + 1) * negative;
        }
        if (digits >= 19) break;
        bandLow *= 10;
    }
    return chars;
}

// The apostrophes spreadsheet mode types before the values that need one. In number mode the prefix
// alone decides (a running number never makes a word, and its digits end any letters before them), so
// every value of the run needs one or none does.
double TextMarks(const RunInputs& inputs, const RunPlan& plan) {
    if (!inputs.excelMode || plan.total <= 0) return 0;
    if (!inputs.listMode) return NeedsTextMark(RunValue(inputs, plan, 0)) ? static_cast<double>(plan.total) : 0;
    double marks = 0;
    for (const std::string& entry : plan.list) marks += NeedsTextMark(inputs.prefix + entry) ? 1 : 0;
    return marks;
}
}  // namespace

double TypedChars(const RunInputs& inputs, const RunPlan& plan) {
    double chars = static_cast<double>(inputs.prefix.size()) * static_cast<double>(plan.total) + TextMarks(inputs, plan);
    if (inputs.listMode) {
        for (const std::string& entry : plan.list) chars += static_cast<double>(entry.size());
        return chars;
    }
    const bool filled = plan.startText.size() > 1 && plan.startText[0] == '0';
    return chars + NumberChars(plan.firstNumber, plan.total, filled ? static_cast<double>(plan.startText.size()) : 0);
}

std::string TypedText(const RunInputs& inputs, const std::string& value) {
    return inputs.excelMode ? CellEntry(value) : value;
}

RunRemainder RemainderAfter(long long stored, long long total, int perPage, double charsLeft, bool gapWaited) {
    RunRemainder rest;
    if (stored >= total) return rest;
    const long long page = perPage > 0 ? perPage : 1;
    rest.barcodes = total - stored;
    rest.chars = charsLeft;
    rest.initialWait = stored == 0;
    // Barcode j (1-based) is followed by a wait when another comes, and by a page turn when it ends
    // a page; those after the barcodes already stored are still to come.
    const long long from = std::max(stored, 1LL);
    rest.gaps = total - from - (gapWaited && stored > 0 ? 1 : 0);
    rest.pageTurns = (total - 1) / page - (from - 1) / page;
    return rest;
}

double ScheduleMs(const RunRemainder& rest, bool excelMode, const DelaySettings& d) {
    const double barcodes = static_cast<double>(rest.barcodes);
    double ms = rest.initialWait ? Bounded(d.initialDelay) : 0;
    if (rest.msPerBarcode >= 0 && !excelMode)
        return ms + barcodes * rest.msPerBarcode +
               static_cast<double>(rest.pageTurns) * std::max(rest.pageTurnMs, 0.0);
    ms += barcodes * Bounded(d.doubleClickDelay);
    // Before each page key the page is looked at twice, to see it at rest.
    ms += static_cast<double>(rest.pageTurns) * kPictureSettleMs;
    if (excelMode) {
        ms += barcodes * Bounded(d.masterOpenDelay);
        ms += rest.chars * Bounded(d.typingDelay) + barcodes * 50;
        ms += static_cast<double>(rest.pageTurns) * 2 * Bounded(d.pageSwitchDelay);
        return ms + static_cast<double>(rest.gaps) * Bounded(d.betweenBarcodesDelay);
    }
    // A key held 1 ms per character, the typing delay after it and the wait after typing (typingDelay
    // per character and 50 more), unless the value goes out at once; the first two Enters; the page
    // turns.
    ms += barcodes * ((rest.typesAtOnce ? 0 : 50) + 2 * Bounded(d.enterDelay));
    ms += rest.chars * (1 + (rest.typesAtOnce ? 0 : 2 * Bounded(d.typingDelay)));
    ms += static_cast<double>(rest.pageTurns) *
          (rest.pageTurnMs >= 0 ? rest.pageTurnMs : Bounded(d.enterDelay) + Bounded(d.pageSwitchDelay));
    // The wizard's opening (its delay and 100 ms more) and closing (the third Enter's delay and the
    // gap).
    ms += barcodes * (Bounded(d.masterOpenDelay) + 100 + Bounded(d.enterDelay));
    return ms + static_cast<double>(rest.gaps) * Bounded(d.betweenBarcodesDelay);
}

std::string TimeLeftText(double ms) {
    // A total of billions of barcodes foretells more than a long long of minutes: shown as reached.
    constexpr double kLongestMs = 1e15;  // about 31,700 years
    ms = ms > 0 ? std::min(ms, kLongestMs) : 0;  // also takes a NaN to 0
    const long long seconds = static_cast<long long>(std::ceil(ms / 1000));
    if (seconds < 60) return "~" + std::to_string(seconds) + " с";
    return "~" + std::to_string(static_cast<long long>(std::floor(ms / 60000 + 0.5))) + " мин";
}

std::string ProgressText(const RunProgress& progress) {
    const std::string count = std::to_string(progress.stored) + " из " + std::to_string(progress.total);
    switch (progress.state) {
        case RunProgress::State::kRunning:
            return (progress.note.empty() ? "" : progress.note + "; ") + count + ", ещё " + TimeLeftText(progress.msLeft);
        case RunProgress::State::kStopped:
            return "Остановлено" + (progress.note.empty() ? std::string() : " (" + progress.note + ")") + ": " + count +
                   (progress.next.empty() ? "" : ", следующий " + progress.next);
        case RunProgress::State::kInterrupted: return "Прерван: " + count + ", следующий " + progress.next;
        case RunProgress::State::kFinished: break;
    }
    return "";
}
