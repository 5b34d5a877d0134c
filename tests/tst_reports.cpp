// The report forms against a real server, driven from the keyboard: the
// turnover between two days, the products in store, the ordered product
// list, the ten best customers, and the change of every price.

#include "core/database/ConnectionCycle.h"
#include "reports/Frm_QueryChangePrice.h"
#include "reports/Frm_QueryProductStore.h"
#include "reports/Frm_QueryProductsList.h"
#include "reports/Frm_QueryResults.h"
#include "reports/Frm_QueryTop10Customers.h"
#include "reports/Frm_QueryTurnoverBInterval.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"
#include "widgets/TextLengthLimit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolButton>

using namespace kestrel;
using namespace kestrel::test;

namespace {

const QString NoItems = Frm_QueryResults::NoItemsText;

// Three customers and three products; sales 1 to 6 from 4 to 8 March 2008,
// sale 6 of a product that is gone.
void addSales()
{
    exec("INSERT INTO customers SELECT seq, ELT(seq, 'Ann', 'Bob', 'Cid'), CONCAT('Sur', seq), "
         "'Street 1', 'BUD', '1', 'a@b.c', '2', '2008-01-01', 'Ship' FROM seq_1_to_3");
    exec("INSERT INTO products SELECT seq, CONCAT('Item ', seq), 'Pcs', 100, 2.5, '0', "
         "'2008-03-05' FROM seq_1_to_3");
    exec("INSERT INTO turnover VALUES (1, 1, 1, 2.5, 2.95, '2008-03-04', 1), "
         "(2, 2, 1, 2.5, 2.95, '2008-03-05', 2), (3, 1, 2, 2.5, 2.95, '2008-03-07', 3), "
         "(4, 3, 1, 2.5, 2.95, '2008-03-05', 1), (5, 1, 1, 2.5, 2.95, '2008-03-08', 2), "
         "(6, 9, 1, 2.5, 2.95, '2008-03-06', 2)");
}

QString prices()
{
    return scalar("SELECT GROUP_CONCAT(FORMAT(Price, 2, 'en_US') ORDER BY ID SEPARATOR '|') "
                  "FROM products")
        .value_or(QString());
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT
    std::unique_ptr<RunningMainWindow> run;

    template <class Form> Form *open(const QString &command)
    {
        trigger(run->main.get(), command);
        return run->main->findForm<Form>();
    }
    Frm_QueryResults *results() const { return run->main->findForm<Frm_QueryResults>(); }
    FlexGrid *grid() const
    {
        return results() ? control<FlexGrid>(results(), "fxg_QueryResult") : nullptr;
    }
    QString statusNote() const { return run->main->statusBar()->currentMessage(); }

    // The result window's caption and the IDs it lists, "caption: 1|2".
    QString shown() const
    {
        return results() ? results()->windowTitle() + ": " + column(grid(), 1) : "no results";
    }

    // Opens the price change and picks the kind and the direction with
    // arrows, Tab and Space, as the operator's hands would.
    Frm_QueryChangePrice *chooseChange(const QString &kind, const QString &direction)
    {
        auto *form = open<Frm_QueryChangePrice>("mnu_CAPP");
        if (kind == "Absolute")
            press(Qt::Key_Down);
        press(Qt::Key_Tab);
        if (direction == "-")
            press(Qt::Key_Down);
        if (!direction.isEmpty())
            press(Qt::Key_Space);
        return form;
    }
    QLineEdit *amount(QWidget *form) { return control<QLineEdit>(form, "txt_Amount"); }

private slots:
    void initTestCase()
    {
        run = std::make_unique<RunningMainWindow>();
        QVERIFY(run->show());
    }
    void init()
    {
        run->reset();
        run->main->statusBar()->clearMessage();
    }
    void cleanup() { useTestDatabase(); }
    void cleanupTestCase() { run.reset(); }

    // Each command opens its form with the focus on the first control; an
    // option group starts with its first option chosen.
    void commandsOpenTheirForms_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("focus");
        QTest::newRow("between interval") << "mnu_BetInt"
                                          << "Turnover Between Interval"
                                          << "mntvw_From";
        QTest::newRow("Dates button") << "10"
                                      << "Turnover Between Interval"
                                      << "mntvw_From";
        QTest::newRow("product in store") << "mnu_ProdStore"
                                          << "Product in Store"
                                          << "chk_ID";
        QTest::newRow("Products button") << "12"
                                         << "Product in Store"
                                         << "chk_ID";
        QTest::newRow("Products, In store") << "tag 14"
                                            << "Product in Store"
                                            << "chk_ID";
        QTest::newRow("products list") << "mnu_ProdListPrice"
                                       << "Products List"
                                       << "opt_ID";
        QTest::newRow("Products, List") << "tag 13"
                                        << "Products List"
                                        << "opt_ID";
        QTest::newRow("change prices") << "mnu_CAPP"
                                       << "Change All Product's Price"
                                       << "opt_Percentage";
        QTest::newRow("top ten") << "mnu_Top10Cust"
                                 << "Top 10 Customers"
                                 << "opt_Visits";
    }
    void commandsOpenTheirForms()
    {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        QFETCH(QString, focus);
        if (command.startsWith("mnu_")) {
            QVERIFY(control<QAction>(run->main.get(), command)->isEnabled());
            trigger(run->main.get(), command);
        } else if (command.startsWith("tag ")) {
            run->main->tlb_Toolbar_ButtonMenuClick(command.mid(4).toInt());
        } else {
            auto *button = control<QToolButton>(run->main.get(), "tlb_Button" + command);
            QVERIFY(button->isEnabled());
            QTest::mouseClick(button, Qt::LeftButton);
        }
        settle();
        QMdiSubWindow *sub = run->main->mdiArea()->activeSubWindow();
        QVERIFY(sub);
        QWidget *form = FormHost::formOf(sub);
        QCOMPARE(form->windowTitle(), caption);
        QWidget *first = control(form, focus);
        QVERIFY(first == QApplication::focusWidget()
                || first->isAncestorOf(QApplication::focusWidget()));
        if (auto *option = qobject_cast<QRadioButton *>(first))
            QVERIFY(option->isChecked());
        for (auto *calendar : form->findChildren<QCalendarWidget *>())
            QCOMPARE(calendar->selectedDate(), QDate::currentDate());
    }

