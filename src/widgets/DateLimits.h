#pragma once
// Calendars and date pickers offer only the days a DATE column holds
// (1000-01-01 to 9999-12-31): a year typed into a calendar's year editor can
// no longer take the date to one the server refuses.

class QWidget;

namespace kestrel {

// Limits every calendar and date picker of form.
void limitToStorableDates(QWidget *form);

} // namespace kestrel
