// How the program's own files carry text that a line cannot hold as it is: each byte that is a
// control character, a blank, DEL or '%' (and any the caller adds) written as %XX, read back exactly.
#pragma once
#include <string>

std::string PercentEscaped(const std::string& text, const std::string& alsoEscaped = std::string());
// False for a '%' without two hexadecimal digits after it.
bool PercentUnescaped(const std::string& text, std::string& out);
