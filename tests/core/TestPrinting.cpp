#include "core/data/OpenDatabases.h"
#include "core/grid/Grid.h"
#include "core/printing/GridDocument.h"
#include "core/printing/PdfFile.h"
#include "core/statistics/TradeReports.h"
#include "core/support/Clock.h"
#include "core/support/Progress.h"
#include "support/TestAccountSet.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tl;

// The printed form of grids: where pages break, what repeats on each, the
// heading and footer, and a whole report read back from its PDF.

namespace {

// Cells "r,c"; rows and columns of the default size.
void fill(Grid& g, int rows, int cols, int fixedRows, int fixedCols) {
    g.reset(rows, cols, fixedRows, fixedCols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g.setText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
}

const PrintHeading kHeading{QStringLiteral("销 售"),
                            {},
                            QStringLiteral("示例套帐"),
                            QStringLiteral("admin"),
                            QDateTime(QDate(2024, 4, 2), QTime(9, 5))};

// The operator's 取消, pressed once the given number of steps is done.
class CancelAfter : public Progress {
public:
    explicit CancelAfter(int steps) : m_left(steps) {}
    void show(const QString&, int) override {}
    void step(int) override { --m_left; }
    void advance(int) override {}
    void close() override {}
    bool cancelled() const override { return m_left <= 0; }

private:
    int m_left;
};

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

} // namespace

class TestPrinting : public QObject {
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
        CancelAfter stop(1);
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

    void rowsFillEachPageUnderTheCaptions() {
        Grid g;
        fill(g, 203, 4, 3, 1);
        g.setRowHeight(0, 0); // a hidden caption row
        g.setRowHeight(50, 0);
        g.setRowHeight(60, 900);
        GridDocument doc(g, kHeading);
        const QSizeF area(400, 300);
        const int pages = doc.paginate(area, Progress::silent());
        QVERIFY(pages > 2);
        QCOMPARE(doc.scale(), 1.0);
        const double room =
            pageframe::body(area, kHeading).height() * 20 - g.rowHeight(1) - g.rowHeight(2);
        QList<int> body, expected;
        for (int i = 0; i < pages; ++i) {
            const QList<int> rows = doc.rowsOf(i);
            QCOMPARE(rows.first(2), (QList<int>{1, 2})); // on every page, the hidden one left out
            QCOMPARE(doc.colsOf(i), (QList<int>{0, 1, 2, 3}));
            int used = 0;
            for (int r : rows.mid(2))
                used += g.rowHeight(r);
            QVERIFY(used <= room);
            if (i + 1 < pages)
                QVERIFY(used + g.rowHeight(doc.rowsOf(i + 1).at(2)) > room); // no room wasted
            body += rows.mid(2);
        }
        for (int r = 3; r < 203; ++r)
            if (r != 50)
                expected << r;
        QCOMPARE(body, expected);

        fill(g, 5000, 2, 1, 0);
        CancelAfter cancelled(0);
        QCOMPARE(GridDocument(g, kHeading).paginate(area, cancelled), 0);
    }

