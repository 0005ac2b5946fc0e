#pragma once

#include <QString>

namespace tl {

class Grid;
class Progress;

// The export command behind a grid's pop-up menu, asking and telling through
// dialogs():
//   "表格中没有数据！" for a grid with no visible cell, before anything else;
//   the save dialog with the types CSV, .xlsx and .xls (cancel ends quietly);
//   a name typed without extension gets the chosen type's extension;
//   the refusal of an open account set, before any question;
//   "该文件已存在，是否覆盖？" for an existing file (No ends quietly);
//   then writeGridFile, and the message of a status other than Written.
// The grid is written as shown, the sheet named after the title. True when a
// file was written; its full name then goes to *writtenPath when given.
bool exportGrid(const Grid& grid, const QString& title, Progress& progress,
                QString* writtenPath = nullptr);

} // namespace tl
