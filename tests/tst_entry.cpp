// The add city, customer and product forms against a real server.

#include "core/database/ConnectionCycle.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>

using namespace kestrel::test;

namespace {

// One add form: its window, the command opening it, its table, the controls
// fill() sets (the field "click" names a button to click), values passing
// every check, and the columns its stored row is read back by.
struct FormKind {
    QString form, command, table;
    QStringList fields, valid;
    QString stored;
};

FormKind formKind(const QString &name)
{
    if (name == QLatin1String("city"))
        return {"Frm_AddCity",
                "mnu_AddCity",
                "cities",
                {"txt_Acronym", "txt_FullName", "txt_PostalCode", "txt_CountryCode", "cmb_Country"},
                {"BUD", "Budapest", "1011", "HUN", "\u2022 Hungary "},
                "Acronym,FullName,PostalCode,Country,CountryCode"};
    if (name == QLatin1String("customer"))
        return {"Frm_AddCustomer",
                "mnu_AddCustomer",
                "customers",
                {"click", "txt_City", "txt_FirstName", "txt_SurName", "txt_Address",
                 "txt_Telephone", "txt_Email", "txt_PersonalIDNo", "txt_ShippingAddress",
                 "mntvw_Joined"},
                {"", "BUD", "Anna", "Kov\u00e1cs", "F\u0151 utca 1", "3611234567",
                 "anna@example.com", "12345678"},
                "FirstName,SurName,Address,City,Telephone,Email,PersonalIDNo,Joined,"
                "ShippingAddress"};
    return {"Frm_AddProduct",
            "mnu_AddProduct",
            "products",
            {"txt_Description", "txt_Price", "txt_BarCode", "cmb_UM", "txt_CustomQuantity", "click",
             "mntvw_LastDelivery"},
            {"Milk", "1,20", "777", "\u2022 Pcs", "", "opt_50xQuantity"},
            "Description,UM,Quantity,FORMAT(Price,2,'en_US'),BarCode,LastDelivery"};
}

// The form's valid values with some fields changed.
QStringList with(const FormKind &kind, std::initializer_list<std::pair<QString, QString>> changes)
{
    QStringList values = kind.valid;
    for (const auto &[field, value] : changes) {
        const qsizetype at = kind.fields.indexOf(field);
        if (at < 0)
            qFatal("no field %s", qPrintable(field));
        values.resize(std::max(values.size(), at + 1));
        values[at] = value;
    }
    return values;
}

// Types into text boxes, picks list items by their exact text, selects
// calendar dates; an empty value leaves the control as it is.
void fill(QWidget *form, const FormKind &kind, const QStringList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString &value = values.at(i), &field = kind.fields.at(i);
        QWidget *widget =
            value.isEmpty() ? nullptr : control(form, field == "click" ? value : field);
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->click();
        else if (auto *box = qobject_cast<QComboBox *>(widget))
            box->setCurrentIndex(box->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive));
        else if (auto *calendar = qobject_cast<QCalendarWidget *>(widget))
            calendar->setSelectedDate(QDate::fromString(value, Qt::ISODate));
        else if (widget)
            type(widget, value);
    }
}

// The table's only row, its fields joined by "|".
QString storedRow(const FormKind &kind)
{
    const QString sql = "SELECT CONCAT_WS('|',ID," + kind.stored + ") FROM " + kind.table;
    return scalar(sql).value_or("none");
}

int rowCount(const QString &table)
{
    return scalar("SELECT COUNT(*) FROM " + table).value_or(QString()).toInt();
}

