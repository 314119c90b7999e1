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
using OwnedBitmap = GdiObject<HBITMAP>;

// A device context with an owner: the screen's or a window's (released when it goes away) or,
// given another to be like, a memory one (deleted when it goes away).
class OwnedDc {
public:
    OwnedDc() : dc_(GetDC(nullptr)), released_(true) {}
    explicit OwnedDc(HWND window) : window_(window), dc_(GetDC(window)), released_(true) {}
    explicit OwnedDc(HDC like) : dc_(like ? CreateCompatibleDC(like) : nullptr), released_(false) {}
    ~OwnedDc() {
        if (dc_ && released_) ReleaseDC(window_, dc_);
        if (dc_ && !released_) DeleteDC(dc_);
    }
    OwnedDc(const OwnedDc&) = delete;
    OwnedDc& operator=(const OwnedDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_ = nullptr;
    HDC dc_;
    bool released_;
};

// An object selected into a device context for as long as this lives; the one before goes back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    bool Selected() const { return old_ && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Arial, 14 pixels at 96 dpi: the face and size the windows are laid out for. Made at first use for
// each DPI, kept for the life of the process, shared by all windows at that DPI.
HFONT UiFont(int dpi);
// Courier New, 14 pixels at 96 dpi, for the preview fields: table columns line up.
HFONT FixedPitchFont(int dpi);
// The same one of the two fonts above made for `dpi`; null for any other font.
HFONT SameFontAtDpi(HFONT font, int dpi);
// A copy of `font` with or without underline (the links' hover state), for a window at `dpi`.
HFONT CreateVariantFont(HFONT font, bool underline, int dpi);
