#pragma once
// What the entry form tests share: a main window on the test database, the
// form's widgets by name, typing and clicking, and the rows a table holds.

#include "MDIfrm_main.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <memory>

namespace kestrel::test {

class EntryHarness {
public:
    // Call from initTestCase: the main window reads its parameter file from a
    // scratch folder, then points at the test database.
    void start()
    {
        m_scratch = std::make_unique<ScratchDir>();
        m_main = std::make_unique<MDIfrm_main>();
        useTestDatabase();
        m_main->show();
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

    // Call from init: empty tables, fresh recorder, no form left open.
    void reset()
    {
        closeAll();
        resetTables();
        recorder.reset(); // its handlers go before the new ones come
        recorder = std::make_unique<MessageRecorder>();
        mdl_Variables_Functions::SetConnStat(mdl_Variables_Functions::StatIdle);
    }

    void closeAll()
    {
        m_main->mdiArea()->closeAllSubWindows();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    MDIfrm_main *main() const { return m_main.get(); }

    template <class Form> Form *open()
    {
        Form *form = m_main->showForm<Form>();
        QApplication::processEvents();
        return form;
    }

    std::unique_ptr<MessageRecorder> recorder;

private:
    std::unique_ptr<ScratchDir> m_scratch;
    std::unique_ptr<MDIfrm_main> m_main;
};

// The form's control called name; fails the test run when it is missing.
template <class Widget> Widget *control(QWidget *form, const char *name)
{
    auto *widget = form->findChild<Widget *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("control %s not found", name);
    return widget;
}

inline QLineEdit *lineEdit(QWidget *form, const char *name) { return control<QLineEdit>(form, name); }
inline QPlainTextEdit *textBox(QWidget *form, const char *name)
{
    return control<QPlainTextEdit>(form, name);
}

// Lets closed forms go, so a QPointer to them reads null.
inline void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Types text into the box as the operator would, key by key, with a press
// and a release for each character, Cyrillic and accented ones included.
inline void type(QWidget *box, const QString &text)
{
    box->setFocus();
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(box, c.toLatin1());
            continue;
        }
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, box, key, QString(c), Qt::NoModifier);
    }
}

inline void click(QWidget *form, const char *button)
{
    QTest::mouseClick(control<QAbstractButton>(form, button), Qt::LeftButton);
    settle();
}

// Selects the item with this exact text; an empty text leaves the box as it is.
inline void pick(QWidget *form, const char *comboName, const QString &item)
{
    if (item.isEmpty())
        return;
    auto *box = control<QComboBox>(form, comboName);
    const int index = box->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        qFatal("no item \"%s\"", qPrintable(item));
    box->setCurrentIndex(index);
}

// Every row of the statement's result, each field as text ("NULL" for null).
inline QList<QStringList> rows(const QString &sql)
{
    QList<QStringList> out;
    for (const db::Row &row : query(sql).rows) {
        QStringList fields;
        for (const db::Value &value : row)
            fields.append(value.value_or(QStringLiteral("NULL")));
        out.append(fields);
    }
    return out;
}

inline int rowCount(const QString &table)
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).value_or(QString()).toInt();
}

inline QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

// What OK left behind after the checks: with no message expected, the row is
// stored and the form closed; otherwise exactly that message, with an OK
// button and no icon, nothing stored and the form still open.
inline void verifyCheckOutcome(const EntryHarness &harness, const QWidget *form,
                               const QString &table, const QString &message)
{
    if (message.isEmpty()) {
        QVERIFY(harness.recorder->messages.empty());
        QCOMPARE(rowCount(table), 1);
        QVERIFY(!form);
        return;
    }
    QCOMPARE(harness.recorder->texts(), QStringList{message});
    const auto &shown = harness.recorder->messages.front();
    QCOMPARE(shown.icon, mdl_Variables_Functions::MsgIcon::None);
    QCOMPARE(shown.buttons, mdl_Variables_Functions::MsgButtons::OK);
    QCOMPARE(rowCount(table), 0);
    QVERIFY(form);
}

} // namespace kestrel::test
