#pragma once
// How a database value reads in a Kestrel grid: Kestrel's own convention for
// decimals and dates, whatever the server sent.

#include "core/database/Odbc.h"

#include <QByteArrayView>

namespace kestrel {

// Columns of numbers with decimals (exact or not), and of dates.
bool isDecimal(int sqlType);
bool isDate(int sqlType);

// NULL reads as an empty cell; decimals carry a comma, dates read
// "yyyy. mm. dd.", everything else is the server's text.
QString fieldText(const db::Value &value, int sqlType);

// The same for a field as the server sent it, in UTF-8, without making a
// string of it: a view of utf8 itself, or of scratch when the text changes.
QByteArrayView fieldText(QByteArrayView utf8, bool null, int sqlType, QByteArray &scratch);

} // namespace kestrel
