#include "support/TestSupport.h"

#include "core/database/ParamFile.h"
#include "reports/Frm_QueryResults.h"
#include "widgets/FlexGrid.h"

#include <QApplication>
#include <QComboBox>

namespace kestrel::test {

RunningMainWindow::RunningMainWindow() : messages(std::make_unique<MessageRecorder>())
{
    if (!db::writeParamFile(db::ParamFileName, testParams()))
        qFatal("cannot write the test's ConnParam.ini");
    M::SetConnStat(M::StatIdle);
    main = std::make_unique<MDIfrm_main>();
}

bool RunningMainWindow::show()
{
    main->resize(1000, 700);
    main->show();
    main->activateWindow();
    return QTest::qWaitForWindowActive(main.get());
}

void RunningMainWindow::reset()
{
    main->closeAllForms();
    settle();
    resetTables();
    messages.reset(); // its service must go back before the new one comes
    messages = std::make_unique<MessageRecorder>();
    M::SetConnStat(M::StatIdle);
}

void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void click(QWidget *form, const QString &button)
{
    QTest::mouseClick(control<QAbstractButton>(form, button), Qt::LeftButton);
    settle();
}

void type(QWidget *box, const QString &text)
{
    box->setFocus();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n'))
            QTest::keyClick(box, Qt::Key_Return);
        else if (c == QLatin1Char('\t'))
            QTest::keyClick(box, Qt::Key_Tab);
        else if (c == QLatin1Char('\x1b'))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (c.unicode() < 128)
            QTest::keyClick(box, c.toLatin1());
        else if (c.isHighSurrogate() && i + 1 < text.size())
            // A character beyond the 16-bit range comes as one key press.
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i++, 2),
                                Qt::NoModifier);
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

void enterValidCity(QWidget *form)
{
    type(control(form, "txt_Acronym"), "BUD");
    type(control(form, "txt_FullName"), "Budapest");
    type(control(form, "txt_PostalCode"), "1011");
    type(control(form, "txt_CountryCode"), "HUN");
    auto *country = control<QComboBox>(form, "cmb_Country");
    country->setCurrentIndex(country->findText(QStringLiteral("\u2022 Hungary ")));
    control(form, "cmd_OK")->setFocus();
}

void press(int key, Qt::KeyboardModifiers modifiers)
{
    auto *main = dynamic_cast<QWidget *>(FormHost::instance());
    QWidget *at = QApplication::focusWidget() ? QApplication::focusWidget() : main;
    QVERIFY(at);
    QTest::keyClick(at, Qt::Key(key), modifiers);
    settle();
    QVERIFY(QTest::qWaitForWindowActive(main));
}

void keys(const QString &text)
{
    for (const QChar c : text) {
        QVERIFY(QApplication::focusWidget());
        type(QApplication::focusWidget(), QString(c));
        settle();
    }
}

QString focusName()
{
    const QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

void tabTo(const QString &name)
{
    for (int i = 0; i < 60 && focusName() != name; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focusName(), name);
}

void pickRow(int row)
{
    auto *chooser = FormHost::instance()->findForm<Frm_QueryResults>();
    QVERIFY(chooser);
    control<FlexGrid>(chooser, "fxg_QueryResult")->setFocus();
    for (int i = 1; i < row; ++i)
        QTest::keyClick(control<FlexGrid>(chooser, "fxg_QueryResult"), Qt::Key_Down);
    QTest::keyClick(control<FlexGrid>(chooser, "fxg_QueryResult"), Qt::Key_Return);
    settle();
    QVERIFY(!FormHost::instance()->findForm<Frm_QueryResults>());
}

QString column(const FlexGrid *grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid->Rows(); ++r)
        texts.append(grid->TextMatrix(r, col));
    return texts.join('|');
}

void trigger(MDIfrm_main *main, const QString &command)
{
    control<QAction>(main, command)->trigger();
    QApplication::processEvents();
}

} // namespace kestrel::test
