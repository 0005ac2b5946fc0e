#pragma once

#include "core/lists/ListedTables.h"
#include "core/masterdata/Lookups.h"

#include <QList>
#include <QString>
#include <optional>

namespace tl {

// How the text of a file column becomes the value of a field.
enum class ImportValue {
    Text,     // as it stands
    Name,     // a master's key, found by name or created
    Money,    // a number after removing "$" and "￥" (importMoney); empty text is 0
    Number,   // a number (importNumber); empty text is 0
    Quantity, // a number stored rounded, halves to even, as transfers keep it
    Date      // a date (importDate); empty text is today
};

// One target field of an import: the column-mapping box that feeds it.
struct ImportSlot {
    QString label;  // the box's label in the mapping dialog
    QString column; // default column letters
    QString field;  // the table column it fills
    ImportValue value = ImportValue::Text;
    Master master = Master::Product; // the table a Name is looked up in
    QString placeholder;             // used when the column is empty
    bool required = false;           // an empty column skips the line
};

// How saving a record moves stock.
enum class ImportStock { None, Out, In, Transfer };

// How records are imported into one of the listed tables, each of which
// takes imports.
struct ImportTableDef {
    ListedTable table;
    QString sqlTable; // "Sale", "Customer", ...
    QString records;  // what the records are called: "销售记录", "客户记录", ...
    QList<ImportSlot> fieldSlots;
    // Master tables: a line whose value in this slot already exists in the
    // slot's column is skipped (compared without regard to case). -1: every
    // line adds a record.
    int uniqueSlot = -1;
    ImportStock stock = ImportStock::None;

    // "正在导入销售记录……"
    QString progressCaption() const;
    QStringList defaultColumns() const;
    int slotOf(const QString& field) const;
};

const ImportTableDef& importTableDef(ListedTable table);

// Column letters to a column number: trimmed, any case; one letter A..Z gives
// 1..26, two letters give (first × 26 + second) with AA = 27; a result below 1
// is 1 (so a digit means column A); three or more characters give 0, no
// column. nullopt for empty text.
std::optional<int> columnNumber(const QString& letters);

} // namespace tl
