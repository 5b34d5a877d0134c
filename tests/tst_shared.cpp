// The shared module without a database: the connection string, the parameter
// files and the numeric key filter.

#include "NumericKeyFilter.h"
#include "ParamFile.h"
#include "TestSupport.h"
#include "mdl_Variables_Functions.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

class TestShared : public QObject {
    Q_OBJECT

private slots:
    void connectionString_data();
    void connectionString();
    void paramFileReading_data();
    void paramFileReading();
    void paramFileWriting();
    void filterNumericKey_data();
    void filterNumericKey();
    void numericBoxRefusesLettersTypedOrPasted();
};

void TestShared::connectionString_data()
{
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty password and statement")
        << QStringList{"d", "x", "shop", "srv", "u", "", "3306", ""}
        << "DSN=d;DESC=x;DATABASE=shop;SERVER=srv;UID=u;PASSWORD=;PORT=3306;OPTION=3;STMT=;";
    QTest::newRow("all empty")
        << QStringList{"", "", "", "", "", "", "", ""}
        << "DSN=;DESC=;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;";
    QTest::newRow("fewer than eight values read as empty")
        << QStringList{"d", "x"}
        << "DSN=d;DESC=x;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;";
    QTest::newRow("blanks kept")
        << QStringList{" d ", "my shop", "shop", "srv", "u", " p ", "3306", "SET @a = 1"}
        << "DSN= d ;DESC=my shop;DATABASE=shop;SERVER=srv;UID=u;PASSWORD= p ;PORT=3306;OPTION=3;"
           "STMT=SET @a = 1;";
    QTest::newRow("semicolon and braces braced")
        << QStringList{"d", "x", "shop", "srv", "u", "a;b", "3306", "SET @a='{x}'; SET @b=2"}
        << "DSN=d;DESC=x;DATABASE=shop;SERVER=srv;UID=u;PASSWORD={a;b};PORT=3306;OPTION=3;"
           "STMT={SET @a='{x}}'; SET @b=2};";
}

void TestShared::connectionString()
{
    QFETCH(QStringList, params);
    QFETCH(QString, expected);
    QCOMPARE(M::BuildConnectionString(params), expected);
}

void TestShared::paramFileReading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    const QStringList eight{"d", "x", "shop", "srv", "u", "", "3306", ""};
    QTest::newRow("CRLF") << QByteArray("d\r\nx\r\nshop\r\nsrv\r\nu\r\n\r\n3306\r\n\r\n") << eight;
    QTest::newRow("LF") << QByteArray("d\nx\nshop\nsrv\nu\n\n3306\n\n") << eight;
    QTest::newRow("no final line end") << QByteArray("d\nx\nshop\nsrv\nu\n\n3306\n") << eight;
    QTest::newRow("ninth line ignored")
        << QByteArray("d\nx\nshop\nsrv\nu\n\n3306\nSET @a=1\nextra\n")
        << QStringList{"d", "x", "shop", "srv", "u", "", "3306", "SET @a=1"};
    QTest::newRow("short file") << QByteArray("d\r\nx\r\n")
                                << QStringList{"d", "x", "", "", "", "", "", ""};
    QTest::newRow("blanks and UTF-8 kept") << QByteArray("  d \nÁrvíztűrő\n")
                                           << QStringList{"  d ", "Árvíztűrő", "", "", "", "", "", ""};
}

