// The ad banner's share of the main window: loading, rotation, hover, cursor, click and painting.
#pragma once
#include <windows.h>

void LoadAdsFromFile();
void UpdateAdsFromInternet();
void RotateAd();                  // timer 1100
void PollAdHover();               // timer 1103
void OnAdBannerClick();           // command from control 106
LRESULT PaintAdBanner(HDC dc);    // WM_CTLCOLORSTATIC for hAdBanner
void OnMainMouseMove(HWND hWnd, LPARAM lParam);
void OnMainMouseLeave();
