#include "data/OpenDatabases.h"
#include "data/Progress.h"
#include "printing/PdfFile.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

namespace {

// Pages of one line each; remembers what it was asked.
class PagesDocument : public PrintDocument {
public:
    int pages = 3;
    QSizeF area;
    QList<int> painted;
    QString title() const override { return QStringLiteral("页"); }
    QPageLayout::Orientation preferredOrientation(const QSizeF&) const override {
        return QPageLayout::Landscape;
    }
    int paginate(const QSizeF& printable, Progress&) override {
        area = printable;
        return pages;
    }
    void paintPage(QPainter& painter, int index) override {
        painted << index;
        painter.drawText(QPointF(10, 20), QStringLiteral("第%1页").arg(index + 1));
    }
};

// Asks to stop once the first page is painted.
class StoppingProgress : public Progress {
public:
    int steps = 0;
    void show(const QString&, int) override {}
    void step(int) override { ++steps; }
    void advance(int) override {}
    void close() override {}
    bool cancelled() const override { return steps > 0; }
};

} // namespace

class TestPrintDocument : public QObject {
    Q_OBJECT
private slots:
    void pdfPagesOrientationAndRefusals() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.PDF"));
        QVERIFY(isPdfName(file));
        QVERIFY(!isPdfName(dir.filePath(QStringLiteral("a.pdf.csv"))));

        // The document's orientation when none is chosen, the chosen one otherwise.
        PagesDocument doc;
        PageSetup setup;
        QVERIFY(writePdf(doc, file, setup, Progress::silent()));
        QCOMPARE(doc.painted, (QList<int>{0, 1, 2}));
        QVERIFY(doc.area.width() > doc.area.height());
        setup.orientation = QPageLayout::Portrait;
        QVERIFY(writePdf(doc, file, setup, Progress::silent()));
        QVERIFY(doc.area.width() < doc.area.height());
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray written = pdf.readAll();
        QVERIFY(written.startsWith("%PDF"));
        QCOMPARE(written.count("/Type /Page\n") + written.count("/Type /Page\r"), 3);
        pdf.close();

        // Cancelled after the first page: refused without a message, the
        // file written before untouched, no temporary file left beside it.
        doc.painted.clear();
        StoppingProgress stop;
        const Outcome cancelled = writePdf(doc, file, setup, stop);
        QCOMPARE(cancelled.kind, Outcome::Kind::Refused);
        QVERIFY(cancelled.message.isEmpty());
        QCOMPARE(doc.painted, QList<int>{0});
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.readAll(), written);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.PDF")});

        // A page range paints only its pages.
        QPdfWriter device(dir.filePath(QStringLiteral("b.pdf")));
        doc.painted.clear();
        QCOMPARE(paintDocument(doc, device, Progress::silent(), 2, 9), 2);
        QCOMPARE(doc.painted, (QList<int>{1, 2}));

        // Never over an open account set or its companions.
        const QString held = dir.filePath(QStringLiteral("set.lbk"));
        OpenDatabases::add(held);
        const Outcome refused =
            writePdf(doc, held + QStringLiteral("-wal"), setup, Progress::silent());
        OpenDatabases::remove(held);
        QCOMPARE(refused.message, OpenDatabases::refusal());
    }
};

QTEST_MAIN(TestPrintDocument)
#include "TestPrintDocument.moc"
