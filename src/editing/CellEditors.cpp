#include "editing/CellEditors.h"

#include "core/editing/EditCells.h"
#include "core/shared/EditRequest.h"
#include "core/shared/FixedLists.h"
#include "core/shared/Formats.h"
#include "core/shared/TextLimits.h"
#include "core/shared/mdl_Variables_Functions.h"
#include "core/statements/Lists.h"
#include "editing/EditGridRows.h"
#include "reports/Frm_QueryResults.h"
#include "widgets/FixedListBox.h"
#include "widgets/FlexGrid.h"
#include "widgets/FlexGridModel.h"
#include "widgets/NumericKeyFilter.h"
#include "widgets/TextLengthLimit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace M = mdl_Variables_Functions;

namespace kestrel {

namespace {

struct FieldRule {
    const char *fields[8];
    int maxLength;
    const char *keyFilter;
};

// Length limit and key filter of the text editor by the field it edits;
// other fields keep the limit of the previous edit and take any key.
constexpr FieldRule FieldRules[] = {
    {{"ID", "FullName", "FirstName", "SurName", "Address", "Email", "ShippingAddress",
      "Description"},
     255,
     ""},
    {{"Acronym", "CountryCode", "City"}, 3, ""},
    {{"PostalCode"}, 9, "Numbers"},
    {{"Telephone", "PersonalIDNo", "Quantity"}, 16, "Numbers"},
    {{"BarCode"}, 10, "Numbers"},
    {{"Price"}, 16, "Numbers,"},
    {{"PricewTax"}, 255, "Numbers,"},
};

const FieldRule *ruleFor(const QString &field)
{
    for (const FieldRule &rule : FieldRules) {
        for (const char *name : rule.fields) {
            if (name && field == QLatin1String(name))
                return &rule;
        }
    }
    return nullptr;
}

// The editor key code of a key press, or 0 for keys the editors leave alone.
int editorKeyCode(const QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Escape:
        return KeyCodeEsc;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyCodeEnter;
    case Qt::Key_Up:
        return KeyCodeUp;
    case Qt::Key_Down:
        return KeyCodeDown;
    default:
        return 0;
    }
}

void paintBackground(QWidget *editor, const QColor &color)
{
    QPalette palette = QApplication::palette(editor);
    if (color.isValid()) {
        palette.setColor(QPalette::Base, color);
        palette.setColor(QPalette::Button, color);
        palette.setColor(QPalette::Text, textColorOn(color));
        palette.setColor(QPalette::ButtonText, textColorOn(color));
    }
    editor->setPalette(palette);
}

} // namespace

CellEditors::CellEditors(const Controls &controls, EditGridRows &rows, QObject *parent)
    : QObject(parent), m_c(controls), m_rows(rows),
      m_txtFilter(NumericKeyFilter::install(controls.txt, false)), m_active(controls.txt)
{
    m_txtFilter->setActive(false);
    lists::setUpFixedList(m_c.cmb_UM, lists::unitItems());
    lists::setUpFixedList(m_c.cmb_Country, lists::plainCountryItems());
    for (QWidget *editor : {static_cast<QWidget *>(m_c.txt), static_cast<QWidget *>(m_c.cmb_UM),
                            static_cast<QWidget *>(m_c.cmb_Country),
                            static_cast<QWidget *>(m_c.dtp), static_cast<QWidget *>(m_c.cmd)}) {
        editor->hide();
        editor->installEventFilter(this);
    }
    m_c.grid->installEventFilter(this);

    connect(m_c.grid, &FlexGrid::DblClick, this, [this] { StartEdit(KeyCodeSpace); });
    connect(m_c.grid, &FlexGrid::GotFocus, this, &CellEditors::EndEdit);
    connect(m_c.grid, &FlexGrid::Scroll, this, [this] {
        const bool hadFocus = isEditing() && m_active->hasFocus();
        discard();
        if (hadFocus)
            m_c.grid->setFocus();
    });
    connect(m_c.grid->horizontalHeader(), &QHeaderView::sectionResized, this, &CellEditors::follow);
    // Choosing from a list or from the calendar ends the edit at once.
    for (QComboBox *list : {m_c.cmb_UM, m_c.cmb_Country})
        connect(list, &QComboBox::activated, this, &CellEditors::chosen);
    // Queued: the picker takes the chosen date first.
    connect(m_c.dtp->calendarWidget(), &QCalendarWidget::clicked, this, &CellEditors::chosen,
            Qt::QueuedConnection);
    connect(m_c.dtp->calendarWidget(), &QCalendarWidget::activated, this, &CellEditors::chosen,
            Qt::QueuedConnection);
    connect(m_c.cmd, &QPushButton::clicked, this, &CellEditors::cmd_Click);
}

