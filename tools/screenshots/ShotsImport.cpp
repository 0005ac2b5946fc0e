// The column-mapping dialog over a CSV file and over a worksheet, its columns
// found by the header, the question before an import stores anything, and
// the worksheet chooser.
#include "Shots.h"

#include "core/data/Database.h"
#include "core/support/Progress.h"
#include "gui/importexport/ImportMapDialog.h"
#include "gui/importexport/SheetsDialog.h"
#include "gui/widgets/QtDialogs.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <xlsxwriter.h>

using namespace tl;

SHOTS(80, "importexport") {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("销售记录.csv"));
    QFile f(csv);
    if (f.open(QIODevice::WriteOnly)) {
        f.write("序号,产品,客户,仓库,账号,价格,数量,金额,成本,已付,日期,销售员,备注\r\n"
                "1,中华铅笔 HB,华联超市,一号仓库,工商银行,1.50,200,300.00,,300,2009/3/2,张三,\r\n"
                "2,得力订书机,\"王府井百货, 北京\",一号仓库,工商银行,18.00,12,216.00,,100,"
                "2009/3/2,李四,欠款下月结\r\n"
                "3,晨光中性笔 0.5,学府文具,二号仓库,建设银行,2.20,500,1100.00,,1100,"
                "2009/3/3,张三,\r\n"
                "4,A4 复印纸,华联超市,二号仓库,工商银行,23.50,40,940.00,,0,2009/3/5,王五,"
                "\"整箱\r\n送货上门\"\r\n");
        f.close();
    }
    ImportMapDialog sales(ListedTable::Sales, ctx.db, csv, {}, Progress::silent());
    ctx.save(&sales, QStringLiteral("导入列对应设置（销售，CSV）"));

    // A file whose titles differ from the default columns: the header button
    // finds them, the end line goes to the last line.
    const QString byTitles = dir.filePath(QStringLiteral("网店订单.csv"));
    QFile g(byTitles);
    if (g.open(QIODevice::WriteOnly)) {
        g.write("单据日期,品名,购货单位,数目,单价,实收,经手人,说明\r\n");
        const char* names[] = {"华联超市", "学府文具", "新客户贸易商行"};
        for (int i = 1; i <= 30; ++i)
            g.write(QStringLiteral("2009/4/%1,晨光中性笔 0.5,%2,%3,2.20,%4,张三,\r\n")
                        .arg(i % 28 + 1)
                        .arg(QString::fromUtf8(names[i % 3]))
                        .arg(i * 10)
                        .arg(i * 22)
                        .toUtf8());
        g.close();
    }
    ImportMapDialog titles(ListedTable::Sales, ctx.db, byTitles, {}, Progress::silent());
    titles.headerButton()->click();
    titles.toLastLineButton()->click();
    ctx.save(&titles, QStringLiteral("导入列对应设置（销售，按表头对应）"));

    // What OK asks, from its dry run, before anything is stored.
    ImportRequest request = titles.request();
    request.dryRun = true;
    request.lastLine = 25;
    const QString question = importRecords(ctx.db, request).question(ListedTable::Sales);
    const auto box =
        QtDialogs::confirmBox(question, QStringLiteral("导入"), QStringLiteral("取消"), nullptr);
    ctx.save(box.get(), QStringLiteral("导入前确认"));

    const QString book = dir.filePath(QStringLiteral("客户.xlsx"));
    lxw_workbook* wb = workbook_new(book.toUtf8().constData());
    workbook_add_worksheet(wb, "说明");
    lxw_worksheet* ws = workbook_add_worksheet(wb, "客户名单");
    workbook_add_worksheet(wb, "2009年新客户");
    const char* rows[][6] = {
        {"序号", "地区", "姓名", "地址", "邮编", "电话"},
        {"1", "华北", "华联超市", "北京市海淀区中关村大街 1 号", "100080", "010-62551234"},
        {"2", "华东", "学府文具", "上海市徐汇区漕溪北路 88 号", "200030", "021-64871234"},
        {"3", "华南", "O'Brien 贸易", "广州市天河区体育西路 9 号", "510620", "020-38881234"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            worksheet_write_string(ws, r, c, rows[r][c], nullptr);
    workbook_close(wb);
    ImportMapDialog customers(ListedTable::Customers, ctx.db, book, QStringLiteral("客户名单"),
                              Progress::silent());
    ctx.save(&customers, QStringLiteral("导入列对应设置（客户，工作表）"));

    SheetsDialog chooser(
        {QStringLiteral("说明"), QStringLiteral("客户名单"), QStringLiteral("2009年新客户")});
    chooser.toggleRow(2);
    ctx.save(&chooser, QStringLiteral("选择XLS表格"));
}
