#include "AtomicFile.h"

#include <algorithm>
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

bool WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                          const std::string& journal) {
    std::vector<PendingFile> pending;
    for (const auto& [path, bytes] : files) {
        PendingFile file;
        if (!WriteTemporary(path, bytes, file)) {
            Discard(pending);
            return false;
        }
        pending.push_back(std::move(file));
    }
    if (!journal.empty()) {
        // Temporary and target of each file, NUL-terminated: no path holds a NUL.
        std::string list;
        for (const PendingFile& file : pending) {
            list.append(file.temp).push_back('\0');
            list.append(file.target).push_back('\0');
        }
        if (!WriteFileAtomically(journal, list)) {
            Discard(pending);
            return false;
        }
    }
    for (size_t i = 0; i < pending.size(); ++i) {
        if (::rename(pending[i].temp.c_str(), pending[i].target.c_str()) != 0) {
            Discard({pending.begin() + std::ptrdiff_t(i), pending.end()});
            if (!journal.empty()) {
                const int savedErrno = errno;
                ::unlink(journal.c_str());
                errno = savedErrno;
            }
            return false;
        }
    }
    if (!journal.empty())
        ::unlink(journal.c_str());
    return true;
}

void FinishInterruptedWrite(const std::string& journal, const std::vector<std::string>& paths) {
    const int fd = ::open(journal.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat info {};
    std::string list;
    // A journal lists a few paths; anything else is no journal of ours.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= 64 * PATH_MAX) {
        list.resize(size_t(info.st_size));
        const ssize_t n = ::read(fd, list.data(), list.size());
        list.resize(n > 0 ? size_t(n) : 0);
    }
    ::close(fd);
    std::vector<std::string> targets;
    for (const std::string& path : paths) {
        char resolved[PATH_MAX];
        targets.push_back(::realpath(path.c_str(), resolved) != nullptr ? resolved : path);
    }
    size_t at = 0;
    for (;;) {
        const size_t tempEnd = list.find('\0', at);
        const size_t targetEnd =
            tempEnd == std::string::npos ? tempEnd : list.find('\0', tempEnd + 1);
        if (targetEnd == std::string::npos)
            break;
        const std::string temp = list.substr(at, tempEnd - at);
        const std::string target = list.substr(tempEnd + 1, targetEnd - tempEnd - 1);
        at = targetEnd + 1;
        // The temporary name is the target's with mkstemp's six characters after a dot.
        const bool own =
            temp.size() == target.size() + 7 && temp.compare(0, target.size(), target) == 0 &&
            temp[target.size()] == '.' && temp.find('/', target.size()) == std::string::npos &&
            std::find(targets.begin(), targets.end(), target) != targets.end();
        if (own)
            ::rename(temp.c_str(), target.c_str()); // gone already when the rename was done
    }
    ::unlink(journal.c_str());
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
