#include "gui/widgets/GridView.h"

#include "core/grid/Grid.h"
#include "core/grid/GridMerge.h"
#include "gui/widgets/GridModel.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>
#include <unordered_map>

namespace tl {

namespace {

// A table view whose pending layout can be forced, so scroll positions can be
// restored right after a reset.
class PartView : public QTableView {
public:
    using QTableView::QTableView;
    void relayout() {
        executeDelayedItemsLayout();
        updateGeometries();
    }

protected:
    // Scrolled to the end, a table view puts its last row flush with the bottom
    // edge, which leaves the top row cut in half under the frozen rows. Here the
    // rows stay aligned to the top at the end too, one step further when the
    // last page does not fit whole, so the last row shows whole with free
    // space below it. The same holds for columns.
    void updateGeometries() override {
        QTableView::updateGeometries();
        extendToWholeItems(verticalScrollBar(), verticalHeader(), viewport()->height());
        extendToWholeItems(horizontalScrollBar(), horizontalHeader(), viewport()->width());
        // A resize at the end lines the headers up again without a scroll.
        const bool moved = alignToItem(verticalScrollBar(), verticalHeader()) |
                           alignToItem(horizontalScrollBar(), horizontalHeader());
        if (moved)
            viewport()->update();
    }
    void scrollContentsBy(int dx, int dy) override {
        QTableView::scrollContentsBy(dx, dy);
        const bool moved = alignToItem(verticalScrollBar(), verticalHeader()) |
                           alignToItem(horizontalScrollBar(), horizontalHeader());
        if (moved)
            viewport()->update();
    }

private:
    static void extendToWholeItems(QScrollBar* bar, QHeaderView* header, int extent) {
        const int max = bar->maximum();
        if (max <= 0 || extent <= 0)
            return;
        // The sections shown from the last scroll position on, top-aligned.
        const int fromMax = header->count() - header->hiddenSectionCount() - max;
        int length = 0;
        int counted = 0;
        for (int v = header->count() - 1; v >= 0 && counted < fromMax; --v) {
            const int logical = header->logicalIndex(v);
            if (header->isSectionHidden(logical))
                continue;
            length += header->sectionSize(logical);
            ++counted;
        }
        if (length > extent)
            bar->setMaximum(max + 1);
    }
    static bool alignToItem(const QScrollBar* bar, QHeaderView* header) {
        if (bar->maximum() <= 0 || bar->value() != bar->maximum())
            return false;
        const int before = header->offset();
        header->setOffsetToSectionPosition(bar->value());
        return header->offset() != before;
    }
};

enum Part { Body, Top, Left, Corner };

} // namespace

GridView::GridView(QWidget* parent) : QFrame(parent) {
    m_ownGrid = new Grid(this);
    build();
    setGrid(m_ownGrid);
}

GridView::GridView(Grid* grid, QWidget* parent) : QFrame(parent) {
    build();
    setGrid(grid);
}

GridView::~GridView() = default;

Grid* GridView::grid() const {
    return m_grid;
}

int GridView::toPixels(int twips) {
    if (twips <= 0)
        return 0;
    return std::max(1, (twips + 7) / 15);
}

void GridView::build() {
    setFrameShape(QFrame::StyledPanel);
    m_model = new GridModel(nullptr, this);
    m_body = makePart(true);
    m_top = makePart(false);
    m_left = makePart(false);
    m_corner = makePart(false);
    setFocusProxy(m_body);

    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_vbar->hide();
    m_hbar->hide();

    // The strip above the vertical scroll bar continues the frozen rows.
    m_filler = new QWidget(this);
    m_filler->setAutoFillBackground(true);
    QPalette pal = m_filler->palette();
    pal.setColor(QPalette::Window, GridModel::fixedBackground());
    m_filler->setPalette(pal);
    m_filler->hide();

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_corner, 0, 0);
    layout->addWidget(m_top, 0, 1);
    layout->addWidget(m_left, 1, 0);
    layout->addWidget(m_body, 1, 1);
    layout->addWidget(m_filler, 0, 2);
    layout->addWidget(m_vbar, 1, 2);
    layout->addWidget(m_hbar, 2, 1);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);

    connectScrolling();
    connectModel();
}

