#include "gui/importexport/SheetsDialog.h"

#include "core/grid/Grid.h"
#include "core/importexport/ImportPreview.h"
#include "core/importexport/Workbook.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/GridView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace tl {

namespace {
const QString kMark = QStringLiteral("√");
}

SheetsDialog::SheetsDialog(const QStringList& sheets, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Sheets"));
    setWindowTitle(QStringLiteral("选择XLS表格"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label = new QLabel(QStringLiteral("请在要选择的表格名称所在行打上“√”"), this);
    label->setObjectName(QStringLiteral("Label1"));

    m_grid = new Grid(this);
    m_grid->beginUpdate();
    m_grid->reset(int(sheets.size()) + 1, 3, 1, 0);
    m_grid->setColWidth(0, 500);
    m_grid->setColWidth(1, 600);
    m_grid->setColWidth(2, 4400);
    m_grid->setColAlignment(1, Qt::AlignCenter);
    m_grid->setText(0, 0, QStringLiteral("No."));
    m_grid->setText(0, 1, QStringLiteral("选择"));
    m_grid->setText(0, 2, QStringLiteral("工作表名称"));
    for (int i = 0; i < sheets.size(); ++i) {
        m_grid->setText(i + 1, 0, QString::number(i + 1));
        m_grid->setText(i + 1, 2, sheets[i]);
    }
    if (!sheets.isEmpty()) {
        m_grid->setText(1, 1, kMark);
        m_grid->setCurrent(1, 0);
    }
    m_grid->endUpdate();
    m_view = new GridView(m_grid, this);
    m_view->setObjectName(QStringLiteral("SHL"));
    m_view->setMinimumSize(GridView::toPixels(5500) + 24, 200);
    connect(m_view, &GridView::cellClicked, this, [this](int row, int) { toggleRow(row); });
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), m_view);
    space->setContext(Qt::WidgetWithChildrenShortcut);
    connect(space, &QShortcut::activated, this, [this] { toggleRow(m_grid->row()); });

    m_ok = new QPushButton(QStringLiteral("确   定"), this);
    m_ok->setObjectName(QStringLiteral("IMG_0"));
    m_cancel = new QPushButton(QStringLiteral("取   消"), this);
    m_cancel->setObjectName(QStringLiteral("IMG_1"));
    for (QPushButton* b : {m_ok, m_cancel})
        b->setMinimumWidth(96);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_chosen = markedSheet();
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_chosen.clear();
        reject();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    m_view->bodyView()->setFocus();
}

void SheetsDialog::toggleRow(int row) {
    if (row < 1 || row >= m_grid->rows())
        return;
    const bool marked = !m_grid->text(row, 1).trimmed().isEmpty();
    m_grid->beginUpdate();
    for (int r = 1; r < m_grid->rows(); ++r)
        m_grid->setText(r, 1, QString());
    if (!marked)
        m_grid->setText(row, 1, kMark);
    m_grid->setCurrent(row, 0);
    m_grid->endUpdate();
}

QString SheetsDialog::markedSheet() const {
    for (int r = 1; r < m_grid->rows(); ++r)
        if (!m_grid->text(r, 1).trimmed().isEmpty())
            return m_grid->text(r, 2);
    return {};
}

QString chooseSheet(QWidget* owner, const QString& path) {
    int code = 0;
    std::unique_ptr<Workbook> book = Workbook::open(path, &code);
    if (!book) {
        // A file the reader gave up on, or one over the limits, says so.
        const bool refused = code == int(Workbook::Error::Unreadable) ||
                             code == int(Workbook::Error::TooLarge) ||
                             code == int(Workbook::Error::NoHelper);
        dialogs().info(refused ? workbookErrorMessage(code) : QStringLiteral("无法打开XLS文件！"));
        return {};
    }
    SheetsDialog chooser(book->sheetNames(), owner);
    book.reset(); // the file is not held while the operator chooses
    chooser.exec();
    return chooser.chosenSheet();
}

} // namespace tl
