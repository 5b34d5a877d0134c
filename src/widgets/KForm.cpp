#include "widgets/KForm.h"

#include "widgets/FormHost.h"

#include <QAbstractButton>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QStatusBar>

namespace kestrel {

void KForm::Unload()
{
    if (QMdiSubWindow *sub = FormHost::subWindowOf(this))
        sub->close();
    else
        close();
}

bool KForm::isUnloading() const
{
    return FormHost::isClosing(FormHost::subWindowOf(this));
}

void KForm::answerEscapeWith(QAbstractButton *cancel)
{
    answerEscapeWith([cancel] { cancel->click(); });
}

void KForm::answerEscapeWith(std::function<void()> action)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, std::move(action));
}

void KForm::answerEnterWith(QAbstractButton *button, const QList<QWidget *> &inputs)
{
    // Shortcuts rather than key filters: a numeric box swallows Enter, and
    // a calendar keeps it for itself.
    for (QWidget *input : inputs) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            auto *enter = new QShortcut(QKeySequence(key), input);
            enter->setContext(Qt::WidgetWithChildrenShortcut);
            connect(enter, &QShortcut::activated, button, &QAbstractButton::click);
        }
    }
}

void KForm::showStatusNote(const QString &text) const
{
    if (auto *frame = qobject_cast<QMainWindow *>(window()))
        frame->statusBar()->showMessage(text, StatusNoteMs);
}

} // namespace kestrel
