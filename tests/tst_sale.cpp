// The sale form and its quantity prompt against a real server, driven from
// the keyboard: choosers opened with Space and picked with the arrows and
// Enter, quantities typed into the prompt.

#include "core/database/ConnectionCycle.h"
#include "core/shared/Formats.h"
#include "core/statements/Sale.h"
#include "entry/Frm_AddTransaction.h"
#include "entry/Frm_ProdQuant.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <chrono>
#include <thread>

using namespace kestrel::test;
using kestrel::FlexGrid;

namespace {

// Chooser rows: customers 1 Anna Kovacs, 2 Bob Smith; products 1 Milk (12 in
// store, 1,50), 2 Bread (30, 2,00), 3 Sugar (5, 0,25), 4 Salt (none, 0,80).
void seed()
{
    exec("INSERT INTO customers VALUES (NULL,'Anna','Kovacs','Main Street 1','BUD','1','a@b.c',"
         "'1','2008-03-05','Main Street 1'),(NULL,'Bob','Smith','Harbour Road','LON','2','b@b.c',"
         "'2','2008-03-05','Depot 4')");
    exec("INSERT INTO products VALUES (NULL,'Milk','Pcs',12,1.50,'1','2008-03-05'),"
         "(NULL,'Bread','Pcs',30,2.00,'2','2008-03-05'),(NULL,'Sugar','Boxes',5,0.25,'3',"
         "'2008-03-05'),(NULL,'Salt','Pcs',0,0.80,'4','2008-03-05')");
}

QString read(const QString &sql)
{
    return scalar(sql).value_or(QString());
}

QString stocks()
{
    return read("SELECT GROUP_CONCAT(Quantity ORDER BY ID SEPARATOR '|') FROM products");
}

// Every turnover row as "product,quantity,price,price with tax,date,customer".
QString turnover()
{
    return read("SELECT GROUP_CONCAT(CONCAT_WS(',',ProductID,Quantity,Price,PricewTax,Date,"
                "CustomerID) ORDER BY ID SEPARATOR '|') FROM turnover");
}

const QString NotEnough = Frm_ProdQuant::NotEnoughText;

} // namespace

class TestSale : public QObject {
    Q_OBJECT
    std::unique_ptr<RunningMainWindow> run;

    Frm_AddTransaction *form() { return run->main->findForm<Frm_AddTransaction>(); }
    Frm_ProdQuant *prompt() { return run->main->findForm<Frm_ProdQuant>(); }
    FlexGrid *products() { return control<FlexGrid>(form(), "fxg_Products"); }
    QString total(const char *box) { return control<QLineEdit>(form(), box)->text(); }

    Frm_AddTransaction *openSale()
    {
        trigger(run->main.get(), "mnu_AddTransaction");
        return form();
    }

    // Presses the Add button with Space, walks down the chooser to row and
    // picks it with Enter, all where the focus is.
    void pick(const char *button, int row)
    {
        control(form(), button)->setFocus();
        keys(" ");
        QCOMPARE(focusName(), QStringLiteral("fxg_QueryResult")); // the chooser's grid
        KESTREL_CHECK(pickRow(row));
    }

    // Types quantity over the prompt's "1" (nothing: clears it), then Tab to
    // OK and Space.
    void answer(const QString &quantity)
    {
        QCOMPARE(focusName(), QStringLiteral("txt_Quantity"));
        if (quantity.isEmpty())
            keys("\b");
        keys(quantity + "\t ");
    }

    // Adds a line of chooser row productRow and answers its prompt.
    void sell(int productRow, const QString &quantity)
    {
        KESTREL_CHECK(pick("cmd_AddProduct", productRow));
        KESTREL_CHECK(answer(quantity));
        QVERIFY(!prompt());
    }

    // A sale of customer row 1 and the lines "row:quantity"; a row alone
    // leaves its prompt open.
    void enterSale(const QStringList &lines)
    {
        openSale();
        KESTREL_CHECK(pick("cmd_AddCustomer", 1));
        for (const QString &line : lines) {
            if (line.contains(':'))
                KESTREL_CHECK(sell(line.section(':', 0, 0).toInt(), line.section(':', 1)));
            else
                KESTREL_CHECK(pick("cmd_AddProduct", line.toInt()));
        }
    }

    void save()
    {
        QWidget *ok = control(form(), "cmd_OK");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Space);
        settle();
    }

