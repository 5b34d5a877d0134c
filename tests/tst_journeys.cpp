// Whole tasks by the keys, pressed where the focus is, another window open
// behind; each ends in the database or a file.

#include "editing/Frm_EditResults.h"
#include "entry/Frm_AddCity.h"
#include "entry/Frm_AddTransaction.h"
#include "entry/Frm_ProdQuant.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"
#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using namespace kestrel::test;

namespace {

// Two customers, two products, two cities; one sale of today.
void seed()
{
    exec("INSERT INTO customers VALUES (NULL,'Anna','Kovacs','Main Street 1','BUD','1',"
         "'a@b.c','1','2008-03-05','Main Street 1'),(NULL,'Bob','Smith','Harbour Road',"
         "'HAR','2','b@b.c','2','2008-03-05','Depot 4')");
    exec("INSERT INTO products VALUES (NULL,'Milk','Pcs',12,1.50,'1','2008-03-05'),"
         "(NULL,'Bread','Pcs',30,2.00,'2','2008-03-05')");
    exec("INSERT INTO cities VALUES (1,'BUD','Budapest',1011,'Hungary','HUN'),"
         "(2,'HAR','Harare',0,'Zimbabwe','ZWE')");
    exec("INSERT INTO turnover VALUES (NULL,1,1,1.50,1.77,CURDATE(),1)");
}

// Every sale as "product,quantity,customer", in order.
QString sales()
{
    return scalar("SELECT GROUP_CONCAT(CONCAT_WS(',',ProductID,Quantity,CustomerID) "
                  "ORDER BY ID SEPARATOR '|') FROM turnover")
        .value_or(QString());
}

// The real message boxes instead of the recorder, while it lives.
class RealMessageBoxes {
public:
    RealMessageBoxes() : m_previous(M::SetMessageService({})) { installMessageBoxes(); }
    ~RealMessageBoxes() { M::SetMessageService(m_previous); }

private:
    M::MessageService m_previous;
};

// Acts on the next modal window once X11 has made it active (keys sent
// before go astray), from a timer: it runs an event loop of its own.
class NextDialog {
public:
    explicit NextDialog(std::function<void(QWidget *)> act)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, act] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || dialog != QApplication::activeWindow())
                return;
            m_timer.stop();
            const auto *box = qobject_cast<QMessageBox *>(dialog);
            text = box ? box->text() : dialog->windowTitle();
            act(dialog);
        });
        m_timer.start(20);
    }
    explicit NextDialog(Qt::Key key) : NextDialog([key](QWidget *d) { QTest::keyClick(d, key); }) {}
    QString text; // empty until the dialog showed up

private:
    QTimer m_timer;
};

} // namespace

class TestJourneys : public QObject {
    Q_OBJECT
    std::unique_ptr<RunningMainWindow> run;

    void verifyKeysAt(QWidget *form, const QString &control) // they have the keys
    {
        QCOMPARE(run->main->activeForm(), form);
        QCOMPARE(test::focusName(), control);
    }

    void pickRow(int row) // with Space on the focused button
    {
        test::keys(" ");
        KESTREL_CHECK(test::pickRow(row));
    }

private slots:
    void initTestCase()
    {
        run = std::make_unique<RunningMainWindow>();
        QVERIFY(run->show());
    }
    void init()
    {
        run->reset();
        seed();
    }
    void cleanupTestCase() { run.reset(); }

    // F5 to a stored sale, with an edit grid of products open behind: each
    // pick and the quantity prompt's OK give the keys back to the sale, on
    // the button that opened them; the grid behind is never typed into.
    void aSaleFromF5ToSaved()
    {
        trigger(run->main.get(), "mnu_EProduct");
        click(run->main->activeForm(), "cmd_ShowAll");
        auto *behind = run->main->findForm<Frm_EditResults>();
        const QString gridBefore = column(control<FlexGrid>(behind, "fxg_QueryResult"), 4);

        press(Qt::Key_F5);
        auto *sale = run->main->findForm<Frm_AddTransaction>();
        KESTREL_CHECK(pickRow(2));
        KESTREL_CHECK(verifyKeysAt(sale, "cmd_AddCustomer"));
        KESTREL_CHECK(tabTo("cmd_AddProduct"));
        KESTREL_CHECK(pickRow(2));
        KESTREL_CHECK(verifyKeysAt(run->main->findForm<Frm_ProdQuant>(), "txt_Quantity"));
        keys("3\t\n");
        KESTREL_CHECK(verifyKeysAt(sale, "cmd_AddProduct"));
        KESTREL_CHECK(tabTo("cmd_OK"));
        keys("\n");

        QVERIFY(!run->main->findForm<Frm_AddTransaction>());
        QVERIFY(run->messages->messages.empty());
        QCOMPARE(sales(), QStringLiteral("1,1,1|2,3,2"));
        QCOMPARE(scalar("SELECT Quantity FROM products WHERE ID = 2").value_or(""), "27");
        QCOMPARE(column(control<FlexGrid>(behind, "fxg_QueryResult"), 4), gridBefore);
    }

