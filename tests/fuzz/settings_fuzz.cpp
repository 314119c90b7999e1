// Fuzz target: the two settings readers must accept any bytes, and what they read must survive a
// write and a second read unchanged.
#include "app/app_settings.h"
#include "delays/delay_settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    DelaySettings delaysRead;
    ParseDelaySettings(text, delaysRead);
    DelaySettings delaysAgain{};
    ParseDelaySettings(FormatDelaySettings(delaysRead), delaysAgain);
    if (FormatDelaySettings(delaysAgain) != FormatDelaySettings(delaysRead)) std::abort();
    ParseDelayField(text);

    const AppSettings appRead = ParseAppSettings(text);
    const AppSettings appAgain = ParseAppSettings(FormatAppSettings(appRead));
    if (FormatAppSettings(appAgain) != FormatAppSettings(appRead)) std::abort();
    return 0;
}
