// The main window: its menu tree, toolbar dispatch, status panels, one
// instance per form, window arrangement and Exit.

#include "core/app/CommandLine.h"
#include "core/app/Log.h"
#include "core/database/ParamFile.h"
#include "database/Frm_ConnectionSettings.h"
#include "entry/Frm_AddCity.h"
#include "entry/Frm_AddCustomer.h"
#include "entry/Frm_AddProduct.h"
#include "reports/Frm_QueryResults.h"
#include "shell/Frm_About.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTest>
#include <QToolBar>
#include <memory>

namespace M = mdl_Variables_Functions;
using namespace kestrel;

namespace {

// Stands in for the main window's commands: notes each action that a key
// reaches as its own, unambiguous shortcut, and keeps the command from
// running (Exit would end the test).
class ShortcutCatcher : public QObject {
public:
    explicit ShortcutCatcher(QWidget *main)
    {
        for (QAction *action : main->findChildren<QAction *>(Qt::FindDirectChildrenOnly)) {
            if (action->shortcut().isEmpty())
                continue;
            m_actions.append(action);
            m_wasEnabled.append(action->isEnabled());
            action->setEnabled(true); // commands still to come have their keys too
            action->installEventFilter(this);
        }
    }
    ~ShortcutCatcher() override
    {
        for (qsizetype i = 0; i < m_actions.size(); ++i)
            m_actions[i]->setEnabled(m_wasEnabled[i]);
    }
    // Presses every command's key where the focus is; the keys whose command
    // did not get them.
    QStringList missedKeys()
    {
        QStringList missed;
        for (QAction *action : m_actions) {
            m_reached = nullptr;
            QTest::keySequence(QApplication::focusWidget(), action->shortcut());
            if (m_reached != action)
                missed.append(action->shortcut().toString(QKeySequence::PortableText));
        }
        return missed;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        if (!static_cast<QShortcutEvent *>(event)->isAmbiguous())
            m_reached = static_cast<QAction *>(watched);
        return true;
    }

private:
    QList<QAction *> m_actions;
    QList<bool> m_wasEnabled;
    QAction *m_reached = nullptr;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUp();
    void menus_data();
    void menus();
    void shortcutsReachTheMainWindowWhateverIsOpen_data();
    void shortcutsReachTheMainWindowWhateverIsOpen();
    void ctrlWOpensTheSettingsFromAForm();
    void ctrlF4ClosesTheActiveForm_data();
    void ctrlF4ClosesTheActiveForm();
    void oneInstancePerForm();
    void formsStayTidyMaximised_data();
    void formsStayTidyMaximised();
    void toolbarDispatch();
    void insertPanelFollowsTheKey();
    void tilingAndCascade();
    void buttonsStayReachable_data();
    void buttonsStayReachable();
    void exitClosesEveryChild();
    void aboutShowsWhereTheLogIs();

private:
    std::unique_ptr<test::RunningMainWindow> m_run;
};

void TestMainWindow::init()
{
    test::useTestDatabase();
    test::resetTables();
    m_run = std::make_unique<test::RunningMainWindow>();
    QVERIFY(m_run->show());
}

void TestMainWindow::cleanup()
{
    m_run.reset();
}

void TestMainWindow::startUp()
{
    QCOMPARE(m_run->main->windowTitle(), QStringLiteral("...::: Kestrel :::..."));
    QCOMPARE(M::ConnString, test::testConnectionString());
    const QStringList panels{M::StatIdle, "NUM", "CAPS", "SCRL", "INS"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(m_run->main->statusPanelText(i + 1), panels[i]);
    M::SetConnStat(M::StatConnecting);
    QCOMPARE(m_run->main->statusPanelText(1), M::StatConnecting);

    // No parameter file at all: an all-empty string, no crash, no message.
    m_run->main.reset();
    QVERIFY(QFile::remove(db::ParamFileName));
    m_run->main = std::make_unique<MDIfrm_main>();
    QCOMPARE(M::ConnString,
             QStringLiteral("DSN=;DESC=;DATABASE=;SERVER=;UID=;PASSWORD=;PORT=;OPTION=3;STMT=;"));
    QVERIFY(m_run->messages->messages.empty());
}

void TestMainWindow::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items"); // caption|shortcut, submenus as caption>
    QTest::newRow("bar") << "menubar"
                         << QStringList{"&File>",          "&Add Record>", "&Edit Record>",
                                        "&Delete Record>", "&Queries>",    "&Setup>",
                                        "&Window>",        "&Help>"};
    QTest::newRow("File") << "mnu_File"
                          << QStringList{"Test Connection|Ctrl+A",
                                         "Format DB Structure|",
                                         "|",
                                         "Export List...|Ctrl+E",
                                         "Print List...|Ctrl+P",
                                         "|",
                                         "Exit|Ctrl+Q"};
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
                              << QStringList{"Today|Ctrl+T", "Between Interval|Ctrl+I",
                                             "Chart|Ctrl+G"};
    QTest::newRow("Products") << "mnu_Products"
                              << QStringList{"Product in Store|Ctrl+S", "Products List|Ctrl+L",
                                             "Top 5 Products|Ctrl+F",
                                             "Change All Product's Price|Ctrl+F12"};
    QTest::newRow("Setup") << "mnu_Setup"
                           << QStringList{"Connection Settings|Ctrl+W", "Shop &Details|"};
    QTest::newRow("Window") << "mnu_Window"
                            << QStringList{"Cascade|Ctrl+K", "Tile>", "|", "Close|Ctrl+F4"};
    QTest::newRow("Tile") << "mnu_WindTile"
                          << QStringList{"Horizontally|Ctrl+H", "Vertically|Ctrl+M"};
    QTest::newRow("Help") << "mnu_Help" << QStringList{"Contents|F1", "About Kestrel|"};
}

void TestMainWindow::menus()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QWidget *found = m_run->main->findChild<QWidget *>(menu);
    QVERIFY(found);
    QStringList seen;
    for (const QAction *a : found->actions())
        seen.append(
            a->text()
            + (a->menu() ? QStringLiteral(">")
                         : QLatin1Char('|') + a->shortcut().toString(QKeySequence::PortableText)));
    QCOMPARE(seen, items);
}

