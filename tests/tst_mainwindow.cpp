// The main window: its menu tree, toolbar dispatch, status panels, one
// instance per form, window arrangement and Exit.

#include "Frm_About.h"
#include "Frm_AddCity.h"
#include "Frm_QueryResults.h"
#include "Frm_ConnectionSettings.h"
#include "Frm_TestConnection.h"
#include "MDIfrm_main.h"
#include "ParamFile.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// "caption|shortcut" of every entry of a menu, submenus as "caption>".
QStringList describe(const QMenu *menu)
{
    QStringList out;
    for (const QAction *action : menu->actions()) {
        if (action->menu())
            out.append(action->text() + QStringLiteral(">"));
        else
            out.append(action->text() + QLatin1Char('|')
                       + action->shortcut().toString(QKeySequence::PortableText));
    }
    return out;
}

QMenu *menuNamed(const QWidget *main, const char *name)
{
    return main->findChild<QMenu *>(QLatin1String(name));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captionAndStatusAtStart();
    void startupReadsParameterFile();
    void menuBarOrder();
    void menuItems_data();
    void menuItems();
    void oneInstancePerForm();
    void toolbarDispatch();
    void statusPanels();
    void tilingAndCascade();
    void exitClosesEveryChild();

private:
    std::unique_ptr<test::ScratchDir> m_dir;
    std::unique_ptr<test::MessageRecorder> m_messages;
    std::unique_ptr<MDIfrm_main> m_main;
};

void TestMainWindow::init()
{
    m_dir = std::make_unique<test::ScratchDir>();
    QVERIFY(db::writeParamFile(db::ParamFileName, test::testParams()));
    m_messages = std::make_unique<test::MessageRecorder>();
    M::SetConnStat(M::StatIdle);
    test::useTestDatabase();
    test::resetTables();
    m_main = std::make_unique<MDIfrm_main>();
    m_main->resize(1000, 700);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
}

void TestMainWindow::cleanup()
{
    m_main.reset();
    m_messages.reset();
    m_dir.reset();
}

void TestMainWindow::captionAndStatusAtStart()
{
    QCOMPARE(m_main->windowTitle(), QStringLiteral("...::: Kestrel :::..."));
    QCOMPARE(m_main->statusPanelText(1), M::StatIdle);
    QCOMPARE(m_main->statusPanelText(2), QStringLiteral("NUM"));
    QCOMPARE(m_main->statusPanelText(3), QStringLiteral("CAPS"));
    QCOMPARE(m_main->statusPanelText(4), QStringLiteral("SCRL"));
    QCOMPARE(m_main->statusPanelText(5), QStringLiteral("INS"));
    QVERIFY(m_main->mdiArea()->subWindowList().isEmpty());
}

void TestMainWindow::startupReadsParameterFile()
{
    m_main.reset();
    QFile file(db::ParamFileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("d\nx\nshop\nsrv\nu\n\n3306\n\nninth\n");
    file.close();
    m_main = std::make_unique<MDIfrm_main>();
    QCOMPARE(M::ConnString,
             QStringLiteral("DSN=d;DESC=x;DATABASE=shop;SERVER=srv;UID=u;PASSWORD=;PORT=3306;OPTION=3;STMT=;"));

    // No parameter file at all: an all-empty string, no crash, no message.
    m_main.reset();
    QVERIFY(QFile::remove(db::ParamFileName));
    m_main = std::make_unique<MDIfrm_main>();
    QCOMPARE(M::ConnString,
             QStringLiteral("DSN=;DESC=;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;"));
    QVERIFY(m_messages->messages.empty());
}

void TestMainWindow::menuBarOrder()
{
    QStringList titles;
    for (const QAction *action : m_main->menuBar()->actions())
        titles.append(action->text());
    QCOMPARE(titles, (QStringList{"&File", "&Add Record", "&Edit Record", "&Delete Record",
                                  "&Queries", "&Setup", "&Window", "&Help"}));
}

void TestMainWindow::menuItems_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("File") << "mnu_File"
                          << QStringList{"Test Connection|Ctrl+A", "Format DB Structure|", "Exit|Ctrl+Q"};
    QTest::newRow("Add") << "mnu_AddRecord"
                         << QStringList{"Product|F2", "Customer|F3", "City|F4", "Transaction|F5"};
    QTest::newRow("Edit") << "mnu_ERecord"
                          << QStringList{"Product|Shift+F2", "Customer|Shift+F3", "City|Shift+F4",
                                         "Transaction|Shift+F5"};
    QTest::newRow("Delete") << "mnu_DRecord"
                            << QStringList{"Product|Ctrl+Shift+F2", "Customer|Ctrl+Shift+F3",
                                           "City|Ctrl+Shift+F4", "Transaction|Ctrl+Shift+F5"};
    QTest::newRow("Queries") << "mnu_Queries"
                             << QStringList{"Turnover>", "Products>", "Top 10 Customer|Ctrl+B"};
    QTest::newRow("Turnover") << "mnu_Turnover"
                              << QStringList{"Today|Ctrl+T", "Between Interval|Ctrl+I"};
    QTest::newRow("Products") << "mnu_Products"
                              << QStringList{"Product in Store|Ctrl+S", "Products List|Ctrl+L",
                                             "Top 5 Products|Ctrl+F",
                                             "Change All Product's Price|Ctrl+F12"};
    QTest::newRow("Setup") << "mnu_Setup" << QStringList{"Connection Settings|Ctrl+W"};
    QTest::newRow("Window") << "mnu_Window" << QStringList{"Cascade|Ctrl+K", "Tile>"};
    QTest::newRow("Tile") << "mnu_WindTile" << QStringList{"Horizontally|Ctrl+H", "Vertically|Ctrl+M"};
    QTest::newRow("Help") << "mnu_Help" << QStringList{"About Kestrel|"};
}

