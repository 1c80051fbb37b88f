#include "app/LockKeyState.h"

#include <QGuiApplication>

#if defined(KESTREL_HAVE_X11)
#include <X11/XKBlib.h>
#endif

namespace kestrel {

std::optional<LockKeys> QueryLockKeys()
{
#if defined(KESTREL_HAVE_X11)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    // Asked by name: the indicator numbers differ between keyboard maps.
    auto isOn = [display](const char* name) {
        Bool on = False;
        const Atom atom = XInternAtom(display, name, True);
        return atom != None && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) && on;
    };
    return LockKeys{isOn("Caps Lock"), isOn("Num Lock"), isOn("Scroll Lock")};
#else
    return std::nullopt;
#endif
}

} // namespace kestrel