void TestMainWindow::shortcutsReachTheMainWindowWhateverIsOpen_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("focus"); // a box of the form, or none
    QTest::addColumn<QStringList>("missed");
    QTest::newRow("About") << "about"
                           << "" << QStringList();
    QTest::newRow("About, maximised") << "maximised"
                                      << "" << QStringList();
    QTest::newRow("a delete view") << "delete view"
                                   << "" << QStringList();
    // A text box keeps the editing keys every text box has; a numeric box
    // is no different.
    const QStringList editing{"Ctrl+A"};
    QTest::newRow("city, in a text box") << "city"
                                         << "txt_Acronym" << editing;
    QTest::newRow("city, in a numeric box") << "city"
                                            << "txt_PostalCode" << editing;
    QTest::newRow("product, in the price box") << "product"
                                               << "txt_Price" << editing;
}

void TestMainWindow::shortcutsReachTheMainWindowWhateverIsOpen()
{
    QFETCH(QString, open);
    QFETCH(QString, focus);
    QFETCH(QStringList, missed);
    QWidget *form = nullptr;
    if (open == "about" || open == "maximised")
        form = m_run->main->showForm<Frm_About>();
    else if (open == "city")
        form = m_run->main->showForm<Frm_AddCity>();
    else if (open == "product")
        form = m_run->main->showForm<Frm_AddProduct>();
    else
        m_run->main->mnu_DCity_Click();
    if (open == "maximised")
        FormHost::subWindowOf(form)->showMaximized();
    if (!focus.isEmpty())
        test::control(form, focus)->setFocus();
    QVERIFY(!m_run->main->mdiArea()->subWindowList().isEmpty());
    ShortcutCatcher catcher(m_run->main.get());
    QCOMPARE(catcher.missedKeys().join(' '), missed.join(' '));
    QCOMPARE(m_run->messages->beeps, 0);
}

