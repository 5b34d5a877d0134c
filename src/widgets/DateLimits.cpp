#include "widgets/DateLimits.h"

#include "core/shared/Formats.h"

#include <QCalendarWidget>
#include <QDateEdit>

namespace kestrel {

void limitToStorableDates(QWidget *form)
{
    for (QCalendarWidget *calendar : form->findChildren<QCalendarWidget *>())
        calendar->setDateRange(fmt::FirstStorableDate, fmt::LastStorableDate);
    for (QDateTimeEdit *picker : form->findChildren<QDateTimeEdit *>())
        picker->setDateRange(fmt::FirstStorableDate, fmt::LastStorableDate);
}

} // namespace kestrel
