// Whether a page turn showed a new page: the page window's picture before the key and after it,
// how long the run keeps looking, and what it says when the page stayed as it was (the document's
// last page: the next values would overwrite this page's).
#pragma once
#include "automation/input/machine.h"

#include <cstdint>
#include <string>

enum class PageSeen {
    kChanged,  // another picture: a new page
    kSame,     // the same picture: the same page
    kUnseen,   // a picture could not be taken
};
PageSeen ComparePictures(const PagePicture& before, const PagePicture& after);

// A rectangle of a picture's pixels, right and bottom edges excluded; may be empty or reach outside.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// The digest of `width` x `height` 32-bit pixels, rows top-down, the pixels inside `skip` left out
// (the caret, which blinks).
std::uint64_t PictureDigest(const std::uint32_t* pixels, int width, int height, const PixelRect& skip);
// The digest of the pixels inside `region` alone (the part inside the picture), `skip` left out as above.
std::uint64_t RegionDigest(const std::uint32_t* pixels, int width, int height, const PixelRect& region,
                           const PixelRect& skip);

// Before the key the page's objects must have been seen redrawn and at rest (page_evidence.h): two
// looks this far apart that agree (the fixed delays; kTurnLookMs while waiting for the wizard). A
// value that draws as the one before it did falls back to the quiet rule: the regions unchanged
// for kPictureSettleMs (fixed) or kPageQuietMs (waiting), or the bound more (a page that never rests).
constexpr unsigned kPictureSettleMs = 30;
constexpr long long kPictureSettleBoundMs = 300;
constexpr long long kPageQuietMs = 300;
// Spreadsheet: how long the sheet key waits at least for the Enter's commit to show (a busy workbook
// draws it up to 300 ms late), when the page delay is shorter.
constexpr long long kCommitSeenMs = 500;

// How often the run looks at the page after the key, and how long at most: max(2 s, 5 x the page
// delay) from the key on. Waiting for the wizard looks more often and goes on once the new page is
// at rest: two looks that agree (or the settle bound has passed: a page that never rests).
constexpr unsigned kPageLookMs = 20;
constexpr unsigned kTurnLookMs = 10;
constexpr unsigned kMinPageCeilingMs = 2000;
unsigned PageTurnCeilingMs(int pageSwitchDelay);

// The stop when the page did not change within `waitedMs` (or could not be seen): what was stored
// and the value to go on with.
// The stop when, within `waitedMs` after the key, only the regions of `changed` captures ("2, 3")
// showed other contents: a late drawing or a tooltip, not a new page; the key went out.
std::string PageConfinedStopMessage(bool excelMode, const std::string& changed, unsigned waitedMs, long long stored,
                                    long long total, const std::string& next);
// The journal's note when objects of `page` were not seen redrawn within `waitedMs` before its key.
std::string UndrawnNote(long long page, const std::string& captures, unsigned waitedMs);

std::string PageUnchangedStopMessage(bool excelMode, PageSeen seen, unsigned waitedMs, long long stored,
                                     long long total, const std::string& next);
