// Kestrel's money: amounts read, rounded and shown exactly, arithmetic that
// says when it leaves the range, the largest amounts surviving the server's
// columns, and a few hundred random sales whose totals are exactly what the
// server sums over their saved rows.

#include "core/shared/Formats.h"
#include "core/shared/Money.h"
#include "core/statements/Sale.h"
#include "support/CoreSupport.h"

#include <QRandomGenerator>
#include <QTest>

using namespace kestrel;

Q_DECLARE_METATYPE(kestrel::Money::ExtraDigits)

namespace {

constexpr qint64 Max = Money::MaxCents;

// Problems as the reading table names them.
const char *const ProblemNames[] = {"none", "!no amount", "!decimals", "!too large"};

// An amount as the server shows it, read back.
Money fromServer(const db::Value &value)
{
    const std::optional<Money> amount = Money::parse(value.value_or(QString()));
    if (!amount)
        qFatal("the server sent no amount: %s", qPrintable(value.value_or("NULL")));
    return *amount;
}

} // namespace

class TestMoney : public QObject {
    Q_OBJECT

private slots:
    // How a text reads, shown again as Kestrel shows amounts, or "!" and
    // the problem. Halves go away from zero wherever a carry runs to.
    void reading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Money::ExtraDigits>("extra");
        QTest::addColumn<QString>("shown");
        const auto refuse = Money::ExtraDigits::Refuse, round = Money::ExtraDigits::Round;
        const struct {
            const char *name, *text;
            Money::ExtraDigits extra;
            const char *shown;
        } rows[] = {{"comma", "12,5", refuse, "12,50"},
                    {"point", "12.50", refuse, "12,50"},
                    {"comma first", ",5", refuse, "0,50"},
                    {"comma last", "12,", refuse, "12,00"},
                    {"leading zeros", "007,5", refuse, "7,50"},
                    {"negative", "-0,3", refuse, "-0,30"},
                    {"zeros beyond the cents", "1,500", refuse, "1,50"},
                    {"a third decimal refused", "1,505", refuse, "!decimals"},
                    {"half a cent up", "1,505", round, "1,51"},
                    {"below half a cent", "1,50499", round, "1,50"},
                    {"half a cent away from zero", "-1,505", round, "-1,51"},
                    {"carry into the units", "0,995", round, "1,00"},
                    {"carry into the tens", "9,995", round, "10,00"},
                    {"carry through every digit", "999999999999,995", round, "1000000000000,00"},
                    {"negative carry", "-99,995", round, "-100,00"},
                    {"largest", "9999999999999,99", refuse, "9999999999999,99"},
                    {"largest below zero", "-9999999999999,99", refuse, "-9999999999999,99"},
                    {"rounded to the largest", "9999999999999,994", round, "9999999999999,99"},
                    {"rounded beyond the largest", "9999999999999,995", round, "!too large"},
                    {"a unit beyond", "10000000000000", refuse, "!too large"},
                    {"two separators", "1,2,3", refuse, "!no amount"},
                    {"lone comma", ",", refuse, "!no amount"},
                    {"lone minus", "-", refuse, "!no amount"},
                    {"empty", "", refuse, "!no amount"},
                    {"exponent", "1e3", refuse, "!no amount"},
                    {"plus sign", "+1", refuse, "!no amount"},
                    {"other digits", "\u0661\u0662", refuse, "!no amount"}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.text) << r.extra << QString(r.shown);
    }
    void reading()
    {
        QFETCH(QString, text);
        QFETCH(Money::ExtraDigits, extra);
        QFETCH(QString, shown);
        const Money::Reading reading = Money::read(text, extra);
        if (!reading) {
            QCOMPARE(QString(ProblemNames[int(reading.problem)]), shown);
            return;
        }
        QCOMPARE(fmt::formatAmount(reading.amount), shown);
        QCOMPARE(reading.amount.toSql().string(), QString(shown).replace(',', '.'));
    }

    // cents * numerator / denominator, rounded half away from zero to the
    // cent whichever digit the half falls on; -1 beyond the range.
    void scaling_data()
    {
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<qint64>("numerator");
        QTest::addColumn<qint64>("denominator");
        QTest::addColumn<qint64>("result");
        const struct {
            const char *name;
            qint64 cents, numerator, denominator, result;
        } rows[] = {{"half at the first dropped digit", 5, 1, 10, 1},
                    {"just below it", 4, 1, 10, 0},
                    {"half at the second", 50, 1, 100, 1},
                    {"just below it", 49, 1, 100, 0},
                    {"half at the sixth", 500000, 1, 1000000, 1},
                    {"just below it", 499999, 1, 1000000, 0},
                    {"negative half", -50, 1, 100, -1},
                    {"negative below half", -49, 1, 100, 0},
                    {"largest stays", Max, 1, 1, Max},
                    {"largest doubled", Max, 2, 1, -1},
                    {"largest with tax", Max, 118, 100, -1}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.cents << r.numerator << r.denominator << r.result;
    }
    void scaling()
    {
        QFETCH(qint64, cents);
        QFETCH(qint64, numerator);
        QFETCH(qint64, denominator);
        QFETCH(qint64, result);
        const std::optional<Money> scaled = Money::fromCents(cents)->scaled(numerator, denominator);
        QCOMPARE(scaled ? scaled->cents() : -1, result);
    }

    // Sums and products beyond the largest amount are nullopt, however far.
    void arithmeticKeepsToTheRange()
    {
        const Money cent = *Money::fromCents(1), largest = Money::largest();
        QCOMPARE(largest.plus(*Money::fromCents(-1))->cents(), Max - 1);
        QVERIFY(!largest.plus(cent));
        QVERIFY(!Money::fromCents(-Max)->plus(*Money::fromCents(-1)));
        QCOMPARE(cent.times(Max)->cents(), Max);
        QVERIFY(!cent.times(Max + 1));
        QVERIFY(!largest.times(std::numeric_limits<qint64>::max()));
        QCOMPARE(largest.times(-1)->cents(), -Max);
        QVERIFY(!Money::fromCents(Max + 1));
        QVERIFY(Money::units(5000) > *Money::parse(u"4999,99"));
    }

    // The largest amount goes into a price column and comes back digit for
    // digit; the server keeps no 16th digit, which is why the range ends there.
    void theLargestAmountsSurviveTheColumn()
    {
        test::useTestDatabase();
        test::resetTables();
        db::OdbcConnection c(test::testConnectionString());
        for (const Money amount : {Money::largest(), *Money::parse(u"1234567890123,45"),
                                   *Money::parse(u"9999999999999,98"), *Money::parse(u"0,01")}) {
            c.execute(
                db::Statement("REPLACE INTO turnover (ID, Price) VALUES (1, ?)", {amount.toSql()}));
            QCOMPARE(fromServer(test::scalar("SELECT Price FROM turnover")), amount);
        }
        test::exec("UPDATE turnover SET Price = 99999999999999.99");
        QCOMPARE_NE(test::scalar("SELECT Price FROM turnover").value_or(QString()),
                    QStringLiteral("99999999999999.99"));
    }

    // A few hundred sales of random prices and quantities, stored as the
    // sale form stores them: the totals the form shows are exactly what the
    // server sums over each sale's rows.
    void randomSalesTotalWhatTheServerSums()
    {
        test::useTestDatabase();
        test::resetTables();
        test::exec("INSERT INTO customers VALUES (1, 'Ann', 'Lee', 'Street 1', 'BUD', '1', "
                   "'a@b.c', '1', '2008-03-05', 'Ship 1')");
        test::exec("INSERT INTO products SELECT seq, 'Item', 'Pcs', 1000000000000, 1, '1', "
                   "'2008-03-05' FROM seq_1_to_9");
        db::OdbcConnection c(test::testConnectionString());
        QRandomGenerator random(18);
        qint64 lastRow = 0;
        for (int s = 0; s < 300; ++s) {
            sql::Sale sale{1, "Ann Lee", QDate(2008, 3, 5), {}};
            const int lines = random.bounded(1, 6);
            for (int l = 0; l < lines; ++l) {
                // Prices of one to nine digits of cents, so every size of
                // amount comes up; quantities up to a thousand.
                qint64 below = 1;
                for (int digits = random.bounded(1, 10); digits > 0; --digits)
                    below *= 10;
                const qint64 cents = random.bounded(qint64(1), below);
                sale.lines.push_back({random.bounded(1, 10), "Item", random.bounded(1, 1000),
                                      Money::fromCents(cents)});
            }
            const Outcome<sql::SaleIds> stored = sql::storeSale(c, sale);
            QVERIFY2(stored, qPrintable(stored ? QString() : stored.refusal().message));
            const sql::SaleTotals totals = sql::saleTotals(sale);
            const db::ResultSet sums = c.query(db::Statement(
                "SELECT SUM(Quantity * Price), SUM(Quantity * PricewTax), MAX(ID) FROM turnover "
                "WHERE ID > ?",
                {db::SqlValue::integer(lastRow)}));
            const db::Row &sum = sums.rows.at(0);
            QCOMPARE(fromServer(sum.at(0)), totals.net.value());
            QCOMPARE(fromServer(sum.at(1)), totals.gross.value());
            lastRow = sum.at(2)->toLongLong();
        }
    }
};

QTEST_MAIN(TestMoney)
#include "tst_money.moc"
