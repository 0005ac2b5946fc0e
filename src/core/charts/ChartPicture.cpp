#include "core/charts/ChartPicture.h"

#include "core/charts/ChartRenderer.h"
#include "core/data/OpenDatabases.h"
#include "core/grid/Grid.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

namespace tl {

PictureType pictureTypeOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return PictureType::Jpeg;
    if (suffix == QLatin1String("png"))
        return PictureType::Png;
    if (suffix == QLatin1String("pdf"))
        return PictureType::Pdf;
    return PictureType::Unknown;
}

QString withPictureSuffix(const QString& fileName, PictureType chosen) {
    if (fileName.isEmpty() || pictureTypeOf(fileName) != PictureType::Unknown)
        return fileName;
    switch (chosen) {
    case PictureType::Png:
        return fileName + QStringLiteral(".png");
    case PictureType::Pdf:
        return fileName + QStringLiteral(".pdf");
    default:
        return fileName + QStringLiteral(".jpg");
    }
}

QImage chartImage(const Grid& table, const QString& title, const QSize& size, qreal dpr,
                  int border) {
    const QSize device(std::max(1, int(std::lround(size.width() * dpr))),
                       std::max(1, int(std::lround(size.height() * dpr))));
    QImage image(device, QImage::Format_RGB32);
    if (image.isNull())
        return image; // too large to be made
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintChartPicture(painter, table, title, QSizeF(size), border);
    return image;
}

namespace {

bool writePdf(QIODevice& device, const Grid& table, const QString& title, const QSize& size,
              int border) {
    QPdfWriter pdf(&device);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("TradeLedger"));
    // One page the size of the picture at 96 pixels to the inch.
    pdf.setPageSize(QPageSize(QSizeF(size.width() * 0.75, size.height() * 0.75), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    const double toDevice = pdf.resolution() / 96.0;
    painter.scale(toDevice, toDevice);
    paintChartPicture(painter, table, title, QSizeF(size), border);
    return painter.end();
}

} // namespace

bool saveChartPicture(const Grid& table, const QString& title, const QString& fileName,
                      const QSize& size, qreal dpr, int border, QString* error) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (fileName.isEmpty() || size.width() < 1 || size.height() < 1)
        return fail(QStringLiteral("文件名或图片大小无效"));
    if (OpenDatabases::holds(fileName))
        return fail(OpenDatabases::refusal());
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target on commit; it takes over the permissions of a file it replaces.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    bool written = false;
    switch (pictureTypeOf(fileName)) {
    case PictureType::Png:
        written = chartImage(table, title, size, dpr, border).save(&file, "PNG");
        break;
    case PictureType::Pdf:
        written = writePdf(file, table, title, size, border);
        break;
    default:
        written = chartImage(table, title, size, dpr, border).save(&file, "JPG", 80);
        break;
    }
    if (!written) {
        file.cancelWriting();
        return fail(file.errorString().isEmpty() ? QStringLiteral("写入图片失败")
                                                 : file.errorString());
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace tl
