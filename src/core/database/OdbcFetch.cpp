#include "core/database/OdbcDetail.h"

#include <algorithm>
#include <memory>

// Reading result rows: column descriptions, then the rows a block at a time
// through bound buffers, or field by field where a column is too wide to bind.

namespace kestrel::db::detail {

namespace {

QString stringAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field)
{
    SQLCHAR buffer[512] = {};
    SQLSMALLINT length = 0;
    check(SQLColAttribute(stmt, column, field, buffer, sizeof buffer, &length, nullptr),
          SQL_HANDLE_STMT, stmt, "SQLColAttribute");
    return QString::fromUtf8(reinterpret_cast<const char *>(buffer));
}

// Reads one field as UTF-8 text, in pieces when it is longer than the buffer.
Value readField(SQLHSTMT stmt, SQLUSMALLINT column, QByteArray &scratch)
{
    char buffer[256];
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(stmt, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
    check(rc, SQL_HANDLE_STMT, stmt, "SQLGetData");
    if (indicator == SQL_NULL_DATA)
        return std::nullopt;
    if (rc == SQL_SUCCESS)
        return QString::fromUtf8(buffer, qsizetype(indicator));
    // Truncated: gather the remaining pieces.
    scratch.clear();
    scratch.append(buffer, qsizetype(sizeof buffer - 1));
    while (rc == SQL_SUCCESS_WITH_INFO) {
        rc = SQLGetData(stmt, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
        check(rc, SQL_HANDLE_STMT, stmt, "SQLGetData");
        if (rc == SQL_NO_DATA)
            break;
        const qsizetype piece = (rc == SQL_SUCCESS_WITH_INFO || indicator == SQL_NO_TOTAL)
                                    ? qsizetype(sizeof buffer - 1)
                                    : qsizetype(indicator);
        scratch.append(buffer, piece);
    }
    return QString::fromUtf8(scratch);
}

// Widest field, in bytes, that a bound column takes; a result with a wider
// column is read field by field instead.
constexpr SQLLEN MaxBoundWidth = 16 * 1024;
// Room for any number the driver writes as text, whatever width it declares.
constexpr SQLLEN MinBoundWidth = 400;
// Buffer budget of one block of rows.
constexpr SQLLEN BlockBytes = 4 * 1024 * 1024;

// A numeric column attribute, or -1 when the driver cannot tell.
SQLLEN numericAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field)
{
    SQLLEN value = 0;
    if (!SQL_SUCCEEDED(SQLColAttribute(stmt, column, field, nullptr, 0, nullptr, &value)))
        return -1;
    return value;
}

// Bytes a column's text can take as UTF-8, terminator included, or 0 when it
// is unbounded, unknown or too wide to bind.
SQLLEN boundWidth(SQLHSTMT stmt, SQLUSMALLINT column)
{
    const SQLLEN characters = numericAttribute(stmt, column, SQL_DESC_DISPLAY_SIZE);
    const SQLLEN octets = numericAttribute(stmt, column, SQL_DESC_OCTET_LENGTH);
    if (characters <= 0 || characters > MaxBoundWidth || octets > MaxBoundWidth)
        return 0;
    const SQLLEN width = std::max({characters * 4, octets, MinBoundWidth}) + 1;
    return width > MaxBoundWidth ? 0 : width;
}

// Asks for blocks of rows; false, with single rows restored, when the driver
// will not deliver them.
bool requestBlocks(SQLHSTMT stmt, SQLULEN rows, SQLULEN *fetched, SQLUSMALLINT *status)
{
    const bool ok =
        SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE,
                                     reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0))
        && SQL_SUCCEEDED(
            SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0))
        && SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, fetched, 0))
        && SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, status, 0));
    if (!ok) {
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
        SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    }
    return ok;
}

// One result column bound to a buffer holding a whole block of rows.
struct BoundColumn {
    SQLLEN width = 0;
    std::vector<char> text;
    std::vector<SQLLEN> indicators;

    void bind(SQLHSTMT stmt, SQLUSMALLINT column, SQLULEN rows)
    {
        text.resize(size_t(width) * rows);
        indicators.resize(rows);
        check(SQLBindCol(stmt, column, SQL_C_CHAR, text.data(), width, indicators.data()),
              SQL_HANDLE_STMT, stmt, "SQLBindCol");
    }

    // The value of the block's row r.
    Value value(SQLULEN r) const
    {
        const SQLLEN length = indicators[r];
        if (length == SQL_NULL_DATA)
            return std::nullopt;
        if (length == SQL_NO_TOTAL || length >= width)
            throw OdbcError(QStringLiteral("01004"),
                            QStringLiteral("a field is wider than its column declares"));
        return QString::fromUtf8(text.data() + size_t(width) * r, qsizetype(length));
    }
};