bool CellEditors::isEditing() const
{
    return m_active->isVisible();
}

void CellEditors::StartEdit(int keyCode)
{
    FlexGrid &grid = *m_c.grid;
    if (m_rows.noRows() || grid.Row() < 1 || grid.Row() > m_rows.rowCount() || grid.Col() < 1
        || grid.Col() > m_rows.dataColumns())
        return;
    EndEdit();
    m_row = grid.Row();
    m_col = grid.Col();
    // An editor laid over a cell half out of sight would be cut off.
    grid.scrollTo(grid.gridModel()->indexOf(m_row, m_col));

    const EditGridColumn &column = m_rows.column(m_col);
    const QString cellText = m_rows.records().text(m_row, m_col);
    QWidget *editor = nullptr;
    if (column.editor == editor::LockedText)
        editor = openLockedText(cellText);
    else if (column.editor == editor::Text)
        editor = openText(column.field, keyCode, cellText);
    else if (column.editor == editor::List)
        editor = openList(column.field, cellText);
    else if (column.editor == editor::Date)
        editor = openDate(cellText);
    else if (column.editor == editor::Pick)
        editor = m_c.cmd;
    if (!editor)
        return;
    m_active = editor;
    if (!place())
        return;
    editor->show();
    editor->raise();
    editor->setFocus();
    // The editor keeps the colour the cell had; the mark shows once it goes.
    m_rows.mark(m_row, m_col, CalledColor);
}

QWidget *CellEditors::openText(const QString &field, int keyCode, const QString &cellText)
{
    applyFieldRules(field);
    QString text = cellText;
    if (keyCode > KeyCodeSpace) {
        // A typed key starts a new text, as in a spreadsheet, if the field
        // takes that key at all.
        int key = keyCode;
        if (!m_keyFilter.isEmpty()
            && M::FilterNumericKey(m_keyFilter == QLatin1String("Numbers,"), key) == 0)
            return nullptr;
        text = QString(QChar(keyCode));
    }
    // The limit holds what is typed, in characters as the server counts
    // them; a longer text from the database must not be cut short by merely
    // opening it.
    m_txtFilter->setActive(false);
    setTextLimit(m_c.txt, std::max(m_limit, int(characterCount(text))));
    m_c.txt->setReadOnly(false);
    m_c.txt->setText(text);
    m_c.txt->end(false);
    m_txtFilter->setActive(!m_keyFilter.isEmpty());
    m_txtFilter->setAllowComma(m_keyFilter == QLatin1String("Numbers,"));
    return m_c.txt;
}

void CellEditors::applyFieldRules(const QString &field)
{
    const FieldRule *rule = ruleFor(field);
    m_keyFilter = rule ? QString::fromLatin1(rule->keyFilter) : QString();
    if (rule)
        m_limit = rule->maxLength;
}

QWidget *CellEditors::openLockedText(const QString &cellText)
{
    m_keyFilter.clear();
    m_txtFilter->setActive(false);
    m_c.txt->setReadOnly(true);
    m_c.txt->setText(cellText);
    m_c.txt->end(false);
    return m_c.txt;
}

QWidget *CellEditors::openList(const QString &field, const QString &cellText)
{
    QComboBox *list = field == QLatin1String("Country") ? m_c.cmb_Country
                      : field == QLatin1String("UM")    ? m_c.cmb_UM
                                                        : nullptr;
    if (!list)
        return nullptr;
    const auto find = [list](const QString &name) {
        return name.isEmpty() ? -1
                              : list->findText(lists::itemFromName(name),
                                               Qt::MatchExactly | Qt::MatchCaseSensitive);
    };
    // Countries the city forms stored carry a blank after the name.
    int index = find(cellText);
    if (index < 0)
        index = find(cellText.trimmed());
    list->setCurrentIndex(index);
    m_openedIndex = index;
    m_chosen = false;
    return list;
}

QWidget *CellEditors::openDate(const QString &cellText)
{
    QDate date = QDate::currentDate();
    if (cellText == edit::UnknownText)
        M::MsgBox(QStringLiteral("Unknow DATE!"));
    else if (const std::optional<QDate> shown = edit::cellDate(cellText))
        date = *shown;
    m_c.dtp->setDate(date);
    m_openedDate = date;
    m_chosen = false;
    return m_c.dtp;
}

bool CellEditors::place()
{
    const QRect cell = m_c.grid->cellRect(m_row, m_col);
    if (cell.isEmpty()) {
        discard(); // the cell is out of sight
        return false;
    }
    const bool list = m_active == m_c.cmb_UM || m_active == m_c.cmb_Country;
    const QPoint at = m_c.grid->mapTo(m_active->parentWidget(), cell.topLeft());
    m_active->setGeometry(at.x(), at.y(), cell.width(),
                          list ? m_active->sizeHint().height() : cell.height());
    if (m_active != m_c.dtp)
        paintBackground(m_active, m_c.grid->CellBackColor(m_row, m_col));
    return true;
}

