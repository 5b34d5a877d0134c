// Whole tasks as an operator does them at the till: keys pressed where the
// focus is, from the main window, with another window open in the
// background; each journey ends in the database or in a file. Message boxes
// are real where a journey goes on after one, so the keys must come back
// to the window that showed it.

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
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace M = mdl_Variables_Functions;
using namespace kestrel;
using test::column;

namespace {

// Customers 1 Anna Kovacs and 2 Bob Smith; products 1 Milk (12 in store,
// 1,50) and 2 Bread (30, 2,00); cities 1 BUD and 2 HAR; one sale of today.
void seed()
{
    test::exec("INSERT INTO customers VALUES (NULL,'Anna','Kovacs','Main Street 1','BUD','1',"
               "'a@b.c','1','2008-03-05','Main Street 1'),(NULL,'Bob','Smith','Harbour Road',"
               "'HAR','2','b@b.c','2','2008-03-05','Depot 4')");
    test::exec("INSERT INTO products VALUES (NULL,'Milk','Pcs',12,1.50,'1','2008-03-05'),"
               "(NULL,'Bread','Pcs',30,2.00,'2','2008-03-05')");
    test::exec("INSERT INTO cities VALUES (1,'BUD','Budapest',1011,'Hungary','HUN'),"
               "(2,'HAR','Harare',0,'Zimbabwe','ZWE')");
    test::exec("INSERT INTO turnover VALUES (NULL,1,1,1.50,1.77,CURDATE(),1)");
}

// Every sale as "product,quantity,customer", in order.
QString sales()
{
    return test::scalar("SELECT GROUP_CONCAT(CONCAT_WS(',',ProductID,Quantity,CustomerID) "
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

// Waits for the next modal window (a message box, the file dialog) and acts
// on it, from a timer: the window runs an event loop of its own.
class NextDialog {
public:
    explicit NextDialog(std::function<void(QWidget *)> act)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, act] {
            // Keys go to a window once X11 has made it the active one.
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || dialog != QApplication::activeWindow())
                return;
            m_timer.stop();
            if (auto *box = qobject_cast<QMessageBox *>(dialog))
                m_text = box->text();
            m_seen = true;
            act(dialog);
        });
        m_timer.start(20);
    }
    bool seen() const { return m_seen; }
    QString text() const { return m_text; }

private:
    QTimer m_timer;
    bool m_seen = false;
    QString m_text;
};

std::function<void(QWidget *)> pressKey(Qt::Key key)
{
    return [key](QWidget *dialog) { QTest::keyClick(dialog, key); };
}

} // namespace

class TestJourneys : public QObject {
    Q_OBJECT
    std::unique_ptr<test::RunningMainWindow> run;

    QWidget *focus() const { return QApplication::focusWidget(); }
    QString focusName() const { return focus() ? focus()->objectName() : QString(); }
    KForm *active() const { return run->main->activeForm(); }

    // A key where the operator's focus is: in a form, or the main window.
    // A dialog it opened has closed when it returns; X11 gives the main
    // window the keys back a moment later.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(focus() ? focus() : run->main.get(), Qt::Key(key), modifiers);
        test::settle();
        QVERIFY(QTest::qWaitForWindowActive(run->main.get()));
    }

    // Keys typed one by one where the focus is, wherever each one takes it
    // ("\t" Tab, "\n" Enter).
    void keys(const QString &text)
    {
        for (const QChar c : text) {
            test::type(focus(), QString(c));
            test::settle();
        }
    }

    void tabTo(const QString &name)
    {
        for (int i = 0; i < 40 && focusName() != name; ++i)
            QTest::keyClick(focus(), Qt::Key_Tab);
        QCOMPARE(focusName(), name);
    }

    // The window and the control that have the keys.
    void verifyKeysAt(QWidget *form, const QString &control)
    {
        QCOMPARE(active(), form);
        QVERIFY2(form->isAncestorOf(focus()),
                 qPrintable(control + " wanted, the keys at " + focusName()));
        QCOMPARE(focusName(), control);
    }

    // Opens a chooser with Space on the focused button, walks down to row
    // and picks it with Enter.
    void pickRow(int row)
    {
        press(Qt::Key_Space);
        QVERIFY(run->main->findForm<Frm_QueryResults>());
        for (int i = 1; i < row; ++i)
            press(Qt::Key_Down);
        press(Qt::Key_Return);
        QVERIFY(!run->main->findForm<Frm_QueryResults>());
    }

