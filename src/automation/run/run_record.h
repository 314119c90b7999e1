// What a run has done, barcode by barcode: the one record behind the caption's progress, the
// continue point, the journal and the completion message, so that these never disagree.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where a stopped run goes on: the first barcode not stored and what of it already went out.
struct ContinuePoint {
    ContinuePoint(long long next_ = 0, bool turnDue_ = false, bool partial_ = false)
        : next(next_), turnDue(turnDue_), partial(partial_) {}
    long long next = 0;
    bool turnDue = false;  // the page turn before `next` has not gone out yet
    bool partial = false;  // some characters of barcode `next` went out (spreadsheet mode)
    // The page key before `next` went out (or was about to) and the turn was not seen yet:
    // `turnFrom` holds the regions of the page it turned away from, for a look when going on.
    bool turnUnseen = false;
    std::vector<std::uint64_t> turnFrom;
    bool operator==(const ContinuePoint& o) const {
        return next == o.next && turnDue == o.turnDue && partial == o.partial && turnUnseen == o.turnUnseen &&
               turnFrom == o.turnFrom;
    }
};

// How a stored barcode's value was seen.
enum class BarcodeCheck {
    kVerified,    // read back from the wizard's field
    kNotChecked,  // the field gives no text to read (spreadsheet cells are never read)
};

// The checks of the barcodes one run stored.
struct RunTally {
    long long verified = 0;
    long long notChecked = 0;
    long long retyped = 0;  // barcodes typed more than once before they held their value
    void Stored(BarcodeCheck check, bool wasRetyped);
};

// "Генерация завершена!" and, in wizard mode, what was checked; then `nextRun` (where a run without
// repeats would start) and `journalNote`, as they are.
std::string CompletionMessage(const RunTally& tally, bool excelMode, const std::string& journalNote,
                              const std::string& nextRun = std::string());
// The journal's result column for a stored barcode.
const char* CheckResult(BarcodeCheck check);
