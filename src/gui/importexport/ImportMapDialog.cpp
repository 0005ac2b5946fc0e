#include "gui/importexport/ImportMapDialog.h"

#include "core/grid/Grid.h"
#include "core/grid/GridFit.h"
#include "core/importexport/CsvReader.h"
#include "core/importexport/ImportHeader.h"
#include "core/importexport/ImportPreview.h"
#include "core/importexport/ImportValues.h"
#include "core/values/Numbers.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridView.h"
#include "gui/widgets/Guard.h"
#include "gui/widgets/WindowPlace.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace tl {

namespace {
constexpr int kMaxPerRow = 7; // more boxes than this wrap onto a second row

QLineEdit* makeBox(const QString& text, const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignCenter);
    box->setMaximumWidth(72);
    return box;
}

QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setMinimumWidth(96);
    return b;
}
} // namespace

ImportMapDialog::ImportMapDialog(ListedTable table, const Database& db, const QString& path,
                                 const QString& sheet, Progress& progress, QWidget* parent)
    : QDialog(parent), m_table(table), m_db(db), m_path(path), m_sheet(sheet),
      m_progress(progress) {
    setObjectName(QStringLiteral("ImportMap"));
    setWindowTitle(QStringLiteral("导入EXCEL表格（列对应设置）"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    buildLayout();
    restoreMapping();
    m_previewMessage = displayXls();
}

void ImportMapDialog::buildLayout() {
    QWidget* fields = buildFieldBox();
    QWidget* lines = buildLineBox();
    QLayout* sampleRow = buildSampleRow();
    m_grid = new Grid(this);
    m_view = new GridView(m_grid, this);
    m_view->setObjectName(QStringLiteral("MSF"));
    // Tall enough for the header and all ten rows without scrolling.
    m_view->setMinimumSize(640, 11 * GridView::toPixels(Grid::kDefaultRowHeight) + 28);

    QLayout* buttons = buildButtons();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fields);
    layout->addWidget(lines);
    layout->addLayout(sampleRow);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    setTabOrders();
}

// One box per field of the table, for the file column it comes from.
QWidget* ImportMapDialog::buildFieldBox() {
    const ImportTableDef& def = importTableDef(m_table);
    auto* fields = new QGroupBox(QStringLiteral("数据项对应关系"), this);
    auto* fieldColumn = new QVBoxLayout(fields);
    auto* fieldGrid = new QGridLayout;
    fieldColumn->addLayout(fieldGrid);
    fieldGrid->setHorizontalSpacing(14);
    const int count = int(def.fieldSlots.size());
    const int rows = (count + kMaxPerRow - 1) / kMaxPerRow;
    const int perRow = (count + rows - 1) / rows;
    for (int i = 0; i < count; ++i) {
        const ImportSlot& slot = def.fieldSlots[i];
        QLineEdit* box = makeBox(slot.column, QStringLiteral("TT_%1").arg(i), fields);
        box->installEventFilter(this);
        box->setToolTip(slot.required ? QStringLiteral("必填：此列为空的行不导入")
                                      : QStringLiteral("留空表示文件中没有此项"));
        auto* label = new QLabel(slot.label + QStringLiteral("："), fields);
        label->setBuddy(box);
        const int r = (i / perRow) * 2;
        const int c = i % perRow;
        fieldGrid->addWidget(label, r, c, Qt::AlignBottom | Qt::AlignLeft);
        fieldGrid->addWidget(box, r + 1, c);
        m_columns << box;
    }
    // Columns by the titles of line 1, shown only when that line is a header.
    m_byHeader = makeButton(QStringLiteral("按表头对应"), QStringLiteral("byHeader"), fields);
    m_defaults = makeButton(QStringLiteral("恢复默认"), QStringLiteral("defaults"), fields);
    m_headerNote = new QLabel(fields);
    m_headerNote->setObjectName(QStringLiteral("headerNote"));
    m_headerNote->setWordWrap(true);
    connect(m_byHeader, &QPushButton::clicked, this, &ImportMapDialog::columnsByHeader);
    connect(m_defaults, &QPushButton::clicked, this, [this] {
        const ImportTableDef& d = importTableDef(m_table);
        for (int i = 0; i < m_columns.size(); ++i)
            m_columns[i]->setText(d.fieldSlots[i].column);
        m_headerNote->clear();
    });
    auto* mappingRow = new QHBoxLayout;
    mappingRow->addWidget(m_byHeader);
    mappingRow->addWidget(m_defaults);
    mappingRow->addSpacing(8);
    mappingRow->addWidget(m_headerNote, 1);
    fieldColumn->addLayout(mappingRow);

    return fields;
}

// The first and last line to import.
QWidget* ImportMapDialog::buildLineBox() {
    auto* lines = new QGroupBox(QStringLiteral("数据起止行"), this);
    auto* lineRow = new QHBoxLayout(lines);
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), this);
    m_first = makeBox(QStringLiteral("2"), QStringLiteral("TT_20"), lines);
    m_last = makeBox(QStringLiteral("10"), QStringLiteral("TT_21"), lines);
    for (QLineEdit* box : {m_first, m_last}) {
        box->setValidator(digits);
        box->installEventFilter(this);
    }
    auto* firstLabel = new QLabel(QStringLiteral("起始行："), lines);
    auto* lastLabel = new QLabel(QStringLiteral("终止行："), lines);
    firstLabel->setBuddy(m_first);
    lastLabel->setBuddy(m_last);
    lineRow->addWidget(firstLabel);
    lineRow->addWidget(m_first);
    lineRow->addSpacing(16);
    lineRow->addWidget(lastLabel);
    lineRow->addWidget(m_last);
    m_toLast = makeButton(QStringLiteral("到末行"), QStringLiteral("toLastLine"), lines);
    connect(m_toLast, &QPushButton::clicked, this,
            [this] { m_last->setText(QString::number(m_lines)); });
    m_lineCount = new QLabel(lines);
    m_lineCount->setObjectName(QStringLiteral("lineCount"));
    lineRow->addWidget(m_toLast);
    lineRow->addSpacing(16);
    lineRow->addWidget(m_lineCount);
    lineRow->addStretch(1);
    return lines;
}

