// Draws the PNG sizes of the program's icon from its SVG, which holds only
// <rect> elements (x, y, width, height, rx, fill, stroke, stroke-width), so
// no SVG library is needed. Run by hand after changing the SVG:
//   ninja -C build tl_render_icon
//   build/bin/tl_render_icon packaging/icons/org.tradeledger.TradeLedger.svg
//   packaging/icons/hicolor
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QXmlStreamReader>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tl_render_icon ICON.svg HICOLOR-FOLDER\n");
        return 2;
    }
    QFile svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QString name = QFileInfo(svg.fileName()).completeBaseName();
    const QByteArray source = svg.readAll();
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 256.0, size / 256.0);
        QXmlStreamReader xml(source);
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement ||
                xml.name() != QLatin1String("rect"))
                continue;
            const auto a = xml.attributes();
            const auto num = [&](const char* key) {
                return a.value(QLatin1String(key)).toDouble();
            };
            QPainterPath path;
            path.addRoundedRect(num("x"), num("y"), num("width"), num("height"), num("rx"),
                                num("rx"));
            painter.fillPath(path, QColor(a.value(QLatin1String("fill")).toString()));
            if (a.hasAttribute(QLatin1String("stroke")))
                painter.strokePath(path, QPen(QColor(a.value(QLatin1String("stroke")).toString()),
                                              num("stroke-width")));
        }
        painter.end();
        const QString dir =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QDir().mkpath(dir);
        if (!image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
