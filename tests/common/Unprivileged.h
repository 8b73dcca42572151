#pragma once
// Cases that need a user without permission (an unreadable file, a folder that cannot be
// written) run as such a user even when the tests run as root, as they do in CI: a child drops
// to nobody before it runs them. Run as an ordinary user, the child simply stays that user.

#include <functional>
#include <string>
#include <sys/types.h>

inline constexpr uid_t UnprivilegedId = 65534; // nobody and nogroup

// Hands dir and everything in it to that user, so a child dropped to it can work there.
// Nothing to do when not root.
void GiveToUnprivilegedUser(const std::string& dir);

// Drops every group and both ids to that user when root; async-signal-safe, for a forked child
// (QProcess::setChildProcessModifier). False when the drop failed.
bool DropToUnprivilegedUser();

// Runs body in a forked child as that user; its failures are the calling test's.
void RunAsUnprivilegedUser(const std::function<void()>& body);
