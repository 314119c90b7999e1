// The main window: its controls (a data table) and its window procedure, which routes every
// message to the subsystem that owns it.
#include "app/app_settings.h"
#include "app/control_table_win.h"
#include "app/globals_win.h"
#include "app/text_win.h"
#include "automation/capture_win.h"
#include "automation/run_win.h"
#include "delays/settings_window_win.h"
#include "online/banner_win.h"
#include "online/messages.h"
#include "online/title_win.h"
#include "online/vendor.h"
#include "tables/merge_window_win.h"

#include <shellapi.h>

#include <iterator>
#include <string>

namespace {
constexpr DWORD V = WS_VISIBLE;

// Controls 1-21 of the main window, in creation order.
const ControlSpec kMainControls[] = {
    {"BUTTON", "СЛИЯНИЕ ПРИ ПЕЧАТИ", V | BS_DEFPUSHBUTTON, 10, 32, 370, 25, kMergeButtonId, &hMergeButton},
    {"STATIC", " Префикс:", V | SS_LEFT, 10, 62, 114, 20, 0, nullptr},
    {"EDIT", "", V | WS_BORDER | ES_AUTOHSCROLL, 125, 62, 95, 20, 0, &hPrefixEdit},
    {"STATIC", " Начать с:", V | SS_LEFT, 10, 87, 114, 20, 0, nullptr},
    {"EDIT", "0001", V | WS_BORDER, 125, 87, 95, 20, 0, &hStartNumberEdit},
    {"STATIC", " Всего:", V | SS_LEFT, 230, 62, 109, 20, 0, nullptr},
    {"EDIT", "5", V | WS_BORDER | ES_NUMBER, 340, 62, 40, 20, 0, &hTotalBarcodesEdit},
    {"STATIC", " К-во захв. на стр.:", V | SS_LEFT, 230, 87, 109, 20, 0, nullptr},
    {"COMBOBOX", "", V | CBS_DROPDOWNLIST, 340, 87, 40, 450, kBarcodesPerPageComboId, &hBarcodesPerPageCombo},
    {"BUTTON", "Настройки, советы", V | BS_DEFPUSHBUTTON, 10, 113, 210, 20, 0, &hSettingsButton},
    {"BUTTON", "Поверх окон", V | BS_AUTOCHECKBOX, 230, 113, 150, 20, 0, &hAlwaysOnTopCheck},
    {"BUTTON", "XL (вставка в Excel)", V | BS_AUTOCHECKBOX, 230, 138, 150, 20, 0, &hHidePromptsCheck},
    {"BUTTON", "Переменная из списка", V | BS_AUTOCHECKBOX, 230, 165, 150, 20, 0, &hVariableListCheck},
    {"EDIT", "", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 254, 265, 125, 245, 0,
     &hVariableListEdit},
    {"STATIC", "Pause/Break - экстренная остановка", V | SS_CENTER, 10, 191, 370, 18, 0, nullptr},
    {"BUTTON", "СТАРТ", V | BS_DEFPUSHBUTTON, 10, 213, 370, 25, 0, &hStartButton},
    {"STATIC", "Перед захватами отцентруйте страницу - F4", V | SS_CENTER, 10, 242, 370, 18, 0, nullptr},
    {"SCROLLBAR", "", V | SBS_VERT, 230, 265, 20, 245, 0, &hCoordsScroll},
    {"BUTTON", "Сохранить координаты захватов", V | BS_DEFPUSHBUTTON, 10, 139, 210, 20, 0, &hSaveCoordsButton},
    {"BUTTON", "Загрузить координаты захватов", V | BS_DEFPUSHBUTTON, 10, 165, 210, 20, 0, &hLoadCoordsButton},
    {"STATIC", "версия 2.1", V | SS_CENTER, 162, 513, 65, 18, 0, nullptr},
};

// The banner (its text is set at creation) and the two links, created after the font is given out.
const ControlSpec kBannerControl = {"STATIC", "", V | SS_CENTER | SS_NOTIFY, 10, 8, 370, 18, kAdBannerId, &hAdBanner};
const ControlSpec kLinkControls[] = {
    {"STATIC", "Видеоинструкция", V | SS_LEFT | SS_NOTIFY, 10, 513, 117, 20, kVideoLinkId, &hVideoLink},
    {"STATIC", "Контакты", V | SS_CENTER | SS_NOTIFY, 315, 513, 70, 20, kWebsiteLinkId, &hWebsiteLink},
};

constexpr int kPerPageChoices = 30;
constexpr size_t kPerPageComboRow = 8;  // index of the combo box in kMainControls
constexpr int kDefaultPerPageIndex = 4;  // "5"

HFONT CreateControlFont() {
    return CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
}

void FillPerPageCombo() {
    for (int i = 1; i <= kPerPageChoices; ++i)
        SendMessageW(hBarcodesPerPageCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(i).c_str()));
    SendMessageW(hBarcodesPerPageCombo, CB_SETCURSEL, kDefaultPerPageIndex, 0);
}

