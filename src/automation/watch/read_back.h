// Reading a typed value back from the wizard before it is confirmed: what was read before typing
// and each read since decide whether the field holds the value, is still taking characters, has
// settled on another text, cannot be read at all, or has stopped answering.
#pragma once
#include "automation/input/machine.h"

#include <cstddef>
#include <string>

constexpr unsigned kReadBackPollMs = 15;
constexpr long long kReadBackSteadyMs = 150;      // a text unchanged this long has settled
constexpr long long kMinReadBackCeilingMs = 2000;  // or 3 × the typing time, whichever is longer
constexpr std::size_t kReadBackSlackChars = 256;   // read room beyond the value's length

enum class ReadBackVerdict {
    kWaiting,     // read again
    kVerified,    // the field holds the value
    kMismatch,    // the field settled on another text (LastText)
    kUnreadable,  // typing changed nothing one can read: the value cannot be checked
    kLost,        // the field stopped answering after a good read: its text is unknown
};

class ReadBack {
public:
    // Whether a field read this way before typing can be checked at all.
    static bool Readable(const FieldRead& before) { return before.state == FieldRead::State::kText; }

    // `before` was read when the wizard was ready; the value finished going out at `typedAtMs`
    // after `typingMs` of typing.
    ReadBack(const FieldRead& before, std::string value, long long typedAtMs, long long typingMs);
    ReadBackVerdict Next(const FieldRead& read, long long nowMs);
    const std::string& LastText() const { return last_; }

private:
    ReadBackVerdict Settled() const;

    std::string before_;
    std::string value_;
    long long ceilingAt_;
    std::string last_;
    long long changedAt_ = 0;
    bool seen_ = false;        // a text was read since typing
    bool lastFailed_ = false;  // the latest read did not answer
};

// What the wizard's focused control does with typed keys.
enum class FocusKind {
    kTakesText,  // an edit (its class says so, or it keeps a selection): the keys show in it
    kNoText,     // a button, check box, radio button, list or label: the keys do nothing there
    kUnknown,    // no focused control, or one of the designer's own kind
};
// WM_GETDLGCODE answers (the system's values).
constexpr unsigned kDlgHasSetSel = 0x0008, kDlgDefPushButton = 0x0010, kDlgUndefPushButton = 0x0020,
                   kDlgRadioButton = 0x0040, kDlgWantChars = 0x0080, kDlgStatic = 0x0100, kDlgButton = 0x2000;
FocusKind KindOfFocus(const FieldRead& read);
// A wizard may put the focus on its field a moment after it appears: looked at this long, this often.
constexpr long long kFocusArriveMs = 300;
constexpr unsigned kFocusPollMs = 10;
// The keys typed never reached the field: an edit that shows the same text, its caret where it was.
// (An edit whose caret moved keeps its text from other programs: that one cannot be checked.)
bool KeysNeverArrived(const FieldRead& before, const FieldRead& after);

// How many times a value is typed at most before the run stops: once and two retypes.
constexpr int kMaxTypings = 3;
// The pace of a retype: slower than the delays', as a designer that lost keys needs.
int RetypePaceMs(int typingDelay);

// The stop messages of a read-back; `capture` names the barcode ("захвата N (x, y)").
std::string MismatchStopMessage(const std::string& capture, const std::string& found, const std::string& wanted,
                                int typings);
std::string LostFieldStopMessage(const std::string& capture, long long waitedMs);
// The focus stood on a control that takes no text (`focused`, as read): nothing was typed.
std::string WrongFocusStopMessage(const std::string& capture, const std::string& window, const FieldRead& focused);
// The field showed none of the value's characters after `typings` typings.
std::string KeysLostStopMessage(const std::string& capture, const std::string& wanted, int typings);
