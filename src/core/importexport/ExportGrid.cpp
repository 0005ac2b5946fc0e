#include "importexport/ExportGrid.h"

#include "data/Dialogs.h"
#include "data/OpenDatabases.h"
#include "importexport/GridExport.h"

#include <QFileInfo>

namespace tl {

namespace {

const QString kCsvType = QStringLiteral("CSV (逗号分隔)(*.csv)");
const QString kXlsxType = QStringLiteral("Excel 工作簿 (*.xlsx)");
const QString kXlsType = QStringLiteral("MS Excel文件  (*.xls)");

} // namespace

QString exportFileFilter() {
    return QStringList{kCsvType, kXlsxType, kXlsType}.join(QStringLiteral(";;"));
}

QString withExportExtension(const QString& name, const QString& chosenFilter) {
    if (!QFileInfo(name).suffix().isEmpty())
        return name;
    QString extension = QStringLiteral(".csv");
    if (chosenFilter.contains(QLatin1String("*.xlsx")))
        extension = QStringLiteral(".xlsx");
    else if (chosenFilter.contains(QLatin1String("*.xls")))
        extension = QStringLiteral(".xls");
    return name.endsWith(u'.') ? name + extension.mid(1) : name + extension;
}

bool exportGrid(const Grid& grid, const QString& title, Progress& progress, QString* writtenPath) {
    if (visibleRows(grid).empty() || visibleColumns(grid).empty()) {
        dialogs().info(QStringLiteral("表格中没有数据！"));
        return false;
    }
    QString chosen = kCsvType;
    const QString name =
        dialogs().saveFileName(QStringLiteral("导出表格"), exportFileFilter(), &chosen);
    if (name.trimmed().isEmpty())
        return false;
    const QString path = withExportExtension(name, chosen);
    if (OpenDatabases::holds(path)) {
        dialogs().info(OpenDatabases::refusal());
        return false;
    }
    if (QFileInfo::exists(path) && !dialogs().question(QStringLiteral("该文件已存在，是否覆盖？")))
        return false;

    switch (writeGridFile(grid, path, title, progress)) {
    case ExportStatus::Written:
        if (writtenPath)
            *writtenPath = QFileInfo(path).absoluteFilePath();
        return true;
    case ExportStatus::Empty:
        dialogs().info(QStringLiteral("表格中没有数据！"));
        break;
    case ExportStatus::CannotReplace:
        dialogs().info(QStringLiteral("该文件无法覆盖，请确认该文件没被其他软件打开！"));
        break;
    case ExportStatus::WriteFailed:
        dialogs().info(QStringLiteral("文件保存出错！"));
        break;
    case ExportStatus::OpenDatabase:
        dialogs().info(OpenDatabases::refusal());
        break;
    }
    return false;
}

} // namespace tl
