// Kestrel's start: the command line, the choice of the working folder and
// the user's own folders under the XDG base folders.

#include "core/app/CommandLine.h"
#include "core/app/Log.h"
#include "core/app/WorkingFolder.h"
#include "core/database/ParamFile.h"
#include "support/CoreSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace kestrel;
using app::CommandLine;
using app::ForeignOptions;

Q_DECLARE_METATYPE(CommandLine::Action)
Q_DECLARE_METATYPE(ForeignOptions)

namespace {

const QByteArray Defaults =
    "Kestrel\r\ndefaults\r\nkestrel\r\n127.0.0.1\r\nk\r\npw\r\n3391\r\n\r\n";
const QFileDevice::Permissions OwnersBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                            | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

QFileDevice::Permissions othersMayDo(const QString &path)
{
    return QFile(path).permissions() & ~OwnersBits;
}

// A home of its own with installed defaults, and an empty folder to start in.
struct Sandbox {
    test::ScratchDir root;
    QProcessEnvironment environment;

    Sandbox()
    {
        environment.insert(QStringLiteral("HOME"), path("home"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        QDir(root.path()).mkpath(QStringLiteral("start"));
        QDir(root.path()).mkpath(QStringLiteral("home"));
        writeFile(path("share/kestrel/DefConnParam.ini"), Defaults);
    }
    QString path(const QString &relative) const { return root.file(relative); }
    app::FolderRequest request(const QString &workDir = QString()) const
    {
        return {
            workDir, path("start"), environment, {path("nowhere/kestrel"), path("share/kestrel")}};
    }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void folderChoice_data();
    void folderChoice();
    void existingFilesStayAsTheyAre();
    void missingDefaultsStillGiveAFolder();
    void userFolders();
    void firstStartMakesTheUserFolderAndLogsIt();
};

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<ForeignOptions>("foreign");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("workDir");
    QTest::addColumn<QString>("textHas");
    const auto pass = ForeignOptions::Pass, refuse = ForeignOptions::Refuse;
    using A = CommandLine::Action;
    const QString kestrel = QStringLiteral("/usr/bin/kestrel");

    QTest::newRow("--version") << QStringList{kestrel, "--version"} << pass << A::ShowVersion << ""
                               << app::versionText() + "\n";
    QTest::newRow("--help") << QStringList{kestrel, "--help"} << pass << A::ShowHelp << ""
                            << "Usage: kestrel [options]";
    QTest::newRow("--workdir DIR")
        << QStringList{kestrel, "--workdir", "/srv/shop"} << refuse << A::Run << "/srv/shop"
        << "";
    QTest::newRow("a long option Kestrel does not know, before Qt")
        << QStringList{kestrel, "--wrokdir", "x"} << pass << A::Fail << ""
        << "kestrel: unknown option '--wrokdir'.\nTry 'kestrel --help'";
    QTest::newRow("a Qt option waits for Qt")
        << QStringList{kestrel, "-platform", "offscreen", "--workdir", "w"} << pass << A::Run << ""
        << "";
    QTest::newRow("left over once Qt took its own")
        << QStringList{kestrel, "-platform", "offscreen"} << refuse << A::Fail << ""
        << "Unknown options";
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(ForeignOptions, foreign);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, workDir);
    QFETCH(QString, textHas);
    const CommandLine command = app::parseCommandLine(arguments, foreign);
    QCOMPARE(command.action, action);
    QCOMPARE(command.workDir, workDir);
    QVERIFY2(command.text.contains(textHas), qPrintable(command.text));
    QCOMPARE(command.text.isEmpty(), action == CommandLine::Action::Run);
}

void TestStartup::folderChoice_data()
{
    QTest::addColumn<QString>("workDir");
    QTest::addColumn<bool>("startHasParams");
    QTest::addColumn<QString>("expected"); // under the sandbox; empty for an error

    QTest::newRow("started in a folder with ConnParam.ini") << "" << true << "start";
    QTest::newRow("--workdir wins") << "/elsewhere" << true << "elsewhere";
    QTest::newRow("--workdir relative to the start") << "../elsewhere" << false << "elsewhere";
    QTest::newRow("--workdir that does not exist") << "../missing" << true << "";
}

void TestStartup::folderChoice()
{
    QFETCH(QString, workDir);
    QFETCH(bool, startHasParams);
    QFETCH(QString, expected);
    Sandbox box;
    QVERIFY(QDir(box.root.path()).mkpath(QStringLiteral("elsewhere")));
    if (startHasParams)
        KESTREL_CHECK(writeFile(box.path("start/ConnParam.ini"), "mine\r\n"));
    if (workDir.startsWith(QLatin1Char('/')))
        workDir = box.path(workDir.mid(1));

    const app::WorkingFolder folder = app::chooseWorkingFolder(box.request(workDir));
    QCOMPARE(folder.path, expected.isEmpty() ? QString() : box.path(expected));
    QCOMPARE(folder.error.isEmpty(), !expected.isEmpty());
    // Only the user's folder is ever made or filled.
    QCOMPARE(QFileInfo::exists(box.path("config")), expected == QLatin1String("config/kestrel"));
    if (startHasParams)
        QCOMPARE(contentOf(box.path("start/ConnParam.ini")), QByteArray("mine\r\n"));
}

void TestStartup::existingFilesStayAsTheyAre()
{
    Sandbox box;
    const QString dir = box.path("config/kestrel");
    KESTREL_CHECK(writeFile(dir + "/ConnParam.ini", "mine\r\n"));

    const app::WorkingFolder folder = app::chooseWorkingFolder(box.request());
    QCOMPARE(folder.path, dir);
    QCOMPARE(contentOf(dir + "/ConnParam.ini"), QByteArray("mine\r\n"));
    QCOMPARE(contentOf(dir + "/DefConnParam.ini"), Defaults);
    QCOMPARE(folder.notes.size(), 1);
    QVERIFY(!folder.firstStart); // the operator's own settings are there

    // A second start finds everything there and changes nothing.
    KESTREL_CHECK(writeFile(dir + "/DefConnParam.ini", "own defaults\r\n"));
    QVERIFY(app::chooseWorkingFolder(box.request()).notes.isEmpty());
    QCOMPARE(contentOf(dir + "/DefConnParam.ini"), QByteArray("own defaults\r\n"));
}

void TestStartup::missingDefaultsStillGiveAFolder()
{
    Sandbox box;
    QVERIFY(QFile::remove(box.path("share/kestrel/DefConnParam.ini")));
    const app::WorkingFolder folder = app::chooseWorkingFolder(box.request());
    QCOMPARE(folder.path, box.path("config/kestrel"));
    QVERIFY(folder.notes.at(0).contains(QLatin1String("no installed DefConnParam.ini")));
    QVERIFY(QDir(folder.path).isEmpty());
}

void TestStartup::userFolders()
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), QStringLiteral("/home/op"));
    QCOMPARE(app::userConfigFolder(environment), QStringLiteral("/home/op/.config/kestrel"));
    QCOMPARE(app::userLogFile(environment),
             QStringLiteral("/home/op/.local/state/kestrel/kestrel.log"));
    QCOMPARE(app::systemDataDirs(environment),
             (QStringList{"/usr/local/share/kestrel", "/usr/share/kestrel"}));
    // A relative XDG_CONFIG_HOME, and relative or empty data folders, are ignored.
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("cfg"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), QStringLiteral("/var/op"));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"),
                       QStringLiteral("rel:/opt/k/share/::/usr/share"));
    QCOMPARE(app::userConfigFolder(environment), QStringLiteral("/home/op/.config/kestrel"));
    QCOMPARE(app::userLogFile(environment), QStringLiteral("/var/op/kestrel/kestrel.log"));
    QCOMPARE(app::systemDataDirs(environment),
             (QStringList{"/opt/k/share/kestrel", "/usr/share/kestrel"}));
}

