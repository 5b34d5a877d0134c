// The add customer form against a real server: its checks, what reaches the
// table, the shipping address that follows the address, Add Next and Reset.

#include "EntryFormHarness.h"
#include "Frm_AddCustomer.h"

#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>

using namespace kestrel::test;

namespace {

struct CustomerInput {
    QString city, firstName, surName, address, telephone, email, personalIdNo;
};

const CustomerInput Complete{"BUD", "Anna", "Kov\u00e1cs", "F\u0151 utca 1", "3611234567",
                             "anna@example.com", "12345678"};

void fill(QWidget *form, const CustomerInput &in)
{
    type(lineEdit(form, "txt_City"), in.city);
    type(lineEdit(form, "txt_FirstName"), in.firstName);
    type(lineEdit(form, "txt_SurName"), in.surName);
    type(textBox(form, "txt_Address"), in.address);
    type(lineEdit(form, "txt_Telephone"), in.telephone);
    type(lineEdit(form, "txt_Email"), in.email);
    type(lineEdit(form, "txt_PersonalIDNo"), in.personalIdNo);
}

QCheckBox *sameAddress(QWidget *form)
{
    return control<QCheckBox>(form, "chk_SameAddress");
}

// Clicks the box of "Same as Address" itself (the widget is wider than its
// caption, and a click beside the caption does nothing).
void clickSameAddress(QWidget *form)
{
    QCheckBox *box = sameAddress(form);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

} // namespace

Q_DECLARE_METATYPE(CustomerInput)

class TestAddCustomer : public QObject {
    Q_OBJECT
    EntryHarness harness;
    QPointer<Frm_AddCustomer> form;

private slots:
    void initTestCase() { harness.start(); }
    void init()
    {
        harness.reset();
        form = harness.open<Frm_AddCustomer>();
    }

    void opensReadyForANewCustomer()
    {
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("1"));
        QCOMPARE(control<QCalendarWidget>(form, "mntvw_Joined")->selectedDate(),
                 QDate::currentDate());
        QVERIFY(sameAddress(form)->isChecked());
        QVERIFY(!textBox(form, "txt_ShippingAddress")->isEnabled());
        QCOMPARE(form->parentWidget()->windowTitle(), QStringLiteral("Add New Customer"));
    }

    void checks_data()
    {
        QTest::addColumn<CustomerInput>("input");
        QTest::addColumn<bool>("sameAddress");
        QTest::addColumn<QString>("message");
        auto without = [](QString CustomerInput::*field, const QString &value = QString()) {
            CustomerInput in = Complete;
            in.*field = value;
            return in;
        };
        QTest::newRow("all empty") << CustomerInput{} << true << "City can't be empty!!!";
        QTest::newRow("no first name") << without(&CustomerInput::firstName) << true
                                       << "FirstName can't be empty!!!";
        QTest::newRow("no surname") << without(&CustomerInput::surName) << true
                                    << "SurName can't be empty!!!";
        QTest::newRow("no address, box ticked") << without(&CustomerInput::address) << true
                                                << "Address can't be empty!!!";
        QTest::newRow("no telephone") << without(&CustomerInput::telephone) << true
                                      << "Telephone can't be empty!!!";
        QTest::newRow("telephone 0") << without(&CustomerInput::telephone, "0") << true
                                     << "Telephone can't be empty!!!";
        QTest::newRow("no e-mail") << without(&CustomerInput::email) << true
                                   << "@ - mail can't be empty!!!";
        QTest::newRow("personal ID 0") << without(&CustomerInput::personalIdNo, "0") << true
                                       << "Personal ID No. can't be empty!!!";
        QTest::newRow("no personal ID") << without(&CustomerInput::personalIdNo) << true
                                        << "Personal ID No. can't be empty!!!";
        QTest::newRow("no shipping address") << Complete << false
                                             << "Shipping Address can't be empty!!!";
        QTest::newRow("telephone and ID 00 pass")
            << [&] {
                   CustomerInput in = without(&CustomerInput::telephone, "00");
                   in.personalIdNo = "00";
                   return in;
               }()
            << true << QString();
    }

