// Code page 1251 as UTF-16 in the portable core: what the core's bytes stand for, for typing them out
// and for showing them beside text that 1251 cannot hold.
#pragma once
#include <string>

// A code page 1251 character as UTF-16 (bytes below 0x80 keep their value).
char16_t Utf16FromCp1251(unsigned char c);
// A whole code page 1251 text as UTF-16.
std::u16string Utf16FromCp1251Text(const std::string& cp1251);
