// The shared fonts (see gdi_win.h).
#include "platform/gdi_win.h"

#include "platform/dpi_scale.h"

#include <map>
#include <utility>

namespace {
enum class Face { kUi, kFixedPitch };
constexpr int kFontHeight = 14;  // character cell height at 96 dpi

HFONT CreateFace(Face face, int dpi) {
    const bool ui = face == Face::kUi;
    return CreateFontW(ScaleForDpi(kFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       ui ? DEFAULT_PITCH : FIXED_PITCH | FF_MODERN, ui ? L"Arial" : L"Courier New");
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

HFONT CreateVariantFont(HFONT font, bool underline) {
    LOGFONTW description = {};
    if (font) GetObjectW(font, sizeof description, &description);
    description.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&description);
}