void TestMainWindow::menuItems()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QMenu *found = menuNamed(m_main.get(), menu.toLatin1().constData());
    QVERIFY(found);
    QCOMPARE(describe(found), items);
}

void TestMainWindow::oneInstancePerForm()
{
    auto *command = m_main->findChild<QAction *>("mnu_CSettings");
    command->trigger();
    auto *settings = m_main->findForm<Frm_ConnectionSettings>();
    QVERIFY(settings);
    auto *desc = settings->findChild<QLineEdit *>("txt_Desc");
    desc->clear();
    QTest::keyClicks(desc, "typed by hand");

    command->trigger();
    QCOMPARE(m_main->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(m_main->findForm<Frm_ConnectionSettings>(), settings);
    QCOMPARE(desc->text(), QStringLiteral("typed by hand"));

    // Closed forms are gone: the next opening loads afresh.
    m_main->closeForm<Frm_ConnectionSettings>();
    QVERIFY(!m_main->findForm<Frm_ConnectionSettings>());
    command->trigger();
    QCOMPARE(m_main->findForm<Frm_ConnectionSettings>()->findChild<QLineEdit *>("txt_Desc")->text(),
             test::testParams()[1]);
}

void TestMainWindow::toolbarDispatch()
{
    auto *toolbar = m_main->findChild<QToolBar *>("tlb_Toolbar");
    const QList<QAction *> entries = toolbar->actions();
    QCOMPARE(entries.size(), 14);
    for (int i = 0; i < 14; i += 2)
        QVERIFY2(entries[i]->isSeparator(), qPrintable(QString::number(i + 1)));

    QStringList texts;
    for (int index = 2; index <= 14; index += 2) {
        auto *button = m_main->findChild<QToolButton *>(QStringLiteral("tlb_Button%1").arg(index));
        QVERIFY(button);
        QVERIFY(!button->icon().isNull());
        texts.append(button->text());
    }
    QCOMPARE(texts, (QStringList{"Add", "Edit", "Delete", "Today's", "Dates", "Products", "Setup"}));

    QStringList productItems;
    for (const QAction *item : m_main->findChild<QToolButton *>("tlb_Button12")->menu()->actions())
        productItems.append(item->text() + QLatin1Char('=') + item->data().toString());
    QCOMPARE(productItems, (QStringList{"List=13", "In store=14"}));

    // Positions and tags outside the table do nothing.
    for (int outside : {-1, 0, 1, 3, 15, 100})
        m_main->tlb_Toolbar_ButtonClick(outside);
    for (int outside : {-1, 0, 15, 100})
        m_main->tlb_Toolbar_ButtonMenuClick(outside);
    QVERIFY(m_main->mdiArea()->subWindowList().isEmpty());

    QTest::mouseClick(m_main->findChild<QToolButton *>("tlb_Button14"), Qt::LeftButton);
    QVERIFY(m_main->findForm<Frm_ConnectionSettings>());

    // Drop-down items go by their tag: 4 is the city form, 12 the city list.
    m_main->tlb_Toolbar_ButtonMenuClick(4);
    QVERIFY(m_main->findForm<Frm_AddCity>());
    m_main->tlb_Toolbar_ButtonMenuClick(12);
    QVERIFY(m_main->findForm<Frm_QueryResults>());
    QCOMPARE(m_main->findForm<Frm_QueryResults>()->windowTitle(), QStringLiteral("Delete City"));
}

void TestMainWindow::statusPanels()
{
    M::SetConnStat(M::StatConnecting);
    QCOMPARE(m_main->statusPanelText(1), M::StatConnecting);
    M::SetConnStat(M::StatIdle);

    const bool before = m_main->statusPanelOn(5);
    m_main->findChild<QToolBar *>("tlb_Toolbar")->setFocus();
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_Insert);
    QCOMPARE(m_main->statusPanelOn(5), !before);
    QTest::keyClick(focus, Qt::Key_Insert);
    QCOMPARE(m_main->statusPanelOn(5), before);
}

void TestMainWindow::tilingAndCascade()
{
    m_main->mnu_WindHori_Click(); // nothing open: nothing happens
    m_main->showForm<Frm_ConnectionSettings>();
    m_main->showForm<Frm_About>();
    const QRect area = m_main->mdiArea()->viewport()->rect();
    const auto windows = m_main->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(windows.size(), 2);

    m_main->mnu_WindHori_Click();
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    QCOMPARE(windows[1]->geometry().top(), area.height() / 2);
    QCOMPARE(windows[1]->geometry().width(), area.width());

    m_main->mnu_WindVert_Click();
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    QCOMPARE(windows[1]->geometry().left(), area.width() / 2);
    QCOMPARE(windows[1]->geometry().height(), area.height());

    // Minimised windows keep out of the tiling.
    windows[1]->showMinimized();
    m_main->mnu_WindVert_Click();
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, area.width(), area.height()));

    windows[1]->showNormal();
    m_main->mnu_WindCascade_Click();
    QVERIFY(windows[0]->geometry().topLeft() != windows[1]->geometry().topLeft());
}

void TestMainWindow::exitClosesEveryChild()
{
    m_main->showForm<Frm_ConnectionSettings>();
    m_main->showForm<Frm_About>();
    QPointer<QMdiSubWindow> first = m_main->mdiArea()->subWindowList().at(0);
    m_main->findChild<QAction *>("mnu_Exit")->trigger();
    QVERIFY(!m_main->isVisible());
    QVERIFY(!m_main->findForm<Frm_ConnectionSettings>());
    QVERIFY(!m_main->findForm<Frm_About>());
    QTRY_VERIFY(!first);
    QVERIFY(m_messages->messages.empty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
