#include "widgets/FormHost.h"

#include "widgets/DateLimits.h"
#include "widgets/OptionGroups.h"
#include "widgets/TextLengthLimit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <algorithm>

namespace kestrel {

namespace {

FormHost *runningHost = nullptr;

constexpr const char *ClosingProperty = "kestrelClosing";

// Whether form fills its window (a grid) rather than keep its fields
// together at the top left; such a form says so with the property
// "stretchesWithWindow" in its .ui file.
bool stretchesWithWindow(const QWidget *form)
{
    return !form->layout() || form->property("stretchesWithWindow").toBool();
}

// Holds a form inside its sub-window. A window smaller than its form
// scrolls rather than squeeze the form or cut it off, and Tab scrolls each
// control it reaches into sight. A form of fields keeps its natural size,
// following its contents, at the top left of a larger window; a grid fills
// the window. The sub-window takes its title from here and closes through
// here, so both are the form's.
class FormScroller : public QScrollArea {
public:
    explicit FormScroller(KForm *form)
    {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(stretchesWithWindow(form));
        setAlignment(Qt::AlignTop | Qt::AlignLeft);
        setFocusPolicy(Qt::NoFocus);
        setWidget(form);
        setFocusProxy(form);
        setWindowTitle(form->windowTitle());
        form->installEventFilter(this);
        fitForm();
    }

    // The form's own size: the sub-window opens showing all of it.
    QSize sizeHint() const override { return naturalSize(); }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        // The form's own close step decides.
        event->setAccepted(!widget() || widget()->close());
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget()) {
            if (event->type() == QEvent::WindowTitleChange)
                setWindowTitle(widget()->windowTitle());
            else if (event->type() == QEvent::LayoutRequest)
                fitForm();
        }
        return QScrollArea::eventFilter(watched, event);
    }

private:
    QSize naturalSize() const
    {
        const QWidget *form = widget();
        return form->sizeHint()
            .expandedTo(form->minimumSizeHint())
            .expandedTo(form->minimumSize())
            .boundedTo(form->maximumSize());
    }

    void fitForm()
    {
        if (!widgetResizable() && widget())
            widget()->resize(naturalSize());
    }
};

// A form's sub-window. It is marked as closing once its close is accepted,
// so findForm no longer sees it while its deletion is pending. It remembers
// the control that had the keys when it opened, and gives them back there
// when it closes while it has them: otherwise Qt hands them to whichever
// window comes next, and the operator's next keys land in a list or a grid
// in the background.
class FormWindow : public QMdiSubWindow {
public:
    using QMdiSubWindow::QMdiSubWindow;

    QPointer<QWidget> returnTo;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        const bool hadTheKeys = holdsTheKeys();
        QMdiSubWindow::closeEvent(event);
        if (!event->isAccepted())
            return;
        setProperty(ClosingProperty, true);
        passOnReturnPoint();
        if (hadTheKeys)
            giveBackTheKeys();
    }

private:
    bool holdsTheKeys() const
    {
        const QWidget *focus = QApplication::focusWidget();
        return (focus && isAncestorOf(focus))
               || (mdiArea() && mdiArea()->activeSubWindow() == this);
    }

    // A window opened from this one (the quantity prompt, opened from a
    // chooser) goes back where this one would have gone.
    void passOnReturnPoint()
    {
        if (!mdiArea())
            return;
        for (QMdiSubWindow *sub : mdiArea()->subWindowList()) {
            auto *other = dynamic_cast<FormWindow *>(sub);
            if (other && other != this && other->returnTo && isAncestorOf(other->returnTo))
                other->returnTo = returnTo;
        }
    }

    void giveBackTheKeys()
    {
        QWidget *to = returnTo;
        QMdiSubWindow *sub = FormHost::subWindowOf(to);
        if (!sub || sub == this || FormHost::isClosing(sub) || sub->isMinimized() || !mdiArea())
            return;
        mdiArea()->setActiveSubWindow(sub);
        // A control that has gone out of sight (a pick button that gave way
        // to its box) leaves the keys to its form.
        if (to->isVisible() && to->isEnabled() && (to->focusPolicy() & Qt::TabFocus))
            to->setFocus(Qt::OtherFocusReason);
        else if (KForm *form = FormHost::formOf(sub))
            form->setFocus(Qt::OtherFocusReason);
    }
};

