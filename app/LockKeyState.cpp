#include "app/LockKeyState.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb)
#include <dlfcn.h>

namespace {

// The two Xlib entry points used, looked up in the copy of libX11 that the
// xcb platform plugin already loaded, so the program needs no X11 link.
using XInternAtomFn = unsigned long (*)(Display *, const char *, int);
using XkbGetNamedIndicatorFn = int (*)(Display *, unsigned long, int *, int *, void *, int *);

struct CXkbIndicators
{
    XInternAtomFn internAtom = nullptr;
    XkbGetNamedIndicatorFn getNamedIndicator = nullptr;
    unsigned long atoms[3] = {0, 0, 0};
    bool ready = false;
};

Display *X11Display()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    if (auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>())
        return x11->display();
    return nullptr;
}

CXkbIndicators *Indicators(Display *display)
{
    static CXkbIndicators indicators;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (void *library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD)) {
            indicators.internAtom = reinterpret_cast<XInternAtomFn>(dlsym(library, "XInternAtom"));
            indicators.getNamedIndicator =
                reinterpret_cast<XkbGetNamedIndicatorFn>(dlsym(library, "XkbGetNamedIndicator"));
        }
        if (indicators.internAtom && indicators.getNamedIndicator) {
            const char *const names[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
            for (int i = 0; i < 3; ++i)
                indicators.atoms[i] = indicators.internAtom(display, names[i], 0);
            indicators.ready = true;
        }
    }
    return indicators.ready ? &indicators : nullptr;
}

} // namespace

CLockKeyState CLockKeyState::Query()
{
    CLockKeyState state;
    Display *display = X11Display();
    if (!display)
        return state;
    CXkbIndicators *indicators = Indicators(display);
    if (!indicators)
        return state;
    bool *const targets[3] = {&state.m_caps, &state.m_num, &state.m_scroll};
    for (int i = 0; i < 3; ++i) {
        int on = 0;
        if (indicators->getNamedIndicator(display, indicators->atoms[i], nullptr, &on, nullptr,
                                          nullptr))
            *targets[i] = on != 0;
    }
    state.m_known = true;
    return state;
}

#else

CLockKeyState CLockKeyState::Query() { return {}; }

#endif
