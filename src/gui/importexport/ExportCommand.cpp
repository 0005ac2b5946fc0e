#include "gui/importexport/ExportCommand.h"

#include "core/data/OpenDatabases.h"
#include "core/importexport/ExportFileTypes.h"
#include "core/importexport/GridExport.h"
#include "gui/widgets/Dialogs.h"

#include <QFileInfo>

namespace tl {

bool exportGrid(const Grid& grid, const QString& title, Progress& progress, QString* writtenPath) {
    if (visibleRows(grid).empty() || visibleColumns(grid).empty()) {
        dialogs().info(exportStatusMessage(ExportStatus::Empty));
        return false;
    }
    QString chosen = csvExportType();
    const QString name =
        dialogs().saveFileName(QStringLiteral("导出表格"), exportFileFilter(), &chosen);
    if (name.trimmed().isEmpty())
        return false;
    const QString path = withExportExtension(name, chosen);
    if (!mayWriteChosenFile(path))
        return false;

    const ExportStatus status = writeGridFile(grid, path, title, progress);
    if (status != ExportStatus::Written) {
        dialogs().info(exportStatusMessage(status));
        return false;
    }
    if (writtenPath)
        *writtenPath = QFileInfo(path).absoluteFilePath();
    return true;
}

} // namespace tl
