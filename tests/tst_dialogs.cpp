// The database dialogs: Format DB, the connection settings and the
// connection test, driven through the main window against the test server.

#include "ConnectionCycle.h"
#include "Frm_ConnectionSettings.h"
#include "Frm_FormatDB.h"
#include "Frm_TestConnection.h"
#include "MDIfrm_main.h"
#include "ParamFile.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

QStringList columnsOf(const QString &table)
{
    QStringList names;
    for (const db::Row &row : test::query(QStringLiteral("SHOW COLUMNS FROM `%1`").arg(table)).rows)
        names.append(row.front().value_or(QString()));
    return names;
}

void click(QWidget *form, const char *button)
{
    auto *b = form->findChild<QPushButton *>(QLatin1String(button));
    QVERIFY2(b, button);
    QTest::mouseClick(b, Qt::LeftButton);
}

QLineEdit *field(QWidget *form, const char *name)
{
    return form->findChild<QLineEdit *>(QLatin1String(name));
}

const char *const settingsFields[] = {"txt_DSN",  "txt_Desc",     "txt_DBName", "txt_HSName",
                                      "txt_User", "txt_Password", "txt_Port",   "txt_SQLComm"};

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void formatEmptyDatabase();
    void formatStopsAtExistingTable();
    void formatCancelTouchesNothing();

    void settingsShowFileAndCancelStoresNothing();
    void settingsDefaultThenOK();
    void settingsClearedFields();
    void settingsMissingDefaults();

    void testConnectionFillsFourBoxes();
    void testConnectionWrongPassword();

private:
    std::unique_ptr<test::ScratchDir> m_dir;
    std::unique_ptr<MDIfrm_main> m_main;
    std::unique_ptr<test::MessageRecorder> m_messages;
};

void TestDialogs::init()
{
    m_dir = std::make_unique<test::ScratchDir>();
    QVERIFY(db::writeParamFile(db::ParamFileName, test::testParams()));
    m_messages = std::make_unique<test::MessageRecorder>();
    m_main = std::make_unique<MDIfrm_main>();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    QCOMPARE(M::ConnString, test::testConnectionString());
    M::SetConnStat(M::StatIdle);
    test::dropAllTables();
}

void TestDialogs::cleanup()
{
    m_main.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestDialogs::formatEmptyDatabase()
{
    Frm_FormatDB *format = m_main->showForm<Frm_FormatDB>();
    QVERIFY(m_main->findForm<Frm_ConnectionSettings>()); // opened beside it
    auto *label = format->findChild<QLabel *>("lbl_Process");
    auto *bar = format->findChild<QProgressBar *>("pgb_Process");
    QCOMPARE(label->text(), QString());
    QCOMPARE(bar->value(), 0);

    click(format, "cmd_Create");
    QCOMPARE(test::tableNames(), (QStringList{"cities", "customers", "products", "turnover"}));
    QCOMPARE(columnsOf("cities"),
             (QStringList{"ID", "Acronym", "FullName", "PostalCode", "Country", "CountryCode"}));
    QCOMPARE(columnsOf("customers"),
             (QStringList{"ID", "FirstName", "SurName", "Address", "City", "Telephone", "Email",
                          "PersonalIDNo", "Joined", "ShippingAddress"}));
    QCOMPARE(columnsOf("products"), (QStringList{"ID", "Description", "UM", "Quantity", "Price",
                                                 "BarCode", "LastDelivery"}));
    QCOMPARE(columnsOf("turnover"), (QStringList{"ID", "ProductID", "Quantity", "Price",
                                                 "PricewTax", "Date", "CustomerID"}));
    QCOMPARE(label->text(), QStringLiteral("DataBase formatting finished."));
    QCOMPARE(bar->value(), 100);
    QCOMPARE(M::ConnStat(), M::StatIdle);
    QVERIFY(m_messages->messages.empty());

    // A second Create fails at once on the first table and closes the dialog.
    QPointer<Frm_FormatDB> alive(format);
    click(format, "cmd_Create");
    QCOMPARE(m_messages->texts(), QStringList{db::ConnectionErrorText});
    QVERIFY(!m_main->findForm<Frm_FormatDB>());
}

void TestDialogs::formatStopsAtExistingTable()
{
    test::exec(QStringLiteral("CREATE TABLE products (ID INT)"));
    Frm_FormatDB *format = m_main->showForm<Frm_FormatDB>();
    click(format, "cmd_Create");
    QCOMPARE(test::tableNames(), (QStringList{"cities", "customers", "products"}));
    QCOMPARE(m_messages->texts(), QStringList{db::ConnectionErrorText});
    QCOMPARE(m_messages->messages[0].title, db::ConnectionErrorTitle);
    QCOMPARE(M::ConnStat(), M::StatError);
    QVERIFY(!m_main->findForm<Frm_FormatDB>());
    QVERIFY(m_main->findForm<Frm_ConnectionSettings>()); // stays open
}

void TestDialogs::formatCancelTouchesNothing()
{
    test::exec(QStringLiteral("CREATE TABLE marker (ID INT)"));
    Frm_FormatDB *format = m_main->showForm<Frm_FormatDB>();
    click(format, "cmd_Cancel");
    QVERIFY(!m_main->findForm<Frm_FormatDB>());
    QVERIFY(m_main->findForm<Frm_ConnectionSettings>());
    QCOMPARE(test::tableNames(), QStringList{"marker"});
    QCOMPARE(M::ConnStat(), M::StatIdle);
}

void TestDialogs::settingsShowFileAndCancelStoresNothing()
{
    const QString before = M::ConnString;
    Frm_ConnectionSettings *settings = m_main->showForm<Frm_ConnectionSettings>();
    const QStringList params = test::testParams();
    for (int i = 0; i < db::ParamCount; ++i)
        QCOMPARE(field(settings, settingsFields[i])->text(), params[i]);
    QCOMPARE(field(settings, "txt_Password")->echoMode(), QLineEdit::Password);

    field(settings, "txt_Port")->clear();
    QTest::keyClicks(field(settings, "txt_Port"), "9999");
    // A second opening brings the same window with the edit still there.
    QCOMPARE(m_main->showForm<Frm_ConnectionSettings>(), settings);
    QCOMPARE(field(settings, "txt_Port")->text(), QStringLiteral("9999"));

    field(settings, "txt_Port")->setFocus();
    QTest::keyClick(field(settings, "txt_Port"), Qt::Key_Escape); // Esc answers Cancel
    QVERIFY(!m_main->findForm<Frm_ConnectionSettings>());
    QCOMPARE(M::ConnString, before);
    QCOMPARE(db::readParamFile(db::ParamFileName).values, params);

    // Default, then Cancel: still nothing stored; a new opening shows the file.
    QFile::copy(QStringLiteral(KESTREL_SOURCE_DIR "/DefConnParam.ini"), db::DefaultParamFileName);
    settings = m_main->showForm<Frm_ConnectionSettings>();
    click(settings, "cmd_Default");
    click(settings, "cmd_Cancel");
    QCOMPARE(db::readParamFile(db::ParamFileName).values, params);
    settings = m_main->showForm<Frm_ConnectionSettings>();
    QCOMPARE(field(settings, "txt_Port")->text(), params[6]);
}

void TestDialogs::settingsDefaultThenOK()
{
    QFile::copy(QStringLiteral(KESTREL_SOURCE_DIR "/DefConnParam.ini"), db::DefaultParamFileName);
    const db::ParamFile defaults = db::readParamFile(db::DefaultParamFileName);
    QVERIFY(defaults.found);

    Frm_ConnectionSettings *settings = m_main->showForm<Frm_ConnectionSettings>();
    click(settings, "cmd_Default");
    for (int i = 0; i < db::ParamCount; ++i)
        QCOMPARE(field(settings, settingsFields[i])->text(), defaults.values[i]);
    QCOMPARE(M::ConnString, test::testConnectionString()); // nothing applied before OK

    click(settings, "cmd_OK");
    QVERIFY(!m_main->findForm<Frm_ConnectionSettings>());
    QCOMPARE(db::readParamFile(db::ParamFileName).values, defaults.values);
    QCOMPARE(M::ConnString, M::BuildConnectionString(defaults.values));
    QFile written(db::ParamFileName);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().count("\r\n"), 8);
}