    void checks()
    {
        QFETCH(CustomerInput, input);
        QFETCH(bool, sameAddress);
        QFETCH(QString, message);
        if (!sameAddress)
            clickSameAddress(form);
        fill(form, input);
        if (!sameAddress)
            textBox(form, "txt_ShippingAddress")->clear();
        click(form, "cmd_OK");
        verifyCheckOutcome(harness, form, "customers", message);
        if (QTest::currentTestFailed() || message.isEmpty())
            return;
        QCOMPARE(lineEdit(form, "txt_FirstName")->text(), input.firstName);
    }

    void storesWhatWasEntered_data()
    {
        QTest::addColumn<CustomerInput>("input");
        QTest::addColumn<QDate>("joined");
        QTest::addColumn<QString>("storedJoined");
        QTest::newRow("accented names, calendar date") << Complete << QDate(2008, 3, 7)
                                                       << "2008-03-07";
        QTest::newRow("quote and backslash")
            << CustomerInput{"O'B", "Se\u00e1n", "O'Brien", "Back\\slash 'road'", "123",
                             "o'brien@example.ie", "456"}
            << QDate(2020, 12, 31) << "2020-12-31";
        QTest::newRow("Cyrillic")
            << CustomerInput{"MOW", "\u0418\u0432\u0430\u043d", "\u041f\u0435\u0442\u0440\u043e\u0432",
                             "\u0422\u0432\u0435\u0440\u0441\u043a\u0430\u044f 1", "7495", "ivan@example.ru",
                             "77"}
            << QDate(2024, 2, 29) << "2024-02-29";
    }

    void storesWhatWasEntered()
    {
        QFETCH(CustomerInput, input);
        QFETCH(QDate, joined);
        QFETCH(QString, storedJoined);
        fill(form, input);
        control<QCalendarWidget>(form, "mntvw_Joined")->setSelectedDate(joined);
        click(form, "cmd_OK");
        QVERIFY(harness.recorder->messages.empty());
        QVERIFY(!form);
        const QList<QStringList> expected{{"1", input.firstName, input.surName, input.address,
                                           input.city, input.telephone, input.email,
                                           input.personalIdNo, storedJoined, input.address}};
        QCOMPARE(rows("SELECT ID,FirstName,SurName,Address,City,Telephone,Email,PersonalIDNo,"
                      "Joined,ShippingAddress FROM customers"),
                 expected);
    }

    void storesAMultiLineAddressAndOwnShippingAddress()
    {
        CustomerInput in = Complete;
        in.address.clear();
        fill(form, in);
        QPlainTextEdit *address = textBox(form, "txt_Address");
        type(address, "Line 1");
        QTest::keyClick(address, Qt::Key_Return);
        type(address, "Line 2");
        clickSameAddress(form);
        QPlainTextEdit *shipping = textBox(form, "txt_ShippingAddress");
        shipping->clear();
        type(shipping, "Depot 9");
        click(form, "cmd_OK");
        QVERIFY(harness.recorder->messages.empty());
        QCOMPARE(rows("SELECT Address,ShippingAddress,Joined FROM customers"),
                 (QList<QStringList>{{"Line 1\nLine 2", "Depot 9", today()}}));
    }

    void shippingAddressFollowsTheAddress()
    {
        QPlainTextEdit *address = textBox(form, "txt_Address");
        QPlainTextEdit *shipping = textBox(form, "txt_ShippingAddress");
        address->setFocus();
        QString typed;
        for (const QChar c : QStringLiteral("Main 1")) {
            QTest::keyClick(address, c.toLatin1());
            typed += c;
            QCOMPARE(shipping->toPlainText(), typed);
        }
        QVERIFY(!shipping->isEnabled());

        clickSameAddress(form);
        QVERIFY(shipping->isEnabled());
        QCOMPARE(shipping->toPlainText(), QStringLiteral("Main 1"));
        type(address, "0");
        QCOMPARE(shipping->toPlainText(), QStringLiteral("Main 1"));
        type(shipping, " rear");
        QCOMPARE(shipping->toPlainText(), QStringLiteral("Main 1 rear"));

        clickSameAddress(form);
        QVERIFY(!shipping->isEnabled());
        QCOMPARE(shipping->toPlainText(), QStringLiteral("Main 10"));
    }

