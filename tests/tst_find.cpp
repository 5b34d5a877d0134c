// The four find forms driven by the keyboard: what each criterion reads,
// what stops a search, and, against the test server, the edit grid each
// search opens: its rows and its own table's columns, a picked customer
// rather than their namesakes, values with quotes and backslashes.

#include "editing/Frm_EditCity.h"
#include "editing/Frm_EditCustomer.h"
#include "editing/Frm_EditProduct.h"
#include "editing/Frm_EditResults.h"
#include "editing/Frm_EditTransaction.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using test::column;
using test::control;

namespace {

// Two customers called Smith, a name with a quote, an address with a
// backslash; sales 21 to 24.
void addRecords()
{
    test::exec("INSERT INTO cities VALUES (1, 'BUD', 'Budapest', 1011, 'Hungary ', 'HUN'), "
               "(2, 'HAR', 'Harare', 0, 'Zimbabwe', 'ZWE'), "
               "(3, 'ABJ', 'C\u00f4te d''Ivoire', 0, 'C\u00f4te d''Ivoire ', 'CIV')");
    test::exec("INSERT INTO customers VALUES "
               "(16, 'Ann', 'Lee', 'Street 1', 'BUD', '361', 'a@b.c', '2', '2008-03-05', 'S1'), "
               "(17, 'Bob', 'Smith', 'Street 2', 'BUD', '1', 'b@b.c', '2', NULL, 'S2'), "
               "(18, 'Cid', 'Smith', 'Street 3', 'HAR', '1', 'c@b.c', '2', '2010-01-01', 'S3'), "
               "(19, 'Dan', 'O''Brien', 'Back\\\\slash 4', 'ABJ', '1', 'd@b.c', '2', NULL, 'S4')");
    test::exec("INSERT INTO products VALUES (11, 'Milk', 'Pcs', 100, 12.5, '599', '2008-03-05'), "
               "(12, 'Flour', 'Kgs', 50, 3, '600', NULL), "
               "(13, 'Sugar', 'Boxes', 20, 2.25, '601', '2009-01-02')");
    test::exec("INSERT INTO turnover VALUES (21, 11, 5, 12.5, 14.75, '2008-03-05', 16), "
               "(22, 12, 2, 3, 3.54, '2008-03-06', 17), (23, 13, 4, 2.25, 2.66, '2008-03-07', 18), "
               "(24, 11, 1, 12.5, 14.75, '2008-03-07', 18)");
}

const QString CityColumns = QStringLiteral("ID|Acronym|FullName|PostalCode|Country|CountryCode");
const QString CustomerColumns = QStringLiteral(
    "ID|FirstName|SurName|Address|City|Telephone|Email|PersonalIDNo|Joined|ShippingAddress");
const QString ProductColumns =
    QStringLiteral("ID|Description|UM|Quantity|Price|BarCode|LastDelivery");
const QString SalesColumns =
    QStringLiteral("ID|FirstName|SurName|Date|Quantity|UM|Price|PricewTax|Description");

QString headers(const FlexGrid *grid)
{
    QStringList texts;
    for (int c = 1; c < grid->Cols() && !grid->TextMatrix(0, c).isEmpty(); ++c)
        texts.append(grid->TextMatrix(0, c));
    return texts.join('|');
}

} // namespace

class TestFind : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::RunningMainWindow> app;

    QStringList messages() const { return app->messages->texts(); }
    Frm_EditResults *grid() const { return app->main->findForm<Frm_EditResults>(); }

    // The find form a main-window command opens.
    QWidget *open(const QString &command)
    {
        test::trigger(app->main.get(), command);
        QMdiSubWindow *sub = app->main->mdiArea()->activeSubWindow();
        return FormHost::formOf(sub);
    }

    // Steps parted by "|": "control:keys" types the keys into the control
    // (a blank ticks a check box); a button's name alone presses it with
    // the space bar.
    void follow(QWidget *form, const QString &steps)
    {
        for (const QString &step : steps.split('|', Qt::SkipEmptyParts)) {
            const qsizetype colon = step.indexOf(':');
            QWidget *target = control(form, colon < 0 ? step : step.left(colon));
            test::type(target, colon < 0 ? QStringLiteral(" ") : step.mid(colon + 1));
            test::settle();
        }
    }

    // The edit grid is open on these rows and columns, the form that
    // opened it gone (others may stay open).
    void verifyGrid(const QString &ids, const QString &columns, int windows = 1)
    {
        QVERIFY2(grid(), qPrintable(messages().join('\n')));
        QCOMPARE(app->main->mdiArea()->subWindowList().size(), windows);
        QCOMPARE(column(control<FlexGrid>(grid(), "fxg_QueryResult"), 1), ids);
        QCOMPARE(headers(control<FlexGrid>(grid(), "fxg_QueryResult")), columns);
        QVERIFY(messages().isEmpty());
    }

