#include "widgets/FormHost.h"

#include "widgets/DateLimits.h"
#include "widgets/OptionGroups.h"
#include "widgets/TextLengthLimit.h"

#include <QAction>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QPointer>

namespace kestrel {

namespace {

FormHost *runningHost = nullptr;

constexpr const char *ClosingProperty = "kestrelClosing";

// Marks a sub-window as closing once its close is accepted, so findForm no
// longer sees it while its deletion is pending.
class FormWindow : public QMdiSubWindow {
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        QMdiSubWindow::closeEvent(event);
        if (event->isAccepted())
            setProperty(ClosingProperty, true);
    }
};

// The system menu of a sub-window offers Close on the platform's close keys
// (Ctrl+W among them). Where the host window's own commands use such a key,
// it stays theirs: otherwise neither would run while a form is open.
void leaveHostShortcutsToTheHost(QMdiSubWindow *sub, const QWidget *host)
{
    QList<QKeySequence> taken;
    for (const QAction *action : host->findChildren<QAction *>(Qt::FindDirectChildrenOnly))
        taken += action->shortcuts();
    for (QAction *action : sub->systemMenu()->actions()) {
        QList<QKeySequence> kept = action->shortcuts();
        kept.removeIf([&](const QKeySequence &key) { return taken.contains(key); });
        action->setShortcuts(kept);
    }
}

// A form of fields keeps its fields together at the top left whatever the
// size of its window (maximised included), rather than spreading its rows
// and stretching every box across the screen: it grows to half again its
// natural size at most, room enough for texts that change while it is open.
// A form whose content should fill the window (a grid) says so with the
// property "stretchesWithWindow" in its .ui file.
void keepContentTogether(KForm *form)
{
    if (!form->layout() || form->property("stretchesWithWindow").toBool())
        return;
    form->setMaximumSize(form->sizeHint() * 3 / 2);
    form->layout()->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    if (QLayout *window = form->parentWidget()->layout())
        window->setAlignment(form, Qt::AlignTop | Qt::AlignLeft);
}

} // namespace

FormHost::FormHost()
{
    runningHost = this;
}

FormHost::~FormHost()
{
    if (runningHost == this)
        runningHost = nullptr;
}

FormHost *FormHost::instance()
{
    return runningHost;
}

bool FormHost::isClosing(const QWidget *subWindow)
{
    return !subWindow || subWindow->property(ClosingProperty).toBool();
}

void FormHost::addForm(KForm *form)
{
    auto *sub = new FormWindow;
    sub->setWidget(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(m_area->window()->windowIcon());
    leaveHostShortcutsToTheHost(sub, m_area->window());
    // Every box's limit counts characters, whatever its own check, every
    // date stays one the server stores, and option groups work by key.
    installTextLengthLimits(form);
    limitToStorableDates(form);
    tabToTheChosenOptions(form);
    keepContentTogether(form);
    m_area->addSubWindow(sub);
    sub->adjustSize();
    // However the window is sized (by the mouse, by tiling), its form keeps
    // room for every control: a squeezed layout would lay boxes over each
    // other.
    sub->setMinimumSize(sub->minimumSizeHint());
    sub->show();
    m_area->setActiveSubWindow(sub);
    QPointer<KForm> alive(form);
    form->Form_Load();
    if (alive)
        form->setFocus();
}

void FormHost::activate(QWidget *form)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget());
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    sub->raise();
    m_area->setActiveSubWindow(sub);
}

} // namespace kestrel