    // Esc leaves a chooser without a pick: the keys are back on the button
    // that opened it, and nothing landed in the sale, which OK refuses.
    void leavingAChooserWithoutPicking()
    {
        press(Qt::Key_F4);
        keys("SZE");
        press(Qt::Key_F5);
        auto *sale = run->main->findForm<Frm_AddTransaction>();
        for (const char *button : {"cmd_AddCustomer", "cmd_AddProduct"}) {
            KESTREL_CHECK(tabTo(button));
            keys(" ");
            QVERIFY(run->main->findForm<Frm_QueryResults>());
            keys("\x1b");
            QVERIFY(!run->main->findForm<Frm_QueryResults>());
            KESTREL_CHECK(verifyKeysAt(sale, button));
        }
        KESTREL_CHECK(tabTo("cmd_OK"));
        keys("\n");
        QCOMPARE(run->messages->texts(), QStringList{"No Customer added!!!"});
        QCOMPARE(sales(), QStringLiteral("1,1,1"));
    }

    // Shift+F4 finds a city; an acronym typed in the grid; Esc asks (a real
    // box: its Esc keeps the grid); Save; Esc closes the grid: the keys come
    // back each time, at last to the sale behind.
    void aFindAnEditInTheGridAndASave()
    {
        press(Qt::Key_F5);
        auto *sale = run->main->findForm<Frm_AddTransaction>();
        press(Qt::Key_F4, Qt::ShiftModifier);
        keys(" \t2\n");
        auto *grid = run->main->findForm<Frm_EditResults>();
        QVERIFY(grid);
        QCOMPARE(column(control<FlexGrid>(grid, "fxg_QueryResult"), 1), QStringLiteral("2"));
        keys("QRS\n"); // the Acronym anew

        RealMessageBoxes boxes;
        NextDialog question(Qt::Key_Escape);
        press(Qt::Key_Escape);
        QCOMPARE(question.text, "Changes are not saved in DB! Close the grid anyway?");
        KESTREL_CHECK(verifyKeysAt(grid, "fxg_QueryResult"));
        KESTREL_CHECK(tabTo("cmd_Save"));
        NextDialog saved(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(saved.text, "Changes have Saved!");
        KESTREL_CHECK(verifyKeysAt(grid, "cmd_Save"));
        QCOMPARE(scalar("SELECT Acronym FROM cities WHERE ID = 2").value_or(""), "QRS");
        NextDialog none(Qt::Key_Escape);
        press(Qt::Key_Escape);
        QVERIFY(none.text.isEmpty());
        KESTREL_CHECK(verifyKeysAt(sale, "cmd_AddCustomer"));
    }

    // Today's list open, a city being typed: Ctrl+E from the city's box
    // exports the list; the file holds its rows.
    void anExportWithCtrlE()
    {
        press(Qt::Key_T, Qt::ControlModifier);
        press(Qt::Key_F4);
        const QString path = run->dir.file(QStringLiteral("today.csv"));
        NextDialog saveAs([path](QWidget *dialog) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            type(name, path + '\n');
        });
        press(Qt::Key_E, Qt::ControlModifier);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains("Milk") && text.contains("Kovacs"), qPrintable(text));
        KESTREL_CHECK(verifyKeysAt(run->main->findForm<Frm_AddCity>(), "txt_Acronym"));
    }
};

QTEST_MAIN(TestJourneys)
#include "tst_journeys.moc"
