// The core without a database: the start-up statement, the parameter files,
// length limits and CSV fields.

#include "core/database/ConnectionString.h"
#include "core/database/ParamFile.h"
#include "core/shared/CsvWriter.h"
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
    void startupStatementSplit_data();
    void startupStatementSplit();
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
    void csvFieldsNeverRunAsFormulas_data();
    void csvFieldsNeverRunAsFormulas();
};

void TestCore::startupStatementSplit_data()
{
    QTest::addColumn<QString>("connection");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("statement");
    const char *rows[][4] = {
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

void TestCore::startupStatementsRunInTurn()
{
    QCOMPARE(db::startupStatements(" SET @a=1; ;SET @b=2 ;"),
             (QStringList{"SET @a=1", "SET @b=2"}));
    // A ";" inside quotes, backticks and comments ends no statement.
    QCOMPARE(db::startupStatements("SET @a='x;y', @b=\"p;q\"; SELECT 1 AS `c;d` /* e;f */; -- g;h\n"
                                   "SET @c='it''s;', @d='\\';'; # i;j"),
             (QStringList{"SET @a='x;y', @b=\"p;q\"", "SELECT 1 AS `c;d` /* e;f */",
                          "-- g;h\nSET @c='it''s;', @d='\\';'"}));
}

void TestCore::paramFileReading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");
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
    // A file of CR-ended lines read as one line would show the password.
    QTest::newRow("CR, LF and CR LF mixed")
        << QByteArray("d\rx\nshop\r\nsrv\r\ru\n\r\n3306")
        << QStringList{"d", "x", "shop", "srv", "", "u", "", "3306"};
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
}

void TestCore::paramFileWriting()
{
    test::ScratchDir dir;
    QVERIFY(!db::readParamFile(dir.file("none.ini")).found);
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

    QVERIFY(!db::writeParamFile(dir.file("no/such/dir/ConnParam.ini"), {"d"}));

    // Replaced whole, never written over in place: a link to the old file
    // still reads the old values, so a failure could not leave half a file.
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
    QTest::newRow("an emoji counts once") << "AB" + emoji + "|" << 3 << "AB" + emoji + "|";
    QTest::newRow("an emoji past the limit goes whole") << "ABC" + emoji + "|" << 3 << "ABC|";
    QTest::newRow("typed in the middle goes, the rest stays")
        << "A" + emoji + "x|BC" << 3 << "A|BC";
    QTest::newRow("an accent stays with its letter") << "ABe\u0301|" << 3 << "AB|";
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

// Numbers stay numbers; nothing reaches a spreadsheet as a formula, whatever
// a spreadsheet strips before it.
void TestCore::csvFieldsNeverRunAsFormulas_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("negative amount") << "-3,50" << QByteArray("-3,50");
    QTest::newRow("formula") << "=HYPERLINK(\"x\")" << QByteArray("\"'=HYPERLINK(\"\"x\"\")\"");
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
