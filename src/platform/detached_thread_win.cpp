#include "platform/detached_thread_win.h"

#include <windows.h>

#include <memory>

namespace {
DWORD WINAPI RunDetached(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}
}  // namespace

bool StartDetachedThread(std::function<void()> work) {
    auto* owned = new std::function<void()>(std::move(work));
    const HANDLE thread = CreateThread(nullptr, 0, RunDetached, owned, 0, nullptr);
    if (!thread) {
        delete owned;
        return false;
    }
    CloseHandle(thread);
    return true;
}