// The real command, from inside a form's numeric box.
void TestMainWindow::ctrlWOpensTheSettingsFromAForm()
{
    Frm_AddCity *city = m_run->main->showForm<Frm_AddCity>();
    QWidget *postalCode = test::control(city, "txt_PostalCode");
    postalCode->setFocus();
    QTest::keyClick(postalCode, Qt::Key_W, Qt::ControlModifier);
    QVERIFY(m_run->main->findForm<Frm_ConnectionSettings>());
    QCOMPARE(m_run->main->activeForm(), m_run->main->findForm<Frm_ConnectionSettings>());
}

// Any window closes from the keyboard, those without a button of their own
// (the connection test) included, wherever the focus is inside it.
void TestMainWindow::ctrlF4ClosesTheActiveForm_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"mnu_TestConnect", "mnu_AddCity", "mnu_Today", "mnu_HelpAbout"})
        QTest::newRow(command) << command;
}

void TestMainWindow::ctrlF4ClosesTheActiveForm()
{
    QFETCH(QString, command);
    test::trigger(m_run->main.get(), command);
    QMdiSubWindow *sub = m_run->main->mdiArea()->activeSubWindow();
    QVERIFY(sub);
    const QPointer<QWidget> form = FormHost::formOf(sub);
    QVERIFY(QApplication::focusWidget() && sub->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    test::settle();
    QVERIFY(!form);
}

// Maximised, a form of fields keeps its rows together at the top left and
// its boxes their widths, instead of spreading over the screen.
void TestMainWindow::formsStayTidyMaximised_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command :
         {"mnu_AddCity", "mnu_AddCustomer", "mnu_AddProduct", "mnu_CSettings", "mnu_TestConnect",
          "mnu_ECity", "mnu_ECustomer", "mnu_EProduct", "mnu_ETransaction"})
        QTest::newRow(command) << command;
}

void TestMainWindow::formsStayTidyMaximised()
{
    QFETCH(QString, command);
    m_run->main->resize(2000, 1400);
    test::trigger(m_run->main.get(), command);
    QMdiSubWindow *sub = m_run->main->mdiArea()->activeSubWindow();
    QVERIFY(sub);
    QWidget *form = FormHost::formOf(sub);
    const auto rowsSpan = [form] {
        int top = INT_MAX, bottom = 0;
        for (const QLineEdit *box : form->findChildren<QLineEdit *>()) {
            const int y = box->mapTo(form, QPoint()).y();
            top = std::min(top, y);
            bottom = std::max(bottom, y + box->height());
        }
        return bottom - top;
    };
    const QSize natural = form->size();
    const int span = rowsSpan();
    sub->showMaximized();
    QTRY_VERIFY(sub->isMaximized());
    QCOMPARE_GT(sub->width(), 2 * natural.width());
    QCOMPARE(form->mapTo(sub, QPoint()), sub->contentsRect().topLeft());
    const QSize most = natural * 3 / 2;
    QCOMPARE_LE(form->width(), most.width());
    QCOMPARE_LE(form->height(), most.height());
    QCOMPARE_LE(rowsSpan(), span * 3 / 2);
}