QTableView* GridView::makePart(bool body) {
    auto* v = new PartView(this);
    v->setModel(m_model);
    for (QHeaderView* h : {v->horizontalHeader(), v->verticalHeader()}) {
        h->hide();
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setMinimumSectionSize(1);
        h->setHighlightSections(false);
    }
    v->verticalHeader()->setDefaultSectionSize(toPixels(Grid::kDefaultRowHeight));
    v->horizontalHeader()->setDefaultSectionSize(toPixels(Grid::kDefaultColWidth));
    v->setFrameShape(QFrame::NoFrame);
    v->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    v->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setWordWrap(false);
    v->setCornerButtonEnabled(false);
    v->setTabKeyNavigation(false);
    v->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(v, &QWidget::customContextMenuRequested, this,
            [this, v](const QPoint& pos) { emit rightClicked(v->viewport()->mapToGlobal(pos)); });
    if (body) {
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setSelectionMode(QAbstractItemView::ContiguousSelection);
        v->setFocusPolicy(Qt::StrongFocus);
    } else {
        v->setSelectionMode(QAbstractItemView::NoSelection);
        v->setFocusPolicy(Qt::NoFocus);
        v->setAutoScroll(false);
    }
    v->viewport()->installEventFilter(this);
    return v;
}

// The body's own (hidden) scroll bars drive everything; the outer ones and
// the frozen parts follow them.
void GridView::connectScrolling() {
    QScrollBar* bodyV = m_body->verticalScrollBar();
    QScrollBar* bodyH = m_body->horizontalScrollBar();
    auto mirror = [](QScrollBar* from, QScrollBar* to) {
        to->setRange(from->minimum(), from->maximum());
        to->setPageStep(from->pageStep());
        to->setSingleStep(from->singleStep());
        to->setValue(from->value());
        to->setVisible(from->maximum() > from->minimum());
    };
    connect(bodyV, &QScrollBar::rangeChanged, this, [=, this] {
        mirror(bodyV, m_vbar);
        m_filler->setVisible(m_vbar->isVisibleTo(this) && m_top->isVisibleTo(this));
    });
    connect(bodyH, &QScrollBar::rangeChanged, this, [=, this] { mirror(bodyH, m_hbar); });
    connect(bodyV, &QScrollBar::valueChanged, this, [this](int v) {
        m_vbar->setValue(v);
        m_left->verticalScrollBar()->setValue(v);
        noteViewPosition();
    });
    connect(bodyH, &QScrollBar::valueChanged, this, [this](int v) {
        m_hbar->setValue(v);
        m_top->horizontalScrollBar()->setValue(v);
        noteViewPosition();
    });
    connect(m_vbar, &QScrollBar::valueChanged, bodyV, &QScrollBar::setValue);
    connect(m_hbar, &QScrollBar::valueChanged, bodyH, &QScrollBar::setValue);
    // A frozen part whose range arrives after the body's catches up.
    connect(m_left->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        m_left->verticalScrollBar()->setValue(m_body->verticalScrollBar()->value());
    });
    connect(m_top->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        m_top->horizontalScrollBar()->setValue(m_body->horizontalScrollBar()->value());
    });
}

void GridView::connectModel() {
    connect(m_model, &QAbstractItemModel::modelReset, this, &GridView::applyLayout);
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        if (m_grid && m_grid->mergeCells()) // spans alone do not follow the texts
            applySpans();
    });
    QItemSelectionModel* sm = m_body->selectionModel();
    connect(sm, &QItemSelectionModel::currentChanged, this, &GridView::syncToGrid);
    connect(sm, &QItemSelectionModel::selectionChanged, this, &GridView::syncToGrid);
    connect(m_body, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (m_grid && index.row() >= m_grid->fixedRows())
            emit cellClicked(index.row(), index.column());
    });
    connect(m_body, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (m_grid && index.row() >= m_grid->fixedRows())
            emit cellDoubleClicked(index.row(), index.column());
    });
}

