#pragma once
// Where every Kestrel form opens: the main window's multiple-document area,
// one instance per form class. A form that opens another (a chooser, the
// quantity prompt, the connection settings) asks the host, so no window
// needs the main window's header.
//
// A form sits in a scroll area inside its sub-window: a window made smaller
// than its form (by tiling, by a small main window) scrolls, and Tab brings
// every control into sight. When the active form closes, the keys go back
// to the control that had them when it opened (the button that opened a
// chooser or a prompt), in that control's window.

#include "widgets/KForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>

class QStatusBar;

namespace kestrel {

class FormHost {
public:
    // The running host (the main window; one per run), or null.
    static FormHost *instance();

    // The open instance of form class T, or null.
    template <class T> T *findForm() const
    {
        for (QMdiSubWindow *sub : formArea()->subWindowList()) {
            if (isClosing(sub))
                continue;
            if (auto *form = qobject_cast<T *>(formOf(sub)))
                return form;
        }
        return nullptr;
    }

    // Brings the open instance of T forward, or creates it, shows it as a
    // child window and runs its load step. The form may have closed itself
    // while loading; hold the result in a QPointer where that matters.
    template <class T> T *showForm()
    {
        if (T *open = findForm<T>()) {
            activate(open);
            return open;
        }
        T *form = new T;
        addForm(form);
        return form;
    }

    // Closes the open instance of T, if any, running its close step. A form
    // may refuse (the edit grid, when the operator keeps unsaved changes).
    template <class T> void closeForm()
    {
        if (T *open = findForm<T>())
            open->Unload();
    }

    // Closes every form, none of them asking anything: the host is going.
    void closeAllForms();
    bool isClosingAllForms() const { return m_closingAll; }

    // A sub-window whose close has been accepted and whose deletion is pending.
    static bool isClosing(const QWidget *subWindow);
    // The sub-window that shows form, or null.
    static QMdiSubWindow *subWindowOf(const QWidget *form);
    // The form that sub shows, or null.
    static KForm *formOf(const QMdiSubWindow *sub);
    // The form of the active sub-window, or null.
    KForm *activeForm() const;
    // Grows (or shrinks) form's sub-window to show all of the form, after
    // the form showed or hid controls of its own.
    void fitWindowTo(KForm *form);

    // Where a form shows the progress of long work (the rows of a list
    // arriving), or null when the host has no status bar.
    QStatusBar *formStatusBar() const { return m_statusBar; }

protected:
    FormHost();
    virtual ~FormHost();
    FormHost(const FormHost &) = delete;
    FormHost &operator=(const FormHost &) = delete;

    QMdiArea *formArea() const { return m_area; }
    // The area the forms open in; set once, before the first form opens.
    void setFormArea(QMdiArea *area);
    void setFormStatusBar(QStatusBar *bar) { m_statusBar = bar; }

private:
    void addForm(KForm *form);
    void activate(QWidget *form);

    QMdiArea *m_area = nullptr;
    QStatusBar *m_statusBar = nullptr;
    bool m_closingAll = false;
};

} // namespace kestrel
