#include "widgets/ColumnShares.h"

#include "core/shared/Formats.h"
#include "widgets/FlexGrid.h"

#include <cmath>

namespace M = mdl_Variables_Functions;

namespace kestrel {

void shareColumnWidths(FlexGrid &grid, const M::ColumnTable &fractions)
{
    const int columns = std::min(grid.Cols(), M::ColumnTableColumns);
    const auto hidden = [&](int j) {
        return j >= grid.FixedCols() && grid.isColumnHidden(j - grid.FixedCols());
    };
    double sum = 0;
    for (int j = 0; j < columns; ++j)
        sum += hidden(j) ? 0 : M::WidthFraction(fractions, j);
    const int visible = fmt::pixelsToTwips(grid.clientWidth());
    const int shared = sum > 1 ? int(std::lround(visible / sum)) : visible;
    // Pixels are taken from the rounded column edges rather than from each
    // width, so rounding never adds up to more than the grid holds.
    int edge = 0;
    int edgePixels = 0;
    for (int j = 0; j < columns; ++j) {
        if (hidden(j))
            continue;
        edge += M::ColumnWidth(fractions, j, shared);
        const int pixels = fmt::twipsToPixels(edge) - edgePixels;
        grid.setColWidth(j, pixels);
        edgePixels += pixels;
    }
}

} // namespace kestrel