void GridView::setGrid(Grid* grid) {
    if (m_grid)
        disconnect(m_grid, nullptr, this, nullptr);
    m_grid = grid;
    if (grid) {
        connect(grid, &Grid::currentChanged, this, &GridView::syncFromGrid);
        connect(grid, &Grid::scrollRequested, this, &GridView::scrollToRow);
        connect(grid, &Grid::visibilityChanged, this, &QWidget::setVisible);
        grid->setWidthTwips(width() * 15);
    }
    m_model->setGrid(grid); // resets, which lays the parts out
    setVisible(!grid || grid->isVisible());
}

void GridView::applyLayout() {
    Grid* g = m_grid;
    PartView* views[4] = {static_cast<PartView*>(m_body), static_cast<PartView*>(m_top),
                          static_cast<PartView*>(m_left), static_cast<PartView*>(m_corner)};
    const int common = commonRowHeight(views[Body]->verticalHeader()->defaultSectionSize());
    for (int p = 0; p < 4; ++p)
        layoutPart(p, views[p], common);
    sizeFrozenParts();
    applySpans();
    for (PartView* v : views)
        v->relayout();
    if (g) {
        scrollToRow(g->topRow());
        syncFromGrid();
    }
}

// Most data rows share one height: it becomes the views' default, so that a
// long list costs no per-row work in them and only the others are touched.
int GridView::commonRowHeight(int fallback) const {
    const Grid* g = m_grid;
    if (!g || g->rows() <= g->fixedRows())
        return fallback;
    std::unordered_map<int, int> counts;
    for (int r = g->fixedRows(); r < g->rows(); ++r)
        ++counts[toPixels(g->rowHeight(r))];
    int common = fallback;
    int best = -1;
    for (const auto& [px, n] : counts) {
        if (px > 0 && n > best) {
            best = n;
            common = px;
        }
    }
    return common;
}

// Sizes and hides the columns and rows of one of the four parts.
void GridView::layoutPart(int part, QTableView* v, int common) {
    const Grid* g = m_grid;
    const int rows = g ? g->rows() : 0;
    const int cols = g ? g->cols() : 0;
    const int fr = g ? g->fixedRows() : 0;
    const int fc = g ? g->fixedCols() : 0;
    const bool frozenRowsOnly = part == Top || part == Corner;  // shows rows < fr
    const bool frozenColsOnly = part == Left || part == Corner; // shows columns < fc
    QHeaderView* hh = v->horizontalHeader();
    QHeaderView* vh = v->verticalHeader();
    for (int c = 0; c < cols; ++c) {
        const int px = toPixels(g->colWidth(c));
        const bool hidden = px == 0 || (c < fc) != frozenColsOnly;
        if (!hidden && hh->sectionSize(c) != px)
            hh->resizeSection(c, px);
        if (hh->isSectionHidden(c) != hidden)
            hh->setSectionHidden(c, hidden);
    }
    // Undo what the last layout did to single rows.
    std::vector<int>& special = m_specialRows[part];
    const int oldDefault = vh->defaultSectionSize();
    for (int r : special) {
        if (r >= rows)
            continue;
        if (vh->isSectionHidden(r))
            vh->setSectionHidden(r, false);
        if (vh->sectionSize(r) != oldDefault)
            vh->resizeSection(r, oldDefault);
    }
    special.clear();
    if (oldDefault != common)
        vh->setDefaultSectionSize(common);
    const int last = frozenRowsOnly ? fr : rows;
    for (int r = 0; r < last; ++r) {
        const int px = toPixels(g->rowHeight(r));
        const bool hidden = px == 0 || (r < fr && !frozenRowsOnly);
        if (!hidden && px == common)
            continue;
        special.push_back(r);
        if (hidden)
            vh->setSectionHidden(r, true);
        else
            vh->resizeSection(r, px);
    }
}

