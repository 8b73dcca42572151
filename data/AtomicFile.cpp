#include "AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

SaveSystemCalls& SaveCalls() {
    static SaveSystemCalls calls{::write, ::fsync, ::link, ::rename};
    return calls;
}

namespace {

// Keeps errno across the cleanup after a failure, so the caller learns the first cause.
class KeepErrno {
public:
    KeepErrno() : saved_(errno) {}
    ~KeepErrno() { errno = saved_; }
    KeepErrno(const KeepErrno&) = delete;
    KeepErrno& operator=(const KeepErrno&) = delete;

private:
    int saved_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = SaveCalls().write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(size_t(n));
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the names in a folder (renames, new and removed files) last through a power cut.
bool SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A file system that cannot sync a folder says EINVAL; its names are as safe as they get.
    const bool ok = SaveCalls().fsync(fd) == 0 || errno == EINVAL;
    KeepErrno keep;
    ::close(fd);
    return ok;
}

// A file written and synced beside its target, waiting to be renamed over it.
struct PendingFile {
    std::string temp;
    std::string target;
    bool existed = false; // the target was there before, so a link to it is kept until the end
    ino_t inode = 0;      // the temporary's, which the target has once renamed
};

// The old version of a target stays reachable under this name until its set is in place.
std::string BackupName(const std::string& temp) {
    return temp + ".old";
}

std::string ResolvedTarget(const std::string& path) {
    // Replace the file a symbolic link points at, not the link.
    if (char resolved[PATH_MAX]; ::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

bool WriteTemporary(const std::string& path, std::string_view bytes, PendingFile& pending) {
    std::string target = ResolvedTarget(path);
    mode_t mode = 0666;
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed) {
        if (!S_ISREG(old.st_mode)) {
            // A device or a FIFO in its place would be replaced by a plain file.
            errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
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
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) &&
              SaveCalls().fsync(fd) == 0;
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
    pending = {std::move(temp), std::move(target), existed, info.st_ino};
    return true;
}

bool ReadWhole(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ok = false;
    }
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(buffer, size_t(n));
    }
    KeepErrno keep;
    ::close(fd);
    return ok;
}

// A second name for the target's old version: a hard link, or where the file system has none
// (FAT on a USB stick) or refuses one (an immutable file), a synced copy.
bool KeepOldVersion(const PendingFile& file) {
    const std::string backup = BackupName(file.temp);
    if (SaveCalls().link(file.target.c_str(), backup.c_str()) == 0)
        return true;
    if (errno == EEXIST)
        return false;
    std::string bytes;
    if (!ReadWhole(file.target, bytes))
        return false;
    const int fd = ::open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && SaveCalls().fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        KeepErrno keep;
        ::unlink(backup.c_str());
    }
    return ok;
}

bool SyncDirectories(const std::vector<PendingFile>& files, const std::string& also,
                     std::string& failedDir) {
    std::set<std::string> dirs;
    for (const PendingFile& file : files)
        dirs.insert(DirectoryOf(file.target));
    if (!also.empty())
        dirs.insert(DirectoryOf(also));
    for (const std::string& dir : dirs) {
        if (!SyncDirectory(dir)) {
            failedDir = dir;
            return false;
        }
    }
    return true;
}

// Puts every target back as it was before the save: a target that is already the new file gets
// its old version back (or is removed when there was none); the others are left as they are.
// The temporaries and old versions then go. True when every step went through; otherwise what
// is left lets a later call finish the job.
bool UndoSave(const std::vector<PendingFile>& files) {
    bool whole = true;
    for (const PendingFile& file : files) {
        const std::string backup = BackupName(file.temp);
        struct stat now {};
        const bool replaced =
            ::lstat(file.target.c_str(), &now) == 0 && now.st_ino == file.inode && file.inode != 0;
        if (replaced) {
            const bool back = file.existed
                                  ? SaveCalls().rename(backup.c_str(), file.target.c_str()) == 0
                                  : ::unlink(file.target.c_str()) == 0;
            // An old version already gone cannot be put back; retrying would not help.
            if (!back && !(file.existed && errno == ENOENT)) {
                whole = false;
                continue; // its old version stays for the next try
            }
        }
        if (::unlink(backup.c_str()) != 0 && errno != ENOENT)
            whole = false;
        if (::unlink(file.temp.c_str()) != 0 && errno != ENOENT)
            whole = false;
    }
    return whole;
}

