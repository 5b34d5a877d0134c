// The result window on a real database: loading, striping, column widths,
// the delete view, failures, and the main window's six list commands.

#include "ConnectionCycle.h"
#include "FlexGrid.h"
#include "Formats.h"
#include "Frm_QueryResults.h"
#include "MDIfrm_main.h"
#include "TestSupport.h"

#include <QGroupBox>
#include <QScrollBar>
#include <QTest>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

const QColor Stripe(200, 255, 230);

QStringList idsIn(const QString &table)
{
    QStringList ids;
    for (const db::Row &row : test::query("SELECT ID FROM " + table + " ORDER BY ID").rows)
        ids.append(row.front().value_or(QString()));
    return ids;
}

void addCities(int count)
{
    for (int i = 1; i <= count; ++i)
        test::exec(QStringLiteral("INSERT INTO cities VALUES (%1, 'C%1', 'City %1', %1, 'Land', 'LND')")
                       .arg(i));
}

void addCustomer(int id, const QString &first, const QString &sur, const QString &joined = "NULL")
{
    test::exec(QStringLiteral("INSERT INTO customers VALUES (%1, '%2', '%3', 'Street 1', 'BUD', '1', "
                              "'a@b.c', '2', %4, 'Ship %1')")
                   .arg(id)
                   .arg(first, sur, joined));
}

void addProduct(int id, const QString &description, const QString &price = "1.00")
{
    test::exec(QStringLiteral("INSERT INTO products VALUES (%1, '%2', 'Pcs', 100, %3, '0', '2008-03-05')")
                   .arg(id)
                   .arg(description, price));
}

void addSale(int id, int product, int customer, int quantity, const QString &date = "CURDATE()")
{
    test::exec(QStringLiteral("INSERT INTO turnover VALUES (%1, %2, %3, 2.50, 2.95, %4, %5)")
                   .arg(id)
                   .arg(product)
                   .arg(quantity)
                   .arg(date)
                   .arg(customer));
}

