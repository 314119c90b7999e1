// Application options file format.
#include "app/app_settings.h"

#include "platform/file_io.h"
#include "platform/text_parse.h"

AppSettings appSettings;

AppSettings DefaultAppSettings() {
    AppSettings settings;
    settings.useInternetAds = 1;
    return settings;
}

AppSettings ParseAppSettings(const std::string& text) {
    AppSettings settings = DefaultAppSettings();
    std::size_t at = 0;
    for (int AppSettings::*field : {&AppSettings::alwaysOnTop, &AppSettings::excelMode, &AppSettings::useInternetAds}) {
        const NextInt number = ReadNextInt(text, at);
        if (!number.read) break;  // a missing or unreadable value keeps this default and the rest
        settings.*field = number.value;
    }
    return settings;
}

std::string FormatAppSettings(const AppSettings& settings) {
    return std::to_string(settings.alwaysOnTop) + "\r\n" + std::to_string(settings.excelMode) + "\r\n" +
           std::to_string(settings.useInternetAds) + "\r\n";
}

void ReadAppSettingsFile(AppSettings& settings) {
    // Three short numbers; a file far larger than that is not one this program wrote.
    constexpr size_t kMaxAppSettingsBytes = 4096;
    std::string text;
    settings = ReadWholeFile(kAppSettingsFile, text, kMaxAppSettingsBytes) == ReadResult::kRead
                   ? ParseAppSettings(text)
                   : DefaultAppSettings();
}

bool WriteAppSettingsFile(const AppSettings& settings) {
    return WriteFileAtomically(kAppSettingsFile, FormatAppSettings(settings));
}
