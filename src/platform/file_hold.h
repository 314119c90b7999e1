// A file one process holds open alone, to say it has a folder to itself for a while: nobody else can
// open it meanwhile, and it goes with its holder, also when the process is killed (the system closes
// the handle, and closing it removes the file). Paths are UTF-8.
#pragma once
#include <cstdint>
#include <string>

enum class HoldResult {
    kHeld,           // this holder has it now
    kHeldElsewhere,  // another holder has it (another process, or another hold in this one)
    kNotHeld,        // cannot be created or opened at all (a folder that takes no files)
};

class FileHold {
public:
    FileHold() = default;
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;
    ~FileHold() { Release(); }

    // Creates the file when missing; one left by a holder that could not remove it is simply taken.
    HoldResult Take(const std::string& path);
    // Closes and removes the file, when held.
    void Release();

private:
    std::intptr_t handle_ = -1;
    std::string path_;
};
