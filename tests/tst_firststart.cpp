// What a new operator meets: the first start's connection settings, the
// manual on F1, and a failure message that says what to do.

#include "database/Frm_ConnectionSettings.h"
#include "database/Frm_TestConnection.h"
#include "entry/Frm_AddCity.h"
#include "shell/Frm_Help.h"
#include "support/TestSupport.h"
#include "widgets/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QSettings>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

class TestFirstStart : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStartAsksWhereTheDatabaseIs();
    void f1OpensTheManualAtTheActiveWindow();
    void failureBoxShowsHintAndDetails();

private:
    std::unique_ptr<test::RunningMainWindow> m_run;
};

void TestFirstStart::init()
{
    // Settings under the XDG_CONFIG_HOME ctest gives, never the operator's own.
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY2(!config.isEmpty(), "XDG_CONFIG_HOME is not set: run the tests through ctest");
    QCoreApplication::setOrganizationName(QStringLiteral("kestrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrel"));
    QCOMPARE(QSettings().fileName(), config + "/kestrel/Kestrel.conf");
    QSettings().clear();
    m_run = std::make_unique<test::RunningMainWindow>();
    QVERIFY(m_run->show());
}

void TestFirstStart::cleanup()
{
    m_run.reset();
}

void TestFirstStart::firstStartAsksWhereTheDatabaseIs()
{
    m_run->main->askForConnectionSettings();
    auto *settings = m_run->main->findForm<Frm_ConnectionSettings>();
    QVERIFY(settings);
    auto *note = test::control<QLabel>(settings, "lbl_FirstStart");
    QVERIFY(note->isVisible());
    QVERIFY(note->text().contains(QLatin1String("Format DB Structure")));
    // The server's box has the keys (tests/package/first_start.sh types on).
    QCOMPARE(QApplication::focusWidget(), test::control<QLineEdit>(settings, "txt_HSName"));
}

void TestFirstStart::f1OpensTheManualAtTheActiveWindow()
{
    // From the city form, at the city form's section; Esc closes it.
    QTest::keyClick(m_run->main.get(), Qt::Key_F4);
    QVERIFY(m_run->main->findForm<Frm_AddCity>());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    auto *help = m_run->main->findForm<Frm_Help>();
    QVERIFY(help);
    auto *manual = test::control<QTextBrowser>(help, "txt_Manual");
    QVERIFY(manual->verticalScrollBar()->value() > 0);
    const QTextCursor atTop = manual->cursorForPosition(QPoint(4, 4));
    QVERIFY2(atTop.block().text().startsWith(QLatin1String("Add City")),
             qPrintable(atTop.block().text()));
    test::type(manual, "\x1b");
    test::settle();
    QVERIFY(!m_run->main->findForm<Frm_Help>());
}

void TestFirstStart::failureBoxShowsHintAndDetails()
{
    // The message boxes operators see, not the recorder.
    m_run->messages.reset();
    installMessageBoxes();
    QStringList params = test::testParams();
    params[5] = QStringLiteral("wrong");
    M::ConnString = M::BuildConnectionString(params);
    QString hint, details, text;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            text = box->text();
            hint = box->informativeText();
            details = box->detailedText();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    answer.start(50);
    QTest::keyClick(m_run->main.get(), Qt::Key_A, Qt::ControlModifier); // Test Connection
    answer.stop();
    M::SetMessageService({});
    QCOMPARE(text, QStringLiteral("Error occured, connection will be terminated!!!"));
    QVERIFY2(hint.startsWith("The server refused the user \"" + params[4] + '"'), qPrintable(hint));
    QVERIFY2(details.startsWith(QLatin1String("SQLSTATE 28000, error 1045: ")),
             qPrintable(details));
    QVERIFY(!details.contains(QLatin1String("wrong"))); // never the password
}

QTEST_MAIN(TestFirstStart)
#include "tst_firststart.moc"
