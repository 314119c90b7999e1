// A page turn counts when the page's picture changed: the picture decision, how long the run keeps
// looking in either pacing, and the stop on the document's last page, which a continued run goes on
// from at the first capture of the page in front.
#include "automation/watch/page_turn.h"
#include "automation/run/run.h"
#include "automation/run/run_journal.h"
#include "fakes/run_fixture.h"
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {
PagePicture Picture(std::uint64_t digest, int width = 1000, int height = 800, bool taken = true) {
    PagePicture p;
    p.taken = taken;
    p.width = width;
    p.height = height;
    p.digest = digest;
    return p;
}

// Events from the first Page Down on, up to (not including) the next click or the end.
Strings FromPageDown(const RecordingMachine& m) {
    const Strings w = m.What();
    Strings out;
    bool on = false;
    for (const std::string& e : w) {
        on = on || e == "key+ 22";
        if (on && e.rfind("cursor", 0) == 0) break;
        if (on) out.push_back(e);
    }
    return out;
}

}  // namespace

TEST(PageTurn, PicturesDecideBySizeAndDigestAndAMissingOneIsUnseen) {
    EXPECT_EQ(ComparePictures(Picture(7), Picture(7)), PageSeen::kSame);
    EXPECT_EQ(ComparePictures(Picture(7), Picture(8)), PageSeen::kChanged);
    EXPECT_EQ(ComparePictures(Picture(7), Picture(7, 1000, 801)), PageSeen::kChanged);
    EXPECT_EQ(ComparePictures(Picture(7, 0, 0, false), Picture(7)), PageSeen::kUnseen);
    EXPECT_EQ(ComparePictures(Picture(7), Picture(7, 0, 0, false)), PageSeen::kUnseen);

    EXPECT_EQ(PageTurnCeilingMs(400), 2000u);
    EXPECT_EQ(PageTurnCeilingMs(1000), 5000u);
    EXPECT_EQ(PageTurnCeilingMs(-5), 2000u);
}

TEST(PageTurn, TheCaretsRectangleIsLeftOutAndEveryOtherPixelCounts) {
    const int w = 6, h = 4;
    std::vector<std::uint32_t> page(w * h, 0xFFFFFF);
    const PixelRect caret = {2, 1, 3, 3};  // one pixel wide, two high
    const std::uint64_t plain = PictureDigest(page.data(), w, h, caret);
    std::vector<std::uint32_t> blink = page;
    blink[1 * w + 2] = blink[2 * w + 2] = 0;  // the caret shown
    EXPECT_EQ(PictureDigest(blink.data(), w, h, caret), plain);
    EXPECT_NE(PictureDigest(blink.data(), w, h, PixelRect{}), PictureDigest(page.data(), w, h, PixelRect{}));
    for (const int at : {1 * w + 1, 1 * w + 3, 0 * w + 2, 3 * w + 2, 0, w * h - 1}) {
        std::vector<std::uint32_t> other = page;
        other[static_cast<size_t>(at)] = 0x000001;
        EXPECT_NE(PictureDigest(other.data(), w, h, caret), plain) << "pixel " << at;
    }
    // A caret rectangle reaching outside the picture takes only what lies inside.
    EXPECT_EQ(PictureDigest(blink.data(), w, h, PixelRect{2, -5, 3, 99}), PictureDigest(page.data(), w, h, {2, -5, 3, 99}));
    // Two pixels swapped is another picture.
    std::vector<std::uint32_t> swapped = page;
    swapped[0] = 1;
    std::vector<std::uint32_t> swappedBack = page;
    swappedBack[1] = 1;
    EXPECT_NE(PictureDigest(swapped.data(), w, h, {}), PictureDigest(swappedBack.data(), w, h, {}));
}

TEST_F(Run, OnTheDocumentsLastPageTheRunStopsBeforeOverwritingAndContinuesOnTheAddedPage) {
    for (const Pacing& pacing : kPacings) {
        SCOPED_TRACE(pacing.name);
        FreshStartPacedBy(pacing.waiting);
        const RunInputs in = Numbered("S", "0001", "9", 3);
        RecordingMachine two;
        two.lastPage = 2;
        Drive(two, in);
        EXPECT_EQ(Values(two), (Strings{"S0001", "S0002", "S0003", "S0004", "S0005", "S0006"}));
        EXPECT_EQ(Count(two, "key+ 22"), 2u);
        const std::string message = PageUnchangedStopMessage(false, PageSeen::kSame, 2000, 6, 9, "S0007");
        EXPECT_EQ(two.What().back(), "message Ошибка: " + message);
        EXPECT_NE(message.find("после Page Down страница не сменилась за 2000 мс"), std::string::npos);
        EXPECT_NE(message.find("Введено 6 из 9; следующее — S0007."), std::string::npos);
        EXPECT_EQ(Shown(two).back(), "stopped 6/9 S0007");
        // No click after the failed turn, and the run looked until the ceiling from the key on.
        const long long keyAt = two.Only("key+ 22").back().at;
        EXPECT_FALSE(two.HasInputAfter(keyAt + 1));
        EXPECT_GE(two.picturesAt.back() - keyAt, 2000);
        EXPECT_LE(two.picturesAt.back() - keyAt, 2000 + static_cast<long long>(kPageLookMs));

        // The user adds a page and goes to it: continuing starts with S0007 at capture 1, no Page Down.
        RecordingMachine added;
        added.pageShown = 3;
        added.answer = Machine::Answer::kYes;
        RunAutomation(added, in);
        ASSERT_EQ(added.Only("ask").size(), 1u);
        EXPECT_NE(added.Only("ask")[0].what.find("S0007 (страница 3, захват 1)."), std::string::npos);
        EXPECT_EQ(Count(added, "key+ 22"), 0u);
        EXPECT_EQ(FilledBarcodes(added),
                  (std::vector<Filled>{{"101,201", "S0007"}, {"102,202", "S0008"}, {"103,203", "S0009"}}));
        EXPECT_EQ(added.What().back(), DoneLine(3, "0010"));
    }
}

