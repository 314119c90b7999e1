// The evidence of a wizard's next step: a persisting change of that very wizard.
#include "automation/watch/wizard_step.h"

#include "automation/watch/page_turn.h"

namespace {
// The same control kind, text and caret.
bool SameField(const FieldRead& a, const FieldRead& b) {
    return a.state == b.state && a.text == b.text && a.controlClass == b.controlClass && a.dialogCode == b.dialogCode &&
           a.caret == b.caret;
}

bool SamePicture(const PagePicture& a, const PagePicture& b) { return ComparePictures(a, b) == PageSeen::kSame; }
}  // namespace

void WizardStep::NewWizard() {
    *this = WizardStep();
}

void WizardStep::BeforeKey(const FieldRead& field, const PagePicture& picture) {
    // The step counted last showed one picture; another one now came with no key of ours.
    if (stepShown_.taken && picture.taken && !SamePicture(stepShown_, picture)) pictureMoves_ = true;
    field_ = field;
    picture_ = picture;
    stepShown_ = PagePicture();
    Forget();
}

WizardStep::Seen WizardStep::Look(const StepLook& look) {
    if (!look.open) return Seen::kGone;
    // A question over the wizard, or a field that did not answer with its text, shows no step of it.
    if (!look.inFront || look.field.state != FieldRead::State::kText) {
        Forget();
        return Seen::kWaiting;
    }
    if (FieldLook(look) == Seen::kStep || PictureLook(look) == Seen::kStep) {
        stepShown_ = look.pictureTaken ? look.picture : PagePicture();
        Forget();
        return Seen::kStep;
    }
    return Seen::kWaiting;
}

// The focused control or its text changed, both reads returning text, and reads the same a moment later.
WizardStep::Seen WizardStep::FieldLook(const StepLook& look) {
    if (field_.state != FieldRead::State::kText || SameField(field_, look.field)) {
        if (kind_ == Kind::kField) Forget();  // back as before: it was no step
        return Seen::kWaiting;
    }
    if (kind_ == Kind::kField && SameField(changedField_, look.field))
        return look.atMs - changedAt_ >= kStepPersistMs ? Seen::kStep : Seen::kWaiting;
    kind_ = Kind::kField;
    changedField_ = look.field;
    changedAt_ = look.atMs;
    return Seen::kWaiting;
}

// The picture changed and shows the same a moment later. A picture that changes again before it
// persisted, or comes back to how it was, moves on its own: from then on it is no evidence.
WizardStep::Seen WizardStep::PictureLook(const StepLook& look) {
    if (pictureMoves_ || !look.pictureTaken || !look.picture.taken || !picture_.taken || kind_ == Kind::kField)
        return Seen::kWaiting;
    const bool changed = !SamePicture(picture_, look.picture);
    if (kind_ == Kind::kPicture) {
        if (changed && SamePicture(changedPicture_, look.picture))
            return look.atMs - changedAt_ >= kStepPersistMs ? Seen::kStep : Seen::kWaiting;
        pictureMoves_ = true;
        Forget();
        return Seen::kWaiting;
    }
    if (changed) {
        kind_ = Kind::kPicture;
        changedPicture_ = look.picture;
        changedAt_ = look.atMs;
    }
    return Seen::kWaiting;
}
