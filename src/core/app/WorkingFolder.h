#pragma once
// Where Kestrel works: the folder whose ConnParam.ini and DefConnParam.ini
// it reads and writes. In order:
//   1. the folder given with --workdir, which must exist;
//   2. the folder Kestrel was started in, when it holds a ConnParam.ini
//      (a shell in a folder of its own, as scripts/run starts it);
//   3. the user's own folder, $XDG_CONFIG_HOME/kestrel (~/.config/kestrel),
//      as started from the desktop's menu. Made at first start, its owner's
//      alone; a parameter file missing there is copied from the installed
//      DefConnParam.ini, readable by its owner only, since it holds a
//      password. Files already there stay as they are.
// The log has its own place: $XDG_STATE_HOME/kestrel (~/.local/state/kestrel).

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kestrel::app {

struct FolderRequest {
    QString explicitDir;             // --workdir; empty when not given
    QString startDir;                // the current folder at start
    QProcessEnvironment environment; // HOME and the XDG_ variables
    QStringList dataDirs;            // where to look for DefConnParam.ini, first found wins
};

struct WorkingFolder {
    QString path;      // empty when there is none to work in
    QString error;     // why not, when path is empty
    QStringList notes; // what was made, for the log
    // ConnParam.ini was made just now from the installed defaults: the
    // operator has yet to say where the database is.
    bool firstStart = false;
};

WorkingFolder chooseWorkingFolder(const FolderRequest &request);

// $XDG_CONFIG_HOME/kestrel; ~/.config/kestrel when that is unset or relative.
QString userConfigFolder(const QProcessEnvironment &environment);
// $XDG_STATE_HOME/kestrel/kestrel.log; under ~/.local/state likewise.
QString userLogFile(const QProcessEnvironment &environment);
// The kestrel folders of $XDG_DATA_DIRS (/usr/local/share:/usr/share when unset).
QStringList systemDataDirs(const QProcessEnvironment &environment);
// Where Kestrel's installed data lies: beside the running executable's own
// prefix first, so that a Kestrel installed anywhere finds its own (the
// build tree holds a copy at the same place), then systemDataDirs().
QStringList installedDataDirs(const QProcessEnvironment &environment);
// The first file called name in dataDirs, or an empty string.
QString findInstalledFile(const QString &name, const QStringList &dataDirs);

// Chooses the working folder and makes it the current one, noting in the
// log what it made. The folder's error says what went wrong for the operator
// to read, empty when Kestrel can work.
WorkingFolder enterWorkingFolder(const FolderRequest &request);

// Sends the log to userLogFile(), making its folder; to standard error alone
// when that cannot be had.
void openUserLog(const QProcessEnvironment &environment);

// Makes path and any missing parents, the new ones its owner's alone.
// Returns an error text, empty on success.
QString makeOwnFolder(const QString &path);

} // namespace kestrel::app