// As a fresh form shows itself: every input empty, no item picked, today on
// the calendars, the given next ID.
void verifyFresh(QWidget *form, const QString &nextId)
{
    QCOMPARE(control<QLineEdit>(form, "txt_ID")->text(), nextId);
    for (QWidget *box : form->findChildren<QWidget *>(QRegularExpression("^txt_(?!ID$)"))) {
        auto *line = qobject_cast<QLineEdit *>(box);
        const QString text =
            line ? line->text() : static_cast<QPlainTextEdit *>(box)->toPlainText();
        QVERIFY2(text.isEmpty(), qPrintable(box->objectName()));
    }
    for (QComboBox *box : form->findChildren<QComboBox *>())
        QCOMPARE(box->currentIndex(), -1);
    for (QCalendarWidget *calendar : form->findChildren<QCalendarWidget *>())
        QCOMPARE(calendar->selectedDate(), QDate::currentDate());
    if (auto *shipping = form->findChild<QPlainTextEdit *>("txt_ShippingAddress"))
        QVERIFY(!shipping->isEnabled()); // ticked "same as address" again
}

QString empty(const QString &what)
{
    return what + " can't be empty!!!";
}

// One row per check, in order: the fields before it valid, it and every
// later one left empty, so a check out of order reports the wrong message.
FormKind checkRows(const QString &name, qsizetype firstField, const QStringList &checks)
{
    const FormKind kind = formKind(name);
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("outcome"); // the one message shown, or the row stored
    for (qsizetype i = 0; i < checks.size(); ++i)
        QTest::newRow(qPrintable(empty(checks.at(i))))
            << kind.valid.mid(0, firstField + i) << empty(checks.at(i));
    return kind;
}

const QString Error = kestrel::db::ConnectionErrorText;
const QString Today = QDate::currentDate().toString(Qt::ISODate);

} // namespace

class TestEntry : public QObject {
    Q_OBJECT
    std::unique_ptr<RunningMainWindow> run;

    // The open form of this kind, or null; one closing is gone after settle().
    QWidget *findForm(const QString &kind)
    {
        return run->main->mdiArea()->findChild<QWidget *>(formKind(kind).form);
    }
    // Opens the form as the operator would, through its Add Record command.
    QWidget *open(const QString &kind)
    {
        trigger(run->main.get(), formKind(kind).command);
        return findForm(kind);
    }
    bool isOpen(const QString &kind) { return findForm(kind); }

    // OK either shows the one message, storing nothing and keeping
    // the form, or stores exactly the row (its fields joined by "|") and closes.
    void runChecks(const QString &kind)
    {
        QFETCH(QStringList, values);
        QFETCH(QString, outcome);
        const bool refused = outcome.endsWith("!!!");
        fill(open(kind), formKind(kind), values);
        click(open(kind), "cmd_OK");
        QCOMPARE(run->messages->texts(), refused ? QStringList{outcome} : QStringList());
        QCOMPARE(isOpen(kind), refused);
        QCOMPARE(rowCount(formKind(kind).table), refused ? 0 : 1);
        if (!refused)
            QCOMPARE(storedRow(formKind(kind)), outcome);
        QCOMPARE(M::ConnStat(), M::StatIdle);
    }

private slots:
    void initTestCase()
    {
        run = std::make_unique<RunningMainWindow>();
        QVERIFY(run->show());
    }
    void init() { run->reset(); }
    void cleanupTestCase() { run.reset(); }

    void cityChecks_data()
    {
        const FormKind k =
            checkRows("city", 0, {"Acronym", "FullName", "PostalCode", "CountryCode", "Country"});
        QTest::newRow("postal code 0") << with(k, {{"txt_PostalCode", "0"}}) << empty("PostalCode");
        QTest::newRow("postal code 00")
            << with(k, {{"txt_PostalCode", "00"}}) << "1|BUD|Budapest|0|Hungary |HUN";
        QTest::newRow("blanks") << with(k, {{"txt_Acronym", " "}, {"txt_CountryCode", " "}})
                                << "1||Budapest|1011|Hungary |"; // CHAR drops trailing blanks
        QTest::newRow("quotes and backslash")
            << with(k, {{"txt_FullName", "O'Brien \\ Town"},
                        {"cmb_Country", "\u2022 C\u00f4te d'Ivoire "}})
            << "1|BUD|O'Brien \\ Town|1011|C\u00f4te d'Ivoire |HUN";
    }
    void cityChecks() { runChecks("city"); }

