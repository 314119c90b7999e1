// The list of captured positions without the windows: the coordinates file ("x,y" lines), the
// rules for changing the number of positions, and where the scrolling list of rows may go.
#pragma once
#include "automation/positions/automation_state.h"

#include <cstddef>
#include <string>
#include <vector>

constexpr const char* kDefaultCoordinatesFileName = "coordinates.txt";
constexpr int kMaxPositionsPerPage = 30;  // the per-page choice offers 1 to 30
// A real coordinates file is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxCoordinatesFileBytes = 1 << 20;

// A point counts as captured unless it is (0, 0): x = 0 is the left screen edge, a real position.
bool IsPositionSet(const Position& position);

// One "x,y px" line per entry, CR LF after each, uncaptured entries as 0,0 px. The marker says the
// point is in physical screen pixels; readers that take only "x,y" ignore it. A position with its
// window recorded has the window after the marker, one blank apart:
//   window=<left>,<top>,<width>x<height>;<program>;<class>
// the client area's screen origin and size, then the program's file name and the window's class,
// in which '%', ';', blanks and control characters are written as %XX.
std::string FormatCoordinates(const std::vector<Position>& list);
// The window part of a line ("window=..."), and back; false for anything damaged.
std::string WindowPartText(const CapturedWindow& window);
bool ParseWindowPart(const std::string& text, CapturedWindow& window);

// One line read as "%d,%d": optional white space and a signed decimal number, the comma right after
// it, optional white space and a second signed number; whatever follows is ignored. A number that
// does not fit in 32 bits makes the line unreadable.
bool ParseCoordinateLine(const std::string& line, Position& position);
// The line carries the physical-pixel marker: blanks, "px" and nothing else after the two numbers
// but blanks and a window part (damaged or not).
bool IsPhysicalPixelLine(const std::string& line);
// Every readable line of the file, in order; the others are skipped. A line without the marker was
// written by a program unaware of DPI, whose points the system scaled down by the primary monitor's
// DPI/96: it is scaled back up by `unmarkedDpi`/96 (96 leaves it as written). A damaged window part
// leaves the point without a window.
std::vector<Position> ParseCoordinates(const std::string& text, int unmarkedDpi);

// Why a loaded list cannot replace the current one (empty when it can): no readable line, or more
// entries than a page can hold. Code page 1251.
std::string CoordinatesLoadProblem(std::size_t count);
std::string CoordinatesFileTooLargeMessage();

// The virtual screen: the rectangle that spans every monitor (its origin may be negative).
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};
// A point a click can reach: left/top edges included, right/bottom edges excluded.
bool IsOnScreen(const Position& position, const ScreenArea& screen);
// The 1-based numbers of the entries among the first `count` that lie off the screens.
std::vector<int> RowsOffScreen(const std::vector<Position>& list, std::size_t count, const ScreenArea& screen);
// Why a run cannot start: the first such row and its point (code page 1251).
std::string OffScreenRefusal(const std::vector<Position>& list, const std::vector<int>& rows);
// What loading a file with such rows tells the user; they are kept, a monitor may be attached later.
std::string OffScreenLoadWarning(const std::vector<Position>& list, const std::vector<int>& rows);

// Count change: the leading entries are kept, new ones are (0, 0); a negative count means none.
void ResizePositions(std::vector<Position>& list, int count);

// The requests a vertical scroll bar reports (the low word of WM_VSCROLL's wParam).
enum ScrollRequest : int {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
    kScrollEnd = 8,
};

// Highest index that may be shown in the top row: max(0, count - visibleRows).
int MaxScrollPos(int count, int visibleRows);
// The top-row index after a scroll request from `current`, clamped to 0 .. MaxScrollPos. `thumb` is the
// thumb position the bar reports with kScrollThumbTrack; other requests not listed leave it unchanged.
int ScrollTarget(int current, int request, int thumb, int count, int visibleRows);
// How many rows are shown with `scrollPos` at the top.
int RowsShown(int count, int scrollPos, int visibleRows);