void TestMainWindow::oneInstancePerForm()
{
    auto *command = m_run->main->findChild<QAction *>("mnu_CSettings");
    command->trigger();
    auto *desc =
        m_run->main->findForm<Frm_ConnectionSettings>()->findChild<QLineEdit *>("txt_Desc");
    desc->clear();
    QTest::keyClicks(desc, "typed by hand");
    command->trigger();
    QCOMPARE(m_run->main->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(desc->text(), QStringLiteral("typed by hand"));

    // A closed form is gone: the next opening loads afresh.
    m_run->main->closeForm<Frm_ConnectionSettings>();
    QVERIFY(!m_run->main->findForm<Frm_ConnectionSettings>());
    command->trigger();
    QCOMPARE(
        m_run->main->findForm<Frm_ConnectionSettings>()->findChild<QLineEdit *>("txt_Desc")->text(),
        test::testParams()[1]);
}

void TestMainWindow::toolbarDispatch()
{
    const QList<QAction *> entries = m_run->main->findChild<QToolBar *>("tlb_Toolbar")->actions();
    QCOMPARE(entries.size(), 14);
    QStringList texts;
    for (int position = 1; position <= 14; ++position) {
        QCOMPARE(entries[position - 1]->isSeparator(), position % 2 == 1);
        if (auto *b =
                m_run->main->findChild<QToolButton *>(QStringLiteral("tlb_Button%1").arg(position)))
            texts.append(b->text());
    }
    QCOMPARE(texts,
             (QStringList{"Add", "Edit", "Delete", "Today's", "Dates", "Products", "Setup"}));
    QStringList productItems;
    for (const QAction *item :
         m_run->main->findChild<QToolButton *>("tlb_Button12")->menu()->actions())
        productItems.append(item->text() + QLatin1Char('=') + item->data().toString());
    QCOMPARE(productItems, (QStringList{"List=13", "In store=14"}));

    // Positions and tags outside the table do nothing.
    for (const int outside : {-1, 0, 1, 3, 15})
        m_run->main->tlb_Toolbar_ButtonClick(outside);
    for (const int outside : {-1, 0, 15})
        m_run->main->tlb_Toolbar_ButtonMenuClick(outside);
    QVERIFY(m_run->main->mdiArea()->subWindowList().isEmpty());

    QTest::mouseClick(m_run->main->findChild<QToolButton *>("tlb_Button14"), Qt::LeftButton);
    QVERIFY(m_run->main->findForm<Frm_ConnectionSettings>());
    m_run->main->tlb_Toolbar_ButtonMenuClick(4);
    QVERIFY(m_run->main->findForm<Frm_AddCity>());
    m_run->main->tlb_Toolbar_ButtonMenuClick(12);
    QCOMPARE(m_run->main->findForm<Frm_QueryResults>()->windowTitle(),
             QStringLiteral("Delete City"));
}

void TestMainWindow::insertPanelFollowsTheKey()
{
    const bool before = m_run->main->statusPanelOn(5);
    m_run->main->findChild<QToolBar *>("tlb_Toolbar")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    QCOMPARE(m_run->main->statusPanelOn(5), !before);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    QCOMPARE(m_run->main->statusPanelOn(5), before);
}

void TestMainWindow::tilingAndCascade()
{
    m_run->main->mnu_WindHori_Click(); // nothing open: nothing happens
    m_run->main->resize(1400, 1200);   // room for both in half the area
    m_run->main->showForm<Frm_ConnectionSettings>();
    m_run->main->showForm<Frm_About>();
    const QRect area = m_run->main->mdiArea()->viewport()->rect();
    const int w = area.width(), h = area.height();
    const auto windows = m_run->main->mdiArea()->subWindowList(QMdiArea::CreationOrder);

    m_run->main->mnu_WindHori_Click();
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, w, h / 2));
    QCOMPARE(windows[1]->geometry(), QRect(0, h / 2, w, h - h / 2));
    m_run->main->mnu_WindVert_Click();
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, w / 2, h));
    QCOMPARE(windows[1]->geometry(), QRect(w / 2, 0, w - w / 2, h));
    windows[1]->showMinimized(); // minimised windows keep out of the tiling
    m_run->main->mnu_WindVert_Click();
    QCOMPARE(windows[0]->geometry(), QRect(0, 0, w, h));

    windows[1]->showNormal();
    // Cascade steps every window down and right of the one before it, from
    // wherever they stood.
    for (QMdiSubWindow *sub : windows)
        sub->move(40, 40);
    m_run->main->mnu_WindCascade_Click();
    const QPoint first = windows[0]->geometry().topLeft(),
                 second = windows[1]->geometry().topLeft();
    QCOMPARE(first, QPoint(0, 0));
    QVERIFY(second.x() > first.x() && second.y() > first.y());
}

