// The page key's evidence as a table: looks at three objects' regions before the key (drawn, late,
// drawn as before, never resting, unseen) and after it (another page, a late drawing, a tooltip, a
// blinking mark, nothing), and the look a continued run takes at a turn it never saw.
#include "automation/watch/page_evidence.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {
using Regions = std::vector<std::uint64_t>;
using Key = PageEvidence::KeyVerdict;
using Turn = PageEvidence::TurnVerdict;

PagePicture Look(const Regions& regions, bool taken = true) {
    PagePicture p;
    p.taken = taken;
    p.width = 1000;
    p.height = 800;
    p.regions = regions;
    return p;
}

struct Seen {
    long long at;
    Regions regions;
    bool taken = true;
};

// Three objects clicked with {1, 2, 3} in their regions, then looks before the key.
PageEvidence Clicked() {
    PageEvidence e(PageRules{2000, 300, 300});
    e.NewPage(3);
    for (std::size_t c = 0; c < 3; ++c) e.BeforeClick(c, Look({1, 2, 3}));
    return e;
}
}  // namespace

TEST(PageEvidence, BeforeTheKeyEveryObjectMustBeSeenRedrawnAndAtRest) {
    const struct {
        const char* name;
        std::vector<Seen> looks;
        std::vector<Key> verdicts;
        std::vector<std::size_t> undrawn;
    } cases[] = {
        {"drawn at once: the second look agrees", {{0, {11, 12, 13}}, {10, {11, 12, 13}}}, {Key::kWait, Key::kDrawn}, {}},
        {"drawn 900 ms late: still waiting when the quiet rule would have let the key go",
         {{0, {1, 2, 3}}, {300, {1, 2, 3}}, {600, {1, 2, 3}}, {900, {11, 12, 3}}, {910, {11, 12, 13}}, {920, {11, 12, 13}}},
         {Key::kWait, Key::kWait, Key::kWait, Key::kWait, Key::kWait, Key::kDrawn},
         {}},
        {"still drawing: looks must agree", {{0, {11, 12, 13}}, {10, {11, 12, 14}}, {20, {11, 12, 14}}},
         {Key::kWait, Key::kWait, Key::kDrawn}, {}},
        {"a value drawn as before: the ceiling, then the quiet rule, and the record names it",
         {{0, {11, 2, 13}}, {1990, {11, 2, 13}}, {2000, {11, 2, 13}}},
         {Key::kWait, Key::kWait, Key::kQuietRule},
         {1}},
        {"past the ceiling a page still changing waits for its quiet",
         {{0, {11, 2, 13}}, {2000, {11, 2, 14}}, {2200, {11, 2, 14}}, {2300, {11, 2, 14}}},
         {Key::kWait, Key::kWait, Key::kWait, Key::kQuietRule},
         {1}},
        {"a region that never rests: the bound", {{0, {11, 2, 13}}, {2590, {21, 2, 13}}, {2600, {11, 2, 13}}},
         {Key::kWait, Key::kWait, Key::kQuietRule}, {1}},
        {"no picture", {{0, {}, false}}, {Key::kUnseen}, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageEvidence e = Clicked();
        ASSERT_EQ(c.looks.size(), c.verdicts.size());
        for (std::size_t i = 0; i < c.looks.size(); ++i)
            EXPECT_EQ(e.LookBeforeKey(Look(c.looks[i].regions, c.looks[i].taken), c.looks[i].at), c.verdicts[i]) << i;
        EXPECT_EQ(e.Undrawn(), c.undrawn);
    }
}

TEST(PageEvidence, AfterTheKeyOnlyOtherContentsAtEveryPositionIsATurn) {
    const struct {
        const char* name;
        bool settle;
        std::vector<Seen> looks;  // after the key; before it the page was {11, 12, 13}, object 1 blinking 21
        std::vector<Turn> verdicts;
        std::vector<std::size_t> changed;
    } cases[] = {
        {"a page alike but for its barcodes, fixed: at once", false, {{0, {1, 2, 3}}}, {Turn::kTurned}, {0, 1, 2}},
        {"waiting: once two looks agree", true, {{0, {1, 2, 3}}, {10, {1, 2, 3}}}, {Turn::kSettling, Turn::kTurned},
         {0, 1, 2}},
        {"a new page that never rests: the bound", true, {{0, {1, 2, 3}}, {10, {1, 2, 4}}, {300, {1, 2, 3}}},
         {Turn::kSettling, Turn::kSettling, Turn::kTurned}, {0, 1, 2}},
        {"a late drawing of one object", true, {{0, {11, 12, 23}}}, {Turn::kConfined}, {2}},
        {"a tooltip over two", false, {{0, {11, 99, 98}}}, {Turn::kConfined}, {1, 2}},
        {"the blinking mark's other look is no change", false, {{0, {21, 12, 13}}}, {Turn::kSame}, {}},
        {"nothing", true, {{0, {11, 12, 13}}, {10, {11, 12, 13}}}, {Turn::kSame, Turn::kSame}, {}},
        {"no picture", true, {{0, {}, false}}, {Turn::kUnseen}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageEvidence e = Clicked();
        e.LookBeforeKey(Look({21, 12, 13}), 0);
        e.LookBeforeKey(Look({11, 12, 13}), 10);
        ASSERT_EQ(e.LookBeforeKey(Look({11, 12, 13}), 20), Key::kDrawn);
        EXPECT_EQ(e.Before(), (Regions{11, 12, 13}));
        e.KeySent();
        for (std::size_t i = 0; i < c.looks.size(); ++i)
            EXPECT_EQ(e.LookAfterKey(Look(c.looks[i].regions, c.looks[i].taken), c.looks[i].at, c.settle, 300),
                      c.verdicts[i])
                << i;
        EXPECT_EQ(e.Changed(), c.changed);
    }
}

TEST(PageEvidence, ASheetKeyWaitsForTheEntersOwnEffectOrThePageDelay) {
    const struct {
        const char* name;
        std::vector<Seen> looks;  // the whole picture's digest in the first region
        std::vector<Key> verdicts;
    } cases[] = {
        {"a commit drawn at once", {{0, {5}}, {10, {5}}}, {Key::kWait, Key::kDrawn}},
        {"a commit 300 ms late", {{0, {1}}, {290, {1}}, {300, {5}}, {310, {5}}},
         {Key::kWait, Key::kWait, Key::kWait, Key::kDrawn}},
        {"a commit that shows nothing: the page delay", {{0, {1}}, {399, {1}}, {400, {1}}},
         {Key::kWait, Key::kWait, Key::kQuietRule}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageEvidence e;
        e.NewPage(1);
        e.EnterGoing(Look({1}));
        for (std::size_t i = 0; i < c.looks.size(); ++i)
            EXPECT_EQ(e.LookAfterEnter(Look(c.looks[i].regions), c.looks[i].at, 400), c.verdicts[i]) << i;
    }
}

TEST(PageEvidence, AContinuedRunLooksAtTheTurnItNeverSaw) {
    using Later = PageEvidence::LaterTurn;
    const Regions before = {11, 12, 13};
    EXPECT_EQ(PageEvidence::JudgeLater(before, Look({11, 12, 13})), Later::kUnchanged);
    EXPECT_EQ(PageEvidence::JudgeLater(before, Look({1, 2, 3})), Later::kTurned);
    EXPECT_EQ(PageEvidence::JudgeLater(before, Look({11, 2, 13})), Later::kCannotTell);
    EXPECT_EQ(PageEvidence::JudgeLater(before, Look({}, false)), Later::kCannotTell);
    EXPECT_EQ(PageEvidence::JudgeLater({}, Look({1})), Later::kCannotTell);
    EXPECT_EQ(CaptureList({0, 2}), "1, 3");
}
