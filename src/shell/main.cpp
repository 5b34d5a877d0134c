// Kestrel: runs a small shop and its stock room.

#include "shell/MDIfrm_main.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    kestrel::installMessageBoxes();
    MDIfrm_main window;
    window.show();
    return app.exec();
}
