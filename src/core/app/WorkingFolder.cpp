#include "core/app/WorkingFolder.h"

#include "core/app/Log.h"
#include "core/database/ParamFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kestrel::app {

namespace {

const QString FolderName = QStringLiteral("kestrel");

// An XDG base folder: the variable when it holds an absolute path, which
// is all the convention allows; the fallback under HOME otherwise.
QString baseFolder(const QProcessEnvironment &env, const QString &variable,
                   const QString &underHome)
{
    const QString value = env.value(variable);
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(env.value(QStringLiteral("HOME")) + QLatin1Char('/') + underHome);
}

// Writes a copy of source at target, created readable by its owner only
// (never briefly readable by others, as a copy and a chmod would leave it).
QString copyPrivately(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(source, in.errorString());
    const QByteArray content = in.readAll();
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return QStringLiteral("cannot create %1: %2").arg(target, out.errorString());
    if (out.write(content) != content.size() || !out.flush()) {
        const QString error = out.errorString();
        out.remove();
        return QStringLiteral("cannot write %1: %2").arg(target, error);
    }
    return QString();
}

WorkingFolder userFolder(const FolderRequest &request)
{
    WorkingFolder folder;
    const QString path = userConfigFolder(request.environment);
    if (const QString error = makeOwnFolder(path); !error.isEmpty()) {
        folder.error = error;
        return folder;
    }
    folder.path = path;
    const QDir dir(path);
    QString defaults;
    for (const QString &name : {db::ParamFileName, db::DefaultParamFileName}) {
        if (QFileInfo::exists(dir.filePath(name)))
            continue;
        if (defaults.isEmpty())
            defaults = findInstalledFile(db::DefaultParamFileName, request.dataDirs);
        if (defaults.isEmpty()) {
            folder.notes.append(QStringLiteral("no installed %1 found to copy into %2")
                                    .arg(db::DefaultParamFileName, path));
            break;
        }
        if (const QString error = copyPrivately(defaults, dir.filePath(name)); !error.isEmpty()) {
            folder.notes.append(error);
            continue;
        }
        folder.notes.append(QStringLiteral("made %1 from %2").arg(dir.filePath(name), defaults));
        folder.firstStart = folder.firstStart || name == db::ParamFileName;
    }
    return folder;
}

} // namespace

QString makeOwnFolder(const QString &path)
{
    if (QFileInfo(path).isDir())
        return QString();
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path) {
        if (const QString error = makeOwnFolder(parent); !error.isEmpty())
            return error;
    }
    if (::mkdir(QFile::encodeName(path).constData(), S_IRWXU) != 0 && errno != EEXIST) {
        return QStringLiteral("cannot make the folder %1: %2")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (!QFileInfo(path).isDir())
        return QStringLiteral("%1 is not a folder").arg(path);
    return QString();
}

QString userConfigFolder(const QProcessEnvironment &environment)
{
    return baseFolder(environment, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral(".config"))
           + QLatin1Char('/') + FolderName;
}

QString userLogFile(const QProcessEnvironment &environment)
{
    return baseFolder(environment, QStringLiteral("XDG_STATE_HOME"), QStringLiteral(".local/state"))
           + QLatin1Char('/') + FolderName + QStringLiteral("/kestrel.log");
}

QStringList systemDataDirs(const QProcessEnvironment &environment)
{
    QString dirs = environment.value(QStringLiteral("XDG_DATA_DIRS"));
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList result;
    for (const QString &dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir))
            result.append(QDir::cleanPath(dir) + QLatin1Char('/') + FolderName);
    }
    return result;
}

QStringList installedDataDirs(const QProcessEnvironment &environment)
{
    const QDir executableDir(QCoreApplication::applicationDirPath());
    return QStringList{
               QDir::cleanPath(executableDir.filePath(QStringLiteral(KESTREL_DATA_FROM_BIN)))}
           + systemDataDirs(environment);
}

QString findInstalledFile(const QString &name, const QStringList &dataDirs)
{
    for (const QString &dir : dataDirs) {
        const QString path = QDir(dir).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

WorkingFolder chooseWorkingFolder(const FolderRequest &request)
{
    if (!request.explicitDir.isEmpty()) {
        const QFileInfo dir(QDir(request.startDir).filePath(request.explicitDir));
        if (!dir.isDir())
            return {QString(), QStringLiteral("%1 is no folder.").arg(request.explicitDir), {}};
        return {dir.absoluteFilePath(), QString(), {}};
    }
    if (QFileInfo::exists(QDir(request.startDir).filePath(db::ParamFileName)))
        return {QDir(request.startDir).absolutePath(), QString(), {}};
    return userFolder(request);
}

void openUserLog(const QProcessEnvironment &environment)
{
    const QString path = userLogFile(environment);
    const QString error = makeOwnFolder(QFileInfo(path).absolutePath());
    log::setFile(error.isEmpty() ? path : QString());
    if (!error.isEmpty())
        log::append(QStringLiteral("no log file: ") + error);
}

WorkingFolder enterWorkingFolder(const FolderRequest &request)
{
    WorkingFolder folder = chooseWorkingFolder(request);
    for (const QString &note : folder.notes)
        log::append(note);
    if (folder.error.isEmpty() && !QDir::setCurrent(folder.path))
        folder.error = QStringLiteral("cannot work in %1.").arg(folder.path);
    if (!folder.error.isEmpty())
        log::append(folder.error);
    return folder;
}

} // namespace kestrel::app
