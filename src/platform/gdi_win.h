// GDI objects with owners, and the one UI font every window of the program uses.
#pragma once
#include <windows.h>

// Deletes the object it holds when it goes away or takes another.
template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};
using OwnedFont = GdiObject<HFONT>;

// Arial, 14 pixels at 96 dpi: the face and size the windows are laid out for. Made at first use for
// each DPI, kept for the life of the process, shared by all windows at that DPI.
HFONT UiFont(int dpi);
// Courier New, 14 pixels at 96 dpi, for the preview fields: table columns line up.
HFONT FixedPitchFont(int dpi);
// The same one of the two fonts above made for `dpi`; null for any other font.
HFONT SameFontAtDpi(HFONT font, int dpi);
// A copy of `font` with or without underline (the links' hover state), for a window at `dpi`.
HFONT CreateVariantFont(HFONT font, bool underline, int dpi);
