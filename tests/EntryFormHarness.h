#pragma once
// What the entry form tests share: a main window on the test database, the
// three add forms described alike, and filling them in as the operator would.

#include "MDIfrm_main.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <memory>

namespace kestrel::test {

namespace M = mdl_Variables_Functions;

// Lets closed forms go.
inline void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct EntryHarness {
    std::unique_ptr<ScratchDir> scratch; // the parameter file goes here, not into the tree
    std::unique_ptr<MDIfrm_main> main;
    std::unique_ptr<MessageRecorder> recorder;

    void start()
    {
        scratch = std::make_unique<ScratchDir>();
        main = std::make_unique<MDIfrm_main>();
        useTestDatabase();
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
    }
    void reset()
    {
        main->mdiArea()->closeAllSubWindows();
        settle();
        resetTables();
        recorder.reset(); // its handlers must go before the new ones come
        recorder = std::make_unique<MessageRecorder>();
        M::SetConnStat(M::StatIdle);
    }
};

template <class Widget = QWidget> Widget *control(QWidget *form, const QString &name)
{
    auto *widget = form->findChild<Widget *>(name);
    if (!widget)
        qFatal("control %s not found", qPrintable(name));
    return widget;
}

inline void click(QWidget *form, const QString &button)
{
    QTest::mouseClick(control<QAbstractButton>(form, button), Qt::LeftButton);
    settle();
}

// Key by key, press and release, so the key filters and the key-release
// handlers see what they would see; characters beyond ASCII included.
inline void type(QWidget *box, const QString &text)
{
    box->setFocus();
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(box, Qt::Key_Return);
        else if (c.unicode() < 128)
            QTest::keyClick(box, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

// One add form: its window, the command opening it, its table, the controls
// fill() sets (the field "click" names a button to click), values passing
// every check, and the columns its stored row is read back by.
struct FormKind {
    QString form, command, table;
    QStringList fields, valid;
    QString stored;
    QString defaultButton = {}; // checked on a fresh form
};

inline FormKind formKind(const QString &name)
{
    if (name == QLatin1String("city"))
        return {"Frm_AddCity", "mnu_AddCity", "cities",
                {"txt_Acronym", "txt_FullName", "txt_PostalCode", "txt_CountryCode", "cmb_Country"},
                {"BUD", "Budapest", "1011", "HUN", "\u2022 Hungary "},
                "Acronym,FullName,PostalCode,Country,CountryCode"};
    if (name == QLatin1String("customer"))
        return {"Frm_AddCustomer", "mnu_AddCustomer", "customers",
                {"click", "txt_City", "txt_FirstName", "txt_SurName", "txt_Address",
                 "txt_Telephone", "txt_Email", "txt_PersonalIDNo", "txt_ShippingAddress",
                 "mntvw_Joined"},
                {"", "BUD", "Anna", "Kov\u00e1cs", "F\u0151 utca 1", "3611234567",
                 "anna@example.com", "12345678"},
                "FirstName,SurName,Address,City,Telephone,Email,PersonalIDNo,Joined,"
                "ShippingAddress",
                "chk_SameAddress"};
    return {"Frm_AddProduct", "mnu_AddProduct", "products",
            {"txt_Description", "txt_Price", "txt_BarCode", "cmb_UM", "txt_CustomQuantity", "click",
             "mntvw_LastDelivery"},
            {"Milk", "1,20", "777", "\u2022 Pcs", "", "opt_50xQuantity"},
            "Description,UM,Quantity,FORMAT(Price,2,'en_US'),BarCode,LastDelivery",
            "opt_CustomQuantity"};
}

// The open form of this kind, or null; one closing is gone after settle().
inline QWidget *findForm(MDIfrm_main *main, const QString &kind)
{
    return main->mdiArea()->findChild<QWidget *>(formKind(kind).form);
}

// Opens the form as the operator would, through its Add Record command.
inline QWidget *openForm(MDIfrm_main *main, const QString &kind)
{
    control<QAction>(main, formKind(kind).command)->trigger();
    QApplication::processEvents();
    return findForm(main, kind);
}

// The form's valid values with some fields changed.
inline QStringList with(const FormKind &kind,
                        std::initializer_list<std::pair<QString, QString>> changes)
{
    QStringList values = kind.valid;
    for (const auto &[field, value] : changes) {
        const qsizetype at = kind.fields.indexOf(field);
        if (at < 0)
            qFatal("no field %s", qPrintable(field));
        values.resize(std::max(values.size(), at + 1));
        values[at] = value;
    }
    return values;
}

// Types into text boxes, picks list items by their exact text, selects
// calendar dates; an empty value leaves the control as it is.
inline void fill(QWidget *form, const FormKind &kind, const QStringList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString &value = values.at(i), &field = kind.fields.at(i);
        QWidget *widget =
            value.isEmpty() ? nullptr : control(form, field == "click" ? value : field);
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->click();
        else if (auto *box = qobject_cast<QComboBox *>(widget))
            box->setCurrentIndex(box->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive));
        else if (auto *calendar = qobject_cast<QCalendarWidget *>(widget))
            calendar->setSelectedDate(QDate::fromString(value, Qt::ISODate));
        else if (widget)
            type(widget, value);
    }
}

// The table's only row, its fields joined by "|".
inline QString storedRow(const FormKind &kind)
{
    const QString sql = "SELECT CONCAT_WS('|',ID," + kind.stored + ") FROM " + kind.table;
    return scalar(sql).value_or("none");
}

inline int rowCount(const QString &table)
{
    return scalar("SELECT COUNT(*) FROM " + table).value_or(QString()).toInt();
}

// As a fresh form shows itself: every input empty, no item picked, today on
// the calendars, the default option chosen, the given next ID.
inline void verifyFresh(QWidget *form, const FormKind &kind, const QString &nextId)
{
    QCOMPARE(control<QLineEdit>(form, "txt_ID")->text(), nextId);
    for (QWidget *box : form->findChildren<QWidget *>(QRegularExpression("^txt_(?!ID$)"))) {
        auto *line = qobject_cast<QLineEdit *>(box);
        const QString text =
            line ? line->text() : static_cast<QPlainTextEdit *>(box)->toPlainText();
        QVERIFY2(text.isEmpty(), qPrintable(box->objectName()));
    }
    for (QComboBox *box : form->findChildren<QComboBox *>())
        QCOMPARE(box->currentIndex(), -1);
    for (QCalendarWidget *calendar : form->findChildren<QCalendarWidget *>())
        QCOMPARE(calendar->selectedDate(), QDate::currentDate());
    if (!kind.defaultButton.isEmpty())
        QVERIFY(control<QAbstractButton>(form, kind.defaultButton)->isChecked());
    if (auto *shipping = form->findChild<QPlainTextEdit *>("txt_ShippingAddress"))
        QVERIFY(!shipping->isEnabled()); // ticked "same as address" again
}

} // namespace kestrel::test
