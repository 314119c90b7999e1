// SHA-256 of a byte string, as 64 lowercase hex digits: on Windows through the system's CNG.
#pragma once
#include <string>

std::string Sha256Hex(const std::string& bytes);
