#include "core/database/RowStream.h"

#include "core/database/ConnectionString.h"
#include "core/database/ConnectionTarget.h"

#include <QFile>

#include <mysql.h>
#include <sql.h>
#include <sqlext.h>

#include <algorithm>

namespace kestrel::db {

namespace {

// How long the stream waits to send a statement; connecting and reading
// wait as long as every other connection does (connectionTimeouts()).
constexpr unsigned WriteSeconds = 60;

// A field narrower than this is read in one piece; wider ones (long texts)
// are read again at their full length when they do not fit.
constexpr unsigned long MaxBoundBytes = 16 * 1024;

// ---- where the connection goes, as the ODBC layer goes there ------------

struct ConnectionParams {
    QByteArray host;
    QByteArray user;
    QByteArray password;
    QByteArray database;
    QByteArray socket;
    unsigned port = 0;
    QString startupStatement;
};

// The driver the data source names: a registered driver's name or the
// path of its library.
bool dataSourceDriverLoads(const QString &dataSource)
{
    const QString driver = dataSourceEntry(dataSource, "Driver");
    return isRegisteredDriver(driver)
           || (driver.startsWith(QLatin1Char('/')) && QFile::exists(driver));
}

ConnectionParams connectionParams(const QString &connectionString)
{
    const ConnectionTarget target = connectionTarget(connectionString);
    // Where the driver manager would find no driver to load, this reader
    // refuses the connection too, with the state the manager gives.
    if (target.driverString.isEmpty())
        throw OdbcError(QStringLiteral("IM002"), QStringLiteral("Data source name not found"));
    if (!target.driver.isEmpty() && !isRegisteredDriver(target.driver))
        throw OdbcError(QStringLiteral("IM002"),
                        QStringLiteral("Driver not registered: ") + target.driver);
    if (!target.dataSource.isEmpty() && !dataSourceDriverLoads(target.dataSource))
        throw OdbcError(
            QStringLiteral("IM003"),
            QStringLiteral("The driver of data source %1 cannot be loaded").arg(target.dataSource));
    ConnectionParams params;
    params.host = target.host.toUtf8();
    params.user = target.user.toUtf8();
    params.password = target.password.toUtf8();
    params.database = target.database.toUtf8();
    params.socket = target.socket.toUtf8();
    params.port = target.port;
    params.startupStatement = target.startupStatement;
    return params;
}

const char *orNull(const QByteArray &text)
{
    return text.isEmpty() ? nullptr : text.constData();
}

// The ODBC type a column of this server type reads as, so that a streamed
// list formats its values exactly as one read through ODBC.
int odbcType(const MYSQL_FIELD &field)
{
    const bool binary = field.charsetnr == 63;
    switch (field.type) {
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return SQL_DECIMAL;
    case MYSQL_TYPE_FLOAT:
        return SQL_REAL;
    case MYSQL_TYPE_DOUBLE:
        return SQL_DOUBLE;
    case MYSQL_TYPE_TINY:
        return SQL_TINYINT;
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_YEAR:
        return SQL_SMALLINT;
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
        return SQL_INTEGER;
    case MYSQL_TYPE_LONGLONG:
        return SQL_BIGINT;
    case MYSQL_TYPE_BIT:
        return SQL_BIT;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return SQL_TYPE_DATE;
    case MYSQL_TYPE_TIME:
        return SQL_TYPE_TIME;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return SQL_TYPE_TIMESTAMP;
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
        return binary ? SQL_LONGVARBINARY : SQL_WLONGVARCHAR;
    default:
        return binary ? SQL_VARBINARY : SQL_WVARCHAR;
    }
}

// The buffers of a statement's bound values; they must stay where they are
// until the statement has run.
struct BoundParams {
    std::vector<MYSQL_BIND> binds;
    std::vector<QByteArray> texts;
    std::vector<long long> integers;
    std::vector<MYSQL_TIME> dates;
    std::vector<unsigned long> lengths;

    explicit BoundParams(const std::vector<SqlValue> &values) : binds(values.size())
    {
        // Reserved up front: binding hands out addresses into these.
        texts.reserve(values.size());
        integers.reserve(values.size());
        dates.reserve(values.size());
        lengths.reserve(values.size());
        for (size_t i = 0; i < values.size(); ++i)
            bind(binds[i], values[i]);
    }

