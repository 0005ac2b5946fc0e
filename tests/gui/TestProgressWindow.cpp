#include "widgets/ProgressBar.h"
#include "widgets/ProgressWindow.h"

#include <QLabel>
#include <QTest>

using namespace tl;

class TestProgressWindow : public QObject {
    Q_OBJECT
private slots:
    void showStepClose();
    void barEdges();
};

void TestProgressWindow::showStepClose() {
    ProgressWindow progress;
    QLabel status;
    progress.setStatusLabel(&status);

    progress.show("统计采购记录...", 10);
    QWidget* w = progress.window();
    QVERIFY(w && w->isVisible());
    QCOMPARE(status.text(), QString("统计采购记录..."));
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
    QCOMPARE(status.text(), QString());
    progress.close(); // closing a closed display is harmless
}

void TestProgressWindow::barEdges() {
    ProgressBar bar;
    bar.resize(200, 18);
    bar.setRange(0);
    bar.setPosition(5);
    QCOMPARE(bar.filledWidth(), 0); // no steps: an empty bar, not a division by zero
    bar.setRange(4);
    bar.setPosition(9);
    QCOMPARE(bar.filledWidth(), 200); // beyond the end: clipped to the area
    bar.setPosition(1);
    QCOMPARE(bar.filledWidth(), 50);
}

QTEST_MAIN(TestProgressWindow)
#include "TestProgressWindow.moc"
