#include "core/masterdata/RightsSheet.h"

#include "core/accounts/Rights.h"
#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>

namespace tl {

const QColor RightsSheet::groupBack = QColor(200, 200, 200);
const QColor RightsSheet::itemText = QColor(0, 0, 255);

QString RightsSheet::mark() {
    return QString(QChar(0x221A));
}

QString RightsSheet::editRight() {
    return QStringLiteral("修改人员权限");
}

void RightsSheet::setup(Grid& grid) {
    grid.beginUpdate();
    grid.reset(1, 3, 1, 0);
    grid.setText(0, kNumberCol, QStringLiteral("序号"));
    grid.setText(0, kMarkCol, QStringLiteral("选择"));
    grid.setText(0, kNameCol, QStringLiteral("权限"));
    grid.setColWidth(kNumberCol, 500);
    grid.setColWidth(kMarkCol, 600);
    grid.setColWidth(kNameCol, 4000);
    grid.setColAlignment(kNumberCol, Qt::AlignLeft | Qt::AlignVCenter);
    grid.setColAlignment(kMarkCol, Qt::AlignCenter);
    grid.setColAlignment(kNameCol, Qt::AlignLeft | Qt::AlignVCenter);
    grid.endUpdate();
}

void RightsSheet::fill(Grid& grid, const QString& rights) {
    const QStringList& vocabulary = Rights::vocabulary();
    grid.beginUpdate();
    setup(grid);
    grid.setRows(1 + static_cast<int>(vocabulary.size()));
    for (int i = 0; i < vocabulary.size(); ++i) {
        const int row = i + 1;
        const QString& entry = vocabulary[i];
        grid.setText(row, kNumberCol, QString::number(row));
        grid.setText(row, kMarkCol, Rights::test(rights, entry) ? mark() : QString());
        grid.setText(row, kNameCol, Rights::bare(entry));
        if (Rights::isItem(entry)) {
            grid.setTextColor(row, kNameCol, itemText);
        } else {
            grid.setBackColor(row, kMarkCol, groupBack);
            grid.setBackColor(row, kNameCol, groupBack);
        }
    }
    grid.endUpdate();
}

bool RightsSheet::isGroupRow(const Grid& grid, int row) {
    return grid.style(row, kMarkCol).back == groupBack;
}

bool RightsSheet::toggle(Grid& grid, int row, int col) {
    if (col != kMarkCol || row < 1 || row >= grid.rows())
        return false;
    const QString newMark = grid.text(row, kMarkCol).trimmed().isEmpty() ? mark() : QString();
    grid.beginUpdate();
    grid.setText(row, kMarkCol, newMark);
    grid.setCurrent(row, col);
    if (isGroupRow(grid, row)) {
        for (int r = row + 1; r < grid.rows() && !isGroupRow(grid, r); ++r)
            grid.setText(r, kMarkCol, newMark);
    }
    grid.endUpdate();
    return true;
}

QString RightsSheet::rights(const Grid& grid) {
    QStringList granted;
    for (int row = 1; row < grid.rows(); ++row) {
        if (!grid.text(row, kMarkCol).isEmpty())
            granted << grid.text(row, kNameCol);
    }
    return Rights::join(granted);
}

QString RightsSheet::storedRights(const Database& db, qint64 uid) {
    return toText(
        db.fieldById(QStringLiteral("Staff"), uid, QStringLiteral("UID"), QStringLiteral("Right")));
}

namespace {
bool anyoneMayGrant(const Database& db) {
    QSqlQuery q = db.run(QStringLiteral("SELECT \"Right\" FROM Staff"));
    while (q.next()) {
        if (Rights::test(q.value(0).toString(), RightsSheet::editRight()))
            return true;
    }
    return false;
}
} // namespace

bool RightsSheet::save(const Database& db, Session& session, qint64 uid, const QString& rights) {
    if (!session.hasRight(editRight()))
        return false;
    const bool saved = db.retrying([&] {
        Transaction t(db);
        // Two operators taking the right from each other at once would
        // otherwise both see the other keep it.
        db.lockTableForWriting(QStringLiteral("Staff"));
        const bool couldGrant = anyoneMayGrant(db);
        if (db.exec(QStringLiteral("UPDATE Staff SET \"Right\"=? WHERE UID=?"), {rights, uid}) < 1)
            return false;
        if (couldGrant && !anyoneMayGrant(db))
            throw DbError::refused(QStringLiteral("至少要有一个操作员拥有“修改人员权限”，"
                                                  "否则再也无法设置权限。本次没有保存。"));
        t.commit();
        return true;
    });
    if (!saved)
        return false;
    if (QString::number(uid) == session.operatorId.trimmed())
        session.rights = rights;
    return true;
}

} // namespace tl
