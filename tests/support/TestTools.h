#pragma once

#include "core/accounts/Rights.h"
#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/grid/Grid.h"
#include "core/importexport/GridExport.h"
#include "core/support/Progress.h"
#include "core/transactions/SaleStore.h"

#include <QBuffer>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <xlsxwriter.h>

// Small helpers several test programs share.
namespace tl::test {

// An operator session holding the given rights (the preset admin by default).
inline Session sessionWith(const QStringList& rights, const QString& uid = QStringLiteral("1")) {
    Session s;
    s.operatorName = QStringLiteral("admin");
    s.operatorId = uid;
    s.rights = Rights::join(rights);
    return s;
}

inline Session adminSession() {
    Session s = sessionWith({});
    s.rights = Rights::all();
    return s;
}

// Every right of the vocabulary except the named ones.
inline QString allRightsBut(const QStringList& names) {
    QStringList granted;
    for (const QString& entry : Rights::vocabulary())
        if (!names.contains(Rights::bare(entry)))
            granted << Rights::bare(entry);
    return Rights::join(granted);
}

// Records written straight into the tables, without moving the stock
// (buy and sell as of a date, transfer from one warehouse to another).
inline qint64 buy(const Database& db, int sid, int pid, double num, double price,
                  const QString& date) {
    return db.insertKey(
        "INSERT INTO Buy (PID, VID, AID, SID, Price, Num, Pay, Dat) VALUES (?,1,1,?,?,?,0,?)",
        {pid, sid, price, num, date}, "ID");
}
inline void sell(const Database& db, int sid, int pid, double num, const QString& date) {
    db.exec("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat) "
            "VALUES (?,1,?,1,1,9,?,0,?)",
            {pid, sid, num, date});
}
inline qint64 transfer(const Database& db, int from, int to, int pid, double num,
                       const QString& date) {
    return db.insertKey("INSERT INTO Adjust (IID, OID, PID, Num, Dat) VALUES (?,?,?,?,?)",
                        {to, from, pid, num, date}, "ID");
}
inline qint64 insertSale(const Database& db, int sid, int pid, double num) {
    return db.insertKey("INSERT INTO Sale (PID, CID, SID, AID, UID, Price, Num, Pay, Dat) "
                        "VALUES (?, 1, ?, 1, 1, 10, ?, 0, '2009-02-04')",
                        {pid, sid, num}, "ID");
}

// A sale of `num` on 2009-02-04, every master key 1 unless given.
inline SaleInput sale(double num, int sid = 1, int pid = 1) {
    SaleInput s;
    s.cid = s.aid = s.uid = 1;
    s.sid = sid;
    s.pid = pid;
    s.num = num;
    s.date = QDate(2009, 2, 4);
    return s;
}

// Remembers the captions shown, the steps advanced and whether the display
// was closed again.
class RecordingProgress : public Progress {
public:
    QStringList captions;
    int advanced = 0;
    bool open = false;
    void show(const QString& caption, int) override {
        captions << caption;
        open = true;
    }
    void step(int) override {}
    void advance(int steps) override { advanced += steps; }
    void close() override { open = false; }
};

// The rows of a table, a condition may follow its name ("Region WHERE ...").
inline int rowCount(const Database& db, const QString& table) {
    return db.value("SELECT COUNT(*) FROM " + table).toInt();
}

// Every row of a query, its values joined by "|", the rows by ";".
inline QString queryRows(const Database& db, const QString& sql) {
    QSqlQuery q = db.run(sql);
    QStringList out;
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.record().count(); ++i)
            values << q.value(i).toString();
        out << values.join('|');
    }
    return out.join(';');
}

// Makes the engine refuse op ("INSERT", "UPDATE", "DELETE") on rows of table
// meeting condition (NEW.x, OLD.x): as a constraint refuses a row, or, when
// failing, as a fault of the engine would.
inline void refuseWrites(const Database& db, const QString& name, const QString& op,
                         const QString& table, const QString& condition = "TRUE",
                         bool failing = false) {
    if (!db.isServer()) {
        db.exec(QString("CREATE TRIGGER %1 BEFORE %2 ON %3 WHEN %4 BEGIN SELECT RAISE(%5, "
                        "'refused'); END")
                    .arg(name, op, table, condition, failing ? "FAIL" : "ABORT"));
        return;
    }
    db.exec(QString("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE "
                    "EXCEPTION 'refused' USING ERRCODE = '%2'; END$$")
                .arg(name, failing ? "XX000" : "23514"));
    db.exec(
        QString("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW WHEN (%4) EXECUTE FUNCTION %1()")
            .arg(name, op, table, condition));
}
inline void allowWrites(const Database& db, const QString& name, const QString& table) {
    db.exec(db.isServer() ? QString("DROP TRIGGER %1 ON %2").arg(name, table)
                          : QString("DROP TRIGGER %1").arg(name));
}

// The texts of a grid row from column `from` on, joined by "|".
inline QString rowText(const Grid& g, int r, int from = 0) {
    QStringList cells;
    for (int c = from; c < g.cols(); ++c)
        cells << g.text(r, c);
    return cells.join('|');
}

// The texts of a column below the fixed rows.
inline QStringList columnTexts(const Grid& g, int c) {
    QStringList texts;
    for (int r = g.fixedRows(); r < g.rows(); ++r)
        texts << g.text(r, c);
    return texts;
}

inline QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The grid as the CSV writer gives it.
inline QByteArray csvBytes(const Grid& grid, CsvEncoding encoding) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeCsv(grid, buffer, encoding, Progress::silent());
    return buffer.data();
}

// Adds a worksheet filled from lines of comma-separated fields, one line a
// row: numbers as numbers, other fields as strings, empty fields left out.
inline lxw_worksheet* addSheet(lxw_workbook* wb, const QString& name, const QString& rows = {}) {
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.toUtf8().constData());
    const QStringList lines = rows.split('\n');
    for (int r = 0; r < lines.size(); ++r) {
        const QStringList fields = lines[r].split(',');
        for (int c = 0; c < fields.size(); ++c) {
            bool number = false;
            const double value = fields[c].toDouble(&number);
            if (number)
                worksheet_write_number(ws, r, c, value, nullptr);
            else if (!fields[c].isEmpty())
                worksheet_write_string(ws, r, c, fields[c].toUtf8().constData(), nullptr);
        }
    }
    return ws;
}

// A workbook of the sheets given as {name, rows} (see addSheet).
inline QString writeXlsx(const QString& path, const QList<QStringList>& sheets) {
    lxw_workbook* wb = workbook_new(path.toUtf8().constData());
    for (const QStringList& sheet : sheets)
        addSheet(wb, sheet.value(0), sheet.value(1));
    return workbook_close(wb) == LXW_NO_ERROR ? path : QString();
}

} // namespace tl::test
