// The edit grid against the test server: loading, the in-cell editors driven
// by the keyboard, comparing, and saves that write only what the operator
// changed, pair rows with records by ID, never overwrite another user's
// change, move stock with a sale and keep every record as it was when
// anything is refused or fails.

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
#include <QRegularExpression>
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

// Everything the saves may touch: cities 1 to 3, sales 21 to 23 of
// products 11 to 13 to customers 16 to 18.
void addAll()
{
    addProducts();
    addCustomers();
    test::exec("INSERT INTO cities VALUES (1, 'BUD', 'Budapest', 1011, 'Hungary ', 'HUN'), "
               "(2, 'STJ', 'St. John''s', 0, 'Antigua and Barbuda', 'ATG'), "
               "(3, 'ATL', 'Poseidonia', 1, 'Atlantis', 'ATL')");
    test::exec("INSERT INTO turnover VALUES (21, 11, 5, 12.5, 14.75, '2008-03-05', 16), "
               "(22, 12, 2, 3, 3.54, '2008-03-06', 17), (23, 13, 4, 2.25, 2.66, '2008-03-07', 18)");
}

const char *fieldsOf(const QString &table)
{
    return table == "turnover"   ? "ID, ProductID, Quantity, Price, PricewTax, Date, CustomerID"
           : table == "products" ? "ID, Description, UM, Quantity, Price, BarCode, "
                                   "IFNULL(LastDelivery, 'NULL')"
           : table == "customers"
               ? "ID, FirstName, SurName, Address, City, Telephone, Email, PersonalIDNo, "
                 "IFNULL(Joined, 'NULL'), ShippingAddress"
               : "ID, Acronym, FullName, PostalCode, Country, CountryCode";
}

QString row(const QString &table, qint64 id)
{
    return scalar(QStringLiteral("SELECT CONCAT_WS('|', %1) FROM %2 WHERE ID = %3")
                      .arg(fieldsOf(table), table)
                      .arg(id))
        .value_or(QStringLiteral("gone"));
}

