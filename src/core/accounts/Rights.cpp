#include "core/accounts/Rights.h"

#include <QSet>

namespace tl {

const QChar Rights::separator = QChar(0x2016);
const QChar Rights::itemMark = QChar(0x2192);

namespace {

struct Group {
    const char* name;
    std::initializer_list<const char*> items;
};

QStringList buildVocabulary() {
    const Group groups[] = {
        {"操作销售记录",
         {"添加销售记录", "修改销售记录", "删除销售记录", "导出销售记录", "导入销售记录",
          "查找销售记录"}},
        {"操作采购记录",
         {"添加采购记录", "修改采购记录", "删除采购记录", "导出采购记录", "导入采购记录",
          "查找采购记录"}},
        {"操作调库记录",
         {"添加调库记录", "修改调库记录", "删除调库记录", "导出调库记录", "导入调库记录",
          "查找调库记录"}},
        {"操作盘点统计",
         {"查看库存数量", "查看库存金额", "查看销售统计", "查看采购统计", "查看应收款统计",
          "查看应付款统计"}},
        {"操作图表分析", {"查看数量分析", "查看金额分析", "查看毛利分析"}},
        {"产品设置",
         {"查看产品设置", "添加产品设置", "修改产品设置", "删除产品设置", "导出产品设置",
          "导入产品设置", "查找产品设置"}},
        {"账号设置",
         {"查看账号设置", "添加账号设置", "修改账号设置", "删除账号设置", "导出账号设置",
          "导入账号设置", "查找账号设置"}},
        {"客户设置",
         {"查看客户设置", "添加客户设置", "修改客户设置", "删除客户设置", "导出客户设置",
          "导入客户设置", "查找客户设置"}},
        {"供应商设置",
         {"查看供应商设置", "添加供应商设置", "修改供应商设置", "删除供应商设置", "导出供应商设置",
          "导入供应商设置", "查找供应商设置"}},
        {"产品类别设置",
         {"查看产品类别", "添加产品类别", "修改产品类别", "删除产品类别", "导出产品类别",
          "导入产品类别", "查找产品类别"}},
        {"仓库设置",
         {"查看仓库列表", "添加仓库", "修改仓库信息", "删除仓库", "导出仓库列表", "导入仓库列表",
          "查找仓库"}},
        {"地区设置",
         {"查看地区列表", "添加地区", "修改地区记录", "删除地区", "导出地区列表", "导入地区列表",
          "查找地区"}},
        {"操作人员设置",
         {"查看人员设置", "添加操作人员", "修改人员设置", "删除操作人员", "导出人员列表",
          "导入人员列表", "修改人员权限", "备份套帐"}},
    };
    QStringList list;
    for (const Group& g : groups) {
        list << QString::fromUtf8(g.name);
        for (const char* item : g.items)
            list << QString(Rights::itemMark) + QString::fromUtf8(item);
    }
    return list;
}

} // namespace

const QStringList& Rights::vocabulary() {
    static const QStringList list = buildVocabulary();
    return list;
}

bool Rights::test(const QString& rights, const QString& name) {
    const QString needle = separator + bare(name) + separator;
    return (separator + rights + separator).contains(needle);
}

QString Rights::join(const QStringList& granted) {
    QSet<QString> wanted;
    for (const QString& g : granted)
        wanted.insert(bare(g));
    QStringList out;
    for (const QString& entry : vocabulary()) {
        const QString name = bare(entry);
        if (wanted.contains(name))
            out << name;
    }
    return out.join(separator);
}

QString Rights::backupRight() {
    return QStringLiteral("备份套帐");
}

QString Rights::all() {
    QStringList names;
    for (const QString& entry : vocabulary())
        names << bare(entry);
    return names.join(separator);
}

} // namespace tl
