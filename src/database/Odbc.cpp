#include "Odbc.h"

#include <sql.h>
#include <sqlext.h>

#include <QRegularExpression>
#include <algorithm>
#include <memory>

namespace kestrel::db {

OdbcError::OdbcError(const QString &sqlState, const QString &message)
    : std::runtime_error((sqlState + QStringLiteral(": ") + message).toStdString()),
      m_sqlState(sqlState), m_message(message)
{
}

int columnIndex(const std::vector<Column> &columns, const QString &name)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int ResultSet::indexOf(const QString &name) const
{
    return columnIndex(columns, name);
}

namespace {

QString diagnostics(SQLSMALLINT handleType, SQLHANDLE handle, QString *sqlState)
{
    QString text;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLCHAR message[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(handleType, handle, i, state, &native, message,
                                           sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        if (i == 1 && sqlState)
            *sqlState = QString::fromLatin1(reinterpret_cast<const char *>(state));
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromUtf8(reinterpret_cast<const char *>(message));
    }
    return text;
}

void check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char *what)
{
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
        return;
    QString state = QStringLiteral("HY000");
    QString text = handle ? diagnostics(handleType, handle, &state) : QString();
    if (text.isEmpty())
        text = QString::fromLatin1(what) + QStringLiteral(" failed");
    throw OdbcError(state, text);
}

// The process-wide ODBC environment, made on first use.
SQLHENV environment()
{
    static SQLHENV env = [] {
        SQLHENV handle = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
            throw OdbcError(QStringLiteral("HY001"), QStringLiteral("no ODBC environment"));
        SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return handle;
    }();
    return env;
}

struct StatementDeleter {
    void operator()(void *stmt) const
    {
        SQLFreeStmt(stmt, SQL_CLOSE);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    }
};
using Statement = std::unique_ptr<void, StatementDeleter>;

Statement runStatement(SQLHDBC dbc, const QString &sql)
{
    SQLHSTMT raw = SQL_NULL_HSTMT;
    check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &raw), SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
    Statement stmt(raw);
    QByteArray text = sql.toUtf8();
    check(SQLExecDirect(raw, reinterpret_cast<SQLCHAR *>(text.data()), SQLINTEGER(text.size())),
          SQL_HANDLE_STMT, raw, "SQLExecDirect");
    return stmt;
}

QString stringAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field)
{
    SQLCHAR buffer[512] = {};
    SQLSMALLINT length = 0;
    check(SQLColAttribute(stmt, column, field, buffer, sizeof buffer, &length, nullptr),
          SQL_HANDLE_STMT, stmt, "SQLColAttribute");
    return QString::fromUtf8(reinterpret_cast<const char *>(buffer));
}

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
        check(SQLColAttribute(stmt, SQLUSMALLINT(i + 1), SQL_DESC_CONCISE_TYPE, nullptr, 0,
                              nullptr, &type),
              SQL_HANDLE_STMT, stmt, "SQLColAttribute");
        c.sqlType = int(type);
    }
    return columns;
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
        && SQL_SUCCEEDED(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0))
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
    const SQLULEN blockRows = SQLULEN(std::clamp<SQLLEN>(BlockBytes / std::max<SQLLEN>(rowBytes, 1), 1, 1024));
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

} // namespace

SplitConnectionString splitStartupStatement(const QString &connectionString)
{
    // A STMT pair is either braced (STMT={...};) or runs to the next ';'.
    static const QRegularExpression pair(
        QStringLiteral("(^|;)\\s*STMT\\s*=\\s*(\\{((?:[^}]|\\}\\})*)\\}|([^;]*))(;|$)"),
        QRegularExpression::CaseInsensitiveOption);
    SplitConnectionString result;
    const QRegularExpressionMatch m = pair.match(connectionString);
    if (!m.hasMatch()) {
        result.driverString = connectionString;
        return result;
    }
    result.startupStatement = m.capturedStart(3) >= 0
                                  ? m.captured(3).replace(QStringLiteral("}}"), QStringLiteral("}"))
                                  : m.captured(4);
    result.driverString = connectionString.left(m.capturedStart(0)) + m.captured(1)
                          + connectionString.mid(m.capturedEnd(0));
    return result;
}

OdbcConnection::OdbcConnection(const QString &connectionString)
{
    SQLHENV env = environment();
    SQLHDBC dbc = SQL_NULL_HDBC;
    check(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_HANDLE_ENV, env, "SQLAllocHandle");
    m_dbc = dbc;
    const SplitConnectionString split = splitStartupStatement(connectionString);
    QByteArray text = split.driverString.toUtf8();
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR *>(text.data()),
                                          SQLSMALLINT(text.size()), nullptr, 0, &outLength,
                                          SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        QString state = QStringLiteral("08001");
        const QString message = diagnostics(SQL_HANDLE_DBC, dbc, &state);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        m_dbc = nullptr;
        throw OdbcError(state, message.isEmpty() ? QStringLiteral("cannot connect") : message);
    }
    if (!split.startupStatement.trimmed().isEmpty()) {
        try {
            execute(split.startupStatement);
        } catch (...) {
            close();
            throw;
        }
    }
}

OdbcConnection::~OdbcConnection()
{
    close();
}

void OdbcConnection::close()
{
    if (!m_dbc)
        return;
    SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    m_dbc = nullptr;
}

void OdbcConnection::execute(const QString &sql)
{
    if (!m_dbc)
        throw OdbcError(QStringLiteral("08003"), QStringLiteral("connection is closed"));
    Statement stmt = runStatement(m_dbc, sql);
    // Drain every result so that multi-result statements finish on the server.
    while (SQL_SUCCEEDED(SQLMoreResults(stmt.get()))) {
    }
}

ResultSet OdbcConnection::query(const QString &sql)
{
    ResultSet result;
    queryEach(
        sql, [&](const std::vector<Column> &columns) { result.columns = columns; },
        [&](const Row &row) { result.rows.push_back(row); });
    return result;
}

void OdbcConnection::queryEach(const QString &sql,
                               const std::function<void(const std::vector<Column> &)> &onColumns,
                               const std::function<void(const Row &)> &onRow)
{
    if (!m_dbc)
        throw OdbcError(QStringLiteral("08003"), QStringLiteral("connection is closed"));
    Statement stmt = runStatement(m_dbc, sql);
    SQLHSTMT raw = stmt.get();
    const std::vector<Column> columns = describeColumns(raw);
    if (onColumns)
        onColumns(columns);
    if (fetchInBlocks(raw, columns.size(), onRow))
        return;
    Row row(columns.size());
    QByteArray scratch;
    for (;;) {
        const SQLRETURN rc = SQLFetch(raw);
        if (rc == SQL_NO_DATA)
            break;
        check(rc, SQL_HANDLE_STMT, raw, "SQLFetch");
        for (size_t c = 0; c < columns.size(); ++c)
            row[c] = readField(raw, SQLUSMALLINT(c + 1), scratch);
        if (onRow)
            onRow(row);
    }
}

} // namespace kestrel::db
