// The evidence of a wizard's next step after an Enter, and the one place a value counts as stored.
#include "automation/run/store_decision.h"
#include "automation/watch/wizard_step.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
FieldRead Text(const std::string& text, const std::string& control = "Edit") {
    FieldRead read;
    read.state = FieldRead::State::kText;
    read.text = text;
    read.controlClass = control;
    return read;
}
FieldRead Read(FieldRead::State state) {
    FieldRead read;
    read.state = state;
    return read;
}
PagePicture Picture(std::uint64_t digest) { return PagePicture{true, 400, 100, digest}; }

// One look of a scripted wizard: at `at` ms after the key; a picture digest (0: not looked at).
struct Look {
    long long at;
    FieldRead field;
    std::uint64_t picture = 0;
    bool inFront = true;
    bool open = true;
};
StepLook AsStepLook(const Look& l) {
    StepLook look;
    look.atMs = l.at;
    look.open = l.open;
    look.inFront = l.inFront;
    look.field = l.field;
    look.pictureTaken = l.picture != 0;
    look.picture = Picture(l.picture);
    return look;
}
}  // namespace

TEST(WizardStep, OnlyAPersistingChangeOfTheWizardItselfCountsAsItsNextStep) {
    const FieldRead value = Text("AB0001");
    const struct {
        const char* name;
        std::vector<Look> looks;
        long long stepAt;  // the look that counts as the step (-1: none, the Enter delay decides)
        bool moves;        // the picture is no evidence afterwards
    } cases[] = {
        {"the focus moves to the next control and stays",
         {{1, Text("", "Button")}, {9, Text("", "Button")}, {16, Text("", "Button")}}, 16, false},
        {"the picture shows the next step and stays", {{1, value, 2}, {9, value, 2}, {17, value, 2}}, 17, false},
        {"a read that failed while the wizard was busy",
         {{1, Read(FieldRead::State::kFailed)}, {20, Read(FieldRead::State::kFailed)}, {40, Read(FieldRead::State::kNoField)}},
         -1, false},
        {"a failed read between two looks at a changed field does not confirm it",
         {{1, Text("x")}, {10, Read(FieldRead::State::kFailed)}, {20, Text("x")}, {25, Text("x")}, {30, Text("x")}},
         30, false},
        {"a question over the wizard takes the focus", {{1, Read(FieldRead::State::kNoField)}, {30, Text("Да", "Button"), 0, false}}, -1, false},
        {"a question in front whose picture of the wizard changed", {{1, value, 2, false}, {30, value, 2, false}}, -1, false},
        {"an animated default button: the picture changes again before it persisted",
         {{1, value, 2}, {5, value, 3}, {25, value, 4}, {45, value, 4}}, -1, true},
        {"a picture that changes and comes back", {{1, value, 2}, {5, value, 1}, {30, value, 1}}, -1, true},
        {"steps that look alike", {{1, value, 1}, {20, value, 1}, {40, value, 1}}, -1, false},
        {"the wizard gone", {{1, value, 1}, {3, value, 1, true, false}}, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WizardStep step;
        step.NewWizard();
        step.BeforeKey(value, Picture(1));
        long long stepAt = -1;
        for (const Look& l : c.looks) {
            if (step.Look(AsStepLook(l)) != WizardStep::Seen::kWaiting) {
                stepAt = l.at;
                break;
            }
        }
        EXPECT_EQ(stepAt, c.stepAt);
        EXPECT_EQ(step.PictureMoves(), c.moves);
    }
}

TEST(WizardStep, APictureThatChangedBetweenTheStepAndTheNextKeyMovesOnItsOwnUntilTheNextWizard) {
    const FieldRead value = Text("AB0001");
    WizardStep step;
    step.BeforeKey(value, Picture(1));
    ASSERT_EQ(step.Look(AsStepLook({1, value, 2})), WizardStep::Seen::kWaiting);
    ASSERT_EQ(step.Look(AsStepLook({20, value, 2})), WizardStep::Seen::kStep);
    step.BeforeKey(value, Picture(7));  // a preview drawn after the step: no key of ours did that
    EXPECT_TRUE(step.PictureMoves());
    EXPECT_EQ(step.Look(AsStepLook({1, value, 3})), WizardStep::Seen::kWaiting);
    EXPECT_EQ(step.Look(AsStepLook({40, value, 3})), WizardStep::Seen::kWaiting);
    step.NewWizard();
    EXPECT_FALSE(step.PictureMoves());
}

TEST(StoreDecision, AValueIsStoredOnceItsWizardWasSeenGoneAfterItsLastInputAndNeverOtherwise) {
    enum Look { kNone, kGone, kOpen };
    const struct {
        const char* name;
        WizardSeen afterLastInput;
        Look nextClickDue, runStops;
        const char* storedWhen;  // "last input", "next click", "stop" or "never"
    } cases[] = {
        {"seen gone after the third Enter (or a cell)", WizardSeen::kGone, kNone, kNone, "last input"},
        {"seen still open after the third Enter", WizardSeen::kOpen, kNone, kGone, "never"},
        {"not looked at, gone when the next click is due", WizardSeen::kUnseen, kGone, kNone, "next click"},
        {"not looked at, open when the next click is due and at the stop", WizardSeen::kUnseen, kOpen, kOpen, "never"},
        {"not looked at, open when the next click is due, gone at the stop", WizardSeen::kUnseen, kOpen, kGone, "stop"},
        {"not looked at, the run stops before the next click: gone", WizardSeen::kUnseen, kNone, kGone, "stop"},
        {"not looked at, the run stops before the next click: open", WizardSeen::kUnseen, kNone, kOpen, "never"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StoreDecision decision;
        std::vector<std::string> stored;
        const StoredValue value{4, BarcodeCheck::kVerified, true};
        auto note = [&](const std::optional<StoredValue>& v, const char* when) {
            if (!v) return;
            EXPECT_EQ(v->index, 4);
            EXPECT_EQ(v->check, BarcodeCheck::kVerified);
            EXPECT_TRUE(v->retyped);
            stored.push_back(when);
        };
        note(decision.LastInputOut(value, c.afterLastInput), "last input");
        if (c.nextClickDue != kNone) note(decision.NextClickDue(c.nextClickDue == kGone), "next click");
        if (c.runStops != kNone) note(decision.RunStops(c.runStops == kGone), "stop");
        EXPECT_EQ(stored, c.storedWhen == std::string("never") ? std::vector<std::string>{}
                                                               : std::vector<std::string>{c.storedWhen});
        EXPECT_FALSE(decision.InQuestion());
        // Once decided, nothing is stored twice.
        EXPECT_FALSE(decision.NextClickDue(true));
        EXPECT_FALSE(decision.RunStops(true));
    }
}
