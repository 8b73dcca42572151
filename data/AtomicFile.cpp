#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

// A file written and synced beside its target, waiting to be renamed over it.
struct PendingFile {
    std::string temp;
    std::string target;
};

bool WriteTemporary(const std::string& path, std::string_view bytes, PendingFile& pending) {
    // Replace the file a symbolic link points at, not the link.
    std::string target = path;
    if (char resolved[PATH_MAX]; ::realpath(path.c_str(), resolved) != nullptr)
        target = resolved;

    mode_t mode = 0666;
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed) {
        if (S_ISDIR(old.st_mode)) {
            errno = EISDIR;
            return false;
        }
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int savedErrno = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        errno = savedErrno;
        return false;
    }
    pending = {std::move(temp), std::move(target)};
    return true;
}

void Discard(const std::vector<PendingFile>& pending) {
    const int savedErrno = errno;
    for (const PendingFile& file : pending)
        ::unlink(file.temp.c_str());
    errno = savedErrno;
}

} // namespace

bool WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<PendingFile> pending;
    for (const auto& [path, bytes] : files) {
        PendingFile file;
        if (!WriteTemporary(path, bytes, file)) {
            Discard(pending);
            return false;
        }
        pending.push_back(std::move(file));
    }
    for (size_t i = 0; i < pending.size(); ++i) {
        if (::rename(pending[i].temp.c_str(), pending[i].target.c_str()) != 0) {
            Discard({pending.begin() + std::ptrdiff_t(i), pending.end()});
            return false;
        }
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    PendingFile file;
    if (!WriteTemporary(path, bytes, file))
        return false;
    if (::rename(file.temp.c_str(), file.target.c_str()) != 0) {
        Discard({file});
        return false;
    }
    return true;
}
