// The add city form against a real server: its checks, what reaches the
// table, its key filters and limits, Add Next and Reset.

#include "EntryFormHarness.h"
#include "Frm_AddCity.h"

using namespace kestrel::test;

namespace {

const QString Hungary = QStringLiteral("\u2022 Hungary ");

struct CityInput {
    QString acronym, fullName, postalCode, countryCode, country;
};

void fill(QWidget *form, const CityInput &in)
{
    type(lineEdit(form, "txt_Acronym"), in.acronym);
    type(lineEdit(form, "txt_FullName"), in.fullName);
    type(lineEdit(form, "txt_PostalCode"), in.postalCode);
    type(lineEdit(form, "txt_CountryCode"), in.countryCode);
    pick(form, "cmb_Country", in.country);
}

} // namespace

class TestAddCity : public QObject {
    Q_OBJECT
    EntryHarness harness;
    QPointer<Frm_AddCity> form;

private slots:
    void initTestCase() { harness.start(); }
    void init()
    {
        harness.reset();
        form = harness.open<Frm_AddCity>();
    }

    void opensWithNextIdAndEmptyInputs()
    {
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("1"));
        QVERIFY(lineEdit(form, "txt_ID")->isReadOnly());
        QCOMPARE(control<QComboBox>(form, "cmb_Country")->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(form, "cmb_Country")->count(), 243);
        QCOMPARE(form->parentWidget()->windowTitle(), QStringLiteral("Add New City"));
    }

    void checks_data()
    {
        QTest::addColumn<QString>("acronym");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("postalCode");
        QTest::addColumn<QString>("countryCode");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("message");
        const QString none;
        QTest::newRow("all empty") << none << none << none << none << none
                                   << "Acronym can't be empty!!!";
        QTest::newRow("no full name") << "BUD" << none << "1011" << "HUN" << Hungary
                                      << "FullName can't be empty!!!";
        QTest::newRow("no postal code") << "BUD" << "Budapest" << none << none << none
                                        << "PostalCode can't be empty!!!";
        QTest::newRow("postal code 0") << "BUD" << "Budapest" << "0" << "HUN" << Hungary
                                       << "PostalCode can't be empty!!!";
        QTest::newRow("no country code") << "BUD" << "Budapest" << "1011" << none << Hungary
                                         << "CountryCode can't be empty!!!";
        QTest::newRow("no country") << "BUD" << "Budapest" << "1011" << "HUN" << none
                                    << "Country can't be empty!!!";
        QTest::newRow("blanks pass") << " " << " " << "1011" << " " << Hungary << none;
        QTest::newRow("postal code 00 passes") << "BUD" << "Budapest" << "00" << "HUN" << Hungary
                                               << none;
    }

    void checks()
    {
        QFETCH(QString, acronym);
        QFETCH(QString, fullName);
        QFETCH(QString, postalCode);
        QFETCH(QString, countryCode);
        QFETCH(QString, country);
        QFETCH(QString, message);
        fill(form, {acronym, fullName, postalCode, countryCode, country});
        click(form, "cmd_OK");
        verifyCheckOutcome(harness, form, "cities", message);
        if (QTest::currentTestFailed() || message.isEmpty())
            return;
        QCOMPARE(lineEdit(form, "txt_FullName")->text(), fullName);
    }

    void storesWhatWasEntered_data()
    {
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("country");
        QTest::addColumn<QString>("storedCountry");
        QTest::newRow("trailing blank kept") << "Budapest" << Hungary << "Hungary ";
        QTest::newRow("no trailing blank") << "Ottawa" << "\u2022 Canada" << "Canada";
        QTest::newRow("quotes and backslash")
            << "O'Brien \\ Town" << "\u2022 C\u00f4te d'Ivoire " << "C\u00f4te d'Ivoire ";
        QTest::newRow("Cyrillic") << "\u041c\u043e\u0441\u043a\u0432\u0430" << "\u2022 Russia "
                                  << "Russia ";
    }

    void storesWhatWasEntered()
    {
        QFETCH(QString, fullName);
        QFETCH(QString, country);
        QFETCH(QString, storedCountry);
        fill(form, {"BUD", fullName, "1011", "HUN", country});
        click(form, "cmd_OK");
        QVERIFY(harness.recorder->messages.empty());
        QVERIFY(!form);
        const QList<QStringList> stored =
            rows("SELECT ID,Acronym,FullName,PostalCode,Country,CountryCode FROM cities");
        const QList<QStringList> expected{{"1", "BUD", fullName, "1011", storedCountry, "HUN"}};
        QCOMPARE(stored, expected);
        QCOMPARE(mdl_Variables_Functions::ConnStat(), mdl_Variables_Functions::StatIdle);
    }

    void keyFiltersAndLimits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        QTest::newRow("postal code refuses letters and comma")
            << "txt_PostalCode" << "10a1,1" << "1011" << 2;
        QTest::newRow("postal code limit") << "txt_PostalCode" << "1234567890" << "123456789" << 0;
        QTest::newRow("acronym limit") << "txt_Acronym" << "BUDA" << "BUD" << 0;
        QTest::newRow("country code limit") << "txt_CountryCode" << "HUNG" << "HUN" << 0;
        QTest::newRow("full name takes anything") << "txt_FullName" << "a,1!" << "a,1!" << 0;
    }

    void keyFiltersAndLimits()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        QLineEdit *edit = lineEdit(form, qPrintable(box));
        type(edit, typed);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(harness.recorder->beeps, beeps);
    }

    void enterInPostalCodeIsSilent()
    {
        QLineEdit *postal = lineEdit(form, "txt_PostalCode");
        type(postal, "12");
        QTest::keyClick(postal, Qt::Key_Return);
        QCOMPARE(postal->text(), QStringLiteral("12"));
        QCOMPARE(harness.recorder->beeps, 0);
        QVERIFY(harness.recorder->messages.empty());
    }

    void addNextStoresAndClears()
    {
        fill(form, {"BUD", "Budapest", "1011", "HUN", Hungary});
        click(form, "cmd_AddNext");
        QVERIFY(harness.recorder->messages.empty());
        QCOMPARE(rowCount("cities"), 1);
        QVERIFY(form);
        for (const char *box : {"txt_Acronym", "txt_FullName", "txt_PostalCode", "txt_CountryCode"})
            QVERIFY2(lineEdit(form, box)->text().isEmpty(), box);
        QCOMPARE(control<QComboBox>(form, "cmb_Country")->currentIndex(), -1);
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("2"));
        QCOMPARE(QApplication::focusWidget(), lineEdit(form, "txt_Acronym"));

        fill(form, {"VIE", "Wien", "1010", "AUT", "\u2022 Austria "});
        click(form, "cmd_AddNext");
        QCOMPARE(rows("SELECT FullName FROM cities ORDER BY ID"),
                 (QList<QStringList>{{"Budapest"}, {"Wien"}}));
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("3"));
    }

    void addNextReportsAFailedCheck()
    {
        type(lineEdit(form, "txt_FullName"), "Budapest");
        click(form, "cmd_AddNext");
        QCOMPARE(harness.recorder->texts(),
                 (QStringList{"Acronym can't be empty!!!", "Failed to save!"}));
        QVERIFY(form);
        QCOMPARE(lineEdit(form, "txt_FullName")->text(), QStringLiteral("Budapest"));
    }

    void resetClearsAndFetchesNextId()
    {
        fill(form, {"BUD", "Budapest", "1011", "HUN", Hungary});
        exec("INSERT INTO cities VALUES (NULL,'GYR','Gyor',9021,'Hungary ','HUN')");
        click(form, "cmd_Reset");
        for (const char *box : {"txt_Acronym", "txt_FullName", "txt_PostalCode", "txt_CountryCode"})
            QVERIFY2(lineEdit(form, box)->text().isEmpty(), box);
        QCOMPARE(control<QComboBox>(form, "cmb_Country")->currentIndex(), -1);
        QCOMPARE(lineEdit(form, "txt_ID")->text(), QStringLiteral("2"));
        QCOMPARE(rowCount("cities"), 1);
        QVERIFY(harness.recorder->messages.empty());
    }
};

QTEST_MAIN(TestAddCity)
#include "tst_entry_city.moc"
