#include "shell/MDIfrm_main.h"
#include "ui_MDIfrm_main.h"

#include "core/database/ParamFile.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "widgets/KeyLocks.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>

namespace M = mdl_Variables_Functions;

namespace {

struct DropDownItem {
    const char *text;
    int tag;
};

const QString GeometryKey = QStringLiteral("MainWindow/geometry");

} // namespace

MDIfrm_main::MDIfrm_main(QWidget *parent) : QMainWindow(parent), ui(new Ui::MDIfrm_main)
{
    ui->setupUi(this);
    setCentralWidget(ui->mdiArea);
    setWindowIcon(QIcon(QStringLiteral(":/icons/kestrel.png")));
    setFormArea(ui->mdiArea);
    setFormStatusBar(ui->StBr_StatusBar);

    for (QAction *action : findChildren<QAction *>()) {
        if (!action->menu() && action->objectName().startsWith(QLatin1String("mnu_")))
            action->setEnabled(false);
    }
    connectCommands();
    buildToolbar();
    buildStatusBar();
    M::SetConnStatListener([this](const QString &text) {
        m_panels[0]->setText(text);
        m_panels[0]->repaint();
    });
    qApp->installEventFilter(this);
    restoreGeometry(QSettings().value(GeometryKey).toByteArray());
    MDIForm_Load();
}

MDIfrm_main::~MDIfrm_main()
{
    qApp->removeEventFilter(this);
    M::SetConnStatListener({});
    delete ui;
}

QMdiArea *MDIfrm_main::mdiArea() const
{
    return ui->mdiArea;
}

void MDIfrm_main::MDIForm_Load()
{
    using namespace kestrel::db;
    const ParamFile params = readParamFile(ParamFileName);
    // A value too long for the driver is refused, never cut: no connection
    // is tried with settings other than those the file holds.
    if (const QString refused = overLongMessage(params.values, ParamFileName); !refused.isEmpty()) {
        M::ConnString.clear();
        M::MsgBox(refused);
        return;
    }
    M::ConnString = M::BuildConnectionString(params.values);
}

// ---- toolbar ------------------------------------------------------------------

QAction *MDIfrm_main::toolbarCommand(int index) const
{
    switch (index) {
    case 2:
        return ui->mnu_AddTransaction;
    case 4:
        return ui->mnu_ETransaction;
    case 6:
        return ui->mnu_DTransaction;
    case 8:
        return ui->mnu_Today;
    case 10:
        return ui->mnu_BetInt;
    case 12:
        return ui->mnu_ProdStore;
    case 14:
        return ui->mnu_CSettings;
    default:
        return nullptr;
    }
}

QAction *MDIfrm_main::toolbarMenuCommand(int tag) const
{
    switch (tag) {
    case 1:
        return ui->mnu_AddTransaction;
    case 2:
        return ui->mnu_AddProduct;
    case 3:
        return ui->mnu_AddCustomer;
    case 4:
        return ui->mnu_AddCity;
    case 5:
        return ui->mnu_ETransaction;
    case 6:
        return ui->mnu_EProduct;
    case 7:
        return ui->mnu_ECustomer;
    case 8:
        return ui->mnu_ECity;
    case 9:
        return ui->mnu_DTransaction;
    case 10:
        return ui->mnu_DProduct;
    case 11:
        return ui->mnu_DCustomer;
    case 12:
        return ui->mnu_DCity;
    case 13:
        return ui->mnu_ProdListPrice;
    case 14:
        return ui->mnu_ProdStore;
    default:
        return nullptr;
    }
}

void MDIfrm_main::tlb_Toolbar_ButtonClick(int index)
{
    QAction *command = toolbarCommand(index);
    if (command && command->isEnabled())
        command->trigger();
}

void MDIfrm_main::tlb_Toolbar_ButtonMenuClick(int tag)
{
    QAction *command = toolbarMenuCommand(tag);
    if (command && command->isEnabled())
        command->trigger();
}

void MDIfrm_main::buildToolbar()
{
    struct Button {
        int index;
        const char *text;
        const char *icon;
        std::vector<DropDownItem> items;
    };
    const std::vector<Button> buttons = {
        {2, "Add", "add", {{"Transaction", 1}, {"Product", 2}, {"Customer", 3}, {"City", 4}}},
        {4, "Edit", "edit", {{"Transaction", 5}, {"Product", 6}, {"Customer", 7}, {"City", 8}}},
        {6,
         "Delete",
         "delete",
         {{"Transaction", 9}, {"Product", 10}, {"Customer", 11}, {"City", 12}}},
        {8, "Today's", "today", {}},
        {10, "Dates", "dates", {}},
        {12, "Products", "products", {{"List", 13}, {"In store", 14}}},
        {14, "Setup", "setup", {}},
    };
    for (const Button &b : buttons) {
        ui->tlb_Toolbar->addSeparator(); // positions 1, 3, ..., 13
        auto *button = new QToolButton(ui->tlb_Toolbar);
        button->setObjectName(QStringLiteral("tlb_Button%1").arg(b.index));
        button->setText(QString::fromUtf8(b.text));
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.icon))));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        const int index = b.index;
        connect(button, &QToolButton::clicked, this,
                [this, index] { tlb_Toolbar_ButtonClick(index); });
        if (!b.items.empty()) {
            auto *menu = new QMenu(button);
            for (const DropDownItem &item : b.items) {
                QAction *entry = menu->addAction(QString::fromUtf8(item.text));
                entry->setData(item.tag);
                const int tag = item.tag;
                connect(entry, &QAction::triggered, this,
                        [this, tag] { tlb_Toolbar_ButtonMenuClick(tag); });
                // An entry is usable exactly when its command is.
                if (QAction *command = toolbarMenuCommand(tag)) {
                    entry->setEnabled(command->isEnabled());
                    connect(command, &QAction::changed, entry,
                            [entry, command] { entry->setEnabled(command->isEnabled()); });
                }
            }
            button->setMenu(menu);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        } else if (QAction *command = toolbarCommand(index)) {
            button->setEnabled(command->isEnabled());
            connect(command, &QAction::changed, button,
                    [button, command] { button->setEnabled(command->isEnabled()); });
        }
        ui->tlb_Toolbar->addWidget(button);
        m_toolButtons[b.index] = button;
    }
}

