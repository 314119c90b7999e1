// The taskbar button's progress through the shell's taskbar list object. The object is asked for
// once; a system without it (or without a taskbar) makes every call a no-op.
#include "platform/taskbar_win.h"

#include <shobjidl.h>

namespace {
ITaskbarList3* ShellTaskbar() {
    static ITaskbarList3* list = [] {
        ITaskbarList3* created = nullptr;
        // The window thread is single-threaded; an apartment set up before stays as it is.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // The identifiers come from the header (__uuidof), not from the system's GUID library, whose
        // one table of every identifier would come into the exe with them.
        if (FAILED(CoCreateInstance(__uuidof(TaskbarList), nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskbarList3),
                                    reinterpret_cast<void**>(&created))) || !created)
            return static_cast<ITaskbarList3*>(nullptr);
        if (FAILED(created->HrInit())) {
            created->Release();
            return static_cast<ITaskbarList3*>(nullptr);
        }
        return created;
    }();
    return list;
}
}  // namespace

void ShowTaskbarProgress(HWND window, TaskbarMark mark, unsigned long long done, unsigned long long total) {
    ITaskbarList3* list = window ? ShellTaskbar() : nullptr;
    if (!list) return;
    switch (mark) {
        case TaskbarMark::kNone: list->SetProgressState(window, TBPF_NOPROGRESS); return;
        case TaskbarMark::kNormal: list->SetProgressState(window, TBPF_NORMAL); break;
        case TaskbarMark::kPaused: list->SetProgressState(window, TBPF_PAUSED); break;
    }
    list->SetProgressValue(window, done, total);
}
