// The core without a database: the connection string and its start-up
// statement, the parameter files, the numeric key filter and the
// result-window contract as a request writes it.

#include "core/database/ConnectionString.h"
#include "core/database/ParamFile.h"
#include "core/shared/CsvWriter.h"
#include "core/shared/ResultRequest.h"
#include "core/shared/TextLimits.h"
#include "support/CoreSupport.h"

#include <QFile>
#include <QTest>
#include <unistd.h>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

class TestCore : public QObject {
    Q_OBJECT

private slots:
    void connectionString_data();
    void connectionString();
    void startupStatementSplit_data();
    void startupStatementSplit();
    void startupStatementsRunInTurn_data();
    void startupStatementsRunInTurn();
    void paramFileReading_data();
    void paramFileReading();
    void overLongLinesAreNamed_data();
    void overLongLinesAreNamed();
    void paramFileWriting();
    void paramFileKeepsItsEncoding_data();
    void paramFileKeepsItsEncoding();
    void limitsCutWholeCharacters_data();
    void limitsCutWholeCharacters();
    void requestWritesTheContract();
    void csvFieldsNeverRunAsFormulas_data();
    void csvFieldsNeverRunAsFormulas();
};

void TestCore::connectionString_data()
{
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty lines")
        << QStringList{"d", "x", "shop", "srv", "u", "", "3306", ""}
        << "DSN=d;DESC=x;DATABASE=shop;SERVER=srv;UID=u;PASSWORD=;PORT=3306;OPTION=3;STMT=;";
    QTest::newRow("missing values")
        << QStringList{"d"} << "DSN=d;DESC=;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;";
    QTest::newRow("blanks kept") << QStringList{" d ", "my shop", "", "",
                                                "",    " p ",     "", "SET @a = 1"}
                                 << "DSN= d ;DESC=my shop;DATABASE=;SERVER=;UID=;PASSWORD= p "
                                    ";PORT=;OPTION=3;STMT=SET @a = 1;";
    QTest::newRow("braces where needed")
        << QStringList{"d", "", "", "", "", "a;b", "", "SET @a='{x}'"}
        << "DSN=d;DESC=;DATABASE=;SERVER=;UID=;PASSWORD={a;b};PORT=;OPTION=3;STMT={SET @a='{x}}'};";
}

void TestCore::connectionString()
{
    QFETCH(QStringList, params);
    QFETCH(QString, expected);
    QCOMPARE(M::BuildConnectionString(params), expected);
}

void TestCore::startupStatementSplit_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("statement");
    const char *rows[][4] = {
        {"plain", "DSN=d;PORT=1;OPTION=3;STMT=SET @a=1;", "DSN=d;PORT=1;OPTION=3;", "SET @a=1"},
        {"empty", "DSN=d;OPTION=3;STMT=;", "DSN=d;OPTION=3;", ""},
        {"none", "DSN=d;OPTION=3;", "DSN=d;OPTION=3;", ""},
        {"braced, with ; and a doubled brace", "DSN=d;OPTION=3;STMT={SET @a='x;}}y'};",
         "DSN=d;OPTION=3;", "SET @a='x;}y'"},
        // A value that only looks like a pair is part of its own pair.
        {";STMT= inside a braced description",
         "DSN=d;DESC={shop;STMT=DROP TABLE cities};PASSWORD={a}}b};OPTION=3;STMT=SET @a=1;",
         "DSN=d;DESC={shop;STMT=DROP TABLE cities};PASSWORD={a}}b};OPTION=3;", "SET @a=1"},
        {"key in any case, blanks around it, the first one counts",
         "DSN=d; stmt =SET @a=1;STMT=SET @b=2;OPTION=3", "DSN=d;OPTION=3;", "SET @a=1"}};
    for (const auto &[name, connection, driver, statement] : rows)
        QTest::newRow(name) << QString(connection) << QString(driver) << QString(statement);
}

void TestCore::startupStatementSplit()
{
    QFETCH(QString, connection);
    QFETCH(QString, driver);
    QFETCH(QString, statement);
    const db::SplitConnectionString split = db::splitStartupStatement(connection);
    QCOMPARE(split.driverString, driver);
    QCOMPARE(split.startupStatement, statement);
    // What the string is built from comes back out of it.
    if (!statement.isEmpty()) {
        QStringList params(8);
        params[7] = statement;
        QCOMPARE(db::splitStartupStatement(M::BuildConnectionString(params)).startupStatement,
                 statement);
    }
}

