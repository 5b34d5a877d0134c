#pragma once
// The state of the keyboard's lock keys, as the status bar shows it.

class QKeyEvent;

namespace kestrel {

struct KeyLocks {
    bool numLock = false;
    bool capsLock = false;
    bool scrollLock = false;
};

// Asks the window system where it can tell (X11); elsewhere the state is
// followed from the lock keys pressed while Kestrel has the focus.
KeyLocks readKeyLocks();

// Lets the fallback follow a key press.
void noteLockKey(const QKeyEvent *event);

} // namespace kestrel
