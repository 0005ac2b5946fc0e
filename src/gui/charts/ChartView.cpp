#include "gui/charts/ChartView.h"

#include "core/charts/ChartGrid.h"
#include "core/charts/ChartPicture.h"
#include "core/charts/ChartRenderer.h"
#include "core/data/OpenDatabases.h"
#include "core/grid/Grid.h"
#include "gui/widgets/Dialogs.h"
#include "gui/widgets/StatusLine.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QToolTip>

namespace tl {

namespace {

const QString kJpegFilter = QStringLiteral("JPEG图片文件  (*.jpg)");
const QString kPngFilter = QStringLiteral("PNG图片文件  (*.png)");
const QString kPdfFilter = QStringLiteral("PDF文件  (*.pdf)");

} // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent), m_table(new Grid(this)) {
    setObjectName(QStringLiteral("Pic"));
    setMinimumSize(320, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::setChart(const Grid& table, const QString& title) {
    copyChartTable(table, *m_table);
    m_title = title;
    m_hasChart = true;
    update();
}

void ChartView::clearChart() {
    m_table->reset(0, 0, 0, 0);
    m_title.clear();
    m_hasChart = false;
    update();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_hasChart) {
        paintChartPicture(painter, *m_table, m_title, QSizeF(size()), kBorder);
        return;
    }
    painter.fillRect(rect(), QColor(138, 138, 138));
    painter.fillRect(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder), Qt::white);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(rect(), Qt::AlignCenter,
                     QStringLiteral("选择日期范围后按分析按钮，图表显示在这里"));
}

bool ChartView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip || !m_hasChart)
        return QWidget::event(event);
    // Long ranges leave out the value labels; the tool tip tells them.
    const auto* help = static_cast<QHelpEvent*>(event);
    const double tw = chart::kTwipsPerPixel;
    const QSizeF picture = QSizeF(size() - QSize(2 * kBorder, 2 * kBorder)) * tw;
    const QPointF at = QPointF(help->pos() - QPoint(kBorder, kBorder)) * tw;
    const int row = at.y() >= chart::plotRect(picture).top()
                        ? chart::rowAt(picture, 1, m_table->rows() - 1, at.x())
                        : 0;
    if (row <= 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QString text = m_table->text(row, 0);
    for (int c = 1; c < m_table->cols(); ++c)
        text +=
            QLatin1Char('\n') + m_table->text(0, c) + QStringLiteral("：") + m_table->text(row, c);
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}

QMenu* ChartView::pictureMenu() {
    if (!m_menu) {
        m_menu = new QMenu(this);
        m_menu->setObjectName(QStringLiteral("mPOPMenu2"));
        QAction* save =
            m_menu->addAction(QStringLiteral("保存图片"), this, &ChartView::savePicture);
        save->setObjectName(QStringLiteral("mSavePic"));
    }
    for (QAction* a : m_menu->actions())
        a->setEnabled(m_hasChart);
    return m_menu;
}

void ChartView::addPrintCommands(PrintActions::ProgressOf progress, PrintActions::Source source) {
    m_printing = new PrintActions(pictureMenu(), QStringLiteral("Pic"), std::move(progress),
                                  std::move(source));
}

void ChartView::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                  : mapToGlobal(rect().center());
    pictureMenu()->popup(at);
}

void ChartView::savePicture() {
    if (!m_hasChart)
        return;
    QString chosen;
    const QString name = dialogs().saveFileName(QStringLiteral("保存图片"),
                                                kJpegFilter + QStringLiteral(";;") + kPngFilter +
                                                    QStringLiteral(";;") + kPdfFilter,
                                                &chosen);
    if (name.isEmpty())
        return;
    // Told by its pattern: the dialog hands back the type's text with its
    // blanks collapsed, not as it was given.
    const PictureType type = chosen.contains(QLatin1String("*.png"))   ? PictureType::Png
                             : chosen.contains(QLatin1String("*.pdf")) ? PictureType::Pdf
                                                                       : PictureType::Jpeg;
    const QString file = withPictureSuffix(name, type);
    if (!mayWriteChosenFile(file,
                            QStringLiteral("文件“") + file + QStringLiteral("”已存在，是否覆盖？")))
        return;
    if (!saveChartPicture(*m_table, m_title, file, size(), devicePixelRatioF(), kBorder))
        dialogs().info(QStringLiteral("保存图片出错！"));
    else
        showStatusText(this, QStringLiteral("图片已保存到：") + QDir::toNativeSeparators(file));
}

} // namespace tl