void TestCore::startupStatementsRunInTurn_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("one") << "SET @a=1" << QStringList{"SET @a=1"};
    QTest::newRow("two, blanks and empty ones dropped")
        << " SET @a=1; ;SET @b=2 ;" << QStringList{"SET @a=1", "SET @b=2"};
    QTest::newRow("; inside quotes, backticks and comments")
        << "SET @a='x;y', @b=\"p;q\"; SELECT 1 AS `c;d` /* e;f */; -- g;h\nSET @c='it''s;', "
           "@d='\\';'; # i;j"
        << QStringList{"SET @a='x;y', @b=\"p;q\"", "SELECT 1 AS `c;d` /* e;f */",
                       "-- g;h\nSET @c='it''s;', @d='\\';'"};
    QTest::newRow("none") << "  " << QStringList();
}

void TestCore::startupStatementsRunInTurn()
{
    QFETCH(QString, value);
    QFETCH(QStringList, statements);
    QCOMPARE(db::startupStatements(value), statements);
}

void TestCore::paramFileReading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");
    const QStringList eight{"d", "x", "shop", "srv", "u", "", "3306", ""};
    QTest::newRow("CRLF") << QByteArray("d\r\nx\r\nshop\r\nsrv\r\nu\r\n\r\n3306\r\n\r\n") << eight;
    QTest::newRow("LF, no last line end") << QByteArray("d\nx\nshop\nsrv\nu\n\n3306\n") << eight;
    QTest::newRow("ninth line ignored")
        << QByteArray("d\nx\nshop\nsrv\nu\n\n3306\nS\nextra\n")
        << QStringList{"d", "x", "shop", "srv", "u", "", "3306", "S"};
    QTest::newRow("short, blanks and UTF-8 kept")
        << QByteArray("  d \r\nÁrvíztűrő\r\n")
        << QStringList{"  d ", "Árvíztűrő", "", "", "", "", "", ""};
    QTest::newRow("UTF-8 with a byte order mark")
        << QByteArray("\xEF\xBB\xBF"
                      "d\r\ncaf\xC3\xA9\r\n")
        << QStringList{"d", "café", "", "", "", "", "", ""};
    QTest::newRow("single-byte, read as Windows-1252")
        << QByteArray("caf\xE9\r\n\x95 \x80 5\r\n")
        << QStringList{"café", "\u2022 \u20AC 5", "", "", "", "", "", ""};
    // Each line its own value, whatever the editor ended them with: a file
    // of CR-ended lines read as one line would show the password in the
    // data source box.
    QTest::newRow("CR alone") << QByteArray("d\rx\rshop\rsrv\ru\rpw\r3306\r\r")
                              << QStringList{"d", "x", "shop", "srv", "u", "pw", "3306", ""};
    QTest::newRow("CR, LF and CR LF mixed")
        << QByteArray("d\rx\nshop\r\nsrv\r\ru\n\r\n3306")
        << QStringList{"d", "x", "shop", "srv", "", "u", "", "3306"};
    const QString huge(1000000, QLatin1Char('x'));
    QTest::newRow("a line longer than Kestrel passes on, read whole")
        << "d\r\n" + huge.toLatin1() + "\r\nshop\r\n"
        << QStringList{"d", huge, "shop", "", "", "", "", ""};
}

void TestCore::paramFileReading()
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

void TestCore::overLongLinesAreNamed_data()
{
    QTest::addColumn<int>("line"); // 0 based
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("named"); // empty: the value fits
    const QString most(db::MaxParamLength, QLatin1Char('x'));
    QTest::newRow("at the limit") << 1 << most << "";
    QTest::newRow("one over") << 1 << most + 'x' << "Line 2 (Description)";
    // Characters as the server counts them: each of these is two UTF-16 units.
    QTest::newRow("emoji at the limit") << 7 << QString(most).replace("x", "\U0001F426") << "";
    QTest::newRow("a password") << 5 << "s3cret" + most << "Line 6 (Password)";
    QTest::newRow("a million characters") << 1 << QString(1000000, 'x') << "Line 2 (Description)";
}

