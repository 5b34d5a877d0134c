// The add product form against a real server: its checks, what reaches the
// table (prices with a decimal comma, the quantity options), its key filters,
// Add Next and Reset.

#include "ConnectionCycle.h"
#include "EntryFormHarness.h"
#include "Frm_AddProduct.h"

#include <QRadioButton>

using namespace kestrel::test;

namespace {

struct ProductInput {
    QString description, price, barCode, unit;
    QString option; // the option button to select, or empty for "Custom"
    QString customQuantity;
};

const ProductInput Milk{"Milk", "1,20", "777", "\u2022 Pcs", "opt_50xQuantity", ""};

void fill(QWidget *form, const ProductInput &in)
{
    type(textBox(form, "txt_Description"), in.description);
    type(lineEdit(form, "txt_Price"), in.price);
    type(lineEdit(form, "txt_BarCode"), in.barCode);
    pick(form, "cmb_UM", in.unit);
    type(lineEdit(form, "txt_CustomQuantity"), in.customQuantity);
    if (!in.option.isEmpty())
        click(form, qPrintable(in.option));
}

} // namespace

Q_DECLARE_METATYPE(ProductInput)

class TestAddProduct : public QObject {
    Q_OBJECT
    EntryHarness harness;
    QPointer<Frm_AddProduct> form;

private slots:
    void initTestCase() { harness.start(); }
    void init()
    {
        harness.reset();
        form = harness.open<Frm_AddProduct>();
    }

