// Whole-file reading and crash-safe replacement of the small files the utility keeps:
// settings, coordinates, saved tables and cache files. Paths are UTF-8.
#pragma once
#include <string>

// Reads the whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to a temporary file in the same folder, then moves it over `path`, so a crash
// never leaves a truncated file behind. False (and the old file untouched) on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);
