// The page's picture: BitBlt from the page window's device context (what it shows on the screen, in
// its own client coordinates) into a 32-bit DIB section, then a digest of its pixels. A window's own
// drawing into another context (PrintWindow) is not the same on every system, and the screen's
// context of a per-monitor aware program reads black under Wine at other DPIs than 96.
#include "automation/watch/page_picture_win.h"

#include "automation/watch/page_evidence.h"
#include "automation/watch/page_turn.h"
#include "platform/gdi_win.h"

#include <cstdint>

namespace {
// The caret of the window's thread in the window's client coordinates; empty when it has none there.
PixelRect CaretRect(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndCaret) return {};
    if (info.hwndCaret != window && GetAncestor(info.hwndCaret, GA_ROOT) != window) return {};
    RECT caret = info.rcCaret;
    MapWindowPoints(info.hwndCaret, window, reinterpret_cast<POINT*>(&caret), 2);
    return {caret.left, caret.top, caret.right, caret.bottom};
}
}  // namespace

PagePicture TakePagePicture(HWND window, const std::vector<Position>& around) {
    PagePicture picture;
    RECT client;
    if (!IsWindow(window) || IsIconic(window) || !GetClientRect(window, &client)) return picture;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return picture;

    const OwnedDc shown(window);
    const OwnedDc memory(shown.Get());
    if (!shown.Get() || !memory.Get()) return picture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const OwnedBitmap bitmap(CreateDIBSection(shown.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return picture;
    {
        const SelectedObject selected(memory.Get(), bitmap.Get());
        if (!selected.Selected() || !BitBlt(memory.Get(), 0, 0, width, height, shown.Get(), 0, 0, SRCCOPY))
            return picture;
    }
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const PixelRect caret = CaretRect(window);
    picture.digest = PictureDigest(pixels, width, height, caret);
    for (const Position& at : around) {
        POINT point = {at.x, at.y};
        ScreenToClient(window, &point);
        const PixelRect region = {point.x - kRegionHalfWidth, point.y - kRegionHalfHeight, point.x + kRegionHalfWidth,
                                  point.y + kRegionHalfHeight};
        picture.regions.push_back(RegionDigest(pixels, width, height, region, caret));
    }
    picture.width = width;
    picture.height = height;
    picture.taken = true;
    return picture;
}
