#pragma once
// The shape every add form shares: a read-only preview of the next ID, a save
// routine that checks its inputs in a fixed order and inserts one row, and
// four buttons. OK saves and closes, Add Next saves and clears for the next
// record, Reset clears, Cancel (and Esc) closes without saving. A database
// failure while saving closes the form; a value the server refuses leaves
// it open with its input, the value named.

#include "core/database/Statement.h"
#include "core/statements/Sale.h"
#include "widgets/KForm.h"

#include <QStringList>

class QLineEdit;
class QPushButton;

namespace kestrel::entry {

// True when a numeric box counts as empty: no text, or exactly "0".
bool isEmptyOrZero(const QString &text);

// The status bar's note after a save, with the ID the server gave the new
// row: the ID box showed only the next free one as Kestrel saw it, and on a
// cluster the servers hand out IDs of their own.
QString storedNote(const QString &table, qint64 id);
QString storedNote(const sql::SaleIds &ids);

class EntryForm : public KForm {
    Q_OBJECT
public:
    void cmd_OK_Click();
    void cmd_AddNext_Click();
    void cmd_Cancel_Click();
    virtual void cmd_Reset_Click() = 0;

protected:
    // Whether a failed Add Next says so once more after the save's own message.
    enum class AddNextFailure { Reported, Silent };

    EntryForm(const QString &table, AddNextFailure addNextFailure, QWidget *parent);

    // Connects the four buttons and lets Esc answer Cancel.
    void connectButtons(QPushButton *ok, QPushButton *addNext, QPushButton *reset,
                        QPushButton *cancel);
    // The form's own save routine: true when the row was stored.
    virtual bool saveRecord() = 0;

    void showNextID(QLineEdit *idBox) const;
    // Reports a failed check; returns false for the save routine to return.
    bool checkFailed(const QString &message) const;
    // Inserts the row in a connection cycle, each value bound as given, and
    // notes its ID in the status bar. A value the server refuses is named
    // and the form stays as it is; when other tills kept the table busy the
    // operator is told and the form stays too; on any other failure the
    // cycle has already reported it and the form closes. False but for a
    // stored row.
    bool insertRecord(const QStringList &columns, std::vector<db::SqlValue> values);
    // The failure path for a save that fails before it reaches the database.
    bool abandonSave();

private:
    QString m_table;
    AddNextFailure m_addNextFailure;
};

} // namespace kestrel::entry
