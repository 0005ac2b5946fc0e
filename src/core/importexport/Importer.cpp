#include "core/importexport/Importer.h"

#include "core/data/Database.h"
#include "core/data/OpenDatabases.h"
#include "core/importexport/CsvReader.h"
#include "core/importexport/ImportPreview.h"
#include "core/importexport/ImportValues.h"
#include "core/importexport/Workbook.h"
#include "core/masterdata/Lookups.h"
#include "core/support/Clock.h"
#include "core/transactions/RecordStore.h"
#include "core/transactions/StockMoves.h"
#include "core/transactions/TransferStore.h"
#include "core/values/Numbers.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>
#include <optional>

namespace tl {

namespace {

using Record = CsvReader::Record;
using Skip = ImportResult::Skip;

// Where the records come from: the lines of a CSV file or the rows of a worksheet.
class Source {
public:
    virtual ~Source() = default;
    virtual Record next(QStringList& fields) = 0;
    virtual int permille() const = 0; // how far the reading has come
    virtual bool failed() const { return false; }
};

class CsvSource : public Source {
public:
    bool open(const QString& path, EncodingChoice choice) { return m_reader.open(path, choice); }
    const CsvReader& reader() const { return m_reader; }
    Record next(QStringList& fields) override { return m_reader.readRecord(fields); }
    int permille() const override {
        return m_reader.size() > 0 ? int(m_reader.position() * 1000 / m_reader.size()) : 0;
    }
    bool failed() const override { return m_reader.failed(); }

private:
    CsvReader m_reader;
};

class SheetSource : public Source {
public:
    SheetCells cells;
    int cols = 0; // the last column the import reads
    Record next(QStringList& fields) override {
        if (m_row >= cells.rowCount())
            return Record::End;
        if (!cells.hasRow(++m_row))
            return Record::Empty;
        fields = cells.row(m_row, cols);
        return Record::Fields;
    }
    int permille() const override {
        return cells.rowCount() > 0 ? m_row * 1000 / cells.rowCount() : 0;
    }

private:
    int m_row = 0;
};

// Opens the file of a request; the message to show when it cannot. A CSV
// file's encoding goes to result.
QString openSource(const ImportRequest& request, const QList<int>& columns,
                   std::unique_ptr<Source>& source, ImportResult& result) {
    if (OpenDatabases::holds(request.path))
        return OpenDatabases::refusal();
    if (readsAsCsv(request.path)) {
        auto csv = std::make_unique<CsvSource>();
        if (!csv->open(request.path, request.encoding))
            return QStringLiteral("无法打开文件：") + request.path;
        if (!csv->reader().isText())
            return notTextFileMessage();
        result.encoding = encodingText(csv->reader().encoding(), csv->reader().detected());
        source = std::move(csv);
        return {};
    }
    if (!Workbook::isWorkbookPath(request.path))
        return unsupportedFileMessage();
    int code = 0;
    std::unique_ptr<Workbook> book = Workbook::open(request.path, &code);
    if (!book)
        return workbookErrorMessage(code);
    // Without a name the first worksheet is read, as a spreadsheet opens on it.
    const QStringList names = book->sheetNames();
    const QString name =
        request.sheet.isEmpty() && !names.isEmpty() ? names.first() : request.sheet;
    auto sheet = std::make_unique<SheetSource>();
    sheet->cols = columns.isEmpty() ? 0 : *std::max_element(columns.begin(), columns.end());
    if (!book->readSheet(name, sheet->cells, &code))
        return workbookErrorMessage(code);
    source = std::move(sheet);
    return {};
}

// The text without control characters other than tabs; a line break (CR LF,
// CR or LF) becomes one blank.
QString withoutControls(const QString& text) {
    const auto control = [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; };
    if (std::none_of(text.begin(), text.end(), control))
        return text;
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            clean += u' ';
        else if (!control(c))
            clean += c;
    }
    return clean;
}

struct Refusal {
    SkipReason reason;
    QString detail;
};

// Writes the records of one table: prepared statements, a cache of resolved
// names and the stock movements netted per warehouse and product.
class RecordWriter {
public:
    RecordWriter(const Database& db, const ImportTableDef& def, const QList<int>& columns)
        : m_db(db), m_def(def), m_columns(columns), m_insert(db, insertSql(def)) {
        for (const ImportSlot& s : def.fieldSlots) {
            const bool listed =
                std::any_of(m_created.begin(), m_created.end(),
                            [&](const ImportResult::Created& c) { return c.master == s.master; });
            if (s.value == ImportValue::Name && !listed)
                m_created.append({s.master, {}});
        }
        if (def.uniqueSlot >= 0) {
            // Nobody adds a name between our look and our insert.
            lockNames(db, def.sqlTable);
            m_exists.emplace(
                db,
                QStringLiteral("SELECT 1 FROM %1 WHERE %2=%3")
                    .arg(Database::ident(def.sqlTable),
                         Database::caseless(Database::ident(def.fieldSlots[def.uniqueSlot].field)),
                         Database::caseless(QStringLiteral("?"))));
        }
    }

