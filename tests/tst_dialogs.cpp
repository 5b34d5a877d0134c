// The database dialogs: Format DB, the connection settings and the
// connection test, opened through the main window against the test server.

#include "core/database/ConnectionCycle.h"
#include "core/database/ParamFile.h"
#include "database/Frm_ConnectionSettings.h"
#include "database/Frm_FormatDB.h"
#include "database/Frm_TestConnection.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

using test::click;

QLineEdit *field(QWidget *form, const char *name)
{
    return test::control<QLineEdit>(form, name);
}

// The settings fields in parameter-file order.
QStringList settingsShown(QWidget *form)
{
    QStringList values;
    for (const char *name : {"txt_DSN", "txt_Desc", "txt_DBName", "txt_HSName", "txt_User",
                             "txt_Password", "txt_Port", "txt_SQLComm"})
        values.append(field(form, name)->text());
    return values;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void formatEmptyDatabase();
    void formatStopsAtExistingTable();
    void settingsCancelStoresNothing();
    void settingsDefaultThenOK();
    void settingsClearedFieldsAndMissingDefaults();
    void settingsThatCannotBeSavedChangeNothing();
    void settingsKeepASingleByteFileSingleByte();
    void settingsNeverCutALine();
    void testConnection();

private:
    std::unique_ptr<test::RunningMainWindow> m_run;
};

void TestDialogs::init()
{
    test::dropAllTables();
    m_run = std::make_unique<test::RunningMainWindow>();
    QVERIFY(m_run->show());
}

void TestDialogs::cleanup()
{
    m_run.reset();
}

// Cancel touches nothing; Create makes the four tables.
void TestDialogs::formatEmptyDatabase()
{
    click(m_run->main->showForm<Frm_FormatDB>(), "cmd_Cancel");
    QVERIFY(!m_run->main->findForm<Frm_FormatDB>());
    QVERIFY(test::tableNames().isEmpty());
    Frm_FormatDB *format = m_run->main->showForm<Frm_FormatDB>();
    QVERIFY(m_run->main->findForm<Frm_ConnectionSettings>()); // opened beside it
    click(format, "cmd_Create");
    QCOMPARE(test::tableNames(), (QStringList{"cities", "customers", "products", "turnover"}));
    // The sales reports find a day's sales and the joins through these.
    QCOMPARE(test::scalar("SELECT GROUP_CONCAT(DISTINCT INDEX_NAME ORDER BY INDEX_NAME) FROM "
                          "information_schema.statistics WHERE table_schema = DATABASE() AND "
                          "table_name = 'turnover'"),
             db::Value("CustomerID,Date,PRIMARY,ProductID"));
    QCOMPARE(format->findChild<QLabel *>("lbl_Process")->text(),
             QStringLiteral("DataBase formatting finished."));
    QCOMPARE(M::ConnStat(), M::StatIdle);
    QVERIFY(m_run->messages->messages.empty());
}

void TestDialogs::formatStopsAtExistingTable()
{
    test::exec("CREATE TABLE products (ID INT)");
    click(m_run->main->showForm<Frm_FormatDB>(), "cmd_Create");
    QCOMPARE(test::tableNames(), (QStringList{"cities", "customers", "products"}));
    QCOMPARE(m_run->messages->texts(), QStringList{db::ConnectionErrorText});
    QCOMPARE(M::ConnStat(), M::StatError);
    QVERIFY(!m_run->main->findForm<Frm_FormatDB>());
    QVERIFY(m_run->main->findForm<Frm_ConnectionSettings>());
}

void TestDialogs::settingsCancelStoresNothing()
{
    const QStringList params = test::testParams();
    const QString string = M::ConnString;
    Frm_ConnectionSettings *settings = m_run->main->showForm<Frm_ConnectionSettings>();
    QCOMPARE(settingsShown(settings), params);
    QCOMPARE(field(settings, "txt_Password")->echoMode(), QLineEdit::Password);
    field(settings, "txt_Port")->clear();
    QTest::keyClicks(field(settings, "txt_Port"), "9999");
    field(settings, "txt_Port")->setFocus();
    QTest::keyClick(field(settings, "txt_Port"), Qt::Key_Escape); // Esc answers Cancel
    QVERIFY(!m_run->main->findForm<Frm_ConnectionSettings>());
    QCOMPARE(M::ConnString, string);
    QCOMPARE(db::readParamFile(db::ParamFileName).values, params);
    QCOMPARE(settingsShown(m_run->main->showForm<Frm_ConnectionSettings>()), params);
}