void TestCore::overLongLinesAreNamed()
{
    QFETCH(int, line);
    QFETCH(QString, value);
    QFETCH(QString, named);
    QStringList values(db::ParamCount, QStringLiteral("ok"));
    values[line] = value;
    const QString message = db::overLongMessage(values, db::ParamFileName);
    QCOMPARE(db::overLongParam(values), named.isEmpty() ? -1 : line);
    QCOMPARE(message.isEmpty(), named.isEmpty());
    if (named.isEmpty())
        return;
    QVERIFY2(message.startsWith(named + " of ConnParam.ini"), qPrintable(message.left(200)));
    QVERIFY(!message.contains(QLatin1String("s3cret")));
    QVERIFY(message.size() < 300);
}

void TestCore::paramFileWriting()
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
    QCOMPARE(QFile(path).permissions()
                 & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
             QFileDevice::Permissions());
    QCOMPARE(db::readParamFile(path).values, (QStringList{"only", "", "", "", "", "", "", ""}));

    QString error;
    QVERIFY(!db::writeParamFile(dir.file("no/such/dir/ConnParam.ini"), {"d"}, &error));
    QVERIFY(!error.isEmpty());

    // The file is replaced whole, never written over in place: a link to the
    // old file still reads the old values, so a failure halfway could never
    // have left half a file behind.
    QVERIFY(::link(QFile::encodeName(path).constData(),
                   QFile::encodeName(dir.file("old.ini")).constData())
            == 0);
    QVERIFY(db::writeParamFile(path, {"new"}));
    QCOMPARE(db::readParamFile(dir.file("old.ini")).values.at(0), QStringLiteral("only"));
    QCOMPARE(db::readParamFile(path).values.at(0), QStringLiteral("new"));
}

// A file is written back in the encoding it was read in, unless a value
// needs more than Windows-1252 holds.
void TestCore::paramFileKeepsItsEncoding_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("typed"); // the new description
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("Latin-1 stays Latin-1")
        << QByteArray("caf\xE9\r\n") << "Caf\u00e9 \u2022 2"
        << QByteArray("caf\xE9\r\nCaf\xE9 \x95 2\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    QTest::newRow("UTF-8 stays UTF-8")
        << QByteArray("caf\xC3\xA9\r\n") << "x"
        << QByteArray("caf\xC3\xA9\r\nx\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    QTest::newRow("Latin-1 with a character it has no byte for becomes UTF-8")
        << QByteArray("caf\xE9\r\n") << "\u0151"
        << QByteArray("caf\xC3\xA9\r\n\xC5\x91\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
}

void TestCore::paramFileKeepsItsEncoding()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, typed);
    QFETCH(QByteArray, after);
    test::ScratchDir dir;
    const QString path = dir.file("ConnParam.ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    file.close();
    db::ParamFile read = db::readParamFile(path);
    read.values[1] = typed;
    QVERIFY(db::writeParamFile(path, read.values, nullptr, read.encoding));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
}

// "|" marks the cursor, before and after.
void TestCore::limitsCutWholeCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("fitted");
    const QString emoji = QStringLiteral("\U0001F426");
    QTest::newRow("fits") << "AB|" << 3 << "AB|";
    QTest::newRow("an emoji counts once") << "AB" + emoji + "|" << 3 << "AB" + emoji + "|";
    QTest::newRow("an emoji past the limit goes whole") << "ABC" + emoji + "|" << 3 << "ABC|";
    QTest::newRow("typed in the middle goes, the rest stays")
        << "A" + emoji + "x|BC" << 3 << "A|BC";
    QTest::newRow("an accent stays with its letter") << "ABe\u0301|" << 3 << "AB|";
    QTest::newRow("a flag is never halved") << "A\U0001F1ED\U0001F1FA|" << 2 << "A|";
    QTest::newRow("set in code: cut at the end") << "|ABCDE" << 3 << "|ABC";
    QTest::newRow("more than typed: the rest from the end") << "AB|CDE" << 3 << "|CDE";
}

