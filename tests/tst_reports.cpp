// The report forms against a real server, driven from the keyboard.

#include "core/database/ConnectionCycle.h"
#include "core/shared/Formats.h"
#include "reports/Frm_QueryChangePrice.h"
#include "reports/Frm_QueryProductStore.h"
#include "reports/Frm_QueryProductsList.h"
#include "reports/Frm_QueryResults.h"
#include "reports/Frm_QueryTop10Customers.h"
#include "reports/Frm_QueryTurnoverBInterval.h"
#include "reports/Frm_QueryTurnoverChart.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"
#include "widgets/TextLengthLimit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStatusBar>

using namespace kestrel;
using namespace kestrel::test;

namespace {

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

// 150 sales on random days from 25 February to 6 May 2008, at random
// quantities and prices, none from 17 to 23 March nor in April.
void addChartSales()
{
    QRandomGenerator random(2008);
    QStringList rows;
    while (rows.size() < 150) {
        const QDate day = QDate(2008, 2, 25).addDays(random.bounded(72));
        if (day.month() == 4 || (day >= QDate(2008, 3, 17) && day <= QDate(2008, 3, 23)))
            continue;
        const auto price = [&] { return Money::fromCents(random.bounded(1, 500000))->digits('.'); };
        rows.append(QStringLiteral("(1, %1, %2, %3, '%4', 1)")
                        .arg(random.bounded(1, 50))
                        .arg(price(), price(), fmt::sqlDate(day)));
    }
    exec("INSERT INTO turnover (ProductID, Quantity, Price, PricewTax, Date, CustomerID) VALUES "
         + rows.join(','));
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

    // Both days included, in sale order; a sale whose product is gone drops
    // out. Tab from the second calendar reaches OK, Enter presses it; Show
    // All is Shift+Tab from the first; Cancel leaves the results alone.
    void turnoverBetweenTwoDays()
    {
        addSales();
        auto *form = open<Frm_QueryTurnoverBInterval>("mnu_BetInt");
        control<QCalendarWidget>(form, "mntvw_From")->setSelectedDate(QDate(2008, 3, 5));
        control<QCalendarWidget>(form, "mntvw_To")->setSelectedDate(QDate(2008, 3, 7));
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        press(Qt::Key_Return);
        QCOMPARE(shown(), "Turnover Between 2008.March.05 and 2008.March.07: 2|3|4");
        QCOMPARE(grid()->TextMatrix(1, 9), QStringLiteral("Item 2"));
        open<Frm_QueryTurnoverBInterval>("mnu_BetInt");
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Space);
        QCOMPARE(shown(), QStringLiteral("All Turnover: 1|2|3|4|5"));
        click(open<Frm_QueryTurnoverBInterval>("mnu_BetInt"), "cmd_Cancel");
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
        QCOMPARE(grid()->TextMatrix(1, 2), QStringLiteral("Ann"));
    }

