#pragma once
// A statement as Kestrel sends it: SQL text with a "?" for every value that
// came from the operator or from a picked row, plus those values. The ODBC
// layer binds the values as parameters, so no value is ever read as SQL,
// whatever the server's mode.

#include <QDate>
#include <QString>
#include <vector>

namespace kestrel::db {

// One bound value.
class SqlValue {
public:
    enum class Kind { Null, Text, Integer, Decimal, Date };

    static SqlValue null();
    static SqlValue text(const QString &text);
    static SqlValue integer(qint64 value);
    // An exact decimal written with a point and digits only ("12.50", "-3").
    // Returns a null value when the text is no such number.
    static SqlValue decimal(const QString &pointText);
    static SqlValue date(const QDate &date);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    // Text and Decimal: the text; Integer: its digits; Date: "yyyy-mm-dd".
    const QString &string() const { return m_text; }
    qint64 integerValue() const { return m_integer; }
    const QDate &dateValue() const { return m_date; }

    // The value as a SQL literal, for reading a statement in tests and
    // diagnostics only; statements are never sent this way.
    QString literal() const;

    friend bool operator==(const SqlValue &, const SqlValue &) = default;

private:
    Kind m_kind = Kind::Null;
    QString m_text;
    qint64 m_integer = 0;
    QDate m_date;
};

struct Statement {
    Statement() = default;
    // Fixed text without values; only the statements module builds these.
    explicit Statement(QString sqlText, std::vector<SqlValue> values = {})
        : sql(std::move(sqlText)), params(std::move(values))
    {
    }

    QString sql;
    std::vector<SqlValue> params;

    bool isEmpty() const { return sql.isEmpty(); }
    // The text with every "?" outside quotes replaced by its value's literal:
    // how the statement reads, for tests and diagnostics.
    QString rendered() const;

    friend bool operator==(const Statement &, const Statement &) = default;
};

} // namespace kestrel::db
