#pragma once
// Kestrel's one top-level window: the multiple-document frame with the menu
// bar, the toolbar and the status bar. Every form opens inside it, one
// instance per form class, through showForm<T>() of the form host.

#include "widgets/FormHost.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>
#include <map>

namespace Ui {
class MDIfrm_main;
}

class MDIfrm_main : public QMainWindow, public kestrel::FormHost {
    Q_OBJECT
public:
    explicit MDIfrm_main(QWidget *parent = nullptr);
    ~MDIfrm_main() override;

    // Reads ConnParam.ini from the working directory and builds the
    // connection string.
    void MDIForm_Load();

    QMdiArea *mdiArea() const;

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
    // Closes the active child window, as its own Cancel or close box would.
    void mnu_WindClose_Click();

    // Commands that open a result window rather than a form
    // (MainCommands.cpp).
    void mnu_DCity_Click();
    void mnu_DCustomer_Click();
    void mnu_DProduct_Click();
    void mnu_DTransaction_Click();
    void mnu_Today_Click();
    void mnu_Top5Prod_Click();
    // The open list out to a file or to the printer; a beep when no list
    // that can go out is open (MainCommands.cpp).
    void mnu_ExportList_Click();
    void mnu_PrintList_Click();
    // The operator's manual, at the section of the active form if it has
    // one (MainCommands.cpp).
    void mnu_HelpContents_Click();

    // Opens the connection settings with a note on what to fill in: at the
    // first start, before Kestrel knows where its database is.
    void askForConnectionSettings();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectMenu();
    void buildToolbar();
    void buildStatusBar();
    void refreshKeyPanels();
    // True when key is one of the main window's commands rather than a key
    // every text box edits with.
    bool isCommandKey(const QKeyEvent *key) const;
    // Connects every built command to its menu item and so enables it; items
    // not connected stay disabled (MainCommands.cpp).
    void connectCommands();
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
