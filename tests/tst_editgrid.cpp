// The edit grid against the test server: loading, the in-cell editors driven
// by the keyboard, comparing, and saves that write only what the operator
// changed, pair rows with records by ID, never overwrite another user's
// change, move stock with a sale and keep every record as it was when
// anything fails.

#include "core/database/ConnectionCycle.h"
#include "core/statements/Edit.h"
#include "editing/Frm_EditResults.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using test::column;
using test::scalar;

namespace {

const QColor Stripe(200, 255, 230);
const QColor Called(0, 255, 255);
const QColor Changed(255, 0, 0);
const QString Saved = QStringLiteral("Changes have Saved!");
const QString Checked = QStringLiteral("Changes have checked!");

const QString SalesView = QStringLiteral(
    "SELECT turnover.ID,customers.SurName,customers.FirstName,turnover.Date,turnover.Quantity,"
    "products.UM,turnover.Price,turnover.PricewTax,products.Description FROM "
    "turnover,customers,products WHERE (products.ID = turnover.ProductID) and "
    "(customers.ID = turnover.CustomerID) order by turnover.ID;");

// Products 11 to 13, unlike their row numbers; Flour has no last delivery.
void addProducts()
{
    test::exec("INSERT INTO products VALUES (11, 'Milk', 'Pcs', 100, 12.5, '599', '2008-03-05'), "
               "(12, 'Flour', 'Kgs', 50, 3, '600', NULL), "
               "(13, 'Sugar', 'Boxes', 20, 2.25, '601', '2009-01-02')");
}

void addCustomers()
{
    test::exec(
        "INSERT INTO customers VALUES "
        "(16, 'Ann', 'Lee', 'Street 1', 'BUD', '+36 1', 'a@b.c', '2', '2008-03-05', 'Ship 1'), "
        "(17, 'Bob', 'Kay', 'Street 2', 'BUD', '1', 'b@b.c', '2', NULL, 'Ship 2'), "
        "(18, 'Cid', 'Day', 'Street 3', 'DEB', '1', 'c@b.c', '2', '2010-01-01', 'Ship 3')");
}

void addCities()
{
    test::exec("INSERT INTO cities VALUES (1, 'BUD', 'Budapest', 1011, 'Hungary ', 'HUN'), "
               "(2, 'STJ', 'St. John''s', 0, 'Antigua and Barbuda', 'ATG'), "
               "(3, 'ATL', 'Poseidonia', 1, 'Atlantis', 'ATL')");
}

// Sales 21 to 23 of products 11 to 13, to customers 16 to 18.
void addSales()
{
    addProducts();
    addCustomers();
    test::exec("INSERT INTO turnover VALUES (21, 11, 5, 12.5, 14.75, '2008-03-05', 16), "
               "(22, 12, 2, 3, 3.54, '2008-03-06', 17), (23, 13, 4, 2.25, 2.66, '2008-03-07', 18)");
}

QString row(const QString &table, qint64 id)
{
    return scalar(QStringLiteral("SELECT CONCAT_WS('|', %1) FROM %2 WHERE ID = %3")
                      .arg(table == "turnover"
                               ? "ID, ProductID, Quantity, Price, PricewTax, Date, CustomerID"
                           : table == "products" ? "ID, Description, UM, Quantity, Price, BarCode, "
                                                   "IFNULL(LastDelivery, 'NULL')"
                           : table == "customers"
                               ? "ID, FirstName, SurName, Address, City, Telephone, Email, "
                                 "PersonalIDNo, IFNULL(Joined, 'NULL'), ShippingAddress"
                               : "ID, Acronym, FullName, PostalCode, Country, CountryCode",
                           table)
                      .arg(id))
        .value_or(QStringLiteral("gone"));
}

// Every record of a table, one per line.
QString table(const QString &name)
{
    QStringList rows;
    for (const QString &id : test::idsIn(name).split('|', Qt::SkipEmptyParts))
        rows.append(row(name, id.toLongLong()));
    return rows.join('\n');
}

QString stock(qint64 product)
{
    return scalar(QStringLiteral("SELECT Quantity FROM products WHERE ID = %1").arg(product))
        .value_or(QString());
}

EditRequest request(const QString &table)
{
    if (table == "cities")
        return sql::editCities(db::Statement("SELECT * FROM cities ORDER BY ID"));
    if (table == "customers")
        return sql::editCustomers(db::Statement("SELECT * FROM customers ORDER BY ID"));
    if (table == "products")
        return sql::editProducts(db::Statement("SELECT * FROM products ORDER BY ID"));
    return sql::editTransactions(db::Statement(SalesView));
}

} // namespace

