// The three on/off options of the application and their file "barcode_app.cfg".
#pragma once
#include <string>

struct AppSettings {
    int alwaysOnTop = 0;  // Windows BOOLs: zero is off, any other value is on and is kept as read
    int excelMode = 0;
    int useInternetAds = 0;
};

extern AppSettings appSettings;

constexpr const char* kAppSettingsFile = "barcode_app.cfg";

AppSettings DefaultAppSettings();  // 0, 0, 1: what applies without a file
// Three integers separated by any white space; a field the text does not supply takes its default.
AppSettings ParseAppSettings(const std::string& text);
std::string FormatAppSettings(const AppSettings& settings);  // three lines, CR LF

// Reads the file in the working directory into `settings`, or the defaults when it cannot be opened.
void ReadAppSettingsFile(AppSettings& settings);
bool WriteAppSettingsFile(const AppSettings& settings);