private slots:
    void initTestCase()
    {
        run = std::make_unique<test::RunningMainWindow>();
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
        test::trigger(run->main.get(), "mnu_EProduct");
        test::click(active(), "cmd_ShowAll");
        auto *behind = run->main->findForm<Frm_EditResults>();
        QVERIFY(behind);
        const QString gridBefore = column(behind->fxg_QueryResult, 4);

        press(Qt::Key_F5);
        auto *sale = run->main->findForm<Frm_AddTransaction>();
        KESTREL_CHECK(verifyKeysAt(sale, "cmd_AddCustomer"));
        KESTREL_CHECK(pickRow(2));
        KESTREL_CHECK(verifyKeysAt(sale, "cmd_AddCustomer"));
        KESTREL_CHECK(tabTo("cmd_AddProduct"));
        KESTREL_CHECK(pickRow(2));
        auto *prompt = run->main->findForm<Frm_ProdQuant>();
        KESTREL_CHECK(verifyKeysAt(prompt, "txt_Quantity"));
        keys("3\t\n");
        QVERIFY(!run->main->findForm<Frm_ProdQuant>());
        KESTREL_CHECK(verifyKeysAt(sale, "cmd_AddProduct"));
        KESTREL_CHECK(tabTo("cmd_OK"));
        press(Qt::Key_Return);

        QVERIFY(!run->main->findForm<Frm_AddTransaction>());
        QVERIFY(run->messages->messages.empty());
        QCOMPARE(sales(), QStringLiteral("1,1,1|2,3,2"));
        QCOMPARE(test::scalar("SELECT Quantity FROM products WHERE ID = 2").value_or(""),
                 QStringLiteral("27"));
        QCOMPARE(column(behind->fxg_QueryResult, 4), gridBefore);
    }

    // Esc leaves a chooser without a pick: nothing lands in the sale, the
    // keys are back on the button, and the next chooser picks as ever.
    void leavingAChooserWithoutPicking()
    {
        press(Qt::Key_F4);
        keys("SZE");
        press(Qt::Key_F5);
        auto *sale = run->main->findForm<Frm_AddTransaction>();
        for (const char *button : {"cmd_AddCustomer", "cmd_AddProduct"}) {
            KESTREL_CHECK(tabTo(button));
            press(Qt::Key_Space);
            QVERIFY(run->main->findForm<Frm_QueryResults>());
            press(Qt::Key_Escape);
            QVERIFY(!run->main->findForm<Frm_QueryResults>());
            KESTREL_CHECK(verifyKeysAt(sale, button));
        }
        QVERIFY(!M::AddTransPickCustomer && !M::AddTransPickProduct);
        QCOMPARE(column(test::control<FlexGrid>(sale, "fxg_Customer"), 0), QString());
        QCOMPARE(column(test::control<FlexGrid>(sale, "fxg_Products"), 0), QString());

        KESTREL_CHECK(tabTo("cmd_AddCustomer"));
        KESTREL_CHECK(pickRow(1));
        KESTREL_CHECK(tabTo("cmd_AddProduct"));
        KESTREL_CHECK(pickRow(1));
        keys("2\t\n");
        KESTREL_CHECK(tabTo("cmd_OK"));
        press(Qt::Key_Return);
        QCOMPARE(sales(), QStringLiteral("1,1,1|1,2,1"));
        QCOMPARE(
            test::control<QLineEdit>(run->main->findForm<Frm_AddCity>(), "txt_Acronym")->text(),
            QStringLiteral("SZE"));
    }

    // Shift+F4, a criterion and Enter; an acronym changed in the grid;
    // leaving it unsaved asks (a real box: Esc keeps the grid), Save, the
    // box's OK, and Esc closes the grid: the keys come back each time.
    void aFindAnEditInTheGridAndASave()
    {
        press(Qt::Key_F5);
        auto *sale = run->main->findForm<Frm_AddTransaction>();
        press(Qt::Key_F4, Qt::ShiftModifier);
        press(Qt::Key_Space);
        press(Qt::Key_Tab);
        keys("2\n");
        auto *grid = run->main->findForm<Frm_EditResults>();
        QVERIFY(grid);
        QCOMPARE(column(grid->fxg_QueryResult, 1), QStringLiteral("2"));
        KESTREL_CHECK(verifyKeysAt(grid, "fxg_QueryResult"));
        keys("QRS\n"); // a typed key starts the Acronym anew

        RealMessageBoxes boxes;
        {
            NextDialog question(pressKey(Qt::Key_Escape)); // No
            press(Qt::Key_Escape);
            QVERIFY(question.seen());
            QCOMPARE(question.text(), QStringLiteral("Changes are not saved in DB! Close the "
                                                     "grid anyway?"));
        }
        QVERIFY(run->main->findForm<Frm_EditResults>());
        KESTREL_CHECK(verifyKeysAt(grid, "fxg_QueryResult"));
        KESTREL_CHECK(tabTo("cmd_Save"));
        {
            NextDialog saved(pressKey(Qt::Key_Return));
            press(Qt::Key_Return);
            QCOMPARE(saved.text(), QStringLiteral("Changes have Saved!"));
        }
        KESTREL_CHECK(verifyKeysAt(grid, "cmd_Save"));
        QCOMPARE(test::scalar("SELECT Acronym FROM cities WHERE ID = 2").value_or(""),
                 QStringLiteral("QRS"));
        {
            NextDialog none(pressKey(Qt::Key_Escape));
            press(Qt::Key_Escape);
            QVERIFY(!none.seen());
        }
        QVERIFY(!run->main->findForm<Frm_EditResults>());
        // The find form went when the grid came: the keys go back to the
        // sale, where they were before the search.
        KESTREL_CHECK(verifyKeysAt(sale, "cmd_AddCustomer"));
    }

    // Today's list open, a city being typed: Ctrl+E from the city's box
    // exports the list; the file holds its rows.
    void anExportWithCtrlE()
    {
        press(Qt::Key_T, Qt::ControlModifier);
        QVERIFY(run->main->findForm<Frm_QueryResults>());
        press(Qt::Key_F4);
        QCOMPARE(focusName(), QStringLiteral("txt_Acronym"));
        const QString path = run->dir.file(QStringLiteral("today.csv"));
        NextDialog saveAs([path](QWidget *dialog) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            test::type(name, path + '\n');
        });
        press(Qt::Key_E, Qt::ControlModifier);
        QVERIFY(saveAs.seen());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("Milk")) && text.contains(QStringLiteral("Kovacs")),
                 qPrintable(text));
        KESTREL_CHECK(verifyKeysAt(run->main->findForm<Frm_AddCity>(), "txt_Acronym"));
    }
};

QTEST_MAIN(TestJourneys)
#include "tst_journeys.moc"
