#pragma once
// How the edit grid reads and writes field values as cell texts: "Unknow"
// for a NULL field, Kestrel's own formats otherwise; what a cell's text
// stands for when it is stored; and whether a stored value and a cell's text
// say the same thing.

#include "core/database/Odbc.h"

#include <QByteArrayView>
#include <QDate>
#include <optional>
#include <variant>

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

// What a column holds, from the server's description and Kestrel's own
// schema: the kind, the most characters of a text, and for numbers whether
// they are amounts of money (Price, PricewTax: two decimals, Money's range)
// or whole units (quantities), and whether they may be below zero.
struct FieldRule {
    FieldKind kind = FieldKind::Text;
    int sqlType = 0;
    int characters = 0; // Text: as the server counts them; 0: not known
    bool money = false;
    bool isUnsigned = false;
};
FieldRule fieldRule(const QString &field, const db::Column &column);

// The value a cell's text stores in its column: text as it is, numbers
// with a comma or a point, dates as the grid shows them or as statements
// carry them. Or, when the column cannot hold it exactly, what is wrong, to
// follow the quoted text in a message: "is longer than 3 characters", "has
// more than two decimals", "is not a whole number from 0 to ...".
std::variant<db::SqlValue, QString> storableValue(const FieldRule &rule, const QString &text);

// Whether a stored field holds what the cell's text says: texts exactly,
// numbers and dates by their exact value. NULL matches only "Unknow"; a
// text that cannot be read as the field's number or date matches nothing.
bool sameValue(const db::Value &stored, int sqlType, QAnyStringView text);

// A cell's text as a message quotes it: a long one cut short.
QString quoted(const QString &text);

} // namespace kestrel::edit
