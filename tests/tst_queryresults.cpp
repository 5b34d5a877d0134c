// The result window and what it is built on: the grid widget, reading results
// from a real database, then loading, striping, column widths, the delete view,
// failures, and the main window's list commands.

#include "ConnectionCycle.h"
#include "FlexGrid.h"
#include "Formats.h"
#include "Frm_QueryResults.h"
#include "MDIfrm_main.h"
#include "TestSupport.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

QString idsIn(const QString &table)
{
    const db::Value ids = test::scalar("SELECT GROUP_CONCAT(ID ORDER BY ID SEPARATOR '|') FROM " + table);
    return ids.value_or(QString());
}

void addCities(int count)
{
    test::exec("INSERT INTO cities SELECT seq, 'C', CONCAT('City ', seq), seq, 'Land', 'LND' FROM seq_1_to_"
               + QString::number(count));
}

// Customers 16 "St. Ann" (joined: NULL), 17 Bob (a date) and 18 Cid (the zero
// date); products 1 to 8, "Item 1" to "Item 8". IDs unlike row numbers on purpose.
void addCustomersAndProducts()
{
    test::exec("INSERT INTO customers SELECT seq, ELT(seq - 15, 'St. Ann', 'Bob', 'Cid'), "
               "CONCAT('Sur', seq), 'Street 1', 'BUD', '1', 'a@b.c', '2', "
               "ELT(seq - 15, NULL, '2008-03-05', '0000-00-00'), 'Ship' FROM seq_16_to_18");
    test::exec("INSERT INTO products SELECT seq, CONCAT('Item ', seq), 'Pcs', 100, 1, '0', '2008-03-05' "
               "FROM seq_1_to_8");
}

QString column(FlexGrid *grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid->Rows(); ++r)
        texts.append(grid->TextMatrix(r, col));
    return texts.join('|');
}

} // namespace

