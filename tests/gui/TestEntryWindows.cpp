#include "core/data/AccountSetFile.h"
#include "core/transactions/StockLedger.h"
#include "gui/transactions/BuyEntryWindow.h"
#include "gui/transactions/PickList.h"
#include "gui/transactions/SaleEntryWindow.h"
#include "gui/transactions/TransferEntryWindow.h"
#include "gui/widgets/BusyNotice.h"
#include "gui/widgets/GridView.h"
#include "support/MainWindowFixture.h"
#include "support/TestTools.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace tl;

namespace {

// Masters used by every test: two warehouses, a product with a price and unit,
// one customer, supplier and account; the preset operator admin is UID 1.
struct Fixture : test::MainWindowFixture {
    const int pencil = 1, eraser = 2, storeA = 1, storeB = 2, customer = 1, supplier = 1,
              account = 1;

    Fixture() {
        for (const char* sql :
             {"INSERT INTO Product (Name, Price, Unit) VALUES ('铅笔', 1.5, '支'), "
              "('橡皮', 0.8, '块')",
              "INSERT INTO Storage (Name) VALUES ('一号库'), ('二号库')",
              "INSERT INTO Customer (Name) VALUES ('张三')",
              "INSERT INTO Vender (Name) VALUES ('文具厂')",
              "INSERT INTO Account (Name) VALUES ('现金')"})
            set.db().exec(QString::fromUtf8(sql));
    }
    int stock(int sid, int pid) { return StockLedger::stockQty(set.db(), sid, pid); }

    // The parts of a form, found by name.
    static PickList* list(QWidget& w, const char* name) { return w.findChild<PickList*>(name); }
    static QLineEdit* box(QWidget& w, const char* name) { return w.findChild<QLineEdit*>(name); }
    static QPushButton* button(QWidget& w, const char* n) { return w.findChild<QPushButton*>(n); }
    static GridView* history(QWidget& w) { return w.findChild<GridView*>("history"); }
    static bool shown(QWidget& w) {
        w.show();
        return QTest::qWaitForWindowActive(&w);
    }

    // Picks a record in a list the way a click does.
    static void pick(PickList* list, int key) {
        for (int i = 0; i < list->count(); ++i) {
            if (list->itemText(i).startsWith(QString::number(key) + QChar(0x2016))) {
                list->setCurrentIndex(i);
                emit list->activated(i);
                return;
            }
        }
        QFAIL("key not in list");
    }
    // Chooses a complete sale (or, with "supplier", purchase) of pencils in warehouse A.
    void choose(QWidget& w, const char* partner = "customer") const {
        pick(list(w, "product"), pencil);
        pick(list(w, partner), QByteArray(partner) == "customer" ? customer : supplier);
        pick(list(w, "account"), account);
        pick(list(w, "storage"), storeA);
    }
    static void type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }
};

} // namespace

class TestEntryWindows : public QObject {
    Q_OBJECT
private slots:
    void saleAddAndModifyOnSamePair();
    void purchaseAndTransferModified();
    void vanishedRecordIsReported();
    void rightsDecideButtonsPickingAndWhatFollowsASave();
    void keysMoveSaveAndJumpInLists();
};