void SetCheck(HWND box, int on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
bool IsChecked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void OpenInBrowser(const std::string& url) {
    ShellExecuteW(nullptr, L"open", Wide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// --- Links: colour and underline chosen when they paint -----------------------------------------------

HFONT MakeLinkFont(HWND window, bool underline) {
    LOGFONTW description = {};
    HFONT current = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (current) GetObjectW(current, sizeof description, &description);
    description.lfUnderline = underline ? TRUE : FALSE;
    return CreateFontIndirectW(&description);
}

bool IsCursorInClient(HWND control) {
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(control, &cursor);
    RECT client;
    GetClientRect(control, &client);
    return PtInRect(&client, cursor) != FALSE;
}

LRESULT PaintLink(HWND hWnd, HWND link, HDC dc, HFONT& hoverFont, HFONT& normalFont) {
    const bool hovered = IsCursorInClient(link);
    HFONT& font = hovered ? hoverFont : normalFont;
    if (!font) font = MakeLinkFont(hWnd, hovered);
    SetTextColor(dc, hovered ? RGB(0, 0, 255) : RGB(100, 100, 100));
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// A control's window rectangle shrunk by 2 pixels on each side.
bool IsPointInsideShrunk(HWND control, POINT point) {
    if (!control || !IsWindow(control)) return false;
    RECT rect;
    GetWindowRect(control, &rect);
    InflateRect(&rect, -2, -2);
    return PtInRect(&rect, point) != FALSE;
}

// --- Message handlers ------------------------------------------------------------------------------

void OnCommand(HWND control, int id, int code) {
    if (control == hMergeButton) ShowMergeWindow();
    if (control == hSettingsButton) ShowSettingsWindow();
    if (id == kBarcodesPerPageComboId && code == CBN_SELCHANGE)
        UpdateCoordinateFields(static_cast<int>(SendMessageW(hBarcodesPerPageCombo, CB_GETCURSEL, 0, 0)) + 1);
    for (size_t i = 0; i < captureButtons.size(); ++i) {
        if (control == captureButtons[i]) {
            CaptureCoordinates(static_cast<int>(i));
            break;
        }
    }
    if (control == hStartButton) StartAutomation();
    if (control == hSaveCoordsButton) SaveCoordinates();
    if (control == hLoadCoordsButton) LoadCoordinates();
    if (control == hVariableListCheck) UpdateVariableListVisibility();
    if (control == hAlwaysOnTopCheck) {
        appSettings.alwaysOnTop = IsChecked(hAlwaysOnTopCheck) ? 1 : 0;
        UpdateWindowStyle();
        SaveAppSettings();
    }
    if (control == hHidePromptsCheck) {
        appSettings.excelMode = IsChecked(hHidePromptsCheck) ? 1 : 0;
        SaveAppSettings();
    }
    if (id == kWebsiteLinkId) OpenInBrowser(VendorUrl("http", "/contacts.html"));
    if (id == kVideoLinkId) OpenInBrowser(VendorUrl("https", "/"));
    if (id == kAdBannerId) OnAdBannerClick();
}

void OnTimer(UINT_PTR id) {
    switch (id) {
        case kAdRotateTimerId: RotateAd(); break;
        case kInternetCheckTimerId: UpdateAdsFromInternet(); break;
        case kAdHoverTimerId: PollAdHover(); break;
        case kTitleTimerId:
            if (DownloadTitleFromServer()) {
                LoadTitleFromFile();
                UpdateProgramTitle();
            }
            break;
        default: break;
    }
}

LRESULT OnCtlColorStatic(HWND hWnd, HDC dc, HWND control) {
    static HFONT hVideoFontHover, hVideoFontNormal, hLinkFont, hNormalFont;
    if (control == hVideoLink) return PaintLink(hWnd, control, dc, hVideoFontHover, hVideoFontNormal);
    if (control == hWebsiteLink) return PaintLink(hWnd, control, dc, hLinkFont, hNormalFont);
    if (control == hAdBanner) return PaintAdBanner(dc);
    return 0;
}

LRESULT OnSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    POINT cursor;
    GetCursorPos(&cursor);
    if (IsPointInsideShrunk(hAdBanner, cursor) || IsPointInsideShrunk(hVideoLink, cursor) ||
        IsPointInsideShrunk(hWebsiteLink, cursor)) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefWindowProcW(hWnd, WM_SETCURSOR, wParam, lParam);
}

void OnWindowPosChanged(HWND hWnd, const WINDOWPOS* position) {
    if (!(position->flags & SWP_NOZORDER)) ReassertTopmost(hWnd);
}

void OnDestroy(HWND hWnd) {
    SaveAppSettings();
    for (UINT_PTR timer : {g_adRotateTimer, g_adHoverTimer, internetCheckTimer})
        if (timer) KillTimer(hWnd, timer);
    PostQuitMessage(0);
}
}  // namespace

void CreateControls(HWND hWnd) {
    LoadAdsFromFile();
    LoadAppSettings();
    HFONT font = CreateControlFont();
    // The combo box gets its items right after it is created, before the controls that follow it.
    ::CreateControls(hWnd, kMainControls, kPerPageComboRow + 1);
    FillPerPageCombo();
    ::CreateControls(hWnd, kMainControls + kPerPageComboRow + 1, std::size(kMainControls) - kPerPageComboRow - 1);
    LoadProgramTitle();
    g_adRotateTimer = SetTimer(hWnd, kAdRotateTimerId, 9000, nullptr);
    g_adHoverTimer = SetTimer(hWnd, kAdHoverTimerId, 100, nullptr);
    internetCheckTimer = SetTimer(hWnd, kInternetCheckTimerId, 1800000, nullptr);
    SetTimer(hWnd, kTitleTimerId, 3600000, nullptr);
    SetCheck(hAlwaysOnTopCheck, appSettings.alwaysOnTop);
    SetCheck(hHidePromptsCheck, appSettings.excelMode);
    hMainWindow = hWnd;
    UpdateCoordinateFields(5);
    ShowWindow(hVariableListEdit, SW_HIDE);
    SetFontOnChildren(hWnd, font);
    ControlSpec banner = kBannerControl;
    const std::string bannerText = ownAds.empty() ? std::string("Реклама") : ownAds.front().text;
    banner.text = bannerText.c_str();
    CreateControl(hWnd, banner);
    ::CreateControls(hWnd, kLinkControls);
    UpdateAdsFromInternet();
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: CreateControls(hWnd); return 0;
        case WM_COMMAND: OnCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_TIMER: OnTimer(wParam); return 0;
        case WM_CTLCOLORSTATIC: return OnCtlColorStatic(hWnd, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SETCURSOR: return OnSetCursor(hWnd, wParam, lParam);
        case WM_VSCROLL: return reinterpret_cast<HWND>(lParam) == hCoordsScroll ? OnCoordsScroll(wParam) : 0;
        case WM_MOUSEMOVE: OnMainMouseMove(hWnd, lParam); return 0;
        case WM_MOUSELEAVE: OnMainMouseLeave(); return 0;
        case WM_ACTIVATE: if (LOWORD(wParam) != WA_INACTIVE) ReassertTopmost(hWnd); return 0;
        case WM_SHOWWINDOW: if (wParam) UpdateWindowStyle(); return 0;
        case WM_WINDOWPOSCHANGED: OnWindowPosChanged(hWnd, reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
        case WM_DESTROY: OnDestroy(hWnd); return 0;
        default: return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
