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
    // The installed defaults lie beside the executable's own prefix first, so
    // that a Kestrel installed anywhere finds its own.
    const QDir executableDir(QCoreApplication::applicationDirPath());
    QStringList dataDirs{QDir::cleanPath(executableDir.filePath(KESTREL_DATA_FROM_BIN))};
    dataDirs += systemDataDirs(environment);
    return {explicitDir, QDir::currentPath(), environment, dataDirs};
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
    // The user's settings (QSettings) live under these names in their
    // configuration folder.
    if (QCoreApplication::organizationName().isEmpty())
        QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrel"));
    const CommandLine command = parseCommandLine(QApplication::arguments(), ForeignOptions::Refuse);
    if (command.action != CommandLine::Action::Run)
        return answer(command);

    kestrel::installMessageBoxes();
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    openUserLog(environment);
    const QString error = enterWorkingFolder(folderRequest(command.workDir, environment));
    if (!error.isEmpty()) {
        M::MsgBox(QStringLiteral("Kestrel cannot start: %1").arg(error), M::MsgButtons::OK,
                  M::MsgIcon::Critical);
        return 1;
    }
    MDIfrm_main window;
    window.show();
    return app.exec();
}
