// The result window against the test server: loading, the delete view,
// choosers handing their pick back, failures, and the main window's lists.

#include "core/database/ConnectionCycle.h"
#include "core/statements/Lists.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using test::column;

namespace {

using test::idsIn;

void addCities(int count)
{
    test::exec("INSERT INTO cities SELECT seq, 'C', CONCAT('City ', seq), seq, 'Land', 'LND' FROM "
               "seq_1_to_"
               + QString::number(count));
}

// Customers 16 "St. Ann" (joined: NULL), 17 Bob (a date) and 18 Cid (the zero
// date); products 1 to 8, "Item 1" to "Item 8". IDs unlike row numbers on purpose.
void addCustomersAndProducts()
{
    test::exec("INSERT INTO customers SELECT seq, ELT(seq - 15, 'St. Ann', 'Bob', 'Cid'), "
               "CONCAT('Sur', seq), 'Street 1', 'BUD', '1', 'a@b.c', '2', "
               "ELT(seq - 15, NULL, '2008-03-05', '0000-00-00'), 'Ship' FROM seq_16_to_18");
    test::exec(
        "INSERT INTO products SELECT seq, CONCAT('Item ', seq), 'Pcs', 100, 1, '0', '2008-03-05' "
        "FROM seq_1_to_8");
}

} // namespace

class TestQueryResults : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ScratchDir> scratch;
    std::unique_ptr<MDIfrm_main> mainWindow;
    std::unique_ptr<test::MessageRecorder> recorder;

    Frm_QueryResults *window() const { return mainWindow->findForm<Frm_QueryResults>(); }
    FlexGrid *grid() const
    {
        return window() ? test::control<FlexGrid>(window(), "fxg_QueryResult") : nullptr;
    }

    static ResultRequest cities()
    {
        ResultRequest request;
        request.statement = db::Statement("SELECT * FROM cities ORDER BY ID");
        request.caption = QStringLiteral("Cities");
        request.rowHeaderWidth = "0.02";
        request.columns = {{"ID", "0.2"}, {"FullName", "0.7"}};
        return request;
    }

    void doubleClick(int row, int col)
    {
        const QModelIndex index = grid()->gridModel()->indexOf(row, col);
        grid()->scrollTo(index);
        const QPoint at = grid()->visualRect(index).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
    }

    void expectDeleteQuestion(const QString &id)
    {
        QCOMPARE(recorder->texts(),
                 QStringList{"Are You sure You want to DELETE Row with ID #" + id});
        QCOMPARE(recorder->messages.front().buttons, M::MsgButtons::YesNo);
        recorder->clear();
    }

