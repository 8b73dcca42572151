#include "Unprivileged.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

void GiveToUnprivilegedUser(const std::string& dir) {
    if (::geteuid() != 0)
        return;
    ASSERT_EQ(::lchown(dir.c_str(), UnprivilegedId, UnprivilegedId), 0) << dir;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        ASSERT_EQ(::lchown(entry.path().c_str(), UnprivilegedId, UnprivilegedId), 0)
            << entry.path();
}

bool DropToUnprivilegedUser() {
    if (::geteuid() != 0)
        return true;
    // Groups first: once the uid is dropped, nothing may change them.
    return ::setgroups(0, nullptr) == 0 && ::setgid(UnprivilegedId) == 0 &&
           ::setuid(UnprivilegedId) == 0 && ::geteuid() == UnprivilegedId;
}

void RunAsUnprivilegedUser(const std::function<void()>& body) {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!DropToUnprivilegedUser())
            ::_exit(3);
        body();
        std::fflush(stdout);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged child crashed";
    EXPECT_NE(WEXITSTATUS(status), 3) << "could not become user " << UnprivilegedId;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the unprivileged child's checks failed (above)";
}
