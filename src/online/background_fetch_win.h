// A fetch on a worker thread whose result comes back to a window as a posted message, so the
// window's thread (and the keyboard hooks it answers) never waits for the network.
#pragma once
#include "platform/detached_thread_win.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <new>

// Runs `fetch` on its own thread and posts `message` to `window` with a heap `Result` in lParam,
// for the window to take with TakeFetchResult. Running out of memory inside the fetch posts a null
// result instead of ending the program. When the window is gone by then, the result is dropped.
// False when no thread could be started.
template <class Result>
bool StartBackgroundFetch(HWND window, UINT message, std::function<Result()> fetch) {
    return StartDetachedThread([window, message, fetch] {
        Result* result = nullptr;
        try {
            result = new Result(fetch());
        } catch (const std::bad_alloc&) {
            result = nullptr;
        }
        if (!PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(result))) delete result;
    });
}

// The result a posted fetch message carries (null when the fetch ran out of memory).
template <class Result>
std::unique_ptr<Result> TakeFetchResult(LPARAM lParam) {
    return std::unique_ptr<Result>(reinterpret_cast<Result*>(lParam));
}
