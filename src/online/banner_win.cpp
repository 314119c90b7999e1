// The ad banner on the main window: loading and refreshing its list, rotation, the hand pointer
// over it, the click that opens the hub page, and its colours and fonts.
#include "online/banner_win.h"

#include "delays/delay_settings.h"
#include "online/background_fetch_win.h"
#include "online/banner_list.h"
#include "online/cache_file.h"
#include "online/internet.h"
#include "online/messages.h"
#include "online/vendor.h"
#include "platform/app_window_win.h"
#include "platform/dpi_win.h"
#include "platform/gdi_win.h"
#include "platform/text_win.h"

#include <shellapi.h>

#include <vector>

namespace {
constexpr COLORREF kNoMessageColor = 0xFF6666;
HWND hAdBanner = nullptr;
std::vector<AdMessage> ownAds;  // the banner's messages
int currentAdIndex = 0;
int g_isAdHovered = 0;       // BOOL
int g_adsAreClickable = 0;   // BOOL
OwnedFont hAdFontNormal, hAdFontBold, hAdFont;
KnownMessages knownMessages{SystemCacheHost(), {}};
bool messagesDue = false;  // the message cache was missing or stale at start-up and is not fetched yet
// Shared with the worker threads, which may outlive every window.
const auto bannerMailbox = std::make_shared<FetchMailbox<BannerFetch>>();

bool BannerExists() { return hAdBanner && IsWindow(hAdBanner); }

void RepaintBanner() {
    InvalidateRect(hAdBanner, nullptr, TRUE);
    UpdateWindow(hAdBanner);
}

void ShowAd(int index) {
    SetControlText(hAdBanner, ownAds[index].text);
    RepaintBanner();
}

void ShowCurrentAd() {
    if (!hAdBanner || ownAds.empty()) return;
    if (currentAdIndex < 0 || currentAdIndex >= static_cast<int>(ownAds.size())) currentAdIndex = 0;
    ShowAd(currentAdIndex);
}

bool IsOverBanner(POINT screen) {
    RECT rect;
    GetWindowRect(hAdBanner, &rect);
    return PtInRect(&rect, screen) != FALSE;
}

void SetHoverPointer(bool over) { SetCursor(LoadCursor(nullptr, over ? IDC_HAND : IDC_ARROW)); }

// The main window has no font of its own, so the description usually starts empty and the
// system picks its default face at the banner's size.
HFONT MakeBannerFont(LONG weight) {
    LOGFONTW description = {};
    if (HFONT base = reinterpret_cast<HFONT>(SendMessageW(GetParent(hAdBanner), WM_GETFONT, 0, 0)))
        GetObjectW(base, sizeof description, &description);
    description.lfHeight = ScaleForDpi(-12, WindowDpi(hAdBanner));
    description.lfWeight = weight;
    return CreateFontIndirectW(&description);
}

HFONT Font(OwnedFont& font, LONG weight) {
    if (!font) font.Reset(MakeBannerFont(weight));
    return font.Get();
}
}  // namespace

void AttachAdBanner(HWND banner) { hAdBanner = banner; }

void ForgetBannerFonts() {
    for (OwnedFont* font : {&hAdFontNormal, &hAdFontBold, &hAdFont}) font->Reset();
}

std::string BannerStartText() { return ownAds.empty() ? std::string("Реклама") : ownAds.front().text; }

void LoadAdsFromFile() {
    g_adsAreClickable = FALSE;
    messagesDue = IsFileOlderThanMonth(SystemCacheHost(), kInspirationalCacheFile);
    LoadStartupMessages(knownMessages, ownAds);
}

void UpdateAdsFromInternet() {
    const bool withMessages = messagesDue;
    const bool started = StartBackgroundFetch<BannerFetch>(bannerMailbox, AppWindow(), kBannerFetchedMessage, [withMessages] {
        const auto net = NewSystemInternet();
        return FetchBannerSources(*net, withMessages);
    });
    if (started) messagesDue = false;
}

void OnBannerFetched() {
    for (BannerFetch& fetched : bannerMailbox->TakeAll()) {
        const bool clickable = ApplyBannerFetch(knownMessages, std::move(fetched), ownAds);
        ShowCurrentAd();
        g_adsAreClickable = clickable ? TRUE : FALSE;
    }
}

void RotateAd() {
    if (ownAds.empty()) return;
    const int count = static_cast<int>(ownAds.size());
    currentAdIndex = currentAdIndex < 0 ? 0 : (currentAdIndex + 1) % count;
    if (hAdBanner) ShowAd(currentAdIndex);
}

void PollAdHover() {
    if (!BannerExists()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    const BOOL over = IsOverBanner(cursor) ? TRUE : FALSE;
    if (over == g_isAdHovered) return;
    g_isAdHovered = over;
    SetHoverPointer(over);
    RepaintBanner();
}

void OnMainMouseMove(HWND hWnd, LPARAM lParam) {
    static BOOL wasOverAd = FALSE;
    POINT point = {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    ClientToScreen(hWnd, &point);
    if (!BannerExists()) return;
    const BOOL over = IsOverBanner(point) ? TRUE : FALSE;
    if (over != wasOverAd) {
        wasOverAd = g_isAdHovered = over;
        SetHoverPointer(over);
        RepaintBanner();
    }
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hWnd, 0};
    TrackMouseEvent(&track);
}

void OnMainMouseLeave() {
    if (!g_isAdHovered) return;
    g_isAdHovered = FALSE;
    if (hAdBanner) RepaintBanner();
}

// The short waits give the click a visible moment before anything happens, the same on every kind of
// banner; they are bounded like every other wait of the program, and left out during a run, whose
// pump points must not hold the thread.
void OnAdBannerClick(bool duringRun) {
    if (g_adsAreClickable) {
        if (!duringRun) Sleep(BoundedDelay(50));
        UpdateAdsFromInternet();
        ShellExecuteW(nullptr, L"open", WideFromCp1251(VendorUrl("http", "/hub.html")).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else if (!duringRun) {
        Sleep(BoundedDelay(100));
    }
    InvalidateRect(hAdBanner, nullptr, TRUE);
}

LRESULT PaintAdBanner(HDC dc) {
    RECT client;
    GetClientRect(hAdBanner, &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (currentAdIndex >= 0 && currentAdIndex < static_cast<int>(ownAds.size())) {
        const AdMessage& message = ownAds[currentAdIndex];
        SetTextColor(dc, message.color);
        SelectObject(dc, message.bold ? Font(hAdFontBold, FW_BOLD) : Font(hAdFontNormal, FW_NORMAL));
    } else {
        SetTextColor(dc, kNoMessageColor);
        SelectObject(dc, Font(hAdFont, FW_NORMAL));
    }
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}
