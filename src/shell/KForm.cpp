#include "KForm.h"

#include <QMdiSubWindow>

namespace kestrel {

void KForm::Unload()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->close();
    else
        close();
}

} // namespace kestrel
