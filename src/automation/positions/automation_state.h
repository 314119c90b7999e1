// The captured positions: filled by the capture key and the coordinates file, read by the run.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Where a window's client area lies on the screen: physical pixels.
struct ClientArea {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const ClientArea& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// A top-level window and the process it belongs to; window 0 when there is none.
struct WindowOwner {
    std::uintptr_t window = 0;
    unsigned long process = 0;
};

// A visible top-level window and where its client area lies on the screen (physical pixels).
struct PlacedWindow {
    WindowOwner owner;
    ClientArea area;
};

// The top-level window a position was captured on: its program's file name and its class (code
// page 1251), and its client area then. None (an empty class) for points from earlier files or
// captured where no window of another program lay.
struct CapturedWindow {
    std::string program;
    std::string className;
    ClientArea area;
    bool Recorded() const { return !className.empty(); }
    // The same window as far as a capture can tell: program and class.
    bool SameKind(const CapturedWindow& o) const { return program == o.program && className == o.className; }
};

struct Position {
    Position() = default;
    Position(int atX, int atY, CapturedWindow on = {}) : x(atX), y(atY), window(std::move(on)) {}
    int x = 0;  // screen pixels; (0, 0) means not captured yet
    int y = 0;
    CapturedWindow window;
};

extern std::vector<Position> positions;  // one entry per barcode of a page
