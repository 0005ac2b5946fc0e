#include "core/grid/Grid.h"
#include "core/grid/GridHeader.h"
#include "gui/widgets/GridModel.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/ProgressBar.h"
#include "gui/widgets/ProgressWindow.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace tl;

namespace {

// rows x cols with two fixed rows and columns; cell text "r,c".
void fill(Grid& g, int rows, int cols) {
    g.beginUpdate();
    g.reset(rows, cols, 2, 2);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            g.setText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    }
    g.endUpdate();
}

QPoint cellCenter(QTableView* v, int row, int col) {
    return v->visualRect(v->model()->index(row, col)).center();
}

bool shown(QWidget& w, int width, int height) {
    w.resize(width, height);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// What a real double-click delivers: a click, then the double-click event.
void doubleClick(QTableView* v, const QPoint& pos) {
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, pos);
}

} // namespace

class TestGridView : public QObject {
    Q_OBJECT
private slots:
    void modelFollowsTheGrid();
    void frozenPartsStayInStep();
    void sizesAndHiddenRows();
    void mergedCellsBecomeSpans();
    void selectionFollowsViewAndGrid();
    void doubleClicksAndAGridThatGoesAway();
    void headerPressesSortAndFit();
    void progressWindowAndBar();
};

void TestGridView::modelFollowsTheGrid() {
    Grid g;
    fill(g, 6, 4);
    GridModel model(&g);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    g.setText(4, 3, "新");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.data(model.index(4, 3)).toString(), QString("新"));
    // A text its column cuts off shows whole in the tip.
    g.setColWidth(3, 300);
    g.setText(1, 3, "放不下的名字");
    QCOMPARE(model.data(model.index(1, 3), Qt::ToolTipRole).toString(), QString("放不下的名字"));
    QVERIFY(!model.data(model.index(1, 2), Qt::ToolTipRole).isValid());

    // Fixed cells cannot be selected; data cells can.
    QVERIFY(!(model.flags(model.index(4, 1)) & Qt::ItemIsSelectable));
    QVERIFY(model.flags(model.index(4, 2)) & Qt::ItemIsSelectable);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    g.addRow();
    g.sortRows(2, false);
    QCOMPARE(reset.count(), 2);
    QCOMPARE(model.data(model.index(2, 2)).toString(), QString()); // the added empty row sorts last
}

