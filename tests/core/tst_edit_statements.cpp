// The edit grid's core: its statements run on the test server, how cell
// texts are read as values and compared with stored ones, and what an edit
// request writes into the contract.

#include "core/editing/EditCells.h"
#include "core/statements/Edit.h"
#include "support/CoreSupport.h"

#include <sql.h>

#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using db::SqlValue;

Q_DECLARE_METATYPE(kestrel::db::Value)

class TestEditStatements : public QObject {
    Q_OBJECT

private slots:
    // The save's statements run on the server: records and sales by ID
    // (a table name with a backquote too), stocks, an update whose value
    // holds a quote and Cyrillic letters, stock moves both ways.
    void statementsReadAndWriteTheRows()
    {
        test::useTestDatabase();
        test::resetTables();
        test::exec("INSERT INTO products VALUES (4, 'Salt', 'Pcs', 40, 1, '4', NULL), "
                   "(13, 'Sugar', 'Boxes', 20, 2.25, '601', NULL), (17, 'Milk', 'Pcs', 7, 1, "
                   "'1', NULL)");
        test::exec("INSERT INTO turnover VALUES (21, 13, 5, 2.25, 2.66, '2008-03-05', 16)");
        test::exec("CREATE TABLE `odd``name` (ID INT PRIMARY KEY)");
        test::exec("INSERT INTO `odd``name` VALUES (1), (2)");
        db::OdbcConnection c(test::testConnectionString());
        const auto rows = [&](const db::Statement &statement) {
            QStringList out;
            for (const db::Row &row : c.query(statement).rows) {
                QStringList fields;
                for (const db::Value &field : row)
                    fields.append(field.value_or("NULL"));
                out.append(fields.join(','));
            }
            return out.join('|');
        };
        const std::vector<qint64> ids{17, 4};
        QCOMPARE(rows(sql::recordsById("products", ids, sql::Lock::ForUpdate)),
                 QStringLiteral("4,Salt,Pcs,40,1.00,4,NULL|17,Milk,Pcs,7,1.00,1,NULL"));
        QCOMPARE(rows(sql::recordsById("odd`name", std::vector<qint64>{1}, sql::Lock::None)),
                 QStringLiteral("1"));
        test::exec("DROP TABLE `odd``name`"); // the other tests' reset knows no such name
        // A sale whose customer is gone still reads, with its IDs.
        QCOMPARE(rows(sql::salesById(std::vector<qint64>{21}, sql::Lock::None)),
                 QStringLiteral("21,NULL,NULL,2008-03-05,5,Boxes,2.25,2.66,Sugar,13,16"));
        QCOMPARE(rows(sql::productStocks(ids)), QStringLiteral("4,Salt,40|17,Milk,7"));
        const QString hostile = "\u041e'\u0411\u0440')--";
        c.execute(sql::updateRecord(
            "products",
            {{"Description", SqlValue::text(hostile)}, {"Quantity", SqlValue::integer(41)}}, 4));
        // Whole moves keep their zeros: -20 takes all 20, +2 gives two back.
        c.execute(sql::moveStock(13, -20));
        c.execute(sql::moveStock(17, 2));
        QCOMPARE(rows(db::Statement("SELECT Description, Quantity FROM products ORDER BY ID")),
                 hostile + ",41|Sugar,0|Milk,9");
    }

