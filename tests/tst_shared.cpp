// The shared module without a database: the connection string, the parameter
// files and the numeric key filter.

#include "NumericKeyFilter.h"
#include "ParamFile.h"
#include "TestSupport.h"

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
    void numericBoxHoldsDigitsOnly();
};

void TestShared::connectionString_data()
{
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty lines") << QStringList{"d", "x", "shop", "srv", "u", "", "3306", ""}
        << "DSN=d;DESC=x;DATABASE=shop;SERVER=srv;UID=u;PASSWORD=;PORT=3306;OPTION=3;STMT=;";
    QTest::newRow("missing values") << QStringList{"d"}
        << "DSN=d;DESC=;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;";
    QTest::newRow("blanks kept") << QStringList{" d ", "my shop", "", "", "", " p ", "", "SET @a = 1"}
        << "DSN= d ;DESC=my shop;DATABASE=;SERVER=;UID=;PASSWORD= p ;PORT=;OPTION=3;STMT=SET @a = 1;";
    QTest::newRow("braces where needed") << QStringList{"d", "", "", "", "", "a;b", "", "SET @a='{x}'"}
        << "DSN=d;DESC=;DATABASE=;SERVER=;UID=;PASSWORD={a;b};PORT=;OPTION=3;STMT={SET @a='{x}}'};";
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
    QTest::newRow("LF, no last line end") << QByteArray("d\nx\nshop\nsrv\nu\n\n3306\n") << eight;
    QTest::newRow("ninth line ignored") << QByteArray("d\nx\nshop\nsrv\nu\n\n3306\nS\nextra\n")
                                        << QStringList{"d", "x", "shop", "srv", "u", "", "3306", "S"};
    QTest::newRow("short, blanks and UTF-8 kept")
        << QByteArray("  d \r\nÁrvíztűrő\r\n") << QStringList{"  d ", "Árvíztűrő", "", "", "", "", "", ""};
}

void TestShared::paramFileReading()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);
    test::ScratchDir dir;
    QFile file(dir.file("p.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
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

    const QString path = dir.file("ConnParam.ini");
    QVERIFY(db::writeParamFile(path, {"d", "x", "shop", "srv", "u", "s3cret", "3306", ""}));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("d\r\nx\r\nshop\r\nsrv\r\nu\r\ns3cret\r\n3306\r\n\r\n"));
    // It holds a password: its owner alone may read it, after a rewrite too.
    QVERIFY(db::writeParamFile(path, {"only"}));
    QCOMPARE(QFile(path).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                           | QFile::WriteUser),
             QFileDevice::Permissions());
    QCOMPARE(db::readParamFile(path).values, (QStringList{"only", "", "", "", "", "", "", ""}));

    QString error;
    QVERIFY(!db::writeParamFile(dir.file("no/such/dir/ConnParam.ini"), {"d"}, &error));
    QVERIFY(!error.isEmpty());
}

void TestShared::filterNumericKey_data()
{
    QTest::addColumn<bool>("allowComma");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("beeps");
    for (const bool comma : {false, true}) {
        const char *with = comma ? ", comma allowed" : "";
        QTest::addRow("digits%s", with) << comma << int('7') << int('7') << false;
        QTest::addRow("backspace%s", with) << comma << 8 << 8 << false;
        QTest::addRow("enter silent%s", with) << comma << 13 << 0 << false;
        for (const int refused : {int('.'), int('a'), int(' '), int('-'), 3, 22, 0x0663})
            QTest::addRow("refuses %d%s", refused, with) << comma << refused << 0 << true;
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
    QCOMPARE(M::FilterNumericKey(allowComma, key), result);
    QCOMPARE(key, result);
    QCOMPARE(recorder.beeps, beeps ? 1 : 0);
}

void TestShared::numericBoxHoldsDigitsOnly()
{
    test::MessageRecorder recorder;
    QLineEdit price;
    NumericKeyFilter::install(&price, true);
    price.show();
    QVERIFY(QTest::qWaitForWindowExposed(&price));

    QTest::keyClicks(&price, "12a,5.x");
    QCOMPARE(price.text(), QStringLiteral("12,5"));
    QCOMPARE(recorder.beeps, 3);
    // Keys that belong to the form pass silently and type nothing.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape})
        QTest::keyClick(&price, key);
    QCOMPARE(price.text(), QStringLiteral("12,5"));
    QCOMPARE(recorder.beeps, 3);

    // Pasting letters is refused with a beep, by menu or by Ctrl+V alike.
    QApplication::clipboard()->setText(QStringLiteral("7x"));
    price.paste();
    QTest::keyClick(&price, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(price.text(), QStringLiteral("12,5"));
    QCOMPARE(recorder.beeps, 5);
    QApplication::clipboard()->setText(QStringLiteral("75"));
    price.paste();
    QCOMPARE(price.text(), QStringLiteral("12,575"));
}

QTEST_MAIN(TestShared)
#include "tst_shared.moc"