    void customerChecks_data()
    {
        const FormKind k = checkRows("customer", 1,
                                     {"City", "FirstName", "SurName", "Address", "Telephone",
                                      "@ - mail", "Personal ID No."});
        QTest::newRow("no shipping address")
            << with(k, {{"click", "chk_SameAddress"}}) << empty("Shipping Address");
        QTest::newRow("telephone 0") << with(k, {{"txt_Telephone", "0"}}) << empty("Telephone");
        QTest::newRow("telephone and ID 00, multi-line address, calendar date")
            << with(k, {{"txt_Telephone", "00"},
                        {"txt_PersonalIDNo", "00"},
                        {"txt_Address", "Line 1\nLine 2"},
                        {"mntvw_Joined", "2008-03-07"}})
            << "1|Anna|Kov\u00e1cs|Line 1\nLine 2|BUD|00|anna@example.com|00|2008-03-07|"
               "Line 1\nLine 2";
        QTest::newRow("Cyrillic, quote, backslash, own shipping address")
            << with(k, {{"click", "chk_SameAddress"},
                        {"txt_City", "O'B"},
                        {"txt_FirstName", "\u0418\u0432\u0430\u043d"},
                        {"txt_SurName", "O'Brien"},
                        {"txt_Address", "Back\\slash 'road'"},
                        {"txt_ShippingAddress", "Depot 9"}})
            << "1|\u0418\u0432\u0430\u043d|O'Brien|Back\\slash 'road'|O'B|3611234567|"
               "anna@example.com|12345678|"
                   + Today + "|Depot 9";
    }
    void customerChecks() { runChecks("customer"); }

    void productChecks_data()
    {
        const FormKind k =
            checkRows("product", 0, {"Description", "Price", "BarCode", "UM", "Quantity"});
        QTest::newRow("price 0") << with(k, {{"txt_Price", "0"}}) << empty("Price");
        // Neither an amount the server could not read nor one it would keep
        // other than typed reaches it.
        QTest::newRow("price 1,2,3")
            << with(k, {{"txt_Price", "1,2,3"}}) << "Price must be an amount such as 12,50!!!";
        for (const char *price : {"1,999", "10000000000000"})
            QTest::addRow("price %s", price)
                << with(k, {{"txt_Price", price}})
                << "Price must be an amount of at most 9999999999999,99 with two decimals!!!";
        QTest::newRow("custom quantity 000")
            << with(k, {{"click", ""}, {"txt_CustomQuantity", "000"}}) << empty("Quantity");
        QTest::newRow("custom quantity of 16 digits")
            << with(k, {{"click", ""}, {"txt_CustomQuantity", "1000000000000000"}})
            << "Quantity must be a whole number of at most 999999999999999!!!";
        QTest::newRow("price 0,00, 100 x over a custom text") << with(
            k, {{"txt_Price", "0,00"}, {"txt_CustomQuantity", "7"}, {"click", "opt_100xQuantity"}})
                                                              << "1|Milk|Pcs|100|0.00|777|" + Today;
        QTest::newRow("custom quantity with leading zeros")
            << with(k, {{"txt_Price", "3,5"}, {"txt_CustomQuantity", "007"}, {"click", ""}})
            << "1|Milk|Pcs|7|3.50|777|" + Today;
    }
    void productChecks() { runChecks("product"); }