// Reads the rows a block at a time through bound buffers: one driver call
// per block instead of one per field, which is what makes long lists quick.
// Returns false, having read nothing, when some column is too wide to bind
// or the driver reads no blocks.
bool fetchInBlocks(SQLHSTMT stmt, size_t columnCount, const std::function<void(const Row &)> &onRow)
{
    if (columnCount == 0)
        return false; // nothing to bind: the statement has no rows to read
    std::vector<BoundColumn> bound(columnCount);
    SQLLEN rowBytes = 0;
    for (size_t c = 0; c < columnCount; ++c) {
        bound[c].width = boundWidth(stmt, SQLUSMALLINT(c + 1));
        if (bound[c].width == 0)
            return false;
        rowBytes += bound[c].width;
    }
    SQLULEN blockRows =
        SQLULEN(std::clamp<SQLLEN>(BlockBytes / std::max<SQLLEN>(rowBytes, 1), 1, 1024));
    // A driver that holds the whole result knows its rows: a few records
    // re-read for a save need buffers for those few, not megabytes that
    // must be cleared first.
    SQLLEN resultRows = 0;
    if (SQL_SUCCEEDED(SQLRowCount(stmt, &resultRows)) && resultRows > 0)
        blockRows = std::min(blockRows, SQLULEN(resultRows));
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> status(blockRows);
    if (!requestBlocks(stmt, blockRows, &fetched, status.data()))
        return false;
    // The driver must not write into the buffers once they are gone.
    const auto unbind = std::unique_ptr<void, void (*)(void *)>(stmt, [](void *s) {
        SQLFreeStmt(s, SQL_UNBIND);
        SQLSetStmtAttr(s, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
        SQLSetStmtAttr(s, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    });
    for (size_t c = 0; c < columnCount; ++c)
        bound[c].bind(stmt, SQLUSMALLINT(c + 1), blockRows);
    Row row(columnCount);
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA)
            break;
        check(rc, SQL_HANDLE_STMT, stmt, "SQLFetch");
        for (SQLULEN r = 0; r < fetched; ++r) {
            if (status[r] == SQL_ROW_ERROR)
                throw OdbcError(QStringLiteral("HY000"), QStringLiteral("a row could not be read"));
            for (size_t c = 0; c < columnCount; ++c)
                row[c] = bound[c].value(r);
            if (onRow)
                onRow(row);
        }
    }
    return true;
}

void fetchFieldByField(SQLHSTMT stmt, size_t columnCount,
                       const std::function<void(const Row &)> &onRow)
{
    Row row(columnCount);
    QByteArray scratch;
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA)
            break;
        check(rc, SQL_HANDLE_STMT, stmt, "SQLFetch");
        for (size_t c = 0; c < columnCount; ++c)
            row[c] = readField(stmt, SQLUSMALLINT(c + 1), scratch);
        if (onRow)
            onRow(row);
    }
}

} // namespace

std::vector<Column> describeColumns(SQLHSTMT stmt)
{
    SQLSMALLINT count = 0;
    check(SQLNumResultCols(stmt, &count), SQL_HANDLE_STMT, stmt, "SQLNumResultCols");
    std::vector<Column> columns(size_t(std::max<SQLSMALLINT>(count, 0)));
    for (SQLSMALLINT i = 0; i < count; ++i) {
        Column &c = columns[size_t(i)];
        c.name = stringAttribute(stmt, SQLUSMALLINT(i + 1), SQL_DESC_LABEL);
        c.baseTable = stringAttribute(stmt, SQLUSMALLINT(i + 1), SQL_DESC_BASE_TABLE_NAME);
        SQLLEN type = 0;
        check(SQLColAttribute(stmt, SQLUSMALLINT(i + 1), SQL_DESC_CONCISE_TYPE, nullptr, 0, nullptr,
                              &type),
              SQL_HANDLE_STMT, stmt, "SQLColAttribute");
        c.sqlType = int(type);
        c.length =
            int(std::max<SQLLEN>(numericAttribute(stmt, SQLUSMALLINT(i + 1), SQL_DESC_LENGTH), 0));
        c.isUnsigned = numericAttribute(stmt, SQLUSMALLINT(i + 1), SQL_DESC_UNSIGNED) == SQL_TRUE;
    }
    return columns;
}

void fetchRows(SQLHSTMT stmt, size_t columnCount, const std::function<void(const Row &)> &onRow)
{
    if (!fetchInBlocks(stmt, columnCount, onRow))
        fetchFieldByField(stmt, columnCount, onRow);
}

} // namespace kestrel::db::detail
