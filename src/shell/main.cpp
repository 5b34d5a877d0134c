// Kestrel: runs a small shop and its stock room.

#include "MDIfrm_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    MDIfrm_main window;
    window.show();
    return app.exec();
}