TEST_F(Run, ALateRepaintOfThePageIsNotTakenForItsTurn) {
    InEachPacing([](const Pacing& pacing) {
        const RunInputs in = Numbered("S", "0001", "4", 2);
        RecordingMachine dry;
        Drive(dry, in);
        ASSERT_FALSE(dry.picturesAt.empty());
        // A one-page document whose page draws its last value just after the run first looks at it
        // and, while waiting for the wizard (which comes to the key just after the wizard has gone),
        // a good while after.
        for (const long long lateMs : pacing.waiting ? std::vector<long long>{kPictureSettleMs / 2, kPageQuietMs - 20}
                                                     : std::vector<long long>{kPictureSettleMs / 2}) {
            SCOPED_TRACE(lateMs);
            RecordingMachine late;
            late.lastPage = 1;
            // the first look at the page after its second value's last Enter (before a double-click the
            // run looks at the page too, for a click the designer may have ignored)
            const long long lastEnter = dry.Only("key+ 0D").at(5).at;
            const long long firstLook =
                *std::find_if(dry.picturesAt.begin(), dry.picturesAt.end(), [&](long long t) { return t >= lastEnter; });
            late.repaintsAt = {firstLook + lateMs};
            Drive(late, in);
            EXPECT_EQ(Values(late), (Strings{"S0001", "S0002"}));
            EXPECT_EQ(late.What().back(),
                      "message Ошибка: " + PageUnchangedStopMessage(false, PageSeen::kSame, 2000, 2, 4, "S0003"));
            FreshStartPacedBy(pacing.waiting);
        }
    });
}

TEST_F(Run, APageThatTurnsLateIsWaitedForAndWaitingGoesOnAsSoonAsItChanged) {
    const struct {
        const char* name;
        bool waiting;
        long long lagMs;
        Strings turn;            // from the Page Down to the next page's first pump
        long long repaintMs = -1;  // the new page draws once more this long after the key
    } cases[] = {
        {"fixed, at once: no look beyond the page delay", false, 0,
         {"key+ 22", "key- 22", "wait 200", "wait 400", "pump", "pump"}},
        {"fixed, late: looked at every 20 ms after the page delay", false, 640,
         {"key+ 22", "key- 22", "wait 200", "wait 400", "wait 20", "wait 20", "pump", "pump"}},
        {"waiting, at once: neither the Enter delay nor the page delay, one look more to see it at rest", true, 0,
         {"key+ 22", "key- 22", "wait 10", "pump", "pump"}},
        {"waiting, late: looked at every 10 ms from the key", true, 50,
         {"key+ 22", "key- 22", "wait 10", "wait 10", "wait 10", "wait 10", "wait 10", "wait 10", "pump", "pump"}},
        {"waiting, a new page still drawing: on once two looks agree", true, 0,
         {"key+ 22", "key- 22", "wait 10", "wait 10", "pump", "pump"}, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshStartPacedBy(c.waiting);
        RecordingMachine r;
        r.pageTurnLagMs = c.lagMs;
        if (c.repaintMs >= 0) {
            RecordingMachine dry;
            Drive(dry, Numbered("", "1", "4", 3));
            // The first object of the new page is drawn once more (only the regions of the captured
            // positions tell a page).
            const long long drawnAt = dry.Only("key+ 22").front().at + c.repaintMs;
            r.overlay = [drawnAt](const Position& at, long long now) -> std::uint64_t {
                return at.x == 101 && now >= drawnAt ? 1 : 0;
            };
        }
        Drive(r, Numbered("", "1", "4", 3));
        EXPECT_EQ(Values(r), (Strings{"1", "2", "3", "4"}));
        EXPECT_EQ(r.What().back(), DoneLine(4, "5"));
        EXPECT_EQ(FromPageDown(r), c.turn);
    }
}

TEST_F(Run, ASheetThatStaysAndAPageThatCannotBeSeenStopWithTheirOwnMessage) {
    Fast();
    RunInputs cells = Numbered("", "1", "3", 2);
    cells.excelMode = true;
    m.lastPage = 1;
    Drive(m, cells);
    EXPECT_EQ(Values(m), (Strings{"'1", "'2"}));  // each cell's entry marked as text
    EXPECT_EQ(m.What().back(),
              "message Ошибка: " + PageUnchangedStopMessage(true, PageSeen::kSame, 2000, 2, 3, "3"));
    EXPECT_NE(m.What().back().find("после Ctrl+Page Down лист не сменился"), std::string::npos);

    RecordingMachine hidden;
    hidden.pictureFails = true;
    Drive(hidden, Numbered("", "1", "3", 2));
    EXPECT_EQ(Values(hidden), (Strings{"1", "2"}));
    EXPECT_EQ(hidden.What().back(),
              "message Ошибка: " + PageUnchangedStopMessage(false, PageSeen::kUnseen, 2000, 2, 3, "3"));
    // The journal names the reason in its stop row.
    const std::string journal = FileOf(folder);
    EXPECT_NE(journal.find("остановка: после Page Down не удалось увидеть, сменилась ли страница"), std::string::npos)
        << journal;
}