void TestDialogs::settingsClearedFields()
{
    Frm_ConnectionSettings *settings = m_main->showForm<Frm_ConnectionSettings>();
    for (const char *name : settingsFields)
        field(settings, name)->clear();
    click(settings, "cmd_OK");
    QCOMPARE(M::ConnString,
             QStringLiteral("DSN=;DESC=;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;"));
    QFile written(db::ParamFileName);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
}

void TestDialogs::settingsMissingDefaults()
{
    Frm_ConnectionSettings *settings = m_main->showForm<Frm_ConnectionSettings>();
    click(settings, "cmd_Default");
    QCOMPARE(m_messages->messages.size(), size_t(1));
    QVERIFY(m_messages->messages[0].text.contains(db::DefaultParamFileName));
    QCOMPARE(field(settings, "txt_DSN")->text(), test::testParams()[0]);
}

void TestDialogs::testConnectionFillsFourBoxes()
{
    Frm_TestConnection *window = m_main->showForm<Frm_TestConnection>();
    bool isNumber = false;
    field(window, "txt_ConnID")->text().toLongLong(&isNumber);
    QVERIFY(isNumber);
    QCOMPARE(field(window, "txt_User")->text(), qEnvironmentVariable("KESTREL_TEST_USER") + "@127.0.0.1");
    QCOMPARE(field(window, "txt_DB")->text(), qEnvironmentVariable("KESTREL_TEST_DB"));
    QVERIFY(field(window, "txt_Version")->text().contains(QStringLiteral("MariaDB")));
    QCOMPARE(M::ConnStat(), M::StatIdle);
    QVERIFY(m_messages->messages.empty());
}

void TestDialogs::testConnectionWrongPassword()
{
    QStringList params = test::testParams();
    params[5] = QStringLiteral("wrong");
    M::ConnString = M::BuildConnectionString(params);
    Frm_TestConnection *window = m_main->showForm<Frm_TestConnection>();
    QCOMPARE(m_messages->texts(), QStringList{db::ConnectionErrorText});
    QCOMPARE(M::ConnStat(), M::StatError);
    for (const char *name : {"txt_ConnID", "txt_User", "txt_DB", "txt_Version"})
        QCOMPARE(field(window, name)->text(), QString());
    QVERIFY(m_main->findForm<Frm_TestConnection>()); // stays open
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