void TestCore::limitsCutWholeCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(QString, fitted);
    qsizetype cursor = text.indexOf(QLatin1Char('|'));
    QString result = fitToLimit(text.remove(QLatin1Char('|')), limit, &cursor);
    QVERIFY(characterCount(result) <= limit);
    QCOMPARE(result.insert(cursor, QLatin1Char('|')), fitted);
}

void TestCore::requestWritesTheContract()
{
    // Slots the request leaves alone keep what an earlier request wrote.
    M::QryCellNameFormat[3][M::SlotField] = QStringLiteral("left over");
    M::QryCellNameFormat[1][M::SlotEditor] = QStringLiteral("TXT");
    M::LowerResultWindowFlags();
    ResultRequest request;
    request.statement = db::Statement(QStringLiteral("SELECT * FROM cities WHERE ID = ?"),
                                      {db::SqlValue::integer(7)});
    request.caption = QStringLiteral("Cities");
    request.rowHeaderWidth = QStringLiteral("0.0203");
    request.columns = {{"ID", "0.1"}, {"FullName", "0.5"}};
    request.writeContract();
    QCOMPARE(M::QrySQL, request.statement);
    QCOMPARE(M::QryCaption, QStringLiteral("Cities"));
    QCOMPARE(M::QryColCount, 2);
    QCOMPARE(M::QryCellNameFormat[0][M::SlotWidth], QStringLiteral("0.0203"));
    QCOMPARE(M::QryCellNameFormat[2][M::SlotField], QStringLiteral("FullName"));
    QCOMPARE(M::QryCellNameFormat[2][M::SlotHeader], QStringLiteral("FullName"));
    QCOMPARE(M::QryCellNameFormat[2][M::SlotWidth], QStringLiteral("0.5"));
    QCOMPARE(M::QryCellNameFormat[3][M::SlotField], QStringLiteral("left over"));
    QCOMPARE(M::QryCellNameFormat[1][M::SlotEditor], QStringLiteral("TXT"));
    QVERIFY(!M::DeleteMode && !M::QryPickHandOver);

    request.deleteTable = QStringLiteral("cities");
    request.writeContract();
    QVERIFY(M::DeleteMode);
    QCOMPARE(M::DeleteTable, QStringLiteral("cities"));

    int picks = 0;
    request.deleteTable.clear();
    request.pickFlag = &M::EditGridPick;
    request.onPick = [&](const QStringList &) { ++picks; };
    M::LowerResultWindowFlags();
    request.writeContract();
    QVERIFY(M::EditGridPick && !M::DeleteMode);
    M::QryPickHandOver({});
    QCOMPARE(picks, 1);
    M::LowerResultWindowFlags();
    QVERIFY(!M::EditGridPick && !M::QryPickHandOver);
}

// A field as it goes into a CSV file: numbers stay numbers, and nothing a
// spreadsheet would run as a formula reaches it as one, whatever comes
// before the formula that a spreadsheet strips.
void TestCore::csvFieldsNeverRunAsFormulas_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("text") << "Ann = Bob" << QByteArray("Ann = Bob");
    QTest::newRow("amount") << "12,50" << QByteArray("12,50");
    QTest::newRow("negative amount") << "-3,50" << QByteArray("-3,50");
    QTest::newRow("signed number") << "+2" << QByteArray("+2");
    QTest::newRow("formula") << "=HYPERLINK(\"x\")" << QByteArray("\"'=HYPERLINK(\"\"x\"\")\"");
    QTest::newRow("formula that is a number") << "=1" << QByteArray("'=1");
    QTest::newRow("at") << "@SUM(A1)" << QByteArray("'@SUM(A1)");
    QTest::newRow("minus, not a number") << "-2+3" << QByteArray("'-2+3");
    QTest::newRow("behind a tab") << "\t=cmd" << QByteArray("'\t=cmd");
    QTest::newRow("behind a carriage return") << "\r=cmd" << QByteArray("\"'\r=cmd\"");
    QTest::newRow("semicolon") << "a;b" << QByteArray("\"a;b\"");
}

void TestCore::csvFieldsNeverRunAsFormulas()
{
    QFETCH(QString, field);
    QFETCH(QByteArray, written);
    QByteArray out;
    kestrel::CsvWriter::appendField(out, field);
    QCOMPARE(out, written);
}

QTEST_MAIN(TestCore)
#include "tst_core.moc"
