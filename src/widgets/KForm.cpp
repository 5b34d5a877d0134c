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
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

bool KForm::isUnloading() const
{
    return FormHost::isClosing(parentWidget());
}

void KForm::answerEscapeWith(QAbstractButton *cancel)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, cancel, &QAbstractButton::click);
}

void KForm::showStatusNote(const QString &text) const
{
    if (auto *frame = qobject_cast<QMainWindow *>(window()))
        frame->statusBar()->showMessage(text, StatusNoteMs);
}

} // namespace kestrel
