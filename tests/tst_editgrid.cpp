// The edit grid against the test server: loading, the keyboard-driven cell
// editors, comparing, and saves that write only what changed, pair rows with
// records by ID and write nothing when anything is refused.

#include "core/database/ConnectionCycle.h"
#include "core/statements/Edit.h"
#include "editing/Frm_EditResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
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

// Cities 1 to 3, customers 16 to 18, products 11 to 13 (unlike their row
// numbers; Flour has no last delivery) and sales 21 to 23 of them.
void addAll()
{
    test::exec("INSERT INTO products VALUES (11, 'Milk', 'Pcs', 100, 12.5, '599', '2008-03-05'), "
               "(12, 'Flour', 'Kgs', 50, 3, '600', NULL), "
               "(13, 'Sugar', 'Boxes', 20, 2.25, '601', '2009-01-02')");
    test::exec(
        "INSERT INTO customers VALUES "
        "(16, 'Ann', 'Lee', 'Street 1', 'BUD', '+36 1', 'a@b.c', '2', '2008-03-05', 'Ship 1'), "
        "(17, 'Bob', 'Kay', 'Street 2', 'BUD', '1', 'b@b.c', '2', NULL, 'Ship 2'), "
        "(18, 'Cid', 'Day', 'Street 3', 'DEB', '1', 'c@b.c', '2', '2010-01-01', 'Ship 3')");
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
    QLineEdit *txt() const { return test::control<QLineEdit>(window(), "txt"); }

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

    // "row,col:keys" types into the cell's text editor, "row,col>n" picks row
    // n of the cell's chooser. Returns the cell of the last step.
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

    // NULL shows as "Unknow"; the arrow keys stop at the request's seventh
    // column. A typed key starts a new text where the column takes it; F2
    // edits the cell's own, longer than the editor's limit, whole; Escape
    // leaves it; the unit list starts on the cell's unit.
    void productsLoadAndEditByKeyboard()
    {
        addAll();
        test::exec("UPDATE products SET BarCode = '5991234567890123' WHERE ID = 11");
        QVERIFY(open("products"));
        QCOMPARE(column(grid(), 5), QStringLiteral("12,50|3,00|2,25"));
        QCOMPARE(column(grid(), 7), QStringLiteral("2008. 03. 05.|Unknow|2009. 01. 02."));
        clickCell(1, 7);
        QTest::keyClick(grid(), Qt::Key_Right);
        QCOMPARE(grid()->Col(), 7);
        clickCell(2, 2);
        QTest::keyClick(grid(), 'R');
        test::type(txt(), "ye\n");
        QCOMPARE(grid()->TextMatrix(2, 2), QStringLiteral("Rye"));
        clickCell(2, 4);
        QTest::keyClick(grid(), Qt::Key_X); // no quantity starts with a letter
        QVERIFY(!txt()->isVisible());
        QCOMPARE(app->messages->beeps, 1);
        clickCell(1, 6); // bar codes take ten typed digits
        QTest::keyClick(grid(), Qt::Key_F2);
        QCOMPARE(txt()->text(), QStringLiteral("5991234567890123"));
        test::type(txt(), "1\x1b");
        QCOMPARE(grid()->TextMatrix(1, 6), QStringLiteral("5991234567890123"));
        auto *list = qobject_cast<QComboBox *>(openEditor(1, 3));
        QCOMPARE(list->currentText(), QStringLiteral("\u2022 Pcs"));
        test::type(list, "K\n");
        QCOMPARE(grid()->TextMatrix(1, 3), QStringLiteral("Kgs"));
    }

    void emptyResultOpensNoEditorAndSavesNothing()
    {
        QVERIFY(open("customers"));
        QCOMPARE(grid()->TextMatrix(1, 2), QStringLiteral("No Items Found in DataBase"));
        QCOMPARE(openEditor(1, 2), nullptr);
        QVERIFY(!test::control<QPushButton>(window(), "cmd_Save")->isEnabled());
    }

    // A long grid opens with its first screen while the rest arrives; a cell
    // can be edited meanwhile. Esc stops the loading, keeping the rows that
    // came and the edit, which saves; a grid left to load gets every row.
    void longGridOpensAtOnceAndEscStopsItsLoading()
    {
        constexpr int Cities = 150000;
        test::exec(QStringLiteral("INSERT INTO cities SELECT seq, 'C', CONCAT('City ', seq), seq, "
                                  "'Land', 'LND' FROM seq_1_to_%1")
                       .arg(Cities));
        QVERIFY(open("cities"));
        QVERIFY(window()->isLoading());
        QVERIFY(grid()->Rows() > 100);
        QVERIFY(!test::control<QPushButton>(window(), "cmd_Save")->isEnabled());
        editCell(1, 3, "First");
        QTest::keyClick(grid(), Qt::Key_Escape);
        QVERIFY(!window()->isLoading());
        const qint64 stopped = window()->loadedRows();
        QVERIFY(stopped < Cities);
        QCOMPARE(grid()->Rows() - 1, stopped);
        save();
        QCOMPARE(messages(), QStringList{Saved});
        QCOMPARE(row("cities", 1), QStringLiteral("1|C|City 1First|1|Land|LND"));

        QVERIFY(open("cities"));
        QTRY_VERIFY_WITH_TIMEOUT(!window()->isLoading(), 20000);
        QCOMPARE(window()->loadedRows(), Cities);
        QCOMPARE(grid()->TextMatrix(Cities, 3), QStringLiteral("City %1").arg(Cities));
    }

    // Without the ID no row could be paired with its record.
    void loadWithoutIDsReportsAndCloses()
    {
        addAll();
        EditRequest r = request("products");
        r.statement = db::Statement("SELECT Description, UM, Quantity, Price, BarCode, "
                                    "LastDelivery, ID+0 AS Nr FROM products");
        QVERIFY(!Frm_EditResults::Open(r));
        test::settle();
        QCOMPARE(window(), nullptr);
        QCOMPARE(messages(), QStringList{db::ConnectionErrorText});
    }

    // Keys typed into a cell's text editor and what reaches the cell.
    void textEditorKeepsItsFieldsLimitsAndFilters_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("beeps");
        QTest::newRow("city: three characters") << "customers" << 5 << "\b\b\bDEBRECEN"
                                                << "DEB" << 0;
        QTest::newRow("sale quantity: sixteen digits")
            << "transactions" << 5 << "\b12345678901234567x"
            << "1234567890123456" << 1;
        QTest::newRow("product ID is locked") << "products" << 1 << "99"
                                              << "11" << 0;
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
        test::type(editor, keys + '\n');
        QCOMPARE(grid()->TextMatrix(1, col), cell);
        QCOMPARE(app->messages->beeps, beeps);
        // Enter wrote the cell and moved down a row; the cell keeps its mark.
        QVERIFY(!editor->isVisible());
        QCOMPARE(grid()->Row(), 2);
        QCOMPARE(grid()->CellBackColor(1, col), Called);
    }

    // A country list left as it opened leaves the cell as it was, whether
    // its name is there with a trailing blank or not at all.
    void countryListLeavesWhatItDidNotChange()
    {
        addAll();
        QVERIFY(open("cities"));
        for (const int row : {1, 3}) {
            const QString before = grid()->TextMatrix(row, 5);
            QTest::keyClick(openEditor(row, 5), Qt::Key_Return);
            QCOMPARE(grid()->TextMatrix(row, 5), before);
        }
        test::type(openEditor(3, 5), "Chad\n");
        QCOMPARE(grid()->TextMatrix(3, 5), QStringLiteral("Chad"));
    }

    void dateEditorStartsTodayAndLeftUnchangedKeepsUnknown()
    {
        addAll();
        QVERIFY(open("customers"));
        auto *picker = qobject_cast<QDateEdit *>(openEditor(2, 9));
        QCOMPARE(messages(), QStringList{"Unknow DATE!"});
        QCOMPARE(picker->date(), QDate::currentDate());
        // Left unchanged, the cell stays unknown.
        QTest::keyClick(picker, Qt::Key_Return);
        QCOMPARE(grid()->TextMatrix(2, 9), QStringLiteral("Unknow"));
    }

    void showChangesMarksWhatDiffersAndSaveWritesIt()
    {
        addAll();
        QVERIFY(open("products"));
        test::click(window(), "cmd_Show");
        QCOMPARE(grid()->CellBackColor(2, 7), QColor()); // "Unknow" is what NULL reads as
        editCell(1, 5, "\b\b\b\b\b13,5");
        editCell(2, 2, ""); // edited but equal: keeps its blue mark
        // An unknown date given one differs from the NULL stored.
        QWidget *picker = openEditor(2, 7);
        QTest::keyClick(picker, Qt::Key_Up);
        QTest::keyClick(picker, Qt::Key_Return);
        const QDate given = QDate::fromString(grid()->TextMatrix(2, 7), "yyyy. MM. dd.");
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
        QCOMPARE(grid()->CellBackColor(1, 5), Stripe); // every mark gives way
        // A record another user deleted leaves nothing of its row.
        test::exec("DELETE FROM products WHERE ID = 12");
        test::click(window(), "cmd_Show");
        QCOMPARE(grid()->CellBackColor(2, 3), Changed);
        QCOMPARE(grid()->CellBackColor(1, 3), Stripe);
    }

    void rowsFindTheirRecordsWhateverOthersDeleteOrInsert()
    {
        addAll();
        QVERIFY(open("products"));
        editCell(1, 2, "1");
        editCell(2, 2, "2");
        editCell(3, 2, "3");
        test::exec("DELETE FROM products WHERE ID = 12");
        test::exec("INSERT INTO products VALUES (5, 'New', 'Pcs', 1, 1, '1', NULL)");
        save();
        QCOMPARE(messages(), (QStringList{"The record of row 2 was deleted by another user, so "
                                          "its changes were not saved!!!",
                                          Saved}));
        QCOMPARE(row("products", 11), QStringLiteral("11|Milk1|Pcs|100|12.50|599|2008-03-05"));
        QCOMPARE(row("products", 13), QStringLiteral("13|Sugar3|Boxes|20|2.25|601|2009-01-02"));
        QCOMPARE(row("products", 5), QStringLiteral("5|New|Pcs|1|1.00|1|NULL"));
        QCOMPARE(grid()->CellBackColor(2, 2), Changed);
    }

    // Steps, another user's statement, a save: exactly the records listed
    // change (stock included), the cell shows what was stored, and changed
    // again it saves without a conflict.
    void saveWritesExactlyWhatChanged_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("changed"); // "table ID|fields" as stored afterwards
        QTest::addColumn<QString>("shown");       // the last step's cell afterwards
        QTest::addColumn<QString>("status");
        const QString cyrillic = "\u041e'\u0411\u0440\u0430\u0439\u0435\u043d";
        const QString bs4 = "\b\b\b\b";
        // Steps and records apart by ";".
        const struct {
            const char *name, *table;
            QString steps, meanwhile, changed, shown, status = {};
        } rows[] = {
            {"city, a quote and Cyrillic letters", "cities", "2,3:" + bs4 + bs4 + bs4 + cyrillic,
             "", "cities 2|STJ|" + cyrillic + "|0|Antigua and Barbuda|ATG", cyrillic},
            {"another user's change of another field is merged", "products", "2,5:" + bs4 + "7",
             "UPDATE products SET BarCode = '777' WHERE ID = 12",
             "products 12|Flour|Kgs|50|7.00|777|NULL", "7,00",
             "Row 2 also shows a change another user saved meanwhile."},
            {"changed back leaves another user's change of it", "products", "3,6:4;3,6:\b;1,2:y",
             "UPDATE products SET BarCode = '602' WHERE ID = 13",
             "products 13|Sugar|Boxes|20|2.25|602|2009-01-02;"
             "products 11|Milky|Pcs|100|12.50|599|2008-03-05",
             "Milky"},
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

    // A refused save writes nothing, says why, marks the cell and keeps every
    // edit. Only a broken connection closes the grid.
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
        } rows[] = {{"another user changed the same cell", "products", "1,2:y;2,5:\b\b\b\b7",
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

    // Another cell edited while the chooser is open does not move the pick; only the customer's ID
    // is written, and a saved pick is not sent again, so another user's later change stands.
    void pickedCustomerWritesOnlyTheCustomerID()
    {
        addAll();
        QVERIFY(open("transactions"));
        QWidget *button = openEditor(2, 3);
        QTest::keyClick(button, Qt::Key_Return);
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