    // A number or date field's value from its text (the other fields keep
    // theirs for later), or why the line is skipped.
    static std::optional<Refusal> readValue(const ImportSlot& slot, const QString& t,
                                            QVariant& value, QDate& date) {
        switch (slot.value) {
        case ImportValue::Text:
            value = t.isEmpty() ? QStringLiteral("") : t; // empty text, never null
            break;
        case ImportValue::Name:
            break;
        case ImportValue::Money:
        case ImportValue::Number:
        case ImportValue::Quantity: {
            const std::optional<double> v = t.isEmpty()                        ? 0.0
                                            : slot.value == ImportValue::Money ? importMoney(t)
                                                                               : importNumber(t);
            if (!v)
                return Refusal{SkipReason::NotANumber, slot.label};
            value = *v;
            break;
        }
        case ImportValue::Date:
            date = t.isEmpty() ? Clock::today() : importDate(t);
            if (!date.isValid())
                return Refusal{SkipReason::BadDate, {}};
            value = RecordStore::dateValue(date);
            break;
        }
        return std::nullopt;
    }

    // Adds the record of one line, or says why it was skipped.
    std::optional<Refusal> add(const QStringList& fields) {
        const int n = int(m_def.fieldSlots.size());
        QStringList texts;
        texts.reserve(n);
        for (int i = 0; i < n; ++i) {
            const int index = m_columns[i] - 1;
            texts << (index >= 0 && index < fields.size() ? withoutControls(fields[index]).trimmed()
                                                          : QString());
            if (m_def.fieldSlots[i].required && texts.last().isEmpty())
                return Refusal{SkipReason::MissingRequired, {}};
        }
        if (m_exists) {
            QSqlQuery& q = m_exists->exec({texts[m_def.uniqueSlot]});
            const bool found = q.next();
            q.finish();
            if (found)
                return Refusal{SkipReason::Exists, {}};
        }
        // Numbers and dates first: a line refused for them creates no names.
        QVariantList values(n);
        QDate date;
        for (int i = 0; i < n; ++i) {
            const ImportSlot& slot = m_def.fieldSlots[i];
            const QString t = texts[i].isEmpty() ? slot.placeholder : texts[i];
            if (std::optional<Refusal> refusal = readValue(slot, t, values[i], date))
                return refusal;
        }
        if (const QString problem = checkValues(values, date); !problem.isEmpty())
            return Refusal{SkipReason::Refused, problem};
        for (int i = 0; i < n; ++i) {
            const ImportSlot& slot = m_def.fieldSlots[i];
            if (slot.value == ImportValue::Name)
                values[i] = key(slot.master, texts[i].isEmpty() ? slot.placeholder : texts[i]);
            else if (slot.value == ImportValue::Quantity)
                values[i] = double(roundHalfEven(values[i].toDouble()));
        }
        if (m_def.stock == ImportStock::Transfer) {
            // The rest of what the transfer window refuses: two different warehouses.
            TransferInput t;
            t.iid = values[m_iid].toInt();
            t.oid = values[m_oid].toInt();
            t.pid = values[m_pid].toInt();
            t.num = values[m_num].toDouble();
            t.date = date;
            if (const QString problem = TransferStore::check(t); !problem.isEmpty())
                return Refusal{SkipReason::Refused, problem};
        }
        // A row the database refuses is skipped; any other failure ends the import.
        if (!m_insert.execUnlessRefused(values))
            return Refusal{SkipReason::NotStored, {}};
        noteStock(values);
        return std::nullopt;
    }

    const QList<ImportResult::Created>& created() const { return m_created; }

