#pragma once
// Makes chosen system calls of a save fail, as a full disk, an immutable file or a dying disk
// would, for the lifetime of the object.

#include "AtomicFile.h"

#include <array>
#include <cerrno>
#include <unistd.h>
#include <vector>

enum class SaveCall { Write, Fsync, Link, Rename };

struct SaveCallFailure {
    SaveCall call;
    int nth;              // the first call of that kind to fail, counting from 1
    int error;            // errno it fails with
    bool onwards = false; // every later call of that kind fails too
};

class FailingSaveCalls {
public:
    explicit FailingSaveCalls(std::vector<SaveCallFailure> failures) {
        Failures() = std::move(failures);
        Counts() = {};
        saved_ = SaveCalls();
        SaveCalls() = {Write, Fsync, Link, Rename};
    }
    ~FailingSaveCalls() {
        SaveCalls() = saved_;
        Failures().clear();
    }
    FailingSaveCalls(const FailingSaveCalls&) = delete;
    FailingSaveCalls& operator=(const FailingSaveCalls&) = delete;

private:
    static std::vector<SaveCallFailure>& Failures() {
        static std::vector<SaveCallFailure> failures;
        return failures;
    }
    static std::array<int, 4>& Counts() {
        static std::array<int, 4> counts{};
        return counts;
    }
    // True (with errno set) when this call is to fail.
    static bool Fails(SaveCall call) {
        const int n = ++Counts()[size_t(call)];
        for (const SaveCallFailure& f : Failures()) {
            if (f.call == call && (n == f.nth || (f.onwards && n > f.nth))) {
                errno = f.error;
                return true;
            }
        }
        return false;
    }
    static ssize_t Write(int fd, const void* bytes, size_t size) {
        return Fails(SaveCall::Write) ? -1 : ::write(fd, bytes, size);
    }
    static int Fsync(int fd) { return Fails(SaveCall::Fsync) ? -1 : ::fsync(fd); }
    static int Link(const char* from, const char* to) {
        return Fails(SaveCall::Link) ? -1 : ::link(from, to);
    }
    static int Rename(const char* from, const char* to) {
        return Fails(SaveCall::Rename) ? -1 : ::rename(from, to);
    }

    SaveSystemCalls saved_{};
};