    // What a cell's text stores in its column, or ("!" and) what is wrong
    // with it: lengths in characters as the server counts them, amounts to
    // the cent within the largest amount, quantities in whole units,
    // integers in their column's range, dates the server keeps.
    void storableValues_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("sqlType");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        const QString emoji = QStringLiteral("\U0001F600");
        const QString tooLarge =
            "!is larger than 9999999999999,99, the largest amount Kestrel keeps exactly";
        const QString notUnits = "!is not a whole number from 0 to 999999999999999";
        const QString notInt = "!is not a whole number from -2147483648 to 2147483647";
        const QString notDate = "!is not a date from 1000-01-01 to 9999-12-31";
        const struct {
            const char *name, *field;
            int sqlType, length;
            QString text, stored;
        } rows[] = {
            {"text as it is", "FullName", SQL_VARCHAR, 255, " O'Brien ", "' O''Brien '"},
            {"emoji count once", "Acronym", SQL_CHAR, 3, emoji + emoji + emoji,
             "'" + emoji + emoji + emoji + "'"},
            {"one character too many", "Acronym", SQL_CHAR, 3, emoji + "abc",
             "!is longer than 3 characters"},
            {"amount with a comma", "Price", SQL_DOUBLE, 15, "13,5", "13.50"},
            {"three decimals", "Price", SQL_DOUBLE, 15, "1,999", "!has more than two decimals"},
            {"largest amount", "Price", SQL_DOUBLE, 15, "9999999999999,99", "9999999999999.99"},
            {"a cent beyond", "Price", SQL_DOUBLE, 15, "10000000000000", tooLarge},
            {"254 nines", "PricewTax", SQL_DOUBLE, 15, QString(254, u'9'), tooLarge},
            {"negative amount", "Price", SQL_DOUBLE, 15, "-1", "!is below zero"},
            {"two commas", "PricewTax", SQL_DOUBLE, 15, "3,54,,", "!is not a number"},
            {"quantity", "Quantity", SQL_DOUBLE, 15, "0100", "100"},
            {"fraction of a unit", "Quantity", SQL_DOUBLE, 15, "10,5", notUnits},
            {"quantity of 16 digits", "Quantity", SQL_DOUBLE, 15, QString(16, u'9'), notUnits},
            {"whole number", "PostalCode", SQL_INTEGER, 10, "1011", "1011"},
            {"beyond an INT", "PostalCode", SQL_INTEGER, 10, "2147483648", notInt},
            {"fraction for a whole number", "PostalCode", SQL_INTEGER, 10, "10,5", notInt},
            {"grid date", "Joined", SQL_TYPE_DATE, 10, "2008. 03. 05.", "'2008-03-05'"},
            {"unknown date", "Joined", SQL_TYPE_DATE, 10, "Unknow", notDate},
            {"no such day", "Joined", SQL_TYPE_DATE, 10, "2008. 02. 30.", notDate},
            {"before the first storable day", "Joined", SQL_TYPE_DATE, 10, "0999. 12. 31.",
             notDate}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.field) << r.sqlType << r.length << r.text
                                  << r.stored;
    }
    void storableValues()
    {
        QFETCH(QString, field);
        QFETCH(int, sqlType);
        QFETCH(int, length);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const db::Column column{field, "t", sqlType, length, sqlType == SQL_DOUBLE};
        const auto value = edit::storableValue(edit::fieldRule(field, column), text);
        if (const auto *problem = std::get_if<QString>(&value))
            QCOMPARE("!" + *problem, stored);
        else
            QCOMPARE(std::get<SqlValue>(value).literal(), stored);
    }

    // Whether a stored value and a cell's text say the same.
    void sameValues_data()
    {
        QTest::addColumn<db::Value>("stored");
        QTest::addColumn<int>("sqlType");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("same");
        const db::Value null;
        QTest::newRow("NULL reads as unknown") << null << int(SQL_TYPE_DATE) << "Unknow" << true;
        QTest::newRow("NULL is no date") << null << int(SQL_TYPE_DATE) << "2008. 03. 05." << false;
        QTest::newRow("NULL is no empty text") << null << int(SQL_VARCHAR) << "" << false;
        const db::Value price = QStringLiteral("12.50");
        QTest::newRow("price as shown") << price << int(SQL_DOUBLE) << "12,50" << true;
        QTest::newRow("price as typed") << price << int(SQL_DOUBLE) << "12,5" << true;
        QTest::newRow("another price") << price << int(SQL_DOUBLE) << "12,51" << false;
        QTest::newRow("no number") << price << int(SQL_DOUBLE) << "12,5,0" << false;
        QTest::newRow("zeros beyond the cents") << price << int(SQL_DOUBLE) << "12,500" << true;
        QTest::newRow("a cent apart")
            << db::Value(QStringLiteral("0.29")) << int(SQL_DOUBLE) << "0,3" << false;
        QTest::newRow("quantity beyond any amount")
            << db::Value(QStringLiteral("100000000000000")) << int(SQL_DOUBLE) << "0100000000000000"
            << true;
        const db::Value day = QStringLiteral("2008-03-05");
        QTest::newRow("date as shown") << day << int(SQL_TYPE_DATE) << "2008. 03. 05." << true;
        QTest::newRow("another date") << day << int(SQL_TYPE_DATE) << "2008. 03. 06." << false;
        QTest::newRow("zero date as shown") << db::Value(QStringLiteral("0000-00-00"))
                                            << int(SQL_TYPE_DATE) << "0000-00-00" << true;
        const db::Value name = QStringLiteral("Milk");
        QTest::newRow("text exactly") << name << int(SQL_VARCHAR) << "Milk" << true;
        QTest::newRow("text by case") << name << int(SQL_VARCHAR) << "milk" << false;
        QTest::newRow("text with a blank") << name << int(SQL_VARCHAR) << "Milk " << false;
        QTest::newRow("text that reads as a number")
            << db::Value(QStringLiteral("0612")) << int(SQL_VARCHAR) << "612" << false;
    }
    void sameValues()
    {
        QFETCH(db::Value, stored);
        QFETCH(int, sqlType);
        QFETCH(QString, text);
        QFETCH(bool, same);
        QCOMPARE(edit::sameValue(stored, sqlType, text), same);
    }

    void editRequestWritesTheGridsHalfOfTheContract()
    {
        M::EditCellNameFormat[9][M::SlotField] = QStringLiteral("Left");
        EditRequest request = sql::editProducts(db::Statement("SELECT * FROM products"));
        request.writeContract();
        QCOMPARE(M::EditSQL.sql, QStringLiteral("SELECT * FROM products"));
        QCOMPARE(M::EditColCount, 7);
        QVERIFY(!M::EditGridJoined);
        QCOMPARE(M::EditCellNameFormat[0][M::SlotWidth], QStringLiteral("0.0203"));
        QCOMPARE(M::EditCellNameFormat[3], (M::ColumnDescription{"CMB", "UM", "", "0.0848", "UM"}));
        QCOMPARE(M::EditCellNameFormat[7][M::SlotEditor], QStringLiteral("DTPCK"));
        QCOMPARE(M::EditCellNameFormat[9][M::SlotField], QStringLiteral("Left"));

        sql::editTransactions(db::Statement("SELECT 1")).writeContract();
        QCOMPARE(M::EditColCount, 9);
        QVERIFY(M::EditGridJoined);
        QCOMPARE(M::EditCellNameFormat[2][M::SlotEditor], QStringLiteral("PCKBTN"));
        // The grid has ten data columns; more are cut off.
        request.columns.resize(12, {"TXT", "Extra", "0.01"});
        request.writeContract();
        QCOMPARE(M::EditColCount, 10);
        QCOMPARE(M::EditCellNameFormat[11][M::SlotField], QString());
    }
};

QTEST_MAIN(TestEditStatements)
#include "tst_edit_statements.moc"
