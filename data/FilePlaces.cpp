#include "FilePlaces.h"

#include "AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef QPLU_SHARE_FROM_BIN
#define QPLU_SHARE_FROM_BIN "../share/quorve-plu"
#endif

namespace {

const char* const AppFolder = "quorve-plu/";

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string AccountHome() {
    passwd entry{}, *found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

// XDG: a base directory that is empty or relative is ignored.
std::string BaseDir(const std::string& set, const std::string& home, const char* fallback) {
    if (!set.empty() && set.front() == '/')
        return WithSlash(set);
    return WithSlash(home) + fallback;
}

std::string Failure(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

// mkdir -p, each missing level with mode 0700.
bool MakeDirectories(const std::string& dir, std::string& failedAt) {
    std::string prefix;
    size_t start = 0;
    while (start < dir.size()) {
        const size_t slash = dir.find('/', start);
        const size_t end = slash == std::string::npos ? dir.size() : slash;
        prefix = dir.substr(0, end);
        start = end + 1;
        if (prefix.empty())
            continue;
        if (::mkdir(prefix.c_str(), 0700) == 0)
            continue;
        const int error = errno;
        struct stat info {};
        if (error == EEXIST && ::stat(prefix.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            continue;
        failedAt = prefix;
        errno = error == EEXIST ? ENOTDIR : error;
        return false;
    }
    return true;
}

} // namespace

TPlaceFacts TPlaceFacts::Current(const std::string& programDir) {
    TPlaceFacts facts;
    facts.home = Environment("HOME");
    if (facts.home.empty())
        facts.home = AccountHome();
    facts.configHome = Environment("XDG_CONFIG_HOME");
    facts.stateHome = Environment("XDG_STATE_HOME");
    facts.programDirWritable = ::access(programDir.c_str(), W_OK | X_OK) == 0;
    struct stat info {};
    facts.shareDirPresent =
        ::stat(ShareDirOf(programDir).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return facts;
}

std::string ShareDirOf(const std::string& programDir) {
    const std::filesystem::path share =
        std::filesystem::path(WithSlash(programDir)) / QPLU_SHARE_FROM_BIN;
    return WithSlash(share.lexically_normal().string());
}

TFilePlaces FindFilePlaces(const std::string& programDir, const TPlaceFacts& facts) {
    TFilePlaces places;
    places.programDir = WithSlash(programDir);
    // Root may write anywhere, so an installed tree is known by its share folder first: the
    // settings of /usr/bin's program never land in /usr/bin.
    places.installed = facts.shareDirPresent || !facts.programDirWritable;
    if (!places.installed) {
        places.settingsDir = places.stateDir = places.programDir;
        places.guideFile = places.programDir + "guide/index.html";
        return places;
    }
    places.settingsDir = BaseDir(facts.configHome, facts.home, ".config/") + AppFolder;
    places.stateDir = BaseDir(facts.stateHome, facts.home, ".local/state/") + AppFolder;
    if (facts.shareDirPresent) {
        places.shareDir = ShareDirOf(places.programDir);
        places.guideFile = places.shareDir + "guide/index.html";
    }
    return places;
}

TFilePlaces FindFilePlaces(const std::string& programDir) {
    return FindFilePlaces(programDir, TPlaceFacts::Current(programDir));
}

std::string PrepareFilePlaces(const TFilePlaces& places) {
    if (!places.installed)
        return {};
    std::string failedAt;
    for (const std::string& dir : {places.settingsDir, places.stateDir})
        if (!MakeDirectories(dir, failedAt))
            return Failure("Cannot create the folder", failedAt, errno);

    const std::string cfg = places.settingsDir + "SYSTEM.CFG";
    const std::string shipped = places.shareDir + "SYSTEM.CFG";
    struct stat info {};
    if (places.shareDir.empty() || ::lstat(cfg.c_str(), &info) == 0 || errno != ENOENT ||
        ::stat(shipped.c_str(), &info) != 0)
        return {};
    std::ifstream in(shipped, std::ios::binary);
    if (!in.is_open())
        return Failure("Cannot read", shipped, errno);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return Failure("Cannot read", shipped, EIO);
    if (!WriteFileAtomically(cfg, bytes))
        return Failure("Cannot write", cfg, errno);
    return {};
}