void TestEntryWindows::saleAddAndModifyOnSamePair() {
    Fixture f;
    StockLedger::addStock(f.set.db(), f.storeA, f.pencil, 7);
    SaleEntryWindow w(f.session, f.set.db());
    // A new sale is the logged-in operator's.
    QCOMPARE(f.list(w, "salesperson")->currentText(), QString("1‖admin"));

    f.choose(w);
    // The hints tell price and stock; a quantity above the stock is marked.
    QCOMPARE(w.findChild<QLabel*>("priceHint")->text(), QString("本产品销售参考价为:1.5元"));
    QCOMPARE(f.box(w, "num")->toolTip(), QString("此产品销售数量最大可调至:7支"));
    const QColor plain = f.box(w, "num")->palette().color(QPalette::Base);
    f.type(f.box(w, "price"), "2");
    f.type(f.box(w, "num"), "7.5"); // taken from the stock as 8
    QVERIFY(f.box(w, "num")->palette().color(QPalette::Base) != plain);
    f.type(f.box(w, "num"), "5");
    QCOMPARE(f.box(w, "num")->palette().color(QPalette::Base), plain);
    f.button(w, "saveButton")->click();
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.stock(f.storeA, f.pencil), 2);
    // The values stay for the next entry; the save says what it did.
    QCOMPARE(f.box(w, "num")->text(), QString("5"));
    const QString id = f.set.db().value("SELECT ID FROM Sale").toString();
    QCOMPARE(w.statusLine()->text(), QString("已添加销售记录（记录号 %1）").arg(id));

    // Modify 5 -> 7 on the same warehouse and product: only the difference moves.
    emit f.history(w)->cellDoubleClicked(2, 1);
    QCOMPARE(f.box(w, "idBox")->text(), id);
    QCOMPARE(w.statusLine()->text(), QString()); // the addition is no longer news
    f.type(f.box(w, "num"), "7");
    f.button(w, "saveButton")->click();
    QCOMPARE(w.statusLine()->text(), QString("已修改销售记录（记录号 %1）").arg(id));
    QCOMPARE(test::queryRows(f.set.db(), "SELECT Num FROM Sale"), QString("7"));
    QCOMPARE(f.list(w, "product")->currentIndex(), -1); // back to a fresh entry

    // The figures follow the boxes; a missing choice is refused and nothing is written.
    f.type(f.box(w, "num"), "3");
    f.type(f.box(w, "price"), "12.5");
    f.type(f.box(w, "pay"), "20");
    QCOMPARE(f.box(w, "total")->text() + "/" + f.box(w, "owed")->text(), QString("37.5/17.5"));
    f.button(w, "saveButton")->click();
    QCOMPARE(f.dialogs.messages, QStringList{"没有产品名称，请取填写产品名称。"});
    QCOMPARE(f.count("Sale"), 1);
    // A sale larger than the stock is not refused: the hint showed the limit.
    f.choose(w);
    f.button(w, "saveButton")->click();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QCOMPARE(f.stock(f.storeA, f.pencil), -3);
}

void TestEntryWindows::purchaseAndTransferModified() {
    Fixture f;
    BuyEntryWindow w(f.session, f.set.db());
    f.choose(w, "supplier");
    f.type(f.box(w, "price"), "1.2");
    f.type(f.box(w, "num"), "10");
    f.button(w, "saveButton")->click();
    QCOMPARE(f.stock(f.storeA, f.pencil), 10);
    StockLedger::addStock(f.set.db(), f.storeA, f.pencil, -7); // 7 sold since

    w.setRecordId(f.set.db().value("SELECT ID FROM Buy").toLongLong());
    QCOMPARE(f.box(w, "num")->toolTip(), QString("此产品销售数量最小可调至:7支"));
    // 10 -> 7 and into the other warehouse: the old one gives back all 10.
    f.type(f.box(w, "num"), "7");
    f.pick(f.list(w, "storage"), f.storeB);
    f.button(w, "saveButton")->click();
    QCOMPARE(f.stock(f.storeA, f.pencil), -7);
    QCOMPARE(f.stock(f.storeB, f.pencil), 7);

    StockLedger::addStock(f.set.db(), f.storeA, f.eraser, 10);
    TransferEntryWindow t(f.session, f.set.db());
    f.pick(t.outList(), f.storeA);
    f.pick(t.inList(), f.storeB);
    f.pick(t.productList(), f.eraser);
    QCOMPARE(t.numBox()->toolTip(), QString("可调库存量为：10"));
    f.type(t.numBox(), "10");
    f.button(t, "saveButton")->click();
    QCOMPARE(f.stock(f.storeB, f.eraser), 10);

    emit f.history(t)->cellDoubleClicked(2, 3);
    for (PickList* l : {t.outList(), t.inList(), t.productList()})
        QVERIFY(!l->isEnabled());
    f.type(t.numBox(), "7");
    f.button(t, "saveButton")->click();
    QCOMPARE(f.stock(f.storeA, f.eraser), 3);
    QCOMPARE(f.stock(f.storeB, f.eraser), 7);
    QCOMPARE(f.count("Adjust"), 1);
    // Emptied for the next transfer, lists open again; "new" empties a form too.
    QVERIFY(t.outList()->isEnabled());
    f.pick(t.outList(), f.storeA);
    f.type(t.numBox(), "4");
    f.button(t, "newButton")->click();
    QCOMPARE(t.outList()->currentIndex(), -1);
    QCOMPARE(t.numBox()->text(), QString());
}

