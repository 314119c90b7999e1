// Whole-file reading and crash-safe replacement of the small files the utility keeps:
// settings, coordinates, saved tables and cache files. Paths are UTF-8.
#pragma once
#include <cstddef>
#include <string>

enum class ReadResult { kRead, kNotRead, kTooLarge };

// Reads the whole file as bytes when it holds at most `maxBytes`. The size is taken from the opened
// file, so a file that grows while it is read is cut off at the cap and counts as too large. On
// kNotRead (cannot be opened or read) and kTooLarge `bytes` is left as it was.
ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes);

// Writes bytes to a temporary file in the same folder, then moves it over `path`, so a crash
// never leaves a truncated file behind. False (and the old file untouched) on any failure.
// `ownFile`: a file only this program writes, whose security and attributes need not be carried
// over — replaced with a plain move, which is quicker on some systems.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, bool ownFile = false);

// Appends bytes at the end of the file, creating it when missing; false when it cannot be opened
// (another program holds it locked) or fully written.
bool AppendToFile(const std::string& path, const std::string& bytes);
// The file's size in bytes; -1 when there is no such file.
long long FileSizeOf(const std::string& path);
// Moves a file to another name, replacing what is there; false on failure.
bool MoveFileReplacing(const std::string& from, const std::string& to);
// Removes a file; true when it is gone (or was never there).
bool RemoveFile(const std::string& path);
// The full path of a folder (empty: the working folder) as a message shows it, in code page 1251.
std::string FolderForMessages(const std::string& folder);
