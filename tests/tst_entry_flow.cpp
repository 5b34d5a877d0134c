// What the three add forms share, run against each of them: the Add Record
// commands open them, Cancel and Esc store nothing, a database failure while
// saving closes the form, a failed next-ID lookup leaves 0.

#include "ConnectionCycle.h"
#include "EntryFormHarness.h"
#include "Frm_AddCity.h"
#include "Frm_AddCustomer.h"
#include "Frm_AddProduct.h"

#include <QAction>

using namespace kestrel::test;
namespace M = mdl_Variables_Functions;

namespace {

// Everything the flow tests need to know about one form.
struct FormKind {
    QString table;
    std::function<QWidget *(EntryHarness &)> open;
    std::function<QWidget *(MDIfrm_main *)> find;
    std::function<void(QWidget *)> fillValid;
};

template <class Form> FormKind kindOf(const QString &table, std::function<void(QWidget *)> fill)
{
    return {table, [](EntryHarness &h) -> QWidget * { return h.open<Form>(); },
            [](MDIfrm_main *main) -> QWidget * { return main->findForm<Form>(); }, fill};
}

FormKind formKind(const QString &name)
{
    if (name == QLatin1String("city"))
        return kindOf<Frm_AddCity>("cities", [](QWidget *form) {
            type(lineEdit(form, "txt_Acronym"), "BUD");
            type(lineEdit(form, "txt_FullName"), "Budapest");
            type(lineEdit(form, "txt_PostalCode"), "1011");
            type(lineEdit(form, "txt_CountryCode"), "HUN");
            pick(form, "cmb_Country", "\u2022 Hungary ");
        });
    if (name == QLatin1String("customer"))
        return kindOf<Frm_AddCustomer>("customers", [](QWidget *form) {
            type(lineEdit(form, "txt_City"), "BUD");
            type(lineEdit(form, "txt_FirstName"), "Anna");
            type(lineEdit(form, "txt_SurName"), "Nagy");
            type(textBox(form, "txt_Address"), "Main 1");
            type(lineEdit(form, "txt_Telephone"), "123");
            type(lineEdit(form, "txt_Email"), "a@b.hu");
            type(lineEdit(form, "txt_PersonalIDNo"), "456");
        });
    return kindOf<Frm_AddProduct>("products", [](QWidget *form) {
        type(textBox(form, "txt_Description"), "Milk");
        type(lineEdit(form, "txt_Price"), "1,20");
        type(lineEdit(form, "txt_BarCode"), "777");
        pick(form, "cmb_UM", "\u2022 Pcs");
        click(form, "opt_10xQuantity");
    });
}

} // namespace

class TestEntryFlow : public QObject {
    Q_OBJECT
    EntryHarness harness;

private slots:
    void initTestCase() { harness.start(); }
    void init() { harness.reset(); }