void RemoveOldVersions(const std::vector<PendingFile>& files) {
    for (const PendingFile& file : files)
        ::unlink(BackupName(file.temp).c_str());
}

// The journal's first field: a save whose every file is put back when it was cut off.
constexpr const char* UndoJournalMark = "quorve-undo-1";

std::string JournalText(const std::vector<PendingFile>& files) {
    // NUL-terminated fields, no path holds a NUL.
    std::string list(UndoJournalMark);
    list.push_back('\0');
    for (const PendingFile& file : files) {
        list.append(file.temp).push_back('\0');
        list.append(file.target).push_back('\0');
        list.append(file.existed ? "1" : "0").push_back('\0');
        list.append(std::to_string(file.inode)).push_back('\0');
    }
    return list;
}

// The rename onto the journal's path without the folder sync that WriteFileAtomically does: the
// sync before the first rename of the set covers it.
bool PlaceJournal(const std::string& journal, const std::vector<PendingFile>& files) {
    PendingFile file;
    if (!WriteTemporary(journal, JournalText(files), file))
        return false;
    if (::rename(file.temp.c_str(), file.target.c_str()) != 0) {
        KeepErrno keep;
        ::unlink(file.temp.c_str());
        return false;
    }
    return true;
}

} // namespace

bool WriteFilesAtomically(const std::vector<std::pair<std::string, std::string>>& files,
                          const std::string& journal, std::string* failedPath) {
    std::string failed;
    std::vector<PendingFile> pending;
    bool journalPlaced = false;
    // Nothing is renamed yet or every rename was undone: the old files stand as they were.
    auto fail = [&](const std::string& where) {
        KeepErrno keep;
        std::string unsynced;
        // The journal goes only once what was put back is on the disk.
        if (UndoSave(pending) && SyncDirectories(pending, {}, unsynced) && journalPlaced)
            ::unlink(journal.c_str());
        if (failedPath)
            *failedPath = where;
        return false;
    };
    for (const auto& [path, bytes] : files) {
        PendingFile file;
        if (!WriteTemporary(path, bytes, file))
            return fail(path);
        pending.push_back(std::move(file));
    }
    if (!journal.empty()) {
        if (!PlaceJournal(journal, pending))
            return fail(journal);
        journalPlaced = true;
    }
    for (size_t i = 0; i < pending.size(); ++i)
        if (pending[i].existed && !KeepOldVersion(pending[i]))
            return fail(files[i].first);
    // The journal and the old versions must outlive a power cut before any rename does.
    if (!SyncDirectories(pending, journal, failed))
        return fail(failed);
    for (size_t i = 0; i < pending.size(); ++i) {
        if (SaveCalls().rename(pending[i].temp.c_str(), pending[i].target.c_str()) != 0)
            return fail(files[i].first);
    }
    const bool synced = SyncDirectories(pending, {}, failed);
    if (!synced && failedPath)
        *failedPath = failed;
    KeepErrno keep;
    if (journalPlaced) {
        // Gone for good before the old versions go: a journal without them would undo nothing.
        ::unlink(journal.c_str());
        SyncDirectory(DirectoryOf(journal));
    }
    RemoveOldVersions(pending);
    return synced;
}