private slots:
    void initTestCase()
    {
        app = std::make_unique<test::RunningMainWindow>();
        QVERIFY(app->show());
    }
    void init()
    {
        app->reset();
        addRecords();
    }
    void cleanupTestCase() { app.reset(); }

    // Every criterion reads its own input: ticked alone and filled in, it
    // is the one piece of the statement the grid opens on.
    void everyCriterionReadsItsOwnInput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("piece");
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const struct {
            const char *command, *steps, *piece;
        } rows[] = {
            {"mnu_ECity", "chk_ID: |txt_ID:7", "ID = '7'"},
            {"mnu_ECity", "chk_Acronym: |txt_Acronym:HAR", "Acronym = 'HAR'"},
            {"mnu_ECity", "chk_FullName: |txt_FullName:Harare", "FullName = 'Harare'"},
            {"mnu_ECity", "chk_PostalCode: |txt_PostalCode:1011", "PostalCode = '1011'"},
            {"mnu_ECity", "chk_CountryCode: |txt_CountryCode:ZWE", "CountryCode = 'ZWE'"},
            {"mnu_ECity", "chk_Country: |cmb_Country:Zim", "Country = 'Zimbabwe'"},
            {"mnu_ECustomer", "chk_ID: |txt_ID:16", "ID = '16'"},
            {"mnu_ECustomer", "chk_FirstName: |txt_FirstName:Ann", "FirstName = 'Ann'"},
            {"mnu_ECustomer", "chk_SurName: |txt_SurName:Lee", "SurName = 'Lee'"},
            {"mnu_ECustomer", "chk_Address: |txt_Address:St 1", "Address = 'St 1'"},
            {"mnu_ECustomer", "chk_City: |txt_City:BUD", "City = 'BUD'"},
            {"mnu_ECustomer", "chk_Telephone: |txt_Telephone:361", "Telephone = '361'"},
            {"mnu_ECustomer", "chk_Email: |txt_Email:a@b.c", "Email = 'a@b.c'"},
            {"mnu_ECustomer", "chk_PersonalIDNo: |txt_PersonalIDNo:2", "PersonalIDNo = '2'"},
            {"mnu_ECustomer", "chk_Joined: ", "Joined = '%1'"},
            {"mnu_ECustomer", "chk_ShippingAddress: |txt_ShippingAddress:S1",
             "ShippingAddress = 'S1'"},
            {"mnu_EProduct", "chk_ID: |txt_ID:11", "ID = '11'"},
            {"mnu_EProduct", "chk_Description: |txt_Description:Milk", "Description = 'Milk'"},
            {"mnu_EProduct", "chk_UM: |cmb_UM:Kg", "UM = 'Kgs'"},
            {"mnu_EProduct", "chk_Quantity: |txt_Quantity:50", "Quantity = '50'"},
            {"mnu_EProduct", "chk_Price: |txt_Price:2,25", "Price = 2.25"},
            {"mnu_EProduct", "chk_BarCode: |txt_BarCode:600", "BarCode = '600'"},
            {"mnu_EProduct", "chk_LastDelivery: ", "LastDelivery = '%1'"},
            {"mnu_ETransaction", "chk_ID: |txt_ID:21", "and turnover.ID = '21' "},
            {"mnu_ETransaction", "chk_Quantity: |txt_Quantity:4", "and turnover.Quantity = '4' "},
            {"mnu_ETransaction", "chk_Price: |txt_Price:3", "and turnover.Price = 3.00 "},
            {"mnu_ETransaction", "chk_PricewTax: |txt_PricewTax:3,54",
             "and turnover.PricewTax = 3.54 "},
            {"mnu_ETransaction", "chk_Date: ", "and turnover.Date = '%1' "},
        };
        for (const auto &r : rows) {
            const QString piece = QString::fromUtf8(r.piece);
            QTest::addRow("%s %s", r.command, r.steps)
                << r.command << r.steps << (piece.contains("%1") ? piece.arg(today) : piece);
        }
    }
    void everyCriterionReadsItsOwnInput()
    {
        QFETCH(QString, command);
        QFETCH(QString, steps);
        QFETCH(QString, piece);
        follow(open(command), steps + "|cmd_Find");
        QVERIFY2(grid(), qPrintable(messages().join('\n')));
        const QString statement = M::EditSQL.rendered();
        QVERIFY2(statement.contains(piece), qPrintable(statement));
        QCOMPARE(statement.count(" = "), command == "mnu_ETransaction" ? 3 : 1);
    }

    // What stops a search: the form stays open as it was, no grid opens.
    void searchesThatStop_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("message");
        for (const char *command :
             {"mnu_ECity", "mnu_ECustomer", "mnu_EProduct", "mnu_ETransaction"})
            QTest::addRow("%s, nothing ticked", command) << command << ""
                                                         << "You haven't selected category!";
        const struct {
            const char *name, *command, *steps, *message;
        } rows[] = {
            {"no country", "mnu_ECity",
             "chk_Country: ", "You have selected Country, but type is not selected!"},
            {"the first empty one", "mnu_ECustomer", "chk_SurName: |chk_ID: |chk_ShippingAddress: ",
             "You have selected ID, but that is empty!"},
            {"blanks only", "mnu_ECustomer", "chk_FirstName: |txt_FirstName:   ",
             "You have selected First Name, but that is empty!"},
            {"no unit", "mnu_EProduct",
             "chk_Price: |chk_UM: ", "You have selected UM, but type is not selected!"},
            {"no amount", "mnu_EProduct", "chk_Price: |txt_Price:1,,5",
             "Price must be an amount such as 12,50!!!"},
            {"a chooser left without a pick", "mnu_ETransaction", "cmd_PickCust",
             "You have selected Customer , but that isn't picked!"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.command << r.steps << r.message;
    }
    void searchesThatStop()
    {
        QFETCH(QString, command);
        QFETCH(QString, steps);
        QFETCH(QString, message);
        QWidget *form = open(command);
        follow(form, steps);
        const auto ticked = [form] {
            QStringList names;
            for (const QCheckBox *box : form->findChildren<QCheckBox *>())
                if (box->isChecked())
                    names.append(box->objectName());
            return names;
        };
        const QStringList before = ticked();
        test::click(form, "cmd_Find");
        QCOMPARE(messages(), QStringList{message});
        QVERIFY(!grid());
        QVERIFY(!FormHost::isClosing(FormHost::subWindowOf(form)));
        QCOMPARE(ticked(), before);
    }

    // Typed into a ticked box: what it shows and how often it beeped; Esc
    // closes the form.
    void keysAndLimits_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        const struct {
            const char *command, *box, *typed, *shown;
            int beeps;
        } rows[] = {
            {"mnu_ECity", "txt_PostalCode", "10a1,1", "1011", 2},
            {"mnu_ECity", "txt_Acronym", "BUDA", "BUD", 0},
            {"mnu_ECity", "txt_CountryCode", "HUNG", "HUN", 0},
            {"mnu_ECustomer", "txt_Telephone", "+36 1", "361", 2},
            {"mnu_ECustomer", "txt_City", "BUDA", "BUD", 0},
            {"mnu_ECustomer", "txt_PersonalIDNo", "1-2", "12", 1},
            {"mnu_EProduct", "txt_ID", "1,2", "12", 1},
            {"mnu_EProduct", "txt_Price", "1,5", "1,5", 0},
            {"mnu_EProduct", "txt_BarCode", "5x9", "59", 1},
            {"mnu_ETransaction", "txt_Quantity", "3,0", "30", 1},
            {"mnu_ETransaction", "txt_PricewTax", "3,54", "3,54", 0},
        };
        for (const auto &r : rows)
            QTest::addRow("%s shows %s", r.box, r.shown)
                << r.command << r.box << r.typed << r.shown << r.beeps;
    }
    void keysAndLimits()
    {
        QFETCH(QString, command);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        QWidget *form = open(command);
        follow(form, "chk_" + box.mid(4) + ": |" + box + ':' + typed);
        QCOMPARE(control<QLineEdit>(form, box)->text(), shown);
        QCOMPARE(app->messages->beeps, beeps);
        QVERIFY(messages().isEmpty());
        QVERIFY(!grid());
        test::type(control(form, box), "\x1b");
        test::settle();
        QVERIFY(app->main->mdiArea()->subWindowList().isEmpty());
    }

    // A screen reader tells every field of the criteria by a name of its own.
    void everyFieldHasANameOfItsOwn_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command :
             {"mnu_ECity", "mnu_ECustomer", "mnu_EProduct", "mnu_ETransaction", "mnu_ProdStore"})
            QTest::newRow(command) << command;
    }
    void everyFieldHasANameOfItsOwn()
    {
        QFETCH(QString, command);
        QWidget *form = open(command);
        QStringList names;
        for (QWidget *field :
             form->findChildren<QWidget *>(QRegularExpression(QStringLiteral("^(txt|cmb|mntvw)_"))))
            names.append(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name));
        QVERIFY(names.size() >= 5);
        QVERIFY2(!names.contains(QString()), qPrintable(names.join('|')));
        QCOMPARE(names.removeDuplicates(), 0);
    }

    // A calendar and a box of several lines leave Esc to the form too.
    void escapeClosesFromEveryKindOfInput()
    {
        for (const auto &[command, focus] : {std::pair{"mnu_ECustomer", "txt_Address"},
                                             {"mnu_EProduct", "mntvw_LastDelivery"},
                                             {"mnu_ECity", "cmb_Country"}}) {
            QWidget *form = open(command);
            control(form, focus)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            test::settle();
            QVERIFY2(app->main->mdiArea()->subWindowList().isEmpty(), focus);
        }
    }

    // ---- with the records on the server ----------------------------------

    void searchesOpenTheGridOnTheirRecords_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("columns");
        const struct {
            const char *name, *command, *steps, *ids;
            const QString &columns;
        } rows[] = {
            {"city by a country with a quote", "mnu_ECity",
             "chk_Country: |cmb_Country:C\u00f4|cmd_Find", "3", CityColumns},
            {"city by name and country code", "mnu_ECity",
             "chk_CountryCode: |txt_CountryCode:CIV|chk_FullName: |txt_FullName:C\u00f4te "
             "d'Ivoire|cmd_Find",
             "3", CityColumns},
            {"every city", "mnu_ECity", "cmd_ShowAll", "1|2|3", CityColumns},
            {"customer by a name with a quote", "mnu_ECustomer",
             "chk_SurName: |txt_SurName:O'Brien|cmd_Find", "19", CustomerColumns},
            {"customer by an address with a backslash", "mnu_ECustomer",
             "chk_Address: |txt_Address:Back\\slash 4|cmd_Find", "19", CustomerColumns},
            {"every customer", "mnu_ECustomer", "cmd_ShowAll", "16|17|18|19", CustomerColumns},
            {"product by a price with a comma", "mnu_EProduct",
             "chk_Price: |txt_Price:12,5|cmd_Find", "11", ProductColumns},
            {"product by unit and quantity", "mnu_EProduct",
             "chk_UM: |cmb_UM:Kg|chk_Quantity: |txt_Quantity:50|cmd_Find", "12", ProductColumns},
            {"every product", "mnu_EProduct", "cmd_ShowAll", "11|12|13", ProductColumns},
            {"sales by price with tax and quantity", "mnu_ETransaction",
             "chk_PricewTax: |txt_PricewTax:14,75|chk_Quantity: |txt_Quantity:1|cmd_Find", "24",
             SalesColumns},
            {"every sale", "mnu_ETransaction", "cmd_ShowAll", "21|22|23|24", SalesColumns},
            // Enter on a criterion finds, wherever on it the keys are.
            {"Enter in a box", "mnu_ECity", "chk_FullName: |txt_FullName:Harare\n", "2",
             CityColumns},
            {"Enter in a numeric box", "mnu_ECustomer", "chk_ID: |txt_ID:16\n", "16",
             CustomerColumns},
            {"Enter in a list", "mnu_EProduct", "chk_UM: |cmb_UM:Kg\n", "12", ProductColumns},
            {"Enter in a calendar", "mnu_ETransaction", "chk_ID: |txt_ID:21|mntvw_Date:\n", "21",
             SalesColumns},
            {"Enter on a tick", "mnu_ECity", "chk_Acronym: |txt_Acronym:HAR|chk_Acronym:\n", "2",
             CityColumns},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.command << r.steps << r.ids << r.columns;
    }
    void searchesOpenTheGridOnTheirRecords()
    {
        QFETCH(QString, command);
        QFETCH(QString, steps);
        QFETCH(QString, ids);
        QFETCH(QString, columns);
        follow(open(command), steps);
        KESTREL_CHECK(verifyGrid(ids, columns));
        QCOMPARE(M::EditGridJoined, command == "mnu_ETransaction");
    }

    // A picked customer or product is that record, not every namesake;
    // a name typed over the pick is searched for as typed.
    void picksFindThePickedRecord_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typedOver");
        QTest::addColumn<QString>("ids");
        const struct {
            const char *name, *button;
            int row;
            const char *box, *shown, *typedOver, *ids;
        } rows[] = {
            {"Cid Smith", "cmd_PickCust", 3, "txt_Customer", "Smith", "", "23|24"},
            {"Bob Smith", "cmd_PickCust", 2, "txt_Customer", "Smith", "", "22"},
            {"Smith typed again is still Bob", "cmd_PickCust", 2, "txt_Customer", "Smith", "Smith",
             "22"},
            {"typed over with another name", "cmd_PickCust", 2, "txt_Customer", "Smith", "Lee",
             "21"},
            {"a product", "cmd_PickProd", 1, "txt_Product", "Milk", "", "21|24"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << r.button << r.row << r.box << r.shown << r.typedOver << r.ids;
    }
    void picksFindThePickedRecord()
    {
        QFETCH(QString, button);
        QFETCH(int, row);
        QFETCH(QString, box);
        QFETCH(QString, shown);
        QFETCH(QString, typedOver);
        QFETCH(QString, ids);
        QWidget *form = open("mnu_ETransaction");
        follow(form, button);
        KESTREL_CHECK(test::pickRow(row));
        auto *text = control<QLineEdit>(form, box);
        QCOMPARE(text->text(), shown);
        QVERIFY(text->hasFocus());
        if (!typedOver.isEmpty()) {
            text->selectAll();
            test::type(text, typedOver);
        }
        follow(form, "cmd_Find");
        KESTREL_CHECK(verifyGrid(ids, SalesColumns));
    }

    // A pick button gives way to its box until Reset, which closes the
    // chooser the form opened, brings both buttons back and forgets the
    // pick.
    void resetBringsThePickButtonsBack()
    {
        QWidget *form = open("mnu_ETransaction");
        follow(form, "cmd_PickCust");
        KESTREL_CHECK(test::pickRow(2));
        follow(form, "cmd_PickProd");
        QVERIFY(control<QCheckBox>(form, "chk_ProductID")->isChecked());
        QVERIFY(app->main->findForm<Frm_QueryResults>());
        const auto shown = [form](const char *name) { return control(form, name)->isVisible(); };
        QVERIFY(!shown("cmd_PickCust") && shown("txt_Customer"));
        QVERIFY(!shown("cmd_PickProd") && shown("txt_Product"));
        follow(form, "cmd_Reset");
        QVERIFY(!app->main->findForm<Frm_QueryResults>());
        QVERIFY(shown("cmd_PickCust") && !shown("txt_Customer"));
        QVERIFY(shown("cmd_PickProd") && !shown("txt_Product"));
        QVERIFY(control<QLineEdit>(form, "txt_Customer")->text().isEmpty());
        for (const QCheckBox *box : form->findChildren<QCheckBox *>())
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        // Bob Smith is forgotten: the name typed is every Smith.
        follow(form, "cmd_PickCust|txt_Customer:Smith|cmd_Find");
        KESTREL_CHECK(verifyGrid("22|23|24", SalesColumns));
    }

    // Two find forms open at once each open the grid with their own
    // columns; opening a find form closes the grid.
    void twoFindFormsKeepTheirOwnColumns()
    {
        QWidget *city = open("mnu_ECity");
        QWidget *product = open("mnu_EProduct");
        follow(city, "cmd_ShowAll");
        KESTREL_CHECK(verifyGrid("1|2|3", CityColumns, 2));
        open("mnu_ECustomer");
        QVERIFY(!grid());
        follow(product, "chk_ID: |txt_ID:13|cmd_Find");
        KESTREL_CHECK(verifyGrid("13", ProductColumns, 2));
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
