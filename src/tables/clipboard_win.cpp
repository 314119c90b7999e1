// Clipboard copy. Both formats are supplied, so a Unicode program pastes the right Cyrillic whatever
// the system's code page for non-Unicode programs is.
#include "tables/clipboard_win.h"

#include "platform/text_win.h"

#include <cstring>

namespace {
HGLOBAL GlobalBlock(std::size_t bytes) { return GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes); }

// A block holding `size` bytes of `data`, or null.
HGLOBAL FilledBlock(ClipboardAllocator allocate, const void* data, std::size_t size) {
    HGLOBAL block = allocate(size);
    if (!block) return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

void Hand(UINT format, HGLOBAL block) {
    if (!SetClipboardData(format, block)) GlobalFree(block);  // still ours when the clipboard refused it
}
}  // namespace

CopyResult CopyTextToClipboard(HWND owner, const std::string& text, ClipboardAllocator allocate) {
    if (!allocate) allocate = GlobalBlock;
    if (!OpenClipboard(owner)) return CopyResult::ClipboardBusy;
    EmptyClipboard();
    const std::wstring wide = WideFromCp1251(text);
    HGLOBAL narrowBlock = FilledBlock(allocate, text.c_str(), text.size() + 1);
    HGLOBAL wideBlock = narrowBlock ? FilledBlock(allocate, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)) : nullptr;
    if (!narrowBlock || !wideBlock) {
        if (narrowBlock) GlobalFree(narrowBlock);
        CloseClipboard();
        return CopyResult::OutOfMemory;
    }
    Hand(CF_TEXT, narrowBlock);
    Hand(CF_UNICODETEXT, wideBlock);
    CloseClipboard();
    return CopyResult::Copied;
}
