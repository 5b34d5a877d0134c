#pragma once
// Fixtures of the window tests: Kestrel running as the operator starts it,
// and the operator's hands (typing key by key, clicking, finding controls).

#include "support/CoreSupport.h"

#include "shell/MDIfrm_main.h"

#include <QAbstractButton>
#include <QAction>
#include <memory>

namespace kestrel {
class FlexGrid;
}

namespace kestrel::test {

namespace M = mdl_Variables_Functions;

// Kestrel as the operator starts it: a scratch working folder whose
// ConnParam.ini names the test database, a message recorder, the status at
// Idle, and the main window.
struct RunningMainWindow {
    RunningMainWindow();
    // Shows the main window; false when it never became active.
    bool show();
    // Between two tests: every child window closed and gone, fresh tables,
    // a fresh recorder, the status at Idle.
    void reset();

    ScratchDir dir;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<MDIfrm_main> main;
};

// Lets closed forms go.
void settle();

// The control called name inside form; fails the test (fatally) when missing.
template <class Widget = QWidget> Widget *control(QWidget *form, const QString &name)
{
    auto *widget = form->findChild<Widget *>(name);
    if (!widget)
        qFatal("control %s not found", qPrintable(name));
    return widget;
}

void click(QWidget *form, const QString &button);

// Key by key, press and release, so the key filters and the key-release
// handlers see what they would see; characters beyond ASCII included. "\n"
// is Return, "\t" Tab, "\x1b" Esc. Every key goes to box, even after a Tab
// has moved the focus on.
void type(QWidget *box, const QString &text);

// Types a city that passes every check (BUD, Budapest, 1011, HUN, Hungary)
// into an open add-city form and leaves the focus on its OK button.
void enterValidCity(QWidget *form);
// Keys where the operator's focus is, as on X11: press one key (with
// modifiers) at the focused control, or in the active window when no
// control has the keys; keys() types one key after the other wherever each
// one takes the focus (" " Space, "\t" Tab, "\n" Enter, "\x1b" Esc). A
// dialog the key opened has closed when it returns; press() then waits for
// X11 to make the main window active again.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void keys(const QString &text);
// The object name of the control with the keys; Tab until it is name.
QString focusName();
void tabTo(const QString &name);
// Picks row of the open chooser with the arrows and Enter; the chooser goes.
void pickRow(int row);

// The texts of a grid column from row 1 down, joined by "|".
QString column(const FlexGrid *grid, int col);

// Runs a main-window command through its menu item, as a click on it would.
void trigger(MDIfrm_main *main, const QString &command);

} // namespace kestrel::test
