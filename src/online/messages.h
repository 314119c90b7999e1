// One banner message: its text and how it is drawn.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct AdMessage {
    std::string text;          // code page 1251
    uint32_t color = 0x996633; // COLORREF 0x00BBGGRR
    bool bold = false;
};