void TestEntryWindows::vanishedRecordIsReported() {
    Fixture f;
    Database& db = f.set.db();
    test::insertSale(db, f.storeA, f.pencil, 5);
    test::buy(db, f.storeA, f.pencil, 5, 1, "2009-02-04");
    test::transfer(db, f.storeA, f.storeB, f.pencil, 5, "2009-02-04");
    SaleEntryWindow s(f.session, db);
    BuyEntryWindow b(f.session, db);
    TransferEntryWindow t(f.session, db);
    const std::initializer_list<EntryWindow*> windows{&s, &b, &t};
    for (EntryWindow* w : windows)
        w->setRecordId(1);
    for (const char* table : {"Sale", "Buy", "Adjust"})
        db.exec(QString("DELETE FROM ") + table);
    for (EntryWindow* w : windows) {
        f.dialogs.clear();
        f.type(f.box(*w, "num"), "9");
        f.button(*w, "saveButton")->click();
        QCOMPARE(f.dialogs.messages, QStringList{"没找到要修改的记录！"});
        // The form stays on the record; nothing was written or moved.
        QCOMPARE(f.button(*w, "saveButton")->text(), QString("修  改"));
    }
    QCOMPARE(f.count("Sale") + f.count("Buy") + f.count("Adjust") + f.count("Stock"), 0);
}

void TestEntryWindows::rightsDecideButtonsPickingAndWhatFollowsASave() {
    Fixture f;
    Database& db = f.set.db();
    const qint64 id = test::insertSale(db, f.storeA, f.pencil, 5);
    f.session.rights = test::allRightsBut({"添加销售记录", "修改销售记录", "添加客户设置"});
    SaleEntryWindow w(f.session, db);
    QVERIFY(!f.button(w, "newButton")->isEnabled());
    QVERIFY(!f.button(w, "customerEditor")->isEnabled());
    QVERIFY(f.button(w, "productEditor")->isEnabled());
    // Without the modify right a double click picks nothing.
    emit f.history(w)->cellDoubleClicked(2, 0);
    QCOMPARE(f.box(w, "idBox")->text(), QString());

    // Opened on the record (as the main window does): after the save the form
    // stays on it, since this operator may not add.
    w.setRecordId(id);
    f.type(f.box(w, "num"), "4");
    f.button(w, "saveButton")->click();
    QCOMPARE(db.value("SELECT Num FROM Sale").toDouble(), 4.0);
    QCOMPARE(f.box(w, "idBox")->text(), QString::number(id));

    // Rights are read again on activation.
    f.session.rights = Rights::all();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    QVERIFY(f.button(w, "newButton")->isEnabled());
    emit f.history(w)->cellDoubleClicked(2, 0);
    QCOMPARE(f.box(w, "idBox")->text(), QString::number(id));

    f.session.rights = test::allRightsBut({"添加调库记录"});
    TransferEntryWindow t(f.session, db);
    QVERIFY(!f.button(t, "newButton")->isEnabled());

    // A read-only account set: nothing can be saved, whatever the rights.
    auto readOnlyDb = Database::open(f.set.path(), Database::OpenMode::ReadOnly);
    BuyEntryWindow looked(f.session, *readOnlyDb);
    for (const char* name : {"saveButton", "productEditor"}) {
        QVERIFY(!f.button(looked, name)->isEnabled());
        QCOMPARE(f.button(looked, name)->toolTip(), AccountSetFile::readOnlyNotice());
    }

    // A master editor button refills its list, keeping the choice.
    BuyEntryWindow b(f.session, f.set.db());
    f.pick(f.list(b, "supplier"), f.supplier);
    QTimer::singleShot(0, [&] {
        f.set.db().exec("INSERT INTO Vender (Name) VALUES ('纸品公司')");
        if (QWidget* editor = QApplication::activeModalWidget())
            editor->close();
    });
    f.button(b, "supplierEditor")->click();
    QCOMPARE(f.list(b, "supplier")->count(), 2);
    QCOMPARE(f.list(b, "supplier")->id(), f.supplier); // the choice survives the refill
    QCOMPARE(f.list(b, "product")->count(), 2);
}

