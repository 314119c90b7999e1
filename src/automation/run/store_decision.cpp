// The one place a value's being stored is decided.
#include "automation/run/store_decision.h"

#include <utility>

std::optional<StoredValue> StoreDecision::LastInputOut(const StoredValue& value, WizardSeen seen) {
    inQuestion_.reset();
    switch (seen) {
        case WizardSeen::kGone: return value;
        case WizardSeen::kOpen: return std::nullopt;
        case WizardSeen::kUnseen: inQuestion_ = value; return std::nullopt;
    }
    return std::nullopt;
}

std::optional<StoredValue> StoreDecision::NextClickDue(bool wizardGone) {
    if (!inQuestion_ || !wizardGone) return std::nullopt;
    return std::exchange(inQuestion_, std::nullopt);
}

std::optional<StoredValue> StoreDecision::RunStops(bool wizardGone) {
    std::optional<StoredValue> value = std::exchange(inQuestion_, std::nullopt);
    return wizardGone ? value : std::nullopt;
}
