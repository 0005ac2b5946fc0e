#include "core/grid/Grid.h"
#include "gui/mainwindow/EntryOpeners.h"
#include "gui/mainwindow/MainCommands.h"
#include "gui/widgets/AppStyle.h"
#include "gui/widgets/SystemBoxes.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace tl;
using Fixture = test::MainWindowFixture;

class TestWindowLook : public QObject {
    Q_OBJECT
private slots:
    void qtTextsAreChineseAndTitlesFit();
    void fileDialogColumnsFitTheirTexts();
    void mainWindowOpensOnScreenAndRemembersItsPlace();
    void reloadAfterAnEditorKeepsThePlace();
    void columnsFollowTheWidth();

private:
    test::ProgramSettings m_settings;
};

void TestWindowLook::qtTextsAreChineseAndTitlesFit() {
    QVERIFY(installQtTranslations(*qApp));
    const auto box = makeMessageBox(nullptr, QMessageBox::Question, QStringLiteral("删除？"),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    QVERIFY(box->button(QMessageBox::Yes)->text().startsWith(QStringLiteral("是")));
    box->show();
    QVERIFY(box->width() > box->fontMetrics().horizontalAdvance(programTitle()) + 100);
}

void TestWindowLook::fileDialogColumnsFitTheirTexts() {
    QTemporaryDir folder;
    const QString longName =
        QStringLiteral("二〇〇九年第一季度全部门销售与采购记录汇总（定稿）.csv");
    QVERIFY(QFile(folder.filePath(longName)).open(QIODevice::WriteOnly));
    QFileDialog dialog(nullptr, QStringLiteral("导入"), folder.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    bool fitted = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* tree = dialog.findChild<QTreeView*>();
        if (!tree || tree->model()->rowCount(tree->rootIndex()) == 0)
            return;
        // Every column as wide as its texts and caption (name, size, type, date).
        const QAbstractItemModel* model = tree->model();
        for (int c = 0; c < tree->header()->count(); ++c) {
            int need = tree->header()->sectionSizeHint(c);
            for (int r = 0; r < model->rowCount(tree->rootIndex()); ++r) {
                const QString text = model->index(r, c, tree->rootIndex()).data().toString();
                need = std::max(need, tree->fontMetrics().horizontalAdvance(text));
            }
            if (!tree->isColumnHidden(c) && tree->columnWidth(c) < need)
                return;
        }
        fitted = true;
        dialog.reject();
    });
    poll.start(20);
    QTimer::singleShot(5000, &dialog, &QDialog::reject);
    QCOMPARE(runFileDialog(dialog), QString());
    QVERIFY(fitted);
}

void TestWindowLook::mainWindowOpensOnScreenAndRemembersItsPlace() {
    Fixture f;
    f.open();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const QRect area = f.window->screen()->availableGeometry();
    QVERIFY2(area.contains(f.window->geometry()), "opens inside the available area");

    f.window->resize(640, 480);
    f.window->move(area.topLeft() + QPoint(30, 40));
    const QRect placed = f.window->geometry();
    f.window->close();
    f.open();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QCOMPARE(f.window->geometry(), placed);
}

void TestWindowLook::reloadAfterAnEditorKeepsThePlace() {
    Fixture f;
    f.addSales(80);
    f.open();
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    Grid& grid = f.window->grid();
    grid.setTopRow(40);
    grid.setCurrent(45, 3);
    const QString key = grid.text(45, 0);
    // Presses add (0) or modify (1) with an entry window that runs `sql`.
    const auto press = [&f](int button, const char* sql) {
        EntryOpeners::install(EntryKind::Sale,
                              [sql](QWidget*, Session&, const Database& db, std::optional<qint64>) {
                                  db.exec(sql);
                                  return true;
                              });
        f.window->updateEntryButtons();
        f.window->tabs()->button({Bank::Trade, button})->click();
        EntryOpeners::install(EntryKind::Sale, {});
    };
    press(0, "INSERT INTO Sale (PID, CID, SID, AID, UID, Num, Dat) "
             "VALUES (1, 1, 1, 1, 1, 9, '2001-01-01')");
    // The record added is shown; after a modify the same record stays current
    // (here a record above it went meanwhile) and the view where it was.
    QCOMPARE(grid.text(grid.row(), 0), QString::number(81));
    grid.setTopRow(40);
    grid.setCurrent(45, 3);
    press(1, "DELETE FROM Sale WHERE ID=1");
    QCOMPARE(grid.text(grid.row(), 0), key);
    QCOMPARE(grid.topRow(), 40);
}

void TestWindowLook::columnsFollowTheWidth() {
    Fixture f;
    f.addSales(3);
    f.open();
    f.window->resize(900, 600);
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    const Grid& grid = f.window->grid();
    auto total = [&grid] {
        int twips = 0;
        for (int c = 0; c < grid.cols(); ++c)
            twips += grid.colWidth(c);
        return twips;
    };
    const int before = total();
    f.window->resize(1300, 600);
    // The columns fill the wider view once the resizing has settled.
    QTRY_VERIFY(total() > before + 300 * 15);
}

QTEST_MAIN(TestWindowLook)
#include "TestWindowLook.moc"
