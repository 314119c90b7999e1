// What a page key rests on: before the key, each object of the page seen redrawn with the value it
// took (the region around its captured position changed since its double-click); after it, other
// contents at every captured position, not a change confined to one object's box. Fed with the
// page's pictures and the clock, it decides and never waits: the run does the looking.
#pragma once
#include "automation/input/machine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The region a picture digests around each captured position, in physical pixels: most of a
// barcode object, little of its neighbours.
constexpr int kRegionHalfWidth = 64;
constexpr int kRegionHalfHeight = 32;

// How long the key waits for the drawings before it falls back to the quiet rule (a value that
// draws as the one before it did shows no change), and that rule: the regions unchanged for
// `quietMs`, or at most `quietBoundMs` more (a page that never rests).
struct PageRules {
    long long drawnCeilingMs = 2000;
    long long quietMs = 300;
    long long quietBoundMs = 300;
};

class PageEvidence {
public:
    explicit PageEvidence(PageRules rules = PageRules{}) : rules_(rules) {}

    // A page begins with `captures` objects, none clicked yet (a continued run clicks only some).
    void NewPage(std::size_t captures);
    // Capture `capture`'s object as the page showed it just before its double-click.
    void BeforeClick(std::size_t capture, const PagePicture& picture);

    // --- before the key ----------------------------------------------------------------------------
    enum class KeyVerdict {
        kWait,       // look again
        kDrawn,      // every object clicked was seen redrawn, and the regions are at rest
        kQuietRule,  // the ceiling passed without some drawings; the regions were quiet
        kUnseen,     // no picture: the key goes and the turn cannot be seen either
    };
    // A look while the page key waits; the first one begins the wait.
    KeyVerdict LookBeforeKey(const PagePicture& picture, long long at);
    // Spreadsheet: the picture just before the Enter that ends the last cell's edit; the sheet key
    // then waits for that Enter's own effect.
    void EnterGoing(const PagePicture& picture);
    // A look after that Enter: kDrawn once its effect was seen in the cells' regions and two looks
    // agree, kQuietRule once
    // `pageDelayMs` passed without it (or it never rests).
    KeyVerdict LookAfterEnter(const PagePicture& picture, long long at, long long pageDelayMs);
    // The captures (0-based) clicked on this page whose objects were not seen redrawn.
    std::vector<std::size_t> Undrawn() const;
    // The regions as the last look saw them: what the key turns away from.
    const std::vector<std::uint64_t>& Before() const { return before_; }

    // --- the key and after it ----------------------------------------------------------------------
    // The key goes now, from the page the last look saw.
    void KeySent();
    enum class TurnVerdict {
        kTurned,    // other contents at every captured position, at rest (or never resting)
        kSettling,  // other contents everywhere, not yet at rest
        kSame,      // nothing changed at any captured position
        kConfined,  // some captured positions changed, not all: a late drawing, a tooltip
        kUnseen,    // no picture
    };
    // A look after the key; `settle`: two looks must agree (waiting for the wizard) or `boundMs`
    // from the first look that saw other contents everywhere.
    TurnVerdict LookAfterKey(const PagePicture& picture, long long at, bool settle, long long boundMs);
    // The captures (0-based) whose regions the last look after the key saw changed.
    const std::vector<std::size_t>& Changed() const { return changed_; }

    // A continued run whose key went out before its turn was seen: the page now against the regions
    // before the key.
    enum class LaterTurn { kUnchanged, kTurned, kCannotTell };
    static LaterTurn JudgeLater(const std::vector<std::uint64_t>& before, const PagePicture& now);

private:
    struct Object {
        bool clicked = false;
        bool baseline = false;  // the region before the click was seen
        std::uint64_t before = 0;
        bool drawn = false;
        std::vector<std::uint64_t> states;  // what it showed once drawn: none of these is a turn
    };
    bool RegionsAgree(const PagePicture& picture) const;
    void NoteState(Object& object, std::uint64_t region);

    PageRules rules_;
    std::vector<Object> objects_;
    std::vector<std::uint64_t> before_;  // the regions at the last look before the key
    std::vector<std::uint64_t> last_;    // the regions at the last look
    bool looked_ = false;
    long long began_ = -1, stillSince_ = -1, otherSince_ = -1;
    PagePicture enterFrom_;
    bool enterSeen_ = false;
    std::vector<std::size_t> changed_;
};

// "1, 3": captures (0-based) as the messages number them.
std::string CaptureList(const std::vector<std::size_t>& captures);
