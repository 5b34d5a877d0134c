#pragma once
// The fixed pick lists of Kestrel: countries and units of measure. Every item
// reads as a bullet, a blank and the name; the value stored is the item less
// those two characters. The city forms' country items keep a trailing blank
// after most names, and that blank is part of the value they store; the edit
// grid's country editor lists the bare names.

#include <QString>
#include <QStringList>

namespace kestrel::lists {

// The 243 country names in list order, without trailing blanks.
QStringList countryNames();
// The country items of the city forms: "• Chad ", "• Canada".
QStringList countryItems();
// The country items without any trailing blank: "• Chad", "• Canada".
QStringList plainCountryItems();

// The 18 unit names in list order.
QStringList unitNames();
// The unit items: "• Boxes".
QStringList unitItems();

// "• " + name.
QString itemFromName(const QString &name);
// The value an item stands for: its text less the bullet and the blank.
QString itemValue(const QString &item);

} // namespace kestrel::lists
