#pragma once
// The shape the report forms share: they gather the operator's choices, hand
// the request they make to a fresh result window and close. The forms whose
// options form a group start with the first option chosen, so a group is
// never empty.

#include "widgets/KForm.h"

#include <initializer_list>

class QCalendarWidget;
class QRadioButton;

namespace kestrel {
struct ResultRequest;
}

namespace kestrel::reports {

class ReportForm : public KForm {
    Q_OBJECT
protected:
    using KForm::KForm;

    // Closes this form and the open result window, and opens a fresh one
    // on request.
    void showReport(const ResultRequest &request);

    // Chooses the first option of a group and gives it the focus, as the
    // form opens.
    void startWith(QRadioButton *firstOption);
    // The position of the chosen option among options; 0 when none is.
    static int chosenOption(std::initializer_list<const QRadioButton *> options);

    static void showToday(std::initializer_list<QCalendarWidget *> calendars);
};

} // namespace kestrel::reports
