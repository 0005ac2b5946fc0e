#include "core/lists/RecordGrid.h"

#include "core/data/Database.h"
#include "core/data/Schema.h"
#include "core/grid/Grid.h"
#include "core/grid/GridFormat.h"
#include "core/grid/GridText.h"
#include "core/lists/ColumnSpec.h"
#include "core/values/Numbers.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

namespace tl {

namespace {

constexpr Qt::Alignment kTextAlign = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kNumberAlign = Qt::AlignRight | Qt::AlignBottom;

// A key as SQL's "=" sees it between a whole-number column and a value:
// 3, 3.0 and '3' are the same key.
bool wholeKey(const QVariant& v, qint64* out) {
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        *out = v.toLongLong();
        return true;
    case QMetaType::Double: {
        const double d = v.toDouble();
        if (std::isfinite(d) && std::floor(d) == d && std::fabs(d) < 9.0e15) {
            *out = static_cast<qint64>(d);
            return true;
        }
        return false;
    }
    case QMetaType::QString: {
        bool ok = false;
        *out = v.toString().trimmed().toLongLong(&ok);
        return ok;
    }
    default:
        return false;
    }
}

// Text keys compare as the text columns do: ASCII letters without case.
QString textKey(const QVariant& v) {
    QString s = v.toString();
    for (QChar& ch : s) {
        if (ch.unicode() < 0x80)
            ch = ch.toLower();
    }
    return s;
}

// Rows of one key come in the order of the table's declared key, so the
// same row wins every time.
QString lookupOrder(const ColumnSpec& spec) {
    QString order = Database::ident(spec.key);
    const TableDef* def = Schema::accountSetTable(spec.table);
    if (def && !def->keyColumn().isEmpty() &&
        def->keyColumn().compare(spec.key, Qt::CaseInsensitive) != 0)
        order += QStringLiteral(", ") + Database::ident(def->keyColumn());
    return order;
}

// The display column of one table by key, read in one query. The first row
// with a key wins, as a lookup by key would find it.
class LookupTable {
public:
    void load(const Database& db, const ColumnSpec& spec) {
        try {
            QSqlQuery q = db.run(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %4")
                                     .arg(Database::ident(spec.key), Database::ident(spec.display),
                                          Database::ident(spec.table), lookupOrder(spec)));
            while (q.next()) {
                const QVariant key = q.value(0);
                if (key.isNull())
                    continue;
                const QString shown = toText(q.value(1));
                qint64 n = 0;
                if (wholeKey(key, &n)) {
                    if (!m_whole.contains(n))
                        m_whole.insert(n, shown);
                } else {
                    const QString k = textKey(key);
                    if (!m_text.contains(k))
                        m_text.insert(k, shown);
                }
            }
        } catch (const DbError&) {
            // A missing table or column leaves the cells empty.
        }
    }
    QString find(const QVariant& key) const {
        if (key.isNull())
            return {};
        qint64 n = 0;
        if (wholeKey(key, &n))
            return m_whole.value(n);
        return m_text.value(textKey(key));
    }

private:
    QHash<qint64, QString> m_whole;
    QHash<QString, QString> m_text;
};

// Shown values repeat (prices, quantities, dates): one shared string per
// distinct value keeps a long list small, and a small list fills faster than
// memory can be handed out. Up to kKeep distinct values per column are kept.
class ValueTexts {
public:
    QString money(double v) {
        if (const auto it = m_numbers.constFind(v); it != m_numbers.constEnd())
            return *it;
        QString s = groupedMoney(v);
        if (m_numbers.size() < kKeep)
            m_numbers.insert(v, s);
        return s;
    }
    QString whole(qint64 v) {
        if (const auto it = m_wholes.constFind(v); it != m_wholes.constEnd())
            return *it;
        QString s = QString::number(v);
        if (m_wholes.size() < kKeep)
            m_wholes.insert(v, s);
        return s;
    }
    QString date(const QString& iso) {
        if (const auto it = m_dates.constFind(iso); it != m_dates.constEnd())
            return *it;
        QString s = gridDate(iso);
        if (m_dates.size() < kKeep)
            m_dates.insert(iso, s);
        return s;
    }

private:
    static constexpr qsizetype kKeep = 4096;
    QHash<double, QString> m_numbers;
    QHash<qint64, QString> m_wholes;
    QHash<QString, QString> m_dates;
};

QString valueText(const QVariant& v, bool date, ValueTexts& texts) {
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return texts.money(v.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return texts.whole(v.toLongLong());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("√") : QString();
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("yyyy.MM.dd"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy.MM.dd"));
    default:
        return date ? texts.date(v.toString()) : v.toString();
    }
}

bool numericValue(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// Ends the grid's batch even when filling stops early.
struct Batch {
    explicit Batch(Grid& g) : grid(g) { grid.beginUpdate(); }
    ~Batch() { grid.endUpdate(); }
    Grid& grid;
};

struct Column {
    ColumnSpec spec;
    int source = -1; // index in the SELECT list
    const LookupTable* lookup = nullptr;
    bool date = false;   // an ISO date text column
    bool number = false; // a number column in the table's declaration
    bool color = false;  // a "Color" column colours its cell
    ValueTexts texts;
};

// The columns of a table; none when the table cannot be read.
QStringList existingColumns(const Database& db, const QString& table) {
    try {
        return db.columnNames(table);
    } catch (const DbError&) {
        return {}; // every column then reads as null and the list stays empty
    }
}

// What a record grid reads: one entry per grid column, the SELECT list
// built from their column specs and the looked-up tables, each read once.
struct RecordQuery {
    RecordQuery(const Grid& grid, const Database& db, const QString& table);
    QString sql() const;

    QString table;
    QString key; // the table's declared key; the records come in its order
    std::vector<Column> columns;
    std::map<QString, std::unique_ptr<LookupTable>> lookups;
    QStringList select;

private:
    void addLookup(Column& col, const Database& db);
    static void describeField(Column& col, const TableDef* def);
};

RecordQuery::RecordQuery(const Grid& grid, const Database& db, const QString& table)
    : table(table), columns(static_cast<size_t>(grid.cols())) {
    const QStringList existing = existingColumns(db, table);
    const TableDef* def = Schema::accountSetTable(table);
    if (def && existing.contains(def->keyColumn(), Qt::CaseInsensitive))
        key = def->keyColumn();
    for (int c = 0; c < grid.cols(); ++c) {
        Column& col = columns[c];
        col.spec = ColumnSpec::parse(grid.text(0, c));
        const ColumnSpec& s = col.spec;
        if (s.kind == ColumnSpec::Kind::Empty)
            continue;
        col.source = static_cast<int>(select.size());
        // A column the table lacks reads as null instead of failing the
        // whole list.
        const bool readable =
            s.kind == ColumnSpec::Kind::Expression ||
            ((s.kind == ColumnSpec::Kind::Field || s.kind == ColumnSpec::Kind::Lookup) &&
             existing.contains(s.name, Qt::CaseInsensitive));
        select << (readable ? s.select : QStringLiteral("NULL"));
        if (s.kind == ColumnSpec::Kind::Lookup)
            addLookup(col, db);
        else if (s.kind == ColumnSpec::Kind::Field || s.kind == ColumnSpec::Kind::Expression)
            describeField(col, def);
    }
}

void RecordQuery::addLookup(Column& col, const Database& db) {
    const ColumnSpec& s = col.spec;
    const QString id = s.table + QLatin1Char(':') + s.key + QLatin1Char(':') + s.display;
    auto& slot = lookups[id];
    if (!slot) {
        slot = std::make_unique<LookupTable>();
        slot->load(db, s);
    }
    col.lookup = slot.get();
}

void RecordQuery::describeField(Column& col, const TableDef* def) {
    const ColumnSpec& s = col.spec;
    col.color = s.name == QLatin1String("Color");
    const ColumnDef* cd = def && s.kind == ColumnSpec::Kind::Field ? def->column(s.name) : nullptr;
    col.date = cd && cd->type == ColumnType::Date;
    col.number = cd && (cd->type == ColumnType::Double || cd->type == ColumnType::Long ||
                        cd->type == ColumnType::Counter);
}

QString RecordQuery::sql() const {
    QString sql = QStringLiteral("SELECT %1 FROM %2")
                      .arg(select.join(QLatin1Char(',')), Database::ident(table));
    if (!key.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + Database::ident(key);
    return sql;
}

// Writes the cells of one record into grid row r.
void fillRecordRow(Grid& grid, int r, std::vector<Column>& columns, const QSqlQuery& q,
                   bool first) {
    const int serialCol = grid.fixedCols() - 1;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        Column& col = columns[c];
        switch (col.spec.kind) {
        case ColumnSpec::Kind::Empty:
            if (c == serialCol)
                grid.cellRef(r, c) = QString::number(r - grid.fixedRows() + 1);
            break;
        case ColumnSpec::Kind::Broken:
            break;
        case ColumnSpec::Kind::Lookup:
            grid.cellRef(r, c) = col.lookup->find(q.value(col.source));
            break;
        case ColumnSpec::Kind::Field:
        case ColumnSpec::Kind::Expression: {
            const QVariant v = q.value(col.source);
            if (col.color) {
                const qint64 bgr = v.toLongLong();
                grid.setBackColor(r, c,
                                  colorFromBgr(bgr == 0 ? 0x010101u : static_cast<quint32>(bgr)));
                break;
            }
            if (first && (col.number || numericValue(v)))
                grid.setColAlignment(c, kNumberAlign);
            grid.cellRef(r, c) = valueText(v, col.date, col.texts);
            break;
        }
        }
    }
}

void fillRecords(Grid& grid, const Database& db, RecordQuery& query) {
    try {
        QSqlQuery q = db.run(query.sql());
        for (bool first = true; q.next(); first = false)
            fillRecordRow(grid, grid.addRow(), query.columns, q, first);
    } catch (const DbError&) {
        // The records cannot be read: the grid keeps only its captions.
    }
}

} // namespace

void setupRecordGrid(Grid& grid, const QStringList& specs, const QStringList& captions,
                     const QString& table) {
    if (specs.size() != captions.size())
        return;
    const int n = static_cast<int>(specs.size());
    {
        Batch batch(grid);
        grid.setCols(n);
        grid.setFixedCols(2);
        grid.setRows(3);
        grid.setFixedRows(2);
        grid.setRows(2);
        grid.setRowHeight(0, 0);
        for (int c = 0; c < n; ++c) {
            grid.setText(0, c, specs[c]);
            grid.setText(1, c, captions[c]);
            grid.setColAlignment(c, kTextAlign);
        }
        grid.setTag(table);
    }
    grid.setVisible(true);
}

void setupRecordGrid(Grid& grid, const RecordLayout& layout) {
    setupRecordGrid(grid, layout.specs, layout.captions, layout.table);
}

void loadRecordGrid(Grid& grid, const Database& db, const TextMeasure& measure) {
    const QString table = grid.tag();
    if (table.isEmpty())
        return;
    {
        Batch batch(grid);
        grid.setRows(2);
        RecordQuery query(grid, db, table);
        if (!query.select.isEmpty())
            fillRecords(grid, db, query);
        autoFitColumns(grid, measure);
    }
    grid.setVisible(true);
}

void loadRecordGrid(Grid& grid, const Database& db, const RecordLayout& layout,
                    const TextMeasure& measure) {
    setupRecordGrid(grid, layout);
    loadRecordGrid(grid, db, measure);
}

} // namespace tl