    // Puts the netted movements on the stock table.
    void moveStock() const { m_stock.apply(m_db); }

private:
    static QString insertSql(const ImportTableDef& def) {
        QStringList names, marks;
        for (const ImportSlot& s : def.fieldSlots) {
            names << Database::ident(s.field);
            marks << QStringLiteral("?");
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(Database::ident(def.sqlTable), names.join(QLatin1Char(',')),
                 marks.join(QLatin1Char(',')));
    }

    // What the entry windows check before saving, on the values of a line.
    QString checkValues(const QVariantList& values, const QDate& date) const {
        const auto number = [&](int slot) { return slot >= 0 ? values[slot].toDouble() : 0.0; };
        const double num = number(m_num);
        QString problem;
        if (m_num >= 0)
            problem = m_def.stock == ImportStock::Transfer ? TransferStore::checkQuantity(num)
                                                           : RecordStore::checkQuantity(num);
        if (problem.isEmpty() && (m_price >= 0 || m_pay >= 0))
            problem = RecordStore::checkMoney(number(m_price), num, number(m_pay));
        if (problem.isEmpty() && m_date >= 0)
            problem = RecordStore::checkDate(date);
        return problem;
    }

    int key(Master master, const QString& name) {
        QHash<QString, int>& cache = m_keys[static_cast<int>(master)];
        const auto it = cache.constFind(name);
        if (it != cache.constEnd())
            return *it;
        bool made = false;
        const int k = findOrCreate(m_db, master, name, &made);
        cache.insert(name, k);
        if (made) {
            for (ImportResult::Created& c : m_created)
                if (c.master == master)
                    c.names << name;
        }
        return k;
    }

    void noteStock(const QVariantList& values) {
        auto at = [&](int slot) { return values[slot].toInt(); };
        switch (m_def.stock) {
        case ImportStock::Out:
            m_stock += StockMoves::sale(at(m_sid), at(m_pid), values[m_num].toDouble());
            break;
        case ImportStock::In:
            m_stock += StockMoves::purchase(at(m_sid), at(m_pid), values[m_num].toDouble());
            break;
        case ImportStock::Transfer:
            m_stock +=
                StockMoves::transfer(at(m_iid), at(m_oid), at(m_pid), values[m_num].toDouble());
            break;
        case ImportStock::None:
            break;
        }
    }

    const Database& m_db;
    const ImportTableDef& m_def;
    QList<int> m_columns;
    Statement m_insert;
    std::optional<Statement> m_exists; // tables whose names must be new
    // Slots of the fields that move stock (-1 where the table has none).
    const int m_pid = m_def.slotOf(QStringLiteral("PID"));
    const int m_num = m_def.slotOf(QStringLiteral("Num"));
    const int m_sid = m_def.slotOf(QStringLiteral("SID"));
    const int m_iid = m_def.slotOf(QStringLiteral("IID"));
    const int m_oid = m_def.slotOf(QStringLiteral("OID"));
    const int m_price = m_def.slotOf(QStringLiteral("Price"));
    const int m_pay = m_def.slotOf(QStringLiteral("Pay"));
    const int m_date = m_def.slotOf(QStringLiteral("Dat"));
    QHash<QString, int> m_keys[8];
    QList<ImportResult::Created> m_created;
    StockMoves m_stock;
};

// A store's message as a reason: "数量超出范围（…），请重新输入！" reads
// "数量超出范围（…）".
QString briefly(const QString& message) {
    QString text = message;
    if (const qsizetype please = text.indexOf(QStringLiteral("，请")); please > 0)
        text.truncate(please);
    while (text.endsWith(u'！'))
        text.chop(1);
    return text;
}

constexpr int kShown = 10; // line numbers and names listed before "等"

QString masterName(Master m) {
    switch (m) {
    case Master::Product:
        return QStringLiteral("产品");
    case Master::Class:
        return QStringLiteral("产品类别");
    case Master::Vender:
        return QStringLiteral("供应商");
    case Master::Staff:
        return QStringLiteral("人员");
    case Master::Customer:
        return QStringLiteral("客户");
    case Master::Region:
        return QStringLiteral("地区");
    case Master::Account:
        return QStringLiteral("账号");
    case Master::Storage:
        return QStringLiteral("仓库");
    }
    return {};
}

QString reasonText(SkipReason r, const QString& detail, const ImportTableDef& def) {
    switch (r) {
    case SkipReason::MissingRequired: {
        QStringList labels;
        for (const ImportSlot& s : def.fieldSlots)
            if (s.required)
                labels << s.label;
        return QStringLiteral("必填项为空（%1）").arg(labels.join(QStringLiteral("、")));
    }
    case SkipReason::NotANumber:
        return detail + QStringLiteral("不是数字");
    case SkipReason::BadDate:
        return QStringLiteral("日期无法识别");
    case SkipReason::Refused:
        return briefly(detail);
    case SkipReason::Exists:
        return QStringLiteral("名称已存在");
    case SkipReason::NotStored:
        return QStringLiteral("数据库拒绝保存");
    case SkipReason::Unfinished:
        return QStringLiteral("引号未闭合，文件在此记录中结束");
    }
    return {};
}

// One line per reason and detail of the skipped lines, in the order they
// first occur, with the first line numbers.
QString skipDetails(const QList<ImportResult::Skip>& skipped, const ImportTableDef& def) {
    QString text;
    for (SkipReason r :
         {SkipReason::MissingRequired, SkipReason::NotANumber, SkipReason::BadDate,
          SkipReason::Refused, SkipReason::Exists, SkipReason::NotStored, SkipReason::Unfinished}) {
        // One entry per reason and detail, in the order they first occur.
        QStringList details;
        for (const Skip& s : skipped)
            if (s.reason == r && !details.contains(s.detail))
                details << s.detail;
        for (const QString& detail : details) {
            QStringList lines;
            int count = 0;
            for (const Skip& s : skipped) {
                if (s.reason == r && s.detail == detail && ++count <= kShown)
                    lines << QString::number(s.line);
            }
            text += QStringLiteral("\n%1：%2 行（第 %3 行%4）")
                        .arg(reasonText(r, detail, def))
                        .arg(count)
                        .arg(lines.join(QStringLiteral("、")),
                             count > kShown ? QStringLiteral("等") : QString());
        }
    }
    return text;
}

// "客户 1 个（新客户贸易商行）、产品 0 个": the tables masters were created in
// first, each with its first names.
QString createdText(const QList<ImportResult::Created>& created) {
    QStringList made, none;
    for (const ImportResult::Created& c : created) {
        QString item = masterName(c.master) + QStringLiteral(" %1 个").arg(c.names.size());
        if (c.names.isEmpty()) {
            none << item;
            continue;
        }
        item += QStringLiteral("（") + c.names.mid(0, kShown).join(QStringLiteral("、"));
        if (c.names.size() > kShown)
            item += QStringLiteral("等 %1 个").arg(c.names.size());
        made << item + QStringLiteral("）");
    }
    return (made + none).join(QStringLiteral("、"));
}

// The lines after the last line: "没有导入" when it is done, "不会导入" when
// the operator is still asked.
QString unreadText(int from, int to, bool asking = false) {
    if (from <= 0)
        return {};
    const QString lines = from == to ? QStringLiteral("第 %1 行").arg(from)
                                     : QStringLiteral("第 %1 行至第 %2 行").arg(from).arg(to);
    return QStringLiteral("\n") + lines + QStringLiteral("在终止行之后，") +
           (asking ? QStringLiteral("不会导入。") : QStringLiteral("没有导入。"));
}

} // namespace

QString ImportResult::summary(ListedTable table) const {
    if (!ok)
        return error;
    const ImportTableDef& def = importTableDef(table);
    QString text = dryRun ? QStringLiteral("试导入完成，未保存任何记录：可添加 %1 条%2")
                          : QStringLiteral("导入完成：添加了 %1 条%2");
    text = text.arg(added).arg(def.records);
    if (skipped.isEmpty())
        text += QStringLiteral("。");
    else
        text += QStringLiteral("，跳过 %1 行。").arg(skipped.size());
    if (const QString masters = createdText(created); !masters.isEmpty())
        text += (dryRun ? QStringLiteral("\n将新建") : QStringLiteral("\n新建")) + masters +
                QStringLiteral("。");
    text += skipDetails(skipped, def) + unreadText(unreadFrom, unreadTo);
    if (!encoding.isEmpty())
        text += QStringLiteral("\n文件编码：") + encoding;
    return text;
}

bool ImportResult::storesAnything() const {
    return added > 0 || std::any_of(created.begin(), created.end(),
                                    [](const Created& c) { return !c.names.isEmpty(); });
}

QString ImportResult::question(ListedTable table) const {
    const ImportTableDef& def = importTableDef(table);
    QString text = QStringLiteral("将添加 %1 条%2").arg(added).arg(def.records);
    if (const QString masters = createdText(created); !masters.isEmpty())
        text += QStringLiteral("；将新建") + masters;
    if (!skipped.isEmpty()) {
        QStringList lines;
        for (const Skip& s : skipped.mid(0, kShown))
            lines << QString::number(s.line);
        text += QStringLiteral("；将跳过 %1 行（第 %2 行%3）")
                    .arg(skipped.size())
                    .arg(lines.join(QStringLiteral("、")),
                         skipped.size() > kShown ? QStringLiteral("等") : QString());
    }
    return text + QStringLiteral("。是否导入？") + skipDetails(skipped, def) +
           unreadText(unreadFrom, unreadTo, true);
}

namespace {

// The records after the last line, counted, not read, so that the operator
// hears of lines left out.
int recordsLeft(Source& source, QStringList& fields) {
    int rest = 0;
    for (Record r = source.next(fields); r != Record::End; r = source.next(fields)) {
        ++rest;
        if (r == Record::Unfinished)
            break;
    }
    return rest;
}

} // namespace

ImportResult importRecords(const Database& db, const ImportRequest& request, Progress& progress) {
    ImportResult result;
    result.dryRun = request.dryRun;
    const ImportTableDef& def = importTableDef(request.table);

    QList<int> columns;
    for (int i = 0; i < def.fieldSlots.size(); ++i) {
        const ImportSlot& slot = def.fieldSlots[i];
        const QString letters = i < request.columns.size() ? request.columns[i] : slot.column;
        const std::optional<int> n = columnNumber(letters);
        if (!n && slot.required) {
            result.error = QStringLiteral("请填写“%1”对应的列号！").arg(slot.label);
            return result;
        }
        columns << n.value_or(0); // an empty optional column feeds nothing
    }

    std::unique_ptr<Source> source;
    result.error = openSource(request, columns, source, result);
    if (!result.error.isEmpty())
        return result;

    progress.show(def.progressCaption(), 1000);
    try {
        // The whole file is read before anything is written: on a server the
        // writing may have to run again when it crossed another operator's save.
        struct Line {
            int position;
            QStringList fields;
        };
        QList<Line> lines;
        std::optional<ImportResult::Skip> unfinished;
        const int first = qMax(0, request.firstLine);
        const int offset = first == 0 ? 1 : 0; // line 0 is the first record
        QStringList fields;
        int shown = 0;
        for (int position = 1;; ++position) {
            const int line = position - offset;
            if (line > request.lastLine) {
                if (const int rest = recordsLeft(*source, fields); rest > 0) {
                    result.unreadFrom = line;
                    result.unreadTo = line + rest - 1;
                }
                break;
            }
            const Record r = source->next(fields);
            if (r == Record::End)
                break;
            if (r == Record::Unfinished) {
                if (line >= first)
                    unfinished = ImportResult::Skip{position, SkipReason::Unfinished, {}};
                break;
            }
            if (const int now = source->permille() / 2; now != shown)
                progress.step(shown = now);
            if (r != Record::Empty && line >= first)
                lines.append({position, fields});
        }
        if (source->failed())
            throw DbError::failed(QStringLiteral("读取文件出错：") + request.path);
        db.retrying([&] {
            Transaction transaction(db);
            RecordWriter writer(db, def, columns);
            result.added = 0;
            result.skipped.clear();
            for (qsizetype i = 0; i < lines.size(); ++i) {
                if (const int now = 500 + int(i * 500 / lines.size()); now != shown)
                    progress.step(shown = now);
                if (const std::optional<Refusal> skip = writer.add(lines[i].fields))
                    result.skipped.append({lines[i].position, skip->reason, skip->detail});
                else
                    ++result.added;
            }
            if (unfinished)
                result.skipped.append(*unfinished);
            writer.moveStock();
            result.created = writer.created();
            if (!request.dryRun)
                transaction.commit();
        });
        result.ok = true;
        result.error.clear();
    } catch (const DbError& e) {
        result.ok = false;
        result.added = 0;
        result.skipped.clear();
        result.created.clear();
        result.error = QStringLiteral("导入失败，没有导入任何记录：\n") + e.message();
    }
    progress.close();
    return result;
}

ImportFileLines scanImportFile(const QString& path, const QString& sheet, EncodingChoice encoding) {
    ImportRequest request;
    request.path = path;
    request.sheet = sheet;
    request.encoding = encoding;
    constexpr int kLastColumn = 26 * 27; // ZZ, the last column letters can name
    std::unique_ptr<Source> source;
    ImportResult ignored;
    ImportFileLines lines;
    if (!openSource(request, {kLastColumn}, source, ignored).isEmpty())
        return lines;
    if (const auto* sheetSource = dynamic_cast<const SheetSource*>(source.get())) {
        lines.count = sheetSource->cells.rowCount();
        lines.first = sheetSource->cells.row(1, kLastColumn);
    }
    QStringList fields;
    for (Record r = lines.count > 0 ? Record::End : source->next(fields); r != Record::End;
         r = source->next(fields)) {
        if (++lines.count == 1 && r == Record::Fields)
            lines.first = fields;
        if (r == Record::Unfinished)
            break;
    }
    while (!lines.first.isEmpty() && lines.first.last().trimmed().isEmpty())
        lines.first.removeLast();
    return lines;
}

} // namespace tl
