#include "core/masterdata/MasterTable.h"

namespace tl {
namespace {

using K = MasterField::Kind;

// The contact columns shared by customers, suppliers and operators, boxes 1 to 8.
QList<MasterField> contactFields(const QString& addressLabel) {
    return {{1, "Address", addressLabel}, {2, "PC", "邮编："},  {3, "Phone", "电话："},
            {4, "MPhone", "手机："},      {5, "Fax", "传真："}, {6, "Email", "邮箱："},
            {7, "Websit", "网址："},      {8, "Memo", "备注："}};
}

MasterTableDef simple(MasterTable id, const char* editor, const char* caption, const char* noun,
                      const char* table, const char* key, int keyBox) {
    MasterTableDef d;
    d.id = id;
    d.editorName = QString::fromLatin1(editor);
    d.caption = QString::fromUtf8(caption);
    d.noun = QString::fromUtf8(noun);
    d.table = QString::fromLatin1(table);
    d.keyField = QString::fromLatin1(key);
    d.keyBox = keyBox;
    d.newCaption = QStringLiteral("新  建");
    d.closeCaption = QStringLiteral("退   出");
    return d;
}

void setRights(MasterTableDef& d, const char* view, const char* add, const char* modify) {
    d.viewRight = QString::fromUtf8(view);
    d.addRight = QString::fromUtf8(add);
    d.modifyRight = QString::fromUtf8(modify);
}

void setRegionCombo(MasterTableDef& d) {
    d.comboField = QStringLiteral("RID");
    d.comboTable = QStringLiteral("Region");
    d.comboNameField = QStringLiteral("Region");
    d.comboKeyField = QStringLiteral("RID");
    d.comboLabel = QStringLiteral("地区：");
    d.nested = NestedEditor::Region;
    d.nestedCaption = QStringLiteral("添加地区");
}

MasterTableDef product() {
    MasterTableDef d =
        simple(MasterTable::Product, "AddProduct", "编辑产品记录", "产品", "Product", "PID", 6);
    d.fields = {{1, "Name", "名称："}, {2, "SName", "简称："},
                {0, "Code", "代码："}, {3, "Price", "价格：", K::Number},
                {4, "Unit", "单位："}, {5, "Memo", "备注："}};
    d.nameField = QStringLiteral("Name");
    d.duplicateMessage =
        QStringLiteral("已经有同名的产品，请取新的产品名称，或修改原有的产品名称。");
    d.checkNameOnModify = true;
    d.nameRequiredMessage = QStringLiteral("没有产品名称，请取填写产品名称。");
    d.missingMessage = QStringLiteral("该产品不存在！");
    d.comboField = QStringLiteral("CID");
    d.comboTable = QStringLiteral("Class");
    d.comboNameField = QStringLiteral("Class");
    d.comboKeyField = QStringLiteral("CID");
    d.comboLabel = QStringLiteral("类别：");
    d.comboPosition = 0;
    d.comboRequiredMessage = QStringLiteral("未设置产品类别，请选择产品类别。");
    setRights(d, "查看产品设置", "添加产品设置", "修改产品设置");
    d.nested = NestedEditor::Class;
    d.nestedCaption = QStringLiteral("添加类别");
    d.nestedRight = QStringLiteral("添加产品类别");
    d.newCaption = QStringLiteral("新产品");
    d.closeCaption = QStringLiteral("退  出");
    return d;
}

MasterTableDef account() {
    MasterTableDef d =
        simple(MasterTable::Account, "EditAccount", "编辑账号信息", "账号", "Account", "AID", 3);
    d.fields = {{0, "Name", "名称："}, {1, "Account", "账号："}, {2, "Memo", "备注："}};
    d.nameField = QStringLiteral("Name");
    d.duplicateMessage = QStringLiteral("账号名称已存在，请不要重复设置账号");
    d.checkNameOnModify = true;
    d.clearAfterChange = true;
    setRights(d, "查看账号设置", "添加账号设置", "修改账号设置");
    d.listColumns = {{"记录号", 800}, {"名称", 3000}, {"账号", 3000}, {"备注", 5000}};
    return d;
}

MasterTableDef customer() {
    MasterTableDef d =
        simple(MasterTable::Customer, "EditCustomer", "编辑客户信息", "客户", "Customer", "CID", 9);
    d.fields = QList<MasterField>{{0, "Name", "姓名："}} + contactFields("地址：");
    d.nameField = QStringLiteral("Name");
    d.missingMessage = QStringLiteral("该客户不存在！");
    setRegionCombo(d);
    setRights(d, "查看客户设置", "添加客户设置", "修改客户设置");
    d.listColumns = {{"记录号", 800}, {"地区", 1000}, {"姓名", 1000}, {"地址", 3000},
                     {"邮编", 800},   {"电话", 1000}, {"手机", 1000}, {"传真", 1000},
                     {"邮箱", 2000},  {"网址", 2000}, {"备注", 4000}};
    return d;
}

MasterTableDef vender() {
    MasterTableDef d =
        simple(MasterTable::Vender, "EditVender", "编辑供应商信息", "供应商", "Vender", "VID", 10);
    d.fields = QList<MasterField>{{0, "Name", "供应商："}, {9, "LinkMan", "联系人："}} +
               contactFields("地址：");
    d.nameField = QStringLiteral("Name");
    d.missingMessage = QStringLiteral("该供应商不存在！");
    setRegionCombo(d);
    d.nestedRight = QStringLiteral("添加地区");
    setRights(d, "查看供应商设置", "添加供应商设置", "修改供应商设置");
    d.listColumns = {{"记录号", 800}, {"地区", 2000}, {"供应商", 2000}, {"联系人", 2000},
                     {"电话", 2000},  {"手机", 1000}, {"传真", 1000},   {"邮箱", 1000},
                     {"地址", 1000},  {"邮编", 1000}, {"网址", 1000},   {"备注", 3000}};
    return d;
}

MasterTableDef staff() {
    MasterTableDef d =
        simple(MasterTable::Staff, "EditStaff", "编辑操作员信息", "操作员", "Staff", "UID", 12);
    d.fields = QList<MasterField>{{0, "Name", "姓名："}} + contactFields("住址：") +
               QList<MasterField>{{10, "PSD", "密码：", K::Password},
                                  {11, "PSD", "确认密码：", K::Password},
                                  {9, "Right", QString(), K::Hidden}};
    d.nameField = QStringLiteral("Name");
    // One operator per name, whatever the letter case: the login finds names so.
    d.duplicateMessage = QStringLiteral("该操作员名称已经存在，请勿重复设置！");
    d.checkNameOnModify = true;
    d.missingMessage = QStringLiteral("该员工不存在！");
    d.confirmPassword = true;
    setRights(d, "查看人员设置", "添加操作人员", "修改人员设置");
    d.nested = NestedEditor::Rights;
    d.nestedCaption = QStringLiteral("设置权限");
    d.nestedRight = QStringLiteral("修改人员权限");
    d.listColumns = {{"记录号", 800}, {"姓名", 1000}, {"住址", 3000}, {"邮编", 800},
                     {"电话", 1000},  {"手机", 1000}, {"传真", 1000}, {"邮箱", 2000},
                     {"网址", 2000},  {"备注", 4000}};
    return d;
}

MasterTableDef productClass() {
    MasterTableDef d =
        simple(MasterTable::Class, "EditClass", "编辑产品类别信息", "产品类别", "Class", "CID", 2);
    d.fields = {{0, "Class", "类别："}, {1, "Memo", "备注："}};
    d.nameField = QStringLiteral("Class");
    d.duplicateMessage = QStringLiteral("该类别已经存在，请勿重复设置！");
    d.clearAfterChange = true;
    setRights(d, "查看产品类别", "添加产品类别", "修改产品类别");
    d.listColumns = {{"记录号", 800}, {"类别", 3000}, {"备注信息", 6000}};
    return d;
}

MasterTableDef storage() {
    MasterTableDef d =
        simple(MasterTable::Storage, "EditStorage", "编辑仓库信息", "仓库", "Storage", "SID", 2);
    d.fields = {{0, "Name", "仓库名："}, {3, "Address", "仓库地址："}, {1, "Memo", "备注："}};
    d.nameField = QStringLiteral("Name");
    d.duplicateMessage = QStringLiteral("该仓库名称已经存在，请勿重复设置！");
    d.clearAfterChange = true;
    setRights(d, "查看仓库列表", "添加仓库", "修改仓库信息");
    d.listColumns = {{"记录号", 800}, {"仓库名", 3000}, {"仓库地址", 4000}, {"备注信息", 6000}};
    return d;
}

MasterTableDef region() {
    MasterTableDef d =
        simple(MasterTable::Region, "EditRegion", "编辑地区信息", "地区", "Region", "RID", 2);
    d.fields = {{0, "Region", "地区："}, {1, "Memo", "备注："}};
    d.nameField = QStringLiteral("Region");
    d.duplicateMessage = QStringLiteral("该地区已经存在，请勿重复设置！");
    d.clearAfterChange = true;
    setRights(d, "查看地区列表", "添加地区", "修改地区记录");
    d.listColumns = {{"记录号", 800}, {"地区", 3000}, {"备注", 10000}};
    return d;
}

} // namespace

const MasterField* MasterTableDef::field(int box) const {
    for (const MasterField& f : fields) {
        if (f.box == box)
            return &f;
    }
    return nullptr;
}

const MasterField* MasterTableDef::namedBy() const {
    for (const MasterField& f : fields) {
        if (f.field == nameField)
            return &f;
    }
    return nullptr;
}

const QList<MasterTable>& allMasterTables() {
    static const QList<MasterTable> tables = {
        MasterTable::Product, MasterTable::Account, MasterTable::Customer, MasterTable::Vender,
        MasterTable::Staff,   MasterTable::Class,   MasterTable::Storage,  MasterTable::Region};
    return tables;
}

const MasterTableDef& masterTableDef(MasterTable table) {
    static const QList<MasterTableDef> defs = {product(), account(),      customer(), vender(),
                                               staff(),   productClass(), storage(),  region()};
    return defs[static_cast<int>(table)];
}

QString addCaption() {
    return QStringLiteral("添  加");
}

QString modifyCaption() {
    return QStringLiteral("修  改");
}

} // namespace tl
