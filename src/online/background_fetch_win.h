// A fetch on a worker thread whose result waits in a mailbox for the window's thread, which a posted
// message only wakes; so the window's thread (and the keyboard hooks it answers) never waits for the
// network, and a message another program posts can never hand the window anything.
#pragma once
#include "online/fetch_mailbox.h"
#include "platform/detached_thread_win.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <new>

// Runs `fetch` on its own thread unless a fetch of this mailbox is under way, leaves the result in
// `mailbox` and posts `wakeMessage` (no parameters) to `window`. Running out of memory inside the fetch
// leaves a default result. False when nothing was started.
template <class Result>
bool StartBackgroundFetch(const std::shared_ptr<FetchMailbox<Result>>& mailbox, HWND window, UINT wakeMessage,
                          std::function<Result()> fetch) {
    if (!window || !mailbox->TryBegin()) return false;
    const bool started = StartDetachedThread([mailbox, window, wakeMessage, fetch] {
        Result result{};
        try {
            result = fetch();
        } catch (const std::bad_alloc&) {
        }
        mailbox->Finish(std::move(result));
        PostMessageW(window, wakeMessage, 0, 0);  // when it cannot be posted, the next wake-up takes it
    });
    if (!started) mailbox->Abandon();
    return started;
}
