#include "reports/ReportForm.h"

#include "reports/Frm_QueryResults.h"

#include <QCalendarWidget>
#include <QRadioButton>

namespace kestrel::reports {

void ReportForm::showReport(const ResultRequest &request)
{
    // The form goes first: the result window then opens straight into an
    // area that no longer has to move the activation through this form.
    Unload();
    Frm_QueryResults::Open(request);
}

void ReportForm::startWith(QRadioButton *firstOption)
{
    firstOption->setChecked(true);
    setFocusProxy(firstOption);
}

int ReportForm::chosenOption(std::initializer_list<const QRadioButton *> options)
{
    int position = 0;
    for (const QRadioButton *option : options) {
        if (option->isChecked())
            return position;
        ++position;
    }
    return 0;
}

void ReportForm::showToday(std::initializer_list<QCalendarWidget *> calendars)
{
    for (QCalendarWidget *calendar : calendars)
        calendar->setSelectedDate(QDate::currentDate());
}

} // namespace kestrel::reports
