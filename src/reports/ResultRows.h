#pragma once
// Writes the rows of a result into the result window's grid as they arrive:
// column j shows the field that slot 1 of column j names, in Kestrel's text
// form, rows 1, 3, 5, ... tinted.

#include "core/database/RowStream.h"
#include "core/shared/ResultContract.h"

#include <QAnyStringView>
#include <vector>

namespace kestrel {

class FlexGrid;

class ResultRows {
public:
    ResultRows(FlexGrid &grid, const mdl_Variables_Functions::ColumnTable &columns,
               int dataColumns);

    // Finds the field of every data column; one the result does not have
    // fails the load (throws).
    void findFields(const std::vector<db::Column> &result);

    void append(db::RowBytes row);

    qint64 rows() const { return m_rows; }

private:
    FlexGrid &m_grid;
    const mdl_Variables_Functions::ColumnTable &m_columns;
    std::vector<int> m_fields;
    std::vector<int> m_types;
    std::vector<QByteArray> m_scratch;
    std::vector<QAnyStringView> m_views;
    qint64 m_rows = 0;
};

} // namespace kestrel