// The first start makes the user's folder, private, fills it from the
// installed defaults, enters it and logs what it made.
void TestStartup::firstStartMakesTheUserFolderAndLogsIt()
{
    Sandbox box;
    box.environment.insert(QStringLiteral("XDG_STATE_HOME"), box.path("state"));
    app::openUserLog(box.environment);
    const QString logFile = box.path("state/kestrel/kestrel.log");
    QCOMPARE(log::file(), logFile);
    QCOMPARE(othersMayDo(box.path("state/kestrel")), QFileDevice::Permissions());

    const app::WorkingFolder folder = app::enterWorkingFolder(box.request());
    const QString dir = box.path("config/kestrel");
    QVERIFY(folder.error.isEmpty() && folder.firstStart);
    QCOMPARE(QDir::currentPath(), dir);
    QCOMPARE(othersMayDo(dir), QFileDevice::Permissions());
    for (const QString &name : {db::ParamFileName, db::DefaultParamFileName}) {
        QCOMPARE(contentOf(QDir(dir).filePath(name)), Defaults);
        QCOMPARE(othersMayDo(QDir(dir).filePath(name)), QFileDevice::Permissions());
    }
    QCOMPARE(contentOf(logFile).count('\n'), 2);
    QVERIFY(!app::chooseWorkingFolder(box.request()).firstStart);

    const QString error = app::enterWorkingFolder(box.request(QStringLiteral("missing"))).error;
    QVERIFY(error.contains(QLatin1String("missing")));
    QCOMPARE(QDir::currentPath(), dir);
    QVERIFY(contentOf(logFile).contains(error.toUtf8()));
    log::setFile(QString());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