    // Both days included, in sale order; a sale whose product is gone drops
    // out. Tab from the second calendar reaches OK, Enter presses it.
    void turnoverBetweenTwoDays_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("shown");
        QTest::newRow("both days included")
            << QDate(2008, 3, 5) << QDate(2008, 3, 7)
            << "Turnover Between 2008.March.05 and 2008.March.07: 2|3|4";
        QTest::newRow("one day") << QDate(2008, 3, 5) << QDate(2008, 3, 5)
                                 << "Turnover Between 2008.March.05 and 2008.March.05: 2|4";
        QTest::newRow("first day after the last")
            << QDate(2008, 3, 8) << QDate(2008, 3, 4)
            << "Turnover Between 2008.March.08 and 2008.March.04: " + NoItems;
    }
    void turnoverBetweenTwoDays()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, shown);
        addSales();
        auto *form = open<Frm_QueryTurnoverBInterval>("mnu_BetInt");
        control<QCalendarWidget>(form, "mntvw_From")->setSelectedDate(from);
        control<QCalendarWidget>(form, "mntvw_To")->setSelectedDate(to);
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmd_OK"));
        press(Qt::Key_Return);
        QCOMPARE(this->shown(), shown);
        QVERIFY(!run->main->findForm<Frm_QueryTurnoverBInterval>());
        if (column(grid(), 1) != NoItems) {
            QCOMPARE(grid()->TextMatrix(0, 2), QStringLiteral("FirstName"));
            QCOMPARE(grid()->TextMatrix(1, 9), QStringLiteral("Item 2"));
        }
    }

    void showAllAndCancel()
    {
        addSales();
        open<Frm_QueryTurnoverBInterval>("mnu_BetInt");
        press(Qt::Key_Tab, Qt::ShiftModifier); // back from the first calendar: Show All
        press(Qt::Key_Space);
        QCOMPARE(shown(), QStringLiteral("All Turnover: 1|2|3|4|5"));

        // Cancel closes the form and leaves the open result window alone.
        auto *form = open<Frm_QueryTurnoverBInterval>("mnu_BetInt");
        click(form, "cmd_Cancel");
        QVERIFY(!run->main->findForm<Frm_QueryTurnoverBInterval>());
        QCOMPARE(shown(), QStringLiteral("All Turnover: 1|2|3|4|5"));
    }

    // Each request carries its own columns: a form opened before another
    // report ran still shows its own.
    void reportsKeepTheirOwnColumns()
    {
        addSales();
        auto *interval = open<Frm_QueryTurnoverBInterval>("mnu_BetInt");
        click(open<Frm_QueryProductsList>("mnu_ProdListPrice"), "cmd_Order");
        QCOMPARE(grid()->TextMatrix(0, 2), QStringLiteral("Description"));
        control<QCalendarWidget>(interval, "mntvw_From")->setSelectedDate(QDate(2008, 3, 4));
        control<QCalendarWidget>(interval, "mntvw_To")->setSelectedDate(QDate(2008, 3, 4));
        click(interval, "cmd_OK");
        QCOMPARE(grid()->Cols(), 10);
        QCOMPARE(grid()->TextMatrix(0, 2), QStringLiteral("FirstName"));
        QCOMPARE(grid()->TextMatrix(1, 2), QStringLiteral("Ann"));
    }

    // Ticks with Space, types into the boxes, presses OK with Enter: either
    // the one message (the form stays) or the products found.
    void productsInStore_data()
    {
        QTest::addColumn<QStringList>("keys"); // "chk_X" ticks, "txt_X=text" types
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QString>("outcome");
        const QDate march(2008, 3, 1);
        QTest::newRow("nothing ticked")
            << QStringList{"txt_ID=1"} << march << "You haven't selected category!";
        QTest::newRow("ticked and empty, first in order")
            << QStringList{"chk_BarCode", "chk_Quantity", "txt_BarCode=5"} << march
            << "You have selected Quantity, but that is empty!";
        QTest::newRow("quantity 0 delivered in March")
            << QStringList{"chk_Quantity", "txt_Quantity=0", "chk_Delivered"} << march
            << "Product in Store: 1";
        QTest::newRow("only delivered, both days included")
            << QStringList{"chk_Delivered"} << march << "Product in Store: 1|2|12";
        QTest::newRow("first day after the last")
            << QStringList{"chk_Delivered"} << QDate(2008, 4, 1) << "Product in Store: " + NoItems;
        QTest::newRow("a quote is text")
            << QStringList{"chk_Description", "txt_Description=O'Brien's tea"} << march
            << "Product in Store: 2";
        QTest::newRow("digits only in the ID, Enter in the box")
            << QStringList{"chk_ID", "txt_ID=1a2\n"} << march << "Product in Store: 12";
        QTest::newRow("bar code and description together")
            << QStringList{"chk_BarCode", "txt_BarCode=599", "chk_Description",
                           "txt_Description=Milk"}
            << march << "Product in Store: 4";
    }
    void productsInStore()
    {
        QFETCH(QStringList, keys);
        QFETCH(QDate, from);
        QFETCH(QString, outcome);
        exec("INSERT INTO products VALUES (1, 'Milk', 'l', 0, 1, '1', '2008-03-01'), "
             "(2, 'O''Brien''s tea', 'Box', 5, 3, '2', '2008-03-31'), "
             "(3, 'Bread', 'Pcs', 0, 1, '3', '2008-04-01'), "
             "(4, 'Milk', 'l', 0, 1, '599', '2008-02-29'), "
             "(12, 'Jam', 'Pcs', 7, 4, '599', '2008-03-15')");
        auto *form = open<Frm_QueryProductStore>("mnu_ProdStore");
        control<QCalendarWidget>(form, "mntvw_From")->setSelectedDate(from);
        control<QCalendarWidget>(form, "mntvw_To")->setSelectedDate(QDate(2008, 3, 31));
        for (const QString &key : keys) {
            if (key.startsWith("chk_")) {
                control(form, key)->setFocus();
                press(Qt::Key_Space);
            } else {
                type(control(form, key.section('=', 0, 0)), key.section('=', 1));
            }
        }
        if (run->main->findForm<Frm_QueryProductStore>()) { // Enter in a box ran it already
            control(form, "cmd_OK")->setFocus();
            press(Qt::Key_Return);
        }
        const bool refused = outcome.endsWith('!');
        QCOMPARE(run->messages->texts(), refused ? QStringList{outcome} : QStringList{});
        QCOMPARE(run->main->findForm<Frm_QueryProductStore>() != nullptr, refused);
        QCOMPARE(shown(), refused ? QStringLiteral("no results") : outcome);
        QCOMPARE(run->messages->beeps, keys.contains("txt_ID=1a2\n") ? 1 : 0);
    }

    void productStoreResetAndEscape()
    {
        mainWindowReport();
        auto *form = open<Frm_QueryProductStore>("mnu_ProdStore");
        auto *calendar = control<QCalendarWidget>(form, "mntvw_To");
        calendar->setSelectedDate(QDate(2008, 3, 31));
        for (const char *tick :
             {"chk_ID", "chk_Description", "chk_Quantity", "chk_BarCode", "chk_Delivered"})
            control<QCheckBox>(form, tick)->click();
        for (const char *box : {"txt_ID", "txt_Description", "txt_Quantity", "txt_BarCode"})
            type(control(form, box), "7");
        click(form, "cmd_Reset");
        for (QCheckBox *tick : form->findChildren<QCheckBox *>())
            QVERIFY2(!tick->isChecked(), qPrintable(tick->objectName()));
        for (QLineEdit *box : form->findChildren<QLineEdit *>(QRegularExpression("^txt_")))
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        QCOMPARE(calendar->selectedDate(), QDate::currentDate());
        QCOMPARE(shown(), QStringLiteral("Today's Turnover: ") + NoItems);
        type(control(form, "txt_Description"), "\x1b");
        QVERIFY(!run->main->findForm<Frm_QueryProductStore>());
        QVERIFY(results());
    }

    // Down moves the choice, Tab reaches Order, Enter presses it.
    void productsListOrder_data()
    {
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("shown");
        const QStringList orders{
            "ID: 1|2|3|4",    "Description: 2|4|3|1", "UM: 4|1|3|2",           "Quantity: 1|4|3|2",
            "Price: 3|4|2|1", "BarCode: 3|1|4|2",     "Last Delivery: 2|4|1|3"};
        for (int i = 0; i < orders.size(); ++i)
            QTest::newRow(qPrintable(orders[i].section(':', 0, 0)))
                << i << "Product in Store ordered by " + orders[i];
    }
    void productsListOrder()
    {
        QFETCH(int, downs);
        QFETCH(QString, shown);
        exec("INSERT INTO products VALUES (1, 'Dates', 'Box', 10, 4, '2', '2008-03-03'), "
             "(2, 'Apples', 'Pcs', 40, 3, '4', '2008-03-01'), "
             "(3, 'Cherries', 'Kg', 30, 1, '1', '2008-03-04'), "
             "(4, 'Bananas', 'Bag', 20, 2, '3', '2008-03-02')");
        open<Frm_QueryProductsList>("mnu_ProdListPrice");
        for (int i = 0; i < downs; ++i)
            press(Qt::Key_Down);
        press(Qt::Key_Tab);
        press(Qt::Key_Return);
        QCOMPARE(this->shown(), shown);
        QVERIFY(!run->main->findForm<Frm_QueryProductsList>());
        QCOMPARE(grid()->TextMatrix(0, 7), QStringLiteral("LastDelivery"));
    }

    // On a server that insists on full grouping. Visits count sales rows;
    // the amount sums price times quantity, so one large sale outranks many
    // small ones.
    void topTenCustomers_data()
    {
        QTest::addColumn<bool>("byAmount");
        QTest::addColumn<int>("customers"); // customer c makes c + 1 small sales
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("measure");
        QTest::newRow("fewer than ten, by visits")
            << false << 3 << "TOP 10 Customer ordered by Visited: 3|2|1|20"
            << "Visited: 4|3|2|1";
        QTest::newRow("fewer than ten, by amount")
            << true << 3 << "TOP 10 Customer ordered by Bought: 20|3|2|1"
            << "Bought: 200,00|10,00|7,50|5,00";
        QTest::newRow("only ten of twelve")
            << false << 12 << "TOP 10 Customer ordered by Visited: 12|11|10|9|8|7|6|5|4|3"
            << "Visited: 13|12|11|10|9|8|7|6|5|4";
    }
    void topTenCustomers()
    {
        QFETCH(bool, byAmount);
        QFETCH(int, customers);
        QFETCH(QString, shown);
        QFETCH(QString, measure);
        exec("INSERT INTO customers SELECT seq, CONCAT('First', seq), CONCAT('Sur', seq), "
             "'Street', 'BUD', '1', 'a@b.c', '2', '2008-01-01', 'Ship' FROM seq_1_to_20");
        exec(QStringLiteral("INSERT INTO turnover (ID, ProductID, Quantity, Price, PricewTax, "
                            "Date, CustomerID) SELECT NULL, 1, 1, 2.5, 2.95, '2008-03-05', c.seq "
                            "FROM seq_1_to_%1 c, seq_0_to_%1 n WHERE n.seq <= c.seq")
                 .arg(customers));
        // Customer 20: one sale, the largest amount.
        exec("INSERT INTO turnover VALUES (NULL, 1, 2, 100, 118, '2008-03-05', 20)");
        QStringList params = testParams();
        params[7] = QStringLiteral("SET SESSION sql_mode='ONLY_FULL_GROUP_BY,STRICT_ALL_TABLES'");
        M::ConnString = M::BuildConnectionString(params);

        open<Frm_QueryTop10Customers>("mnu_Top10Cust");
        if (byAmount)
            press(Qt::Key_Down);
        press(Qt::Key_Tab);
        press(Qt::Key_Return);
        QVERIFY(run->messages->messages.empty());
        QCOMPARE(this->shown(), shown);
        QCOMPARE(grid()->TextMatrix(0, 11) + ": " + column(grid(), 11), measure);
        QVERIFY(!run->main->findForm<Frm_QueryTop10Customers>());
    }

    // ---- change all prices --------------------------------------------------

    void priceChangeOpensAndResets()
    {
        auto *form = chooseChange("Absolute", "-");
        type(amount(form), "30");
        click(form, "cmd_Reset");
        // As it opened: Percentage chosen, no direction, "0,00" disabled.
        QVERIFY(control<QRadioButton>(form, "opt_Percentage")->isChecked());
        for (const char *option : {"opt_Absolute", "opt_Plus", "opt_Minus"})
            QVERIFY2(!control<QRadioButton>(form, option)->isChecked(), option);
        QCOMPARE(amount(form)->text(), QStringLiteral("0,00"));
        QVERIFY(!amount(form)->isEnabled());
        QCOMPARE(kestrel::textLimit(amount(form)), 6);
        QCOMPARE(control<QLabel>(form, "lbl_Amount")->text(), QStringLiteral("%"));
        // Reset chooses no direction: OK refuses and sends nothing.
        click(form, "cmd_OK");
        QCOMPARE(run->messages->texts(), QStringList{"You haven't selected + or -!!!"});
        QVERIFY(run->main->findForm<Frm_QueryChangePrice>());
        QCOMPARE(M::ConnStat(), M::StatIdle);
        press(Qt::Key_Escape);
        QVERIFY(!run->main->findForm<Frm_QueryChangePrice>());
    }

    // The amount as keys are released: empty becomes "0,00", an amount above
    // its ceiling becomes the ceiling; the length limit follows the kind.
    void amountAsTyped_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("600 % up") << "Percentage"
                                  << "+"
                                  << "600"
                                  << "500,00";
        QTest::newRow("500 % up stands") << "Percentage"
                                         << "+"
                                         << "500"
                                         << "500";
        QTest::newRow("150 % down") << "Percentage"
                                    << "-"
                                    << "150"
                                    << "100,00";
        QTest::newRow("100 % down stands") << "Percentage"
                                           << "-"
                                           << "100"
                                           << "100";
        QTest::newRow("100,01 % down") << "Percentage"
                                       << "-"
                                       << "100,01"
                                       << "100,00";
        QTest::newRow("6000 up") << "Absolute"
                                 << "+"
                                 << "6000"
                                 << "5000,00";
        QTest::newRow("6000 down") << "Absolute"
                                   << "-"
                                   << "6000"
                                   << "5000,00";
        QTest::newRow("erased") << "Absolute"
                                << "+"
                                << "\b"
                                << "0,00";
        QTest::newRow("typed over the zero") << "Absolute"
                                             << "+"
                                             << "\b7"
                                             << "7";
        QTest::newRow("no number counts as none") << "Percentage"
                                                  << "+"
                                                  << "9,9,9"
                                                  << "9,9,9";
        QTest::newRow("six for a percentage") << "Percentage"
                                              << "+"
                                              << "0000001"
                                              << "000000";
        QTest::newRow("seven for an amount") << "Absolute"
                                             << "-"
                                             << "0000001"
                                             << "0000001";
        QTest::newRow("digits and a comma only") << "Absolute"
                                                 << "+"
                                                 << "1.a2"
                                                 << "12";
    }
    void amountAsTyped()
    {
        QFETCH(QString, kind);
        QFETCH(QString, direction);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        auto *form = chooseChange(kind, direction);
        QCOMPARE(QApplication::focusWidget(), amount(form));
        QCOMPARE(amount(form)->selectedText(), QStringLiteral("0,00"));
        QCOMPARE(control<QLabel>(form, "lbl_Amount")->text(),
                 kind == "Absolute" ? QStringLiteral("Euro") : QStringLiteral("%"));
        type(amount(form), keys);
        QCOMPARE(amount(form)->text(), text);
        QCOMPARE(run->messages->beeps, keys.contains('a') ? 2 : 0);
    }

    // Leaving the box writes the amount as "####0.00"; Enter moves to OK
    // without pressing it. A kind chosen afterwards applies its ceiling.
    void amountOnLeaving()
    {
        exec("INSERT INTO products VALUES (1, 'Milk', 'l', 1, 10, '1', '2008-03-01')");
        auto *form = chooseChange("Absolute", "+");
        type(amount(form), "12,5\t");
        QCOMPARE(amount(form)->text(), QStringLiteral("12,50"));
        press(Qt::Key_Tab, Qt::ShiftModifier); // back in, all of it selected
        type(amount(form), "7\n");
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmd_OK"));
        QCOMPARE(amount(form)->text(), QStringLiteral("7,00"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        type(amount(form), "4999\t");
        QTest::mouseClick(control(form, "opt_Percentage"), Qt::LeftButton);
        QCOMPARE(amount(form)->text(), QStringLiteral("500,00"));
        QCOMPARE(kestrel::textLimit(amount(form)), 6);
        // An arrow key moving the direction hands the focus to the amount too,
        // whose ceiling follows.
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("opt_Plus"));
        press(Qt::Key_Down);
        QVERIFY(control<QRadioButton>(form, "opt_Minus")->isChecked());
        QCOMPARE(QApplication::focusWidget(), amount(form));
        QCOMPARE(amount(form)->text(), QStringLiteral("100,00"));
        QCOMPARE(prices(), QStringLiteral("10.00"));
        QVERIFY(run->messages->messages.empty());
    }

    // Keys only: the kind, the direction, the amount, Enter to OK, Enter.
    // One transaction; a fixed decrease below some price changes nothing, on
    // a strict server and on a lenient one.
    void pricesChange_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sqlMode");
        QTest::addColumn<QString>("prices");  // 10.00 and 2.00 or 2.50 before
        QTest::addColumn<QString>("outcome"); // the status note, or the message
        QTest::newRow("10 % up") << "Percentage"
                                 << "+"
                                 << "10"
                                 << ""
                                 << "11.00|2.75"
                                 << "2 prices changed.";
        QTest::newRow("12,5 % down") << "Percentage"
                                     << "-"
                                     << "12,5"
                                     << ""
                                     << "8.75|2.19"
                                     << "2 prices changed.";
        QTest::newRow("100 % down") << "Percentage"
                                    << "-"
                                    << "100"
                                    << ""
                                    << "0.00|0.00"
                                    << "2 prices changed.";
        QTest::newRow("1,25 up") << "Absolute"
                                 << "+"
                                 << "1,25"
                                 << ""
                                 << "11.25|3.75"
                                 << "2 prices changed.";
        QTest::newRow("2,50 down to zero") << "Absolute"
                                           << "-"
                                           << "2,5"
                                           << ""
                                           << "7.50|0.00"
                                           << "2 prices changed.";
        QTest::newRow("3 down, strict server")
            << "Absolute"
            << "-"
            << "3"
            << "STRICT_ALL_TABLES"
            << "10.00|2.50"
            << "1 product costs less than 3,00 Euro: no price was changed!!!";
        QTest::newRow("3 down, lenient server")
            << "Absolute"
            << "-"
            << "3"
            << "''"
            << "10.00|2.50"
            << "1 product costs less than 3,00 Euro: no price was changed!!!";
        QTest::newRow("not a number") << "Absolute"
                                      << "-"
                                      << "1,2,3"
                                      << ""
                                      << "10.00|2.50"
                                      << "Amount is not a number!!!";
    }
    void pricesChange()
    {
        QFETCH(QString, kind);
        QFETCH(QString, direction);
        QFETCH(QString, typed);
        QFETCH(QString, sqlMode);
        QFETCH(QString, prices);
        QFETCH(QString, outcome);
        exec("INSERT INTO products VALUES (1, 'Milk', 'l', 1, 10, '1', '2008-03-01'), "
             "(2, 'Jam', 'Pcs', 7, 2.5, '599', '2008-03-15')");
        if (!sqlMode.isEmpty()) {
            QStringList params = testParams();
            params[7] = "SET SESSION sql_mode=" + sqlMode;
            M::ConnString = M::BuildConnectionString(params);
        }
        StatusTrail trail;
        chooseChange(kind, direction);
        type(QApplication::focusWidget(), typed + '\n');
        press(Qt::Key_Return);
        const bool refused = outcome.endsWith("!!!");
        QCOMPARE(::prices(), prices);
        QCOMPARE(run->messages->texts(), refused ? QStringList{outcome} : QStringList{});
        QCOMPARE(statusNote(), refused ? QString() : outcome);
        QCOMPARE(run->main->findForm<Frm_QueryChangePrice>() != nullptr, refused);
        QCOMPARE(M::ConnStat(), M::StatIdle);
        // One connection cycle when the server was asked, none otherwise.
        QCOMPARE(trail.seen.size(), outcome == "Amount is not a number!!!" ? 0 : 3);
    }

    // Only moved prices count: 0,00 and 0,01 stay as they are at +1 %.
    void priceChangeCountsThePricesItChanged()
    {
        exec("INSERT INTO products VALUES (1, 'Bag', 'Pcs', 1, 0, '1', '2008-03-01'), "
             "(2, 'Pin', 'Pcs', 1, 0.01, '2', '2008-03-01'), "
             "(3, 'Jam', 'Pcs', 7, 10, '3', '2008-03-15')");
        chooseChange("Percentage", "+");
        type(QApplication::focusWidget(), "1\n");
        press(Qt::Key_Return);
        QCOMPARE(prices(), QStringLiteral("0.00|0.01|10.10"));
        QCOMPARE(statusNote(), QStringLiteral("1 price changed."));
    }

    // A paste by mouse releases no key; OK still holds the amount to its
    // ceiling before sending it.
    void pastedAmountMeetsTheCeilingAtOK()
    {
        exec("INSERT INTO products VALUES (1, 'Milk', 'l', 1, 10, '1', '2008-03-01')");
        auto *form = chooseChange("Percentage", "+");
        QApplication::clipboard()->setText(QStringLiteral("9999"));
        amount(form)->paste(); // what the box's context menu does
        QCOMPARE(amount(form)->text(), QStringLiteral("9999"));
        click(form, "cmd_OK");
        QCOMPARE(prices(), QStringLiteral("60.00"));
        QCOMPARE(statusNote(), QStringLiteral("1 price changed."));
    }

    void priceChangeFailureClosesTheForm()
    {
        exec("DROP TABLE products");
        auto *form = chooseChange("Percentage", "+");
        type(amount(form), "10");
        click(form, "cmd_OK");
        QCOMPARE(run->messages->texts(), QStringList{db::ConnectionErrorText});
        QCOMPARE(M::ConnStat(), M::StatError);
        QVERIFY(!run->main->findForm<Frm_QueryChangePrice>());
        QCOMPARE(statusNote(), QString());
    }

private:
    // A report of the main window, left open.
    void mainWindowReport() { trigger(run->main.get(), "mnu_Today"); }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
