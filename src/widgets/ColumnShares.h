#pragma once
// Column widths of a result grid from the width fractions of its column
// table: every resize gives each column its share of the grid again.

#include "core/shared/ResultContract.h"

namespace kestrel {

class FlexGrid;

// Gives every shown column of grid (0 to 11 at most) its fraction of what
// the grid can show without scrolling sideways. Fractions adding up to 1
// fill it exactly; more than 1 is scaled down to fit rather than scrolled
// for the last few pixels. Hidden columns take no share.
void shareColumnWidths(FlexGrid &grid, const mdl_Variables_Functions::ColumnTable &fractions);

} // namespace kestrel