void TestDialogs::settingsDefaultThenOK()
{
    QVERIFY(QFile::copy(KESTREL_SOURCE_DIR "/DefConnParam.ini", db::DefaultParamFileName));
    const QStringList defaults = db::readParamFile(db::DefaultParamFileName).values;
    Frm_ConnectionSettings *settings = m_run->main->showForm<Frm_ConnectionSettings>();
    click(settings, "cmd_Default");
    QCOMPARE(settingsShown(settings), defaults);
    QCOMPARE(M::ConnString, test::testConnectionString()); // nothing applied before OK
    QCOMPARE(db::readParamFile(db::ParamFileName).values, test::testParams());
    click(settings, "cmd_OK");
    QVERIFY(!m_run->main->findForm<Frm_ConnectionSettings>());
    QCOMPARE(db::readParamFile(db::ParamFileName).values, defaults);
    QCOMPARE(M::ConnString, M::BuildConnectionString(defaults));
}

void TestDialogs::settingsClearedFieldsAndMissingDefaults()
{
    Frm_ConnectionSettings *settings = m_run->main->showForm<Frm_ConnectionSettings>();
    click(settings, "cmd_Default"); // no DefConnParam.ini here
    QCOMPARE(m_run->messages->messages.size(), size_t(1));
    QVERIFY(m_run->messages->messages[0].text.contains(db::DefaultParamFileName));
    QCOMPARE(settingsShown(settings), test::testParams());

    for (QLineEdit *box : settings->findChildren<QLineEdit *>())
        box->clear();
    click(settings, "cmd_OK");
    QCOMPARE(M::ConnString,
             QStringLiteral("DSN=;DESC=;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;"));
    QCOMPARE(db::readParamFile(db::ParamFileName).values, QStringList(8, QString()));
}

void TestDialogs::settingsThatCannotBeSavedChangeNothing()
{
    const QString string = M::ConnString;
    QVERIFY(QFile::remove(db::ParamFileName));
    QVERIFY(QDir().mkdir(db::ParamFileName)); // a folder where the file would go
    Frm_ConnectionSettings *settings = m_run->main->showForm<Frm_ConnectionSettings>();
    field(settings, "txt_Port")->setText(QStringLiteral("9999"));
    click(settings, "cmd_OK");
    QVERIFY(m_run->messages->texts().value(0).contains(db::ParamFileName));
    QCOMPARE(M::ConnString, string);
    QVERIFY(m_run->main->findForm<Frm_ConnectionSettings>()); // still there to try again
}

void TestDialogs::settingsKeepASingleByteFileSingleByte()
{
    // A file written by an older tool, in Windows-1252: "café" in one byte each.
    QStringList params = test::testParams();
    QByteArray latin1;
    params[1] = QStringLiteral("caf\u00e9");
    for (const QString &value : params)
        latin1 += value.toLatin1() + "\r\n";
    QFile file(db::ParamFileName);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(latin1) == latin1.size());
    file.close();
    Frm_ConnectionSettings *settings = m_run->main->showForm<Frm_ConnectionSettings>();
    QCOMPARE(field(settings, "txt_Desc")->text(), QStringLiteral("caf\u00e9"));
    click(settings, "cmd_OK");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), latin1);
    QCOMPARE(M::ConnString, M::BuildConnectionString(params));
}

void TestDialogs::settingsNeverCutALine()
{
    // A description of a million characters: passed on, it would push the
    // account out of what the driver reads.
    QStringList params = test::testParams();
    params[1] = QString(1000000, QLatin1Char('d'));
    QVERIFY(db::writeParamFile(db::ParamFileName, params));
    QFile file(db::ParamFileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // Named when the settings open; OK refuses rather than store the line cut.
    Frm_ConnectionSettings *settings = m_run->main->showForm<Frm_ConnectionSettings>();
    QCOMPARE(m_run->messages->messages.size(), size_t(1));
    test::type(field(settings, "txt_Port"), "1");
    click(settings, "cmd_OK");
    QCOMPARE(m_run->messages->messages.size(), size_t(2));
    QVERIFY(m_run->messages->texts().at(1).startsWith(QLatin1String("Line 2 (Description)")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    file.close();
    QVERIFY(m_run->main->findForm<Frm_ConnectionSettings>());
}

void TestDialogs::testConnection()
{
    QWidget *window = m_run->main->showForm<Frm_TestConnection>();
    QCOMPARE(field(window, "txt_DB")->text(), qEnvironmentVariable("KESTREL_TEST_DB"));
    QVERIFY(field(window, "txt_Version")->text().contains(QStringLiteral("MariaDB")));
    QVERIFY(m_run->messages->messages.empty());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
