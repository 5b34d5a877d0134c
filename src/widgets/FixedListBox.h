#pragma once
// A combo box holding one of Kestrel's fixed lists (countries, units).
// Typing a name into the box, closed or with its list open, finds the first
// item whose name starts with the letters typed so far: every item begins
// with the same bullet, so the combo box's own search, which compares from
// the first character, never finds anything.

#include <QStringList>

class QComboBox;

namespace kestrel::lists {

// Lets the operator type names into box; it lives as long as the box does.
void installNameSearch(QComboBox *box);

// Fills box with a fixed list's items, none selected, with the name search.
void setUpFixedList(QComboBox *box, const QStringList &items);

// The value of the box's selected item; empty when none is selected.
QString selectedValue(const QComboBox *box);

} // namespace kestrel::lists
