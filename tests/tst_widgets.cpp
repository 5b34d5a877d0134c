// The shared widgets on their own: the grid, the numeric box and the fixed
// lists.

#include "core/shared/FixedLists.h"
#include "support/TestSupport.h"
#include "widgets/FixedListBox.h"
#include "widgets/FlexGrid.h"
#include "widgets/NumericKeyFilter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace kestrel;
using test::column;

class TestWidgets : public QObject {
    Q_OBJECT

private slots:
    void gridCoordinatesRowsColoursAndMerging()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setTextMatrix(0, 1, "ID");
        grid.setTextMatrix(1, 1, "a");
        grid.AddItem("0\tb\tB");
        grid.AddItem("\td\tD");
        grid.AddItem("\tc\tC", 3);
        // Row 0 and column 0 are the view's headers; the cells start at 1, 1.
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("0"));
        QCOMPARE(grid.model()->index(1, 1).data().toString(), QStringLiteral("B"));
        QCOMPARE(column(&grid, 1), QStringLiteral("a|b|c|d"));

        grid.setCellBackColor(3, 2, Qt::red);
        grid.RemoveItem(2);
        grid.RemoveItem(0);            // the header row stays
        grid.setTextMatrix(9, 1, "x"); // outside the grid: nothing written
        QCOMPARE(column(&grid, 1), QStringLiteral("a|c|d"));
        QCOMPARE(grid.CellBackColor(2, 2), QColor(Qt::red)); // the colour moved up with its row
        QCOMPARE(grid.CellBackColor(3, 2), QColor());
        // Text on a tint contrasts with it, whatever the palette's text colour.
        const QColor navy(0, 0, 128);
        grid.setCellBackColor(1, 1, navy);
        QCOMPARE_GE(
            contrastRatio(grid.model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), navy),
            4.5);
        grid.setCols(2); // columns beyond the new count go, the rest stay
        grid.setCols(3);
        QCOMPARE(column(&grid, 1) + '/' + column(&grid, 2), QStringLiteral("a|c|d/||"));
        grid.setRows(2);
        grid.setRows(3);
        QCOMPARE(column(&grid, 1), QStringLiteral("a|"));
    }

    // Bulk rows appear in one go; heavy rewriting, which makes the grid
    // reclaim the space of dead texts, keeps every other text.
    void gridBulkRowsSurviveRewriting()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(1);
        QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
        grid.beginBulkAppend();
        for (int r = 1; r <= 5000; ++r)
            grid.appendRow({QStringView(), u"x", QStringLiteral("row %1").arg(r)});
        QCOMPARE(grid.model()->rowCount(), 0);
        grid.endBulkAppend();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(grid.model()->rowCount(), 5000);
        grid.setTextMatrix(3, 2, "changed");
        for (int round = 0; round < 40; ++round)
            for (int r = 1; r <= 100; ++r)
                grid.setTextMatrix(r, 1, QString(500, QChar('a' + round)) + QString::number(r));
        QCOMPARE(grid.TextMatrix(100, 1), QString(500, QChar('a' + 39)) + QStringLiteral("100"));
        for (int r = 4; r <= 5000; ++r)
            QCOMPARE(grid.TextMatrix(r, 2), QStringLiteral("row %1").arg(r));
        QCOMPARE(grid.TextMatrix(3, 2), QStringLiteral("changed"));
        QCOMPARE(grid.TextMatrix(101, 1), QStringLiteral("x"));
    }

    // Typed letters find a country, the list closed or open (where Enter
    // takes the one found); the same letter again walks on, a blank or an
    // accent is part of the name, and no match keeps the item.
    void countryListFindsTypedNames_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("selected");
        const std::tuple<bool, const char *, const char *> rows[] = {
            {true, "Hun", "Hungary "},
            {false, "cc", "Cameroon "},
            {false, "new z", "New Zealand"},
            {false, "c\u00f4", "C\u00f4te d'Ivoire "},
            {false, "hux", "Hungary "}};
        for (const auto &[open, typed, selected] : rows)
            QTest::newRow(typed) << open << QString(typed) << QString(selected);
    }
    void countryListFindsTypedNames()
    {
        QFETCH(bool, open);
        QFETCH(QString, typed);
        QFETCH(QString, selected);
        QComboBox box;
        lists::setUpFixedList(&box, lists::countryItems());
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QWidget *keys = &box;
        if (open) {
            QTest::keyClick(&box, Qt::Key_Down, Qt::AltModifier);
            QTRY_VERIFY(box.view()->isVisible());
            keys = box.view();
        }
        test::type(keys, typed);
        if (open)
            QTest::keyClick(keys, Qt::Key_Return);
        QTRY_VERIFY(!box.view()->isVisible());
        QCOMPARE(lists::selectedValue(&box), selected);
    }

    void numericBoxHoldsDigitsOnly()
    {
        test::MessageRecorder recorder;
        QLineEdit price;
        NumericKeyFilter::install(&price, true);
        price.show();
        QVERIFY(QTest::qWaitForWindowExposed(&price));

        QTest::keyClicks(&price, "12a,5.x");
        QCOMPARE(price.text(), QStringLiteral("12,5"));
        QCOMPARE(recorder.beeps, 3);
        // Keys that belong to the form pass silently and type nothing.
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Escape})
            QTest::keyClick(&price, key);
        QCOMPARE(price.text(), QStringLiteral("12,5"));
        QCOMPARE(recorder.beeps, 3);

        // Pasting letters, or digits of other scripts (no digits to the
        // server), is refused with a beep.
        QApplication::clipboard()->setText(QStringLiteral("7x"));
        QTest::keyClick(&price, Qt::Key_V, Qt::ControlModifier);
        QApplication::clipboard()->setText(QStringLiteral("\u0661\u0662"));
        price.paste();
        QCOMPARE(price.text(), QStringLiteral("12,5"));
        QCOMPARE(recorder.beeps, 5);
        QApplication::clipboard()->setText(QStringLiteral("75"));
        price.paste();
        QCOMPARE(price.text(), QStringLiteral("12,575"));

        // Ctrl keys are the box's own commands, as in any box, and beep not.
        QTest::keyClick(&price, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&price, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(price.text(), QString());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("12,575"));
        QCOMPARE(recorder.beeps, 5);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