namespace {

// The fields of a journal; empty when it is none of ours.
std::vector<std::string> JournalFields(const std::string& journal) {
    const int fd = ::open(journal.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat info {};
    std::string list;
    // A journal lists a few paths; anything else is no journal of ours.
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= 64 * PATH_MAX) {
        list.resize(size_t(info.st_size));
        const ssize_t n = ::read(fd, list.data(), list.size());
        list.resize(n > 0 ? size_t(n) : 0);
    }
    ::close(fd);
    std::vector<std::string> fields;
    for (size_t at = 0;;) {
        const size_t end = list.find('\0', at);
        if (end == std::string::npos)
            break;
        fields.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return fields;
}

// The temporary name is the target's with mkstemp's six characters after a dot.
bool OwnTemporary(const std::string& temp, const std::string& target,
                  const std::vector<std::string>& targets) {
    return temp.size() == target.size() + 7 && temp.compare(0, target.size(), target) == 0 &&
           temp[target.size()] == '.' && temp.find('/', target.size()) == std::string::npos &&
           std::find(targets.begin(), targets.end(), target) != targets.end();
}

} // namespace

void FinishInterruptedWrite(const std::string& journal, const std::vector<std::string>& paths) {
    const std::vector<std::string> fields = JournalFields(journal);
    if (fields.empty() && ::access(journal.c_str(), F_OK) != 0)
        return;
    std::vector<std::string> targets;
    for (const std::string& path : paths)
        targets.push_back(ResolvedTarget(path));
    if (!fields.empty() && fields[0] == UndoJournalMark) {
        std::vector<PendingFile> files;
        for (size_t i = 1; i + 3 < fields.size(); i += 4) {
            const std::string& temp = fields[i];
            const std::string& target = fields[i + 1];
            const std::string& existed = fields[i + 2];
            char* end = nullptr;
            const unsigned long long inode = std::strtoull(fields[i + 3].c_str(), &end, 10);
            if (!OwnTemporary(temp, target, targets) || (existed != "0" && existed != "1") ||
                fields[i + 3].empty() || *end != '\0')
                continue;
            files.push_back({temp, target, existed == "1", ino_t(inode)});
        }
        std::string failedDir;
        // Kept while anything is left to put back, so that the next opening tries again.
        if (!UndoSave(files) || !SyncDirectories(files, {}, failedDir))
            return;
        ::unlink(journal.c_str());
        SyncDirectory(DirectoryOf(journal));
        return;
    }
    // An earlier release's journal: pairs of temporary and target, completed forwards.
    for (size_t i = 0; i + 1 < fields.size(); i += 2)
        if (OwnTemporary(fields[i], fields[i + 1], targets))
            ::rename(fields[i].c_str(), fields[i + 1].c_str()); // gone when the rename was done
    ::unlink(journal.c_str());
}

namespace {

// A terminal, a FIFO or /dev/null named as the file takes the bytes itself: replacing the node
// by a plain file (as root, even in /dev) would break it for everyone.
bool WriteIntoDevice(const std::string& path, std::string_view bytes) {
    // Without a reader a FIFO would hold the open forever; it says ENXIO instead.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    const int flags = ::fcntl(fd, F_GETFL);
    bool ok = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 && WriteAll(fd, bytes);
    const int error = errno;
    if (::close(fd) != 0 && ok)
        return false;
    errno = error;
    return ok;
}

} // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)))
        return WriteIntoDevice(path, bytes);
    PendingFile file;
    if (!WriteTemporary(path, bytes, file))
        return false;
    if (SaveCalls().rename(file.temp.c_str(), file.target.c_str()) != 0) {
        KeepErrno keep;
        ::unlink(file.temp.c_str());
        return false;
    }
    return SyncDirectory(DirectoryOf(file.target));
}

bool MakeDirectories(const std::string& path, mode_t mode) {
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('/', end + 1);
        const std::string prefix = path.substr(0, end);
        if (::mkdir(prefix.c_str(), mode) == 0)
            continue;
        const int error = errno;
        struct stat info {};
        if (error == EEXIST && ::stat(prefix.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            continue;
        errno = error == EEXIST ? ENOTDIR : error;
        return false;
    }
    return true;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL)
        return false;
    // A file system without RENAME_NOREPLACE: look first, and rename() still refuses a folder
    // that holds files.
    if (::access(to.c_str(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFileAtomically(const std::string& from, const std::string& to) {
    std::string bytes;
    return ReadWhole(from, bytes) && WriteFileAtomically(to, bytes);
}