private slots:
    void initTestCase()
    {
        scratch = std::make_unique<test::ScratchDir>();
        mainWindow = std::make_unique<MDIfrm_main>();
        mainWindow->resize(1200, 800);
        mainWindow->show();
        test::useTestDatabase();
    }

    void init()
    {
        test::resetTables();
        cleanup();
        recorder = std::make_unique<test::MessageRecorder>();
    }

    void cleanup()
    {
        recorder.reset();
        mainWindow->closeForm<Frm_QueryResults>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { mainWindow.reset(); }

    // No rows: one merged message row that is no record, so a double click
    // asks nothing.
    void rowsAreStripedOrOneMergedMessageRow()
    {
        addCities(3);
        QVERIFY(Frm_QueryResults::Open(cities()));
        QCOMPARE(grid()->TextMatrix(0, 2), QStringLiteral("FullName"));
        QCOMPARE(column(grid(), 2), QStringLiteral("City 1|City 2|City 3"));
        QCOMPARE(M::ConnStat(), M::StatIdle);
        test::exec("DELETE FROM cities");
        mainWindow->mnu_DCity_Click();
        QCOMPARE(grid()->Rows(), 2);
        QCOMPARE(column(grid(), 6), Frm_QueryResults::NoItemsText);
        QCOMPARE(grid()->TextMatrix(0, 6), QString());
        QCOMPARE(grid()->columnSpan(0, 0), 6);
        doubleClick(1, 2);
        QVERIFY(recorder->messages.empty());
    }

    // A missing table or a missing field: reported, and no window.
    void failingRequestReportsAndCloses()
    {
        addCities(2);
        for (const auto &[sql, field] : {std::pair{"SELECT * FROM no_such_table ;", "FullName"},
                                         {"SELECT * FROM cities ;", "NoSuchField"}}) {
            recorder->clear();
            ResultRequest request;
            request.statement = db::Statement(sql);
            request.columns = {{field, "0.2"}};
            QVERIFY(!Frm_QueryResults::Open(request));
            QCOMPARE(window(), nullptr);
            QCOMPARE(recorder->texts(), QStringList{db::ConnectionErrorText});
            QCOMPARE(M::ConnStat(), M::StatError);
        }
    }

    void deleteAsksAndDeletesOnlyOnYes()
    {
        addCustomersAndProducts();
        mainWindow->mnu_DCustomer_Click();
        QVERIFY(window());
        recorder->answers = {M::MsgAnswer::No};
        doubleClick(2, 3);
        KESTREL_CHECK(expectDeleteQuestion("17"));
        // Below the last row there is no record to delete.
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {},
                           {20, grid()->viewport()->height() - 5});
        QVERIFY(recorder->messages.empty());
        QCOMPARE(idsIn("customers"), QStringLiteral("16|17|18"));

        // The next delete fails, and reports and closes like a failing load.
        test::exec("DROP TABLE customers");
        doubleClick(1, 1);
        QCOMPARE(recorder->texts(), (QStringList{"Are You sure You want to DELETE Row with ID #16",
                                                 db::ConnectionErrorText}));
        QCOMPARE(M::ConnStat(), M::StatError);
        QCOMPARE(window(), nullptr);
        QVERIFY(!M::DeleteMode);
    }

    // Without the mouse: arrows move the current row, Enter asks (Delete too,
    // below). Reports ignore both.
    void keyboardActsOnTheCurrentRow()
    {
        addCities(3);
        mainWindow->mnu_DCity_Click();
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(grid()->Row(), 3);
        QTest::keyClick(grid(), Qt::Key_Up);
        QTest::keyClick(grid(), Qt::Key_Enter, Qt::KeypadModifier);
        KESTREL_CHECK(expectDeleteQuestion("2"));
        QCOMPARE(idsIn("cities"), QStringLiteral("1|3"));

        mainWindow->mnu_Today_Click();
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Return);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QVERIFY(recorder->messages.empty());
    }

    // A record that others refer to stays, and the operator is told how many
    // refer to it; a record already gone is reported. The whole delete is
    // done with the keys: the view opens with the rows focused.
    void deleteRefusedWhileReferredToOrGone_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<QString>("meanwhile"); // run after the view opened
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("message"); // after the question; empty: none
        QTest::addColumn<QString>("left");    // the table's IDs afterwards
        const QString refused = "The %1 with ID #%2 can't be deleted: %3!!!";
        const struct {
            const char *name, *view, *meanwhile;
            int row;
            QString message;
            const char *left;
        } rows[] = {
            {"customer with two sales", "customers", "", 2,
             refused.arg("customer", "17", "2 sales refer to it"), "16|17|18"},
            {"customer without sales", "customers", "", 3, "", "16|17"},
            {"city whose acronym customers use", "cities", "", 1,
             refused.arg("city", "1", "3 customers use its acronym"), "1|2"},
            {"city whose acronym another city has too", "cities",
             "INSERT INTO cities VALUES (3, 'BUD', 'Buda', 1, 'Hungary ', 'HUN')", 1, "", "2|3"},
            {"customer deleted meanwhile", "customers", "DELETE FROM customers WHERE ID = 18", 3,
             "Row with ID #18 is already deleted!!!", "16|17"}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.view) << QString(r.meanwhile) << r.row << r.message
                                  << QString(r.left);
    }
    void deleteRefusedWhileReferredToOrGone()
    {
        QFETCH(QString, view);
        QFETCH(QString, meanwhile);
        QFETCH(int, row);
        QFETCH(QString, message);
        QFETCH(QString, left);
        addCustomersAndProducts();
        test::exec("INSERT INTO cities VALUES (1, 'BUD', 'Budapest', 1011, 'Hungary ', 'HUN'), "
                   "(2, 'VIE', 'Wien', 1010, 'Austria ', 'AUT')");
        test::exec("INSERT INTO turnover VALUES (1, 2, 1, 1, 1.18, CURDATE(), 17), "
                   "(2, 2, 1, 1, 1.18, CURDATE(), 17), (3, 3, 1, 1, 1.18, CURDATE(), 16)");
        test::trigger(mainWindow.get(), view == "cities"     ? "mnu_DCity"
                                        : view == "products" ? "mnu_DProduct"
                                                             : "mnu_DCustomer");
        QVERIFY(QTest::qWaitForWindowActive(mainWindow.get()));
        QCOMPARE(QApplication::focusWidget(), grid());
        if (!meanwhile.isEmpty())
            test::exec(meanwhile);
        for (int r = 1; r < row; ++r)
            QTest::keyClick(grid(), Qt::Key_Down);
        const QString id = grid()->TextMatrix(row, 1);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QStringList expected{"Are You sure You want to DELETE Row with ID #" + id};
        if (!message.isEmpty())
            expected.append(message);
        QCOMPARE(recorder->texts(), expected);
        QCOMPARE(idsIn(view), left);
        QCOMPARE(idsIn("turnover"), QStringLiteral("1|2|3"));
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QVERIFY(window()); // still there for the next row
    }

    void deleteTakesTheIdAsOneValue()
    {
        // Shown IDs that would, pasted into the statement unquoted, widen the
        // WHERE to every row.
        addCities(3);
        ResultRequest request;
        request.statement =
            db::Statement("SELECT CONCAT(ID, '\\' OR \\'1\\'=\\'1') AS ID FROM cities ORDER BY ID");
        request.columns = {{"ID", "0.3"}};
        request.deleteTable = "cities";
        QVERIFY(Frm_QueryResults::Open(request));
        doubleClick(2, 1);
        KESTREL_CHECK(expectDeleteQuestion("2' OR '1'='1"));
        // The server reads the whole quoted text as a number: row 2 only.
        QCOMPARE(idsIn("cities"), QStringLiteral("1|3"));
    }

    void todayListsTodaysJoinedSalesInIdOrder()
    {
        addCustomersAndProducts();
        test::exec("INSERT INTO turnover VALUES (5, 2, 4, 2.5, 2.95, CURDATE(), 17), "
                   "(3, 1, 2, 2.5, 2.95, CURDATE(), 16), (7, 3, 1, 2.5, 2.95, CURDATE(), 16), "
                   "(4, 1, 9, 2.5, 2.95, CURDATE() - INTERVAL 1 DAY, 16), "
                   "(6, 1, 9, 2.5, 2.95, CURDATE() + INTERVAL 1 DAY, 16)");
        test::exec("DELETE FROM products WHERE ID = 3"); // sale 7 loses its product

        mainWindow->mnu_Today_Click();
        QVERIFY(grid());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Today's Turnover"));
        QCOMPARE(column(grid(), 1), QStringLiteral("3|5"));
        QCOMPARE(column(grid(), 2), QStringLiteral("St. Ann|Bob")); // text keeps its points
        QCOMPARE(column(grid(), 7), QStringLiteral("2,50|2,50"));
        QCOMPARE(column(grid(), 9), QStringLiteral("Item 1|Item 2"));
    }

    void topFiveSumsQuantitiesLargestFirst()
    {
        addCustomersAndProducts();
        // Product p sells p units today and p units on another day: sums of 2p.
        test::exec(
            QStringLiteral("INSERT INTO turnover SELECT seq, seq DIV 2, seq DIV 2, 2.5, 2.95, "
                           "CURDATE() - INTERVAL seq % 2 DAY, 16 FROM seq_2_to_%1")
                .arg(2 * 7 + 1));
        mainWindow->mnu_Top5Prod_Click();
        QVERIFY(grid());
        QCOMPARE(window()->windowTitle(), QStringLiteral("TOP 5 Bestseller Product"));
        QCOMPARE(column(grid(), 1), QStringLiteral("7|6|5|4|3"));
        QCOMPARE(column(grid(), 8), QStringLiteral("14|12|10|8|6"));
    }

    // A report opened over a delete view replaces it and disarms the delete.
    void reportOverDeleteViewDisarms()
    {
        addCities(2);
        addCustomersAndProducts();
        test::exec("INSERT INTO turnover VALUES (1, 1, 2, 2.50, 2.95, CURDATE(), 16)");
        mainWindow->tlb_Toolbar_ButtonMenuClick(12); // Delete, City
        QVERIFY(M::DeleteMode);
        M::QrySQL = db::Statement("SELECT * FROM cities ;"); // Today must write its own statement
        mainWindow->mnu_Today_Click();
        QVERIFY(!M::DeleteMode);
        doubleClick(1, 1); // a report row is no record to act on
        QVERIFY(recorder->messages.empty());
    }

    // Closing the window, however it was opened, lowers every flag a double
    // click obeys: nothing stays armed for the next window.
    void closingLowersEveryFlag()
    {
        bool *flags[] = {&M::DeleteMode,           &M::EditTransPickCustomer,
                         &M::EditTransPickProduct, &M::AddTransPickCustomer,
                         &M::AddTransPickProduct,  &M::EditGridPick};
        addCities(1);
        for (bool *flag : flags) {
            ResultRequest request = cities();
            request.pickFlag = flag;
            request.onPick = [](const QStringList &) {};
            QVERIFY(Frm_QueryResults::Open(request));
            QVERIFY(*flag && M::QryPickHandOver);
            mainWindow->closeForm<Frm_QueryResults>();
            for (bool *raised : flags)
                QVERIFY(!*raised);
            QVERIFY(!M::QryPickHandOver);
        }
    }
};

QTEST_MAIN(TestQueryResults)
#include "tst_queryresults.moc"
