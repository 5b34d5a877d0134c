// Lists out of the result window as the operator takes them out, read back.

#include "reports/Frm_QueryResults.h"
#include "support/TestSupport.h"
#include "widgets/FlexGrid.h"
#include "widgets/GridExport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// Menus and dialogs run event loops of their own: the operator's hands act
// on each from a timer, in order, as it shows up.
class Hands {
public:
    using Find = std::function<QWidget *()>;
    using Act = std::function<void(QWidget *)>;

    void then(Find find, Act act) { m_steps.push_back({std::move(find), std::move(act)}); }

    void start()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_steps.empty())
                return m_timer.stop();
            if (QWidget *shown = m_steps.front().first()) {
                // Acted on from a timer of its own: what the act opens runs an
                // event loop in which this timer must go on looking.
                QTimer::singleShot(0, shown, [act = m_steps.front().second, shown] { act(shown); });
                m_steps.pop_front();
            }
        });
        m_timer.start(20);
    }

    bool done() const { return m_steps.empty(); }

private:
    std::deque<std::pair<Find, Act>> m_steps;
    QTimer m_timer;
};

template <class T> Hands::Find shown()
{
    return [] {
        QWidget *top = QApplication::activePopupWidget();
        // A dialog takes keys once X11 has made it the active window: keys
        // sent before then go astray (the file dialog's Enter does nothing).
        if (!top && QApplication::activeModalWidget() == QApplication::activeWindow())
            top = QApplication::activeModalWidget();
        return qobject_cast<T *>(top);
    };
}

Hands::Act chooseItem(const QString &text)
{
    return [text](QWidget *widget) {
        auto *menu = static_cast<QMenu *>(widget);
        for (int i = 0; i < 10 && (!menu->activeAction() || menu->activeAction()->text() != text);
             ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    };
}

// Types the path, as seen from the folder the dialog shows, then Enter (a
// whole path leaves the completer listing folders, and Enter picks one).
Hands::Act saveAs(const QString &path)
{
    return [path](QWidget *widget) {
        auto *dialog = static_cast<QFileDialog *>(widget);
        auto *name = widget->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        test::type(name, dialog->directory().relativeFilePath(path));
        QTest::keyClick(name, Qt::Key_Return);
    };
}

// A CSV file as a spreadsheet reads it: fields split at ";" outside quotes,
// rows at CR LF outside quotes, doubled quotes inside quotes.
std::vector<QStringList> parseCsv(const QString &text)
{
    std::vector<QStringList> rows(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i], next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c == u'"' && quoted && next == u'"')
            field += text[i++];
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u';')
            rows.back().append(std::exchange(field, {}));
        else if (!quoted && c == u'\r' && next == u'\n') {
            rows.back().append(std::exchange(field, {}));
            rows.emplace_back();
            ++i;
        } else
            field += c;
    }
    rows.pop_back(); // after the last CR LF
    return rows;
}

