#pragma once
// The lock keys' states as the windowing system tells them. A state the platform cannot tell
// stays empty rather than guessed.

#include <optional>

struct LockKeyState {
    std::optional<bool> numLock;
    std::optional<bool> capsLock;
};

// On X11 the keyboard indicators through XKB, looked up at run time so that nothing links
// libX11 and the offscreen and Wayland platforms run without it; elsewhere both empty.
LockKeyState ReadLockKeys();
