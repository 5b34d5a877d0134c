#pragma once
// Kestrel's one top-level window: the multiple-document frame with the menu
// bar, the toolbar and the status bar. Every form opens inside it, one
// instance per form class, through showForm<T>().

#include "KForm.h"

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QToolButton>
#include <map>

namespace Ui {
class MDIfrm_main;
}

class MDIfrm_main : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIfrm_main(QWidget *parent = nullptr);
    ~MDIfrm_main() override;

    // The running main window (there is one per run), or null.
    static MDIfrm_main *instance();

    // Reads ConnParam.ini from the working directory and builds the
    // connection string.
    void MDIForm_Load();

    QMdiArea *mdiArea() const;

    // The open instance of form class T, or null.
    template <class T> T *findForm() const
    {
        for (QMdiSubWindow *sub : mdiArea()->subWindowList()) {
            if (sub->property(ClosingProperty).toBool())
                continue;
            if (auto *form = qobject_cast<T *>(sub->widget()))
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

    // Closes the open instance of T, if any, running its close step.
    template <class T> void closeForm()
    {
        if (T *open = findForm<T>())
            open->Unload();
    }

    // Toolbar dispatch: a button by its position (2 to 14), a drop-down item
    // by its tag (1 to 14). Anything else does nothing.
    void tlb_Toolbar_ButtonClick(int index);
    void tlb_Toolbar_ButtonMenuClick(int tag);

    // The status panel texts, for tests.
    QString statusPanelText(int panel) const;
    bool statusPanelOn(int panel) const;

    // Cascade and the two tilings of the child windows.
    void mnu_WindCascade_Click();
    void mnu_WindHori_Click();
    void mnu_WindVert_Click();

    // Commands that open a result window rather than a form
    // (MainReportCommands.cpp).
    void mnu_DCity_Click();
    void mnu_DCustomer_Click();
    void mnu_DProduct_Click();
    void mnu_DTransaction_Click();
    void mnu_Today_Click();
    void mnu_Top5Prod_Click();

    static constexpr const char *ClosingProperty = "kestrelClosing";

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addForm(kestrel::KForm *form);
    void activate(QWidget *form);
    void connectMenu();
    void buildToolbar();
    void buildStatusBar();
    void refreshKeyPanels();
    // Each group of commands connects its menu items and so enables them;
    // items no group connects stay disabled.
    void connectShellCommands();
    void connectReportCommands(); // MainReportCommands.cpp
    void connectEntryCommands();  // MainEntryCommands.cpp
    void connectCommand(QAction *action, void (MDIfrm_main::*handler)());
    template <class T> void connectFormCommand(QAction *action)
    {
        connect(action, &QAction::triggered, this, [this] { showForm<T>(); });
        action->setEnabled(true);
    }
    QAction *toolbarCommand(int index) const;
    QAction *toolbarMenuCommand(int tag) const;
    // Arranges the visible, non-minimised child windows in bands, one above
    // the other (horizontal) or side by side (vertical).
    void tileChildren(Qt::Orientation bands);

    Ui::MDIfrm_main *ui;
    QLabel *m_panels[5] = {};
    bool m_insertOn = false;
    std::map<int, QToolButton *> m_toolButtons;
};
