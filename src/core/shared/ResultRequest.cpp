#include "core/shared/ResultRequest.h"

namespace M = mdl_Variables_Functions;

namespace kestrel {

void ResultRequest::writeContract() const
{
    M::QrySQL = statement;
    M::QryCaption = caption;
    M::QryColCount = int(columns.size());
    M::QryCellNameFormat[0][M::SlotWidth] = rowHeaderWidth;
    int j = 1;
    for (const ResultColumn &c : columns) {
        if (j >= M::ColumnTableColumns)
            break;
        M::SetColumn(M::QryCellNameFormat, j++, c.fieldAndHeader, c.widthFraction);
    }
    if (!deleteTable.isEmpty()) {
        M::DeleteMode = true;
        M::DeleteTable = deleteTable;
    }
    if (pickFlag) {
        *pickFlag = true;
        M::QryPickHandOver = onPick;
    }
}

} // namespace kestrel