QLayout* ImportMapDialog::buildSampleRow() {
    auto* sample = new QLabel(QStringLiteral("表格示例："), this);
    sample->setObjectName(QStringLiteral("Label1"));
    // Which file (and worksheet) the preview shows.
    const QString source = QFileInfo(m_path).fileName() +
                           (m_sheet.isEmpty() ? QString() : QStringLiteral(" › ") + m_sheet);
    auto* file = new QLabel(source, this);
    file->setObjectName(QStringLiteral("fileLabel"));
    file->setToolTip(QDir::toNativeSeparators(m_path));
    file->setForegroundRole(QPalette::PlaceholderText);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The encoding the preview was read in, and the choice of another.
    m_encodingLabel = new QLabel(this);
    m_encodingLabel->setObjectName(QStringLiteral("encodingLabel"));
    m_encodingBox = new QComboBox(this);
    m_encodingBox->setObjectName(QStringLiteral("encodingBox"));
    for (EncodingChoice c : encodingChoices())
        m_encodingBox->addItem(encodingChoiceName(c), static_cast<int>(c));
    auto* encodingCaption = new QLabel(QStringLiteral("编码："), this);
    encodingCaption->setBuddy(m_encodingBox);
    const bool csv = readsAsCsv(m_path);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_encodingLabel, m_encodingBox, encodingCaption})
        w->setVisible(csv);
    connect(m_encodingBox, &QComboBox::currentIndexChanged, this, [this] {
        const QString message = displayXls();
        if (!message.isEmpty())
            dialogs().info(message);
    });
    auto* sampleRow = new QHBoxLayout;
    sampleRow->addWidget(sample);
    sampleRow->addSpacing(8);
    sampleRow->addWidget(file, 1);
    sampleRow->addWidget(encodingCaption);
    sampleRow->addWidget(m_encodingBox);
    sampleRow->addWidget(m_encodingLabel);
    return sampleRow;
}

QLayout* ImportMapDialog::buildButtons() {
    m_ok = makeButton(QStringLiteral("确  定"), QStringLiteral("COM_0"), this);
    m_cancel = makeButton(QStringLiteral("取  消"), QStringLiteral("COM_1"), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &ImportMapDialog::runImport);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    return buttons;
}

void ImportMapDialog::setTabOrders() {
    QWidget* previous = nullptr;
    for (QWidget* w : m_columns) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, m_byHeader);
    setTabOrder(m_byHeader, m_defaults);
    setTabOrder(m_defaults, m_first);
    setTabOrder(m_first, m_last);
    setTabOrder(m_last, m_toLast);
    setTabOrder(m_toLast, m_encodingBox);
    setTabOrder(m_encodingBox, m_ok);
    setTabOrder(m_ok, m_cancel);
    if (!m_columns.isEmpty())
        m_columns.first()->setFocus();
}

QString ImportMapDialog::displayXls() {
    QString encoding;
    const QString message =
        fillImportPreview(*m_grid, m_path, m_sheet, encodingChoice(), &encoding);
    m_encodingLabel->setText(encoding);
    // The whole file is counted as the import counts its lines.
    const ImportFileLines lines = scanImportFile(m_path, m_sheet, encodingChoice());
    m_lines = lines.count;
    m_firstLine = lines.first;
    m_lineCount->setText(m_lines > 0 ? QStringLiteral("文件共 %1 行").arg(m_lines) : QString());
    m_toLast->setEnabled(m_lines > 0);
    m_byHeader->setVisible(looksLikeHeader(m_firstLine, importTableDef(m_table)));
    // Columns wide enough for their texts, within reason, so the preview reads.
    const TextMeasure measure = defaultTextMeasure();
    m_grid->beginUpdate();
    for (int c = 1; c < m_grid->cols(); ++c) {
        int widest = 0;
        for (int r = 1; r < m_grid->rows(); ++r)
            widest = std::max(widest, measure(m_grid->text(r, c).section(QLatin1Char('\n'), 0, 0)));
        m_grid->setColWidth(c, std::clamp(widest + 100, Grid::kDefaultColWidth, 3600));
    }
    m_grid->endUpdate();
    if (message == unsupportedFileMessage())
        m_path.clear(); // nothing for OK to import
    return message;
}

void ImportMapDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (!m_previewMessage.isEmpty())
        QTimer::singleShot(0, this, [this] { dialogs().info(m_previewMessage); });
}

bool ImportMapDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

EncodingChoice ImportMapDialog::encodingChoice() const {
    return static_cast<EncodingChoice>(m_encodingBox->currentData().toInt());
}

ImportRequest ImportMapDialog::request() const {
    ImportRequest r;
    r.table = m_table;
    r.path = m_path;
    r.sheet = m_sheet;
    r.encoding = encodingChoice();
    for (const QLineEdit* box : m_columns)
        r.columns << box->text();
    r.firstLine = roundHalfEven(importNumber(m_first->text()).value_or(0));
    r.lastLine = roundHalfEven(importNumber(m_last->text()).value_or(0));
    return r;
}

void ImportMapDialog::columnsByHeader() {
    const ImportTableDef& def = importTableDef(m_table);
    const HeaderMatch match = matchHeader(m_firstLine, def);
    QStringList columns;
    for (const QLineEdit* box : m_columns)
        columns << box->text();
    const QString missing = applyHeaderMatch(columns, match, def);
    for (int i = 0; i < m_columns.size(); ++i)
        m_columns[i]->setText(columns[i]);
    if (match.found > 0 && roundHalfEven(importNumber(m_first->text()).value_or(0)) <= 1)
        m_first->setText(QStringLiteral("2")); // the header is no record
    m_headerNote->setText(missing.isEmpty() ? QStringLiteral("各项都已按表头对应。") : missing);
}

namespace {
QString settingsKey(ListedTable table, const char* what) {
    return QStringLiteral("import/%1/%2").arg(importTableDef(table).sqlTable, QLatin1String(what));
}
} // namespace

void ImportMapDialog::restoreMapping() {
    const std::unique_ptr<QSettings> settings = programSettings();
    if (!settings)
        return;
    const QStringList columns = settings->value(settingsKey(m_table, "columns")).toStringList();
    if (columns.size() == m_columns.size())
        for (int i = 0; i < columns.size(); ++i)
            m_columns[i]->setText(columns[i]);
    for (auto [box, key] : {std::pair{m_first, "first"}, std::pair{m_last, "last"}}) {
        const QString line = settings->value(settingsKey(m_table, key)).toString();
        if (QRegularExpression(QStringLiteral("^[0-9]{1,9}$")).match(line).hasMatch())
            box->setText(line);
    }
    const int encoding = m_encodingBox->findData(settings->value(settingsKey(m_table, "encoding")));
    if (encoding >= 0) {
        const QSignalBlocker quiet(m_encodingBox); // the preview is read once, afterwards
        m_encodingBox->setCurrentIndex(encoding);
    }
}

void ImportMapDialog::saveMapping() const {
    const std::unique_ptr<QSettings> settings = programSettings();
    if (!settings)
        return;
    QStringList columns;
    for (const QLineEdit* box : m_columns)
        columns << box->text().trimmed();
    settings->setValue(settingsKey(m_table, "columns"), columns);
    settings->setValue(settingsKey(m_table, "first"), m_first->text());
    settings->setValue(settingsKey(m_table, "last"), m_last->text());
    settings->setValue(settingsKey(m_table, "encoding"), m_encodingBox->currentData());
}

void ImportMapDialog::runImport() {
    // A file the preview refused, or a workbook without a chosen worksheet,
    // gives OK nothing to import.
    if (m_path.isEmpty() || (!readsAsCsv(m_path) && m_sheet.isEmpty())) {
        accept();
        return;
    }
    // A dry run first, by the same code, so the operator sees what will be
    // stored; no transaction stays open while he reads the question, so
    // another copy of the program saving meanwhile is not kept waiting.
    ImportRequest req = request();
    req.dryRun = true;
    setEnabled(false);
    bool ran = guarded([&] { m_result = importRecords(m_db, req, m_progress); });
    setEnabled(true);
    if (!ran)
        return;
    if (m_result.ok && m_result.storesAnything() &&
        !dialogs().confirm(m_result.question(m_table), QStringLiteral("导入"),
                           QStringLiteral("取消")))
        return; // back to the mapping
    if (m_result.ok) {
        req.dryRun = false;
        setEnabled(false);
        ran = guarded([&] { m_result = importRecords(m_db, req, m_progress); });
        setEnabled(true);
        if (!ran)
            return;
    }
    dialogs().info(m_result.ok ? m_result.summary(m_table) : m_result.error);
    if (m_result.ok) {
        saveMapping();
        accept();
    }
}

} // namespace tl
