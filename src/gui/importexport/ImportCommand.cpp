#include "importexport/ImportCommand.h"

#include "data/OpenDatabases.h"
#include "importexport/CsvReader.h"
#include "importexport/ImportMapDialog.h"
#include "importexport/SheetsDialog.h"
#include "widgets/Dialogs.h"

namespace tl {

bool runImportCommand(QWidget* owner, const Database& db, ListedTable table, Progress& progress) {
    const QString path = dialogs().openFileName(
        QStringLiteral("选择要导入的文件"),
        QStringLiteral("CSV (逗号分隔)(*.csv);;Excel 工作簿 (*.xlsx *.xls);;所有文件 (*)"));
    if (path.isEmpty())
        return false;
    if (OpenDatabases::holds(path)) {
        dialogs().info(OpenDatabases::refusal());
        return false;
    }
    QString sheet;
    if (!readsAsCsv(path))
        sheet = chooseSheet(owner, path);
    ImportMapDialog dialog(table, db, path, sheet, progress, owner);
    dialog.exec();
    return true;
}

} // namespace tl
