// Whether a barcode's value counts as stored: its last input went out and then its wizard was seen
// gone (a cell: its keys went out). What the run saw of the wizard comes in, at the last input, when
// the next click is due and when the run stops; each value stored comes out once, when decided.
#pragma once
#include "automation/run/run_record.h"

#include <optional>

// What was seen of a value's wizard after its last input.
enum class WizardSeen {
    kGone,    // seen gone (a cell has nothing to wait for)
    kOpen,    // seen still open: the value is not stored
    kUnseen,  // not looked at yet (the fixed delays look when the next click is due)
};

struct StoredValue {
    long long index = 0;
    BarcodeCheck check = BarcodeCheck::kNotChecked;
    bool retyped = false;
};

class StoreDecision {
public:
    // The value's last input went out and its wizard was seen as `seen`: the value, when stored now.
    std::optional<StoredValue> LastInputOut(const StoredValue& value, WizardSeen seen);
    // The next click is due and the wizard still in question was looked at: the value, when it is
    // gone now; else it stays in question (the run stops, and looks once more).
    std::optional<StoredValue> NextClickDue(bool wizardGone);
    // The run stops: the wizard still in question is looked at a last time; the value, when gone.
    std::optional<StoredValue> RunStops(bool wizardGone);
    // A value whose wizard was not looked at yet.
    bool InQuestion() const { return inQuestion_.has_value(); }

private:
    std::optional<StoredValue> inQuestion_;
};