    // Add Next stores and starts afresh; Reset asks for the next ID afresh:
    // someone else may have stored meanwhile.
    void addNextThenReset()
    {
        const QString kind = "customer";
        const FormKind k = formKind(kind);
        const QStringList values = with(k, {{"click", "chk_SameAddress"},
                                            {"txt_ShippingAddress", "Depot"},
                                            {"mntvw_Joined", "2008-03-07"}});
        QWidget *form = open(kind);
        KESTREL_CHECK(verifyFresh(form, "1"));
        fill(form, k, values);
        click(form, "cmd_AddNext");
        QVERIFY(run->messages->messages.empty());
        QCOMPARE(rowCount(k.table), 1);
        QVERIFY(isOpen(kind));
        KESTREL_CHECK(verifyFresh(form, "2"));
        fill(form, k, values);
        exec("UPDATE " + k.table + " SET ID=7");
        click(form, "cmd_Reset");
        KESTREL_CHECK(verifyFresh(form, "8"));
        QCOMPARE(rowCount(k.table), 1);
        QVERIFY(run->messages->messages.empty());
    }

    // Typed into a box, what it shows and how often it beeped. The filters
    // must let Tab through to the form, and Enter in a numeric box is silent.
    void keyFiltersAndLimits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        const struct {
            const char *box, *typed, *shown;
            int beeps;
        } rows[] = {{"txt_PostalCode", "10a1,1", "1011", 2},
                    {"txt_PostalCode", "12\n", "12", 0},
                    {"txt_Price", "1\t", "1", 0},
                    {"txt_PostalCode", "1234567890", "123456789", 0},
                    {"txt_Price", "1,2x0.5", "1,205", 2},
                    {"txt_BarCode", "7,\u06637", "77", 2}, // digits of other scripts too
                    {"txt_CustomQuantity", "5,0", "50", 1},
                    // Limits count characters as a person sees them: an
                    // emoji at the limit goes whole or not at all.
                    {"txt_Acronym", "AB\U0001F426", "AB\U0001F426", 0},
                    {"txt_Acronym", "ABC\U0001F426", "ABC", 0}};
        for (const auto &r : rows)
            QTest::addRow("%s: %s", r.box, r.typed) << r.box << r.typed << r.shown << r.beeps;
    }
    void keyFiltersAndLimits()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        QWidget *widget = nullptr;
        for (const char *kind : {"city", "customer", "product"})
            if (formKind(kind).fields.contains(box))
                widget = control(open(kind), box);
        type(widget, typed);
        QCOMPARE(qobject_cast<QLineEdit *>(widget)->text(), shown);
        QCOMPARE(run->messages->beeps, beeps);
        QCOMPARE(widget->hasFocus(), !typed.endsWith('\t'));
        QVERIFY(run->messages->messages.empty());
    }

    // A year typed into a calendar's year editor, then a day of the month
    // shown clicked: the calendar keeps to the days the server stores, so
    // the save goes through and the form is not lost.
    void typedCalendarYearStaysStorable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("year");
        QTest::newRow("customer, 0") << "customer"
                                     << "0";
        QTest::newRow("product, 999") << "product"
                                      << "999";
    }
    void typedCalendarYearStaysStorable()
    {
        QFETCH(QString, kind);
        QFETCH(QString, year);
        const FormKind k = formKind(kind);
        const QString column = kind == "customer" ? "Joined" : "LastDelivery";
        QWidget *form = open(kind);
        fill(form, k, k.valid);
        auto *dates = control<QCalendarWidget>(form, k.fields.back());
        QTest::mouseClick(control<QAbstractButton>(dates, "qt_calendar_yearbutton"),
                          Qt::LeftButton);
        QWidget *yearEdit = control(dates, "qt_calendar_yearedit");
        QTest::keyClick(yearEdit, Qt::Key_A, Qt::ControlModifier);
        type(yearEdit, year + "\n");
        auto *days = control<QAbstractItemView>(dates, "qt_calendar_calendarview");
        QTest::mouseClick(days->viewport(), Qt::LeftButton, {},
                          days->visualRect(days->model()->index(3, 3)).center());
        QCOMPARE_GE(dates->selectedDate(), QDate(1000, 1, 1));
        click(form, "cmd_OK");
        QCOMPARE(run->messages->texts(), QStringList());
        QVERIFY(!isOpen(kind));
        QCOMPARE_GE(scalar("SELECT " + column + " FROM " + k.table).value_or(""),
                    QStringLiteral("1000-01-01"));
    }

    // How a form is left or fails: Cancel and Esc store nothing and say
    // nothing; a failed check, and a value the server refuses, keep the form;
    // a broken database closes it with the connection error. A failed Add
    // Next says "Failed to save!" after, except for products.
    void leavingAndFailing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fault");  // none, check, drop (the table), 12x or a CHECK
        QTest::addColumn<QString>("action"); // a button to click, or a box to press Esc in
        QTest::addColumn<QStringList>("messages");
        const QStringList again{"Failed to save!"};
        QTest::newRow("city, Cancel") << "city"
                                      << "none"
                                      << "cmd_Cancel" << QStringList();
        QTest::newRow("customer, OK, table dropped") << "customer"
                                                     << "drop"
                                                     << "cmd_OK" << QStringList{Error};
        QTest::newRow("city, Add Next, table dropped")
            << "city"
            << "drop"
            << "cmd_AddNext" << QStringList{Error} + again;
        QTest::newRow("customer, Add Next, check")
            << "customer"
            << "check"
            << "cmd_AddNext" << QStringList{empty("City")} + again;
        // A value the server refuses is named; the form keeps its input.
        QTest::newRow("product, OK, a value refused")
            << "product"
            << "Price < 1"
            << "cmd_OK"
            << QStringList{"Price: the database refused \"1,20\"! Nothing was saved!!!"};
        // The numeric boxes and the lists filter keys: Esc must get through.
        for (const auto &[kind, box] : {std::pair{"city", "txt_PostalCode"}, {"product", "cmb_UM"}})
            QTest::addRow("%s, Esc in %s", kind, box) << kind << "none" << box << QStringList();
        // Only code can put such a text there: the box refuses it typed or pasted.
        QTest::newRow("product, unreadable quantity") << "product"
                                                      << "12x"
                                                      << "cmd_OK" << QStringList{Error};
    }
    void leavingAndFailing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, fault);
        QFETCH(QString, action);
        QFETCH(QStringList, messages);
        const FormKind k = formKind(kind);
        QWidget *form = open(kind);
        if (fault != "check")
            fill(form, k, k.valid);
        if (fault == "drop")
            exec("DROP TABLE " + k.table);
        const bool refusal = fault.contains(' ');
        if (refusal) // named after the column, as a CHECK declared with it is
            exec("ALTER TABLE " + k.table + " ADD CONSTRAINT " + fault.section(' ', 0, 0)
                 + " CHECK (" + fault + ")");
        if (fault == "12x") {
            click(form, "opt_CustomQuantity");
            control<QLineEdit>(form, "txt_CustomQuantity")->setText("12x");
        }
        if (action.startsWith("cmd_"))
            click(form, action);
        else
            type(control(form, action), "\x1b");
        settle();
        QCOMPARE(run->messages->texts(), messages);
        const bool broken = fault == "drop" || fault == "12x";
        if (fault == "none")
            QCOMPARE(run->messages->beeps, 0);
        QCOMPARE(isOpen(kind), fault == "check" || refusal);
        if (refusal)
            QCOMPARE(control<QLineEdit>(findForm(kind), k.fields[1])->text(), k.valid[1]);
        QCOMPARE(M::ConnStat(), broken ? M::StatError : M::StatIdle);
        if (broken)
            QCOMPARE(run->messages->messages.front().title, kestrel::db::ConnectionErrorTitle);
        if (!messages.isEmpty())
            QCOMPARE(run->messages->messages.front().icon,
                     broken ? M::MsgIcon::Critical : M::MsgIcon::None);
        if (fault != "drop")
            QCOMPARE(rowCount(k.table), 0);
    }
};

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
