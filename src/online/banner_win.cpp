// The ad banner (to be completed).
#include "online/banner_win.h"

void LoadAdsFromFile() {}
void UpdateAdsFromInternet() {}
void RotateAd() {}
void PollAdHover() {}
void OnAdBannerClick() {}
LRESULT PaintAdBanner(HDC) { return 0; }
void OnMainMouseMove(HWND, LPARAM) {}
void OnMainMouseLeave() {}
