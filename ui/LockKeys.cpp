#include "LockKeys.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace {

// The few XKB entry points used, with their X11 signatures.
using Display = struct _XDisplay;
using Atom = unsigned long;
using OpenDisplayFn = Display* (*)(const char*);
using InternAtomFn = Atom (*)(Display*, const char*, int);
using GetNamedIndicatorFn = int (*)(Display*, Atom, int*, int*, void*, int*);

struct Xkb {
    Display* display = nullptr;
    GetNamedIndicatorFn getNamedIndicator = nullptr;
    Atom numLock = 0;
    Atom capsLock = 0;
};

const Xkb* OpenXkb() {
    static const Xkb xkb = [] {
        Xkb x;
        void* lib = ::dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (lib == nullptr)
            return x;
        auto openDisplay = reinterpret_cast<OpenDisplayFn>(::dlsym(lib, "XOpenDisplay"));
        auto internAtom = reinterpret_cast<InternAtomFn>(::dlsym(lib, "XInternAtom"));
        x.getNamedIndicator =
            reinterpret_cast<GetNamedIndicatorFn>(::dlsym(lib, "XkbGetNamedIndicator"));
        if (!openDisplay || !internAtom || !x.getNamedIndicator)
            return x;
        // A connection of our own: the bar asks twice a second and never disturbs Qt's.
        x.display = openDisplay(nullptr);
        if (x.display != nullptr) {
            x.numLock = internAtom(x.display, "Num Lock", 0);
            x.capsLock = internAtom(x.display, "Caps Lock", 0);
        }
        return x;
    }();
    return xkb.display != nullptr ? &xkb : nullptr;
}

std::optional<bool> Indicator(const Xkb& xkb, Atom name) {
    int on = 0;
    int real = 0;
    if (name == 0 || !xkb.getNamedIndicator(xkb.display, name, nullptr, &on, nullptr, &real))
        return std::nullopt;
    return on != 0;
}

} // namespace

LockKeyState ReadLockKeys() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    const Xkb* xkb = OpenXkb();
    if (xkb == nullptr)
        return {};
    return {Indicator(*xkb, xkb->numLock), Indicator(*xkb, xkb->capsLock)};
}