// Windows too small for their forms (tiled, or in a small main window)
// never squeeze a form nor cut off its buttons: the form scrolls, and Tab
// brings each button into sight inside the area.
void TestMainWindow::buttonsStayReachable_data()
{
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<int>("tileKey"); // 0: the windows stay as they opened
    QTest::newRow("tiled in bands, Ctrl+H") << QSize(800, 480) << int(Qt::Key_H);
    QTest::newRow("tiled side by side, Ctrl+M") << QSize(800, 480) << int(Qt::Key_M);
    QTest::newRow("a main window of 640 pixels") << QSize(640, 480) << 0;
}

void TestMainWindow::buttonsStayReachable()
{
    QFETCH(QSize, mainSize);
    QFETCH(int, tileKey);
    for (const char *command : {"mnu_AddCustomer", "mnu_ECustomer", "mnu_ETransaction"})
        test::trigger(m_run->main.get(), command);
    m_run->main->resize(mainSize);
    test::settle();
    if (tileKey)
        test::press(tileKey, Qt::ControlModifier);
    QWidget *area = m_run->main->mdiArea()->viewport();
    for (QMdiSubWindow *sub : m_run->main->mdiArea()->subWindowList()) {
        KForm *form = FormHost::formOf(sub);
        QVERIFY(form->width() >= form->minimumSizeHint().width()
                && form->height() >= form->minimumSizeHint().height());
        for (QPushButton *button : form->findChildren<QPushButton *>()) {
            if (!button->isVisibleTo(form))
                continue;
            m_run->main->mdiArea()->setActiveSubWindow(sub);
            KESTREL_CHECK(test::tabTo(button->objectName()));
            const QRect shown(button->mapTo(area, QPoint()), button->size());
            QVERIFY2(area->rect().contains(shown) && sub->geometry().contains(shown),
                     qPrintable(form->objectName() + ' ' + button->objectName()));
        }
    }
}

void TestMainWindow::exitClosesEveryChild()
{
    m_run->main->showForm<Frm_ConnectionSettings>();
    m_run->main->showForm<Frm_About>();
    QPointer<QMdiSubWindow> first = m_run->main->mdiArea()->subWindowList().at(0);
    m_run->main->findChild<QAction *>("mnu_Exit")->trigger();
    QVERIFY(!m_run->main->isVisible());
    QVERIFY(!m_run->main->findForm<Frm_ConnectionSettings>()
            && !m_run->main->findForm<Frm_About>());
    QTRY_VERIFY(!first);
    QVERIFY(m_run->messages->messages.empty());
}

void TestMainWindow::aboutShowsWhereTheLogIs()
{
    const QString logFile = m_run->dir.file("state/kestrel.log");
    log::setFile(logFile);
    test::trigger(m_run->main.get(), "mnu_HelpAbout");
    log::setFile(QString());
    auto *about = m_run->main->findForm<Frm_About>();
    QVERIFY(about);
    QCOMPARE(test::control<QLabel>(about, "lbl_LogFile")->text(), "Log: " + logFile);
    // The version is the one --version prints.
    QVERIFY(test::control<QLabel>(about, "lbl_Info")
                ->text()
                .startsWith("<b>" + app::versionText() + "</b>"));

    // Started without a log file (as the tests are), it says where lines go.
    test::click(about, "cmd_OK");
    test::trigger(m_run->main.get(), "mnu_HelpAbout");
    QCOMPARE(test::control<QLabel>(m_run->main->findForm<Frm_About>(), "lbl_LogFile")->text(),
             QStringLiteral("Log: standard error only"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
