#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace tl {

class Grid;

// Chart pictures: the chart of a chart table drawn into an image, or written
// to a JPEG (quality 80), PNG or PDF file (vector drawing). Needs a
// QGuiApplication (fonts), no widget.

enum class PictureType { Jpeg, Png, Pdf, Unknown };

// The type a file name asks for by its extension, in any case: .jpg/.jpeg,
// .png, .pdf; anything else is Unknown.
PictureType pictureTypeOf(const QString& fileName);

// The name the save dialog's choice is written to: a name whose extension is
// no picture type gets the chosen type's extension appended (".jpg" unless
// the operator chose PNG or PDF); "图.JPG" is kept as it is.
QString withPictureSuffix(const QString& fileName, PictureType chosen = PictureType::Jpeg);

// The chart (every data row of the table) in an image of size x dpr pixels,
// laid out for size logical pixels, with a grey border of border pixels when
// border > 0 (the chart's frame on screen).
QImage chartImage(const Grid& table, const QString& title, const QSize& size, qreal dpr = 1.0,
                  int border = 0);

// Writes the chart picture of the given size in pixels to a file of the type
// its name asks for (Unknown: JPEG). The file is written beside the target
// under a temporary name and renamed over it only when complete: when writing
// fails, an existing file stays as it was. A replaced file's permission bits
// carry over to the new one; its modification time is that of the save.
// False when the file could not be written, with the reason in *error.
bool saveChartPicture(const Grid& table, const QString& title, const QString& fileName,
                      const QSize& size, qreal dpr = 1.0, int border = 0, QString* error = nullptr);

} // namespace tl