    void wideGridsShrinkThenSplit_data() {
        QTest::addColumn<double>("width"); // the grid's, in areas
        QTest::addColumn<double>("scale");
        QTest::newRow("fits") << 0.9 << 1.0;
        QTest::newRow("shrinks") << 1.25 << 0.8;
        QTest::newRow("split at the floor") << 3.0 << GridDocument::kMinScale;
    }
    void wideGridsShrinkThenSplit() {
        QFETCH(double, width);
        QFETCH(double, scale);
        Grid g;
        fill(g, 80, 22, 1, 2);
        g.setColWidth(0, 0); // a hidden frozen column
        g.setColWidth(5, 0);
        const double points = 20 * Grid::kDefaultColWidth / 20.0; // 20 columns show
        const QSizeF area(points / width, 400);
        GridDocument doc(g, kHeading);
        QCOMPARE(doc.preferredOrientation(area),
                 width > 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
        const int pages = doc.paginate(area, Progress::silent());
        QVERIFY(qFuzzyCompare(doc.scale(), scale));
        const bool split = width * GridDocument::kMinScale > 1;
        QCOMPARE(doc.colsOf(pages - 1) != doc.colsOf(0), split);
        QCOMPARE(doc.colsOf(1), doc.colsOf(0)); // down first, then across
        QList<int> across, expected;
        for (int i = 0; i < pages; ++i) {
            const QList<int> cols = doc.colsOf(i);
            QCOMPARE(cols.first(), 1);
            if (doc.rowsOf(i) == doc.rowsOf(0))
                across += cols.mid(1);
            double used = 0;
            for (int c : cols)
                used += g.colWidth(c) * doc.scale() / 20;
            QVERIFY(used <= area.width() + 1e-6);
        }
        for (int c = 2; c < 22; ++c)
            if (c != 5)
                expected << c;
        QCOMPARE(across, expected);
    }

    void headingAndFooterTexts() {
        Clock::setToday(QDate(2024, 4, 2));
        const PrintHeading h =
            PrintHeading::now(QStringLiteral("销售盘点"),
                              PrintHeading::periodText(QDate(2024, 3, 1), QDate(2024, 3, 31)),
                              QStringLiteral("/账/三月.账.lbk"), QStringLiteral("张三"));
        Clock::setToday(QDate());
        QCOMPARE(h.periodLine(), QStringLiteral("统计期间：2024-03-01 至 2024-03-31"));
        QCOMPARE(h.footerText(),
                 QStringLiteral("套帐：三月.账　操作员：张三　打印时间：2024-04-02 ") +
                     h.printedAt.toString(QStringLiteral("HH:mm")));
        QCOMPARE(PrintHeading::pageText(3, 12), QStringLiteral("第 3 页 / 共 12 页"));
        QVERIFY(kHeading.periodLine().isEmpty());
    }

    // A 300-line report written to PDF and read back by pdftotext.
    void reportReadsBackFromItsPdf() {
        test::TestAccountSet set;
        Database& db = set.db();
        for (int pid = 1; pid <= 300; ++pid) {
            db.exec("INSERT INTO Product (PID, Name) VALUES (?, ?)",
                    {pid, QStringLiteral("产品%1").arg(pid, 3, 10, QLatin1Char('0'))});
            db.exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat) "
                    "VALUES (?,1,1,1,1,2,3,0,'2009-02-04')",
                    {pid});
        }
        Grid g;
        const QDate from(2009, 2, 1), to(2009, 2, 28);
        QVERIFY(tradeTotals(db, g, TradeSide::Sales, {from, to}));
        PrintHeading heading = kHeading;
        heading.period = PrintHeading::periodText(from, to);
        GridDocument doc(g, heading);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("销售.pdf"));
        QVERIFY(writePdf(doc, pdf, PageSetup(), Progress::silent()).isOk());
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(p.waitForFinished() && p.exitCode() == 0, "pdftotext (poppler-utils) is needed");
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        const int pages = doc.pageCount();
        QVERIFY(pages > 1);
        for (int pid = 1; pid <= 300; ++pid)
            QCOMPARE(text.count(QStringLiteral("产品%1").arg(pid, 3, 10, QLatin1Char('0'))), 1);
        QCOMPARE(text.count(QStringLiteral("产品名称")), pages);
        QCOMPARE(text.count(QStringLiteral("统计期间：2009-02-01 至 2009-02-28")), pages);
        QVERIFY(text.contains(QStringLiteral("第 1 页 / 共 %1 页").arg(pages)));
        // Read back in two lines, the wide blanks narrowed.
        const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]+"));
        QVERIFY(QString(text).remove(blanks).contains(kHeading.footerText().remove(blanks)));
    }
};

QTEST_MAIN(TestPrinting)
#include "TestPrinting.moc"
