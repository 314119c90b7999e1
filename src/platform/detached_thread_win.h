#pragma once
// Work handed to a thread nobody waits for. Built on CreateThread rather than a detached
// std::thread: with the MinGW threads library, a std::thread detached at once can start with a
// null state under Wine and crash the whole program.
#include <functional>

// Starts `work` on its own thread and lets it finish alone; false (and `work` not run) when no
// thread could be created.
bool StartDetachedThread(std::function<void()> work);
