#include "widgets/KForm.h"

#include "widgets/FormHost.h"

#include <QAbstractButton>
#include <QMdiSubWindow>
#include <QShortcut>

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

} // namespace kestrel
