#include "editing/FindForm.h"

#include "core/shared/mdl_Variables_Functions.h"
#include "editing/Frm_EditResults.h"
#include "widgets/FixedListBox.h"
#include "widgets/FormHost.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace M = mdl_Variables_Functions;

namespace kestrel {

namespace {

// A text box's text or a fixed list's value; empty for a calendar.
QString textOf(const QWidget *input)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(input))
        return line->text();
    if (const auto *lines = qobject_cast<const QPlainTextEdit *>(input))
        return lines->toPlainText();
    if (const auto *list = qobject_cast<const QComboBox *>(input))
        return lists::selectedValue(list);
    return {};
}

QDate dateOf(const QWidget *input)
{
    const auto *calendar = qobject_cast<const QCalendarWidget *>(input);
    return calendar ? calendar->selectedDate() : QDate();
}

void empty(QWidget *input)
{
    if (auto *line = qobject_cast<QLineEdit *>(input))
        line->clear();
    else if (auto *lines = qobject_cast<QPlainTextEdit *>(input))
        lines->clear();
    else if (auto *list = qobject_cast<QComboBox *>(input))
        list->setCurrentIndex(-1);
    else if (auto *calendar = qobject_cast<QCalendarWidget *>(input)) {
        calendar->setSelectedDate(QDate::currentDate());
        calendar->showSelectedDate();
    }
}

} // namespace

FindForm::FindForm(sql::FindTable table, QWidget *parent) : KForm(parent), m_table(table) {}

void FindForm::setUp(std::vector<Criterion> criteria, QPushButton *find, QPushButton *showAll,
                     QPushButton *cancel, QPushButton *reset)
{
    m_criteria = std::move(criteria);
    connect(find, &QPushButton::clicked, this, &FindForm::cmd_Find_Click);
    connect(showAll, &QPushButton::clicked, this, &FindForm::cmd_ShowAll_Click);
    connect(cancel, &QPushButton::clicked, this, &FindForm::cmd_Cancel_Click);
    if (reset)
        connect(reset, &QPushButton::clicked, this, &FindForm::clearForm);
    answerEscapeWith(cancel);
    // Enter on a criterion finds, rather than a walk of Tabs to the button.
    QList<QWidget *> inputs;
    for (const Criterion &c : m_criteria)
        inputs << c.tick << c.input;
    answerEnterWith(find, inputs);
}

void FindForm::Form_Load()
{
    clearForm();
}

void FindForm::clearForm()
{
    clearCriteria();
}

void FindForm::clearCriteria()
{
    for (const Criterion &c : m_criteria) {
        c.tick->setChecked(false);
        empty(c.input);
    }
    closeEditGrid();
}

bool FindForm::closeEditGrid()
{
    FormHost *host = FormHost::instance();
    if (!host)
        return true;
    host->closeForm<Frm_EditResults>();
    return !host->findForm<Frm_EditResults>();
}

std::vector<sql::FindEntry> FindForm::tickedEntries() const
{
    std::vector<sql::FindEntry> ticked;
    for (const Criterion &c : m_criteria) {
        if (!c.tick->isChecked())
            continue;
        sql::FindEntry entry{c.tick->objectName().mid(4), textOf(c.input), dateOf(c.input)};
        if (c.picked && c.picked->id && entry.text == c.picked->text)
            entry.pickedId = c.picked->id;
        ticked.push_back(std::move(entry));
    }
    return ticked;
}

void FindForm::cmd_Find_Click()
{
    const sql::FindResult found = sql::find(m_table, tickedEntries());
    if (!found.request) {
        M::MsgBox(found.message);
        return;
    }
    openGrid(*found.request);
}

void FindForm::cmd_ShowAll_Click()
{
    openGrid(sql::showAll(m_table));
}

void FindForm::cmd_Cancel_Click()
{
    Unload();
}

void FindForm::openGrid(const EditRequest &request)
{
    // The operator kept the open grid, changes unsaved: this search waits.
    if (!closeEditGrid())
        return;
    Frm_EditResults::Open(request);
    Unload();
}

} // namespace kestrel