void TestGridView::frozenPartsStayInStep() {
    Grid g;
    fill(g, 300, 30);
    GridView view(&g);
    QVERIFY(shown(view, 500, 320));

    // Each part shows only its own rows and columns.
    QVERIFY(view.bodyView()->isRowHidden(1) && view.bodyView()->isColumnHidden(1));
    QVERIFY(view.topView()->isColumnHidden(1) && view.leftView()->isRowHidden(1));
    QCOMPARE(view.topView()->x(), view.bodyView()->x());

    view.bodyView()->verticalScrollBar()->setValue(40);
    view.bodyView()->horizontalScrollBar()->setValue(5);
    QCOMPARE(view.leftView()->rowAt(0), 42);
    QCOMPARE(view.topView()->rowAt(0), 0);
    QCOMPARE(view.topView()->columnAt(0), 7);
    QCOMPARE(view.leftView()->columnAt(0), 0);
    QVERIFY(g.topRow() == 42 && g.leftCol() == 7);

    // The grid can ask for a top row; a wheel over the frozen columns scrolls the body.
    g.setTopRow(100);
    QCOMPARE(view.bodyView()->rowAt(0), 100);
    QCOMPARE(view.leftView()->rowAt(0), 100);
    QWheelEvent wheel(QPointF(5, 50), view.leftView()->viewport()->mapToGlobal(QPointF(5, 50)),
                      QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(view.leftView()->viewport(), &wheel);
    QVERIFY(view.bodyView()->rowAt(0) > 100);
    QCOMPARE(view.leftView()->rowAt(0), view.bodyView()->rowAt(0));
    QCOMPARE(g.topRow(), view.bodyView()->rowAt(0));
    QCOMPARE(g.widthTwips(), view.width() * 15);

    // Scrolled to the end, before and after the view grows by part of a row:
    // the last row shows whole and the top row is not cut under the frozen
    // rows, in the body and the frozen columns alike.
    for (int height : {320, 331}) {
        view.resize(500, height);
        QApplication::processEvents();
        QScrollBar* bar = view.bodyView()->verticalScrollBar();
        bar->setValue(bar->maximum());
        for (QTableView* part : {view.bodyView(), view.leftView()}) {
            const int top = part->rowAt(0);
            QCOMPARE(part->rowViewportPosition(top), 0);
            QCOMPARE(top, view.bodyView()->rowAt(0));
            const QRect last =
                part->visualRect(part->model()->index(299, part == view.leftView() ? 0 : 2));
            QVERIFY2(last.bottom() < part->viewport()->height(),
                     qPrintable(QString::number(height)));
        }
    }
}

void TestGridView::sizesAndHiddenRows() {
    Grid g;
    fill(g, 1000, 6);
    g.setRowHeight(0, 0);   // a hidden fixed row
    g.setRowHeight(500, 0); // a hidden data row
    g.setRowHeight(7, 600); // one tall row
    g.setColWidth(3, 0);    // a hidden column
    g.setColWidth(4, 1500); // 100 px
    GridView view(&g);
    QVERIFY(shown(view, 600, 400));
    QVERIFY(view.bodyView()->isRowHidden(500) && view.leftView()->isRowHidden(500));
    QVERIFY(view.bodyView()->isColumnHidden(3) && view.topView()->isColumnHidden(3));
    QCOMPARE(view.topView()->columnWidth(4), 100);
    QCOMPARE(view.leftView()->rowHeight(7), 40);

    // Most rows taller: their height becomes the common one, and a later grid
    // with other sizes undoes what the previous one set.
    g.beginUpdate();
    for (int r = 2; r < g.rows(); ++r)
        g.setRowHeight(r, 255);
    g.setRowHeight(9, 450);
    g.endUpdate();
    QCOMPARE(view.bodyView()->rowHeight(7), 17);
    QCOMPARE(view.bodyView()->rowHeight(9), 30);
    QVERIFY(!view.bodyView()->isRowHidden(500));
    QCOMPARE(view.bodyView()->rowHeight(500), 17);

    g.reset(3, 3, 1, 1);
    QVERIFY(view.bodyView()->isRowHidden(0));
    QCOMPARE(view.bodyView()->rowHeight(2), GridView::toPixels(Grid::kDefaultRowHeight));
    QCOMPARE(GridView::toPixels(1), 1); // a twip never vanishes
}

void TestGridView::mergedCellsBecomeSpans() {
    // Which cells join is the grid's rule (tested with it); the view shows
    // its areas as spans in the part they belong to and follows changes.
    Grid g;
    fill(g, 6, 6);
    g.setText(5, 0, "总计");
    g.setText(5, 1, "总计");
    g.setText(3, 4, "x");
    g.setText(3, 5, "x");
    g.setMergeRow(5, true);
    g.setMergeRow(3, true);
    GridView view(&g);
    QVERIFY(shown(view, 600, 300));
    QCOMPARE(view.leftView()->columnSpan(5, 0), 1); // merging still off
    g.setMergeCells(true);
    QCOMPARE(view.leftView()->columnSpan(5, 0), 2);
    QCOMPARE(view.bodyView()->columnSpan(3, 4), 2);
    // An edited cell breaks its merge.
    g.setText(3, 5, "y");
    QCOMPARE(view.bodyView()->columnSpan(3, 4), 1);
    // A span joins its cells whatever they hold.
    g.addSpan(4, 2, 1, 2);
    QCOMPARE(view.bodyView()->columnSpan(4, 2), 2);
}

void TestGridView::selectionFollowsViewAndGrid() {
    Grid g;
    fill(g, 40, 6);
    GridView view(&g);
    QVERIFY(shown(view, 600, 500));
    QTableView* body = view.bodyView();

    QTest::mouseClick(body->viewport(), Qt::LeftButton, {}, cellCenter(body, 5, 3));
    QTest::mouseClick(body->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCenter(body, 8, 4));
    QVERIFY(g.row() == 5 && g.rowSel() == 8 && g.col() == 2 && g.colSel() == 5);

    // The grid selecting rows shows in the view.
    g.setSelection(12, 1, 10, 5);
    QList<int> rows;
    for (const QModelIndex& i : body->selectionModel()->selectedRows(2))
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    QCOMPARE(rows, QList<int>({10, 11, 12}));
    QCOMPARE(body->currentIndex().row(), 10);
    g.setCurrent(1, 1); // a caption row: nothing selected
    QVERIFY(body->selectionModel()->selectedIndexes().isEmpty());

    // A press in the frozen columns selects the row like a row header.
    QTest::mouseClick(view.leftView()->viewport(), Qt::LeftButton, {},
                      cellCenter(view.leftView(), 6, 1));
    QVERIFY(g.row() == 6 && g.rowSel() == 6);
    QTest::mouseClick(view.leftView()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      cellCenter(view.leftView(), 3, 0));
    QVERIFY(g.row() == 6 && g.rowSel() == 3);
    QCOMPARE(body->selectionModel()->selectedRows(2).size(), 4);

    // Sorting keeps the grid's selection on screen.
    g.setCurrent(4, 2);
    g.sortRows(2, false);
    QCOMPARE(body->currentIndex().row(), 4);
}

void TestGridView::doubleClicksAndAGridThatGoesAway() {
    Grid g;
    fill(g, 10, 5);
    GridView view(&g);
    QVERIFY(shown(view, 500, 300));
    QSignalSpy doubled(&view, &GridView::cellDoubleClicked);
    doubleClick(view.bodyView(), cellCenter(view.bodyView(), 6, 2));
    QCOMPARE(doubled.count(), 1);
    doubleClick(view.topView(), cellCenter(view.topView(), 1, 3));
    QCOMPARE(doubled.count(), 1); // captions are no record
    doubleClick(view.leftView(), cellCenter(view.leftView(), 7, 1));
    QCOMPARE(doubled.count(), 2); // the frozen columns of a record are
    QCOMPARE(doubled.last().at(0).toInt(), 7);

    // A grid that goes away leaves an empty view behind.
    auto* shortLived = new Grid;
    fill(*shortLived, 5, 5);
    view.setGrid(shortLived);
    QCOMPARE(view.model()->rowCount(), 5);
    delete shortLived;
    QCOMPARE(view.model()->rowCount(), 0);
    QVERIFY(!view.grid());
    view.grab();
}

void TestGridView::headerPressesSortAndFit() {
    Grid g;
    fill(g, 12, 30);
    g.setRowHeight(0, 0); // as record grids hide their column-spec row
    GridView view(&g);
    QVERIFY(shown(view, 600, 300));
    connect(&view, &GridView::headerPressed, &g, [&g](int x, int y) {
        gridHeaderClick(g, x, y, [](const QString& t) { return int(t.size()) * 100; });
    });
    // The very first pixel of the first scrollable column sorts that column
    // (y 1: QTest takes a null point for the widget's centre).
    const QRect caption = view.topView()->visualRect(view.model()->index(1, 2));
    QCOMPARE(caption.left(), 0);
    QTest::mousePress(view.topView()->viewport(), Qt::LeftButton, {},
                      caption.topLeft() + QPoint(0, 1));
    QCOMPARE(g.text(1, 2), QString("1,2△"));
    // Scrolled by three columns, the first caption on screen sorts its own column.
    view.bodyView()->horizontalScrollBar()->setValue(3);
    const int first = g.leftCol();
    QCOMPARE(first, 5);
    QTest::mousePress(view.topView()->viewport(), Qt::LeftButton, {},
                      view.topView()->visualRect(view.model()->index(1, first)).topLeft() +
                          QPoint(1, 1));
    QCOMPARE(g.text(1, first), QString("1,%1△").arg(first));
    // The last pixel of the frozen columns fits the widths.
    const QRect corner = view.cornerView()->visualRect(view.model()->index(1, 1));
    QTest::mousePress(view.cornerView()->viewport(), Qt::LeftButton, {}, corner.bottomRight());
    QCOMPARE(g.colWidth(0), 400 + 100);
    QCOMPARE(view.bodyView()->columnWidth(3), GridView::toPixels(g.colWidth(3)));
}

// The status line's part is tested on the main window (TestUserFeedback).
void TestGridView::progressWindowAndBar() {
    ProgressWindow progress;
    progress.show("统计采购记录...", 10);
    QWidget* w = progress.window();
    QVERIFY(w && w->isVisible());
    auto* bar = w->findChild<ProgressBar*>("Pic");
    progress.step(5);
    QCOMPARE(bar->filledWidth(), (bar->width() + 1) / 2);
    progress.advance(3);
    QCOMPARE(progress.position(), 8);
    // Showing again reuses the window and starts from an empty bar.
    progress.show("汇总出入库记录...", 4);
    QCOMPARE(progress.window(), w);
    QCOMPARE(bar->filledWidth(), 0);
    progress.close();
    QVERIFY(!w->isVisible());

    ProgressBar edges;
    edges.resize(200, 18);
    edges.setRange(0);
    edges.setPosition(5);
    QCOMPARE(edges.filledWidth(), 0); // no steps: an empty bar, not a division by zero
    edges.setRange(4);
    edges.setPosition(9);
    QCOMPARE(edges.filledWidth(), 200); // beyond the end: clipped to the area
    edges.setPosition(1);
    QCOMPARE(edges.filledWidth(), 50);
}

QTEST_MAIN(TestGridView)
#include "TestGridView.moc"