// Every record of the four tables, each as "table id|fields".
QStringList allRecords()
{
    QStringList records;
    for (const QString table : {"cities", "customers", "products", "turnover"}) {
        for (const QString &id : test::idsIn(table).split('|', Qt::SkipEmptyParts))
            records.append(table + ' ' + row(table, id.toLongLong()));
    }
    return records;
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
    // The in-cell editors.
    QLineEdit *txt() const { return test::control<QLineEdit>(window(), "txt"); }
    QComboBox *cmb_UM() const { return test::control<QComboBox>(window(), "cmb_UM"); }
    QComboBox *cmb_Country() const { return test::control<QComboBox>(window(), "cmb_Country"); }
    QDateEdit *dtp() const { return test::control<QDateEdit>(window(), "dtp"); }
    QPushButton *pickButton() const { return test::control<QPushButton>(window(), "cmd"); }

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
        QVERIFY(editor == txt());
        test::type(editor, keys + '\n');
    }

    // Runs the operator's steps: "row,col:keys" types keys into the cell's
    // text editor, "row,col>n" picks row n of the chooser the cell's button
    // opens. Returns the cell of the last step.
    QPoint run(const QStringList &steps)
    {
        QPoint cell;
        for (const QString &step : steps) {
            const qsizetype at = step.indexOf(QRegularExpression("[:>]"));
            const QStringList rc = step.left(at).split(',');
            cell = QPoint(rc[1].toInt(), rc[0].toInt());
            if (step[at] == ':') {
                editCell(cell.y(), cell.x(), step.mid(at + 1));
            } else {
                test::type(openEditor(cell.y(), cell.x()), "\n");
                test::pickRow(step.mid(at + 1).toInt());
            }
            if (QTest::currentTestFailed())
                break;
        }
        return cell;
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
        for (int j = 1; j <= 21; ++j)
            QCOMPARE(grid()->CellBackColor(j % 3 + 1, j / 3 + 1), j % 3 == 1 ? QColor() : Stripe);
        QCOMPARE(QPoint(grid()->Row(), grid()->Col()), QPoint(1, 2));
        // The columns beyond the request's seven are hidden: the arrow keys
        // stop at the last one.
        clickCell(1, 7);
        QTest::keyClick(grid(), Qt::Key_Right);
        QCOMPARE(grid()->Col(), 7);
        QVERIFY(grid()->isColumnHidden(7));
        // A list editor fits into a row.
        QCOMPARE_GE(grid()->rowHeight(0), cmb_UM()->sizeHint().height());
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
        addAll();
        QVERIFY(open(table));
        QWidget *editor = openEditor(1, col);
        QCOMPARE(editor, txt());
        // The editor lies exactly over its cell, in the cell's colour.
        QCOMPARE(QRect(editor->mapTo(window(), QPoint()), editor->size()),
                 QRect(grid()->mapTo(window(), grid()->cellRect(1, col).topLeft()),
                       grid()->cellRect(1, col).size()));
        QCOMPARE(txt()->palette().color(QPalette::Base), Stripe);
        QCOMPARE(txt()->cursorPosition(), txt()->text().size());
        test::type(editor, keys + '\n');
        QCOMPARE(grid()->TextMatrix(1, col), cell);
        QCOMPARE(app->messages->beeps, beeps);
        // Enter wrote the cell and moved down a row; the cell keeps its mark.
        QVERIFY(!editor->isVisible());
        QCOMPARE(grid()->Row(), 2);
        QCOMPARE(grid()->CellBackColor(1, col), Called);
    }

    // A typed key starts a new text where the column takes it; F2, Space and
    // a double click edit the cell's own, a text longer than the editor's
    // limit whole; Escape leaves the cell as it was, with its mark.
    void typedKeyStartsANewTextAndOtherWaysEditTheCellsOwn()
    {
        addProducts();
        test::exec("UPDATE products SET BarCode = '5991234567890123' WHERE ID = 11");
        QVERIFY(open("products"));
        clickCell(2, 2);
        QTest::keyClick(grid(), 'R');
        test::type(txt(), "ye\n");
        QCOMPARE(grid()->TextMatrix(2, 2), QStringLiteral("Rye"));
        clickCell(2, 4);
        QTest::keyClick(grid(), Qt::Key_X); // no quantity starts with a letter
        QVERIFY(!txt()->isVisible());
        QCOMPARE(app->messages->beeps, 1);
        QTest::keyClick(grid(), Qt::Key_7);
        QTest::keyClick(txt(), Qt::Key_Return);
        QCOMPARE(grid()->TextMatrix(2, 4), QStringLiteral("7"));
        clickCell(1, 6); // bar codes take ten typed digits
        QTest::keyClick(grid(), Qt::Key_F2);
        QCOMPARE(txt()->text(), QStringLiteral("5991234567890123"));
        QTest::keyClick(txt(), Qt::Key_Return);
        QCOMPARE(grid()->TextMatrix(1, 6), QStringLiteral("5991234567890123"));
        clickCell(3, 6);
        QTest::keyClick(grid(), Qt::Key_Space);
        QCOMPARE(txt()->text(), QStringLiteral("601"));
        test::type(txt(), "123\x1b");
        QVERIFY(!txt()->isVisible());
        QCOMPARE(grid()->TextMatrix(3, 6), QStringLiteral("601"));
        QCOMPARE(grid()->CellBackColor(3, 6), Called);
        QCOMPARE(grid()->Row(), 3);
        QVERIFY(grid()->hasFocus());
        const QPoint at = grid()->visualRect(grid()->gridModel()->indexOf(3, 2)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(txt()->isVisible());
        QCOMPARE(txt()->text(), QStringLiteral("Sugar"));
        QCOMPARE(app->messages->beeps, 1);
    }

    void unitListSelectsTheCellsUnitAndWritesTheChosenOne()
    {
        addProducts();
        QVERIFY(open("products"));
        auto *list = qobject_cast<QComboBox *>(openEditor(1, 3));
        QCOMPARE(list, cmb_UM());
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
        addAll();
        QVERIFY(open("cities"));
        const QString before = grid()->TextMatrix(row, 5);
        QWidget *list = openEditor(row, 5);
        QCOMPARE(list, cmb_Country());
        QCOMPARE(cmb_Country()->currentText(), selected);
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
        QCOMPARE(picker, dtp());
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

    // ---- saves ------------------------------------------------------------------

    // The operator's steps, then another user's statement, then a save:
    // exactly the records listed change (stock included), the saved cells
    // show what the server stored with their stripes back, and the same
    // cells changed again save without a conflict, as they are compared
    // with what was stored.
    void saveWritesExactlyWhatChanged_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("changed"); // "table ID|fields" as stored afterwards
        QTest::addColumn<QString>("shown");       // the last step's cell afterwards
        QTest::addColumn<QString>("status");
        const QString cyrillic = "\u041e'\u0411\u0440\u0430\u0439\u0435\u043d";
        const QString grin = QStringLiteral("\U0001F600");
        const QString bs4 = "\b\b\b\b", bs5 = "\b\b\b\b\b";
        // Steps and records apart by ";".
        const struct {
            const char *name, *table;
            QString steps, meanwhile, changed, shown, status = {};
        } rows[] = {
            {"city, a quote and Cyrillic letters", "cities", "2,3:" + bs4 + bs4 + bs4 + cyrillic,
             "", "cities 2|STJ|" + cyrillic + "|0|Antigua and Barbuda|ATG", cyrillic},
            {"acronym with a trailing blank", "cities", "1,2:\b\b\bAB ", "",
             "cities 1|AB|Budapest|1011|Hungary |HUN", "AB"},
            {"acronym of three emoji, the fourth not taken", "cities",
             "1,2:\b\b\b" + grin + grin + grin + grin, "",
             "cities 1|" + grin + grin + grin + "|Budapest|1011|Hungary |HUN", grin + grin + grin},
            {"customer e-mail; changed and changed back is not written", "customers",
             "3,7:5;3,7:\b;2,7:x", "", "customers 17|Bob|Kay|Street 2|BUD|1|b@b.cx|2|NULL|Ship 2",
             "b@b.cx"},
            {"product price with a comma, one decimal", "products", "2,5:" + bs5 + "1,5", "",
             "products 12|Flour|Kgs|50|1.50|600|NULL", "1,50"},
            {"another user's change of another field is merged", "products", "2,5:" + bs4 + "7",
             "UPDATE products SET BarCode = '777' WHERE ID = 12",
             "products 12|Flour|Kgs|50|7.00|777|NULL", "7,00",
             "Row 2 also shows a change another user saved meanwhile."},
            {"changed back leaves another user's change of it", "products", "3,6:4;3,6:\b;1,2:y",
             "UPDATE products SET BarCode = '602' WHERE ID = 13",
             "products 13|Sugar|Boxes|20|2.25|602|2009-01-02;"
             "products 11|Milky|Pcs|100|12.50|599|2008-03-05",
             "Milky"},
            {"sale price with tax, a third decimal of zero", "transactions", "2,8:" + bs4 + "4,100",
             "", "turnover 22|12|2|3.00|4.10|2008-03-06|17", "4,10"},
            // The last step's price saved again must find the price with tax
            // the grid showed after the first save.
            {"sale price brings its price with tax, both changed keep both", "transactions",
             "3,7:" + bs4 + "3;3,8:" + bs4 + "9,99;2,7:" + bs4 + "2,5", "",
             "turnover 22|12|2|2.50|2.95|2008-03-06|17;turnover 23|13|4|3.00|9.99|2008-03-07|18",
             "2,50"},
            {"picked product and customer, more sold of another", "transactions",
             "1,9>3;1,2>2;2,5:\b5", "",
             "turnover 21|13|5|12.50|14.75|2008-03-05|17;turnover 22|12|5|3.00|3.54|2008-03-06|17;"
             "products 11|Milk|Pcs|105|12.50|599|2008-03-05;products 12|Flour|Kgs|47|3.00|600|NULL;"
             "products 13|Sugar|Boxes|15|2.25|601|2009-01-02",
             "5"},
            {"exactly the stock there is", "transactions", "3,5:\b24", "",
             "turnover 23|13|24|2.25|2.66|2008-03-07|18;"
             "products 13|Sugar|Boxes|0|2.25|601|2009-01-02",
             "24"}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.table) << r.steps.split(';') << r.meanwhile
                                  << r.changed.split(';') << r.shown << r.status;
    }
    void saveWritesExactlyWhatChanged()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, steps);
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, changed);
        QFETCH(QString, shown);
        QFETCH(QString, status);
        addAll();
        app->main->statusBar()->clearMessage(); // an earlier test's note
        QStringList expected = allRecords();
        for (const QString &now : changed) {
            const QString key = now.section('|', 0, 0) + '|';
            const auto old = std::find_if(expected.begin(), expected.end(),
                                          [&](const QString &r) { return r.startsWith(key); });
            QVERIFY(old != expected.end());
            *old = now;
        }
        QVERIFY(open(table));
        QPoint cell;
        KESTREL_CHECK(cell = run(steps));
        if (!meanwhile.isEmpty())
            test::exec(meanwhile);
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(allRecords(), expected);
        QCOMPARE(grid()->TextMatrix(cell.y(), cell.x()), shown);
        QCOMPARE(grid()->CellBackColor(cell.y(), cell.x()), cell.y() % 2 ? Stripe : QColor());
        QCOMPARE(app->main->statusBar()->currentMessage(), status);
        KESTREL_CHECK(editCell(cell.y(), cell.x(), "\b1"));
        save();
        QCOMPARE(messages(), QStringList{Saved});
    }

    // A save refused for one record writes nothing, says why and marks the
    // cell to put right; the grid keeps every edit. Only a broken connection
    // closes the grid.
    void refusedSaveWritesNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QPoint>("marked"); // (col, row); null: the last step's; x < 0: none
        const QString nothing = "! Nothing was saved!!!";
        const struct {
            const char *name, *table;
            QString steps, meanwhile, message;
            QPoint marked = {};
        } rows[] = {
            {"another user changed the same cell", "products", "1,2:y;2,5:\b\b\b\b7",
             "UPDATE products SET Price = 9 WHERE ID = 12",
             "Records were changed by another user after they were loaded, so nothing was "
             "saved! Search again to load them anew!!!"},
            {"quantity below one", "transactions", "2,5:\b0", "",
             "Quantity of Flour (ID 12) can't be 0!!!"},
            {"more than the stock", "transactions", "1,7:\b\b\b\b\b1;3,5:\b25", "",
             "Not enough supplies in store of Sugar" + nothing, QPoint(-1, 0)},
            {"picked customer deleted", "transactions", "3,5:\b3;1,2>3",
             "DELETE FROM customers WHERE ID = 18",
             "The picked customer (ID 18) no longer exists" + nothing, QPoint(-1, 0)},
            {"picked product deleted", "transactions", "1,9>3",
             "DELETE FROM products WHERE ID = 13",
             "The picked product (ID 13) no longer exists" + nothing, QPoint(-1, 0)},
            {"the server refuses a value", "products", "1,2:a;2,2:b;3,2:c",
             "ALTER TABLE products ADD CONSTRAINT refuse CHECK (Description <> 'Sugarc')",
             "Row 3, Description: the database refused \"Sugarc\"" + nothing},
            {"a value the column cannot hold", "transactions", "2,5:\b1;1,8:,,", "",
             "Row 1, PricewTax: \"14,75,,\" is not a number" + nothing},
            {"254 nines", "transactions", "2,5:\b1;1,8:\b\b\b\b\b" + QString(254, u'9'), "",
             "Row 1, PricewTax: \"" + QString(37, u'9')
                 + "...\" is larger than 9999999999999,99, the largest amount Kestrel keeps "
                   "exactly"
                 + nothing},
            {"a broken connection", "products", "1,2:y", "DROP TABLE products",
             db::ConnectionErrorText}};
        for (const auto &r : rows)
            QTest::newRow(r.name) << QString(r.table) << r.steps.split(';') << r.meanwhile
                                  << r.message << r.marked;
    }
    void refusedSaveWritesNothing()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, steps);
        QFETCH(QString, meanwhile);
        QFETCH(QString, message);
        QFETCH(QPoint, marked);
        addAll();
        QVERIFY(open(table));
        QPoint cell;
        KESTREL_CHECK(cell = run(steps));
        const QString typed = grid()->TextMatrix(cell.y(), cell.x());
        if (!meanwhile.isEmpty())
            test::exec(meanwhile);
        const bool broken = message == db::ConnectionErrorText;
        const QStringList before = broken ? QStringList() : allRecords();
        save();
        QCOMPARE(messages(), QStringList{message});
        if (broken) {
            QCOMPARE(M::ConnStat(), M::StatError);
            test::settle();
            QCOMPARE(window(), nullptr);
            return;
        }
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QCOMPARE(allRecords(), before);
        QCOMPARE(grid()->TextMatrix(cell.y(), cell.x()), typed);
        if (!marked.isNull())
            cell = marked;
        if (cell.x() > 0)
            QCOMPARE(grid()->CellBackColor(cell.y(), cell.x()), Changed);
    }

    // The pick button opens the chooser; another cell edited meanwhile does
    // not move the pick; only the customer's ID is written, and a saved pick
    // is not sent again, so another user's later change stands.
    void pickedCustomerWritesOnlyTheCustomerID()
    {
        addAll();
        QVERIFY(open("transactions"));
        QWidget *button = openEditor(2, 3);
        QCOMPARE(button, pickButton());
        QCOMPARE(pickButton()->text(), QStringLiteral("Pick from DB"));
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(app->main->findForm<Frm_QueryResults>()->windowTitle(),
                 QStringLiteral("Pick Customer"));
        test::type(openEditor(3, 5), "\x1b");
        KESTREL_CHECK(test::pickRow(3)); // Cid Day, 18
        QCOMPARE(grid()->TextMatrix(2, 2) + ' ' + grid()->TextMatrix(2, 3),
                 QStringLiteral("Cid Day"));
        QStringList expected = allRecords();
        expected.replaceInStrings("turnover 22|12|2|3.00|3.54|2008-03-06|17",
                                  "turnover 22|12|2|3.00|3.54|2008-03-06|18");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(allRecords(), expected);
        test::exec("UPDATE turnover SET CustomerID = 16 WHERE ID = 22");
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("turnover", 22), QStringLiteral("22|12|2|3.00|3.54|2008-03-06|16"));
    }
};

QTEST_MAIN(TestEditGrid)
#include "tst_editgrid.moc"