// The frozen parts take the size of the fixed rows and columns.
void GridView::sizeFrozenParts() {
    const Grid* g = m_grid;
    int fixedWidth = 0;
    int fixedHeight = 0;
    for (int c = 0; c < (g ? g->fixedCols() : 0); ++c)
        fixedWidth += toPixels(g->colWidth(c));
    for (int r = 0; r < (g ? g->fixedRows() : 0); ++r)
        fixedHeight += toPixels(g->rowHeight(r));
    m_corner->setFixedSize(fixedWidth, fixedHeight);
    m_corner->setVisible(fixedWidth > 0 && fixedHeight > 0);
    m_top->setFixedHeight(fixedHeight);
    m_top->setVisible(fixedHeight > 0);
    m_filler->setVisible(fixedHeight > 0 && m_vbar->isVisibleTo(this));
    m_left->setFixedWidth(fixedWidth);
    m_left->setVisible(fixedWidth > 0);
    if (layout())
        layout()->activate();
}

void GridView::applySpans() {
    for (QTableView* v : {m_body, m_top, m_left, m_corner})
        v->clearSpans();
    if (!m_grid)
        return;
    const int fr = m_grid->fixedRows();
    const int fc = m_grid->fixedCols();
    for (const QRect& a : mergedAreas(*m_grid)) {
        const bool frozenRow = a.y() < fr;
        const bool frozenCol = a.x() < fc;
        QTableView* v = frozenRow ? (frozenCol ? m_corner : m_top) : (frozenCol ? m_left : m_body);
        v->setSpan(a.y(), a.x(), a.height(), a.width());
    }
}

void GridView::scrollToRow(int row) {
    if (!m_grid)
        return;
    const int fr = m_grid->fixedRows();
    row = std::clamp(row, fr, std::max(fr, m_grid->rows() - 1));
    // Per-item scrolling counts the rows that show.
    int value = 0;
    for (int r = fr; r < row; ++r) {
        if (!m_body->isRowHidden(r))
            ++value;
    }
    m_body->verticalScrollBar()->setValue(value);
    noteViewPosition();
}

void GridView::noteViewPosition() {
    if (!m_grid)
        return;
    int top = m_body->rowAt(0);
    int left = m_body->columnAt(0);
    if (top < 0)
        top = m_grid->fixedRows();
    if (left < 0)
        left = m_grid->fixedCols();
    m_grid->setViewPosition(top, left);
}

void GridView::syncToGrid() {
    if (m_syncing || !m_grid)
        return;
    const QItemSelectionModel* sm = m_body->selectionModel();
    const QModelIndex cur = sm->currentIndex();
    if (!cur.isValid())
        return;
    int lo = cur.row();
    int hi = cur.row();
    const QItemSelection sel = sm->selection();
    if (!sel.isEmpty()) {
        lo = sel.first().top();
        hi = sel.first().bottom();
        for (const QItemSelectionRange& range : sel) {
            lo = std::min(lo, range.top());
            hi = std::max(hi, range.bottom());
        }
    }
    // The current index is the end that moved; the other end is the anchor.
    int anchor = cur.row();
    if (cur.row() == lo)
        anchor = hi;
    else if (cur.row() == hi)
        anchor = lo;
    m_syncing = true;
    m_grid->setSelection(anchor, m_grid->fixedCols(), cur.row(), m_grid->cols() - 1);
    m_syncing = false;
}

void GridView::syncFromGrid() {
    if (m_syncing || !m_grid)
        return;
    m_syncing = true;
    QItemSelectionModel* sm = m_body->selectionModel();
    const int fr = m_grid->fixedRows();
    const int fc = m_grid->fixedCols();
    const int rows = m_grid->rows();
    const int cols = m_grid->cols();
    const int r1 = m_grid->row();
    const int r2 = m_grid->rowSel();
    int col = sm->currentIndex().isValid() ? sm->currentIndex().column() : -1;
    if (col < fc || m_body->isColumnHidden(col)) {
        col = -1;
        for (int c = fc; c < cols && col < 0; ++c) {
            if (!m_body->isColumnHidden(c))
                col = c;
        }
    }
    if (!m_grid->hasCurrent()) {
        // Nothing current: the first arrow key goes to the first data cell.
        sm->clearSelection();
        sm->clearCurrentIndex();
    } else if (r1 < fr || r2 < fr || r1 >= rows || r2 >= rows || col < 0) {
        sm->clearSelection();
    } else {
        sm->setCurrentIndex(m_model->index(r2, col), QItemSelectionModel::NoUpdate);
        const int lo = std::min(r1, r2);
        const int hi = std::max(r1, r2);
        sm->select(QItemSelection(m_model->index(lo, fc), m_model->index(hi, cols - 1)),
                   QItemSelectionModel::ClearAndSelect);
    }
    m_syncing = false;
}

