#pragma once

#include "core/printing/PrintDocument.h"

#include <QString>

class QWidget;

namespace tl {

// The window side of printing. Each command lays the document out on the
// paper and in the orientation the operator chose last time (kept in the
// settings; A4 at first), the orientation left to the document until the
// operator picks one it did not ask for, and remembers what the operator
// chose in the dialog.

// "打印…": the print dialog, then the pages on the chosen printer.
// False when the operator cancelled (the dialog or the progress window).
bool printDocument(PrintDocument& document, Progress& progress);
// "打印预览…": the preview window, from which the operator may print.
void previewDocument(QWidget* parent, PrintDocument& document, Progress& progress);
// "导出PDF…": the save dialog (PDF files, the name suggested), then the
// file. Returns the file written, empty when cancelled or failed (a failure
// has been shown).
QString exportPdf(PrintDocument& document, const QString& suggestedName, Progress& progress);

// The page setup the next print starts from.
PageSetup savedPageSetup();

} // namespace tl