private slots:
    void initTestCase()
    {
        run = std::make_unique<RunningMainWindow>();
        QVERIFY(run->show());
    }
    void init()
    {
        run->reset();
        seed();
    }
    void cleanupTestCase() { run.reset(); }

    // The lines are stored as entered, at the date picked, each price with
    // tax rounded to the cent; the form's totals are the saved rows' sums
    // (17,13, where tax on the net total would give 17,11).
    void aSaleIsStoredAsShown()
    {
        KESTREL_CHECK(enterSale({"1:5", "3:4", "2:3"}));
        QCOMPARE(control<QPlainTextEdit>(form(), "txt_ShippingAddress")->toPlainText(),
                 QStringLiteral("Main Street 1 , BUD"));
        QCOMPARE(total("txt_WOTAX") + '|' + total("txt_WTAX"), QStringLiteral("14,50|17,13"));
        QCOMPARE(products()->CellBackColor(1, 4), QColor(255, 255, 255));
        QCOMPARE(products()->CellBackColor(2, 0), QColor(200, 255, 230));
        auto *date = control<QDateTimeEdit>(form(), "dtp_Date");
        date->setFocus();
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Up}) // to the day; no tomorrow
            QTest::keyClick(date, key);
        QCOMPARE(date->date(), QDate::currentDate());
        QTest::keyClick(date, Qt::Key_Down);
        save();
        QVERIFY(run->messages->messages.empty());
        QVERIFY(!form());
        QCOMPARE(M::ConnStat(), M::StatIdle);
        const QString day = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
        QCOMPARE(turnover(), "1,5,1.50,1.77," + day + ",1|3,4,0.25,0.30," + day
                                 + ",1|2,3,2.00,2.36," + day + ",1");
        QCOMPARE(stocks(), QStringLiteral("7|27|1|0"));
        QCOMPARE(read("SELECT CONCAT(SUM(Quantity * Price), '|', SUM(Quantity * PricewTax)) "
                      "FROM turnover"),
                 QStringLiteral("14.50|17.13"));
    }

    // Nothing of a refused sale is stored, whichever line or check stops it;
    // the sale stays on screen to be put right and then goes through, with
    // the ID on show (rows rolled back used theirs up).
    void refusedSalesStoreNothing_data()
    {
        QTest::addColumn<QStringList>(
            "lines"); // "row:quantity"; a row alone waits for its quantity
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("putRight"); // "": the ID is checked by another row instead
        const QStringList lines{"1:4", "2:3", "3:2"};
        const char *const restock = "UPDATE products SET Quantity = 40 WHERE ID = 2";
        QTest::newRow("a line waiting for its quantity") << QStringList{"1:2", "2"} << ""
                                                         << "Quantity of Bread (ID 2) can't be 0!!!"
                                                         << "";
        QTest::newRow("another till sold meanwhile")
            << lines << "UPDATE products SET Quantity = 2 WHERE ID = 2"
            << "Not enough supplies in store for Bread (ID 2): 2 in store, 3 in this sale!!!"
            << restock;
        QTest::newRow("one product on two lines")
            << QStringList{"1:4", "2:20", "2:15"} << ""
            << "Not enough supplies in store for Bread (ID 2): 30 in store, 35 in this sale!!!"
            << restock;
        QTest::newRow("product deleted")
            << lines << "DELETE FROM products WHERE ID = 3"
            << "Product Sugar (ID 3) is no longer in the database!!!"
            << "INSERT INTO products VALUES (3,'Sugar','Boxes',5,0.25,'3','2008-03-05')";
        QTest::newRow("customer deleted")
            << lines << "DELETE FROM customers WHERE ID = 1"
            << "Customer Anna Kovacs (ID 1) is no longer in the database!!!"
            << "";
        QTest::newRow("the server refuses the third line")
            << lines << "ALTER TABLE turnover ADD CONSTRAINT no_sugar CHECK (ProductID <> 3)"
            << "The database refused the line Sugar (ID 3)! Nothing was saved!!!"
            << "ALTER TABLE turnover DROP CONSTRAINT no_sugar";
    }
    void refusedSalesStoreNothing()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, meanwhile);
        QFETCH(QString, message);
        QFETCH(QString, putRight);
        KESTREL_CHECK(enterSale(lines));
        if (!meanwhile.isEmpty())
            exec(meanwhile);
        const QString before = stocks();
        save();
        QCOMPARE(run->messages->texts(), QStringList{message});
        QCOMPARE(turnover(), QString());
        QCOMPARE(stocks(), before);
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QVERIFY(form());
        QCOMPARE(products()->Rows(), int(lines.size()) + 1);
        const QString shownId = control<QLineEdit>(form(), "txt_ID")->text();
        if (putRight.isEmpty()) {
            exec("INSERT INTO turnover (ID) VALUES (NULL)");
            QCOMPARE(read("SELECT MAX(ID) FROM turnover"), shownId);
            return;
        }
        exec(putRight);
        save();
        QVERIFY(!form());
        QCOMPARE(read("SELECT MIN(ID) FROM turnover"), shownId);
    }

    // Another till holds the last unit of sugar in its open sale; this sale
    // waits for it, then finds nothing left.
    void twoTillsRaceForTheLastUnit()
    {
        exec("UPDATE products SET Quantity = 1 WHERE ID = 3");
        KESTREL_CHECK(enterSale({"3:1"}));
        kestrel::db::OdbcConnection till(testConnectionString());
        const kestrel::sql::Sale theirs = form()->sale();
        auto sale = std::make_unique<kestrel::db::Transaction>(till);
        till.execute(kestrel::sql::insertTurnover(theirs, theirs.lines.front()));
        QCOMPARE(till.execute(kestrel::sql::lowerStock(theirs.lines.front())), 1);
        std::thread commitSoon([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            sale->commit();
        });
        save();
        commitSoon.join();
        QCOMPARE(run->messages->texts(),
                 QStringList{"Not enough supplies in store for Sugar (ID 3): 0 in store, 1 in "
                             "this sale!!!"});
        QCOMPARE(read("SELECT COUNT(*) FROM turnover"), QStringLiteral("1"));
        QCOMPARE(stocks(), QStringLiteral("12|30|0|0"));
    }

    // The first OK writes the typed quantity into the line or refuses it,
    // putting the stock into the box; a second OK then takes the stock, if
    // there is any.
    void thePromptChecksAgainstTheStock_data()
    {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stock"); // shown after a refusal; "" taken
        const struct {
            const char *name;
            int product;
            const char *typed, *stock;
        } rows[] = {{"as much as in store", 1, "12", ""},
                    {"leading zeros", 1, "007", ""},
                    {"one more than in store", 1, "13", "12"},
                    {"zero", 1, "0", "12"},
                    {"00", 1, "00", "12"},
                    {"empty", 1, "", "12"},
                    {"nothing in store", 4, "1", "0"}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.product << QString(r.typed) << QString(r.stock);
    }
    void thePromptChecksAgainstTheStock()
    {
        QFETCH(int, product);
        QFETCH(QString, typed);
        QFETCH(QString, stock);
        openSale();
        KESTREL_CHECK(pick("cmd_AddProduct", product));
        QCOMPARE(prompt()->windowTitle(), "Product Quantity ID: " + QString::number(product));
        KESTREL_CHECK(answer(typed));
        QCOMPARE(run->messages->texts(), stock.isEmpty() ? QStringList() : QStringList{NotEnough});
        QCOMPARE(products()->TextMatrix(1, 2), stock.isEmpty() ? typed : QStringLiteral("0"));
        QCOMPARE(prompt() == nullptr, stock.isEmpty());
        if (stock.isEmpty())
            return;
        QCOMPARE(control<QLineEdit>(prompt(), "txt_Quantity")->text(), stock);
        click(prompt(), "cmd_OK");
        QCOMPARE(products()->TextMatrix(1, 2), stock);
        QCOMPARE(prompt() == nullptr, stock != "0");
    }

    // The prompt answers for one line: Cancel takes that line; a second
    // pick while it is open moves it to the new line with what was typed,
    // the earlier line keeping its 0; a prompt whose line was removed
    // closes rather than write into another.
    void thePromptKeepsToItsLine()
    {
        KESTREL_CHECK(enterSale({"1:2"}));
        KESTREL_CHECK(pick("cmd_AddProduct", 2));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        settle();
        QVERIFY(!prompt());
        QCOMPARE(column(products(), 2), QStringLiteral("2"));

        KESTREL_CHECK(pick("cmd_AddProduct", 2));
        keys("4");
        KESTREL_CHECK(pick("cmd_AddProduct", 3));
        QCOMPARE(prompt()->windowTitle(), QStringLiteral("Product Quantity ID: 3"));
        QCOMPARE(control<QLineEdit>(prompt(), "txt_Quantity")->text(), QStringLiteral("4"));
        QCOMPARE(column(products(), 0), QStringLiteral("1|2|3"));
        QCOMPARE(column(products(), 2), QStringLiteral("2|0|0"));
        keys("\t ");
        QVERIFY(!prompt());
        QCOMPARE(column(products(), 2), QStringLiteral("2|0|4"));

        KESTREL_CHECK(pick("cmd_AddProduct", 2));
        click(form(), "cmd_RemoveProduct");
        QVERIFY(!prompt());
        QCOMPARE(column(products(), 2), QStringLiteral("2|0|4"));

        click(form(), "cmd_Reset");
        KESTREL_CHECK(pick("cmd_AddProduct", 2));
        click(prompt(), "cmd_Cancel"); // the only line: emptied
        QCOMPARE(column(products(), 0), QString());
        QCOMPARE(total("txt_WTAX"), QStringLiteral("0,00"));
    }

    // The quantity column narrows once the lines need a scroll bar; removing
    // a line takes it out of the totals; Reset empties the sale, widens the
    // column again, shows today and the next free ID.
    void removeAndReset()
    {
        openSale();
        auto *date = control<QDateTimeEdit>(form(), "dtp_Date");
        date->setDate(QDate::currentDate().addDays(-1));
        KESTREL_CHECK(pick("cmd_AddCustomer", 2));
        const int wide = kestrel::fmt::twipsToPixels(1300);
        for (int line = 1; line <= 10; ++line) {
            KESTREL_CHECK(sell(2, "1"));
            QCOMPARE(products()->ColWidth(2), line < 10 ? wide : kestrel::fmt::twipsToPixels(1000));
        }
        click(form(), "cmd_RemoveProduct");
        QCOMPARE(total("txt_WOTAX") + '|' + total("txt_WTAX"), QStringLiteral("18,00|21,24"));
        exec("INSERT INTO turnover (ID) VALUES (41)"); // another till's sale
        click(form(), "cmd_Reset");
        QCOMPARE(control<QLineEdit>(form(), "txt_ID")->text(), QStringLiteral("42"));
        QCOMPARE(date->date(), QDate::currentDate());
        QCOMPARE(products()->Rows(), 2);
        QCOMPARE(products()->ColWidth(2), wide);
        QCOMPARE(products()->CellBackColor(1, 0), QColor(255, 255, 255));
        QCOMPARE(column(control<FlexGrid>(form(), "fxg_Customer"), 0), QString());
        QVERIFY(control<QPlainTextEdit>(form(), "txt_ShippingAddress")->toPlainText().isEmpty());
        QCOMPARE(total("txt_WOTAX") + '|' + total("txt_WTAX"), QStringLiteral("0,00|0,00"));
        QCOMPARE(stocks(), QStringLiteral("12|30|5|0"));
    }

    void addNextStoresAndStartsAfresh()
    {
        run->main->tlb_Toolbar_ButtonClick(2); // the toolbar's "Add"
        KESTREL_CHECK(pick("cmd_AddCustomer", 2));
        KESTREL_CHECK(sell(3, "5"));
        click(form(), "cmd_Next");
        QVERIFY(run->messages->messages.empty());
        QCOMPARE(turnover(), "3,5,0.25,0.30," + QDate::currentDate().toString(Qt::ISODate) + ",2");
        QCOMPARE(control<QLineEdit>(form(), "txt_ID")->text(), QStringLiteral("2"));
        QCOMPARE(column(products(), 0), QString());
    }

    // Closing the sale takes its prompt and its chooser with it; nothing is
    // left to write into a closed form.
    void theSaleTakesItsWindowsAlong()
    {
        openSale();
        KESTREL_CHECK(pick("cmd_AddProduct", 1));
        click(form(), "cmd_AddCustomer");
        QVERIFY(run->main->findForm<Frm_QueryResults>());
        QVERIFY(prompt());
        type(control(form(), "cmd_OK"), "\x1b");
        settle();
        QVERIFY(!form());
        QVERIFY(!prompt());
        QVERIFY(!run->main->findForm<Frm_QueryResults>());
        QVERIFY(run->messages->messages.empty());
    }
};

QTEST_MAIN(TestSale)
#include "tst_sale.moc"