class TestEditGrid : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::RunningMainWindow> app;

    Frm_EditResults *window() const { return app->main->findForm<Frm_EditResults>(); }
    FlexGrid *grid() const { return test::control<FlexGrid>(window(), "fxg_QueryResult"); }
    QStringList messages() const { return app->messages->texts(); }

    bool open(const QString &tableName)
    {
        const bool opened = Frm_EditResults::Open(request(tableName));
        test::settle();
        return opened;
    }

    void clickCell(int r, int c)
    {
        const QModelIndex index = grid()->gridModel()->indexOf(r, c);
        grid()->scrollTo(index);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(index).center());
    }

    // Opens the cell's editor with Enter, as the operator does.
    QWidget *openEditor(int r, int c)
    {
        clickCell(r, c);
        QTest::keyClick(grid(), Qt::Key_Return);
        return window()->ActiveEditor()->isVisible() ? window()->ActiveEditor() : nullptr;
    }

    // Opens the text editor on the cell, types, and leaves with Enter.
    void editCell(int r, int c, const QString &keys)
    {
        QWidget *editor = openEditor(r, c);
        QVERIFY(editor == test::control<QLineEdit>(window(), "txt"));
        test::type(editor, keys + '\n');
    }

    void save()
    {
        app->messages->clear();
        test::click(window(), "cmd_Save");
    }

