#pragma once

#include "core/printing/PrintDocument.h"
#include "core/support/Outcome.h"

namespace tl {

// True when the name ends in ".pdf", in any case.
bool isPdfName(const QString& fileName);

// Writes the printed form of the document to a PDF file, the pages laid out
// as setup says. The file is written beside the target under a temporary name
// and renamed over it when complete: a cancelled or failed write leaves an
// existing file as it was. Cancelled: refused with an empty message.
Outcome writePdf(PrintDocument& document, const QString& fileName, const PageSetup& setup,
                 Progress& progress);

} // namespace tl
