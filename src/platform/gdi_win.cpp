// The shared fonts (see gdi_win.h).
#include "platform/gdi_win.h"

namespace {
HFONT CreateFace(const wchar_t* face, DWORD pitchAndFamily) {
    return CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, face);
}
}  // namespace

HFONT UiFont() {
    static const OwnedFont font(CreateFace(L"Arial", DEFAULT_PITCH));
    return font.Get();
}

HFONT FixedPitchFont() {
    static const OwnedFont font(CreateFace(L"Courier New", FIXED_PITCH | FF_MODERN));
    return font.Get();
}

HFONT CreateVariantFont(HFONT font, bool underline) {
    LOGFONTW description = {};
    if (font) GetObjectW(font, sizeof description, &description);
    description.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&description);
}
