#include "core/shared/ResultContract.h"

#include <QLocale>
#include <cmath>

namespace mdl_Variables_Functions {

kestrel::db::Statement QrySQL;
QString QryCaption;
int QryColCount = 0;
ColumnTable QryCellNameFormat;

bool DeleteMode = false;
QString DeleteTable;
bool EditTransPickCustomer = false;
bool EditTransPickProduct = false;
bool AddTransPickCustomer = false;
bool AddTransPickProduct = false;
bool EditGridPick = false;
PickHandOver QryPickHandOver;

kestrel::db::Statement EditSQL;
int EditColCount = 0;
ColumnTable EditCellNameFormat;
bool EditGridJoined = false;

double WidthFraction(const ColumnTable &table, int column)
{
    if (column < 0 || column >= ColumnTableColumns)
        return 0;
    bool ok = false;
    const double fraction = QLocale::c().toDouble(table[size_t(column)][SlotWidth].trimmed(), &ok);
    return ok && std::isfinite(fraction) && fraction > 0 ? fraction : 0;
}

int ColumnWidth(const ColumnTable &table, int column, int totalWidth)
{
    const double exact = WidthFraction(table, column) * totalWidth;
    const double below = std::floor(exact);
    const double rest = exact - below;
    double rounded = below;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0))
        rounded = below + 1;
    return int(rounded);
}

void SetColumn(ColumnTable &table, int column, const QString &fieldAndHeader,
               const QString &widthFraction)
{
    ColumnDescription &description = table[size_t(column)];
    description[SlotField] = fieldAndHeader;
    description[SlotHeader] = fieldAndHeader;
    description[SlotWidth] = widthFraction;
}

void LowerResultWindowFlags()
{
    DeleteMode = false;
    EditTransPickCustomer = false;
    EditTransPickProduct = false;
    AddTransPickCustomer = false;
    AddTransPickProduct = false;
    EditGridPick = false;
    QryPickHandOver = nullptr;
}

} // namespace mdl_Variables_Functions
