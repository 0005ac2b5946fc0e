#pragma once

#include "core/importexport/ImportTables.h"

#include <QString>
#include <QStringList>

namespace tl {

// Fields found by the titles of a file's first line.
struct HeaderMatch {
    QStringList columns; // per slot: the letters of the column titled for it, or empty
    QStringList missing; // labels of the fields no title names, in slot order
    int found = 0;
};

// Whether the cells of a first line read as column titles for the table:
// more than half of its non-empty cells are neither numbers nor dates, and
// at least one names a field.
bool looksLikeHeader(const QStringList& cells, const ImportTableDef& def);

// Each field's column by the title that is its label or a usual other name
// ("品名" for 产品, "单价" for 价格, ...). A label wins over another name, and
// each column feeds one field at most.
HeaderMatch matchHeader(const QStringList& cells, const ImportTableDef& def);

// The dialog's boxes after a match: found fields take their columns, others
// keep theirs, except a column the titles gave to another field, which would
// feed two fields and is emptied. Returns what to tell the operator of the
// fields not found (empty when all were).
QString applyHeaderMatch(QStringList& columns, const HeaderMatch& match, const ImportTableDef& def);

} // namespace tl
