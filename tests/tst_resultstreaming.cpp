// Long lists in the result window: rows arrive in turns; Esc, closing the
// window and a failing server each end the loading.

#include "core/database/ConnectionCycle.h"
#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"
#include "widgets/LoadProgress.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// Rows numbered from 1, each naming the connection that reads it (column 3),
// padded to make the stream long in bytes as well as in rows.
ResultRequest numbered(qint64 rows)
{
    ResultRequest request;
    request.statement = db::Statement(
        QStringLiteral("SELECT seq AS ID, CONCAT('Row ', seq) AS Name, CONNECTION_ID() AS Conn, "
                       "REPEAT('x', 200) AS Pad FROM seq_1_to_%1")
            .arg(rows));
    request.caption = QStringLiteral("Numbers");
    request.columns = {{"ID", "0.2"}, {"Name", "0.3"}, {"Conn", "0.2"}, {"Pad", "0.2"}};
    return request;
}

// Three cities, listed over and over: row 1 shows city 2, row 2 city 3,
// row 3 city 1, and so on for a long time.
ResultRequest citiesOverAndOver()
{
    test::exec("INSERT INTO cities SELECT seq, 'C', CONCAT('City ', seq), seq, 'Land', 'LND' "
               "FROM seq_1_to_3");
    ResultRequest request;
    request.statement = db::Statement(
        "SELECT cities.ID, cities.FullName, CONNECTION_ID() AS Conn FROM seq_1_to_20000000 "
        "JOIN cities ON cities.ID = 1 + seq % 3");
    request.columns = {{"ID", "0.2"}, {"FullName", "0.4"}, {"Conn", "0.2"}};
    return request;
}

bool connectionGone(const QString &id)
{
    return !id.isEmpty()
           && test::scalar("SELECT COUNT(*) FROM information_schema.processlist WHERE ID = " + id)
                  == db::Value("0");
}

qint64 rowsSentByServer()
{
    return test::query("SHOW GLOBAL STATUS LIKE 'Rows_sent'").rows.at(0).at(1)->toLongLong();
}

} // namespace

class TestResultStreaming : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::RunningMainWindow> run;

    Frm_QueryResults *window() const { return run->main->findForm<Frm_QueryResults>(); }
    FlexGrid *grid() const { return test::control<FlexGrid>(window(), "fxg_QueryResult"); }
    LoadProgress *progress() const { return run->main->findChild<LoadProgress *>(); }
    // The connection reading the open list, from a row that has arrived.
    QString readingConnection(int column = 3) const { return grid()->TextMatrix(1, column); }

    // Opens a list that is still loading when Open returns.
    QPointer<Frm_QueryResults> openLoading(const ResultRequest &request)
    {
        QPointer<Frm_QueryResults> list = Frm_QueryResults::Open(request);
        if (!list || !list->isLoading())
            qFatal("the list did not open loading");
        return list;
    }

