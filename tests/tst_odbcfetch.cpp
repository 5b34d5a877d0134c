// Reading results: rows come in blocks through bound buffers, or field by
// field when a column is too wide to bind. Both must give the same values.

#include "FieldText.h"
#include "Formats.h"
#include "Odbc.h"
#include "TestSupport.h"

#include <QTest>
#include <sql.h>

using namespace kestrel;

namespace {

constexpr int RowCount = 2500; // more than one block

QString wideText()
{
    QString text;
    for (int i = 0; i < 255; ++i)
        text += QString::fromUtf8("\xF0\x9F\x90\xA6"); // four bytes in UTF-8
    return text;
}

void fillTable()
{
    test::exec("DROP TABLE IF EXISTS fetched");
    test::exec("CREATE TABLE fetched (ID INT PRIMARY KEY, Name VARCHAR(255), Amount DOUBLE(255,2), "
               "Big DOUBLE, Day DATE, Notes LONGTEXT) CHARACTER SET utf8mb4");
    test::exec("INSERT INTO fetched SELECT seq, CONCAT('name ', seq), seq / 4, seq * 1e300 / 1000, "
               "DATE '2008-03-05' + INTERVAL seq DAY, NULL FROM seq_1_to_" + QString::number(RowCount));
    test::exec("UPDATE fetched SET Name = NULL, Amount = NULL, Day = NULL WHERE ID % 7 = 0");
    test::exec("UPDATE fetched SET Name = '" + wideText() + "' WHERE ID = 1500");
    test::exec("UPDATE fetched SET Notes = REPEAT('x', 100000) WHERE ID = 3");
}

db::ResultSet readAll(const QString &columns)
{
    db::OdbcConnection connection(test::testConnectionString());
    return connection.query("SELECT " + columns + " FROM fetched ORDER BY ID");
}

} // namespace

class TestOdbcFetch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { fillTable(); }

    void blocksAndSingleFieldsAgree()
    {
        const db::ResultSet blocks = readAll("ID, Name, Amount, Big, Day");
        const db::ResultSet fields = readAll("ID, Name, Amount, Big, Day, Notes");
        QCOMPARE(blocks.rows.size(), size_t(RowCount));
        QCOMPARE(fields.rows.size(), size_t(RowCount));
        for (size_t r = 0; r < blocks.rows.size(); ++r) {
            for (size_t c = 0; c < 5; ++c) {
                if (blocks.rows[r][c] != fields.rows[r][c])
                    QFAIL(qPrintable(QStringLiteral("row %1 column %2 differs").arg(r).arg(c)));
            }
        }
    }

    void valuesSurviveTheBlocks()
    {
        const db::ResultSet result = readAll("ID, Name, Amount, Big, Day");
        QCOMPARE(result.columns.size(), size_t(5));
        QCOMPARE(result.columns[1].name, QStringLiteral("Name"));
        QCOMPARE(result.columns[1].baseTable, QStringLiteral("fetched"));
        const db::Row &first = result.rows[0];
        QCOMPARE(first[0], db::Value("1"));
        QCOMPARE(first[1], db::Value("name 1"));
        QCOMPARE(first[2], db::Value("0.25"));
        QCOMPARE(first[4], db::Value("2008-03-06"));
        const db::Row &seventh = result.rows[6];
        QCOMPARE(seventh[1], db::Value());
        QCOMPARE(seventh[2], db::Value());
        QCOMPARE(seventh[4], db::Value());
        QCOMPARE(result.rows[1499][1], db::Value(wideText()));
        QCOMPARE(result.rows[RowCount - 1][0], db::Value(QString::number(RowCount)));
        QCOMPARE(result.rows[RowCount - 1][3]->toDouble(), 2.5e300);
    }

    void longTextReadsWhole()
    {
        const db::ResultSet result = readAll("ID, Notes");
        QCOMPARE(result.rows[2][1]->size(), 100000);
        QCOMPARE(result.rows[0][1], db::Value());
    }

    void fieldTextInKestrelsConvention_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("sqlType");
        QTest::addColumn<QString>("text");
        QTest::newRow("date") << "2008-03-05" << int(SQL_TYPE_DATE)
                              << fmt::gridDate(QDate(2008, 3, 5));
        QTest::newRow("last day of a leap year") << "2008-12-31" << int(SQL_TYPE_DATE)
                                                 << fmt::gridDate(QDate(2008, 12, 31));
        QTest::newRow("zero date") << "0000-00-00" << int(SQL_TYPE_DATE) << "0000-00-00";
        QTest::newRow("no such day") << "2007-02-29" << int(SQL_TYPE_DATE) << "2007-02-29";
        QTest::newRow("double") << "12.50" << int(SQL_DOUBLE) << "12,50";
        QTest::newRow("decimal") << "3.1" << int(SQL_DECIMAL) << "3,1";
        QTest::newRow("integer") << "1200" << int(SQL_INTEGER) << "1200";
        QTest::newRow("text keeps its points") << "St. Ann" << int(SQL_VARCHAR) << "St. Ann";
    }

    void fieldTextInKestrelsConvention()
    {
        QFETCH(QString, value);
        QFETCH(int, sqlType);
        QFETCH(QString, text);
        QCOMPARE(fieldText(value, sqlType), text);
        QCOMPARE(fieldText(std::nullopt, sqlType), QString());
    }
};

QTEST_MAIN(TestOdbcFetch)
#include "tst_odbcfetch.moc"