class TestQueryResults : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::ScratchDir> scratch;
    std::unique_ptr<MDIfrm_main> mainWindow;
    std::unique_ptr<test::MessageRecorder> recorder;

    Frm_QueryResults *window() const { return mainWindow->findForm<Frm_QueryResults>(); }
    FlexGrid *grid() const { return window() ? window()->fxg_QueryResult : nullptr; }

    // A report of the cities; the row-header column's fraction first.
    QPointer<Frm_QueryResults> openCities(const QStringList &fractions = {"0.02", "0.2", "0.7"})
    {
        return Frm_QueryResults::Open([&] {
            const char *fields[] = {"ID", "FullName", "Acronym", "PostalCode", "Country", "CountryCode"};
            M::QrySQL = "SELECT * FROM cities ORDER BY ID";
            M::QryCaption = QStringLiteral("Cities");
            M::QryColCount = int(fractions.size()) - 1;
            M::QryCellNameFormat[0][M::SlotWidth] = fractions[0];
            for (int j = 1; j < fractions.size(); ++j)
                M::SetColumn(M::QryCellNameFormat, j, fields[j - 1], fractions[j]);
        });
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
        QCOMPARE(recorder->texts(), QStringList{"Are You sure You want to DELETE Row with ID #" + id});
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

    void gridCoordinatesRowsColoursAndMerging()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setTextMatrix(0, 1, "ID");
        grid.setTextMatrix(1, 1, "a");
        grid.AddItem("0\tb\tB");
        grid.AddItem("\td\tD");
        grid.AddItem("\tc\tC", 3);
        // Row 0 and column 0 are the view's headers; the cells start at 1, 1.
        QCOMPARE(grid.model()->rowCount(), 4);
        QCOMPARE(grid.model()->columnCount(), 2);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("0"));
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QStringLiteral("B"));
        QCOMPARE(column(&grid, 1), QStringLiteral("a|b|c|d"));

        grid.setCellBackColor(3, 2, Qt::red);
        grid.RemoveItem(2);
        grid.RemoveItem(0);            // the header row stays
        grid.setTextMatrix(9, 1, "x"); // outside the grid: nothing written
        QCOMPARE(column(&grid, 1), QStringLiteral("a|c|d"));
        QCOMPARE(grid.CellBackColor(2, 2), QColor(Qt::red)); // the colour moved up with its row
        QCOMPARE(grid.CellBackColor(3, 2), QColor());
        grid.setCols(2); // columns beyond the new count go, the rest stay
        grid.setCols(3);
        QCOMPARE(column(&grid, 1) + '/' + column(&grid, 2), QStringLiteral("a|c|d/||"));
        grid.setRows(2);
        grid.setRows(3);
        QCOMPARE(column(&grid, 1), QStringLiteral("a|"));

        // A merged row shows equal neighbours as one cell.
        grid.setCols(5);
        for (int c = 1; c <= 4; ++c)
            grid.setTextMatrix(1, c, c == 3 ? "other" : "same");
        grid.setMergeRow(1, true);
        QCOMPARE(grid.columnSpan(0, 0), 2);
        QCOMPARE(grid.columnSpan(0, 2), 1);
        grid.setMergeRow(1, false);
        QCOMPARE(grid.columnSpan(0, 0), 1);
    }

    void gridBulkRowsAppearTogetherAndSurviveRewriting()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(1);
        QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
        grid.beginBulkAppend();
        for (int r = 1; r <= 5000; ++r)
            grid.appendRow({QStringView(), u"x", QStringLiteral("row %1").arg(r)});
        QCOMPARE(grid.model()->rowCount(), 0);
        grid.endBulkAppend();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(grid.model()->rowCount(), 5000);
        // Enough rewriting for the grid to reclaim the space of dead texts.
        for (int round = 0; round < 40; ++round) {
            for (int r = 1; r <= 100; ++r)
                grid.setTextMatrix(r, 1, QString(500, QChar('a' + round)) + QString::number(r));
        }
        QCOMPARE(grid.TextMatrix(100, 1), QString(500, QChar('a' + 39)) + QStringLiteral("100"));
        for (int r = 1; r <= 5000; ++r)
            QCOMPARE(grid.TextMatrix(r, 2), QStringLiteral("row %1").arg(r));
    }

    void blocksAndSingleFieldsAgree()
    {
        // Rows come in blocks through bound buffers, or field by field once a
        // column (Notes) is too wide to bind. 2500 rows span more than one block.
        test::exec("CREATE TABLE fetched (ID INT PRIMARY KEY, Name VARCHAR(255), Amount DOUBLE(255,2), "
                   "Big DOUBLE, Day DATE, Notes LONGTEXT) CHARACTER SET utf8mb4");
        test::exec("INSERT INTO fetched SELECT seq, IF(seq % 7, CONCAT('name ', seq), NULL), "
                   "IF(seq % 7, seq / 4, NULL), seq * 1e300 / 1000, "
                   "IF(seq % 7, DATE '2008-03-05' + INTERVAL seq DAY, NULL), "
                   "IF(seq = 3, REPEAT('x', 100000), NULL) FROM seq_1_to_2500");
        const QString wide = QString::fromUtf8("\xF0\x9F\x90\xA6").repeated(255); // four bytes each in UTF-8
        test::exec("UPDATE fetched SET Name = '" + wide + "' WHERE ID = 1500");
        db::OdbcConnection connection(test::testConnectionString());
        const db::ResultSet blocks =
            connection.query("SELECT ID, Name, Amount, Big, Day FROM fetched ORDER BY ID");
        const db::ResultSet fields = connection.query("SELECT * FROM fetched ORDER BY ID");
        QCOMPARE(blocks.rows.size(), size_t(2500));
        QCOMPARE(fields.rows.size(), size_t(2500));
        for (size_t r = 0; r < blocks.rows.size(); ++r) {
            if (!std::equal(blocks.rows[r].begin(), blocks.rows[r].end(), fields.rows[r].begin()))
                QFAIL(qPrintable(QStringLiteral("row %1 differs").arg(r + 1)));
        }
        // Agreeing is not enough: both could be wrong the same way.
        QCOMPARE(blocks.rows[6][1], db::Value());
        QCOMPARE(blocks.rows[1499][1], db::Value(wide));
        QCOMPARE(blocks.rows[2499][3]->toDouble(), 2.5e300);
        QCOMPARE(fields.rows[2][5]->size(), 100000);
    }

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
        QTest::newRow("missing table") << "SELECT * FROM no_such_table ;" << "FullName";
        QTest::newRow("missing field") << "SELECT * FROM cities ;" << "NoSuchField";
    }

    void failingRequestReportsAndCloses()
    {
        QFETCH(QString, sql);
        QFETCH(QString, field);
        addCities(2);
        QVERIFY(!Frm_QueryResults::Open([&] {
            M::QrySQL = sql;
            M::QryColCount = 1;
            M::SetColumn(M::QryCellNameFormat, 1, field, "0.2");
        }));
        QCOMPARE(window(), nullptr);
        QCOMPARE(recorder->texts(), QStringList{db::ConnectionErrorText});
        QCOMPARE(M::ConnStat(), M::StatError);
    }

    void widthsFollowTheFractions_data()
    {
        QTest::addColumn<QStringList>("fractions");
        QTest::newRow("sum below one") << QStringList{"0.02", "0.1", "0.1", "0.1", "0.1", "0.05", "0.05"};
        QTest::newRow("sum above one") << QStringList{"0.05", "0.3", "0.3", "0.3", "0.3", "0.1", "0.1"};
        QTest::newRow("empty and unreadable count as 0")
            << QStringList{"", "0.2", "none", "0.3", "0,5", "0.2", "-0.1"};
    }

    void widthsFollowTheFractions()
    {
        QFETCH(QStringList, fractions);
        addCities(300); // enough for a vertical scroll bar, which the columns must leave room for
        QVERIFY(openCities(fractions));
        Frm_QueryResults *form = window();
        FlexGrid *g = form->fxg_QueryResult;
        double sum = 0;
        for (const QString &fraction : fractions)
            sum += std::max(fraction.toDouble(), 0.0);
        for (const QSize size : {QSize(600, 300), QSize(1000, 500)}) {
            form->parentWidget()->resize(size + (form->parentWidget()->size() - form->size()));
            QCOMPARE(form->size(), size);
            // Frame and grid each leave 16 pixels of the width to their margins.
            QCOMPARE(form->frm_QueryResult->width(), size.width() - 16);
            QCOMPARE(g->width(), size.width() - 32);
            QTRY_VERIFY(g->verticalScrollBar()->isVisible());
            const int room = g->width() - 2 * g->frameWidth() - g->verticalScrollBar()->width();
            for (int j = 0; j <= 6; ++j) {
                // More than the whole grid is scaled down to the whole grid.
                const double expected = std::max(fractions[j].toDouble(), 0.0) * room / std::max(sum, 1.0);
                QCOMPARE_LE(qAbs(g->ColWidth(j) - expected), 1.0);
            }
            QTRY_COMPARE(g->horizontalScrollBar()->maximum(), 0);
        }
        // Below the minimum the frame, the grid and the columns keep their last widths.
        const int firstColumn = g->ColWidth(1);
        form->resize(10, 5); // 150 twips wide: less than the frame's margins
        QCOMPARE(form->frm_QueryResult->width(), 1000 - 16);
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
        expectDeleteQuestion("17");
        // Below the last row there is no record to delete.
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, {20, grid()->viewport()->height() - 5});
        QVERIFY(recorder->messages.empty());
        QCOMPARE(idsIn("customers"), QStringLiteral("16|17|18"));
        doubleClick(2, 1); // an empty script answers Yes
        expectDeleteQuestion("17");
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

    void deleteTakesTheIdAsOneValue()
    {
        // Shown IDs that would, pasted into the statement unquoted, widen the
        // WHERE to every row.
        addCities(3);
        QVERIFY(Frm_QueryResults::Open([] {
            M::QrySQL = "SELECT CONCAT(ID, '\\' OR \\'1\\'=\\'1') AS ID FROM cities ORDER BY ID";
            M::QryColCount = 1;
            M::SetColumn(M::QryCellNameFormat, 1, "ID", "0.3");
            M::DeleteMode = true;
            M::DeleteTable = "cities";
        }));
        doubleClick(2, 1);
        expectDeleteQuestion("2' OR '1'='1");
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
        const QString today = fmt::gridDate(QDate::fromString(
            test::scalar("SELECT CURDATE()").value_or(QString()), Qt::ISODate));
        QCOMPARE(column(grid(), 4), today + '|' + today);
        QCOMPARE(column(grid(), 7), QStringLiteral("2,50|2,50"));
        QCOMPARE(column(grid(), 9), QStringLiteral("Item 1|Item 2"));
    }

    void topFiveSumsQuantitiesLargestFirst_data()
    {
        QTest::addColumn<int>("products");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("sold");
        QTest::newRow("three sold") << 3 << "3|2|1" << "6|4|2";
        QTest::newRow("seven sold") << 7 << "7|6|5|4|3" << "14|12|10|8|6";
    }

    void topFiveSumsQuantitiesLargestFirst()
    {
        QFETCH(int, products);
        QFETCH(QString, ids);
        QFETCH(QString, sold);
        addCustomersAndProducts();
        // Product p sells p units today and p units on another day: sums of 2p.
        test::exec(QStringLiteral("INSERT INTO turnover SELECT seq, seq DIV 2, seq DIV 2, 2.5, 2.95, "
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
        expectDeleteQuestion("1");

        mainWindow->tlb_Toolbar_ButtonMenuClick(9); // Delete, Transaction
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete Transaction"));
        QCOMPARE(M::DeleteTable, QStringLiteral("turnover"));
        M::QrySQL = "SELECT * FROM cities ;"; // Today must write its own statement
        mainWindow->mnu_Today_Click();
        QVERIFY(!M::DeleteMode);
        doubleClick(1, 1); // a report row is no record to act on
        QVERIFY(recorder->messages.empty());

        // A chooser closed without a pick leaves nothing armed for the next window.
        Frm_QueryResults::Open([] { M::AddTransPickCustomer = M::EditGridPick = true; });
        QCOMPARE(window()->mode(), Frm_QueryResults::Mode::EditGridPick);
        mainWindow->closeForm<Frm_QueryResults>();
        QVERIFY(!M::AddTransPickCustomer && !M::EditGridPick);
    }
};

QTEST_MAIN(TestQueryResults)
#include "tst_queryresults.moc"
