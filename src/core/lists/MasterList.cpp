#include "core/lists/MasterList.h"

#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/grid/GridFit.h"
#include "core/lists/RecordGrid.h"
#include "core/masterdata/MasterRights.h"
#include "core/values/Numbers.h"

#include <QSqlQuery>
#include <algorithm>

namespace tl {
namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int kMaxFittedWidth = 6000; // twips; longer texts are cut in the view
constexpr int kTextMargin = 240;      // the view's cell padding on both sides

// Each column keeps its set width and grows where its texts need more room,
// so that names and addresses are not cut short.
void widenToTexts(Grid& grid) {
    const TextMeasure measure = defaultTextMeasure();
    for (int c = 0; c < grid.cols(); ++c) {
        int need = 0;
        for (int r = 0; r < grid.rows(); ++r) {
            const QString& text = grid.cellRef(r, c);
            if (!text.isEmpty())
                need = std::max(need, measure(text) + kTextMargin);
        }
        grid.setColWidth(c, std::max(grid.colWidth(c), std::min(need, kMaxFittedWidth)));
    }
}

void fillList(Grid& grid, const QList<ListColumn>& columns, QSqlQuery query) {
    const int cols = static_cast<int>(columns.size());
    grid.beginUpdate();
    grid.reset(2, cols, 1, 2);
    for (int c = 0; c < cols; ++c) {
        grid.setText(0, c, columns[c].caption);
        grid.setColWidth(c, columns[c].width);
        grid.setColAlignment(c, kLeft);
    }
    int row = 0;
    while (query.next()) {
        ++row;
        if (row >= grid.rows())
            grid.addRow();
        for (int c = 0; c < cols; ++c)
            grid.cellRef(row, c) = toText(query.value(c));
    }
    widenToTexts(grid);
    grid.endUpdate();
}

// Names sort without regard to letter case, records of one name by key.
QString byName(const QString& column, const QString& key) {
    return QStringLiteral(" ORDER BY %1, %2").arg(Database::caseless(column), key);
}

QString listSql(MasterTable table) {
    switch (table) {
    case MasterTable::Account:
        return QStringLiteral("SELECT AID AS 记录号,Name AS 名称,Account AS 账号,Memo AS 备注 "
                              "FROM Account") +
               byName(QStringLiteral("Name"), QStringLiteral("AID"));
    case MasterTable::Region:
        return QStringLiteral("SELECT RID AS 记录号,Region AS 地区,Memo AS 备注 FROM Region") +
               byName(QStringLiteral("Region"), QStringLiteral("RID"));
    case MasterTable::Storage:
        return QStringLiteral("SELECT SID AS 记录号,Name AS 仓库名,Address AS 仓库地址,Memo AS "
                              "备注信息 FROM Storage") +
               byName(QStringLiteral("Name"), QStringLiteral("SID"));
    case MasterTable::Class:
        return QStringLiteral("SELECT CID AS 记录号,Class AS 类别,Memo AS 备注信息 FROM Class") +
               byName(QStringLiteral("Class"), QStringLiteral("CID"));
    case MasterTable::Customer:
        // The region column shows the name of the customer's region.
        return QStringLiteral(
                   "SELECT CID AS 记录号,(SELECT Region FROM Region r WHERE r.RID=c.RID LIMIT 1) "
                   "AS 地区,Name AS 姓名,Address AS 地址,PC AS 邮编,Phone AS 电话,MPhone AS 手机,"
                   "Fax AS 传真,Email AS 邮箱,Websit AS 网址,Memo AS 备注 FROM Customer c") +
               byName(QStringLiteral("Name"), QStringLiteral("CID"));
    case MasterTable::Vender:
        // Suppliers keep the order they were entered in, with the region's name.
        return QStringLiteral(
            "SELECT VID AS 记录号,(SELECT Region FROM Region r WHERE r.RID=v.RID LIMIT 1) AS 地区,"
            "Name AS 供应商,LinkMan AS 联系人,Phone AS 电话,MPhone AS 手机,FAX AS 传真,Email AS "
            "邮箱,Address AS 地址,PC AS 邮编,WebSit AS 网址,Memo AS 备注 FROM Vender v ORDER BY "
            "VID");
    case MasterTable::Staff:
        return QStringLiteral("SELECT UID AS 记录号,Name AS 姓名,Address AS 住址,PC AS 邮编,"
                              "Phone AS 电话,MPhone AS 手机,Fax AS 传真,Email AS 邮箱,"
                              "Websit AS 网址,Memo AS 备注 FROM Staff");
    default:
        return {};
    }
}

} // namespace

void loadMasterList(Grid& grid, const Database& db, MasterTable table, const Session& session) {
    const MasterTableDef& def = masterTableDef(table);
    switch (table) {
    case MasterTable::Product:
        loadProductGrid(grid, db);
        return;
    case MasterTable::Staff: {
        const QString order = byName(QStringLiteral("Name"), QStringLiteral("UID"));
        if (!mayViewList(session, table)) {
            fillList(grid, def.listColumns,
                     db.run(listSql(table) + QStringLiteral(" WHERE UID=?") + order,
                            {session.operatorId.trimmed().toLongLong()}));
            return;
        }
        fillList(grid, def.listColumns, db.run(listSql(table) + order));
        return;
    }
    default:
        fillList(grid, def.listColumns, db.run(listSql(table)));
        return;
    }
}

int firstListRow(const Grid& grid) {
    return grid.fixedRows();
}

} // namespace tl
