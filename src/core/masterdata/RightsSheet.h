#pragma once

#include <QColor>
#include <QString>

namespace tl {

class Grid;
class Database;
struct Session;

// The list of the rights editor: one row per name of the rights vocabulary
// under a caption row, columns "序号", "选择" (the mark "√" of a granted
// right) and "权限". Group rows have a grey mark and name cell, item names
// are blue.
class RightsSheet {
public:
    static constexpr int kNumberCol = 0;
    static constexpr int kMarkCol = 1;
    static constexpr int kNameCol = 2;
    static const QColor groupBack; // RGB(200, 200, 200)
    static const QColor itemText;  // RGB(0, 0, 255)
    static QString mark();         // "√"
    // The right an operator needs to change anyone's rights.
    static QString editRight(); // "修改人员权限"

    // The caption row only: widths 500, 600 (centred), 4000 twips.
    static void setup(Grid& grid);
    // Captions and one row per name of the vocabulary, marked from a rights string.
    static void fill(Grid& grid, const QString& rights);
    // A click on a cell: only the mark column of a data row changes. A group
    // row passes its new mark on to its items, up to the next group. Returns
    // true when a mark changed.
    static bool toggle(Grid& grid, int row, int col);
    // The rights string of the marked rows, in list order.
    static QString rights(const Grid& grid);

    // The stored rights string of an operator; empty when there is none.
    static QString storedRights(const Database& db, qint64 uid);
    // Stores an operator's rights string; when that operator is the one logged
    // in, his rights in the session change at once. Refused (false, nothing
    // written) without the right to edit rights or when the operator is gone;
    // refused with DbError::refused when nobody would be left holding
    // "修改人员权限".
    static bool save(const Database& db, Session& session, qint64 uid, const QString& rights);

private:
    static bool isGroupRow(const Grid& grid, int row);
};

} // namespace tl