void TestShared::paramFileReading()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    test::ScratchDir dir;
    QFile file(dir.file("p.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const db::ParamFile read = db::readParamFile(dir.file("p.ini"));
    QVERIFY(read.found);
    QCOMPARE(read.values, expected);
}

void TestShared::paramFileWriting()
{
    test::ScratchDir dir;
    const db::ParamFile missing = db::readParamFile(dir.file("none.ini"));
    QVERIFY(!missing.found);
    QCOMPARE(missing.values, QStringList(8, QString()));

    const QStringList values{"d", "x", "shop", "srv", "u", "s3cret", "3306", ""};
    QVERIFY(db::writeParamFile(dir.file("ConnParam.ini"), values));
    QFile file(dir.file("ConnParam.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("d\r\nx\r\nshop\r\nsrv\r\nu\r\ns3cret\r\n3306\r\n\r\n"));
    QCOMPARE(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther
                                   | QFileDevice::WriteGroup | QFileDevice::WriteOther),
             QFileDevice::Permissions());

    // Rewriting replaces the whole file and keeps it private.
    QVERIFY(db::writeParamFile(dir.file("ConnParam.ini"), QStringList{"only"}));
    QCOMPARE(db::readParamFile(dir.file("ConnParam.ini")).values,
             (QStringList{"only", "", "", "", "", "", "", ""}));
    QVERIFY(!(QFile(dir.file("ConnParam.ini")).permissions() & QFileDevice::ReadOther));

    QString error;
    QVERIFY(!db::writeParamFile(dir.file("no/such/dir/ConnParam.ini"), values, &error));
    QVERIFY(!error.isEmpty());
}

void TestShared::filterNumericKey_data()
{
    QTest::addColumn<bool>("allowComma");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("beeps");

    for (const bool comma : {false, true}) {
        const char *suffix = comma ? " (comma allowed)" : "";
        QTest::addRow("digit 0%s", suffix) << comma << int('0') << int('0') << false;
        QTest::addRow("digit 9%s", suffix) << comma << int('9') << int('9') << false;
        QTest::addRow("backspace%s", suffix) << comma << 8 << 8 << false;
        QTest::addRow("enter silent%s", suffix) << comma << 13 << 0 << false;
        QTest::addRow("period%s", suffix) << comma << int('.') << 0 << true;
        QTest::addRow("letter%s", suffix) << comma << int('a') << 0 << true;
        QTest::addRow("blank%s", suffix) << comma << int(' ') << 0 << true;
        QTest::addRow("minus%s", suffix) << comma << int('-') << 0 << true;
        QTest::addRow("ctrl-c%s", suffix) << comma << 3 << 0 << true;
        QTest::addRow("ctrl-v%s", suffix) << comma << 22 << 0 << true;
        QTest::addRow("non-ASCII digit%s", suffix) << comma << 0x0663 << 0 << true;
    }
    QTest::newRow("comma refused") << false << int(',') << 0 << true;
    QTest::newRow("comma allowed") << true << int(',') << int(',') << false;
}

void TestShared::filterNumericKey()
{
    QFETCH(bool, allowComma);
    QFETCH(int, key);
    QFETCH(int, result);
    QFETCH(bool, beeps);
    test::MessageRecorder recorder;
    int keyAscii = key;
    QCOMPARE(M::FilterNumericKey(allowComma, keyAscii), result);
    QCOMPARE(keyAscii, result);
    QCOMPARE(recorder.beeps, beeps ? 1 : 0);
    QVERIFY(recorder.messages.empty());
}

void TestShared::numericBoxRefusesLettersTypedOrPasted()
{
    test::MessageRecorder recorder;
    QLineEdit price;
    NumericKeyFilter::install(&price, true);
    price.show();
    QVERIFY(QTest::qWaitForWindowExposed(&price));

    QTest::keyClicks(&price, "12a,5.x");
    QCOMPARE(price.text(), QStringLiteral("12,5"));
    QCOMPARE(recorder.beeps, 3);

    QTest::keyClick(&price, Qt::Key_Backspace);
    QTest::keyClick(&price, Qt::Key_Return);
    QCOMPARE(price.text(), QStringLiteral("12,"));
    QCOMPARE(recorder.beeps, 3);

    // Tab and Esc belong to the form around the box: no beep, nothing typed.
    QTest::keyClick(&price, Qt::Key_Tab);
    QTest::keyClick(&price, Qt::Key_Escape);
    QCOMPARE(price.text(), QStringLiteral("12,"));
    QCOMPARE(recorder.beeps, 3);

    recorder.clear();
    QApplication::clipboard()->setText(QStringLiteral("7x"));
    price.paste();
    QCOMPARE(price.text(), QStringLiteral("12,"));
    QCOMPARE(recorder.beeps, 1);

    QApplication::clipboard()->setText(QStringLiteral("75"));
    price.paste();
    QCOMPARE(price.text(), QStringLiteral("12,75"));

    // Ctrl+V is a control code to the filter: refused with a beep, nothing pasted.
    recorder.clear();
    QTest::keyClick(&price, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(price.text(), QStringLiteral("12,75"));
    QCOMPARE(recorder.beeps, 1);

    QLineEdit code;
    NumericKeyFilter::install(&code, false);
    QApplication::clipboard()->setText(QStringLiteral("1,5"));
    code.paste();
    QCOMPARE(code.text(), QString());
}

QTEST_MAIN(TestShared)
#include "tst_shared.moc"
