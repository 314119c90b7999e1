// Control and timer identifiers of the main window (window class "RizidudUdaravuzuv").
#pragma once

enum MainWindowId : int {
    kBarcodesPerPageComboId = 103, kMergeButtonId = 104, kWebsiteLinkId = 105, kAdBannerId = 106, kVideoLinkId = 108,
    kPrefixEditId = 110, kStartNumberEditId = 111, kTotalBarcodesEditId = 112, kSettingsButtonId = 113,
    kAlwaysOnTopCheckId = 114,
    kHidePromptsCheckId = 115,  // "XL (вставка в Excel)"
    kVariableListCheckId = 116, kVariableListEditId = 117, kStartButtonId = 118, kSaveCoordsButtonId = 119,
    kLoadCoordsButtonId = 120, kCoordsScrollId = 121,
};

enum MainWindowTimer : unsigned { kAdRotateTimerId = 1100, kInternetCheckTimerId = 1101, kAdHoverTimerId = 1103,
                                  kTitleTimerId = 1104 };