// Keeps every window that is neither maximised nor minimised inside the
// area as the area shrinks: a window reaching beyond it would hide its
// buttons where no scroll bar leads.
void keepInside(QMdiSubWindow *sub, const QRect &area)
{
    if (sub->isMaximized() || sub->isMinimized() || area.isEmpty())
        return;
    const QRect now = sub->geometry();
    const QSize size = now.size().boundedTo(area.size());
    const int x = std::clamp(now.x(), 0, area.width() - size.width());
    const int y = std::clamp(now.y(), 0, area.height() - size.height());
    const QRect fitted(QPoint(x, y), size);
    if (fitted != now)
        sub->setGeometry(fitted);
}

class AreaWatcher : public QObject {
public:
    explicit AreaWatcher(QMdiArea *area) : QObject(area), m_area(area)
    {
        area->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_area->viewport() && event->type() == QEvent::Resize) {
            for (QMdiSubWindow *sub : m_area->subWindowList())
                keepInside(sub, m_area->viewport()->rect());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMdiArea *m_area;
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
// and stretching every box across the screen: it follows its contents, up
// to half again its natural size, room enough for texts that change while
// it is open.
void keepContentTogether(KForm *form)
{
    if (stretchesWithWindow(form))
        return;
    form->setMaximumSize(form->sizeHint() * 3 / 2);
    form->layout()->setAlignment(Qt::AlignTop | Qt::AlignLeft);
}

// Enter presses the button that has the keys, as Space does, in every form.
void pressFocusedButtonsOnEnter(KForm *form)
{
    for (QPushButton *button : form->findChildren<QPushButton *>())
        button->setAutoDefault(true);
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

void FormHost::setFormArea(QMdiArea *area)
{
    m_area = area;
    new AreaWatcher(area);
}

QMdiSubWindow *FormHost::subWindowOf(const QWidget *form)
{
    for (QWidget *w = form ? form->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            return sub;
    }
    return nullptr;
}

KForm *FormHost::formOf(const QMdiSubWindow *sub)
{
    if (!sub)
        return nullptr;
    if (const auto *scroller = qobject_cast<const QScrollArea *>(sub->widget()))
        return qobject_cast<KForm *>(scroller->widget());
    return qobject_cast<KForm *>(sub->widget());
}

KForm *FormHost::activeForm() const
{
    return formOf(m_area->activeSubWindow());
}

void FormHost::closeAllForms()
{
    m_closingAll = true;
    m_area->closeAllSubWindows();
    m_closingAll = false;
}

void FormHost::addForm(KForm *form)
{
    auto *sub = new FormWindow;
    // The keys go back to another form's control, never to the main
    // window's toolbar or menus.
    QWidget *focus = QApplication::focusWidget();
    if (subWindowOf(focus))
        sub->returnTo = focus;
    // Every box's limit counts characters, whatever its own check, every
    // date stays one the server stores, option groups work by key, and
    // Enter presses the button with the keys.
    installTextLengthLimits(form);
    limitToStorableDates(form);
    tabToTheChosenOptions(form);
    keepContentTogether(form);
    pressFocusedButtonsOnEnter(form);
    sub->setWidget(new FormScroller(form));
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(m_area->window()->windowIcon());
    leaveHostShortcutsToTheHost(sub, m_area->window());
    m_area->addSubWindow(sub);
    sub->adjustSize();
    sub->show();
    keepInside(sub, m_area->viewport()->rect());
    m_area->setActiveSubWindow(sub);
    QPointer<KForm> alive(form);
    form->Form_Load();
    if (alive)
        form->setFocus();
}

void FormHost::fitWindowTo(KForm *form)
{
    QMdiSubWindow *sub = subWindowOf(form);
    if (!sub)
        return;
    // The form's new size first (its scroll area follows the layout's
    // request), then the window around it.
    if (form->layout())
        form->layout()->activate();
    QApplication::sendPostedEvents(form, QEvent::LayoutRequest);
    sub->widget()->updateGeometry();
    sub->adjustSize();
    keepInside(sub, m_area->viewport()->rect());
}

void FormHost::activate(QWidget *form)
{
    QMdiSubWindow *sub = subWindowOf(form);
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    sub->raise();
    m_area->setActiveSubWindow(sub);
}

} // namespace kestrel