void CellEditors::follow()
{
    if (isEditing())
        place();
}

void CellEditors::write(const QString &text)
{
    if (text != m_rows.records().text(m_row, m_col))
        m_rows.writeCell(m_row, m_col, text);
}

void CellEditors::EndEdit()
{
    if (!isEditing())
        return;
    QWidget *editor = m_active;
    if (editor == m_c.txt) {
        if (!m_c.txt->isReadOnly())
            write(m_c.txt->text());
    } else if (auto *list = qobject_cast<QComboBox *>(editor)) {
        // A list left as it opened leaves the cell as it was, even when
        // its text is no name of the list.
        if (m_chosen || list->currentIndex() != m_openedIndex) {
            const QString item = list->currentText();
            write(item.size() < 3 ? QString() : lists::itemValue(item));
        }
    } else if (editor == m_c.dtp) {
        if (m_chosen || m_c.dtp->date() != m_openedDate)
            write(fmt::gridDate(m_c.dtp->date()));
    }
    editor->hide();
}

void CellEditors::discard()
{
    m_active->hide();
}

void CellEditors::chosen()
{
    const bool fromActive =
        sender() == m_active || (m_active == m_c.dtp && sender() == m_c.dtp->calendarWidget());
    if (!isEditing() || !fromActive)
        return;
    m_chosen = true;
    EndEdit();
    m_c.grid->setFocus();
}

void CellEditors::EditorKey(int keyCode)
{
    FlexGrid &grid = *m_c.grid;
    switch (keyCode) {
    case KeyCodeEsc:
        discard();
        grid.setFocus();
        return;
    case KeyCodeEnter:
        EndEdit();
        grid.setFocus();
        break;
    case KeyCodeDown:
    case KeyCodeUp:
        break;
    default:
        return;
    }
    // The key has left events behind (the grid taking the focus back, which
    // ends the edit, the editor hiding, the repaint of its cell): they run
    // before the current row moves, so the row moves on the grid as the
    // operator now sees it and a key held down never outruns the repaints.
    QCoreApplication::processEvents();
    const int row = grid.Row() + (keyCode == KeyCodeUp ? -1 : 1);
    if (row >= 1 && row < grid.Rows())
        grid.setRow(row);
}

bool CellEditors::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_c.grid && event->type() == QEvent::ShortcutOverride) {
        // F2 edits the cell here rather than adding a product.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier)
            event->accept();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (watched == m_c.grid)
        return gridKey(key);
    if (watched == m_active && isEditing())
        return editorKey(watched, key);
    return QObject::eventFilter(watched, event);
}

bool CellEditors::gridKey(const QKeyEvent *key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_F2:
    case Qt::Key_Space:
        StartEdit(KeyCodeSpace);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        StartEdit(KeyCodeEnter);
        return true;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint() || text.at(0).unicode() <= KeyCodeSpace)
        return false;
    StartEdit(text.at(0).unicode());
    return true;
}

bool CellEditors::editorKey(QObject *editor, const QKeyEvent *key)
{
    const int code = editorKeyCode(key);
    if (code == 0)
        return false;
    if (editor == m_c.cmd && code == KeyCodeEnter) {
        m_c.cmd->click();
        return true;
    }
    // Up and Down choose in a list and step a date.
    const bool stepsItself = editor == m_c.cmb_UM || editor == m_c.cmb_Country || editor == m_c.dtp;
    if (stepsItself && (code == KeyCodeUp || code == KeyCodeDown))
        return false;
    EditorKey(code);
    return true;
}

void CellEditors::cmd_Click()
{
    const ColumnRole role = m_rows.column(m_col).role;
    if (role != ColumnRole::PickCustomer && role != ColumnRole::PickProduct)
        return;
    ResultRequest request =
        role == ColumnRole::PickCustomer ? sql::pickCustomer() : sql::pickProduct();
    // The pick belongs to the row the button was opened on, whatever the
    // operator does in the grid while the chooser waits.
    const int row = m_row;
    Frm_QueryResults::OpenChooser(
        std::move(request), &M::EditGridPick, this,
        [this, row, role](const QStringList &cells) { takePick(row, role, cells); });
}

void CellEditors::takePick(int row, ColumnRole role, const QStringList &cells)
{
    bool ok = false;
    const qint64 id = cells.value(1).toLongLong(&ok);
    if (!ok)
        return;
    m_rows.pick(row, role, id, cells.value(2), cells.value(3));
    if (m_active == m_c.cmd && m_row == row)
        discard();
}

} // namespace kestrel
