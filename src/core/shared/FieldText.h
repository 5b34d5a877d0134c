#pragma once
// How a database value reads in a Kestrel grid: Kestrel's own convention for
// decimals and dates, whatever the server sent.

#include "core/database/Odbc.h"

namespace kestrel {

// NULL reads as an empty cell; decimals carry a comma, dates read
// "yyyy. mm. dd.", everything else is the server's text.
QString fieldText(const db::Value &value, int sqlType);

} // namespace kestrel
