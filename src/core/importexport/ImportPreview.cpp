#include "core/importexport/ImportPreview.h"

#include "core/data/OpenDatabases.h"
#include "core/grid/Grid.h"
#include "core/importexport/CsvReader.h"
#include "core/importexport/Workbook.h"
#include "core/importexport/XlsProtocol.h"

namespace tl {

namespace {
constexpr int kRows = 11;
constexpr int kCols = 21;
} // namespace

QString workbookErrorMessage(int code) {
    switch (code) {
    case int(Workbook::Error::CannotOpen):
        return QStringLiteral("无法打开Excel文件，请检查后重新输入文件名及路径！");
    case int(Workbook::Error::NoSuchSheet):
        return QStringLiteral("输入表格名称有误，无法打开表格，请重新输入！");
    case int(Workbook::Error::NotAWorkbook):
        return QStringLiteral("文件类型不对，请选择Excel文档！");
    case int(Workbook::Error::CellOutOfRange):
        return QStringLiteral("输入表格列号超界，请重新输入！");
    case int(Workbook::Error::Unreadable):
        return QStringLiteral("无法读取该文件（文件可能已损坏）。");
    case int(Workbook::Error::TooLarge):
        return QStringLiteral(
                   "工作簿内容超出读取的限度，无法读取（一张工作表最多%1万个有内容的单元格、"
                   "%2万个字符，共享文字最多%3万条，解压后每个部分最多%4 MB，"
                   "XML最多嵌套%5层）。")
            .arg(Workbook::kMaxCells / 10000)
            .arg(Workbook::kMaxTextChars / 10000)
            .arg(Workbook::kMaxSharedStrings / 10000)
            .arg(Workbook::kMaxPartBytes >> 20)
            .arg(Workbook::kMaxDepth);
    case int(Workbook::Error::NoHelper):
        return QStringLiteral("找不到读取.xls文件的程序%1，请重新安装本程序。")
            .arg(QLatin1String(xls::kHelperName));
    default:
        return QStringLiteral("未知错误，错误号：") + QString::number(code) +
               QStringLiteral("　请检查输入值！");
    }
}

QString unsupportedFileMessage() {
    return QStringLiteral("您选择的文件格式不支持导入，请选择CSV或XLS文件！");
}

QString notTextFileMessage() {
    return QStringLiteral("文件不是文本文件，无法导入。");
}

void resetImportPreview(Grid& grid) {
    grid.beginUpdate();
    grid.reset(kRows, kCols, 1, 1);
    grid.setColWidth(0, 450); // wide enough for "10"
    for (int i = 1; i < kRows; ++i)
        grid.setText(i, 0, QString::number(i));
    for (int j = 1; j < kCols; ++j)
        grid.setText(0, j, QString(QChar(64 + j)));
    for (int j = 0; j < kCols; ++j)
        grid.setCellAlignment(0, j, Qt::AlignCenter);
    grid.setCurrent(0, 0); // a preview has no chosen row
    grid.endUpdate();
}

QString fillImportPreview(Grid& grid, const QString& path, const QString& sheet,
                          EncodingChoice choice, QString* encoding) {
    resetImportPreview(grid);
    if (OpenDatabases::holds(path))
        return OpenDatabases::refusal();
    if (readsAsCsv(path)) {
        CsvReader reader;
        if (!reader.open(path, choice))
            return {}; // the import says so
        if (encoding)
            *encoding = encodingText(reader.encoding(), reader.detected());
        if (!reader.isText())
            return notTextFileMessage();
        csvToGrid(grid, reader);
        return {};
    }
    if (!Workbook::isWorkbookPath(path))
        return unsupportedFileMessage();
    int code = 0;
    std::unique_ptr<Workbook> book = Workbook::open(path, &code);
    if (!book)
        return workbookErrorMessage(code);
    SheetCells cells;
    if (!book->readSheet(sheet, cells, &code, kRows - 1, kCols - 1))
        return workbookErrorMessage(code);
    grid.beginUpdate();
    for (int i = 1; i < kRows; ++i)
        for (int j = 1; j < kCols; ++j)
            grid.setText(i, j, cells.text(i, j));
    grid.endUpdate();
    return {};
}

} // namespace tl
