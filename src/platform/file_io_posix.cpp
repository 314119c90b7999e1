// POSIX implementation of file_io.h, used by the native build and its tests.
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ReadResult::kNotRead;
    std::string result;
    char chunk[65536];
    bool failed = false;
    while (result.size() <= maxBytes) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        failed = n < 0;  // a folder, or a read error
        if (n <= 0) break;
        result.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    if (failed) return ReadResult::kNotRead;
    if (result.size() > maxBytes) return ReadResult::kTooLarge;
    bytes.swap(result);
    return ReadResult::kRead;
}

namespace {
// A new file beside the target under a name nobody else holds: O_EXCL never opens or follows
// something already there. The target's permissions carry over.
int CreateUniqueTemporary(const std::string& path, std::string& temp) {
    static unsigned counter = 0;
    struct stat existing;
    const mode_t mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0666;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return fsync(fd) == 0;
}
}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, bool) {
    std::string temp;
    const int fd = CreateUniqueTemporary(path, temp);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    ok = (close(fd) == 0) && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
}

bool AppendToFile(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    return (close(fd) == 0) && ok;
}

long long FileSizeOf(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<long long>(info.st_size);
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0 || errno == ENOENT; }

std::string FolderForMessages(const std::string& folder) {
    if (!folder.empty() && folder[0] == '/') return folder;
    char here[4096];
    const std::string cwd = getcwd(here, sizeof here) ? here : ".";
    return folder.empty() ? cwd : cwd + "/" + folder;
}
