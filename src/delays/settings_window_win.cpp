// The delay-settings window: seven fields showing the delays in force, the three switches, Apply and
// Close, and fixed tuning tips for both run modes. At most one such window exists; it is owned by
// the main window.
#include "delays/settings_window_win.h"

#include "delays/delay_settings.h"
#include "delays/settings_window_ids.h"
#include "platform/app_window_win.h"
#include "platform/captions.h"
#include "platform/controls_win.h"
#include "platform/dialog_keys_win.h"
#include "platform/dpi_win.h"
#include "platform/gdi_win.h"
#include "platform/text_win.h"

#include <commctrl.h>

#include <string>

namespace {
HWND hSettingsWindow = nullptr, hDoubleClickDelayEdit = nullptr, hMasterOpenDelayEdit = nullptr,
     hTypingDelayEdit = nullptr, hEnterDelayEdit = nullptr, hBetweenBarcodesDelayEdit = nullptr,
     hPageSwitchDelayEdit = nullptr, hInitialDelayEdit = nullptr, hWaitForWizardCheck = nullptr,
     hTrialRunCheck = nullptr, hAllowListRepeatsCheck = nullptr;
HWND hTipsTooltip = nullptr;  // shows the tips cut short by their width, whole

constexpr DWORD V = WS_VISIBLE;
constexpr DWORD kField = V | WS_TABSTOP | WS_BORDER | ES_NUMBER;
constexpr DWORD kButton = V | WS_TABSTOP | BS_DEFPUSHBUTTON;

// The tips and their headings are wider than the fields above them, so that each shows its whole
// text on its line with the program's font at every DPI.
constexpr int kTipWidth = 300;

// The controls in creation order. The field texts and the checks are replaced by the values in force
// at once. The check box under the seven delays moves what follows it down by 22 pixels, the trial
// run's, whose caption takes two lines, by 36 more, and the list repeats' by 22 more.
const ControlRow kSettingsControls[] = {
    {"STATIC", "                  НАСТРОЙКИ ЗАДЕРЖЕК (мс):", V | SS_LEFT, 10, 7, 263, 18, 0, nullptr},
    {"STATIC", "  Начальная задержка:", V, 10, 29, 200, 18, 0, nullptr},
    {"EDIT", "1000", kField, 213, 29, 60, 18, kInitialDelayEditId, &hInitialDelayEdit},
    {"STATIC", "  Двойной клик по ШК:", V, 10, 51, 200, 18, 0, nullptr},
    {"EDIT", "200", kField, 213, 51, 60, 18, kDoubleClickDelayEditId, &hDoubleClickDelayEdit},
    {"STATIC", "  Открытие Мастера ШК:", V, 10, 73, 200, 18, 0, nullptr},
    {"EDIT", "700", kField, 213, 73, 60, 18, kMasterOpenDelayEditId, &hMasterOpenDelayEdit},
    {"STATIC", "  Ввод текста:", V, 10, 95, 200, 18, 0, nullptr},
    {"EDIT", "20", kField, 213, 95, 60, 18, kTypingDelayEditId, &hTypingDelayEdit},
    {"STATIC", "  Нажатие Далее на Мастере ШК:", V, 10, 117, 200, 18, 0, nullptr},
    {"EDIT", "200", kField, 213, 117, 60, 18, kEnterDelayEditId, &hEnterDelayEdit},
    {"STATIC", "  Переход между штрих-кодами:", V, 10, 139, 200, 18, 0, nullptr},
    {"EDIT", "200", kField, 213, 139, 60, 18, kBetweenBarcodesDelayEditId, &hBetweenBarcodesDelayEdit},
    {"STATIC", "  Переход страницы:", V, 10, 161, 200, 18, 0, nullptr},
    {"EDIT", "400", kField, 213, 161, 60, 18, kPageSwitchDelayEditId, &hPageSwitchDelayEdit},
    {"BUTTON", "Ждать окно мастера (быстрее, надёжнее)", V | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 182, 270, 18,
     kWaitForWizardCheckId, &hWaitForWizardCheck},
    {"BUTTON", "Пробный запуск: остановиться после первой страницы",
     V | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, 10, 204, 270, 32, kTrialRunCheckId, &hTrialRunCheck},
    {"BUTTON", "Разрешить повторы в списке", V | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 240, 270, 18,
     kAllowListRepeatsCheckId, &hAllowListRepeatsCheck},
    {"BUTTON", "Применить", kButton, 10, 262, 130, 20, kApplyButtonId, nullptr},
    {"BUTTON", "Закрыть", kButton, 143, 262, 130, 20, kCloseButtonId, nullptr},
    {"STATIC", "СОВЕТЫ ПО НАСТРОЙКЕ ШК:", V | SS_CENTER, 10, 287, kTipWidth, 18, 0, nullptr},
    {"STATIC", " • Для МЕДЛЕННЫХ ПК: увеличьте все задержки", V, 10, 310, kTipWidth, 16, 0, nullptr},
    {"STATIC", " • Для БЫСТРЫХ ПК: уменьшите задержки", V, 10, 330, kTipWidth, 16, 0, nullptr},
    {"STATIC", " • Проблемы с открытием мастера:", V, 10, 350, kTipWidth, 16, 0, nullptr},
    {"STATIC", "   увеличьте 'Открытие мастера ШК' до 800-1000", V, 10, 370, kTipWidth, 16, 0, nullptr},
    {"STATIC", " • Текст вводится не полностью:", V, 10, 390, kTipWidth, 16, 0, nullptr},
    {"STATIC", "   увеличьте 'Ввод текста' до 30-50", V, 10, 410, kTipWidth, 16, 0, nullptr},
    {"STATIC", " • Начните со значений по умолчанию", V, 10, 430, kTipWidth, 16, 0, nullptr},
    {"STATIC", " • Тестируйте на 5-10 штрих-кодах", V, 10, 450, kTipWidth, 16, 0, nullptr},
    {"STATIC", "СОВЕТЫ ПО НАСТРОЙКЕ XL (вставка в Excel):", V | SS_CENTER, 10, 472, kTipWidth, 18, 0, nullptr},
    {"STATIC", " • Перед СТАРТОМ обязательно выделите", V, 10, 494, kTipWidth, 16, 0, nullptr},
    {"STATIC", "   начальную ячейку. Она должна быть активна", V, 10, 514, kTipWidth, 16, 0, nullptr},
    {"STATIC", " • Автоматический переход на следующий лист", V, 10, 534, kTipWidth, 16, 0, nullptr},
};

constexpr int kSettingsWidth = 336;  // outer, at 96 dpi: the tips and a margin as wide as the left one

constexpr const char* kSavedMessage = "Настройки задержек сохранены!";
constexpr const char* kNotSavedMessage =
    "Не удалось записать файл barcode_delays.cfg!\n"
    "Новые значения задержек действуют до закрытия программы.";
constexpr const char* kSwitchNotSavedMessage =
    "Не удалось записать файл barcode_delays.cfg!\n"
    "Выбранные настройки действуют до закрытия программы.";

// The fields in the order they are filled: initial, double-click, wizard, typing, Enter, between, page.
struct FieldBinding {
    HWND* edit;
    int DelaySettings::*value;
};
const FieldBinding kFields[] = {
    {&hInitialDelayEdit, &DelaySettings::initialDelay},
    {&hDoubleClickDelayEdit, &DelaySettings::doubleClickDelay},
    {&hMasterOpenDelayEdit, &DelaySettings::masterOpenDelay},
    {&hTypingDelayEdit, &DelaySettings::typingDelay},
    {&hEnterDelayEdit, &DelaySettings::enterDelay},
    {&hBetweenBarcodesDelayEdit, &DelaySettings::betweenBarcodesDelay},
    {&hPageSwitchDelayEdit, &DelaySettings::pageSwitchDelay},
};

void ShowDelaysInFields() {
    for (const FieldBinding& field : kFields) SetControlText(*field.edit, std::to_string(delays.*field.value));
    SetChecked(hWaitForWizardCheck, delays.waitForWizard);
    SetChecked(hTrialRunCheck, delays.trialRun);
    SetChecked(hAllowListRepeatsCheck, delays.allowListRepeats);
}

// A tip wider than its label loses its last words there; the pointer resting on it shows it whole.
bool IsCutShort(HWND label, const std::wstring& text) {
    RECT client;
    GetClientRect(label, &client);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return size.cx > client.right;
}

// Made again after a DPI change: which tips are cut, and where, depends on the DPI.
void AddTooltipsForCutTips(HWND hWnd) {
    static const bool ready = [] {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    if (!ready) return;
    if (hTipsTooltip) DestroyWindow(hTipsTooltip);
    hTipsTooltip = nullptr;
    HWND& tooltip = hTipsTooltip;
    UINT_PTR toolId = 0;
    for (HWND child = GetWindow(hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++toolId) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (lstrcmpiW(className, L"Static") != 0) continue;
        std::wstring text = WideFromCp1251(GetControlText(child));
        if (!IsCutShort(child, text)) continue;
        if (!tooltip)
            tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        if (!tooltip) return;
        // The labels let the mouse through to the window, so the tool is their rectangle on it.
        TOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;  // the size every version of the control takes
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hWnd;
        tool.uId = toolId;
        GetWindowRect(child, &tool.rect);
        MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&tool.rect), 2);
        tool.lpszText = &text[0];
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}
}  // namespace

