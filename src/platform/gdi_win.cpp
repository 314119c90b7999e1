// The shared fonts (see gdi_win.h).
#include "platform/gdi_win.h"

#include "platform/dpi_scale.h"

#include <map>
#include <utility>

namespace {
enum class Face { kUi, kFixedPitch };
constexpr int kFontHeight = 14;  // character cell height at 96 dpi

HFONT CreateFaceOfHeight(Face face, int height) {
    const bool ui = face == Face::kUi;
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, ui ? DEFAULT_PITCH : FIXED_PITCH | FF_MODERN,
                       ui ? L"Arial" : L"Courier New");
}

// The width of a sample of the program's texts (Cyrillic and Latin letters, digits) in `font`.
int SampleWidth(HDC dc, HFONT font) {
    static const wchar_t kSample[] = L"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя"
                                     L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .,:-";
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, kSample, static_cast<int>(wcslen(kSample)), &size);
    SelectObject(dc, old);
    return size.cx;
}

// At 96 dpi the face is 14 pixels high. Elsewhere the glyphs' hinting makes text grow faster than
// the height (a 21-pixel line is some 5 % wider than 1.5 times a 14-pixel one), and the labels are
// laid out for their 96-dpi text with little room to spare: the largest height up to the scaled one
// whose text is no wider than the 96-dpi text scaled is taken, so what fits at 96 dpi fits at any DPI.
HFONT CreateFace(Face face, int dpi) {
    if (dpi == kBaseDpi) return CreateFaceOfHeight(face, kFontHeight);
    HDC dc = GetDC(nullptr);
    HFONT base = CreateFaceOfHeight(face, kFontHeight);
    const long long allowed = static_cast<long long>(SampleWidth(dc, base)) * dpi;
    DeleteObject(base);
    HFONT font = nullptr;
    for (int height = ScaleForDpi(kFontHeight, dpi); height > 1; --height) {
        font = CreateFaceOfHeight(face, height);
        if (static_cast<long long>(SampleWidth(dc, font)) * kBaseDpi <= allowed || height <= kFontHeight) break;
        DeleteObject(font);
        font = nullptr;
    }
    ReleaseDC(nullptr, dc);
    return font;
}

// One font per face and DPI; a process sees a few DPIs at most.
std::map<std::pair<Face, int>, OwnedFont>& Fonts() {
    static std::map<std::pair<Face, int>, OwnedFont> fonts;
    return fonts;
}

HFONT FontFor(Face face, int dpi) {
    OwnedFont& font = Fonts()[{face, dpi}];
    if (!font) font.Reset(CreateFace(face, dpi));
    return font.Get();
}
}  // namespace

HFONT UiFont(int dpi) { return FontFor(Face::kUi, dpi); }

HFONT FixedPitchFont(int dpi) { return FontFor(Face::kFixedPitch, dpi); }

HFONT SameFontAtDpi(HFONT font, int dpi) {
    if (!font) return nullptr;
    for (const auto& entry : Fonts())
        if (entry.second.Get() == font) return FontFor(entry.first.first, dpi);
    return nullptr;
}

namespace {
// The cell height the system gives a font described with height 0. It does not follow the DPI.
int DefaultFontHeight() {
    LOGFONTW zero = {};
    HFONT font = CreateFontIndirectW(&zero);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return metrics.tmHeight;
}
}  // namespace

HFONT CreateVariantFont(HFONT font, bool underline, int dpi) {
    LOGFONTW description = {};
    if (font) GetObjectW(font, sizeof description, &description);
    // Without a font to start from, the system's default height is the size at 96 dpi.
    if (!font && dpi != kBaseDpi) description.lfHeight = ScaleForDpi(DefaultFontHeight(), dpi);
    description.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&description);
}