QStringList column(FlexGrid *grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid->Rows(); ++r)
        texts.append(grid->TextMatrix(r, col));
    return texts;
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

    // Opens a list of the cities' IDs and names as a report.
    QPointer<Frm_QueryResults> openCityList(const QString &sql = "SELECT * FROM cities ;")
    {
        return Frm_QueryResults::Open([sql] {
            M::QrySQL = sql;
            M::QryCaption = QStringLiteral("Cities");
            M::QryColCount = 2;
            M::QryCellNameFormat[0][M::SlotWidth] = "0.02";
            M::SetColumn(M::QryCellNameFormat, 1, "ID", "0.2");
            M::SetColumn(M::QryCellNameFormat, 2, "FullName", "0.7");
        });
    }

    void doubleClick(int row, int col)
    {
        FlexGrid *g = grid();
        QVERIFY(g);
        const QModelIndex index = g->gridModel()->indexOf(row, col);
        QVERIFY(index.isValid());
        g->scrollTo(index);
        const QPoint at = g->visualRect(index).center();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at);
    }

    int rowWithId(const QString &id)
    {
        const QStringList ids = column(grid(), 1);
        return int(ids.indexOf(id)) + 1;
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
        mainWindow->closeForm<Frm_QueryResults>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        recorder = std::make_unique<test::MessageRecorder>();
    }

    void cleanup()
    {
        recorder.reset();
        mainWindow->closeForm<Frm_QueryResults>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { mainWindow.reset(); }

    // ---- loading ----------------------------------------------------------

    void emptyResultShowsOneMergedMessageRow()
    {
        mainWindow->mnu_DCity_Click();
        FlexGrid *g = grid();
        QVERIFY(g);
        QCOMPARE(g->Rows(), 2);
        QCOMPARE(g->Cols(), 7);
        for (int j = 1; j <= 6; ++j) {
            QCOMPARE(g->TextMatrix(1, j), Frm_QueryResults::NoItemsText);
            QCOMPARE(g->TextMatrix(0, j), QString());
        }
        QVERIFY(g->MergeRow(1));
        QCOMPARE(g->columnSpan(0, 0), 6);
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QVERIFY(recorder->messages.empty());

        // The message row is no record: no delete question.
        doubleClick(1, 2);
        QVERIFY(recorder->messages.empty());
    }

    void rowsAreStripedStartingWithTheFirst()
    {
        addCities(3);
        QVERIFY(openCityList());
        FlexGrid *g = grid();
        QCOMPARE(g->Rows(), 4);
        QCOMPARE(g->TextMatrix(0, 1), QStringLiteral("ID"));
        QCOMPARE(g->TextMatrix(0, 2), QStringLiteral("FullName"));
        QCOMPARE(column(g, 1), (QStringList{"1", "2", "3"}));
        QCOMPARE(column(g, 2), (QStringList{"City 1", "City 2", "City 3"}));
        QCOMPARE(column(g, 0), (QStringList{"", "", ""}));
        for (int j = 1; j <= 2; ++j) {
            QCOMPARE(g->CellBackColor(1, j), Stripe);
            QCOMPARE(g->CellBackColor(2, j), QColor());
            QCOMPARE(g->CellBackColor(3, j), Stripe);
        }
        QCOMPARE(window()->windowTitle(), QStringLiteral("Cities"));
        QCOMPARE(M::ConnStat(), M::StatIdle);
    }

    void valuesReadInKestrelsConvention()
    {
        addCustomer(1, "Ann", "Lee", "NULL");
        addCustomer(2, "Bob", "O\\'Hara", "'2008-03-05'");
        Frm_QueryResults::Open([] {
            M::QrySQL = "SELECT * FROM customers ORDER BY ID";
            M::QryColCount = 3;
            M::SetColumn(M::QryCellNameFormat, 1, "SurName", "0.3");
            M::SetColumn(M::QryCellNameFormat, 2, "Joined", "0.3");
            M::SetColumn(M::QryCellNameFormat, 3, "Telephone", "0.3");
        });
        QVERIFY(grid());
        QCOMPARE(column(grid(), 1), (QStringList{"Lee", "O'Hara"}));
        QCOMPARE(column(grid(), 2), (QStringList{"", "2008. 03. 05."}));
        addProduct(1, "Tea", "12.5");
        Frm_QueryResults::Open([] {
            M::QrySQL = "SELECT * FROM products";
            M::QryColCount = 2;
            M::SetColumn(M::QryCellNameFormat, 1, "Price", "0.3");
            M::SetColumn(M::QryCellNameFormat, 2, "Quantity", "0.3");
        });
        QVERIFY(grid());
        QCOMPARE(grid()->TextMatrix(1, 1), QStringLiteral("12,50"));
        QCOMPARE(grid()->TextMatrix(1, 2), QStringLiteral("100"));
    }

    void failingRequestReportsAndCloses_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("secondField");
        QTest::newRow("missing table") << "SELECT * FROM no_such_table ;" << "FullName";
        QTest::newRow("missing field") << "SELECT * FROM cities ;" << "NoSuchField";
    }

    void failingRequestReportsAndCloses()
    {
        QFETCH(QString, sql);
        QFETCH(QString, secondField);
        addCities(2);
        const QPointer<Frm_QueryResults> opened = Frm_QueryResults::Open([&] {
            M::QrySQL = sql;
            M::QryColCount = 2;
            M::SetColumn(M::QryCellNameFormat, 1, "ID", "0.2");
            M::SetColumn(M::QryCellNameFormat, 2, secondField, "0.2");
        });
        QVERIFY(!opened);
        QCOMPARE(window(), nullptr);
        QCOMPARE(recorder->messages.size(), size_t(1));
        const M::Message &m = recorder->messages.front();
        QCOMPARE(m.text, db::ConnectionErrorText);
        QCOMPARE(m.title, db::ConnectionErrorTitle);
        QCOMPARE(m.icon, M::MsgIcon::Critical);
        QCOMPARE(M::ConnStat(), M::StatError);
    }

    // ---- widths -------------------------------------------------------------

    void halvesRoundToEven_data()
    {
        QTest::addColumn<QString>("fraction");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("width");
        QTest::newRow("2.5 down") << "0.5" << 5 << 2;
        QTest::newRow("3.5 up") << "0.5" << 7 << 4;
        QTest::newRow("1.5 up") << "0.125" << 12 << 2;
        QTest::newRow("below half") << "0.0795" << 10000 << 795;
        QTest::newRow("empty") << "" << 10000 << 0;
        QTest::newRow("not a number") << "wide" << 10000 << 0;
        QTest::newRow("decimal comma is no number") << "0,5" << 10000 << 0;
        QTest::newRow("negative") << "-0.1" << 10000 << 0;
    }

    void halvesRoundToEven()
    {
        QFETCH(QString, fraction);
        QFETCH(int, total);
        QFETCH(int, width);
        M::ColumnTable table;
        table[3][M::SlotWidth] = fraction;
        QCOMPARE(M::ColumnWidth(table, 3, total), width);
    }

    void widthsFollowTheFractions_data()
    {
        QTest::addColumn<QStringList>("fractions");
        QTest::newRow("delete view of cities")
            << QStringList{"0.02", "0.0426", "0.0426", "0.3408", "0.1278", "0.3408", "0.0852"};
        QTest::newRow("sum below one") << QStringList{"0.02", "0.1", "0.1", "0.1", "0.1", "0.05", "0.05"};
        QTest::newRow("sum above one") << QStringList{"0.05", "0.3", "0.3", "0.3", "0.3", "0.1", "0.1"};
        QTest::newRow("empty and unreadable count as 0")
            << QStringList{"", "0.2", "none", "0.3", "0,5", "0.2", "-0.1"};
    }

    void widthsFollowTheFractions()
    {
        QFETCH(QStringList, fractions);
        addCities(2);
        Frm_QueryResults::Open([&] {
            M::QrySQL = "SELECT * FROM cities";
            M::QryColCount = 6;
            const char *fields[] = {"ID", "Acronym", "FullName", "PostalCode", "Country", "CountryCode"};
            M::QryCellNameFormat[0][M::SlotWidth] = fractions[0];
            for (int j = 1; j <= 6; ++j)
                M::SetColumn(M::QryCellNameFormat, j, fields[j - 1], fractions[j]);
        });
        Frm_QueryResults *form = window();
        QVERIFY(form);
        for (const QSize size : {QSize(600, 300), QSize(1000, 500), QSize(700, 400)}) {
            form->parentWidget()->resize(size + (form->parentWidget()->size() - form->size()));
            QCOMPARE(form->size(), size);
            // Frame and grid each leave 16 pixels of the width to their margins.
            QCOMPARE(form->frm_QueryResult->width(), size.width() - 16);
            QCOMPARE(form->fxg_QueryResult->width(), size.width() - 32);
            // The columns share the grid less its border.
            const int gridWidth = form->fxg_QueryResult->width() - 2 * form->fxg_QueryResult->frameWidth();
            const auto share = [&](int j) { return std::max(fractions[j].toDouble(), 0.0); };
            double sum = 0;
            for (int j = 0; j <= 6; ++j)
                sum += share(j);
            for (int j = 0; j <= 6; ++j) {
                // More than the whole grid is scaled down to the whole grid.
                const double expected = share(j) * gridWidth / std::max(sum, 1.0);
                QVERIFY2(qAbs(form->fxg_QueryResult->ColWidth(j) - expected) <= 1.0,
                         qPrintable(QStringLiteral("column %1 at width %2: %3, expected %4")
                                        .arg(j)
                                        .arg(size.width())
                                        .arg(form->fxg_QueryResult->ColWidth(j))
                                        .arg(expected)));
            }
        }
    }

    void listsNeverScrollSideways_data()
    {
        QTest::addColumn<bool>("sales");
        QTest::newRow("cities, fractions adding up to 0.9998") << false;
        QTest::newRow("today's sales, fractions adding up to 1.0152") << true;
    }

    void listsNeverScrollSideways()
    {
        // Enough rows for a vertical scroll bar: the columns share what is
        // left beside it.
        QFETCH(bool, sales);
        if (sales) {
            addCustomer(1, "Ann", "Lee");
            addProduct(1, "Tea");
            test::exec("INSERT INTO turnover SELECT seq, 1, 1, 1, 1, CURDATE(), 1 FROM seq_1_to_300");
            mainWindow->mnu_Today_Click();
        } else {
            test::exec("INSERT INTO cities SELECT seq, 'C', CONCAT('City ', seq), seq, 'Land', 'LND' "
                       "FROM seq_1_to_300");
            mainWindow->mnu_DCity_Click();
        }
        Frm_QueryResults *form = window();
        QVERIFY(form);
        FlexGrid *g = form->fxg_QueryResult;
        QCOMPARE(g->Rows(), 301);
        form->parentWidget()->resize(900, 500);
        QTRY_VERIFY(g->verticalScrollBar()->isVisible());
        int total = 0;
        for (int j = 0; j < g->Cols(); ++j)
            total += g->ColWidth(j);
        const int room = g->width() - 2 * g->frameWidth() - g->verticalScrollBar()->width();
        QVERIFY2(total <= room && total >= room - 4,
                 qPrintable(QStringLiteral("columns %1, room %2").arg(total).arg(room)));
        QTRY_COMPARE(g->horizontalScrollBar()->maximum(), 0);
    }

    void frameKeepsItsWidthBelowTheMinimum()
    {
        QVERIFY(openCityList());
        Frm_QueryResults *form = window();
        form->resize(500, 300);
        const int frameWidth = form->frm_QueryResult->width();
        const int gridWidth = form->fxg_QueryResult->width();
        const int firstColumn = form->fxg_QueryResult->ColWidth(1);
        form->resize(10, 300); // 150 twips: less than the frame's margins
        QCOMPARE(form->frm_QueryResult->width(), frameWidth);
        QCOMPARE(form->fxg_QueryResult->width(), gridWidth);
        QCOMPARE(form->fxg_QueryResult->ColWidth(1), firstColumn);
        form->resize(10, 5); // and the height below its margin
        QVERIFY(form->frm_QueryResult->height() > 0);
        QVERIFY(form->fxg_QueryResult->height() > 0);
    }

    // ---- delete view --------------------------------------------------------

    void deleteAsksAndDeletesOnlyOnYes()
    {
        addCustomer(16, "Ann", "Lee");
        addCustomer(17, "Bob", "Ray");
        addCustomer(18, "Cid", "Fox");
        mainWindow->mnu_DCustomer_Click();
        QVERIFY(window());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete Customer"));

        recorder->answers = {M::MsgAnswer::No};
        doubleClick(rowWithId("17"), 3);
        QCOMPARE(recorder->messages.size(), size_t(1));
        const M::Message &question = recorder->messages.front();
        QCOMPARE(question.text, QStringLiteral("Are You sure You want to DELETE Row with ID #17"));
        QCOMPARE(question.buttons, M::MsgButtons::YesNo);
        QCOMPARE(question.icon, M::MsgIcon::Critical);
        QCOMPARE(question.title, QStringLiteral("Delete"));
        QCOMPARE(idsIn("customers"), (QStringList{"16", "17", "18"}));

        recorder->clear();
        recorder->answers = {M::MsgAnswer::Yes};
        doubleClick(rowWithId("17"), 1);
        QCOMPARE(recorder->texts(), QStringList{"Are You sure You want to DELETE Row with ID #17"});
        QCOMPARE(idsIn("customers"), (QStringList{"16", "18"}));
        QCOMPARE(M::ConnStat(), M::StatIdle);
        // No refresh: the row stays, and the window stays in delete mode.
        QCOMPARE(column(grid(), 1), (QStringList{"16", "17", "18"}));
        QVERIFY(window());
        QVERIFY(M::DeleteMode);

        recorder->clear();
        recorder->answers = {M::MsgAnswer::Yes};
        doubleClick(rowWithId("18"), 2);
        QCOMPARE(recorder->texts(), QStringList{"Are You sure You want to DELETE Row with ID #18"});
        QCOMPARE(idsIn("customers"), QStringList{"16"});
    }

    void deleteTakesTheIdAsOneValue()
    {
        // Shown IDs that would, pasted into the statement unquoted, widen the
        // WHERE to every row.
        addCities(3);
        Frm_QueryResults::Open([] {
            M::QrySQL = "SELECT CONCAT(ID, '\\' OR \\'1\\'=\\'1') AS ID, FullName FROM cities ORDER BY ID";
            M::QryColCount = 2;
            M::SetColumn(M::QryCellNameFormat, 1, "ID", "0.3");
            M::SetColumn(M::QryCellNameFormat, 2, "FullName", "0.3");
            M::DeleteMode = true;
            M::DeleteTable = "cities";
        });
        QVERIFY(grid());
        QCOMPARE(grid()->TextMatrix(2, 1), QStringLiteral("2' OR '1'='1"));
        recorder->answers = {M::MsgAnswer::Yes};
        doubleClick(2, 1);
        QCOMPARE(recorder->messages.front().text,
                 QStringLiteral("Are You sure You want to DELETE Row with ID #2' OR '1'='1"));
        // The server reads the whole quoted text as a number: row 2 only.
        QCOMPARE(idsIn("cities"), (QStringList{"1", "3"}));
    }

    void deleteFailureReportsAndCloses()
    {
        addCities(2);
        mainWindow->mnu_DCity_Click();
        QVERIFY(window());
        test::exec("DROP TABLE cities");
        recorder->answers = {M::MsgAnswer::Yes};
        doubleClick(1, 1);
        QCOMPARE(recorder->texts(),
                 (QStringList{"Are You sure You want to DELETE Row with ID #1", db::ConnectionErrorText}));
        QCOMPARE(M::ConnStat(), M::StatError);
        QCOMPARE(window(), nullptr);
        QVERIFY(!M::DeleteMode);
    }

    // ---- the two reports ----------------------------------------------------

    void todayListsTodaysJoinedSalesInIdOrder()
    {
        addCustomer(1, "Ann", "Lee");
        addCustomer(2, "Bob", "Ray");
        addProduct(1, "Tea");
        addProduct(2, "Rice");
        addProduct(3, "Salt");
        addSale(5, 2, 2, 4);
        addSale(3, 1, 1, 2);
        addSale(4, 1, 1, 9, "CURDATE() - INTERVAL 1 DAY");
        addSale(6, 1, 1, 9, "CURDATE() + INTERVAL 1 DAY");
        addSale(7, 3, 1, 1); // its product is deleted below
        test::exec("DELETE FROM products WHERE ID = 3");

        mainWindow->mnu_Today_Click();
        FlexGrid *g = grid();
        QVERIFY(g);
        QCOMPARE(window()->windowTitle(), QStringLiteral("Today's Turnover"));
        QCOMPARE(column(g, 1), (QStringList{"3", "5"}));
        QCOMPARE(column(g, 2), (QStringList{"Ann", "Bob"}));
        QCOMPARE(column(g, 3), (QStringList{"Lee", "Ray"}));
        const QString today = fmt::gridDate(QDate::fromString(
            test::scalar("SELECT CURDATE()").value_or(QString()), Qt::ISODate));
        QCOMPARE(column(g, 4), (QStringList{today, today}));
        QCOMPARE(column(g, 5), (QStringList{"2", "4"}));
        QCOMPARE(column(g, 7), (QStringList{"2,50", "2,50"}));
        QCOMPARE(column(g, 9), (QStringList{"Tea", "Rice"}));
        QCOMPARE(g->TextMatrix(0, 9), QStringLiteral("Description"));
    }

    void todayWithoutSalesSaysSo()
    {
        addCustomer(1, "Ann", "Lee");
        addProduct(1, "Tea");
        addSale(1, 1, 1, 2, "CURDATE() - INTERVAL 1 DAY");
        mainWindow->mnu_Today_Click();
        QVERIFY(grid());
        QCOMPARE(grid()->Rows(), 2);
        QCOMPARE(grid()->TextMatrix(1, 9), Frm_QueryResults::NoItemsText);
    }

    void topFiveSumsQuantitiesLargestFirst_data()
    {
        QTest::addColumn<int>("products");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("sold");
        // Product p sells p units on each of two days, so sums are 2p.
        QTest::newRow("three sold") << 3 << QStringList{"3", "2", "1"} << QStringList{"6", "4", "2"};
        QTest::newRow("seven sold") << 7 << QStringList{"7", "6", "5", "4", "3"}
                                    << QStringList{"14", "12", "10", "8", "6"};
    }

    void topFiveSumsQuantitiesLargestFirst()
    {
        QFETCH(int, products);
        QFETCH(QStringList, ids);
        QFETCH(QStringList, sold);
        addCustomer(1, "Ann", "Lee");
        for (int p = 1; p <= products + 1; ++p)
            addProduct(p, QStringLiteral("Item %1").arg(p));
        int sale = 1;
        for (int p = 1; p <= products; ++p) {
            addSale(sale++, p, 1, p);
            addSale(sale++, p, 1, p, "'2008-03-05'");
        }
        mainWindow->mnu_Top5Prod_Click();
        FlexGrid *g = grid();
        QVERIFY(g);
        QCOMPARE(window()->windowTitle(), QStringLiteral("TOP 5 Bestseller Product"));
        QCOMPARE(column(g, 1), ids);
        QCOMPARE(column(g, 8), sold);
        QCOMPARE(g->TextMatrix(1, 2), QStringLiteral("Item ") + ids.front());
        QCOMPARE(g->TextMatrix(0, 8), QStringLiteral("Sold"));
    }

    // ---- modes --------------------------------------------------------------

    void deleteViewOverReportArmsAndReportOverDeleteViewDisarms()
    {
        addCities(2);
        mainWindow->mnu_Today_Click();
        const QPointer<Frm_QueryResults> report = window();
        QVERIFY(report);
        QCOMPARE(report->mode(), Frm_QueryResults::Mode::Report);

        mainWindow->mnu_DCity_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!report);
        QCOMPARE(mainWindow->mdiArea()->subWindowList().size(), 1);
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete City"));
        QVERIFY(M::DeleteMode);
        QCOMPARE(M::DeleteTable, QStringLiteral("cities"));
        recorder->answers = {M::MsgAnswer::No};
        doubleClick(1, 2);
        QCOMPARE(recorder->texts(), QStringList{"Are You sure You want to DELETE Row with ID #1"});

        recorder->clear();
        M::QrySQL = "SELECT * FROM cities ;"; // Today must write its own statement
        mainWindow->mnu_Today_Click();
        QVERIFY(!M::DeleteMode);
        QCOMPARE(window()->mode(), Frm_QueryResults::Mode::Report);
        addCustomer(1, "Ann", "Lee");
        addProduct(1, "Tea");
        addSale(1, 1, 1, 2);
        mainWindow->mnu_Today_Click();
        doubleClick(1, 1);
        QVERIFY(recorder->messages.empty());
        QCOMPARE(idsIn("turnover"), QStringList{"1"});
    }

    void closingLowersEveryFlag()
    {
        addCities(1);
        // A chooser closed without a pick leaves nothing armed behind it.
        Frm_QueryResults::Open([] { M::AddTransPickCustomer = true; });
        QCOMPARE(window()->mode(), Frm_QueryResults::Mode::AddTransPickCustomer);
        mainWindow->closeForm<Frm_QueryResults>();
        QVERIFY(!M::AddTransPickCustomer);

        // And a flag raised before the caller's close does not survive it.
        M::EditGridPick = true;
        M::DeleteMode = true;
        QVERIFY(openCityList());
        QCOMPARE(window()->mode(), Frm_QueryResults::Mode::Report);
        QVERIFY(!M::EditGridPick);
        QVERIFY(!M::DeleteMode);
    }

    void toolbarRunsTheSameCommands()
    {
        addCities(1);
        mainWindow->tlb_Toolbar_ButtonMenuClick(12); // Delete, City
        QVERIFY(window());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete City"));
        mainWindow->tlb_Toolbar_ButtonClick(8); // Today's
        QCOMPARE(window()->windowTitle(), QStringLiteral("Today's Turnover"));
        mainWindow->tlb_Toolbar_ButtonMenuClick(9); // Delete, Transaction
        QCOMPARE(window()->windowTitle(), QStringLiteral("Delete Transaction"));
        QCOMPARE(M::DeleteTable, QStringLiteral("turnover"));
    }
};

QTEST_MAIN(TestQueryResults)
#include "tst_queryresults.moc"