    void commandsOpenTheForms_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<int>("toolbarTag");
        QTest::newRow("city") << "city" << "mnu_AddCity" << 4;
        QTest::newRow("customer") << "customer" << "mnu_AddCustomer" << 3;
        QTest::newRow("product") << "product" << "mnu_AddProduct" << 2;
    }

    void commandsOpenTheForms()
    {
        QFETCH(QString, kind);
        QFETCH(QString, menuItem);
        QFETCH(int, toolbarTag);
        const FormKind form = formKind(kind);
        auto *action = harness.main()->findChild<QAction *>(menuItem);
        QVERIFY(action);
        QVERIFY(action->isEnabled());
        action->trigger();
        settle();
        QVERIFY(form.find(harness.main()));
        harness.closeAll();
        QVERIFY(!form.find(harness.main()));
        harness.main()->tlb_Toolbar_ButtonMenuClick(toolbarTag);
        settle();
        QVERIFY(form.find(harness.main()));
    }

    void cancelAndEscapeStoreNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("focus"); // where Esc is pressed; empty: click Cancel
        for (const char *kind : {"city", "customer", "product"})
            QTest::addRow("%s, Cancel", kind) << kind << QString();
        QTest::newRow("city, Esc in full name") << "city" << "txt_FullName";
        QTest::newRow("city, Esc in postal code") << "city" << "txt_PostalCode";
        QTest::newRow("customer, Esc in address") << "customer" << "txt_Address";
        QTest::newRow("customer, Esc in telephone") << "customer" << "txt_Telephone";
        QTest::newRow("product, Esc in price") << "product" << "txt_Price";
        QTest::newRow("product, Esc in unit list") << "product" << "cmb_UM";
    }

    void cancelAndEscapeStoreNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, focus);
        const FormKind form = formKind(kind);
        QWidget *open = form.open(harness);
        form.fillValid(open);
        if (focus.isEmpty()) {
            click(open, "cmd_Cancel");
        } else {
            QWidget *box = control<QWidget>(open, qPrintable(focus));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Escape);
            settle();
        }
        QVERIFY(!form.find(harness.main()));
        QCOMPARE(rowCount(form.table), 0);
        QVERIFY(harness.recorder->messages.empty());
        QCOMPARE(harness.recorder->beeps, 0);
    }

    void tabLeavesNumericBoxes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("previous");
        QTest::newRow("city, postal code") << "city" << "txt_PostalCode" << "txt_CountryCode"
                                           << "txt_FullName";
        QTest::newRow("customer, telephone") << "customer" << "txt_Telephone" << "txt_Email"
                                             << "txt_Address";
        QTest::newRow("customer, personal ID") << "customer" << "txt_PersonalIDNo"
                                               << "mntvw_Joined" << "txt_Email";
        QTest::newRow("product, price") << "product" << "txt_Price" << "txt_BarCode"
                                        << "txt_Description";
        QTest::newRow("product, custom quantity") << "product" << "txt_CustomQuantity"
                                                  << "mntvw_LastDelivery" << "opt_CustomQuantity";
    }

    void tabLeavesNumericBoxes()
    {
        QFETCH(QString, kind);
        QFETCH(QString, from);
        QFETCH(QString, next);
        QFETCH(QString, previous);
        QWidget *open = formKind(kind).open(harness);
        QWidget *start = control<QWidget>(open, qPrintable(from));
        auto focusIsIn = [&](const QString &name) {
            QWidget *target = control<QWidget>(open, qPrintable(name));
            QWidget *focus = QApplication::focusWidget();
            return focus && (focus == target || target->isAncestorOf(focus));
        };
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Tab);
        QVERIFY(focusIsIn(next));
        start->setFocus();
        QTest::keyClick(start, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(focusIsIn(previous));
        QCOMPARE(harness.recorder->beeps, 0);
    }

    void databaseFailureClosesTheForm_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("messages");
        const QString error = kestrel::db::ConnectionErrorText;
        QTest::newRow("city, OK") << "city" << "cmd_OK" << QStringList{error};
        QTest::newRow("city, Add Next") << "city" << "cmd_AddNext"
                                        << QStringList{error, "Failed to save!"};
        QTest::newRow("customer, OK") << "customer" << "cmd_OK" << QStringList{error};
        QTest::newRow("customer, Add Next") << "customer" << "cmd_AddNext"
                                            << QStringList{error, "Failed to save!"};
        QTest::newRow("product, OK") << "product" << "cmd_OK" << QStringList{error};
        QTest::newRow("product, Add Next") << "product" << "cmd_AddNext" << QStringList{error};
    }

    void databaseFailureClosesTheForm()
    {
        QFETCH(QString, kind);
        QFETCH(QString, button);
        QFETCH(QStringList, messages);
        const FormKind form = formKind(kind);
        QWidget *open = form.open(harness);
        form.fillValid(open);
        exec("DROP TABLE " + form.table);
        click(open, qPrintable(button));
        QCOMPARE(harness.recorder->texts(), messages);
        const auto &failure = harness.recorder->messages.front();
        QCOMPARE(failure.icon, M::MsgIcon::Critical);
        QCOMPARE(failure.title, kestrel::db::ConnectionErrorTitle);
        QCOMPARE(M::ConnStat(), M::StatError);
        QVERIFY(!form.find(harness.main()));
    }

    void failedNextIdLeavesZero_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"city", "customer", "product"})
            QTest::newRow(kind) << kind;
    }

    void failedNextIdLeavesZero()
    {
        QFETCH(QString, kind);
        const FormKind form = formKind(kind);
        exec("DROP TABLE " + form.table);
        QWidget *open = form.open(harness);
        QCOMPARE(harness.recorder->texts(), QStringList{kestrel::db::ConnectionErrorText});
        QVERIFY(form.find(harness.main()));
        QCOMPARE(lineEdit(open, "txt_ID")->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestEntryFlow)
#include "tst_entry_flow.moc"
