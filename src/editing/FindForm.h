#pragma once
// The shape every find form shares: criteria, each a check box beside its
// input, that the operator ticks and fills in. Find hands the ticked ones to
// the statements module, which reports the first one left empty or gives
// the edit grid's request; the grid opens on it and the form closes. Enter
// on a criterion finds too. Show All opens the grid on the whole table;
// Cancel (and Esc) closes the form.
// Loading the form clears it and closes an edit grid that is open, so one
// search is one grid.

#include "core/statements/Find.h"
#include "widgets/KForm.h"

#include <optional>
#include <vector>

class QCheckBox;
class QPushButton;

namespace kestrel {

// A record picked from a list into a criterion's text box: while the box
// still shows the picked text, the search is for that record.
struct PickedRecord {
    std::optional<qint64> id;
    QString text;
};

class FindForm : public KForm {
    Q_OBJECT
public:
    void Form_Load() override;

    void cmd_Find_Click();
    void cmd_ShowAll_Click();
    void cmd_Cancel_Click();

protected:
    // One criterion. Its check box is named "chk_" and the criterion's
    // name (chk_Country for Country); its input is a text box of one line or
    // several, a fixed list or a calendar. A check box never locks its input.
    struct Criterion {
        QCheckBox *tick;
        QWidget *input;
        const PickedRecord *picked = nullptr;
    };

    FindForm(sql::FindTable table, QWidget *parent);

    // The form's criteria, and its buttons connected; Esc answers Cancel.
    // A form with a Reset button passes it too.
    void setUp(std::vector<Criterion> criteria, QPushButton *find, QPushButton *showAll,
               QPushButton *cancel, QPushButton *reset = nullptr);

    // The form's clearing routine: runs as it loads, and on Reset.
    virtual void clearForm();
    // Unticks every criterion and empties its input (a calendar goes to
    // today and a list to no selection); closes an open edit grid.
    void clearCriteria();
    // Closes an open edit grid; false when the operator kept it open (its
    // changes are not saved).
    static bool closeEditGrid();

private:
    std::vector<sql::FindEntry> tickedEntries() const;
    void openGrid(const EditRequest &request);

    sql::FindTable m_table;
    std::vector<Criterion> m_criteria;
};

} // namespace kestrel
