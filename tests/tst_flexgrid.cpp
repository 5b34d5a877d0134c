// The grid widget on its own: coordinates, rows, merging, widths, bulk
// loading and the notifications.

#include "FlexGrid.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using kestrel::FlexGrid;

namespace {

QStringList rowTexts(const FlexGrid &grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid.Cols(); ++c)
        texts.append(grid.TextMatrix(row, c));
    return texts;
}

QStringList firstColumn(const FlexGrid &grid)
{
    QStringList texts;
    for (int r = 1; r < grid.Rows(); ++r)
        texts.append(grid.TextMatrix(r, 1));
    return texts;
}

} // namespace

class TestFlexGrid : public QObject {
    Q_OBJECT

private slots:
    void headerRowAndFixedColumnAreTheViewsHeaders()
    {
        FlexGrid grid;
        grid.setCols(4);
        grid.setRows(3);
        grid.setTextMatrix(0, 1, "ID");
        grid.setTextMatrix(0, 3, "Name");
        grid.setTextMatrix(2, 0, "*");
        grid.setTextMatrix(2, 3, "Ann");
        QCOMPARE(grid.model()->rowCount(), 2);
        QCOMPARE(grid.model()->columnCount(), 3);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
        QCOMPARE(grid.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("*"));
        QCOMPARE(grid.model()->index(1, 2).data().toString(), QStringLiteral("Ann"));
        QCOMPARE(grid.TextMatrix(2, 3), QStringLiteral("Ann"));

        // Without a fixed column, column 0 holds data like any other.
        grid.setFixedCols(0);
        QCOMPARE(grid.model()->columnCount(), 4);
        QCOMPARE(grid.model()->index(1, 0).data().toString(), QStringLiteral("*"));
        QCOMPARE(grid.model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Name"));

        // Outside the grid: nothing to read, nothing written.
        grid.setTextMatrix(5, 1, "lost");
        QCOMPARE(grid.TextMatrix(5, 1), QString());
        QCOMPARE(grid.Rows(), 3);
    }

    void rowsComeAndGo()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setTextMatrix(1, 1, "a");
        grid.AddItem("0\tb\tB");
        grid.AddItem("\td");
        grid.AddItem("\tc", 3);
        QCOMPARE(grid.Rows(), 5);
        QCOMPARE(firstColumn(grid), (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(rowTexts(grid, 2), (QStringList{"0", "b", "B"}));

        grid.setCellBackColor(3, 2, Qt::red);
        grid.RemoveItem(2);
        QCOMPARE(firstColumn(grid), (QStringList{"a", "c", "d"}));
        QCOMPARE(grid.CellBackColor(2, 2), QColor(Qt::red));
        QCOMPARE(grid.CellBackColor(3, 2), QColor());
        grid.RemoveItem(0); // the header row stays
        QCOMPARE(grid.Rows(), 4);

        grid.setCols(2); // columns beyond the new count go, the rest stay
        QCOMPARE(rowTexts(grid, 1), (QStringList{"", "a"}));
        grid.setCols(3);
        QCOMPARE(rowTexts(grid, 1), (QStringList{"", "a", ""}));
        grid.setRows(2);
        QCOMPARE(firstColumn(grid), QStringList{"a"});
        grid.setRows(3);
        QCOMPARE(firstColumn(grid), (QStringList{"a", ""}));
    }

    void rewrittenCellsKeepTheirTexts()
    {
        // Enough rewriting to make the grid reclaim the space of dead texts.
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(101);
        for (int round = 0; round < 40; ++round) {
            for (int r = 1; r <= 100; ++r) {
                grid.setTextMatrix(r, 1, QString(500, QChar('a' + round % 26)) + QString::number(r));
                if (round == 0)
                    grid.setTextMatrix(r, 2, QStringLiteral("kept %1").arg(r));
            }
        }
        grid.setTextMatrix(0, 2, "Header");
        for (int r = 1; r <= 100; ++r) {
            QCOMPARE(grid.TextMatrix(r, 1), QString(500, QChar('a' + 39 % 26)) + QString::number(r));
            QCOMPARE(grid.TextMatrix(r, 2), QStringLiteral("kept %1").arg(r));
        }
        grid.setRows(1);
        QCOMPARE(grid.TextMatrix(0, 2), QStringLiteral("Header"));
    }

    void bulkRowsAppearTogether()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(1);
        QSignalSpy inserted(grid.model(), &QAbstractItemModel::rowsInserted);
        grid.beginBulkAppend();
        QString texts[2];
        for (int r = 1; r <= 5000; ++r) {
            texts[0] = QString::number(r);
            texts[1] = QStringLiteral("row %1").arg(r);
            grid.appendRow({QStringView(), texts[0], texts[1]}, r % 2 ? QColor(Qt::green) : QColor());
        }
        QCOMPARE(grid.model()->rowCount(), 0);
        grid.endBulkAppend();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(grid.Rows(), 5001);
        QCOMPARE(grid.model()->rowCount(), 5000);
        QCOMPARE(grid.TextMatrix(4321, 2), QStringLiteral("row 4321"));
        QCOMPARE(grid.CellBackColor(4321, 2), QColor(Qt::green));
        QCOMPARE(grid.CellBackColor(4320, 2), QColor());
        // A short row leaves its last cells empty.
        grid.appendRow({QStringView(), texts[0]});
        QCOMPARE(rowTexts(grid, 5001), (QStringList{"", "5000", ""}));
    }

    void mergedRowSpansEqualNeighbours()
    {
        FlexGrid grid;
        grid.setCols(6);
        grid.setRows(3);
        for (int c = 1; c <= 5; ++c)
            grid.setTextMatrix(1, c, c == 5 ? "other" : "same");
        grid.setMergeRow(1, true);
        QCOMPARE(grid.columnSpan(0, 0), 4);
        QCOMPARE(grid.columnSpan(0, 4), 1);
        grid.setTextMatrix(1, 3, "break");
        QCOMPARE(grid.columnSpan(0, 0), 2);
        QCOMPARE(grid.columnSpan(0, 2), 1);
        // An inserted row above moves the merged row down with its spans.
        grid.AddItem("", 1);
        QVERIFY(grid.MergeRow(2));
        QVERIFY(!grid.MergeRow(1));
        grid.setMergeRow(2, false);
        QCOMPARE(grid.columnSpan(1, 0), 1);
    }

    void columnWidths()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setColWidth(0, 40);
        grid.setColWidth(1, 120);
        grid.setColWidth(2, 0);
        QCOMPARE(grid.ColWidth(0), 40);
        QCOMPARE(grid.verticalHeader()->width(), 40);
        QCOMPARE(grid.ColWidth(1), 120);
        QCOMPARE(grid.ColWidth(2), 0);
        grid.setColWidth(0, 0);
        QCOMPARE(grid.ColWidth(0), 0);
        QVERIFY(grid.verticalHeader()->isHidden());
    }

    void notifications()
    {
        FlexGrid grid;
        grid.setCols(3);
        grid.setRows(4);
        for (int r = 1; r <= 3; ++r)
            grid.setTextMatrix(r, 1, QString::number(r));
        grid.resize(300, 400);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy dblClicks(&grid, &FlexGrid::DblClick);
        QSignalSpy keys(&grid, &FlexGrid::KeyPress);

        const QPoint cell = grid.visualRect(grid.gridModel()->indexOf(2, 2)).center();
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(dblClicks.count(), 1);
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(grid.Col(), 2);

        // Below the last row there is no cell to act on.
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(20, grid.viewport()->height() - 5));
        QCOMPARE(dblClicks.count(), 1);
        QCOMPARE(grid.Row(), 2);

        QTest::keyClick(&grid, Qt::Key_A);
        QCOMPARE(keys.count(), 1);
        QCOMPARE(keys.front().front().toInt(), int('a'));

        grid.setRow(3);
        grid.setCol(1);
        QCOMPARE(grid.currentIndex(), grid.gridModel()->indexOf(3, 1));
    }
};

QTEST_MAIN(TestFlexGrid)
#include "tst_flexgrid.moc"
