// The message line format shared by the cached encouraging messages and the advertising list,
// and the built-in messages used when neither is available.
#pragma once
#include "online/messages.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kMessageCacheColor = 0x996633;  // steel blue
constexpr uint32_t kAdsColor = 0xED9564;           // cornflower blue
constexpr uint32_t kBuiltInColor = 0xED9564;
constexpr size_t kMaxAdTextBytes = 499;

// One message per line (LF, optional CR); blank lines and lines starting with '#' or ';' are
// comments; a leading marker (! @ $ % ^) sets colour and weight.
std::vector<AdMessage> ParseMessageLines(const std::string& text, uint32_t defaultColor);

// The same with the advertising list's extra rules: lines starting with '<' are comments, and
// texts containing '<' or longer than 499 bytes are dropped.
std::vector<AdMessage> ParseAdLines(const std::string& text);

constexpr size_t kBuiltInMessageCount = 41;
extern const char* const kBuiltInMessages[kBuiltInMessageCount];

// Replaces `ads` by the built-in messages.
void FillBuiltInMessages(std::vector<AdMessage>& ads);
