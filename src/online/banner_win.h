// The ad banner's share of the main window: loading, rotation, hover, cursor, click and painting.
#pragma once
#include <windows.h>

#include <string>

// Posted to the main window when a banner fetch has finished; it carries nothing.
constexpr UINT kBannerFetchedMessage = WM_APP + 21;

// The start-up load of the banner's messages, without the network: the message cache, else the
// built-in list. Notes whether the message cache is missing or stale, for the first refresh.
void LoadAdsFromFile();
// The text the banner is created with: the first message, or "Реклама" when there is none.
std::string BannerStartText();
// The banner control, once it exists.
void AttachAdBanner(HWND banner);
// The banner's fonts are made again, for the window's DPI, when it next paints.
void ForgetBannerFonts();
// Start-up (last), timer 1101 and the click: fetches the advertising list (and, the first time,
// the message list when its cache was missing or stale) on a worker thread, unless a fetch is
// still under way. The banner changes when the answer comes (OnBannerFetched).
void UpdateAdsFromInternet();
// A wake-up (kBannerFetchedMessage): each fetch that ended since is applied; nothing when none did.
void OnBannerFetched();
void RotateAd();                  // timer 1100
void PollAdHover();               // timer 1103
void OnAdBannerClick(bool duringRun);  // command from control 106
LRESULT PaintAdBanner(HDC dc);    // WM_CTLCOLORSTATIC for the banner
void OnMainMouseMove(HWND hWnd, LPARAM lParam);
void OnMainMouseLeave();
