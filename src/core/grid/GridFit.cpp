#include "core/grid/GridFit.h"

#include "core/grid/Grid.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <memory>
#include <vector>

namespace tl {

namespace {

// Per-character advances, measured once each: a list of 100,000 rows is
// fitted in a blink, where measuring every text as a whole would take seconds.
class CharAdvances {
public:
    CharAdvances() : m_advance(0x10000, -1) {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            m_metrics = std::make_unique<QFontMetrics>(QGuiApplication::font());
    }
    int twips(const QString& text) {
        int px = 0;
        const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
        const char16_t* end = p + text.size();
        for (; p != end; ++p) {
            qint16 a = m_advance[*p];
            if (a < 0) {
                if (QChar::isSurrogate(*p))
                    return whole(text);
                a = m_advance[*p] = static_cast<qint16>(measure(QChar(*p)));
            }
            px += a;
        }
        return (px + kCellPadding) * 15;
    }

private:
    int measure(QChar ch) const {
        if (m_metrics)
            return m_metrics->horizontalAdvance(ch);
        return ch.unicode() < 0x2E80 ? 7 : 13;
    }
    int whole(const QString& text) const {
        if (m_metrics)
            return (m_metrics->horizontalAdvance(text) + kCellPadding) * 15;
        return (static_cast<int>(text.size()) * 13 + kCellPadding) * 15;
    }
    // What a cell of the grid view takes besides its text: the text margins
    // on both sides and the grid line.
    static constexpr int kCellPadding = 8;
    std::vector<qint16> m_advance;
    std::unique_ptr<QFontMetrics> m_metrics;
};

} // namespace

TextMeasure defaultTextMeasure() {
    auto advances = std::make_shared<CharAdvances>();
    return [advances](const QString& text) { return advances->twips(text); };
}

void autoFitColumns(Grid& grid, const TextMeasure& measure) {
    const int rows = grid.rows();
    const int cols = grid.cols();
    if (rows <= grid.fixedRows() || cols == 0)
        return;
    CharAdvances advances; // used directly when no measure is given: no call per text
    const int first = std::max(0, grid.fixedRows() - 1);
    const int half = grid.widthTwips() / 2;
    // Row by row: each row's cells lie together in memory.
    std::vector<int> widest(static_cast<size_t>(cols), -1);
    for (int r = first; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const QString& t = grid.cellRef(r, c);
            if (!t.isEmpty())
                widest[c] = std::max(widest[c], measure ? measure(t) : advances.twips(t));
        }
    }
    grid.beginUpdate();
    int sum = 0;
    for (int c = 0; c < cols; ++c) {
        const int width = std::min(widest[c] < 0 ? 50 : widest[c] + 100, half);
        grid.setColWidth(c, width);
        sum += width;
    }
    const int room = grid.widthTwips() - 400;
    if (sum < room)
        grid.setColWidth(cols - 1, grid.colWidth(cols - 1) + room - sum);
    grid.endUpdate();
}

} // namespace tl
