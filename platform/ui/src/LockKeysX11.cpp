// The lock keys on X11: the keyboard indicators that the server keeps.

#include "LockKeys.h"

#include <QGuiApplication>

#ifdef PIXMORA_HAVE_X11
// After Qt's headers: Xlib defines names that Qt uses.
#include <X11/XKBlib.h>
#endif

int X11IndicatorState(LockKey key)
{
#ifdef PIXMORA_HAVE_X11
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return -1;
    static const Atom names[] = {XInternAtom(display, "Caps Lock", False),
                                 XInternAtom(display, "Num Lock", False),
                                 XInternAtom(display, "Scroll Lock", False)};
    Bool on = False;
    if (!XkbGetNamedIndicator(display, names[static_cast<int>(key)], nullptr, &on, nullptr,
                              nullptr))
        return -1;
    return on ? 1 : 0;
#else
    (void)key;
    return -1;
#endif
}
