#include "core/lists/RecordGrid.h"

namespace tl {

const RecordLayout& productLayout() {
    static const RecordLayout layout{
        QStringLiteral("Product"),
        {"PID", "", "CID:Class:CID:Class", "SName", "Name", "Code", "Price", "Unit", "Memo"},
        {"记录号", "序号", "类别", "简称", "名称", "代码", "价格", "单位", "备注"}};
    return layout;
}

const RecordLayout& saleLayout() {
    static const RecordLayout layout{
        QStringLiteral("Sale"),
        {"ID", "", "PID:Product:PID:Name", "CID:Customer:CID:Name", "SID:Storage:SID:Name",
         "AID:Account:AID:Name", "Price", "Num", "PID:Product:PID:Unit", "Price*Num AS Sm", "Pay",
         "Dat", "UID:Staff:UID:Name", "Memo"},
        {"记录号", "序号", "产品名", "客户名", "来源库", "收款账号", "价格", "数量", "单位", "总额",
         "已付", "日期", "销售员", "备注"}};
    return layout;
}

const RecordLayout& purchaseLayout() {
    static const RecordLayout layout{QStringLiteral("Buy"),
                                     {"ID", "", "PID:Product:PID:Name", "VID:Vender:VID:Name",
                                      "AID:Account:AID:Name", "SID:Storage:SID:Name", "Price",
                                      "Num", "Price*Num AS 总额", "Pay", "Dat", "Memo"},
                                     {"记录号", "", "产品", "供应商", "付款账号", "收货仓库",
                                      "价格", "数量", "总额", "已付", "日期", "备注"}};
    return layout;
}

const RecordLayout& transferLayout() {
    static const RecordLayout layout{
        QStringLiteral("Adjust"),
        {"ID", "", "PID:Product:PID:Name", "OID:Storage:SID:Name", "IID:Storage:SID:Name", "Num",
         "Dat", "Memo"},
        {"记录号", "", "产品名", "来源库", "目的库", "数量", "日期", "备注"}};
    return layout;
}

} // namespace tl
