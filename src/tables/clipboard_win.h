// Putting code page 1251 text on the clipboard, as CF_TEXT and as CF_UNICODETEXT.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

enum class CopyResult { Copied, ClipboardBusy, OutOfMemory };

// How the clipboard's memory blocks are obtained; replaceable so a failing allocation can be tested.
using ClipboardAllocator = HGLOBAL (*)(std::size_t bytes);

// Empties the clipboard and puts `text` on it in both formats. On OutOfMemory the clipboard is
// left empty; on ClipboardBusy (another program holds it) nothing changes.
CopyResult CopyTextToClipboard(HWND owner, const std::string& text, ClipboardAllocator allocate = nullptr);
