#include "core/importexport/ExportFileTypes.h"

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

QString csvExportType() {
    return kCsvType;
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

} // namespace tl