    void keyFiltersAndLimits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        QTest::newRow("telephone digits only") << "txt_Telephone" << "+36 1,2" << "3612" << 3;
        QTest::newRow("personal ID digits only") << "txt_PersonalIDNo" << "A1-2" << "12" << 2;
        QTest::newRow("telephone limit") << "txt_Telephone" << QString(20, '5') << QString(16, '5') << 0;
        QTest::newRow("city limit") << "txt_City" << "BUDA" << "BUD" << 0;
        QTest::newRow("address limit") << "txt_Address" << QString(260, 'a') << QString(255, 'a') << 0;
    }

    void keyFiltersAndLimits()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        QWidget *widget = control<QWidget>(form, qPrintable(box));
        type(widget, typed);
        if (auto *line = qobject_cast<QLineEdit *>(widget))
            QCOMPARE(line->text(), shown);
        else
            QCOMPARE(qobject_cast<QPlainTextEdit *>(widget)->toPlainText(), shown);
        QCOMPARE(harness.recorder->beeps, beeps);
    }

    void addNextStoresAndStartsAfresh()
    {
        clickSameAddress(form);
        fill(form, Complete);
        type(textBox(form, "txt_ShippingAddress"), "Depot");
        control<QCalendarWidget>(form, "mntvw_Joined")->setSelectedDate(QDate(2008, 3, 7));
        click(form, "cmd_AddNext");
        QVERIFY(harness.recorder->messages.empty());
        QCOMPARE(rows("SELECT FirstName,Joined,ShippingAddress FROM customers"),
                 (QList<QStringList>{{"Anna", "2008-03-07", "Depot"}}));
        QVERIFY(form);
        for (const char *box : {"txt_City", "txt_FirstName", "txt_SurName", "txt_Telephone",
                                "txt_Email", "txt_PersonalIDNo"})
            QVERIFY2(lineEdit(form, box)->text().isEmpty(), box);
        QVERIFY(textBox(form, "txt_Address")->toPlainText().isEmpty());
        QVERIFY(textBox(form, "txt_ShippingAddress")->toPlainText().isEmpty());
        QVERIFY(!textBox(form, "txt_ShippingAddress")->isEnabled());
        QVERIFY(sameAddress(form)->isChecked());
        QCOMPARE(control<QCalendarWidget>(form, "mntvw_Joined")->selectedDate(),
                 QDate::currentDate());
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("2"));
    }

    void addNextReportsAFailedCheck()
    {
        type(lineEdit(form, "txt_City"), "BUD");
        click(form, "cmd_AddNext");
        QCOMPARE(harness.recorder->texts(),
                 (QStringList{"FirstName can't be empty!!!", "Failed to save!"}));
        QCOMPARE(lineEdit(form, "txt_City")->text(), QStringLiteral("BUD"));
    }

    void resetTicksSameAddressAgain()
    {
        fill(form, Complete);
        clickSameAddress(form);
        type(textBox(form, "txt_ShippingAddress"), " rear");
        click(form, "cmd_Reset");
        QVERIFY(sameAddress(form)->isChecked());
        QVERIFY(!textBox(form, "txt_ShippingAddress")->isEnabled());
        QVERIFY(textBox(form, "txt_ShippingAddress")->toPlainText().isEmpty());
        QVERIFY(textBox(form, "txt_Address")->toPlainText().isEmpty());
        QVERIFY(lineEdit(form, "txt_SurName")->text().isEmpty());
        QCOMPARE(rowCount("customers"), 0);
    }
};

QTEST_MAIN(TestAddCustomer)
#include "tst_entry_customer.moc"
