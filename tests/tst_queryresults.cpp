// The result window against the test server: loading, striping, column
// widths, the delete view, choosers handing their pick back, failures, and the
// main window's list commands.

#include "core/database/ConnectionCycle.h"
#include "core/shared/Formats.h"
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

    // A list of the cities; the row-header column's fraction first.
    static ResultRequest cities(const QStringList &fractions = {"0.02", "0.2", "0.7"})
    {
        const char *fields[] = {"ID",         "FullName", "Acronym",
                                "PostalCode", "Country",  "CountryCode"};
        ResultRequest request;
        request.statement = db::Statement("SELECT * FROM cities ORDER BY ID");
        request.caption = QStringLiteral("Cities");
        request.rowHeaderWidth = fractions[0];
        for (int j = 1; j < fractions.size(); ++j)
            request.columns.push_back({fields[j - 1], fractions[j]});
        return request;
    }
    QPointer<Frm_QueryResults> openCities(const QStringList &fractions = {"0.02", "0.2", "0.7"})
    {
        return Frm_QueryResults::Open(cities(fractions));
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

    void emptyResultShowsOneMergedMessageRow()
    {
        mainWindow->mnu_DCity_Click();
        QVERIFY(grid());
        QCOMPARE(grid()->Rows(), 2);
        for (int j = 1; j <= 6; ++j) {
            QCOMPARE(grid()->TextMatrix(1, j), Frm_QueryResults::NoItemsText);
            QCOMPARE(grid()->TextMatrix(0, j), QString());
        }
        QCOMPARE(grid()->columnSpan(0, 0), 6);
        QCOMPARE(M::ConnStat(), M::StatIdle);
        // The message row is no record: no delete question.
        doubleClick(1, 2);
        QVERIFY(recorder->messages.empty());
    }

    void rowsAreStripedStartingWithTheFirst()
    {
        addCities(3);
        QVERIFY(openCities());
        QCOMPARE(grid()->TextMatrix(0, 2), QStringLiteral("FullName"));
        QCOMPARE(column(grid(), 2), QStringLiteral("City 1|City 2|City 3"));
        for (int j = 1; j <= 2; ++j) {
            QCOMPARE(grid()->CellBackColor(1, j), QColor(200, 255, 230));
            QCOMPARE(grid()->CellBackColor(2, j), QColor());
            QCOMPARE(grid()->CellBackColor(3, j), QColor(200, 255, 230));
        }
        QCOMPARE(M::ConnStat(), M::StatIdle);
    }

    void failingRequestReportsAndCloses_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("field");
        QTest::newRow("missing table") << "SELECT * FROM no_such_table ;"
                                       << "FullName";
        QTest::newRow("missing field") << "SELECT * FROM cities ;"
                                       << "NoSuchField";
    }

    void failingRequestReportsAndCloses()
    {
        QFETCH(QString, sql);
        QFETCH(QString, field);
        addCities(2);
        ResultRequest request;
        request.statement = db::Statement(sql);
        request.columns = {{field, "0.2"}};
        QVERIFY(!Frm_QueryResults::Open(request));
        QCOMPARE(window(), nullptr);
        QCOMPARE(recorder->texts(), QStringList{db::ConnectionErrorText});
        QCOMPARE(M::ConnStat(), M::StatError);
    }

    void widthsFollowTheFractions_data()
    {
        QTest::addColumn<QStringList>("fractions");
        QTest::newRow("sum below one")
            << QStringList{"0.02", "0.1", "0.1", "0.1", "0.1", "0.05", "0.05"};
        QTest::newRow("sum above one")
            << QStringList{"0.05", "0.3", "0.3", "0.3", "0.3", "0.1", "0.1"};
        QTest::newRow("empty and unreadable count as 0")
            << QStringList{"", "0.2", "none", "0.3", "0,5", "0.2", "-0.1"};
    }

    void widthsFollowTheFractions()
    {
        QFETCH(QStringList, fractions);
        addCities(300); // enough for a vertical scroll bar, which the columns must leave room for
        QVERIFY(openCities(fractions));
        Frm_QueryResults *form = window();
        FlexGrid *g = test::control<FlexGrid>(form, "fxg_QueryResult");
        double sum = 0;
        for (const QString &fraction : fractions)
            sum += std::max(fraction.toDouble(), 0.0);
        for (const QSize size : {QSize(600, 300), QSize(1000, 500)}) {
            QMdiSubWindow *sub = FormHost::subWindowOf(form);
            sub->resize(size + (sub->size() - form->size()));
            QCOMPARE(form->size(), size);
            // Frame and grid each leave 16 pixels of the width to their margins.
            QCOMPARE(test::control<QGroupBox>(form, "frm_QueryResult")->width(), size.width() - 16);
            QCOMPARE(g->width(), size.width() - 32);
            QTRY_VERIFY(g->verticalScrollBar()->isVisible());
            const int room = g->width() - 2 * g->frameWidth() - g->verticalScrollBar()->width();
            for (int j = 0; j <= 6; ++j) {
                // More than the whole grid is scaled down to the whole grid.
                const double expected =
                    std::max(fractions[j].toDouble(), 0.0) * room / std::max(sum, 1.0);
                QCOMPARE_LE(qAbs(g->ColWidth(j) - expected), 1.0);
            }
            QTRY_COMPARE(g->horizontalScrollBar()->maximum(), 0);
        }
        // Below the minimum the frame, the grid and the columns keep their last widths.
        const int firstColumn = g->ColWidth(1);
        form->resize(10, 5); // 150 twips wide: less than the frame's margins
        QCOMPARE(test::control<QGroupBox>(form, "frm_QueryResult")->width(), 1000 - 16);
        QCOMPARE(g->width(), 1000 - 32);
        QCOMPARE(g->ColWidth(1), firstColumn);
    }

    void deleteAsksAndDeletesOnlyOnYes()
    {
        addCustomersAndProducts();
        mainWindow->mnu_DCustomer_Click();
        QVERIFY(window());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete Customer"));
        QCOMPARE(column(grid(), 1), QStringLiteral("16|17|18"));
        // NULL shows empty; the zero date is no calendar day and shows as stored.
        QCOMPARE(column(grid(), 9), QStringLiteral("|2008. 03. 05.|0000-00-00"));

        recorder->answers = {M::MsgAnswer::No};
        doubleClick(2, 3);
        KESTREL_CHECK(expectDeleteQuestion("17"));
        // Below the last row there is no record to delete.
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {},
                           {20, grid()->viewport()->height() - 5});
        QVERIFY(recorder->messages.empty());
        QCOMPARE(idsIn("customers"), QStringLiteral("16|17|18"));
        doubleClick(2, 1); // an empty script answers Yes
        KESTREL_CHECK(expectDeleteQuestion("17"));
        // No refresh: the row stays, and the window stays in delete mode.
        QCOMPARE(idsIn("customers"), QStringLiteral("16|18"));
        QCOMPARE(column(grid(), 1), QStringLiteral("16|17|18"));

        // The next delete fails, and reports and closes like a failing load.
        test::exec("DROP TABLE customers");
        doubleClick(1, 1);
        QCOMPARE(recorder->texts(), (QStringList{"Are You sure You want to DELETE Row with ID #16",
                                                 db::ConnectionErrorText}));
        QCOMPARE(M::ConnStat(), M::StatError);
        QCOMPARE(window(), nullptr);
        QVERIFY(!M::DeleteMode);
    }

    // The whole delete without the mouse: arrows move the current row, Enter
    // or Delete asks, and a chooser picks with Enter. Reports ignore both.
    void keyboardActsOnTheCurrentRow_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Delete") << int(Qt::Key_Delete);
    }
    void keyboardActsOnTheCurrentRow()
    {
        QFETCH(int, key);
        addCities(3);
        mainWindow->mnu_DCity_Click();
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(grid()->Row(), 3);
        QTest::keyClick(grid(), Qt::Key_Up);
        QTest::keyClick(grid(), Qt::Key(key),
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        KESTREL_CHECK(expectDeleteQuestion("2"));
        QCOMPARE(idsIn("cities"), QStringLiteral("1|3"));

        mainWindow->mnu_Today_Click();
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key(key));
        QVERIFY(recorder->messages.empty());

        QString picked;
        ResultRequest chooser = cities();
        chooser.pickFlag = &M::AddTransPickProduct;
        chooser.onPick = [&](const QStringList &cells) { picked = cells[1]; };
        QVERIFY(Frm_QueryResults::Open(chooser));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key(key));
        test::settle();
        QCOMPARE(picked, key == Qt::Key_Delete ? QString() : QStringLiteral("3"));
        QCOMPARE(window() == nullptr, key != Qt::Key_Delete);
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
        QTest::newRow("customer with two sales")
            << "customers"
            << "" << 2 << refused.arg("customer", "17", "2 sales refer to it") << "16|17|18";
        QTest::newRow("customer with one sale")
            << "customers"
            << "" << 1 << refused.arg("customer", "16", "1 sale refers to it") << "16|17|18";
        QTest::newRow("customer without sales") << "customers"
                                                << "" << 3 << ""
                                                << "16|17";
        QTest::newRow("product with sales")
            << "products"
            << "" << 2 << refused.arg("product", "2", "2 sales refer to it") << "1|2|3|4|5|6|7|8";
        QTest::newRow("product without sales") << "products"
                                               << "" << 1 << ""
                                               << "2|3|4|5|6|7|8";
        QTest::newRow("city whose acronym customers use")
            << "cities"
            << "" << 1 << refused.arg("city", "1", "3 customers use its acronym") << "1|2";
        QTest::newRow("city whose acronym another city has too")
            << "cities"
            << "INSERT INTO cities VALUES (3, 'BUD', 'Buda', 1, 'Hungary ', 'HUN')" << 1 << ""
            << "2|3";
        QTest::newRow("city nobody uses") << "cities"
                                          << "" << 2 << ""
                                          << "1";
        QTest::newRow("customer deleted meanwhile")
            << "customers"
            << "DELETE FROM customers WHERE ID = 18" << 3 << "Row with ID #18 is already deleted!!!"
            << "16|17";
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

    // Rows whose names would have been code once quoted the old way, under
    // either server mode: the view lists them as they are and deletes the
    // one chosen only.
    void deleteViewWithHostileNames_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("default mode") << "";
        QTest::newRow("NO_BACKSLASH_ESCAPES")
            << "SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')";
    }
    void deleteViewWithHostileNames()
    {
        QFETCH(QString, mode);
        const QString first = "x' ,1,CHAR(73),CHAR(72,85,78))#", second = "x\\' OR 1=1 #";
        test::exec("INSERT INTO cities VALUES (1, 'x', 'x'' ,1,CHAR(73),CHAR(72,85,78))#', 1, "
                   "'Land', 'LND'), (2, 'y', 'x\\\\'' OR 1=1 #', 2, 'Land', 'LND'), "
                   "(3, 'C', 'Plain', 3, 'Land', 'LND')");
        QStringList params = test::testParams();
        params[7] = mode;
        M::ConnString = M::BuildConnectionString(params);
        mainWindow->mnu_DCity_Click();
        QVERIFY(grid());
        QCOMPARE(column(grid(), 3), first + '|' + second + "|Plain");
        doubleClick(2, 3);
        test::useTestDatabase();
        KESTREL_CHECK(expectDeleteQuestion("2"));
        QCOMPARE(idsIn("cities"), QStringLiteral("1|3"));
        QCOMPARE(test::scalar("SELECT FullName FROM cities WHERE ID = 1"), db::Value(first));
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
        const QString today = fmt::gridDate(
            QDate::fromString(test::scalar("SELECT CURDATE()").value_or(QString()), Qt::ISODate));
        QCOMPARE(column(grid(), 4), today + '|' + today);
        QCOMPARE(column(grid(), 7), QStringLiteral("2,50|2,50"));
        QCOMPARE(column(grid(), 9), QStringLiteral("Item 1|Item 2"));
    }

    void topFiveSumsQuantitiesLargestFirst_data()
    {
        QTest::addColumn<int>("products");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("sold");
        QTest::newRow("three sold") << 3 << "3|2|1"
                                    << "6|4|2";
        QTest::newRow("seven sold") << 7 << "7|6|5|4|3"
                                    << "14|12|10|8|6";
    }

    void topFiveSumsQuantitiesLargestFirst()
    {
        QFETCH(int, products);
        QFETCH(QString, ids);
        QFETCH(QString, sold);
        addCustomersAndProducts();
        // Product p sells p units today and p units on another day: sums of 2p.
        test::exec(
            QStringLiteral("INSERT INTO turnover SELECT seq, seq DIV 2, seq DIV 2, 2.5, 2.95, "
                           "CURDATE() - INTERVAL seq % 2 DAY, 16 FROM seq_2_to_%1")
                .arg(2 * products + 1));
        mainWindow->mnu_Top5Prod_Click();
        QVERIFY(grid());
        QCOMPARE(window()->windowTitle(), QStringLiteral("TOP 5 Bestseller Product"));
        QCOMPARE(column(grid(), 1), ids);
        QCOMPARE(column(grid(), 8), sold);
    }

    void deleteViewOverReportArmsAndReportOverDeleteViewDisarms()
    {
        addCities(2);
        addCustomersAndProducts();
        test::exec("INSERT INTO turnover VALUES (1, 1, 2, 2.50, 2.95, CURDATE(), 16)");
        mainWindow->tlb_Toolbar_ButtonClick(8); // Today's
        const QPointer<Frm_QueryResults> report = window();
        QVERIFY(report);

        mainWindow->tlb_Toolbar_ButtonMenuClick(12); // Delete, City
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!report);
        QCOMPARE(mainWindow->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete City"));
        QVERIFY(M::DeleteMode);
        QCOMPARE(M::DeleteTable, QStringLiteral("cities"));
        recorder->answers = {M::MsgAnswer::No};
        doubleClick(1, 2);
        KESTREL_CHECK(expectDeleteQuestion("1"));

        mainWindow->tlb_Toolbar_ButtonMenuClick(9); // Delete, Transaction
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete Transaction"));
        QCOMPARE(M::DeleteTable, QStringLiteral("turnover"));
        M::QrySQL = db::Statement("SELECT * FROM cities ;"); // Today must write its own statement
        mainWindow->mnu_Today_Click();
        QVERIFY(!M::DeleteMode);
        doubleClick(1, 1); // a report row is no record to act on
        QVERIFY(recorder->messages.empty());
    }

    // Closing the window, however it was opened, lowers every flag a double
    // click obeys: nothing stays armed for the next window.
    void closingLowersEveryFlag_data()
    {
        QTest::addColumn<int>("flag");
        const char *names[] = {"DeleteMode",           "EditTransPickCustomer",
                               "EditTransPickProduct", "AddTransPickCustomer",
                               "AddTransPickProduct",  "EditGridPick"};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(names[i]) << i;
    }
    void closingLowersEveryFlag()
    {
        QFETCH(int, flag);
        bool *flags[] = {&M::DeleteMode,           &M::EditTransPickCustomer,
                         &M::EditTransPickProduct, &M::AddTransPickCustomer,
                         &M::AddTransPickProduct,  &M::EditGridPick};
        addCities(1);
        ResultRequest request = cities();
        request.pickFlag = flags[flag];
        request.onPick = [](const QStringList &) {};
        QVERIFY(Frm_QueryResults::Open(request));
        QVERIFY(*flags[flag]);
        QVERIFY(M::QryPickHandOver);
        mainWindow->closeForm<Frm_QueryResults>();
        for (bool *raised : flags)
            QVERIFY(!*raised);
        QVERIFY(!M::QryPickHandOver);
    }

    // A chooser hands the picked row to its opener's function, then lowers
    // its flag and closes; the "No Items" row and a report hand nothing.
    void choosersHandThePickToTheirOpener()
    {
        addCustomersAndProducts();
        QStringList picked;
        int calls = 0;
        ResultRequest request = sql::pickCustomer();
        request.pickFlag = &M::AddTransPickCustomer;
        request.onPick = [&](const QStringList &cells) {
            picked = cells;
            ++calls;
            QVERIFY(!M::AddTransPickCustomer); // lowered before the opener acts
        };
        QVERIFY(Frm_QueryResults::Open(request));
        QCOMPARE(window()->windowTitle(), QStringLiteral("Pick Customer"));
        QCOMPARE(window()->mode(), Frm_QueryResults::Mode::AddTransPickCustomer);
        doubleClick(2, 3);
        test::settle();
        QCOMPARE(calls, 1);
        QCOMPARE(picked.size(), 11);
        QCOMPARE(picked.mid(1, 3), (QStringList{"17", "Bob", "Sur17"}));
        QCOMPARE(picked[10], QStringLiteral("Ship"));
        QCOMPARE(window(), nullptr);
        QVERIFY(recorder->messages.empty());

        test::exec("DELETE FROM customers");
        QVERIFY(Frm_QueryResults::Open(request));
        doubleClick(1, 1); // "No Items Found in DataBase"
        QCOMPARE(calls, 1);
        QVERIFY(window());
        QVERIFY(M::AddTransPickCustomer);
    }
};

QTEST_MAIN(TestQueryResults)
#include "tst_queryresults.moc"
