#pragma once

namespace tl {

class Grid;

// "隐藏无数据行列" on the stock reports: with hide on, a scrollable column
// whose every scrollable cell (warehouse rows and total rows alike) reads 0
// or "-" gets width 0, and a scrollable row whose every scrollable cell does
// gets height 0; with hide off those same columns and rows get 1800 and 255
// twips back. A product with +5 in one warehouse and -5 in another is not
// empty and stays. Other rows and columns are left as they are.
void hideEmptyLines(Grid& grid, bool hide);

} // namespace tl