    void bind(MYSQL_BIND &b, const SqlValue &value)
    {
        b = MYSQL_BIND{};
        switch (value.kind()) {
        case SqlValue::Kind::Null:
            b.buffer_type = MYSQL_TYPE_NULL;
            return;
        case SqlValue::Kind::Integer:
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.buffer = &integers.emplace_back(value.integerValue());
            return;
        case SqlValue::Kind::Date: {
            MYSQL_TIME &date = dates.emplace_back(MYSQL_TIME{});
            date.year = unsigned(value.dateValue().year());
            date.month = unsigned(value.dateValue().month());
            date.day = unsigned(value.dateValue().day());
            date.time_type = MYSQL_TIMESTAMP_DATE;
            b.buffer_type = MYSQL_TYPE_DATE;
            b.buffer = &date;
            return;
        }
        case SqlValue::Kind::Decimal:
        case SqlValue::Kind::Text: {
            QByteArray &text = texts.emplace_back(value.string().toUtf8());
            b.buffer_type =
                value.kind() == SqlValue::Kind::Decimal ? MYSQL_TYPE_NEWDECIMAL : MYSQL_TYPE_STRING;
            b.buffer = text.data();
            b.buffer_length = static_cast<unsigned long>(text.size());
            b.length = &lengths.emplace_back(static_cast<unsigned long>(text.size()));
            return;
        }
        }
    }
};

} // namespace

struct RowStream::Native {
    MYSQL *mysql = nullptr;
    MYSQL_STMT *stmt = nullptr;
    // One text buffer per result column, bound once; a field that does not
    // fit is read again into its column's overflow buffer.
    std::vector<MYSQL_BIND> binds;
    std::vector<QByteArray> buffers;
    std::vector<QByteArray> overflow;
    std::vector<unsigned long> lengths;
    std::vector<my_bool> nulls;
    std::vector<my_bool> truncated;
    std::vector<FieldBytes> row;

    ~Native() { release(); }

    // Closing the connection first keeps the client library from reading the
    // rest of an unfinished result just to throw it away.
    void release()
    {
        if (mysql) {
            mysql_close(mysql);
            mysql = nullptr;
        }
        if (stmt) {
            mysql_stmt_close(stmt);
            stmt = nullptr;
        }
    }

    [[noreturn]] void fail(const char *what)
    {
        QString state = QStringLiteral("HY000");
        QString message;
        int native = 0;
        if (stmt && mysql_stmt_errno(stmt)) {
            state = QString::fromLatin1(mysql_stmt_sqlstate(stmt));
            native = int(mysql_stmt_errno(stmt));
            message = QString::fromUtf8(mysql_stmt_error(stmt));
        } else if (mysql && mysql_errno(mysql)) {
            state = QString::fromLatin1(mysql_sqlstate(mysql));
            native = int(mysql_errno(mysql));
            message = QString::fromUtf8(mysql_error(mysql));
        }
        if (message.isEmpty())
            message = QString::fromLatin1(what) + QStringLiteral(" failed");
        release();
        throw OdbcError(state, message, native);
    }

    void connect(const ConnectionParams &params)
    {
        mysql = mysql_init(nullptr);
        if (!mysql)
            throw OdbcError(QStringLiteral("HY001"), QStringLiteral("no memory for a connection"));
        mysql_optionsv(mysql, MYSQL_SET_CHARSET_NAME, "utf8mb4");
        const Timeouts timeouts = connectionTimeouts();
        const unsigned connectSeconds = unsigned(std::max(timeouts.loginSeconds, 1));
        const unsigned readSeconds = unsigned(std::max(timeouts.readSeconds, 1));
        mysql_optionsv(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &connectSeconds);
        mysql_optionsv(mysql, MYSQL_OPT_READ_TIMEOUT, &readSeconds);
        mysql_optionsv(mysql, MYSQL_OPT_WRITE_TIMEOUT, &WriteSeconds);
        if (!mysql_real_connect(mysql, orNull(params.host), params.user.constData(),
                                params.password.constData(), orNull(params.database), params.port,
                                orNull(params.socket), 0))
            fail("connect");
        // The operator's own statements, each in turn, as the ODBC layer
        // runs them.
        for (const QString &startup : startupStatements(params.startupStatement)) {
            const QByteArray text = startup.toUtf8();
            if (mysql_real_query(mysql, text.constData(), static_cast<unsigned long>(text.size())))
                fail("the start-up statement");
            // Whatever rows it returned are not wanted.
            if (MYSQL_RES *result = mysql_store_result(mysql))
                mysql_free_result(result);
        }
    }