void GridView::pressInFrozenColumns(const QPoint& viewportPos, Qt::KeyboardModifiers modifiers) {
    const int row = m_left->rowAt(viewportPos.y());
    const int col = m_left->columnAt(viewportPos.x());
    if (!m_grid || row < m_grid->fixedRows() || col < 0)
        return;
    // Like a row header: a press selects the row, with Shift from the anchor.
    const int anchor = (modifiers & Qt::ShiftModifier) ? m_grid->row() : row;
    m_grid->setSelection(anchor, m_grid->fixedCols(), row, m_grid->cols() - 1);
    m_body->setFocus(Qt::MouseFocusReason);
    emit cellClicked(row, col);
}

int GridView::axisTwips(bool horizontal, bool frozen, int pos) const {
    // The corner holds every frozen row and column, the body every other one.
    const QTableView* v = frozen ? m_corner : m_body;
    const QHeaderView* h = horizontal ? v->horizontalHeader() : v->verticalHeader();
    auto size = [this, horizontal](int i) {
        return horizontal ? m_grid->colWidth(i) : m_grid->rowHeight(i);
    };
    const int fixed = horizontal ? m_grid->fixedCols() : m_grid->fixedRows();
    const int count = horizontal ? m_grid->cols() : m_grid->rows();
    int twips = 0;
    int first = 0;
    if (!frozen) {
        for (int i = 0; i < fixed; ++i)
            twips += size(i);
        first = h->logicalIndexAt(0);
        if (first < 0)
            return twips + pos * 15;
    }
    int target = h->logicalIndexAt(pos);
    const int end = frozen ? fixed : count;
    if (target < 0) { // beyond the last cell
        for (int i = first; i < end; ++i)
            twips += size(i);
        const int lastEnd = h->length() - h->offset();
        return twips + std::max(0, pos - lastEnd) * 15;
    }
    for (int i = first; i < target; ++i)
        twips += size(i);
    // The middle of the pixel: a press on a column's first pixel lies inside
    // that column, not on the edge it shares with the one before.
    const int within = (pos - h->sectionViewportPosition(target)) * 15 + 7;
    return twips + std::clamp(within, 0, std::max(0, size(target) - 1));
}

QPoint GridView::twipsAt(const QPoint& pos) const {
    if (!m_grid)
        return {pos.x() * 15, pos.y() * 15};
    const QPoint bodyPos = m_body->mapFrom(this, pos);
    const bool frozenX = bodyPos.x() < 0;
    const bool frozenY = bodyPos.y() < 0;
    const int x = frozenX ? m_corner->mapFrom(this, pos).x() : bodyPos.x();
    const int y = frozenY ? m_corner->mapFrom(this, pos).y() : bodyPos.y();
    return {axisTwips(true, frozenX, std::max(0, x)), axisTwips(false, frozenY, std::max(0, y))};
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    const bool top = watched == m_top->viewport();
    const bool corner = watched == m_corner->viewport();
    const bool left = watched == m_left->viewport();
    if (!top && !corner && !left)
        return QFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Wheel:
        // The frozen parts scroll only with the body.
        QCoreApplication::sendEvent(m_body->viewport(), event);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton)
            return false;
        auto* viewport = static_cast<QWidget*>(watched);
        const QPoint pos = me->position().toPoint();
        if (left) {
            if (event->type() == QEvent::MouseButtonPress) {
                pressInFrozenColumns(pos, me->modifiers());
            } else {
                const int row = m_left->rowAt(pos.y());
                const int col = m_left->columnAt(pos.x());
                if (m_grid && row >= m_grid->fixedRows() && col >= 0)
                    emit cellDoubleClicked(row, col);
            }
        } else if (event->type() == QEvent::MouseButtonPress && m_grid) {
            const QPoint t = twipsAt(viewport->mapTo(this, pos));
            emit headerPressed(t.x(), t.y());
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

void GridView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (m_grid)
        m_grid->setWidthTwips(width() * 15);
}

} // namespace tl