void TestEntryWindows::keysMoveSaveAndJumpInLists() {
    Fixture f;
    SaleEntryWindow w(f.session, f.set.db());
    QVERIFY(f.shown(w));
    QCOMPARE(w.focusWidget(), f.list(w, "product")); // the form starts in its first box
    f.choose(w);
    // Enter in a box moves on and stores nothing, not even a complete sale.
    f.list(w, "storage")->setFocus();
    QTest::keyClick(f.list(w, "storage"), Qt::Key_Return);
    QCOMPARE(w.focusWidget(), f.list(w, "salesperson"));
    f.box(w, "price")->setFocus();
    f.type(f.box(w, "price"), "35");
    QTest::keyClick(f.box(w, "price"), Qt::Key_Return);
    QCOMPARE(w.focusWidget(), f.box(w, "num"));
    QCOMPARE(f.count("Sale"), 0);
    // The date picker is one stop: Tab leaves it for the memo. Digits typed
    // with the cursor anywhere fill year, month and day.
    auto* date = w.findChild<QDateEdit*>("date");
    date->setFocus();
    date->findChild<QLineEdit*>()->setCursorPosition(8);
    QTest::keyClicks(date, "20240315");
    QCOMPARE(date->date(), QDate(2024, 3, 15));
    QTest::keyClick(date, Qt::Key_Tab);
    QCOMPARE(w.focusWidget(), f.box(w, "memo"));

    // Typing not saved: Escape asks, and 否 keeps the window and the typing.
    QTest::keyClick(f.box(w, "memo"), Qt::Key_Escape);
    QCOMPARE(f.dialogs.questions, QStringList{"放弃尚未保存的内容吗？"});
    QVERIFY(w.isVisible());

    // While a save waits for another copy the window says so, with a wait cursor.
    busyNotice(true);
    QCOMPARE(w.statusLine()->text(), QString::fromUtf8(busyNoticeText));
    QVERIFY(QApplication::overrideCursor());
    busyNotice(false);
    QVERIFY(w.statusLine()->text().isEmpty() && !QApplication::overrideCursor());

    // Ctrl+Enter saves from any box, and Enter on a focused button presses it.
    f.type(f.box(w, "num"), "3");
    QTest::keyClick(f.box(w, "num"), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.count("Sale"), 1);
    f.button(w, "saveButton")->setFocus();
    QTest::keyClick(f.button(w, "saveButton"), Qt::Key_Return);
    QCOMPARE(f.count("Sale"), 2);
    QTest::keyClick(f.box(w, "memo"), Qt::Key_Escape); // saved: closes without asking
    QVERIFY(!w.isVisible());
    QCOMPARE(f.dialogs.questions.size(), 1);

    // A refusal puts the focus into the box at fault.
    TransferEntryWindow t(f.session, f.set.db());
    QVERIFY(f.shown(t));
    QCOMPARE(t.focusWidget(), t.outList());
    f.pick(t.outList(), f.storeA);
    f.button(t, "saveButton")->click();
    QCOMPARE(t.focusWidget(), t.inList());
    f.pick(t.inList(), f.storeA);
    f.pick(t.productList(), f.pencil);
    f.button(t, "saveButton")->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("调库数量为零！"));
    QCOMPARE(t.focusWidget(), t.numBox());
    f.type(t.numBox(), "2");
    f.button(t, "saveButton")->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("在同一个仓库内无需调货！"));
    QCOMPARE(t.focusWidget(), t.inList());
    QCOMPARE(f.count("Adjust"), 0);

    BuyEntryWindow b(f.session, f.set.db());
    QVERIFY(f.shown(b));
    f.pick(f.list(b, "product"), f.pencil);
    f.pick(f.list(b, "supplier"), f.supplier);
    f.button(b, "saveButton")->click();
    QCOMPARE(f.dialogs.lastMessage(), QString("未填付款账号，请选择付款账号。"));
    QCOMPARE(b.focusWidget(), f.list(b, "account"));

    // Typing in a list jumps to its items.
    f.set.db().exec("INSERT INTO Product (Name) VALUES ('Pen 黑色')");
    SaleEntryWindow typing(f.session, f.set.db());
    QVERIFY(f.shown(typing));
    PickList* products = f.list(typing, "product");
    // Names are matched, not the key digits every item starts with: first
    // the names starting with the text, then the names holding it.
    for (auto [typed, name] : {std::pair{"橡", "橡皮"}, {"pen", "Pen 黑色"}, {"黑", "Pen 黑色"}})
        QCOMPARE(products->itemText(products->findTyped(typed)).section(QChar(0x2016), 1),
                 QString(name));

    // Typing opens the list on the match; only Enter in the list chooses it.
    products->setFocus();
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, "橡"); // as an input method commits it
    QApplication::sendEvent(products, &typed);
    QTRY_VERIFY(products->view()->isVisible());
    QCOMPARE(products->currentIndex(), -1);
    QTest::keyClick(products->view(), Qt::Key_Return);
    QTRY_VERIFY(!products->view()->isVisible());
    QCOMPARE(products->id(), f.eraser);

    // Arrow keys on a closed list open it instead of changing the choice.
    QTest::keyClick(products, Qt::Key_Down);
    QTRY_VERIFY(products->view()->isVisible());
    QTest::keyClick(products->view(), Qt::Key_Escape);
    QTRY_VERIFY(!products->view()->isVisible());
    QCOMPARE(products->id(), f.eraser);
}

QTEST_MAIN(TestEntryWindows)
#include "TestEntryWindows.moc"
