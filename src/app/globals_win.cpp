// Definitions of the application shell's globals (declared in globals_win.h).
#include "app/globals_win.h"

HINSTANCE hInst = nullptr;
HWND hMainWindow = nullptr;
HWND hPrefixEdit = nullptr, hStartNumberEdit = nullptr, hTotalBarcodesEdit = nullptr, hBarcodesPerPageCombo = nullptr,
     hStartButton = nullptr, hSettingsButton = nullptr, hMergeButton = nullptr, hSaveCoordsButton = nullptr,
     hLoadCoordsButton = nullptr, hHidePromptsCheck = nullptr, hVariableListCheck = nullptr,
     hVariableListEdit = nullptr, hAlwaysOnTopCheck = nullptr, hCoordsScroll = nullptr, hAdBanner = nullptr,
     hVideoLink = nullptr, hWebsiteLink = nullptr;
UINT_PTR g_adRotateTimer = 0, g_adHoverTimer = 0, internetCheckTimer = 0;
