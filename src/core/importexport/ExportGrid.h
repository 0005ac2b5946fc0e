#pragma once

#include <QString>

namespace tl {

class Grid;
class Progress;

// The export command behind a grid's pop-up menu, with every question and
// message through dialogs():
//   "表格中没有数据！" for a grid with no visible cell, before anything else;
//   the save dialog with the types CSV, .xlsx and .xls (cancel ends quietly);
//   a name typed without extension gets the chosen type's extension;
//   "该文件已存在，是否覆盖？" for an existing file (No ends quietly);
//   then writeGridFile: ".csv" as CSV, any other name as an .xlsx workbook;
//   "该文件无法覆盖，请确认该文件没被其他软件打开！" when the existing file
//   cannot be replaced, "文件保存出错！" when writing failed. The grid is
// written as shown, the sheet named after the title. True when a file was
// written; its full name then goes to *writtenPath when given.
bool exportGrid(const Grid& grid, const QString& title, Progress& progress,
                QString* writtenPath = nullptr);

// The types the save dialog offers, joined by ";;", CSV first.
QString exportFileFilter();
// The name with the extension of the chosen type appended when it has none.
QString withExportExtension(const QString& name, const QString& chosenFilter);

} // namespace tl