void ReadDelaySettings() {
    for (const FieldBinding& field : kFields) delays.*field.value = ParseDelayField(GetControlText(*field.edit));
    delays.waitForWizard = IsChecked(hWaitForWizardCheck);
    delays.trialRun = IsChecked(hTrialRunCheck);
    delays.allowListRepeats = IsChecked(hAllowListRepeatsCheck);
}

bool SaveDelaySettings() {
    ReadDelaySettings();
    return WriteDelaySettingsFile(delays);
}

namespace {
void OnApply(HWND hWnd) {
    const bool saved = SaveDelaySettings();
    // Show what is now in force (an emptied field reads 0, an over-long number its bound).
    ShowDelaysInFields();
    if (saved)
        ShowMessage(hWnd, kSavedMessage, kSuccessCaption, MB_OK);
    else
        ShowMessage(hWnd, kNotSavedMessage, kErrorCaption, MB_OK | MB_ICONERROR);
}

// A switch takes effect and is kept at once, like the main window's check boxes: only it changes in
// the record, so delays typed but not applied stay unapplied. A file that cannot be written is
// reported once per start of the program; the switch still applies until it closes.
void OnSwitchClicked(HWND hWnd, bool DelaySettings::*field, HWND check) {
    delays.*field = IsChecked(check);
    static bool told = false;
    if (WriteDelaySettingsFile(delays) || told) return;
    told = true;
    ShowMessage(hWnd, kSwitchNotSavedMessage, kErrorCaption, MB_OK | MB_ICONERROR);
}

// The handles die with the window; nothing may read or write through them afterwards.
void OnDestroy() {
    hSettingsWindow = nullptr;
    for (const FieldBinding& field : kFields) *field.edit = nullptr;
    hWaitForWizardCheck = hTrialRunCheck = hAllowListRepeatsCheck = nullptr;
    hTipsTooltip = nullptr;  // owned by the window, gone with it
}

void OnDpiChanged(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    ApplyDpiChange(hWnd, wParam, lParam);
    AddTooltipsForCutTips(hWnd);
}

void OnCommand(HWND hWnd, int id, int code) {
    if (id == kApplyButtonId) OnApply(hWnd);
    if (id == kCloseButtonId) DestroyWindow(hWnd);
    if (code != BN_CLICKED) return;
    if (id == kWaitForWizardCheckId) OnSwitchClicked(hWnd, &DelaySettings::waitForWizard, hWaitForWizardCheck);
    if (id == kTrialRunCheckId) OnSwitchClicked(hWnd, &DelaySettings::trialRun, hTrialRunCheck);
    if (id == kAllowListRepeatsCheckId)
        OnSwitchClicked(hWnd, &DelaySettings::allowListRepeats, hAllowListRepeatsCheck);
}
}  // namespace

void CreateSettingsControls(HWND hWnd) {
    CreateControlRows(hWnd, kSettingsControls);
    ShowDelaysInFields();
    SetFontOnChildren(hWnd, UiFont(WindowDpi(hWnd)));
    AddTooltipsForCutTips(hWnd);
    UseDialogKeys(hWnd, true);  // Enter applies (button 1), Escape closes (button 2)
}

void ShowSettingsWindow() {
    if (BringForwardIfOpen(hSettingsWindow)) return;
    hSettingsWindow = CreateOwnedWindow(L"BarcodeSettings", "Настройки задержек", kSettingsWidth, 595, SW_SHOWNORMAL);
}

LRESULT CALLBACK SettingsWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: CreateSettingsControls(hWnd); return 0;
        case WM_COMMAND: OnCommand(hWnd, LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_DPICHANGED: OnDpiChanged(hWnd, wParam, lParam); return 0;
        case WM_CLOSE: DestroyWindow(hWnd); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        default: return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