private slots:
    void initTestCase()
    {
        app = std::make_unique<test::RunningMainWindow>();
        QVERIFY(app->show());
    }
    void init() { app->reset(); }
    void cleanupTestCase() { app.reset(); }

    // ---- loading ----------------------------------------------------------

    void loadShowsRowsStripedWithUnknownForNull()
    {
        addProducts();
        test::StatusTrail status;
        QVERIFY(open("products"));
        QCOMPARE(window()->windowTitle(), QStringLiteral("Edit Results"));
        QCOMPARE(status.seen, (QStringList{M::StatConnecting, M::StatConnected, M::StatIdle}));
        QCOMPARE(grid()->Rows(), 4);
        QCOMPARE(grid()->TextMatrix(0, 5), QStringLiteral("Price"));
        QCOMPARE(column(grid(), 1), QStringLiteral("11|12|13"));
        QCOMPARE(column(grid(), 5), QStringLiteral("12,50|3,00|2,25"));
        QCOMPARE(column(grid(), 7), QStringLiteral("2008. 03. 05.|Unknow|2009. 01. 02."));
        for (int j = 1; j <= 7; ++j) {
            QCOMPARE(grid()->CellBackColor(1, j), Stripe);
            QCOMPARE(grid()->CellBackColor(2, j), QColor());
            QCOMPARE(grid()->CellBackColor(3, j), Stripe);
        }
        QCOMPARE(QPoint(grid()->Row(), grid()->Col()), QPoint(1, 2));
        // The columns beyond the request's seven are hidden: the arrow keys
        // stop at the last one.
        clickCell(1, 7);
        QTest::keyClick(grid(), Qt::Key_Right);
        QCOMPARE(grid()->Col(), 7);
        QVERIFY(grid()->isColumnHidden(7));
        // A list editor fits into a row.
        QCOMPARE_GE(grid()->rowHeight(0),
                    test::control<QComboBox>(window(), "cmb_UM")->sizeHint().height());
    }

    void emptyResultShowsAMessageRowAndOpensNoEditor()
    {
        QVERIFY(open("customers"));
        QCOMPARE(grid()->Rows(), 2);
        QCOMPARE(grid()->TextMatrix(0, 2), QStringLiteral("FirstName"));
        for (int j = 1; j <= 10; ++j) {
            QCOMPARE(grid()->TextMatrix(1, j), QStringLiteral("No Items Found in DataBase"));
            QCOMPARE(grid()->CellBackColor(1, j), Stripe);
        }
        QCOMPARE(grid()->columnSpan(0, 0), 10);
        QCOMPARE(openEditor(1, 2), nullptr);
        QTest::keyClick(grid(), Qt::Key_A);
        QVERIFY(!window()->ActiveEditor()->isVisible());
        // Nothing to compare or save.
        QVERIFY(!test::control<QPushButton>(window(), "cmd_Show")->isEnabled());
        QVERIFY(!test::control<QPushButton>(window(), "cmd_Save")->isEnabled());
    }

    void failingLoadReportsAndCloses_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("missing field") << "SELECT ID, Description FROM products";
        QTest::newRow("no ID to pair rows with")
            << "SELECT Description, UM, Quantity, Price, "
               "BarCode, LastDelivery, ID+0 AS Nr FROM products";
        QTest::newRow("missing table") << "SELECT * FROM no_such_table";
    }
    void failingLoadReportsAndCloses()
    {
        QFETCH(QString, sql);
        addProducts();
        EditRequest r = request("products");
        r.statement = db::Statement(sql);
        QVERIFY(!Frm_EditResults::Open(r));
        test::settle();
        QCOMPARE(window(), nullptr);
        QCOMPARE(messages(), QStringList{db::ConnectionErrorText});
        QCOMPARE(M::ConnStat(), M::StatError);
    }

    // ---- the editors --------------------------------------------------------

    // Keys typed into a cell's text editor and what reaches the cell.
    void textEditorKeepsItsFieldsLimitsAndFilters_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("beeps");
        QTest::newRow("quantity: digits only") << "products" << 4 << "1a2,"
                                               << "10012" << 2;
        QTest::newRow("price: the comma passes") << "products" << 5 << "\b\b\b\b\b13,5x"
                                                 << "13,5" << 1;
        QTest::newRow("city: three characters") << "customers" << 5 << "\b\b\bDEBRECEN"
                                                << "DEB" << 0;
        const QString grin = QStringLiteral("\U0001F600");
        QTest::newRow("city: three emoji, never half of one")
            << "customers" << 5 << "\b\b\b" + grin + grin + grin + grin << grin + grin + grin << 0;
        QTest::newRow("telephone: sixteen characters") << "customers" << 6 << "1234567890123"
                                                       << "+36 112345678901" << 0;
        // A stored text holding what the filter refuses can be edited, but
        // takes no more of it.
        QTest::newRow("telephone stored with a plus") << "customers" << 6 << "\b\b2x"
                                                      << "+362" << 1;
        QTest::newRow("sale quantity: sixteen digits")
            << "transactions" << 5 << "\b12345678901234567x"
            << "1234567890123456" << 1;
        QTest::newRow("product ID is locked") << "products" << 1 << "99"
                                              << "11" << 0;
        QTest::newRow("sale ID is locked") << "transactions" << 1 << "99"
                                           << "21" << 0;
        QTest::newRow("sale unit is locked") << "transactions" << 6 << "Kgs"
                                             << "Pcs" << 0;
    }
    void textEditorKeepsItsFieldsLimitsAndFilters()
    {
        QFETCH(QString, table);
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(QString, cell);
        QFETCH(int, beeps);
        addSales();
        QVERIFY(open(table));
        QWidget *editor = openEditor(1, col);
        QCOMPARE(editor, test::control<QLineEdit>(window(), "txt"));
        // The editor lies exactly over its cell, in the cell's colour.
        QCOMPARE(QRect(editor->mapTo(window(), QPoint()), editor->size()),
                 QRect(grid()->mapTo(window(), grid()->cellRect(1, col).topLeft()),
                       grid()->cellRect(1, col).size()));
        QCOMPARE(test::control<QLineEdit>(window(), "txt")->palette().color(QPalette::Base),
                 Stripe);
        QCOMPARE(test::control<QLineEdit>(window(), "txt")->cursorPosition(),
                 test::control<QLineEdit>(window(), "txt")->text().size());
        test::type(editor, keys + '\n');
        QCOMPARE(grid()->TextMatrix(1, col), cell);
        QCOMPARE(app->messages->beeps, beeps);
        // Enter wrote the cell and moved down a row; the cell keeps its mark.
        QVERIFY(!editor->isVisible());
        QCOMPARE(grid()->Row(), 2);
        QCOMPARE(grid()->CellBackColor(1, col), Called);
    }

    void typedKeyStartsANewTextAndOtherWaysEditTheCellsOwn()
    {
        addProducts();
        QVERIFY(open("products"));
        clickCell(2, 2);
        QTest::keyClick(grid(), 'R');
        test::type(test::control<QLineEdit>(window(), "txt"), "ye\n");
        QCOMPARE(grid()->TextMatrix(2, 2), QStringLiteral("Rye"));
        clickCell(2, 4);
        QTest::keyClick(grid(), Qt::Key_X); // no quantity starts with a letter
        QVERIFY(!test::control<QLineEdit>(window(), "txt")->isVisible());
        QCOMPARE(app->messages->beeps, 1);
        QTest::keyClick(grid(), Qt::Key_7);
        QTest::keyClick(test::control<QLineEdit>(window(), "txt"), Qt::Key_Return);
        QCOMPARE(grid()->TextMatrix(2, 4), QStringLiteral("7"));
        // F2 and Space edit the cell's own text.
        clickCell(1, 6);
        QTest::keyClick(grid(), Qt::Key_F2);
        QCOMPARE(test::control<QLineEdit>(window(), "txt")->text(), QStringLiteral("599"));
        QTest::keyClick(test::control<QLineEdit>(window(), "txt"), Qt::Key_Escape);
        QTest::keyClick(grid(), Qt::Key_Space);
        QCOMPARE(test::control<QLineEdit>(window(), "txt")->text(), QStringLiteral("599"));
        // And so does a double click.
        QTest::keyClick(test::control<QLineEdit>(window(), "txt"), Qt::Key_Escape);
        const QPoint at = grid()->visualRect(grid()->gridModel()->indexOf(3, 2)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(test::control<QLineEdit>(window(), "txt")->isVisible());
        QCOMPARE(test::control<QLineEdit>(window(), "txt")->text(), QStringLiteral("Sugar"));
    }

    void escapeLeavesTheCellAndItsMark()
    {
        addProducts();
        QVERIFY(open("products"));
        QWidget *editor = openEditor(2, 2);
        test::type(editor, "xyz\x1b");
        QVERIFY(!editor->isVisible());
        QCOMPARE(grid()->TextMatrix(2, 2), QStringLiteral("Flour"));
        QCOMPARE(grid()->CellBackColor(2, 2), Called);
        QCOMPARE(grid()->Row(), 2);
        QVERIFY(grid()->hasFocus());
    }

    void textLongerThanTheLimitOpensWhole()
    {
        addProducts();
        test::exec("UPDATE products SET BarCode = '5991234567890123' WHERE ID = 11");
        QVERIFY(open("products"));
        QWidget *editor = openEditor(1, 6); // bar codes take ten typed digits
        QCOMPARE(test::control<QLineEdit>(window(), "txt")->text(),
                 QStringLiteral("5991234567890123"));
        test::type(editor, "4\n");
        QCOMPARE(grid()->TextMatrix(1, 6), QStringLiteral("5991234567890123"));
        QCOMPARE(app->messages->beeps, 0);
    }

    void unitListSelectsTheCellsUnitAndWritesTheChosenOne()
    {
        addProducts();
        QVERIFY(open("products"));
        auto *list = qobject_cast<QComboBox *>(openEditor(1, 3));
        QCOMPARE(list, test::control<QComboBox>(window(), "cmb_UM"));
        QCOMPARE(list->currentIndex(), 11); // "Pcs"
        QCOMPARE(list->height(), list->sizeHint().height());
        test::type(list, "K\n");
        QCOMPARE(grid()->TextMatrix(1, 3), QStringLiteral("Kgs"));
        QCOMPARE(grid()->Row(), 2);
        // Choosing from the list ends the edit at once.
        list = qobject_cast<QComboBox *>(openEditor(3, 3));
        QCOMPARE(list->currentText(), QStringLiteral("\u2022 Boxes"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down); // the next item: "Cans"
        QVERIFY(!list->isVisible());
        QCOMPARE(grid()->TextMatrix(3, 3), QStringLiteral("Cans"));
    }

    // A country list left as it opened leaves the cell as it was, whether
    // its name is in the list, there with a trailing blank, or not at all.
    void countryListLeavesWhatItDidNotChange_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("selected");
        QTest::newRow("listed") << 2 << "\u2022 Antigua and Barbuda";
        QTest::newRow("with a trailing blank") << 1 << "\u2022 Hungary";
        QTest::newRow("not in the list") << 3 << "";
    }
    void countryListLeavesWhatItDidNotChange()
    {
        QFETCH(int, row);
        QFETCH(QString, selected);
        addCities();
        QVERIFY(open("cities"));
        const QString before = grid()->TextMatrix(row, 5);
        QWidget *list = openEditor(row, 5);
        QCOMPARE(list, test::control<QComboBox>(window(), "cmb_Country"));
        QCOMPARE(test::control<QComboBox>(window(), "cmb_Country")->currentText(), selected);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(grid()->TextMatrix(row, 5), before);
        test::type(openEditor(row, 5), "Chad\n");
        QCOMPARE(grid()->TextMatrix(row, 5), QStringLiteral("Chad"));
    }

    void dateEditorStartsTodayOnUnknownAndWritesTheChosenDate()
    {
        addCustomers();
        QVERIFY(open("customers"));
        auto *picker = qobject_cast<QDateEdit *>(openEditor(2, 9));
        QCOMPARE(picker, test::control<QDateEdit>(window(), "dtp"));
        QCOMPARE(messages(), QStringList{"Unknow DATE!"});
        QCOMPARE(picker->date(), QDate::currentDate());
        // Left unchanged, the cell stays unknown.
        QTest::keyClick(picker, Qt::Key_Return);
        QCOMPARE(grid()->TextMatrix(2, 9), QStringLiteral("Unknow"));
        // A date chosen in the calendar is written at once.
        picker = qobject_cast<QDateEdit *>(openEditor(1, 9));
        QCOMPARE(picker->date(), QDate(2008, 3, 5));
        picker->calendarWidget()->setSelectedDate(QDate(2008, 3, 20));
        emit picker->calendarWidget()->clicked(QDate(2008, 3, 20));
        test::settle();
        QVERIFY(!picker->isVisible());
        QCOMPARE(grid()->TextMatrix(1, 9), QStringLiteral("2008. 03. 20."));
        // Keys step the date; Enter writes it.
        picker = qobject_cast<QDateEdit *>(openEditor(3, 9));
        picker->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(picker, Qt::Key_Up);
        QTest::keyClick(picker, Qt::Key_Return);
        QCOMPARE(grid()->TextMatrix(3, 9), QStringLiteral("2010. 01. 02."));
    }

    void scrollingDiscardsTheOpenEdit()
    {
        test::exec("INSERT INTO products SELECT seq, CONCAT('Item ', seq), 'Pcs', 1, 1, '0', NULL "
                   "FROM seq_1_to_300");
        QVERIFY(open("products"));
        QWidget *editor = openEditor(2, 2);
        QTest::keyClicks(editor, "changed");
        grid()->verticalScrollBar()->setValue(grid()->verticalScrollBar()->value() + 5);
        QVERIFY(!editor->isVisible());
        QCOMPARE(grid()->TextMatrix(2, 2), QStringLiteral("Item 2"));
    }

    // ---- compare and save -----------------------------------------------------

    void showChangesMarksWhatDiffersAndSaveWritesIt()
    {
        addProducts();
        QVERIFY(open("products"));
        test::click(window(), "cmd_Show");
        QCOMPARE(messages(), QStringList{Checked});
        QCOMPARE(grid()->CellBackColor(2, 7), QColor()); // "Unknow" is what NULL reads as
        editCell(1, 5, "\b\b\b\b\b13,5");
        editCell(2, 2, ""); // edited but equal: keeps its blue mark
        // An unknown date given one differs from the NULL stored.
        QWidget *picker = openEditor(2, 7);
        QTest::keyClick(picker, Qt::Key_Up);
        QTest::keyClick(picker, Qt::Key_Return);
        const QDate given = QDate::fromString(grid()->TextMatrix(2, 7), "yyyy. MM. dd.");
        QVERIFY(given.isValid());
        app->messages->clear();
        test::click(window(), "cmd_Show");
        QCOMPARE(messages(), QStringList{Checked});
        QCOMPARE(grid()->CellBackColor(1, 5), Changed);
        QCOMPARE(grid()->CellBackColor(2, 7), Changed);
        QCOMPARE(grid()->CellBackColor(2, 2), Called);
        // An edit still open when the button is pressed is saved with the rest.
        QTest::keyClicks(openEditor(3, 2), "x");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("products", 11), QStringLiteral("11|Milk|Pcs|100|13.50|599|2008-03-05"));
        QCOMPARE(row("products", 12), "12|Flour|Kgs|50|3.00|600|" + given.toString(Qt::ISODate));
        QCOMPARE(row("products", 13), QStringLiteral("13|Sugarx|Boxes|20|2.25|601|2009-01-02"));
        // Every mark gives way to the stripes.
        QCOMPARE(grid()->CellBackColor(1, 5), Stripe);
        QCOMPARE(grid()->CellBackColor(2, 2), QColor());
    }

    // A saved row shows what the server stored, not what was typed, and the
    // next save compares with that: no other user is seen where there is none.
    void savedRowsShowWhatTheServerStored_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        const QString grin = QStringLiteral("\U0001F600");
        const struct {
            const char *name, *table;
            int col;
            QString keys, shown;
        } rows[] = {{"acronym with a trailing blank", "cities", 2, "\b\b\bAB ", "AB"},
                    {"price of one decimal", "products", 5, "\b\b\b\b\b1,5", "1,50"},
                    {"acronym of three emoji, the fourth not taken", "cities", 2,
                     "\b\b\b" + grin + grin + grin + grin, grin + grin + grin},
                    {"quantity with leading zeros", "products", 4, "\b\b\b007", "7"},
                    {"price with tax, a third decimal of zero", "transactions", 8,
                     "\b\b\b\b\b14,750", "14,75"}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.table) << r.col << r.keys << r.shown;
    }
    void savedRowsShowWhatTheServerStored()
    {
        QFETCH(QString, table);
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        addSales();
        addCities();
        QVERIFY(open(table));
        KESTREL_CHECK(editCell(1, col, keys));
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(grid()->TextMatrix(1, col), shown);
        QCOMPARE(grid()->CellBackColor(1, col), Stripe);
        // The same cell changed again is compared with what was stored: no
        // conflict.
        KESTREL_CHECK(editCell(1, col, "\b1"));
        save();
        QCOMPARE(messages(), QStringList{Saved});
    }

    // A value its column cannot hold exactly is named before anything is
    // sent; the grid stays open with every edit.
    void valuesTheColumnCannotHoldAreNamed_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("message"); // after "Row 1, ", before "! Nothing was saved!!!"
        const struct {
            const char *name, *table;
            int col;
            QString keys, message;
        } rows[] = {
            {"254 nines", "transactions", 8, "\b\b\b\b\b" + QString(254, u'9'),
             "PricewTax: \"" + QString(37, u'9')
                 + "...\" is larger than 9999999999999,99, the "
                   "largest amount Kestrel keeps exactly"},
            {"a fraction of a cent", "products", 5, "\b\b\b\b\b1,999",
             "Price: \"1,999\" has more than two decimals"},
            {"quantity of 16 digits", "products", 4, "\b\b\b" + QString(16, u'9'),
             "Quantity: \"9999999999999999\" is not a whole number from 0 to 999999999999999"},
            {"two commas", "transactions", 8, ",,", "PricewTax: \"14,75,,\" is not a number"}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.table) << r.col << r.keys << r.message;
    }
    void valuesTheColumnCannotHoldAreNamed()
    {
        QFETCH(QString, table);
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(QString, message);
        addSales();
        const QString before = ::table("products") + ::table("turnover");
        QVERIFY(open(table));
        KESTREL_CHECK(editCell(2, 2 + (table == "transactions") * 3, "\b1"));
        KESTREL_CHECK(editCell(1, col, keys));
        const QString typed = grid()->TextMatrix(1, col);
        save();
        QCOMPARE(messages(), QStringList{"Row 1, " + message + "! Nothing was saved!!!"});
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QVERIFY(window());
        QCOMPARE(grid()->TextMatrix(1, col), typed);
        QCOMPARE(grid()->CellBackColor(1, col), Changed);
        QCOMPARE(::table("products") + ::table("turnover"), before);
    }

    // A quantity below one would sell nothing: refused as the sale form
    // refuses it, stock untouched. A new price brings the price with tax a
    // new sale would have; both changed, both are kept.
    void salesKeepTheSaleFormsRules()
    {
        addSales();
        QVERIFY(open("transactions"));
        KESTREL_CHECK(editCell(2, 5, "\b0"));
        save();
        QCOMPARE(messages(), QStringList{"Quantity of Flour (ID 12) can't be 0!!!"});
        QCOMPARE(grid()->CellBackColor(2, 5), Changed);
        QCOMPARE(row("turnover", 22), QStringLiteral("22|12|2|3.00|3.54|2008-03-06|17"));
        QCOMPARE(stock(12), QStringLiteral("50"));

        KESTREL_CHECK(editCell(2, 5, "\b2"));
        KESTREL_CHECK(editCell(2, 7, "\b\b\b\b2,5"));
        KESTREL_CHECK(editCell(3, 7, "\b\b\b\b3"));
        KESTREL_CHECK(editCell(3, 8, "\b\b\b\b9,99"));
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("turnover", 22), QStringLiteral("22|12|2|2.50|2.95|2008-03-06|17"));
        QCOMPARE(row("turnover", 23), QStringLiteral("23|13|4|3.00|9.99|2008-03-07|18"));
        QCOMPARE(grid()->TextMatrix(2, 8), QStringLiteral("2,95"));
        QVERIFY(app->main->statusBar()->currentMessage().isEmpty());
    }

    // One cell of each table changed: only that cell's record changes, and
    // its text is stored exactly.
    void saveWritesOnlyTheChangedRecord_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QString>("stored");
        QTest::newRow("city, a quote and Cyrillic letters")
            << "cities" << 3
            << "\b\b\b\b\b\b\b\b\b\b\b\b\u041e'\u0411\u0440\u0430\u0439\u0435\u043d" << qint64(2)
            << "2|STJ|\u041e'\u0411\u0440\u0430\u0439\u0435\u043d|0|Antigua and Barbuda|ATG";
        QTest::newRow("customer e-mail") << "customers" << 7 << "x" << qint64(17)
                                         << "17|Bob|Kay|Street 2|BUD|1|b@b.cx|2|NULL|Ship 2";
        QTest::newRow("product price with a comma")
            << "products" << 5 << "\b\b\b\b\b13,5" << qint64(12)
            << "12|Flour|Kgs|50|13.50|600|NULL";
        QTest::newRow("sale price with tax") << "transactions" << 8 << "\b\b\b\b4,1" << qint64(22)
                                             << "22|12|2|3.00|4.10|2008-03-06|17";
    }
    void saveWritesOnlyTheChangedRecord()
    {
        QFETCH(QString, table);
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(qint64, id);
        QFETCH(QString, stored);
        addSales();
        addCities();
        const QString name = table == "transactions" ? QStringLiteral("turnover") : table;
        const QString before = ::table(name);
        const QString old = row(name, id);
        QVERIFY(open(table));
        KESTREL_CHECK(editCell(2, col, keys));
        // Changed and changed back: not written.
        KESTREL_CHECK(editCell(3, col, "5"));
        KESTREL_CHECK(editCell(3, col, "\b"));
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(::table(name), QString(before).replace(old, stored));
        QCOMPARE(stock(11) + stock(12) + stock(13), QStringLiteral("1005020"));
    }

    // ---- other users ---------------------------------------------------------

    void anotherUsersChangeIsNeverOverwritten()
    {
        addProducts();
        QVERIFY(open("products"));
        editCell(1, 2, "y");
        editCell(2, 5, "\b\b\b\b7");
        test::exec("UPDATE products SET Price = 9 WHERE ID = 12");
        save();
        QCOMPARE(messages(), QStringList{"Records were changed by another user after they were "
                                         "loaded, so nothing was saved! Search again to load them "
                                         "anew!!!"});
        QCOMPARE(grid()->CellBackColor(2, 5), Changed);
        QCOMPARE(row("products", 11), QStringLiteral("11|Milk|Pcs|100|12.50|599|2008-03-05"));
        QCOMPARE(row("products", 12), QStringLiteral("12|Flour|Kgs|50|9.00|600|NULL"));
        // Another field of the record changed by someone else is no conflict
        // and stays as they left it.
        test::exec("UPDATE products SET Price = 3 WHERE ID = 12");
        test::exec("UPDATE products SET BarCode = '777' WHERE ID = 12");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("products", 12), QStringLiteral("12|Flour|Kgs|50|7.00|777|NULL"));
        QCOMPARE(row("products", 11), QStringLiteral("11|Milky|Pcs|100|12.50|599|2008-03-05"));
        // The grid shows the record as stored, the other user's change with
        // ours, and says so.
        QCOMPARE(grid()->TextMatrix(2, 6), QStringLiteral("777"));
        QCOMPARE(app->main->statusBar()->currentMessage(),
                 QStringLiteral("Row 2 also shows a change another user saved meanwhile."));
        // A cell changed and changed back is not written, so another user's
        // change of it meanwhile stands.
        editCell(3, 6, "4");
        editCell(3, 6, "\b");
        test::exec("UPDATE products SET BarCode = '602' WHERE ID = 13");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("products", 13), QStringLiteral("13|Sugar|Boxes|20|2.25|602|2009-01-02"));
        // Saved once, the rows compare with what was saved.
        test::exec("UPDATE products SET Price = 8 WHERE ID = 11");
        editCell(1, 2, "\b");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("products", 11), QStringLiteral("11|Milk|Pcs|100|8.00|599|2008-03-05"));
        QCOMPARE(grid()->TextMatrix(1, 5), QStringLiteral("8,00"));
    }

    void rowsFindTheirRecordsWhateverOthersDeleteOrInsert()
    {
        addProducts();
        QVERIFY(open("products"));
        editCell(1, 2, "1");
        editCell(2, 2, "2");
        editCell(3, 2, "3");
        test::exec("DELETE FROM products WHERE ID = 12");
        test::exec("INSERT INTO products VALUES (5, 'New', 'Pcs', 1, 1, '1', NULL)");
        test::click(window(), "cmd_Show");
        // The deleted record's row differs everywhere; the others only where edited.
        QCOMPARE(grid()->CellBackColor(2, 4), Changed);
        QCOMPARE(grid()->CellBackColor(3, 2), Changed);
        QCOMPARE(grid()->CellBackColor(3, 4), QColor(Stripe));
        QCOMPARE(grid()->CellBackColor(1, 4), QColor(Stripe)); // not paired with the new record
        save();
        QCOMPARE(messages(), (QStringList{"The record of row 2 was deleted by another user, so "
                                          "its changes were not saved!!!",
                                          Saved}));
        QCOMPARE(row("products", 11), QStringLiteral("11|Milk1|Pcs|100|12.50|599|2008-03-05"));
        QCOMPARE(row("products", 13), QStringLiteral("13|Sugar3|Boxes|20|2.25|601|2009-01-02"));
        QCOMPARE(row("products", 5), QStringLiteral("5|New|Pcs|1|1.00|1|NULL"));
        QCOMPARE(grid()->CellBackColor(2, 2), Changed);
        QCOMPARE(grid()->CellBackColor(3, 2), Stripe);
    }

    // ---- sales ---------------------------------------------------------------

    void pickedCustomerWritesOnlyTheCustomerID()
    {
        addSales();
        QVERIFY(open("transactions"));
        QWidget *button = openEditor(2, 3);
        QCOMPARE(button, test::control<QPushButton>(window(), "cmd"));
        QCOMPARE(test::control<QPushButton>(window(), "cmd")->text(),
                 QStringLiteral("Pick from DB"));
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(app->main->findForm<Frm_QueryResults>()->windowTitle(),
                 QStringLiteral("Pick Customer"));
        // Editing another cell meanwhile does not move the pick.
        test::type(openEditor(3, 5), "\x1b");
        KESTREL_CHECK(test::pickRow(3)); // Cid Day, 18
        QCOMPARE(grid()->TextMatrix(2, 2) + ' ' + grid()->TextMatrix(2, 3),
                 QStringLiteral("Cid Day"));
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("turnover", 22), QStringLiteral("22|12|2|3.00|3.54|2008-03-06|18"));
        QCOMPARE(row("customers", 17),
                 QStringLiteral("17|Bob|Kay|Street 2|BUD|1|b@b.c|2|NULL|Ship 2"));
        QCOMPARE(stock(12), QStringLiteral("50"));
        // A saved pick is not sent again: another user's later change stands.
        test::exec("UPDATE turnover SET CustomerID = 16 WHERE ID = 22");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("turnover", 22), QStringLiteral("22|12|2|3.00|3.54|2008-03-06|16"));
    }

    void pickedProductAndChangedQuantityMoveTheStock()
    {
        addSales();
        QVERIFY(open("transactions"));
        // Sale 21 changes product and customer: both IDs are written, and
        // product 11 gets its 5 back while 13 gives 5.
        test::type(openEditor(1, 9), "\n");
        KESTREL_CHECK(test::pickRow(3)); // Sugar, 13
        QCOMPARE(grid()->TextMatrix(1, 6), QStringLiteral("Boxes"));
        test::type(openEditor(1, 2), "\n");
        KESTREL_CHECK(test::pickRow(2)); // Bob Kay, 17
        // Sale 22 sells 3 more of product 12.
        editCell(2, 5, "\b5");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("turnover", 21), QStringLiteral("21|13|5|12.50|14.75|2008-03-05|17"));
        QCOMPARE(row("turnover", 22), QStringLiteral("22|12|5|3.00|3.54|2008-03-06|17"));
        QCOMPARE(stock(11) + '|' + stock(12) + '|' + stock(13), QStringLiteral("105|47|15"));
        // The unit shown with the product is not the sale's to write.
        QCOMPARE(row("products", 13), QStringLiteral("13|Sugar|Boxes|15|2.25|601|2009-01-02"));
    }

    // A customer or product picked for a sale and deleted before the save:
    // nothing is saved, so no sale points at a record that is gone.
    void pickDeletedMeanwhileIsRefused_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("record");
        QTest::newRow("customer") << 2 << "customers"
                                  << "customer (ID 18)"; // Cid Day
        QTest::newRow("product") << 9 << "products"
                                 << "product (ID 13)"; // Sugar
    }
    void pickDeletedMeanwhileIsRefused()
    {
        QFETCH(int, col);
        QFETCH(QString, table);
        QFETCH(QString, record);
        addSales();
        QVERIFY(open("transactions"));
        test::type(openEditor(1, col), "\n");
        KESTREL_CHECK(test::pickRow(3));
        test::exec("DELETE FROM " + table + " WHERE ID = " + record.section(' ', 2, 2).chopped(1));
        save();
        QCOMPARE(messages(),
                 QStringList{"The picked " + record + " no longer exists! Nothing was saved!!!"});
        QCOMPARE(row("turnover", 21), QStringLiteral("21|11|5|12.50|14.75|2008-03-05|16"));
        QCOMPARE(stock(11), QStringLiteral("100"));
    }

    void quantityAboveTheStockIsRefused()
    {
        addSales();
        QVERIFY(open("transactions"));
        editCell(1, 7, "\b\b\b\b\b1");
        editCell(3, 5, "\b25"); // Sugar: 20 in store and 4 sold; 25 would need 21
        save();
        QCOMPARE(messages(),
                 QStringList{"Not enough supplies in store of Sugar! Nothing was saved!!!"});
        QCOMPARE(table("turnover"), QStringLiteral("21|11|5|12.50|14.75|2008-03-05|16\n"
                                                   "22|12|2|3.00|3.54|2008-03-06|17\n"
                                                   "23|13|4|2.25|2.66|2008-03-07|18"));
        QCOMPARE(stock(13), QStringLiteral("20"));
        editCell(3, 5, "\b\b24"); // exactly what there is
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(stock(13), QStringLiteral("0"));
    }

    // The third record refuses the change the operator makes to it: that
    // value is named, nothing is written, the grid keeps every edit to be
    // put right. Only a broken connection closes the grid.
    void aRefusedValueIsNamedAndNothingIsWritten()
    {
        addProducts();
        test::exec("ALTER TABLE products ADD CONSTRAINT refuse CHECK (Description <> 'Sugarc')");
        const QString before = table("products");
        QVERIFY(open("products"));
        editCell(1, 2, "a");
        editCell(2, 2, "b");
        editCell(3, 2, "c");
        save();
        QCOMPARE(messages(), QStringList{"Row 3, Description: the database refused \"Sugarc\"! "
                                         "Nothing was saved!!!"});
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QCOMPARE(table("products"), before);
        QCOMPARE(column(grid(), 2), QStringLiteral("Milka|Flourb|Sugarc"));
        QCOMPARE(grid()->CellBackColor(3, 2), Changed);
        editCell(3, 2, "\bs");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(column(grid(), 2), QStringLiteral("Milka|Flourb|Sugars"));

        editCell(1, 2, "\b");
        test::exec("DROP TABLE products");
        save();
        QCOMPARE(messages(), QStringList{db::ConnectionErrorText});
        QCOMPARE(M::ConnStat(), M::StatError);
        test::settle();
        QCOMPARE(window(), nullptr);
    }

    void priceIsChangedAndSavedWithTheKeyboardAlone()
    {
        addProducts();
        QVERIFY(open("products"));
        grid()->setFocus();
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right})
            QTest::keyClick(grid(), key);
        QTest::keyClick(grid(), Qt::Key_Return);
        QWidget *editor = QApplication::focusWidget();
        QCOMPARE(editor, test::control<QLineEdit>(window(), "txt"));
        test::type(editor, "\b\b\b\b4,2\n");
        QVERIFY(grid()->hasFocus());
        QTest::keyClick(grid(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), test::control<QPushButton>(window(), "cmd_Save"));
        app->messages->clear();
        QTest::keyClick(test::control<QPushButton>(window(), "cmd_Save"), Qt::Key_Space);
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("products", 12), QStringLiteral("12|Flour|Kgs|50|4.20|600|NULL"));
    }
};

QTEST_MAIN(TestEditGrid)
#include "tst_editgrid.moc"