QString runTool(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("%s failed (poppler-utils is installed by scripts/test)", qPrintable(tool));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A folder in which no file can be made or replaced, whoever runs the test:
// read-only for a user, and immutable for root, whom permissions do not stop.
class LockedFolder {
public:
    explicit LockedFolder(const QString &path) : m_path(path) {}
    ~LockedFolder() { setLocked(false); }

    bool lock()
    {
        setLocked(true);
        // Proof that it holds: a file of our own cannot be made there.
        QFile probe(m_path + QStringLiteral("/probe"));
        return !probe.open(QIODevice::WriteOnly);
    }

private:
    void setLocked(bool locked)
    {
        if (geteuid() == 0) {
            const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
                ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0)
                ::close(fd);
        }
        QFile::setPermissions(m_path, locked
                                          ? QFile::ReadOwner | QFile::ExeOwner
                                          : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString m_path;
};

// The awkward texts a shop's list holds, one list row each. Row 6 the grid's
// text store keeps one byte a character; row 7 holds a lone carriage return.
ResultRequest awkwardList()
{
    ResultRequest request;
    request.statement = db::Statement(QStringLiteral(
        "SELECT 1 AS ID, 'He said \"hi\"' AS Name, CAST(12.5 AS DECIMAL(10,2)) AS Amount, "
        "DATE '2008-03-05' AS Day UNION ALL "
        "SELECT 2, 'a;b', -3.5, DATE '2008-12-31' UNION ALL "
        "SELECT 3, 'line one\\nline two', 0.1, NULL UNION ALL "
        "SELECT 4, '\u0416\u0430\u043d\u043d\u0430 \u0418\u0432\u0430\u043d\u043e\u0432\u0430 "
        "\U0001F426', 1000000.25, DATE '2008-03-05' UNION ALL "
        "SELECT 5, '=HYPERLINK(\"http://x\")', 7, DATE '2008-03-05' UNION ALL "
        "SELECT 6, 'Caf\u00e9 M\u00fcller', 8, NULL UNION ALL SELECT 7, 'cr\\rhere', 9, NULL"));
    request.caption = QStringLiteral("Awkward \u0416 list");
    request.columns = {{"ID", "0.1"}, {"Name", "0.4"}, {"Amount", "0.2"}, {"Day", "0.2"}};
    return request;
}

// The user's configuration and documents folders of this run: made before
// Qt starts, so no setting of the tester's own is read or written.
struct ScratchUserFolders {
    QTemporaryDir home;
    QString documents = home.filePath(QStringLiteral("Documents"));
    QString file(const QString &name) const { return documents + u'/' + name; }
    ScratchUserFolders()
    {
        const QString config = home.filePath(QStringLiteral("config"));
        QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
        if (!QDir().mkpath(config) || !QDir().mkpath(documents) || !dirs.open(QIODevice::WriteOnly))
            qFatal("cannot make the test's user folders");
        dirs.write("XDG_DOCUMENTS_DIR=\"" + documents.toUtf8() + "\"\n");
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
    }
};
const ScratchUserFolders userFolders;

ResultRequest numbered(int rows)
{
    ResultRequest request;
    request.statement = db::Statement(
        QStringLiteral("SELECT seq AS ID, CONCAT('Name ', seq) AS Name FROM seq_1_to_%1")
            .arg(rows));
    request.caption = QStringLiteral("Numbered Rows");
    request.columns = {{"ID", "0.3"}, {"Name", "0.6"}};
    return request;
}

} // namespace

class TestResultExport : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::RunningMainWindow> run;

    FlexGrid *grid() const
    {
        return test::control<FlexGrid>(run->main->findForm<Frm_QueryResults>(), "fxg_QueryResult");
    }

    // Runs a command whose menus and dialogs hands answers; fails the test
    // if any of them never showed up.
    void operate(Hands &hands, const std::function<void()> &command)
    {
        hands.start();
        command();
        test::settle();
        QVERIFY2(hands.done(), "a menu or dialog the test expected did not show up");
    }

    void exportThroughMainWindow(const QString &path)
    {
        Hands hands;
        hands.then(shown<QFileDialog>(), saveAs(path));
        KESTREL_CHECK(operate(
            hands, [this] { QTest::keyClick(run->main.get(), Qt::Key_E, Qt::ControlModifier); }));
    }

private slots:
    void initTestCase()
    {
        test::useTestDatabase();
        run = std::make_unique<test::RunningMainWindow>();
        QVERIFY(run->show());
    }
    void init()
    {
        run->reset();
        run->main->statusBar()->clearMessage();
        // Dialogs of the test before leave no window active, and the main
        // window's shortcuts want theirs to be.
        run->main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(run->main.get()));
    }
    void cleanupTestCase() { run.reset(); }

    void csvReadsBackFieldForField()
    {
        QVERIFY(Frm_QueryResults::Open(awkwardList()));
        const QString path = userFolders.file(QStringLiteral("awkward.csv"));
        Hands hands;
        hands.then(shown<QMenu>(), chooseItem(QStringLiteral("Export to CSV...")));
        hands.then(shown<QFileDialog>(), saveAs(path));
        KESTREL_CHECK(
            operate(hands, [this] { QTest::keyClick(grid(), Qt::Key_F10, Qt::ShiftModifier); }));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const std::vector<QStringList> rows = parseCsv(QString::fromUtf8(bytes.mid(3)));
        QCOMPARE(rows.size(), size_t(8));
        QCOMPARE(rows[0], (QStringList{"ID", "Name", "Amount", "Day"}));
        for (int r = 1; r <= 7; ++r) {
            QStringList shownRow;
            for (int c = 1; c <= 4; ++c)
                shownRow.append(grid()->TextMatrix(r, c));
            if (r == 5) // a formula is kept from running
                shownRow[1].prepend(u'\'');
            QCOMPARE(rows[size_t(r)], shownRow);
        }
        // What the grid shows is what a spreadsheet set to a decimal comma reads.
        QCOMPARE(rows[1].mid(1), (QStringList{"He said \"hi\"", "12,50", "2008. 03. 05."}));
        QCOMPARE(rows[2].mid(1, 2), (QStringList{"a;b", "-3,50"}));
        QVERIFY(bytes.contains("6;Caf\xC3\xA9 M\xC3\xBCller;8,00;"));
        QVERIFY(bytes.contains("7;\"cr\rhere\";9,00;"));
        QVERIFY(run->messages->messages.empty());
    }

    void pdfHoldsEveryRowOnPagesWithCaptionAndHeaders()
    {
        constexpr int Rows = 100;
        QVERIFY(Frm_QueryResults::Open(numbered(Rows)));
        const QString path = userFolders.file(QStringLiteral("numbered.pdf"));
        KESTREL_CHECK(exportThroughMainWindow(path));

        const QString info = runTool("pdfinfo", {path});
        const int pages =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
        QCOMPARE_GT(pages, 1);
        QVERIFY(runTool("pdftotext", {"-l", "1", path, "-"}).contains("Numbered Rows"));
        QStringList ids, expected;
        for (int p = 1; p <= pages; ++p) {
            const QString text = runTool("pdftotext", {"-f", QString::number(p), "-l",
                                                       QString::number(p), "-layout", path, "-"});
            QVERIFY(text.contains(QRegularExpression(QStringLiteral("ID\\s+Name"))));
            QVERIFY(text.contains(QStringLiteral("Page %1 of %2").arg(p).arg(pages)));
            const QRegularExpression row(QStringLiteral("^\\s*(\\d+)\\s+Name (\\d+)\\s*$"),
                                         QRegularExpression::MultilineOption);
            for (const QRegularExpressionMatch &m : row.globalMatch(text)) {
                QCOMPARE(m.captured(1), m.captured(2));
                ids.append(m.captured(1));
            }
        }
        for (int i = 1; i <= Rows; ++i)
            expected.append(QString::number(i));
        QCOMPARE(ids, expected);
    }

    // On paper a number is never cut: its column takes the width its values
    // and header need, and a long text gives way with an ellipsis.
    void pdfNeverCutsNumbers()
    {
        ResultRequest request;
        request.statement = db::Statement(QStringLiteral(
            "SELECT 1 AS ID, REPEAT('Long name ', 60) AS Name, '0612345678' AS Telephone, "
            "CAST(3265230.6 AS DECIMAL(12,2)) AS Bought, DATE '2008-03-05' AS Joined UNION ALL "
            "SELECT 22, 'Ann', '06', 7, DATE '2008-12-31'"));
        request.caption = QStringLiteral("Top Customers");
        request.columns = {{"ID", "0.01"},
                           {"Name", "0.9"},
                           {"Telephone", "0.02"},
                           {"Bought", "0.02"},
                           {"Joined", "0.02"}};
        QVERIFY(Frm_QueryResults::Open(request));
        const QString path = userFolders.file(QStringLiteral("top.pdf"));
        KESTREL_CHECK(exportThroughMainWindow(path));

        const QString page = runTool("pdftotext", {"-layout", path, "-"});
        for (const char *whole :
             {"Telephone", "Bought", "Joined", "0612345678", "3265230,60", "2008. 03. 05.", "22"})
            QVERIFY2(page.contains(QLatin1String(whole)), whole);
        QVERIFY(page.contains(QStringLiteral("Long name Long name")));
        QVERIFY(page.contains(QChar(0x2026)));
    }

    // A file that cannot be written is reported, and what was there stays.
    void fileThatCannotBeWrittenIsReportedAndLeftAlone()
    {
        const QString folder = userFolders.file(QStringLiteral("locked"));
        const QString path = folder + QStringLiteral("/list.pdf");
        QFile old(path);
        QVERIFY(QDir().mkpath(folder) && old.open(QIODevice::WriteOnly));
        old.write("what was there");
        old.close();
        LockedFolder lock(folder);
        QVERIFY2(lock.lock(), "the test cannot make a folder read-only here");
        QVERIFY(Frm_QueryResults::Open(numbered(3)));
        KESTREL_CHECK(exportThroughMainWindow(path));
        QCOMPARE(run->messages->texts(),
                 (QStringList{"File list.pdf already exists. Do You want to replace it?",
                              cannotSaveText(path)}));
        QCOMPARE(run->messages->messages.back().icon, M::MsgIcon::Critical);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"list.pdf"});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("what was there"));
    }

    // A stopped list goes out as the operator answers: the rows loaded, said
    // so on the pages and in the status bar, or the whole list, loaded first.
    void stoppedListGoesOutAsTheOperatorSays_data()
    {
        QTest::addColumn<bool>("loadedOnly");
        QTest::addColumn<QString>("file");
        QTest::newRow("the rows loaded, as PDF") << true << "part.pdf";
        QTest::newRow("the whole list, loaded first, as CSV") << false << "whole.csv";
    }
    void stoppedListGoesOutAsTheOperatorSays()
    {
        QFETCH(bool, loadedOnly);
        QFETCH(QString, file);
        constexpr int Rows = 300000;
        const QPointer<Frm_QueryResults> list = Frm_QueryResults::Open(numbered(Rows));
        QVERIFY(list && list->isLoading());
        // Esc goes to the list in the active window. The window manager has
        // the main window active again after the dialogs of the test before,
        // but Qt may have missed the focus coming back.
        if (!grid()->hasFocus())
            QApplication::setActiveWindow(run->main.get());
        QVERIFY(grid()->hasFocus());
        QTest::keyClick(grid(), Qt::Key_Escape);
        const qint64 loaded = list->loadedRows();
        QVERIFY(!list->isLoading() && loaded < Rows);
        run->messages->answers = {loadedOnly ? M::MsgAnswer::Yes : M::MsgAnswer::No};
        const QString path = userFolders.file(file);
        Hands hands;
        hands.then(shown<QFileDialog>(), saveAs(path));
        hands.start();
        QTest::keyClick(run->main.get(), Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(hands.done() && QFileInfo::exists(path), 60000);
        test::settle();

        QVERIFY(run->messages->texts().size() == 1
                && run->messages->texts().front().contains(
                    QStringLiteral("only the %1 rows").arg(loaded)));
        const QString note = QStringLiteral("part of the list: the %1 rows loaded").arg(loaded);
        const QString status = run->main->statusBar()->currentMessage();
        if (loadedOnly) {
            const QString page = runTool("pdftotext", {"-f", "1", "-l", "1", path, "-"});
            QVERIFY(page.contains(note) && status.contains(note));
        } else {
            QFile csv(path);
            QVERIFY(csv.open(QIODevice::ReadOnly) && list->loadedRows() == Rows);
            QCOMPARE(csv.readAll().count("\r\n"), Rows + 1);
            QVERIFY(!status.contains(QStringLiteral("part of the list")));
        }
    }
};

QTEST_MAIN(TestResultExport)
#include "tst_resultexport.moc"
