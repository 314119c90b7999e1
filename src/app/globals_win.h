// Program-wide Win32 state of the application shell: the instance, the main window and its controls.
// Each subsystem declares its own globals in its own header.
#pragma once
#include <windows.h>

extern HINSTANCE hInst;
extern HWND hMainWindow;
extern HWND hPrefixEdit, hStartNumberEdit, hTotalBarcodesEdit, hBarcodesPerPageCombo, hStartButton, hSettingsButton,
    hMergeButton, hSaveCoordsButton, hLoadCoordsButton, hHidePromptsCheck, hVariableListCheck, hVariableListEdit,
    hAlwaysOnTopCheck, hCoordsScroll, hAdBanner, hVideoLink, hWebsiteLink;
extern UINT_PTR g_adRotateTimer, g_adHoverTimer, internetCheckTimer;

// Captions of the message boxes.
constexpr const char* kErrorCaption = "Ошибка";
constexpr const char* kSuccessCaption = "Успех";

// Main window timers.
enum : UINT_PTR { kAdRotateTimerId = 1100, kInternetCheckTimerId = 1101, kAdHoverTimerId = 1103, kTitleTimerId = 1104 };

// Main window control identifiers; all other controls are known by their handles.
enum : int { kBarcodesPerPageComboId = 103, kMergeButtonId = 104, kWebsiteLinkId = 105, kAdBannerId = 106,
             kVideoLinkId = 108 };

// Registers the four window classes in order; at the first failure tells the user (no owner) and returns false.
bool RegisterWindowClasses(HINSTANCE instance);

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void CreateControls(HWND hWnd);

// Application settings (the file format is in app_settings.h).
void LoadAppSettings();
void SaveAppSettings();
void UpdateWindowStyle();
void ReassertTopmost(HWND window);  // back into the topmost band if the option is on and it was lost
