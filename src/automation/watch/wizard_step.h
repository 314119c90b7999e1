// Whether a wizard showed its next step after an Enter: only a change of that very wizard that
// persists counts. A read that gave no text, a window of the designer in front of it, a picture that
// moves on its own (an animated default button, a preview drawn late) never do; a wizard whose steps
// look alike gives no evidence, and the run then keeps the Enter delay.
#pragma once
#include "automation/input/machine.h"

// A change must read the same on looks this far apart before it counts as the step.
constexpr long long kStepPersistMs = 10;
// Before the first Enter, after typing, the wizard's picture must have stayed the same this long
// (a preview the wizard draws after the characters is then part of the picture before the key);
// one that does not rest within the Enter delay (at least three times this) moves on its own and
// is no evidence.
constexpr long long kStepQuietMs = 10;

// One look at the wizard after the key. `pictureTaken` when its picture was looked at this time.
struct StepLook {
    long long atMs = 0;
    bool open = true;     // still among the designer's windows
    bool inFront = true;  // the window in front, not a question over it
    FieldRead field;
    bool pictureTaken = false;
    PagePicture picture;
};

class WizardStep {
public:
    enum class Seen { kWaiting, kStep, kGone };
    // A new wizard: nothing is known of how its picture moves.
    void NewWizard();
    // Just before an Enter: the wizard's field and picture as they are.
    void BeforeKey(const FieldRead& field, const PagePicture& picture);
    // A look after the key; kStep once a change has persisted.
    Seen Look(const StepLook& look);
    // The wizard's picture was seen to change with no key of ours: it is no evidence any more.
    bool PictureMoves() const { return pictureMoves_; }
    void PictureMoved() { pictureMoves_ = true; }
    // A change was seen and its persistence is not due for a look yet (looks cost the designer
    // messages: none is taken meanwhile); `PictureDue` when the look that confirms it needs a picture.
    bool Confirming(long long nowMs) const { return kind_ != Kind::kNone && nowMs - changedAt_ < kStepPersistMs; }
    bool PictureDue() const { return kind_ == Kind::kPicture; }

private:
    enum class Kind { kNone, kField, kPicture };
    void Forget() { kind_ = Kind::kNone; }
    Seen FieldLook(const StepLook& look);
    Seen PictureLook(const StepLook& look);

    FieldRead field_;        // before the key
    PagePicture picture_;    // before the key
    PagePicture stepShown_;  // as the last step counted showed it
    bool pictureMoves_ = false;
    Kind kind_ = Kind::kNone;  // the change seen and not yet persisted
    FieldRead changedField_;
    PagePicture changedPicture_;
    long long changedAt_ = 0;
};
