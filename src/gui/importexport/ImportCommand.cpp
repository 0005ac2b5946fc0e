#include "gui/importexport/ImportCommand.h"

#include "core/data/OpenDatabases.h"
#include "core/importexport/CsvReader.h"
#include "gui/importexport/ImportMapDialog.h"
#include "gui/importexport/SheetsDialog.h"
#include "gui/widgets/Dialogs.h"

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
