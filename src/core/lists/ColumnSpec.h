#pragma once

#include <QString>

namespace tl {

// One column of a record grid, as written in its hidden first row:
//   ""                          no database column (the serial number in column 1)
//   "Price"                     a column of the table
//   "Price*Num AS Sm"           an expression, read under its alias
//   "PID:Product:PID:Name"      the table's PID, shown as the Name of the Product
//                               row whose PID equals it
struct ColumnSpec {
    enum class Kind { Empty, Field, Expression, Lookup, Broken };

    Kind kind = Kind::Empty;
    QString select; // what the SELECT list reads for this column (SQL text)
    QString name;   // the column or alias the value comes under
    // Lookups only.
    QString table, key, display;

    // Parses one column spec. Names are checked as plain identifiers and an
    // expression may hold only names, numbers and arithmetic, so the SELECT
    // built from column specs never carries anything else; a column spec
    // that fails the check is Broken and shows empty cells.
    static ColumnSpec parse(const QString& spec);
};

} // namespace tl
