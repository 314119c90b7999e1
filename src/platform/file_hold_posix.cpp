// POSIX implementation of file_hold.h for the native build and its tests: an exclusive flock (which two
// opens conflict on, even in one process), the file removed before it is let go.
#include "platform/file_hold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

HoldResult FileHold::Take(const std::string& path) {
    Release();
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) return HoldResult::kNotHeld;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool elsewhere = errno == EWOULDBLOCK;
            close(fd);
            return elsewhere ? HoldResult::kHeldElsewhere : HoldResult::kNotHeld;
        }
        // The file locked may be one its holder removed just before letting go: then take the new one.
        struct stat opened, named;
        if (fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 && opened.st_ino == named.st_ino &&
            opened.st_dev == named.st_dev) {
            handle_ = fd;
            path_ = path;
            return HoldResult::kHeld;
        }
        close(fd);
    }
    return HoldResult::kNotHeld;
}

void FileHold::Release() {
    if (handle_ == -1) return;
    unlink(path_.c_str());
    close(static_cast<int>(handle_));
    handle_ = -1;
    path_.clear();
}
