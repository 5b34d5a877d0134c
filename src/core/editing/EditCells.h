#pragma once
// How the edit grid reads and writes field values as cell texts: "Unknow"
// for a NULL field, Kestrel's own formats otherwise; what a cell's text
// stands for when it is stored; and whether a stored value and a cell's text
// say the same thing.

#include "core/database/Odbc.h"

#include <QByteArrayView>
#include <QDate>
#include <optional>

namespace kestrel::edit {

// What a NULL field reads as in the edit grid.
inline const QString UnknownText = QStringLiteral("Unknow");

enum class FieldKind { Text, Integer, Decimal, Date };

// The kind of a result column, from its SQL type.
FieldKind fieldKind(int sqlType);

// The cell text of a field: "Unknow" for NULL, decimals with a comma, dates
// as "yyyy. mm. dd.", anything else as the server sent it.
QString cellText(const db::Value &value, int sqlType);
// The same for a field as the server sent it (UTF-8), without making a
// string of it: a view of utf8, of scratch, or of "Unknow".
QByteArrayView cellText(QByteArrayView utf8, bool null, int sqlType, QByteArray &scratch);

// A date as the grid shows it ("2008. 03. 05.") or as statements carry it
// ("2008-03-05"); nullopt for any other text.
std::optional<QDate> cellDate(QStringView text);

// The value a cell's text stores in a field of this kind: text as it is,
// numbers with a comma or a point, dates in either form above. Nullopt when
// the text cannot be read as a number or a date.
std::optional<db::SqlValue> cellValue(FieldKind kind, const QString &text);

// Whether a stored field holds what the cell's text says: texts exactly,
// numbers and dates by their value. NULL matches only "Unknow"; a text that
// cannot be read as the field's number or date matches nothing.
bool sameValue(const db::Value &stored, int sqlType, QAnyStringView text);

} // namespace kestrel::edit