    void opensReadyForANewProduct()
    {
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("1"));
        QVERIFY(control<QRadioButton>(form, "opt_CustomQuantity")->isChecked());
        QCOMPARE(control<QComboBox>(form, "cmb_UM")->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(form, "cmb_UM")->count(), 18);
        QCOMPARE(control<QCalendarWidget>(form, "mntvw_LastDelivery")->selectedDate(),
                 QDate::currentDate());
        QCOMPARE(form->parentWidget()->windowTitle(), QStringLiteral("Add New Product"));
    }

    void checks_data()
    {
        QTest::addColumn<ProductInput>("input");
        QTest::addColumn<QString>("message");
        auto with = [](QString ProductInput::*field, const QString &value) {
            ProductInput in = Milk;
            in.*field = value;
            return in;
        };
        QTest::newRow("all empty") << ProductInput{} << "Description can't be empty!!!";
        QTest::newRow("no price") << with(&ProductInput::price, "") << "Price can't be empty!!!";
        QTest::newRow("price 0") << with(&ProductInput::price, "0") << "Price can't be empty!!!";
        QTest::newRow("no bar code") << with(&ProductInput::barCode, "")
                                     << "BarCode can't be empty!!!";
        QTest::newRow("no unit, no quantity")
            << ProductInput{"Milk", "1", "777", "", "", ""} << "UM can't be empty!!!";
        QTest::newRow("custom quantity empty") << with(&ProductInput::option, "")
                                               << "Quantity can't be empty!!!";
        QTest::newRow("custom quantity 0") << ProductInput{"Milk", "1", "777", "\u2022 Pcs", "", "0"}
                                           << "Quantity can't be empty!!!";
        QTest::newRow("custom quantity 000")
            << ProductInput{"Milk", "1", "777", "\u2022 Pcs", "", "000"}
            << "Quantity can't be empty!!!";
        QTest::newRow("price 0,00 passes") << with(&ProductInput::price, "0,00") << QString();
        QTest::newRow("price 00 passes") << with(&ProductInput::price, "00") << QString();
    }

    void checks()
    {
        QFETCH(ProductInput, input);
        QFETCH(QString, message);
        fill(form, input);
        click(form, "cmd_OK");
        verifyCheckOutcome(harness, form, "products", message);
        if (QTest::currentTestFailed() || message.isEmpty())
            return;
        QCOMPARE(textBox(form, "txt_Description")->toPlainText(), input.description);
    }

    void storesWhatWasEntered_data()
    {
        QTest::addColumn<ProductInput>("input");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("milk, decimal comma kept")
            << Milk << QStringList{"1", "Milk", "Pcs", "50", "1.20", "777", "2008-03-05"};
        QTest::newRow("price 0,00 stored as 0")
            << ProductInput{"Gift", "0,00", "1", "\u2022 Kgs", "opt_10xQuantity", ""}
            << QStringList{"1", "Gift", "Kgs", "10", "0.00", "1", "2008-03-05"};
        QTest::newRow("100 x wins over a custom text")
            << ProductInput{"Nails", "12", "42", "\u2022 Boxes", "opt_100xQuantity", "7"}
            << QStringList{"1", "Nails", "Boxes", "100", "12.00", "42", "2008-03-05"};
        QTest::newRow("custom quantity with leading zeros")
            << ProductInput{"Tape", "3,5", "9", "\u2022 Units", "", "007"}
            << QStringList{"1", "Tape", "Units", "7", "3.50", "9", "2008-03-05"};
        QTest::newRow("quote, backslash and Cyrillic")
            << ProductInput{"\u041c\u043e\u043b\u043e\u043a\u043e 'A' \\ 2", "2", "5", "\u2022 Ea",
                            "opt_10xQuantity", ""}
            << QStringList{"1", "\u041c\u043e\u043b\u043e\u043a\u043e 'A' \\ 2", "Ea", "10", "2.00",
                           "5", "2008-03-05"};
    }

    void storesWhatWasEntered()
    {
        QFETCH(ProductInput, input);
        QFETCH(QStringList, stored);
        fill(form, input);
        control<QCalendarWidget>(form, "mntvw_LastDelivery")->setSelectedDate(QDate(2008, 3, 5));
        click(form, "cmd_OK");
        QVERIFY(harness.recorder->messages.empty());
        QVERIFY(!form);
        QCOMPARE(rows("SELECT ID,Description,UM,Quantity,FORMAT(Price,2,'en_US'),BarCode,"
                      "LastDelivery FROM products"),
                 QList<QStringList>{stored});
    }

    void keyFiltersAndLimits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        QTest::newRow("price takes the comma") << "txt_Price" << "1,2x0" << "1,20" << 1;
        QTest::newRow("price refuses the point") << "txt_Price" << "1.5" << "15" << 1;
        QTest::newRow("bar code refuses the comma") << "txt_BarCode" << "7,7" << "77" << 1;
        QTest::newRow("custom quantity refuses the comma")
            << "txt_CustomQuantity" << "5,0" << "50" << 1;
        QTest::newRow("price limit") << "txt_Price" << QString(17, '9') << QString(16, '9') << 0;
        QTest::newRow("description takes anything")
            << "txt_Description" << "a,b.1!" << "a,b.1!" << 0;
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
        fill(form, Milk);
        type(lineEdit(form, "txt_CustomQuantity"), "8");
        control<QCalendarWidget>(form, "mntvw_LastDelivery")->setSelectedDate(QDate(2008, 3, 5));
        click(form, "cmd_AddNext");
        QVERIFY(harness.recorder->messages.empty());
        QCOMPARE(rowCount("products"), 1);
        QVERIFY(form);
        QVERIFY(textBox(form, "txt_Description")->toPlainText().isEmpty());
        for (const char *box : {"txt_Price", "txt_BarCode", "txt_CustomQuantity"})
            QVERIFY2(lineEdit(form, box)->text().isEmpty(), box);
        QCOMPARE(control<QComboBox>(form, "cmb_UM")->currentIndex(), -1);
        QVERIFY(control<QRadioButton>(form, "opt_CustomQuantity")->isChecked());
        QCOMPARE(control<QCalendarWidget>(form, "mntvw_LastDelivery")->selectedDate(),
                 QDate::currentDate());
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("2"));
    }

    void addNextAddsNoMessageOfItsOwn()
    {
        type(lineEdit(form, "txt_Price"), "5");
        click(form, "cmd_AddNext");
        QCOMPARE(harness.recorder->texts(), QStringList{"Description can't be empty!!!"});
        QCOMPARE(lineEdit(form, "txt_Price")->text(), QStringLiteral("5"));
    }

    void unreadableQuantityTakesTheFailurePath()
    {
        fill(form, {"Milk", "1", "777", "\u2022 Pcs", "", ""});
        // Only code can put such a text there: the box refuses it typed or pasted.
        lineEdit(form, "txt_CustomQuantity")->setText("12x");
        click(form, "cmd_OK");
        QCOMPARE(harness.recorder->texts(), QStringList{kestrel::db::ConnectionErrorText});
        QCOMPARE(mdl_Variables_Functions::ConnStat(), mdl_Variables_Functions::StatError);
        QVERIFY(!form);
        QCOMPARE(rowCount("products"), 0);
    }

    void resetClearsEverything()
    {
        fill(form, Milk);
        click(form, "cmd_Reset");
        QVERIFY(textBox(form, "txt_Description")->toPlainText().isEmpty());
        QVERIFY(lineEdit(form, "txt_Price")->text().isEmpty());
        QCOMPARE(control<QComboBox>(form, "cmb_UM")->currentIndex(), -1);
        QVERIFY(control<QRadioButton>(form, "opt_CustomQuantity")->isChecked());
        QCOMPARE(rowCount("products"), 0);
    }
};

QTEST_MAIN(TestAddProduct)
#include "tst_entry_product.moc"
