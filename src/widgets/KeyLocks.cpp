#include "widgets/KeyLocks.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace kestrel {

namespace {
KeyLocks followed;
} // namespace

void noteLockKey(const QKeyEvent *event)
{
    if (event->type() != QEvent::KeyPress || event->isAutoRepeat())
        return;
    switch (event->key()) {
    case Qt::Key_NumLock:
        followed.numLock = !followed.numLock;
        break;
    case Qt::Key_CapsLock:
        followed.capsLock = !followed.capsLock;
        break;
    case Qt::Key_ScrollLock:
        followed.scrollLock = !followed.scrollLock;
        break;
    default:
        break;
    }
}

} // namespace kestrel

// X11's headers define names such as KeyPress that clash with Qt's, so they
// come in only after every use of those.
#ifdef KESTREL_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace kestrel {

KeyLocks readKeyLocks()
{
#ifdef KESTREL_HAVE_X11
    if (auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
        unsigned int state = 0;
        if (Display *display = x11->display();
            display && XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success) {
            // Indicator bits of the core keyboard: 0 Caps, 1 Num, 2 Scroll.
            return KeyLocks{(state & 2u) != 0, (state & 1u) != 0, (state & 4u) != 0};
        }
    }
#endif
    return followed;
}

} // namespace kestrel
