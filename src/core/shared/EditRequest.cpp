#include "core/shared/EditRequest.h"

#include <algorithm>

namespace M = mdl_Variables_Functions;

namespace kestrel {

void EditRequest::writeContract() const
{
    const int n = std::min(int(columns.size()), EditGridDataColumns);
    M::EditSQL = statement;
    M::EditColCount = n;
    M::EditCellNameFormat[0][M::SlotWidth] = rowHeaderWidth;
    for (int j = 1; j <= n; ++j) {
        const EditColumn &c = columns[size_t(j - 1)];
        M::SetColumn(M::EditCellNameFormat, j, c.fieldAndHeader, c.widthFraction);
        M::EditCellNameFormat[size_t(j)][M::SlotEditor] = c.editor;
    }
    M::EditGridJoined = joined;
}

} // namespace kestrel
