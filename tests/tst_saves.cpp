// Every kind of save, driven by the keys: tried again while another till
// holds its records, the operator told when they stay busy; the ID the
// server gave a new row noted in the status bar.

#include "core/database/RetriedTransaction.h"
#include "core/statements/Find.h"
#include "editing/Frm_EditResults.h"
#include "entry/Frm_AddCity.h"
#include "entry/Frm_AddTransaction.h"
#include "reports/Frm_QueryChangePrice.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QStatusBar>
#include <chrono>
#include <thread>

using namespace kestrel::test;
using kestrel::FlexGrid;

namespace {

enum class Save { Sale, EditGrid, Delete, PriceChange, AddCity };

// Customer 1 Anna; products 1 Milk (12 in store at 1,50) and 2 Bread (30 at
// 2,00); no city, no sale.
void seed()
{
    exec("INSERT INTO customers VALUES (NULL,'Anna','Kovacs','Main Street 1','BUD','1','a@b.c',"
         "'1','2008-03-05','Main Street 1')");
    exec("INSERT INTO products VALUES (NULL,'Milk','Pcs',12,1.50,'1','2008-03-05'),"
         "(NULL,'Bread','Pcs',30,2.00,'2','2008-03-05')");
}

// "ID,stock,price" of every product; the number of sales; the cities' acronyms.
QString tables()
{
    return scalar("SELECT CONCAT_WS(';',(SELECT GROUP_CONCAT(CONCAT_WS(',',ID,Quantity,Price) "
                  "ORDER BY ID SEPARATOR '|') FROM products),(SELECT COUNT(*) FROM turnover),"
                  "(SELECT IFNULL(GROUP_CONCAT(Acronym),'') FROM cities))")
        .value_or(QString());
}
const QString Untouched = QStringLiteral("1,12,1.50|2,30,2.00;0;");

} // namespace

Q_DECLARE_METATYPE(Save)

class TestSaves : public QObject {
    Q_OBJECT
    std::unique_ptr<RunningMainWindow> run;

    template <class Form> Form *form() const { return run->main->findForm<Form>(); }
    QString statusNote() const { return run->main->statusBar()->currentMessage(); }

    // Space on button in the sale form picks the chooser's first row; a
    // product's prompt gets quantity, Tab and Space.
    void pickFirst(const char *button, const QString &quantity = {})
    {
        control(form<Frm_AddTransaction>(), button)->setFocus();
        keys(" ");
        KESTREL_CHECK(pickRow(1));
        if (!quantity.isEmpty())
            keys(quantity + "\t ");
    }

    // Opens the window and enters the work, ready to save.
    void enter(Save save)
    {
        switch (save) {
        case Save::Sale:
            trigger(run->main.get(), "mnu_AddTransaction");
            KESTREL_CHECK(pickFirst("cmd_AddCustomer"));
            KESTREL_CHECK(pickFirst("cmd_AddProduct", "2"));
            break;
        case Save::EditGrid: {
            QVERIFY(
                Frm_EditResults::Open(kestrel::sql::showAll(kestrel::sql::FindTable::Products)));
            settle();
            FlexGrid *grid = control<FlexGrid>(form<Frm_EditResults>(), "fxg_QueryResult");
            grid->setFocus(); // on the first record's description
            for (int i = 0; i < 3; ++i)
                press(Qt::Key_Right); // to its price
            press(Qt::Key_Return);
            type(QApplication::focusWidget(), "\b\b\b\b1,75\n");
            break;
        }
        case Save::Delete:
            run->main->mnu_DProduct_Click();
            control<FlexGrid>(form<Frm_QueryResults>(), "fxg_QueryResult")->setFocus();
            press(Qt::Key_Down); // Bread
            break;
        case Save::PriceChange:
            trigger(run->main.get(), "mnu_CAPP");
            press(Qt::Key_Down); // Absolute
            press(Qt::Key_Tab);
            press(Qt::Key_Space); // "+"
            type(QApplication::focusWidget(), "1\n");
            break;
        case Save::AddCity:
            trigger(run->main.get(), "mnu_AddCity");
            enterValidCity(form<Frm_AddCity>());
            break;
        }
    }

    // The key that saves what the window holds.
    void saveAgain(Save save)
    {
        switch (save) {
        case Save::EditGrid:
            click(form<Frm_EditResults>(), "cmd_Save");
            return;
        case Save::Delete:
            press(Qt::Key_Delete); // and Yes to the question
            return;
        case Save::Sale:
            control(form<Frm_AddTransaction>(), "cmd_OK")->setFocus();
            break;
        default:
            break;
        }
        press(Qt::Key_Space);
    }

