#include "widgets/MessageBoxes.h"

#include "core/shared/mdl_Variables_Functions.h"

#include <QApplication>
#include <QMessageBox>

namespace M = mdl_Variables_Functions;

namespace kestrel {

namespace {

QMessageBox::Icon boxIcon(M::MsgIcon icon)
{
    switch (icon) {
    case M::MsgIcon::Critical:
        return QMessageBox::Critical;
    case M::MsgIcon::Information:
        return QMessageBox::Information;
    case M::MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

M::MsgAnswer showBox(const M::Message &message)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.title);
    box.setText(message.text);
    box.setIcon(boxIcon(message.icon));
    box.setInformativeText(message.hint);
    box.setDetailedText(message.details);
    if (message.buttons == M::MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? M::MsgAnswer::Yes : M::MsgAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return M::MsgAnswer::OK;
}

} // namespace

void installMessageBoxes()
{
    M::SetMessageService({showBox, [] { QApplication::beep(); }});
}

} // namespace kestrel
