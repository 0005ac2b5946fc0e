#include "core/charts/ChartRenderer.h"
#include "core/grid/Grid.h"
#include "gui/charts/ChartPages.h"
#include "gui/charts/ChartView.h"
#include "gui/widgets/GridView.h"
#include "support/MainWindowFixture.h"
#include "support/TestTools.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImageReader>
#include <QMenu>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using namespace tl;

class TestChartPage : public QObject {
    Q_OBJECT
private slots:
    void chartCommandsDrawTheirTables();
    void savingAsksBeforeReplacing();
};

namespace {

struct Fixture : test::MainWindowFixture {
    Fixture() {
        Database& db = set.db();
        db.exec("INSERT INTO Product (Name) VALUES ('铅笔'), ('橡皮')");
        db.exec("INSERT INTO Storage (Name) VALUES ('一号库'), ('二号库')");
        db.exec("INSERT INTO Buy (PID, SID, Price, Num, Dat) VALUES "
                "(1, 1, 5, 10, '2008-01-03'), (2, 2, 1, 50, '2008-02-03')");
        db.exec("INSERT INTO Sale (PID, SID, Price, Num, Dat) VALUES "
                "(1, 1, 8, 4, '2008-01-20'), (2, 2, 2, 5, '2008-03-01')");
        open();
        window->resize(1180, 720);
        window->show();
        window->tabs()->setCurrentIndex(ChartsTab);
    }
    void press(int index) { button(Bank::Trade, index)->click(); }
    ChartView* chart(int page) { return window->charts()->chartView(page); }
    // Draws the trend chart of January to March 2008.
    void drawTrend() {
        setDates(10, QDate(2008, 3, 31), QDate(2008, 1, 1));
        press(23);
    }
};

} // namespace

void TestChartPage::chartCommandsDrawTheirTables() {
    Fixture f;
    QComboBox* warehouses = f.tabs().chartList(0);
    // The open list shows whole names, however narrow the box.
    const QAbstractItemView* open = f.tabs().chartList(1)->view();
    QVERIFY(open->minimumWidth() >
            open->fontMetrics().horizontalAdvance(open->model()->index(0, 0).data().toString()));

    f.drawTrend();
    Grid& grid = f.window->grid();
    QVERIFY(f.chart(0)->hasChart());
    QCOMPARE(grid.text(2, 1), QString("50"));
    QCOMPARE(grid.text(3, 2), QString("5"));
    // The table shows beside the chart it belongs to.
    QVERIFY(f.window->charts()->splitter(0)->isAncestorOf(f.window->gridView()));
    // Hovering over a month tells its values.
    const QRectF plot = chart::plotRect(QSizeF(f.chart(0)->size() - QSize(2, 2)) * 15);
    const QPoint over(1 + int((plot.left() + 20 + plot.width() / 2) / 15),
                      int(plot.center().y() / 15));
    QHelpEvent help(QEvent::ToolTip, over, f.chart(0)->mapToGlobal(over));
    QApplication::sendEvent(f.chart(0), &help);
    QCOMPARE(QToolTip::text(), QString("2008.02\n采购：50\n销售：0"));

    // One warehouse and one product, in amounts.
    warehouses->setCurrentIndex(warehouses->findText("二号库", Qt::MatchEndsWith));
    QComboBox* products = f.tabs().chartList(1);
    products->setCurrentIndex(products->findText("橡皮", Qt::MatchEndsWith));
    f.press(24);
    QCOMPARE(grid.text(3, 2), QString("10"));

    // The profit page keeps its own chart; coming back shows the trend table again.
    f.tabs().chartTabs()->setCurrentIndex(1);
    QVERIFY(!grid.isVisible());
    QVERIFY(!f.window->charts()->splitter(1)->widget(1)->isVisible()); // no empty table side
    f.setDates(12, QDate(2008, 1, 1), QDate(2008, 1, 31));
    f.press(28);
    QCOMPARE(grid.text(1, 1), QString("12"));
    f.tabs().chartTabs()->setCurrentIndex(0);
    QVERIFY(grid.isVisible());
    QCOMPARE(grid.text(3, 2), QString("10"));
    QVERIFY(warehouses->currentText().endsWith("二号库")); // the lists were refilled
    QVERIFY(f.dialogs.messages.isEmpty());

    // No sale up to the end of the range: said so, and no stale chart stays.
    f.tabs().chartTabs()->setCurrentIndex(1);
    f.setDates(12, QDate(2007, 1, 1), QDate(2007, 12, 31));
    f.press(28);
    QCOMPARE(f.dialogs.messages, QStringList({"没有销售记录！"}));
    QVERIFY(!f.chart(1)->hasChart());
}

void TestChartPage::savingAsksBeforeReplacing() {
    Fixture f;
    QTemporaryDir dir;
    ChartView* view = f.chart(0);
    QAction* save = view->pictureMenu()->findChild<QAction*>("mSavePic");
    QAction* preview = view->pictureMenu()->findChild<QAction*>("m_PreviewPic");
    QVERIFY(save && !save->isEnabled() && !preview->isEnabled()); // nothing drawn yet
    f.drawTrend();
    save = view->pictureMenu()->findChild<QAction*>("mSavePic"); // the menu is built anew
    QVERIFY(save->isEnabled() && preview->isEnabled());
    preview->trigger(); // the chart on one page
    QCOMPARE(f.dialogs.previewPages, QList<int>{1});

    // Cancelled: nothing saved, nothing said.
    save->trigger();
    QVERIFY(f.dialogs.messages.isEmpty() && f.dialogs.questions.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());

    // No extension: ".jpg" appended; PNG chosen: ".png".
    f.dialogs.nextFileName(dir.filePath("趋势"));
    save->trigger();
    QCOMPARE(QImageReader(dir.filePath("趋势.jpg")).format(), QByteArray("jpeg"));
    f.dialogs.nextFilter("PNG图片文件  (*.png)");
    f.dialogs.nextFileName(dir.filePath("趋势"));
    save->trigger();
    // The picture is the chart as shown, its border included.
    const QImage saved = QImage(dir.filePath("趋势.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved, view->grab().toImage().convertToFormat(QImage::Format_RGB32));
    f.dialogs.nextFilter("PDF文件  (*.pdf)");
    f.dialogs.nextFileName(dir.filePath("趋势"));
    save->trigger();
    QVERIFY(test::readFile(dir.filePath("趋势.pdf")).startsWith("%PDF"));

    // An existing file: asked first; No leaves it as it was, Yes replaces it.
    const QString existing = test::writeFile(dir.filePath("旧.JPG"), "old");
    f.dialogs.nextFileName(existing);
    f.dialogs.answer(false);
    save->trigger();
    QCOMPARE(f.dialogs.questions.size(), 1);
    QCOMPARE(QFileInfo(existing).size(), 3);
    f.dialogs.nextFileName(existing);
    f.dialogs.answer(true);
    save->trigger();
    QCOMPARE(QImageReader(existing).format(), QByteArray("jpeg"));
    QVERIFY(f.dialogs.messages.isEmpty());

    // A file that cannot be written.
    f.dialogs.nextFileName(dir.filePath("没有的文件夹/图.jpg"));
    save->trigger();
    QCOMPARE(f.dialogs.messages, QStringList({"保存图片出错！"}));
}

QTEST_MAIN(TestChartPage)
#include "TestChartPage.moc"