    // Ticks with Space, types into the boxes, presses OK with Enter: either
    // the one message (the form stays) or the products found.
    void productsInStore_data()
    {
        QTest::addColumn<QStringList>("keys"); // "chk_X" ticks, "txt_X=text" types
        QTest::addColumn<QString>("outcome");
        QTest::newRow("nothing ticked")
            << QStringList{"txt_ID=1"} << "You haven't selected category!";
        QTest::newRow("only delivered, both days included")
            << QStringList{"chk_Delivered"} << "Product in Store: 1|2|12";
        QTest::newRow("a quote is text")
            << QStringList{"chk_Description", "txt_Description=O'Brien's tea"}
            << "Product in Store: 2";
        QTest::newRow("digits only in the ID, Enter in the box")
            << QStringList{"chk_ID", "txt_ID=1a2\n"} << "Product in Store: 12";
        QTest::newRow("bar code and description together")
            << QStringList{"chk_BarCode", "txt_BarCode=599", "chk_Description",
                           "txt_Description=Milk"}
            << "Product in Store: 4";
    }
    void productsInStore()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, outcome);
        exec("INSERT INTO products VALUES (1, 'Milk', 'l', 0, 1, '1', '2008-03-01'), "
             "(2, 'O''Brien''s tea', 'Box', 5, 3, '2', '2008-03-31'), "
             "(3, 'Bread', 'Pcs', 0, 1, '3', '2008-04-01'), "
             "(4, 'Milk', 'l', 0, 1, '599', '2008-02-29'), "
             "(12, 'Jam', 'Pcs', 7, 4, '599', '2008-03-15')");
        auto *form = open<Frm_QueryProductStore>("mnu_ProdStore");
        control<QCalendarWidget>(form, "mntvw_From")->setSelectedDate(QDate(2008, 3, 1));
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

    // Down moves the choice, Tab reaches Order, Enter presses it.
    void productsListOrder()
    {
        exec("INSERT INTO products VALUES (1, 'Dates', 'Box', 10, 4, '2', '2008-03-03'), "
             "(2, 'Apples', 'Pcs', 40, 3, '4', '2008-03-01'), "
             "(3, 'Cherries', 'Kg', 30, 1, '1', '2008-03-04'), "
             "(4, 'Bananas', 'Bag', 20, 2, '3', '2008-03-02')");
        const QStringList orders{
            "ID: 1|2|3|4",    "Description: 2|4|3|1", "UM: 4|1|3|2",           "Quantity: 1|4|3|2",
            "Price: 3|4|2|1", "BarCode: 3|1|4|2",     "Last Delivery: 2|4|1|3"};
        for (int downs = 0; downs < orders.size(); ++downs) {
            open<Frm_QueryProductsList>("mnu_ProdListPrice");
            for (int i = 0; i < downs; ++i)
                press(Qt::Key_Down);
            press(Qt::Key_Tab);
            press(Qt::Key_Return);
            QCOMPARE(shown(), "Product in Store ordered by " + orders[downs]);
            QVERIFY(!run->main->findForm<Frm_QueryProductsList>());
        }
    }

    // On a server that insists on full grouping, customer c making c + 1
    // small sales and customer 20 one large one: visits count sales rows,
    // the amount sums price times quantity; ten of twelve are shown.
    void topTenCustomers()
    {
        exec("INSERT INTO customers SELECT seq, CONCAT('First', seq), CONCAT('Sur', seq), "
             "'Street', 'BUD', '1', 'a@b.c', '2', '2008-01-01', 'Ship' FROM seq_1_to_20");
        exec("INSERT INTO turnover (ID, ProductID, Quantity, Price, PricewTax, Date, CustomerID) "
             "SELECT NULL, 1, 1, 2.5, 2.95, '2008-03-05', c.seq FROM seq_1_to_12 c, seq_0_to_12 n "
             "WHERE n.seq <= c.seq");
        exec("INSERT INTO turnover VALUES (NULL, 1, 2, 100, 118, '2008-03-05', 20)");
        QStringList params = testParams();
        params[7] = QStringLiteral("SET SESSION sql_mode='ONLY_FULL_GROUP_BY,STRICT_ALL_TABLES'");
        M::ConnString = M::BuildConnectionString(params);
        for (const bool byAmount : {false, true}) {
            open<Frm_QueryTop10Customers>("mnu_Top10Cust");
            if (byAmount)
                press(Qt::Key_Down);
            press(Qt::Key_Tab);
            press(Qt::Key_Return);
            QVERIFY(!run->main->findForm<Frm_QueryTop10Customers>());
            QCOMPARE(grid()->TextMatrix(0, 11) + ": " + column(grid(), 11),
                     byAmount
                         ? "Bought: 200,00|32,50|30,00|27,50|25,00|22,50|20,00|17,50|15,00|12,50"
                         : "Visited: 13|12|11|10|9|8|7|6|5|4");
            QCOMPARE(shown(), byAmount
                                  ? "TOP 10 Customer ordered by Bought: 20|12|11|10|9|8|7|6|5|4"
                                  : "TOP 10 Customer ordered by Visited: 12|11|10|9|8|7|6|5|4|3");
        }
        QVERIFY(run->messages->messages.empty());
    }

    // The box takes digits and a comma only; leaving it writes the amount
    // as "####0.00"; Enter moves to OK without pressing it. A kind chosen
    // afterwards, or a direction moved by an arrow key, applies its ceiling;
    // so does OK to an amount pasted by mouse, which releases no key.
    void amountOnLeaving()
    {
        exec("INSERT INTO products VALUES (1, 'Milk', 'l', 1, 10, '1', '2008-03-01')");
        auto *form = chooseChange("Absolute", "+");
        QCOMPARE(control<QLabel>(form, "lbl_Amount")->text(), QStringLiteral("Euro"));
        type(amount(form), "12,a5\t"); // digits and a comma only
        QCOMPARE(amount(form)->text(), QStringLiteral("12,50"));
        QCOMPARE(run->messages->beeps, 1);
        press(Qt::Key_Tab, Qt::ShiftModifier); // back in, all of it selected
        type(amount(form), "4999\n");
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmd_OK"));
        QCOMPARE(amount(form)->text(), QStringLiteral("4999,00"));
        QTest::mouseClick(control(form, "opt_Percentage"), Qt::LeftButton);
        QCOMPARE(amount(form)->text(), QStringLiteral("500,00"));
        QCOMPARE(kestrel::textLimit(amount(form)), 6);
        tabTo("opt_Plus");
        press(Qt::Key_Down);
        QVERIFY(control<QRadioButton>(form, "opt_Minus")->isChecked());
        QCOMPARE(QApplication::focusWidget(), amount(form));
        QCOMPARE(amount(form)->text(), QStringLiteral("100,00"));
        QCOMPARE(prices(), QStringLiteral("10.00"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Up);
        QApplication::clipboard()->setText(QStringLiteral("9999"));
        amount(form)->selectAll();
        amount(form)->paste(); // what the box's context menu does
        QCOMPARE(amount(form)->text(), QStringLiteral("9999"));
        click(form, "cmd_OK");
        QCOMPARE(prices(), QStringLiteral("60.00"));
        QCOMPARE(statusNote(), QStringLiteral("1 price changed."));
    }

    // Reset brings back Percentage and no direction: OK refuses and sends
    // nothing.
    void priceChangeOpensAndResets()
    {
        auto *form = chooseChange("Absolute", "-");
        type(amount(form), "30");
        click(form, "cmd_Reset");
        QVERIFY(control<QRadioButton>(form, "opt_Percentage")->isChecked());
        QCOMPARE(amount(form)->text(), QStringLiteral("0,00"));
        QVERIFY(!amount(form)->isEnabled());
        click(form, "cmd_OK");
        QCOMPARE(run->messages->texts(), QStringList{"You haven't selected + or -!!!"});
        QVERIFY(run->main->findForm<Frm_QueryChangePrice>());
        QCOMPARE(M::ConnStat(), M::StatIdle);
        press(Qt::Key_Escape);
        QVERIFY(!run->main->findForm<Frm_QueryChangePrice>());
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
        QTest::addColumn<QString>("prices");  // 10.00 and 2.50 before
        QTest::addColumn<QString>("outcome"); // the status note, or the message
        const char *below = "1 product costs less than 3,00 Euro: no price was changed!!!";
        const char *changed = "2 prices changed.";
        const char *rows[][7] = {
            {"10 % up", "Percentage", "+", "10", "", "11.00|2.75", changed},
            {"12,5 % down", "Percentage", "-", "12,5", "", "8.75|2.19", changed},
            {"2,50 down to zero", "Absolute", "-", "2,5", "", "7.50|0.00", changed},
            {"3 down, strict server", "Absolute", "-", "3", "STRICT_ALL_TABLES", "10.00|2.50",
             below},
            {"3 down, lenient server", "Absolute", "-", "3", "''", "10.00|2.50", below},
            {"not a number", "Absolute", "-", "1,2,3", "", "10.00|2.50",
             "Amount is not a number!!!"}};
        for (const auto &[name, kind, direction, typed, mode, prices, outcome] : rows)
            QTest::newRow(name) << QString(kind) << QString(direction) << QString(typed)
                                << QString(mode) << QString(prices) << QString(outcome);
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

    // Ctrl+G from the main window, another report open behind: the chart's
    // bars cover every period of the days, each the SUM the server gives
    // over that period's sales, periods without sales as zero. Its bars
    // read from the keyboard.
    void chartSumsEqualEachPeriodsSum_data()
    {
        QTest::addColumn<QString>("period"); // Day, Week, Month
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("bars");
        QTest::newRow("days, a week without sales")
            << "Day" << QDate(2008, 3, 10) << QDate(2008, 3, 30) << 21;
        QTest::newRow("weeks cut short at both ends")
            << "Week" << QDate(2008, 2, 27) << QDate(2008, 5, 6) << 11;
        QTest::newRow("months, April without sales")
            << "Month" << QDate(2008, 2, 26) << QDate(2008, 5, 2) << 4;
    }
    void chartSumsEqualEachPeriodsSum()
    {
        QFETCH(QString, period);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, bars);
        addChartSales();
        open<Frm_QueryTurnoverBInterval>("mnu_BetInt");
        press(Qt::Key_G, Qt::ControlModifier);
        auto *form = run->main->findForm<Frm_QueryTurnoverChart>();
        QVERIFY(form);
        QCOMPARE(run->main->activeForm(), form);
        QVERIFY(control(form, "mntvw_From")->isAncestorOf(QApplication::focusWidget()));
        control<QCalendarWidget>(form, "mntvw_From")->setSelectedDate(from);
        control<QCalendarWidget>(form, "mntvw_To")->setSelectedDate(to);
        press(Qt::Key_Tab);
        press(Qt::Key_Tab); // to the chosen option, Day; arrows choose another
        for (int i = 0; i < QStringList{"Day", "Week", "Month"}.indexOf(period); ++i)
            press(Qt::Key_Down);
        press(Qt::Key_Return);
        QVERIFY(form->picture());
        const std::vector<sql::TurnoverBar> &shown = form->picture()->bars;
        QCOMPARE(int(shown.size()), bars);
        QVERIFY(shown.front().start <= from);
        int empty = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            const sql::TurnoverBar &bar = shown[i];
            const QDate end = period == "Day"    ? bar.start
                              : period == "Week" ? bar.start.addDays(6)
                                                 : bar.start.addMonths(1).addDays(-1);
            QCOMPARE(bar.start.dayOfWeek() == 1 || period != "Week", true);
            QCOMPARE(bar.start.day() == 1 || period != "Month", true);
            if (i + 1 < shown.size())
                QCOMPARE(shown[i + 1].start, end.addDays(1));
            else
                QVERIFY(end >= to);
            const db::ResultSet sum = query(
                QStringLiteral("SELECT COUNT(*), COALESCE(ROUND(SUM(Quantity * PricewTax), "
                               "2), 0) FROM turnover WHERE Date BETWEEN '%1' AND '%2'")
                    .arg(fmt::sqlDate(std::max(bar.start, from)), fmt::sqlDate(std::min(end, to))));
            QCOMPARE(bar.sales, sum.rows[0][0]->toLongLong());
            QCOMPARE(fmt::formatAmount(bar.gross),
                     fmt::formatAmount(*fmt::parseAmount(*sum.rows[0][1])));
            empty += bar.sales == 0 && bar.gross == Money::zero();
        }
        QVERIFY(empty > 0);

        tabTo("cht_Turnover");
        press(Qt::Key_End);
        QVERIFY(control<QLabel>(form, "lbl_Bar")
                    ->text()
                    .startsWith(reports::periodName(shown.back().start, form->picture()->period)));
    }

    // The chart as a picture and as a PDF; a folder that cannot be written
    // to fails rather than reporting a file.
    void chartGoesOutAsPictureAndPdf()
    {
        const reports::TurnoverPicture picture{
            {{QDate(2008, 3, 3), Money::units(118), Money::units(100), 2}},
            sql::TurnoverPeriod::Week,
            {QDate(2008, 3, 5), QDate(2008, 3, 9)}};
        ScratchDir dir;
        QCOMPARE(reports::writeTurnoverChart(picture, dir.file("c.png"), ExportFormat::Png),
                 ExportResult::Saved);
        const QImage image(dir.file("c.png"));
        QCOMPARE(image.pixelColor(900, 700), QColor(40, 150, 110)); // inside the one bar
        QCOMPARE(reports::writeTurnoverChart(picture, dir.file("c.pdf"), ExportFormat::Pdf),
                 ExportResult::Saved);
        QProcess text;
        text.start("pdftotext", {"-layout", dir.file("c.pdf"), "-"});
        QVERIFY(text.waitForFinished());
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY(page.contains("Turnover per Week, 2008.March.05 to 2008.March.09"));
        QVERIFY(page.contains("Gross 118,00, net 100,00, 2 sales"));
        QCOMPARE(reports::writeTurnoverChart(picture, dir.file("none/c.png"), ExportFormat::Png),
                 ExportResult::Failed);
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
