#include "core/importexport/ImportHeader.h"

#include "core/importexport/GridExport.h"
#include "core/importexport/ImportValues.h"

#include <QHash>
#include <algorithm>

namespace tl {

namespace {

// Titles that spreadsheets kept by hand commonly use for a field, by the
// field's label. The label itself always counts.
const QHash<QString, QStringList>& otherNames() {
    static const QHash<QString, QStringList> names = [] {
        const QStringList product{"产品", "商品", "品名", "货品名称", "产品名称"};
        const QStringList store{"来源仓库", "收货仓库", "入库仓库", "仓库"};
        const QStringList account{"收款账号", "付款账号", "账户", "账号"};
        QHash<QString, QStringList> h;
        h.insert("产品", product);
        h.insert("产品名称", product);
        h.insert("客户名", {"客户", "客户名", "客户名称", "购货单位"});
        h.insert("供应商", {"供应商", "供货单位", "供应商名称"});
        h.insert("价格", {"价格", "单价", "售价", "进价"});
        h.insert("数量", {"数量", "数目"});
        h.insert("已付", {"已付", "已收", "实收", "实付"});
        h.insert("日期", {"日期", "单据日期"});
        h.insert("来源仓库", store);
        h.insert("收货仓库", store);
        h.insert("收款账号", account);
        h.insert("付款账号", account);
        h.insert("销售员", {"销售员", "业务员", "经手人"});
        h.insert("备注", {"备注", "说明"});
        return h;
    }();
    return names;
}

bool isValue(const QString& text) {
    return importNumber(text).has_value() || importDate(text).isValid();
}

} // namespace

HeaderMatch matchHeader(const QStringList& cells, const ImportTableDef& def) {
    const int n = int(def.fieldSlots.size());
    HeaderMatch m;
    m.columns = QStringList(n);
    QList<bool> taken(cells.size(), false);
    const auto assign = [&](int slot, const QStringList& titles) {
        for (int c = 0; c < cells.size(); ++c) {
            if (!taken[c] && titles.contains(cells[c].trimmed())) {
                taken[c] = true;
                m.columns[slot] = columnLetters(c + 1);
                ++m.found;
                return;
            }
        }
    };
    // Labels first, so that "账号" in an account list is the account number
    // and not taken by another field's other name.
    for (int i = 0; i < n; ++i)
        assign(i, {def.fieldSlots[i].label});
    for (int i = 0; i < n; ++i)
        if (m.columns[i].isEmpty())
            assign(i, otherNames().value(def.fieldSlots[i].label));
    for (int i = 0; i < n; ++i)
        if (m.columns[i].isEmpty())
            m.missing << def.fieldSlots[i].label;
    return m;
}

QString applyHeaderMatch(QStringList& columns, const HeaderMatch& match,
                         const ImportTableDef& def) {
    QStringList kept, emptied;
    for (int i = 0; i < columns.size() && i < match.columns.size(); ++i) {
        if (!match.columns[i].isEmpty()) {
            columns[i] = match.columns[i];
            continue;
        }
        const std::optional<int> own = columnNumber(columns[i]);
        const bool taken =
            own && std::any_of(match.columns.begin(), match.columns.end(),
                               [&](const QString& c) { return columnNumber(c) == own; });
        if (taken)
            columns[i].clear();
        (taken ? emptied : kept) << def.fieldSlots[i].label;
    }
    if (kept.isEmpty() && emptied.isEmpty())
        return {};
    QStringList parts;
    if (!kept.isEmpty())
        parts << kept.join(QStringLiteral("、")) + QStringLiteral("（列号未改）");
    if (!emptied.isEmpty())
        parts << emptied.join(QStringLiteral("、")) +
                     QStringLiteral("（其列已对应其他项，已清空）");
    return QStringLiteral("表头中找不到：") + parts.join(QStringLiteral("；"));
}

bool looksLikeHeader(const QStringList& cells, const ImportTableDef& def) {
    int filled = 0, values = 0;
    for (const QString& c : cells) {
        const QString t = c.trimmed();
        if (t.isEmpty())
            continue;
        ++filled;
        values += isValue(t);
    }
    return filled > 0 && values * 2 < filled && matchHeader(cells, def).found > 0;
}

} // namespace tl
