#pragma once
// The edit grid's in-cell editors. The grid itself cannot be typed into: a
// double click, Enter, Space, F2 or a typed key lays one of five editors
// exactly over the current cell, chosen by the column's editor kind (free
// text, locked text, the unit or country list, a date picker, or a "Pick
// from DB" button that opens a customer or product chooser). Leaving the
// editor writes its value into the cell as text; nothing reaches the
// database before a save.

#include <QDate>
#include <QObject>
#include <QPointer>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QKeyEvent;

namespace kestrel {
namespace edit {
enum class ColumnRole;
}
using edit::ColumnRole;

class EditGridRows;
class FlexGrid;
class NumericKeyFilter;

// The key codes the editors answer.
constexpr int KeyCodeEnter = 13;
constexpr int KeyCodeEsc = 27;
constexpr int KeyCodeSpace = 32;
constexpr int KeyCodeUp = 38;
constexpr int KeyCodeDown = 40;

class CellEditors : public QObject {
    Q_OBJECT
public:
    struct Controls {
        FlexGrid *grid = nullptr;
        QLineEdit *txt = nullptr;
        QComboBox *cmb_UM = nullptr;
        QComboBox *cmb_Country = nullptr;
        QDateEdit *dtp = nullptr;
        QPushButton *cmd = nullptr;
    };
    CellEditors(const Controls &controls, EditGridRows &rows, QObject *parent = nullptr);

    // Opens the editor of the grid's current cell. A printable keyCode typed
    // on the grid starts a new text with that character; 32 and below
    // (double click, Space, Enter, F2) edits the cell's own text.
    void StartEdit(int keyCode);
    // Writes the open editor's value into its cell and hides it.
    void EndEdit();
    // Esc, Enter, Up and Down pressed in an open editor.
    void EditorKey(int keyCode);
    // Hides the open editor without writing its value.
    void discard();
    // Lays the open editor over its cell again, after the columns moved.
    void follow();

    QWidget *ActiveEditor() const { return m_active; }
    bool isEditing() const;
    int EditRow() const { return m_row; }
    int EditCol() const { return m_col; }
    // "Numbers", "Numbers," or empty: what the text editor lets through.
    QString KeyFilter() const { return m_keyFilter; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *openText(const QString &field, int keyCode, const QString &cellText);
    QWidget *openLockedText(const QString &cellText);
    QWidget *openList(const QString &field, const QString &cellText);
    QWidget *openDate(const QString &cellText);
    void applyFieldRules(const QString &field);
    // Lays the active editor over its cell; false, with the editor hidden,
    // when the cell is out of sight.
    bool place();
    void write(const QString &text);
    bool gridKey(const QKeyEvent *key);
    bool editorKey(QObject *editor, const QKeyEvent *key);
    void chosen();
    void cmd_Click();
    void takePick(int row, ColumnRole role, const QStringList &cells);

    Controls m_c;
    EditGridRows &m_rows;
    NumericKeyFilter *m_txtFilter;
    QWidget *m_active;
    int m_row = 0;
    int m_col = 0;
    QString m_keyFilter;
    int m_limit = 32767; // characters the text editor takes; fields without a rule keep the last
    // What a list or the date picker showed when it opened: leaving it
    // unchanged leaves the cell as it was.
    int m_openedIndex = -1;
    QDate m_openedDate;
    bool m_chosen = false;
};

} // namespace kestrel
