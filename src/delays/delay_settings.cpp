// Delay record defaults, the delays file format and its reading rules.
#include "delays/delay_settings.h"

#include "platform/file_io.h"
#include "platform/text_parse.h"

DelaySettings delays;

namespace {
// File line order: initialDelay first, then the record's order.
int DelaySettings::*const kLineOrder[] = {
    &DelaySettings::initialDelay,     &DelaySettings::doubleClickDelay,     &DelaySettings::masterOpenDelay,
    &DelaySettings::typingDelay,      &DelaySettings::enterDelay,           &DelaySettings::betweenBarcodesDelay,
    &DelaySettings::pageSwitchDelay,
};
}  // namespace

unsigned BoundedDelay(int ms) {
    if (ms <= 0) return 0;
    return static_cast<unsigned>(ms) > kMaxDelayMs ? kMaxDelayMs : static_cast<unsigned>(ms);
}

void ParseDelaySettings(const std::string& text, DelaySettings& settings) {
    std::size_t at = 0;
    for (auto field : kLineOrder) {
        const NextInt number = ReadNextInt(text, at);
        if (number.atEnd) return;  // no more values: this field and the rest keep theirs
        settings.*field = number.value;  // 0 for a word, the nearest bound out of range: then the reading stops
        if (!number.read) return;
    }
    // The switches after the delays: 1 turns one on; anything else, or no number, leaves it off.
    bool DelaySettings::*const switches[] = {&DelaySettings::waitForWizard, &DelaySettings::trialRun,
                                             &DelaySettings::allowListRepeats};
    bool reading = true;
    for (auto field : switches) {
        const NextInt number = reading ? ReadNextInt(text, at) : NextInt{};
        settings.*field = number.read && number.value == 1;
        reading = number.read;  // junk stops the reading, as it does a stream
    }
}

std::string FormatDelaySettings(const DelaySettings& settings) {
    std::string out;
    for (auto field : kLineOrder) out += std::to_string(settings.*field) + "\r\n";
    for (bool on : {settings.waitForWizard, settings.trialRun, settings.allowListRepeats}) out += on ? "1\r\n" : "0\r\n";
    return out;
}

int ParseDelayField(const std::string& text) { return ParseLeadingInt32(text.substr(0, 19)); }

void LoadDelaySettings() {
    // Ten short numbers; a file far larger than that is not one this program wrote.
    constexpr size_t kMaxDelaySettingsBytes = 4096;
    std::string text;
    if (ReadWholeFile(kDelaySettingsFile, text, kMaxDelaySettingsBytes) == ReadResult::kRead)
        ParseDelaySettings(text, delays);
}

bool WriteDelaySettingsFile(const DelaySettings& settings) {
    return WriteFileAtomically(kDelaySettingsFile, FormatDelaySettings(settings));
}
