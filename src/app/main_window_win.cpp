// The main window: its controls (a data table) and its window procedure, which routes every
// message to the subsystem that owns it.
#include "app/main_window_win.h"

#include "app/app_settings.h"
#include "app/app_settings_win.h"
#include "app/main_window_ids.h"
#include "automation/positions/automation_state.h"
#include "automation/positions/capture_win.h"
#include "automation/run/run.h"
#include "automation/run/run_fields.h"
#include "automation/run/run_folder.h"
#include "automation/run/run_win.h"
#include "delays/settings_window_win.h"
#include "online/banner_win.h"
#include "online/title_win.h"
#include "online/vendor.h"
#include "platform/app_window_win.h"
#include "platform/captions.h"
#include "platform/controls_win.h"
#include "platform/dialog_keys_win.h"
#include "platform/dpi_win.h"
#include "platform/gdi_win.h"
#include "platform/text_win.h"
#include "tables/merge_window_win.h"

#include <shellapi.h>

#include <iterator>
#include <optional>
#include <string>

namespace {
HWND hPrefixEdit = nullptr, hStartNumberEdit = nullptr, hTotalBarcodesEdit = nullptr, hBarcodesPerPageCombo = nullptr,
     hStartButton = nullptr, hSettingsButton = nullptr, hMergeButton = nullptr, hSaveCoordsButton = nullptr,
     hLoadCoordsButton = nullptr, hHidePromptsCheck = nullptr, hVariableListCheck = nullptr,
     hVariableListEdit = nullptr, hAlwaysOnTopCheck = nullptr, hCoordsScroll = nullptr, hAdBanner = nullptr,
     hVideoLink = nullptr, hWebsiteLink = nullptr;

constexpr DWORD V = WS_VISIBLE;
constexpr DWORD T = WS_TABSTOP;  // reached with Tab, in screen order (platform/dialog_keys_win)

// Posted by the window's creation so the fetches from the server start once the window is on screen:
// their threads then take nothing from the window's first appearance.
constexpr UINT kStartFetchesMessage = WM_APP + 22;
// Posted when another copy's run holds the working folder, so that the window is on screen before the
// message says so.
constexpr UINT kRunElsewhereShowMessage = WM_APP + 23;

// Controls 1-21 of the main window, in creation order.
const ControlRow kMainControls[] = {
    {"BUTTON", "СЛИЯНИЕ ПРИ ПЕЧАТИ", V | T | BS_DEFPUSHBUTTON, 10, 32, 370, 25, kMergeButtonId, &hMergeButton},
    {"STATIC", " Префикс:", V | SS_LEFT, 10, 62, 114, 20, 0, nullptr},
    {"EDIT", "", V | T | WS_BORDER | ES_AUTOHSCROLL, 125, 62, 95, 20, kPrefixEditId, &hPrefixEdit},
    {"STATIC", " Начать с:", V | SS_LEFT, 10, 87, 114, 20, 0, nullptr},
    {"EDIT", "0001", V | T | WS_BORDER, 125, 87, 95, 20, kStartNumberEditId, &hStartNumberEdit},
    {"STATIC", " Всего:", V | SS_LEFT, 230, 62, 109, 20, 0, nullptr},
    {"EDIT", "5", V | T | WS_BORDER | ES_NUMBER, 340, 62, 40, 20, kTotalBarcodesEditId, &hTotalBarcodesEdit},
    {"STATIC", " К-во захв. на стр.:", V | SS_LEFT, 230, 87, 109, 20, 0, nullptr},
    {"COMBOBOX", "", V | T | CBS_DROPDOWNLIST, 340, 87, 40, 450, kBarcodesPerPageComboId, &hBarcodesPerPageCombo},
    {"BUTTON", "Настройки, советы", V | T | BS_DEFPUSHBUTTON, 10, 113, 210, 20, kSettingsButtonId, &hSettingsButton},
    {"BUTTON", "Поверх окон", V | T | BS_AUTOCHECKBOX, 230, 113, 150, 20, kAlwaysOnTopCheckId, &hAlwaysOnTopCheck},
    {"BUTTON", "XL (вставка в Excel)", V | T | BS_AUTOCHECKBOX, 230, 138, 150, 20, kHidePromptsCheckId, &hHidePromptsCheck},
    {"BUTTON", "Переменная из списка", V | T | BS_AUTOCHECKBOX, 230, 165, 150, 20, kVariableListCheckId,
     &hVariableListCheck},
    {"EDIT", "", T | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 254, 265, 125, 245,
     kVariableListEditId, &hVariableListEdit},
    {"STATIC", "Pause/Break - экстренная остановка", V | SS_CENTER, 10, 191, 370, 18, 0, nullptr},
    {"BUTTON", "СТАРТ", V | T | BS_DEFPUSHBUTTON, 10, 213, 370, 25, kStartButtonId, &hStartButton},
    {"STATIC", "Перед захватами отцентруйте страницу - F4", V | SS_CENTER, 10, 242, 370, 18, 0, nullptr},
    {"SCROLLBAR", "", V | SBS_VERT, 230, 265, 20, 245, kCoordsScrollId, &hCoordsScroll},
    {"BUTTON", "Сохранить координаты захватов", V | T | BS_DEFPUSHBUTTON, 10, 139, 210, 20, kSaveCoordsButtonId,
     &hSaveCoordsButton},
    {"BUTTON", "Загрузить координаты захватов", V | T | BS_DEFPUSHBUTTON, 10, 165, 210, 20, kLoadCoordsButtonId,
     &hLoadCoordsButton},
    {"STATIC", "версия 2.1", V | SS_CENTER, 162, 513, 65, 18, 0, nullptr},
};

// The banner (its text is set at creation) and the two links, created after the font is given out.
const ControlRow kBannerControl = {"STATIC", "", V | SS_CENTER | SS_NOTIFY, 10, 8, 370, 18, kAdBannerId, &hAdBanner};
const ControlRow kLinkControls[] = {
    {"STATIC", "Видеоинструкция", V | SS_LEFT | SS_NOTIFY, 10, 513, 117, 20, kVideoLinkId, &hVideoLink},
    {"STATIC", "Контакты", V | SS_CENTER | SS_NOTIFY, 315, 513, 70, 20, kWebsiteLinkId, &hWebsiteLink},
};

constexpr int kPerPageChoices = 30;
constexpr size_t kPerPageComboRow = 8;  // index of the combo box in kMainControls
constexpr int kDefaultPerPageIndex = 4;  // "5"

void OpenInBrowser(const std::string& url) {
    ShellExecuteW(nullptr, L"open", WideFromCp1251(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// --- Links: colour and underline chosen when they paint -----------------------------------------------

bool IsCursorInClient(HWND control) {
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(control, &cursor);
    RECT client;
    GetClientRect(control, &client);
    return PtInRect(&client, cursor) != FALSE;
}

// The main window has no font of its own, so the variants start from the system's default face.
LRESULT PaintLink(HWND hWnd, HWND link, HDC dc, OwnedFont& hoverFont, OwnedFont& normalFont) {
    const bool hovered = IsCursorInClient(link);
    OwnedFont& owned = hovered ? hoverFont : normalFont;
    if (!owned)
        owned.Reset(CreateVariantFont(reinterpret_cast<HFONT>(SendMessageW(hWnd, WM_GETFONT, 0, 0)), hovered,
                                      WindowDpi(hWnd)));
    HFONT font = owned.Get();
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

// The run's inputs, or nothing once a refusal has said which character of which field the run could
// not type as it stands.
std::optional<RunInputs> ReadRunInputs() {
    RunFields fields;
    fields.prefix = GetControlTextUtf16(hPrefixEdit);
    fields.startText = GetControlTextUtf16(hStartNumberEdit);
    fields.totalText = GetControlTextUtf16(hTotalBarcodesEdit);
    fields.listMode = IsChecked(hVariableListCheck);
    if (fields.listMode) fields.listText = GetControlTextUtf16(hVariableListEdit);
    RunInputs in;
    const std::u16string refusal = ReadRunFields(fields, Cp1251FromUtf16Exact, in);
    if (!refusal.empty()) {
        ShowMessage(AppWindow(), refusal, kErrorCaption, MB_OK);
        return std::nullopt;
    }
    in.perPage = ComboIndex(hBarcodesPerPageCombo) + 1;
    in.excelMode = appSettings.excelMode != 0;
    in.positions = positions;
    return in;
}

void UpdateVariableListVisibility() {
    const bool listMode = IsChecked(hVariableListCheck);
    ShowWindow(hVariableListEdit, listMode ? SW_SHOW : SW_HIDE);
    EnableWindow(hStartNumberEdit, listMode ? FALSE : TRUE);
    EnableWindow(hTotalBarcodesEdit, listMode ? FALSE : TRUE);
}

// A file that cannot be written is reported once per start of the program: the option still applies
// until it closes, and saying so at every click would only nag.
void SaveOptionsAfterClick() {
    static bool told = false;
    if (SaveAppSettings() || told) return;
    told = true;
    ShowMessage(AppWindow(),
                std::string("Не удалось записать файл ") + kAppSettingsFile +
                    "!\nВыбранные настройки действуют до закрытия программы.",
                kErrorCaption, MB_OK | MB_ICONERROR);
}

// A run the program left unfinished when it closed: its inputs in the fields, check boxes, list and
// rows, so that "СТАРТ" reads them back and asks whether to go on.
void ShowInterruptedRun() {
    if (RunFolderBusy()) {
        PostMessageW(AppWindow(), kRunElsewhereShowMessage, 0, 0);
        return;
    }
    const std::optional<SavedRun> saved = RestoreInterruptedRun();
    if (!saved) return;
    const RunInputs& in = saved->inputs;
    SetControlText(hPrefixEdit, in.prefix);
    SetControlText(hStartNumberEdit, in.startText);
    SetControlText(hTotalBarcodesEdit, in.totalText);
    SendMessageW(hBarcodesPerPageCombo, CB_SETCURSEL, in.perPage - 1, 0);
    SetChecked(hVariableListCheck, in.listMode);
    if (in.listMode) SetControlText(hVariableListEdit, in.listText);
    UpdateVariableListVisibility();
    appSettings.excelMode = in.excelMode ? 1 : 0;
    SetChecked(hHidePromptsCheck, in.excelMode);
    positions = in.positions;
    UpdateCoordinateFields(static_cast<int>(positions.size()));
}

void OnLoadCoordinates() {
    if (!LoadCoordinates()) return;
    const int count = static_cast<int>(positions.size());
    SendMessageW(hBarcodesPerPageCombo, CB_SETCURSEL, count - 1, 0);
    UpdateCoordinateFields(count);
}

// Fetched texts are cached (written through to the disk) and shown when the window takes them; during a
// run its pump points must not wait for the disk, so they stay in their mailboxes and are taken once
// the run (with its closing message) has ended.
void OnFetchesFinished() {
    if (RunInProgress()) return;
    OnBannerFetched();
    OnTitleFetched();
}

void OnStart() {
    if (RunInProgress()) return;  // dispatched at a pump point of the run: it starts nothing, says nothing
    if (const std::optional<RunInputs> inputs = ReadRunInputs()) StartAutomation(*inputs);
    OnFetchesFinished();
}

void OnCommand(HWND control, int id, int code) {
    if (control == hMergeButton) ShowMergeWindow();
    if (control == hSettingsButton) ShowSettingsWindow();
    if (id == kBarcodesPerPageComboId && code == CBN_SELCHANGE)
        UpdateCoordinateFields(ComboIndex(hBarcodesPerPageCombo) + 1);
    OnCaptureButton(control);
    if (control == hStartButton) OnStart();
    if (control == hSaveCoordsButton) SaveCoordinates();
    if (control == hLoadCoordsButton) OnLoadCoordinates();
    if (control == hVariableListCheck) UpdateVariableListVisibility();
    if (control == hVariableListEdit && code == EN_MAXTEXT) ShowListFieldFull(AppWindow());
    if (control == hAlwaysOnTopCheck) {
        appSettings.alwaysOnTop = IsChecked(hAlwaysOnTopCheck) ? 1 : 0;
        UpdateWindowStyle();
        SaveOptionsAfterClick();
    }
    if (control == hHidePromptsCheck) {
        appSettings.excelMode = IsChecked(hHidePromptsCheck) ? 1 : 0;
        SaveOptionsAfterClick();
    }
    if (id == kWebsiteLinkId) OpenInBrowser(VendorUrl("http", "/contacts.html"));
    if (id == kVideoLinkId) OpenInBrowser(VendorUrl("https", "/"));
    if (id == kAdBannerId) OnAdBannerClick(AutomationRunning());
}

void OnTimer(UINT_PTR id) {
    switch (id) {
        case kAdRotateTimerId: RotateAd(); break;
        case kInternetCheckTimerId: UpdateAdsFromInternet(); break;
        case kAdHoverTimerId: PollAdHover(); break;
        case kTitleTimerId: UpdateTitleFromServer(); break;
        default: break;
    }
}

// The links' fonts, made at first paint for the window's DPI.
OwnedFont hVideoFontHover, hVideoFontNormal, hLinkFont, hNormalFont;

LRESULT OnCtlColorStatic(HWND hWnd, HDC dc, HWND control) {
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

// The banner and the links paint with fonts of their own; they are made again for the new DPI.
void OnDpiChanged(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    for (OwnedFont* font : {&hVideoFontHover, &hVideoFontNormal, &hLinkFont, &hNormalFont}) font->Reset();
    ForgetBannerFonts();
    ApplyDpiChange(hWnd, wParam, lParam);
}

void OnWindowPosChanged(HWND hWnd, const WINDOWPOS* position) {
    if (!(position->flags & SWP_NOZORDER)) ReassertTopmost(hWnd);
}

void OnDestroy(HWND hWnd) {
    SaveAppSettings();
    for (UINT_PTR timer : {kAdRotateTimerId, kAdHoverTimerId, kInternetCheckTimerId}) KillTimer(hWnd, timer);
    PostQuitMessage(0);
}

// The creation of the main window, in the order start-up has always had: the banner's messages and
// the options are loaded first, then the controls, the title, the timers and the position rows; the
// fetches from the server are started last, as soon as the window is shown. Nothing here waits for
// the network: the window shows the cached or built-in texts and takes the server's answers when
// they come.
void CreateMainControls(HWND hWnd) {
    LoadAdsFromFile();
    LoadAppSettings();
    // The per-page list is filled as soon as the combo exists, before the controls after it, so no
    // control ever sees it empty.
    CreateControlRows(hWnd, kMainControls, kPerPageComboRow + 1);
    FillNumberCombo(hBarcodesPerPageCombo, kPerPageChoices, kDefaultPerPageIndex);
    CreateControlRows(hWnd, kMainControls + kPerPageComboRow + 1, std::size(kMainControls) - kPerPageComboRow - 1);
    LoadProgramTitle();
    SetTimer(hWnd, kAdRotateTimerId, 9000, nullptr);
    SetTimer(hWnd, kAdHoverTimerId, 100, nullptr);
    SetTimer(hWnd, kInternetCheckTimerId, 1800000, nullptr);
    SetTimer(hWnd, kTitleTimerId, 3600000, nullptr);
    SetChecked(hAlwaysOnTopCheck, appSettings.alwaysOnTop != 0);
    SetChecked(hHidePromptsCheck, appSettings.excelMode != 0);
    SetAppWindow(hWnd);
    AttachCoordinateRows(hWnd, hCoordsScroll);
    UpdateCoordinateFields(5);
    ShowWindow(hVariableListEdit, SW_HIDE);
    AllowListText(hVariableListEdit);
    SetFontOnChildren(hWnd, UiFont(WindowDpi(hWnd)));
    ControlRow banner = kBannerControl;
    const std::string bannerText = BannerStartText();
    banner.text = bannerText.c_str();
    AttachAdBanner(CreateControlRow(hWnd, banner));
    CreateControlRows(hWnd, kLinkControls);
    // Tab moves through the fields; Enter in a field keeps doing nothing (no default button here).
    UseDialogKeys(hWnd, false);
    ShowInterruptedRun();
    PostMessageW(hWnd, kStartFetchesMessage, 0, 0);
}

void StartFetches() {
    UpdateAdsFromInternet();
    FetchTitleIfStale();
}
}  // namespace

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: CreateMainControls(hWnd); return 0;
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
        case WM_DPICHANGED: OnDpiChanged(hWnd, wParam, lParam); return 0;
        case WM_DESTROY: OnDestroy(hWnd); return 0;
        case kStartFetchesMessage: StartFetches(); return 0;
        case kRunElsewhereShowMessage: ShowMessage(hWnd, kRunElsewhereMessage, kErrorCaption, MB_OK); return 0;
        case kBannerFetchedMessage:
        case kTitleFetchedMessage: OnFetchesFinished(); return 0;
        default: return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
