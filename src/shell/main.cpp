// Kestrel: runs a small shop and its stock room.

#include "core/app/CommandLine.h"
#include "core/app/WorkingFolder.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "shell/MDIfrm_main.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QDir>

namespace M = mdl_Variables_Functions;
using namespace kestrel::app;

namespace {

FolderRequest folderRequest(const QString &explicitDir, const QProcessEnvironment &environment)
{
    return {explicitDir, QDir::currentPath(), environment, installedDataDirs(environment)};
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version answer before anything needs a display.
    const CommandLine early = parseCommandLine(argumentList(argc, argv), ForeignOptions::Pass);
    if (early.action != CommandLine::Action::Run)
        return answer(early);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    // What Kestrel remembers (QSettings) goes to $XDG_CONFIG_HOME/kestrel.
    QApplication::setOrganizationName(QStringLiteral("kestrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrel"));
    const CommandLine command = parseCommandLine(QApplication::arguments(), ForeignOptions::Refuse);
    if (command.action != CommandLine::Action::Run)
        return answer(command);

    kestrel::installMessageBoxes();
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    openUserLog(environment);
    const WorkingFolder folder = enterWorkingFolder(folderRequest(command.workDir, environment));
    if (!folder.error.isEmpty()) {
        M::MsgBox(QStringLiteral("Kestrel cannot start: %1").arg(folder.error), M::MsgButtons::OK,
                  M::MsgIcon::Critical);
        return 1;
    }
    MDIfrm_main window;
    window.show();
    if (folder.firstStart)
        window.askForConnectionSettings();
    return app.exec();
}
