#include "core/importexport/ImportTables.h"

namespace tl {

namespace {

using V = ImportValue;

ImportSlot text(const char* label, const char* column, const char* field) {
    ImportSlot s;
    s.label = QString::fromUtf8(label);
    s.column = QString::fromLatin1(column);
    s.field = QString::fromLatin1(field);
    return s;
}

ImportSlot value(const char* label, const char* column, const char* field, V v) {
    ImportSlot s = text(label, column, field);
    s.value = v;
    return s;
}

ImportSlot name(const char* label, const char* column, const char* field, Master m,
                const char* placeholder = nullptr) {
    ImportSlot s = value(label, column, field, V::Name);
    s.master = m;
    s.placeholder = QString::fromUtf8(placeholder);
    return s;
}

ImportSlot required(ImportSlot s) {
    s.required = true;
    return s;
}

// The record tables: each line moves stock.
void addRecordTables(QList<ImportTableDef>& t) {
    t.append({ListedTable::Sales,
              "Sale",
              "销售记录",
              {required(name("产品", "B", "PID", Master::Product)),
               name("客户名", "C", "CID", Master::Customer, "客户未知"),
               name("来源仓库", "D", "SID", Master::Storage, "未知仓库"),
               name("收款账号", "E", "AID", Master::Account, "未知账号"),
               value("价格", "F", "Price", V::Money), value("数量", "G", "Num", V::Number),
               value("已付", "J", "Pay", V::Money), value("日期", "K", "Dat", V::Date),
               name("销售员", "L", "UID", Master::Staff, "销售员未知"), text("备注", "M", "Memo")},
              -1,
              ImportStock::Out});
    t.append({ListedTable::Purchases,
              "Buy",
              "采购记录",
              {required(name("产品", "B", "PID", Master::Product)),
               name("供应商", "C", "VID", Master::Vender, "供应商未知"),
               name("付款账号", "D", "AID", Master::Account, "未知账号"),
               name("收货仓库", "E", "SID", Master::Storage, "未知仓库"),
               value("价格", "F", "Price", V::Money), value("数量", "G", "Num", V::Number),
               value("已付", "I", "Pay", V::Money), value("日期", "J", "Dat", V::Date),
               text("备注", "K", "Memo")},
              -1,
              ImportStock::In});
    t.append({ListedTable::Transfers,
              "Adjust",
              "调库记录",
              {required(name("产品名称", "B", "PID", Master::Product)),
               required(name("来源库", "C", "OID", Master::Storage)),
               required(name("目的库", "D", "IID", Master::Storage)),
               required(value("数量", "E", "Num", V::Quantity)), value("日期", "F", "Dat", V::Date),
               text("备注", "G", "Memo")},
              -1,
              ImportStock::Transfer});
}

// The master tables: a line whose name is already there is skipped.
void addMasterTables(QList<ImportTableDef>& t) {
    ImportSlot unit = text("单位", "G", "Unit");
    unit.placeholder = QStringLiteral("单位未知");
    t.append(
        {ListedTable::Products,
         "Product",
         "产品记录",
         {name("产品类别", "B", "CID", Master::Class, "未知类别"), text("产品简称", "C", "SName"),
          required(text("产品名称", "D", "Name")), text("代码", "E", "Code"),
          value("价格", "F", "Price", V::Money), unit, text("备注", "H", "Memo")},
         2});
    t.append({ListedTable::Accounts,
              "Account",
              "账号记录",
              {required(text("名称", "B", "Name")), text("账号", "C", "Account"),
               text("备注", "D", "Memo")},
              0});
    // A customer or supplier without a region goes to the region every new
    // customer gets, rather than to a region with an empty name.
    t.append(
        {ListedTable::Customers,
         "Customer",
         "客户记录",
         {name("地区", "B", "RID", Master::Region, "未知区域"), required(text("姓名", "C", "Name")),
          text("地址", "D", "Address"), text("邮编", "E", "PC"), text("电话", "F", "Phone"),
          text("手机", "G", "MPhone"), text("传真", "H", "Fax"), text("邮箱", "I", "Email"),
          text("网址", "J", "Websit"), text("备注", "K", "Memo")},
         1});
    t.append({ListedTable::Suppliers,
              "Vender",
              "供应商记录",
              {name("地区", "B", "RID", Master::Region, "未知区域"),
               required(text("供应商", "C", "Name")), text("联系人", "D", "LinkMan"),
               text("电话", "E", "Phone"), text("手机", "F", "MPhone"), text("传真", "G", "Fax"),
               text("邮箱", "H", "Email"), text("地址", "I", "Address"), text("邮编", "J", "PC"),
               text("网址", "K", "Websit"), text("备注", "L", "Memo")},
              1});
    t.append({ListedTable::Staff,
              "Staff",
              "人员记录",
              {required(text("姓名", "B", "Name")), text("住址", "C", "Address"),
               text("邮编", "D", "PC"), text("电话", "E", "Phone"), text("手机", "F", "MPhone"),
               text("传真", "G", "Fax"), text("邮箱", "H", "Email"), text("网址", "I", "Websit"),
               text("备注", "J", "Memo")},
              0});
    t.append({ListedTable::Classes,
              "Class",
              "产品类别记录",
              {required(text("类别", "B", "Class")), text("备注", "C", "Memo")},
              0});
    t.append({ListedTable::Warehouses,
              "Storage",
              "仓库记录",
              {required(text("仓库名称", "B", "Name")), text("仓库地址", "C", "Address"),
               text("备注", "D", "Memo")},
              0});
    t.append({ListedTable::Regions,
              "Region",
              "地区记录",
              {required(text("地区", "B", "Region")), text("备注", "C", "Memo")},
              0});
}

QList<ImportTableDef> build() {
    QList<ImportTableDef> t;
    addRecordTables(t);
    addMasterTables(t);
    return t;
}

const QList<ImportTableDef>& defs() {
    static const QList<ImportTableDef> list = build();
    return list;
}

} // namespace

QString ImportTableDef::progressCaption() const {
    return QStringLiteral("正在导入") + records + QStringLiteral("……");
}

QStringList ImportTableDef::defaultColumns() const {
    QStringList letters;
    for (const ImportSlot& s : fieldSlots)
        letters << s.column;
    return letters;
}

int ImportTableDef::slotOf(const QString& field) const {
    for (int i = 0; i < fieldSlots.size(); ++i)
        if (fieldSlots[i].field == field)
            return i;
    return -1;
}

const ImportTableDef& importTableDef(ListedTable table) {
    return defs()[static_cast<int>(table)];
}

std::optional<int> columnNumber(const QString& letters) {
    const QString t = letters.trimmed().toUpper();
    if (t.isEmpty())
        return std::nullopt;
    int n = 0;
    if (t.size() == 1)
        n = t[0].unicode() - 64;
    else if (t.size() == 2)
        n = (t[0].unicode() - 64) * 26 + (t[1].unicode() - 64);
    else
        return 0;
    return n < 1 ? 1 : n;
}

} // namespace tl
