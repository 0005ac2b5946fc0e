#include "importexport/ImportCommand.h"

#include "data/Dialogs.h"
#include "importexport/CsvReader.h"
#include "importexport/ImportMapDialog.h"
#include "importexport/SheetsDialog.h"
#include "mainwindow/MainCommands.h"

namespace tl {

std::optional<ImportTable> importTableOfTab(int tab, int subTab) {
    switch (tab) {
    case SalesTab:
        return ImportTable::Sales;
    case PurchasesTab:
        return ImportTable::Purchases;
    case TransfersTab:
        return ImportTable::Transfers;
    case SettingsTab: {
        static const ImportTable pages[] = {ImportTable::Products,   ImportTable::Accounts,
                                            ImportTable::Customers,  ImportTable::Suppliers,
                                            ImportTable::Staff,      ImportTable::Classes,
                                            ImportTable::Warehouses, ImportTable::Regions};
        if (subTab >= 0 && subTab < 8)
            return pages[subTab];
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

bool runImportCommand(QWidget* owner, const Database& db, ImportTable table, Progress& progress) {
    const QString path = dialogs().openFileName(
        QStringLiteral("选择要导入的文件"),
        QStringLiteral("CSV (逗号分隔)(*.csv);;Excel 工作簿 (*.xlsx *.xls);;所有文件 (*)"));
    if (path.isEmpty())
        return false;
    QString sheet;
    if (!readsAsCsv(path))
        sheet = chooseSheet(owner, path);
    ImportMapDialog dialog(table, db, path, sheet, progress, owner);
    dialog.exec();
    return true;
}

} // namespace tl
