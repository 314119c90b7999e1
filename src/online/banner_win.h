// The ad banner's share of the main window: loading, rotation, hover, cursor, click and painting.
#pragma once
#include <windows.h>

#include <string>

// The start-up load of the banner's messages. Despite the name it fetches over the network: the
// advertising list, and the message list when its cache file is missing or stale.
void LoadAdsFromFile();
// The text the banner is created with: the first message, or "Реклама" when there is none.
std::string BannerStartText();
// The banner control, once it exists.
void AttachAdBanner(HWND banner);
void UpdateAdsFromInternet();     // timer 1101 and the click
void RotateAd();                  // timer 1100
void PollAdHover();               // timer 1103
void OnAdBannerClick();           // command from control 106
LRESULT PaintAdBanner(HDC dc);    // WM_CTLCOLORSTATIC for the banner
void OnMainMouseMove(HWND hWnd, LPARAM lParam);
void OnMainMouseLeave();
