// The four find forms driven by the keyboard against the test server.

#include "editing/Frm_EditCity.h"
#include "editing/Frm_EditCustomer.h"
#include "editing/Frm_EditProduct.h"
#include "editing/Frm_EditResults.h"
#include "editing/Frm_EditTransaction.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using test::column;
using test::control;

namespace {

// Two customers called Smith, a name with a quote, an address with a
// backslash; sales 21 to 24. Customer 16, product 13 and sale 24 are
// today's, the day a calendar starts on.
void addRecords()
{
    test::exec("INSERT INTO cities VALUES (1, 'BUD', 'Budapest', 1011, 'Hungary ', 'HUN'), "
               "(2, 'HAR', 'Harare', 0, 'Zimbabwe', 'ZWE'), "
               "(3, 'ABJ', 'C\u00f4te d''Ivoire', 0, 'C\u00f4te d''Ivoire ', 'CIV')");
    test::exec("INSERT INTO customers VALUES "
               "(16, 'Ann', 'Lee', 'Street 1', 'BUD', '361', 'a@b.c', '2', CURDATE(), 'S1'), "
               "(17, 'Bob', 'Smith', 'Street 2', 'BUD', '1', 'b@b.c', '2', NULL, 'S2'), "
               "(18, 'Cid', 'Smith', 'Street 3', 'HAR', '1', 'c@b.c', '2', '2010-01-01', 'S3'), "
               "(19, 'Dan', 'O''Brien', 'Back\\\\slash 4', 'ABJ', '1', 'd@b.c', '2', NULL, 'S4')");
    test::exec("INSERT INTO products VALUES (11, 'Milk', 'Pcs', 100, 12.5, '599', '2008-03-05'), "
               "(12, 'Flour', 'Kgs', 50, 3, '600', NULL), "
               "(13, 'Sugar', 'Boxes', 20, 2.25, '601', CURDATE())");
    test::exec("INSERT INTO turnover VALUES (21, 11, 5, 12.5, 14.75, '2008-03-05', 16), "
               "(22, 12, 2, 3, 3.54, '2008-03-06', 17), (23, 13, 4, 2.25, 2.66, '2008-03-07', 18), "
               "(24, 11, 1, 12.5, 14.75, CURDATE(), 18)");
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

    // What stops a search: the form stays open as it was, no grid opens.
    void searchesThatStop_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("message");
        const struct {
            const char *name, *command, *steps, *message;
        } rows[] = {
            {"nothing ticked", "mnu_ETransaction", "", "You haven't selected category!"},
            {"no country", "mnu_ECity",
             "chk_Country: ", "You have selected Country, but type is not selected!"},
            {"the first empty one", "mnu_ECustomer", "chk_SurName: |chk_ID: |chk_ShippingAddress: ",
             "You have selected ID, but that is empty!"},
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
        test::click(form, "cmd_Find");
        QCOMPARE(messages(), QStringList{message});
        QVERIFY(!grid());
        QVERIFY(!FormHost::isClosing(FormHost::subWindowOf(form)));
    }

    // Esc closes a find form from every kind of input.
    void escapeClosesFromEveryKindOfInput()
    {
        for (const auto &[command, focus] : {std::pair{"mnu_ECustomer", "txt_Address"},
                                             {"mnu_ETransaction", "txt_Quantity"},
                                             {"mnu_EProduct", "mntvw_LastDelivery"},
                                             {"mnu_ECity", "cmb_Country"}}) {
            QWidget *form = open(command);
            control(form, focus)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            test::settle();
            QVERIFY2(app->main->mdiArea()->subWindowList().isEmpty(), focus);
        }
    }

    void searchesOpenTheGridOnTheirRecords_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QString>("columns");
        // Every criterion of a form ticked at once finds its one record only
        // if each reads its own input into its own column.
        const struct {
            const char *name, *command, *steps, *ids;
            const QString &columns;
        } rows[] = {
            {"city, every criterion", "mnu_ECity",
             "chk_ID: |txt_ID:1|chk_Acronym: |txt_Acronym:BUD|chk_FullName: |txt_FullName:Budapest|"
             "chk_PostalCode: |txt_PostalCode:1011|chk_Country: |cmb_Country:Hun|"
             "chk_CountryCode: |txt_CountryCode:HUN|cmd_Find",
             "1", CityColumns},
            {"customer, every criterion", "mnu_ECustomer",
             "chk_ID: |txt_ID:16|chk_FirstName: |txt_FirstName:Ann|chk_SurName: |txt_SurName:Lee|"
             "chk_Address: |txt_Address:Street 1|chk_City: |txt_City:BUD|chk_Telephone: |"
             "txt_Telephone:361|chk_Email: |txt_Email:a@b.c|chk_PersonalIDNo: |txt_PersonalIDNo:2|"
             "chk_Joined: |chk_ShippingAddress: |txt_ShippingAddress:S1|cmd_Find",
             "16", CustomerColumns},
            {"product, every criterion", "mnu_EProduct",
             "chk_ID: |txt_ID:13|chk_Description: |txt_Description:Sugar|chk_UM: |cmb_UM:Box|"
             "chk_Quantity: |txt_Quantity:20|chk_Price: |txt_Price:2,25|chk_BarCode: |"
             "txt_BarCode:601|chk_LastDelivery: |cmd_Find",
             "13", ProductColumns},
            {"sale, every criterion", "mnu_ETransaction",
             "chk_ID: |txt_ID:24|chk_Quantity: |txt_Quantity:1|chk_Price: |txt_Price:12,5|"
             "chk_PricewTax: |txt_PricewTax:14,75|chk_Date: |cmd_Find",
             "24", SalesColumns},
            {"city by a country with a quote", "mnu_ECity",
             "chk_Country: |cmb_Country:C\u00f4|cmd_Find", "3", CityColumns},
            {"customer by a name with a quote", "mnu_ECustomer",
             "chk_SurName: |txt_SurName:O'Brien|cmd_Find", "19", CustomerColumns},
            {"customer by an address with a backslash", "mnu_ECustomer",
             "chk_Address: |txt_Address:Back\\slash 4|cmd_Find", "19", CustomerColumns},
            {"every sale", "mnu_ETransaction", "cmd_ShowAll", "21|22|23|24", SalesColumns},
            // Enter on a criterion finds, wherever on it the keys are.
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
        QTest::addColumn<bool>("product");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typedOver");
        QTest::addColumn<QString>("ids");
        QTest::newRow("Cid Smith") << false << 3 << ""
                                   << "23|24";
        QTest::newRow("Smith typed again is still Bob") << false << 2 << "Smith"
                                                        << "22";
        QTest::newRow("typed over with another name") << false << 2 << "Lee"
                                                      << "21";
        QTest::newRow("a product") << true << 1 << ""
                                   << "21|24";
    }
    void picksFindThePickedRecord()
    {
        QFETCH(bool, product);
        QFETCH(int, row);
        QFETCH(QString, typedOver);
        QFETCH(QString, ids);
        QWidget *form = open("mnu_ETransaction");
        follow(form, product ? "cmd_PickProd" : "cmd_PickCust");
        KESTREL_CHECK(test::pickRow(row));
        auto *text = control<QLineEdit>(form, product ? "txt_Product" : "txt_Customer");
        QCOMPARE(text->text(), product ? "Milk" : "Smith");
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