// ---- status bar ---------------------------------------------------------------

void MDIfrm_main::buildStatusBar()
{
    const char *texts[5] = {"", "NUM", "CAPS", "SCRL", "INS"};
    for (int i = 0; i < 5; ++i) {
        auto *panel = new QLabel(QString::fromLatin1(texts[i]), ui->StBr_StatusBar);
        panel->setObjectName(i == 0 ? QStringLiteral("ConnStat")
                                    : QStringLiteral("KeyPanel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        if (i == 0) {
            ui->StBr_StatusBar->addWidget(panel, 1);
        } else {
            panel->setAlignment(Qt::AlignCenter);
            panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(QStringLiteral("CAPS"))
                                   + 16);
            ui->StBr_StatusBar->addPermanentWidget(panel);
        }
        m_panels[i] = panel;
    }
    m_panels[0]->setText(M::ConnStat());
    refreshKeyPanels();
}

void MDIfrm_main::refreshKeyPanels()
{
    const kestrel::KeyLocks locks = kestrel::readKeyLocks();
    const bool on[4] = {locks.numLock, locks.capsLock, locks.scrollLock, m_insertOn};
    for (int i = 0; i < 4; ++i)
        m_panels[i + 1]->setEnabled(on[i]);
}

QString MDIfrm_main::statusPanelText(int panel) const
{
    return panel >= 1 && panel <= 5 ? m_panels[panel - 1]->text() : QString();
}

bool MDIfrm_main::statusPanelOn(int panel) const
{
    return panel >= 1 && panel <= 5 && m_panels[panel - 1]->isEnabled();
}

bool MDIfrm_main::eventFilter(QObject *watched, QEvent *event)
{
    // Key-state panels follow every key, wherever the focus is. The event
    // reaches this filter once per receiving object, so only the focused
    // widget's copy counts.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && watched == QApplication::focusWidget()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Insert
            && !key->isAutoRepeat())
            m_insertOn = !m_insertOn;
        kestrel::noteLockKey(key);
        refreshKeyPanels();
    } else if (event->type() == QEvent::ApplicationActivate) {
        refreshKeyPanels();
    } else if (event->type() == QEvent::ShortcutOverride && watched == QApplication::focusWidget()
               && (qobject_cast<QLineEdit *>(watched) || qobject_cast<QPlainTextEdit *>(watched))
               && isCommandKey(static_cast<QKeyEvent *>(event))) {
        // Kept from the text box, which leaves it to the command.
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MDIfrm_main::isCommandKey(const QKeyEvent *key) const
{
    // On X11 a text box takes some command keys for editing as Emacs does
    // (Ctrl+E: to the end of the line, which End does too). The commands
    // keep their keys, but for the editing keys every text box has.
    for (const QKeySequence::StandardKey editing :
         {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste,
          QKeySequence::Undo, QKeySequence::Redo}) {
        if (key->matches(editing))
            return false;
    }
    const QKeySequence pressed(key->keyCombination());
    for (const QAction *action : findChildren<QAction *>(Qt::FindDirectChildrenOnly)) {
        if (action->isEnabled() && action->shortcuts().contains(pressed))
            return true;
    }
    return false;
}

// ---- windows ------------------------------------------------------------------

void MDIfrm_main::mnu_WindCascade_Click()
{
    ui->mdiArea->cascadeSubWindows();
}

void MDIfrm_main::mnu_WindHori_Click()
{
    tileChildren(Qt::Horizontal);
}

void MDIfrm_main::mnu_WindVert_Click()
{
    tileChildren(Qt::Vertical);
}

void MDIfrm_main::mnu_WindClose_Click()
{
    if (kestrel::KForm *form = activeForm())
        form->Unload();
}

void MDIfrm_main::tileChildren(Qt::Orientation bands)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *sub : ui->mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isVisible() && !sub->isMinimized() && !isClosing(sub))
            windows.append(sub);
    }
    if (windows.isEmpty())
        return;
    const QRect area = ui->mdiArea->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *sub = windows[i];
        if (sub->isMaximized())
            sub->showNormal();
        QRect r;
        if (bands == Qt::Horizontal) {
            const int top = area.height() * i / n;
            r = QRect(0, top, area.width(), area.height() * (i + 1) / n - top);
        } else {
            const int left = area.width() * i / n;
            r = QRect(left, 0, area.width() * (i + 1) / n - left, area.height());
        }
        sub->setGeometry(r);
    }
}

void MDIfrm_main::closeEvent(QCloseEvent *event)
{
    // Every child runs its own close step; nothing is asked or saved but
    // where the window was, for the next start.
    closeAllForms();
    QSettings().setValue(GeometryKey, saveGeometry());
    event->accept();
}
