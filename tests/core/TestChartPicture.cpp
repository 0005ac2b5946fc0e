#include "charts/ChartPicture.h"
#include "charts/ChartTable.h"
#include "grid/Grid.h"
#include "support/TestTools.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

class TestChartPicture : public QObject {
    Q_OBJECT
private slots:
    void fileNamesAndTypes();
    void writesEachType();
    void replacingKeepsPermissionsAndTakesTheSaveTime();
    void failedSaveLeavesTheOldFile();
};

namespace {

void sampleTable(Grid& g) {
    setupChartTable(g, {"采购", "销售"}, MonthRange(QDate(2008, 1, 1), QDate(2008, 3, 1)));
    g.setText(1, 1, "12");
    g.setText(2, 2, "30.5");
}

} // namespace

void TestChartPicture::fileNamesAndTypes() {
    // A dot in a folder name or an unknown extension is no picture type.
    QCOMPARE(withPictureSuffix("/tmp/a.b/图"), QString("/tmp/a.b/图.jpg"));
    QCOMPARE(withPictureSuffix("/tmp/图.v2", PictureType::Pdf), QString("/tmp/图.v2.pdf"));
    QCOMPARE(withPictureSuffix("/tmp/图.Jpeg", PictureType::Png), QString("/tmp/图.Jpeg"));
}

void TestChartPicture::writesEachType() {
    QTemporaryDir dir;
    Grid g;
    sampleTable(g);
    const QSize size(403, 301); // 403 x 3 bytes: rows need padding in a 24-bit bitmap
    const QString jpg = dir.filePath("图.jpg"), png = dir.filePath("图.png"),
                  pdf = dir.filePath("图.pdf"), other = dir.filePath("图.bmp");
    QVERIFY(saveChartPicture(g, "标题", jpg, size, 1.0, 1));
    QVERIFY(saveChartPicture(g, "标题", png, size, 2.0, 1));
    QVERIFY(saveChartPicture(g, "标题", pdf, size));
    QVERIFY(saveChartPicture(g, "标题", other, size));

    QImageReader jpeg(jpg);
    QCOMPARE(jpeg.format(), QByteArray("jpeg"));
    const QImage fromJpeg = jpeg.read();
    QCOMPARE(fromJpeg.size(), size);
    // Not skewed: the border is grey down the whole left and right edges.
    for (int y = 5; y < size.height() - 5; y += 37) {
        QVERIFY(qAbs(qGray(fromJpeg.pixel(0, y)) - 138) < 24);
        QVERIFY(qAbs(qGray(fromJpeg.pixel(size.width() - 1, y)) - 138) < 24);
    }
    // PNG: exactly the picture the window paints, at twice the pixels.
    const QImage fromPng(png);
    QCOMPARE(fromPng.size(), size * 2);
    QImage painted = chartImage(g, "标题", size, 2.0, 1).convertToFormat(QImage::Format_RGB32);
    painted.setDevicePixelRatio(1);
    QCOMPARE(fromPng.convertToFormat(QImage::Format_RGB32), painted);
    // PDF: the chart as drawing, no embedded raster picture.
    const QByteArray pdfBytes = test::readFile(pdf);
    QVERIFY(pdfBytes.startsWith("%PDF"));
    QVERIFY(!pdfBytes.contains("/Subtype /Image"));
    QCOMPARE(QImageReader(other).format(), QByteArray("jpeg"));  // unknown extension: JPEG
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4); // no temporary left over
}

void TestChartPicture::replacingKeepsPermissionsAndTakesTheSaveTime() {
    QTemporaryDir dir;
    Grid g;
    sampleTable(g);
    const QString path = test::writeFile(dir.filePath("图.jpg"), "old picture");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadWrite));
        old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup);
        old.setFileTime(QDateTime(QDate(2001, 5, 1), QTime(8, 0)),
                        QFileDevice::FileModificationTime);
    }
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    QVERIFY(saveChartPicture(g, "标题", path, QSize(300, 200)));
    const QFileInfo saved(path);
    QCOMPARE(QImageReader(path).format(), QByteArray("jpeg"));
    QCOMPARE(saved.permissions() & 0x7077 /* owner, group and other bits */,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    QVERIFY(saved.lastModified() >= before);
}

void TestChartPicture::failedSaveLeavesTheOldFile() {
    QTemporaryDir dir;
    Grid g;
    sampleTable(g);
    const QString path = test::writeFile(dir.filePath("图.png"), "old picture");
    // A picture too large to be made fails after the temporary file exists.
    QString error;
    QVERIFY(!saveChartPicture(g, "标题", path, QSize(200000, 200000), 1.0, 0, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(test::readFile(path), QByteArray("old picture"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"图.png"}));
    QVERIFY(!saveChartPicture(g, "标题", dir.filePath("无/图.jpg"), QSize(300, 200)));
}

QTEST_MAIN(TestChartPicture)
#include "TestChartPicture.moc"
