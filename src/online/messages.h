// Banner messages and the online texts shared between the portable core and the shell.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AdMessage {
    std::string text;          // code page 1251
    uint32_t color = 0x996633; // COLORREF 0x00BBGGRR
    bool bold = false;
};

extern std::string g_windowTitle;      // the main window's caption
extern std::vector<AdMessage> ownAds;  // the banner's messages
extern int currentAdIndex;
extern int g_isAdHovered;     // BOOL
extern int g_adsAreClickable; // BOOL