private slots:
    void initTestCase()
    {
        test::useTestDatabase();
        run = std::make_unique<test::RunningMainWindow>();
        QVERIFY(run->show());
    }
    void init() { run->reset(); }
    void cleanupTestCase() { run.reset(); }

    void longListArrivesWholeAndInOrderWhileTheStatusBarCounts()
    {
        constexpr int Rows = 200000;
        const QPointer<Frm_QueryResults> list = openLoading(numbered(Rows));
        QSignalSpy finished(list.data(), &Frm_QueryResults::loadingFinished);
        // The first rows are on screen while the rest is on its way.
        QCOMPARE_GT(grid()->gridModel()->rowCount(), 0);
        QVERIFY(progress()->lbl_Rows->text().startsWith(QStringLiteral("Loading rows: ")));

        QVERIFY(finished.wait(120000));
        QVERIFY(!list->isLoading());
        QCOMPARE(grid()->Rows(), Rows + 1);
        for (int r = 1; r <= Rows; ++r)
            if (grid()->TextMatrix(r, 1) != QString::number(r))
                QFAIL(qPrintable(QStringLiteral("row %1 is not in its place").arg(r)));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QTRY_VERIFY(connectionGone(readingConnection()));
    }

    // Esc ends the loading at once and keeps what arrived; until then the
    // list cannot go out to a file, after it, it can. A second Esc closes it.
    void escapeStopsTheLoadingAndKeepsTheRows()
    {
        const QPointer<Frm_QueryResults> list = openLoading(numbered(20000000));
        QSignalSpy finished(list.data(), &Frm_QueryResults::loadingFinished);
        QVERIFY(!test::control<QAction>(list, "mnu_ExportCsv")->isEnabled());
        test::trigger(run->main.get(), "mnu_ExportList");
        QCOMPARE(run->messages->beeps, 1);

        QTest::keyClick(grid(), Qt::Key_Escape);
        QVERIFY(!list->isLoading());
        QCOMPARE(finished.size(), 1);
        const qint64 rows = list->loadedRows();
        QCOMPARE(grid()->gridModel()->rowCount(), rows);
        QTRY_VERIFY(connectionGone(readingConnection()));
        QCOMPARE(list->loadedRows(), rows);
        QCOMPARE(M::ConnStat(), M::StatIdle);
        QCOMPARE(progress()->lbl_Rows->text(), LoadProgress::stoppedText(rows));
        QVERIFY(test::control<QAction>(list, "mnu_ExportCsv")->isEnabled());
        QTest::keyClick(grid(), Qt::Key_Escape);
        QTRY_VERIFY(!list);
    }

    void closingWhileLoadingEndsTheServersWorkToo()
    {
        const qint64 sentBefore = rowsSentByServer();
        const QPointer<Frm_QueryResults> list = openLoading(numbered(20000000));
        const QString connection = readingConnection();
        const qint64 rows = list->loadedRows();
        kestrel::FormHost::subWindowOf(list)->close();
        // Stopped with the close itself, not when the window is deleted.
        QVERIFY(!list->isLoading());
        QCoreApplication::processEvents();
        if (list)
            QCOMPARE(list->loadedRows(), rows);
        test::settle();
        QVERIFY(!list);
        QVERIFY(!progress());
        QTRY_VERIFY(connectionGone(connection));
        QCOMPARE(M::ConnStat(), M::StatIdle);
        // The server counts the rows it sent once the statement ends: a small
        // share of the list, not all of it.
        QCOMPARE_LT(rowsSentByServer() - sentBefore, qint64(2000000));
    }

    // Rows that have arrived can be deleted and picked while the rest comes.
    void deleteAndPickWorkOnArrivedRowsWhileLoading()
    {
        ResultRequest request = citiesOverAndOver();
        request.deleteTable = QStringLiteral("cities");
        QPointer<Frm_QueryResults> list = openLoading(request);
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key_Delete);
        QCOMPARE(run->messages->texts(),
                 QStringList{"Are You sure You want to DELETE Row with ID #3"});
        QCOMPARE(test::idsIn("cities"), QStringLiteral("1|2"));
        QVERIFY(list && list->isLoading());

        QStringList picked;
        test::exec("DELETE FROM cities"); // citiesOverAndOver adds them anew
        request = citiesOverAndOver();
        request.pickFlag = &M::AddTransPickCustomer;
        request.onPick = [&](const QStringList &cells) { picked = cells; };
        list = openLoading(request);
        const QString connection = readingConnection();
        QTest::keyClick(grid(), Qt::Key_Down);
        QTest::keyClick(grid(), Qt::Key_Return);
        test::settle();
        QCOMPARE(picked.mid(1, 2), (QStringList{"3", "City 3"}));
        QVERIFY(!list);
        QTRY_VERIFY(connectionGone(connection));
    }

    void serverFailureWhileLoadingReportsAndCloses()
    {
        const QPointer<Frm_QueryResults> list = openLoading(numbered(20000000));
        QSignalSpy finished(list.data(), &Frm_QueryResults::loadingFinished);
        test::exec("KILL " + readingConnection());
        QTRY_VERIFY_WITH_TIMEOUT(!list, 30000);
        QCOMPARE(run->messages->texts(), QStringList{db::ConnectionErrorText});
        QCOMPARE(M::ConnStat(), M::StatError);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!progress());
    }
};

QTEST_MAIN(TestResultStreaming)
#include "tst_resultstreaming.moc"
