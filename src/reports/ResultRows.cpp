#include "reports/ResultRows.h"

#include "core/shared/FieldText.h"
#include "widgets/FlexGrid.h"

#include <stdexcept>

namespace M = mdl_Variables_Functions;

namespace kestrel {

ResultRows::ResultRows(FlexGrid &grid, const M::ColumnTable &columns, int dataColumns)
    : m_grid(grid), m_columns(columns), m_fields(size_t(dataColumns + 1), -1),
      m_types(size_t(dataColumns + 1), 0), m_scratch(size_t(dataColumns + 1)),
      m_views(size_t(dataColumns + 1))
{
}

void ResultRows::findFields(const std::vector<db::Column> &result)
{
    for (size_t j = 1; j < m_fields.size(); ++j) {
        const QString &field = m_columns[j][M::SlotField];
        const int index = db::columnIndex(result, field);
        if (index < 0)
            throw std::runtime_error("the result has no field " + field.toStdString());
        m_fields[j] = index;
        m_types[j] = result[size_t(index)].sqlType;
    }
}

void ResultRows::append(db::RowBytes row)
{
    for (size_t j = 1; j < m_fields.size(); ++j) {
        const db::FieldBytes &field = row[size_t(m_fields[j])];
        const QByteArrayView text = fieldText(field.text, field.null, m_types[j], m_scratch[j]);
        m_views[j] = QUtf8StringView(text.data(), text.size());
    }
    m_grid.appendRow(m_views, m_rows % 2 == 0 ? StripeColor : QColor());
    ++m_rows;
}

} // namespace kestrel