    // What the save says: the delete asks first; the edit grid says it
    // saved; told, the records stayed busy.
    static QStringList messages(Save save, const QString &told = {})
    {
        QStringList said{told.isEmpty() && save == Save::EditGrid ? "Changes have Saved!" : told};
        if (save == Save::Delete)
            said.prepend(QStringLiteral("Are You sure You want to DELETE Row with ID #2"));
        said.removeAll(QString());
        return said;
    }

private slots:
    void initTestCase()
    {
        run = std::make_unique<RunningMainWindow>();
        QVERIFY(run->show());
        // Tries spaced widely enough that a till letting go after 100 ms is
        // met by the third try, and all five end within a second.
        kestrel::db::setRetryLimits({5, 50, 60});
    }
    void init()
    {
        run->reset();
        seed();
        run->main->statusBar()->clearMessage();
    }
    void cleanup() { useTestDatabase(); }
    void cleanupTestCase() { run.reset(); }

    // Another till holds the records the save needs; the server gives up
    // waiting at once. Let go during the tries, a later try saves without a
    // word; held, the operator is told, keeps the work, and saves it again
    // once the till is done. Autocommit off drops whatever a save does not
    // commit. Rows: the rows a save needs (for an insert, the whole table)
    // and the tables once it went through.
    void busyRecordsAreTriedAgain_data()
    {
        QTest::addColumn<Save>("save");
        QTest::addColumn<QString>("needs");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("lettingGo");
        const std::tuple<const char *, Save, const char *, const char *> cases[] = {
            {"sale", Save::Sale, "products WHERE ID = 1", "1,10,1.50|2,30,2.00;1;"},
            {"edit grid", Save::EditGrid, "products WHERE ID = 1", "1,12,1.75|2,30,2.00;0;"},
            {"delete", Save::Delete, "products WHERE ID = 2", "1,12,1.50;0;"},
            {"price change", Save::PriceChange, "products WHERE ID = 1", "1,12,2.50|2,30,3.00;0;"},
            {"add city", Save::AddCity, "cities", "1,12,1.50|2,30,2.00;0;BUD"}};
        for (const bool lettingGo : {true, false})
            for (const auto &[name, save, needs, saved] : cases)
                QTest::addRow("%s, %s", name, lettingGo ? "let go" : "held")
                    << save << QString(needs) << QString(saved) << lettingGo;
    }
    void busyRecordsAreTriedAgain()
    {
        QFETCH(Save, save);
        QFETCH(QString, needs);
        QFETCH(QString, saved);
        QFETCH(bool, lettingGo);
        QStringList params = testParams();
        params[7] = QStringLiteral("SET autocommit=0;SET SESSION innodb_lock_wait_timeout=0");
        M::ConnString = M::BuildConnectionString(params);
        HeldRows till(testConnectionString(), "SELECT ID FROM " + needs + " FOR UPDATE");
        std::thread letGo([&] {
            if (!lettingGo)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            till.release();
        });
        KESTREL_CHECK(enter(save));
        saveAgain(save);
        letGo.join();
        QCOMPARE(M::ConnStat(), M::StatIdle);
        if (!lettingGo) {
            QCOMPARE(run->messages->texts(), messages(save, kestrel::db::OtherTillsText));
            QCOMPARE(tables(), Untouched);
            till.release();
            run->messages->clear();
            saveAgain(save);
        }
        QCOMPARE(run->messages->texts(), messages(save));
        QCOMPARE(tables(), saved);
    }

    // The server numbers the rows as it will (here from 50 and 70 on); the
    // status bar says how.
    void theStoredIdIsNoted_data()
    {
        QTest::addColumn<Save>("save");
        QTest::addColumn<QString>("extraLine"); // a second product line's quantity
        QTest::addColumn<QString>("note");
        QTest::newRow("city") << Save::AddCity << ""
                              << "New city saved with ID 50";
        QTest::newRow("sale") << Save::Sale << ""
                              << "New sale saved with turnover ID 70";
        QTest::newRow("sale of two lines") << Save::Sale << "3"
                                           << "New sale saved with turnover IDs 70 to 71";
    }
    void theStoredIdIsNoted()
    {
        QFETCH(Save, save);
        QFETCH(QString, extraLine);
        QFETCH(QString, note);
        exec("ALTER TABLE cities AUTO_INCREMENT = 50");
        exec("ALTER TABLE turnover AUTO_INCREMENT = 70");
        KESTREL_CHECK(enter(save));
        if (!extraLine.isEmpty())
            KESTREL_CHECK(pickFirst("cmd_AddProduct", extraLine));
        saveAgain(save);
        QCOMPARE(run->messages->texts(), QStringList{});
        QCOMPARE(statusNote(), note);
    }
};

QTEST_MAIN(TestSaves)
#include "tst_saves.moc"