    void execute(const Statement &statement, std::vector<Column> &columns)
    {
        stmt = mysql_stmt_init(mysql);
        if (!stmt)
            fail("mysql_stmt_init");
        const QByteArray text = statement.sql.toUtf8();
        if (mysql_stmt_prepare(stmt, text.constData(), static_cast<unsigned long>(text.size())))
            fail("prepare");
        BoundParams params(statement.params);
        if (!params.binds.empty() && mysql_stmt_bind_param(stmt, params.binds.data()))
            fail("bind");
        if (mysql_stmt_execute(stmt))
            fail("execute");
        describe(columns);
    }

    void describe(std::vector<Column> &columns)
    {
        MYSQL_RES *meta = mysql_stmt_result_metadata(stmt);
        if (!meta)
            return; // no result columns: the statement has no rows to read
        const unsigned count = mysql_num_fields(meta);
        const MYSQL_FIELD *fields = mysql_fetch_fields(meta);
        columns.resize(count);
        binds.assign(count, MYSQL_BIND{});
        buffers.resize(count);
        overflow.resize(count);
        lengths.assign(count, 0);
        nulls.assign(count, 0);
        truncated.assign(count, 0);
        row.resize(count);
        for (unsigned i = 0; i < count; ++i) {
            columns[i].name = QString::fromUtf8(fields[i].name, fields[i].name_length);
            columns[i].baseTable =
                QString::fromUtf8(fields[i].org_table, fields[i].org_table_length);
            columns[i].sqlType = odbcType(fields[i]);
            // Room for any number or date as text, whatever width the column declares.
            const unsigned long width =
                std::clamp<unsigned long>(fields[i].length, 64, MaxBoundBytes);
            buffers[i].resize(qsizetype(width) + 1);
            MYSQL_BIND &b = binds[i];
            b.buffer_type = MYSQL_TYPE_STRING;
            b.buffer = buffers[i].data();
            b.buffer_length = width + 1;
            b.length = &lengths[i];
            b.is_null = &nulls[i];
            b.error = &truncated[i];
        }
        mysql_free_result(meta);
        if (mysql_stmt_bind_result(stmt, binds.data()))
            fail("bind the result");
    }

    // Reads a field that did not fit its buffer again, whole.
    void readTruncated(unsigned column)
    {
        QByteArray &buffer = overflow[column];
        buffer.resize(qsizetype(lengths[column]) + 1);
        MYSQL_BIND b{};
        unsigned long length = 0;
        b.buffer_type = MYSQL_TYPE_STRING;
        b.buffer = buffer.data();
        b.buffer_length = static_cast<unsigned long>(buffer.size());
        b.length = &length;
        if (mysql_stmt_fetch_column(stmt, &b, column, 0))
            fail("read a long field");
        row[column].text = QByteArrayView(buffer.constData(), qsizetype(length));
    }

    // The current row's fields, as views into the bound buffers.
    void collectRow(bool anyTruncated)
    {
        for (unsigned i = 0; i < row.size(); ++i) {
            row[i].null = nulls[i] != 0;
            row[i].text = row[i].null
                              ? QByteArrayView()
                              : QByteArrayView(buffers[i].constData(), qsizetype(lengths[i]));
            if (anyTruncated && truncated[i] && !row[i].null)
                readTruncated(i);
        }
    }
};

RowStream::RowStream(const QString &connectionString, const Statement &statement)
    : m_native(std::make_unique<Native>())
{
    m_native->connect(connectionParams(connectionString));
    m_native->execute(statement, m_columns);
    if (m_columns.empty())
        close();
}

RowStream::~RowStream() = default;

bool RowStream::isOpen() const
{
    return m_native->mysql != nullptr;
}

void RowStream::close()
{
    m_native->release();
}

bool RowStream::fetch(const QDeadlineTimer &deadline, const RowHandler &onRow)
{
    Native &n = *m_native;
    if (!n.stmt)
        return false;
    for (;;) {
        const int rc = mysql_stmt_fetch(n.stmt);
        if (rc == MYSQL_NO_DATA) {
            close();
            return false;
        }
        if (rc != 0 && rc != MYSQL_DATA_TRUNCATED)
            n.fail("fetch");
        n.collectRow(rc == MYSQL_DATA_TRUNCATED);
        ++m_rowsRead;
        if (onRow)
            onRow(RowBytes(n.row));
        if (!n.stmt)
            return false; // the handler closed the stream
        // The clock is read every few rows: often enough to keep a turn
        // short, rarely enough to cost nothing.
        if ((m_rowsRead & 15) == 0 && deadline.hasExpired())
            return true;
    }
}

} // namespace kestrel::db
