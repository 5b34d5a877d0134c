// The fixed pick lists, item by item where it matters, and the shape of the
// entry forms' INSERT statements.

#include "EntryForm.h"
#include "FixedLists.h"
#include "ListNameSearch.h"

#include <QComboBox>
#include <QTest>

using namespace kestrel;

class TestFixedLists : public QObject {
    Q_OBJECT

private slots:
    void countryItemsOfTheCityForms()
    {
        const QStringList items = lists::countryItems();
        QCOMPARE(items.size(), 243);
        QCOMPARE(items.first(), QStringLiteral("\u2022 Abkhazia "));
        QCOMPARE(items.last(), QStringLiteral("\u2022 Zimbabwe"));
        QVERIFY(items.contains(QStringLiteral("\u2022 Chad ")));
        QVERIFY(items.contains(QStringLiteral("\u2022 Canada")));
        QVERIFY(items.contains(QStringLiteral("\u2022 C\u00f4te d'Ivoire ")));
        QVERIFY(items.contains(QStringLiteral("\u2022 Sao Tom\u00e9 and Pr\u00edncipe ")));
        QStringList withoutBlank;
        for (const QString &item : items) {
            QVERIFY2(item.startsWith(QStringLiteral("\u2022 ")), qPrintable(item));
            if (!item.endsWith(QLatin1Char(' ')))
                withoutBlank.append(lists::itemValue(item));
        }
        const QStringList expected{
            "Antigua and Barbuda", "Azerbaijan", "Bangladesh", "Barbados", "Belize",
            "Bosnia and Herzegovina", "Canada", "Central African Republic", "Czech Republic",
            "Dominican Republic", "Georgia", "Grenada", "Ireland", "Jamaica", "Japan", "Kosovo",
            "Kyrgyzstan", "Malaysia", "Mongolia", "New Zealand", "Northern Mariana Islands",
            "Romania", "Saint Lucia", "Saint Vincent and the Grenadines", "Solomon Islands",
            "Somalia", "South Ossetia", "Turkmenistan", "Tuvalu", "Ukraine",
            "United Arab Emirates", "Zimbabwe"};
        QCOMPARE(withoutBlank, expected);
    }

    void plainCountryItemsHaveNoTrailingBlank()
    {
        const QStringList plain = lists::plainCountryItems();
        QCOMPARE(plain.size(), 243);
        const QStringList withBlank = lists::countryItems();
        for (int i = 0; i < plain.size(); ++i)
            QCOMPARE(plain.at(i), withBlank.at(i).trimmed());
        QCOMPARE(lists::countryNames().at(42), QStringLiteral("Chad"));
    }

    void unitItems()
    {
        QCOMPARE(lists::unitItems(),
                 (QStringList{"\u2022 Boxes", "\u2022 Cans", "\u2022 Cartons", "\u2022 Ctns",
                              "\u2022 Ea", "\u2022 Grams", "\u2022 Hours", "\u2022 Kgs",
                              "\u2022 Lengths", "\u2022 Meters", "\u2022 Pairs", "\u2022 Pcs",
                              "\u2022 Pks", "\u2022 Reams", "\u2022 Sets", "\u2022 Tins",
                              "\u2022 Tubes", "\u2022 Units"}));
    }

    void selectedValueDropsBulletAndBlankOnly()
    {
        QComboBox box;
        box.addItems(lists::countryItems());
        box.setCurrentIndex(-1);
        QCOMPARE(lists::selectedValue(&box), QString());
        box.setCurrentIndex(box.findText(QStringLiteral("\u2022 Chad ")));
        QCOMPARE(lists::selectedValue(&box), QStringLiteral("Chad "));
    }

    void typingANameSelectsIt_data()
    {
        QTest::addColumn<bool>("countries");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("selected");
        QTest::newRow("start of a name") << true << "hun" << "\u2022 Hungary ";
        QTest::newRow("same letter walks on") << true << "cc" << "\u2022 Cameroon ";
        QTest::newRow("blank inside a name") << true << "new z" << "\u2022 New Zealand";
        QTest::newRow("accented name") << true << "c\u00f4" << "\u2022 C\u00f4te d'Ivoire ";
        QTest::newRow("no match keeps the item") << true << "hux" << "\u2022 Hungary ";
        QTest::newRow("units") << false << "pc" << "\u2022 Pcs";
    }

    void typingANameSelectsIt()
    {
        QFETCH(bool, countries);
        QFETCH(QString, typed);
        QFETCH(QString, selected);
        QComboBox box;
        box.addItems(countries ? lists::countryItems() : lists::unitItems());
        box.setCurrentIndex(-1);
        lists::installNameSearch(&box);
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, &box, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
        QCOMPARE(box.currentText(), selected);
    }

    void insertStatementQuotesEveryValue()
    {
        QCOMPARE(entry::insertStatement(
                     "cities", {"Acronym", "FullName", "PostalCode", "Country", "CountryCode"},
                     {"BUD", "O'Brien \\ Town", "1011", "Hungary ", "HUN"}),
                 QStringLiteral("INSERT INTO cities(ID,Acronym,FullName,PostalCode,Country,"
                                "CountryCode) values(NULL,'BUD','O\\'Brien \\\\ Town','1011',"
                                "'Hungary ','HUN')"));
    }
};

QTEST_MAIN(TestFixedLists)
#include "tst_fixedlists.moc"
