#include "core/printing/SlipDocument.h"

#include "core/printing/ChineseAmount.h"
#include "core/printing/PrintHeading.h"
#include "core/support/Progress.h"
#include "core/values/Numbers.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace tl {

namespace {

// Sizes in points: the painter's unit.
constexpr double kPadX = 5, kPadY = 4;
constexpr int kMaxProductLines = 3;
const QColor kInk(0x1d, 0x1d, 0x1f);
const QColor kGrey(0x5f, 0x67, 0x73);
const QColor kRule(0x9a, 0xa3, 0xad);
const QColor kHeaderFill(0xec, 0xf0, 0xf5);
const QColor kAccent(0x2f, 0x4f, 0x7f);

// The printed face of every page (PDF readers copy and search its texts as
// written); pixel sizes are painter units whatever the device's resolution.
QFont slipFont(int size, bool bold = false) {
    QFont f = pageframe::font(size, bold);
    f.setHintingPreference(QFont::PreferNoHinting); // the same widths on paper and in tests
    return f;
}

const QFont& shopFont() {
    static const QFont f = slipFont(20, true);
    return f;
}
const QFont& titleFont() {
    static const QFont f = slipFont(17, true);
    return f;
}
const QFont& bodyFont() {
    static const QFont f = slipFont(10);
    return f;
}
const QFont& boldFont() {
    static const QFont f = slipFont(10, true);
    return f;
}
const QFont& smallFont() {
    static const QFont f = slipFont(8);
    return f;
}

double lineHeight(const QFont& font) {
    return QFontMetricsF(font).height();
}

double textWidth(const QFont& font, const QString& text) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

// The text broken into lines of the width; the last of at most maxLines
// ends in "…" when the text goes on.
QStringList wrapped(const QString& text, const QFont& font, double width, int maxLines) {
    QStringList lines;
    QTextLayout layout(text, font);
    layout.beginLayout();
    int restStart = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            restStart = line.textStart();
            lines << text.mid(restStart);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    if (lines.size() == maxLines)
        lines.last() = QFontMetricsF(font).elidedText(text.mid(restStart), Qt::ElideRight, width);
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

// A price with its own decimals when it has more than two: 3.333 stays 3.333.
QString priceText(double price) {
    const std::optional<qint64> cents = amountCents(price);
    if (cents && std::fabs(roundSum(price) * 100 - double(*cents)) < 1e-6)
        return centsText(*cents);
    return toText(roundSum(price));
}

// "￥1,234.56", "-￥8.00": the sign before the currency, as on a receipt.
QString money(qint64 cents) {
    return (cents < 0 ? QStringLiteral("-￥") : QStringLiteral("￥")) +
           centsText(std::llabs(cents));
}

// Flat ends: a rule from 0 to the width stays inside the area.
QPen rule(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

void drawText(QPainter& p, const QRectF& rect, int flags, const QString& text, const QFont& font,
              const QColor& color = kInk) {
    p.setFont(font);
    p.setPen(color);
    p.drawText(rect, flags | Qt::TextSingleLine, text);
}

const QString kHeaders[6] = {QStringLiteral("序号"), QStringLiteral("产品"),
                             QStringLiteral("单位"), QStringLiteral("数量"),
                             QStringLiteral("单价"), QStringLiteral("金额")};

} // namespace

SlipDocument::SlipDocument(Slip slip) : m_slip(std::move(slip)) {}

QString SlipDocument::title() const {
    QStringList parts{m_slip.title()};
    if (m_slip.number > 0)
        parts << m_slip.numberText();
    if (!m_slip.party.isEmpty())
        parts << m_slip.party;
    return parts.join(QLatin1Char(' '));
}

double SlipDocument::headHeight(int index) const {
    if (index > 0)
        return lineHeight(bodyFont()) + 10;
    double h = 0;
    if (!m_slip.shop.name.isEmpty())
        h += lineHeight(shopFont()) + 2;
    if (!m_slip.shop.address.isEmpty() || !m_slip.shop.phone.isEmpty())
        h += lineHeight(smallFont());
    return h + 8 + lineHeight(titleFont()) + 6 + 10 + lineHeight(bodyFont()) + 8;
}

double SlipDocument::totalsHeight() const {
    const double row = lineHeight(boldFont()) + 2 * kPadY;
    return row + 12 + lineHeight(boldFont()) + 6 + lineHeight(bodyFont()) + 28 +
           lineHeight(bodyFont()) + 4;
}

int SlipDocument::paginate(const QSizeF& area, Progress& progress) {
    m_area = area;
    m_rows.clear();
    m_pages.clear();

    // Columns as wide as their widest text; the product takes the rest.
    for (int i = 0; i < m_slip.lines.size(); ++i) {
        const SlipLine& line = m_slip.lines.at(i);
        Row row;
        row.cells[0] = QString::number(i + 1);
        row.cells[2] = line.unit;
        row.cells[3] = sumText(line.quantity);
        row.cells[4] = priceText(line.price);
        row.cells[5] = centsText(line.amount);
        m_rows << row;
    }
    const double minimum[6] = {28, 0, 34, 48, 56, 66};
    m_columns.clear();
    for (int c = 0; c < 6; ++c) {
        double w = textWidth(boldFont(), kHeaders[c]);
        if (c == 1) {
            m_columns << 0;
            continue;
        }
        for (const Row& row : m_rows)
            w = std::max(w, textWidth(bodyFont(), row.cells[c]));
        if (c == 5)
            w = std::max(w, textWidth(boldFont(), centsText(m_slip.total)));
        m_columns << std::max(minimum[c], w + 2 * kPadX);
    }
    double fixed = 0;
    for (double w : m_columns)
        fixed += w;
    // On narrow paper the figures give way before the product's name does.
    constexpr double kProductMinimum = 60;
    if (fixed + kProductMinimum > area.width()) {
        const double shrink = std::max(0.0, area.width() - kProductMinimum) / fixed;
        for (double& w : m_columns)
            w *= shrink;
        fixed = area.width() - kProductMinimum;
    }
    m_columns[1] = area.width() - fixed;

    const double line = lineHeight(bodyFont());
    for (int i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        row.product = wrapped(m_slip.lines.at(i).product, bodyFont(), m_columns[1] - 2 * kPadX,
                              kMaxProductLines);
        row.height = row.product.size() * line + 2 * kPadY;
    }

    const double header = lineHeight(boldFont()) + 2 * kPadY;
    const double bottom = area.height() - lineHeight(smallFont()) - 6; // the page footer
    int next = 0;
    for (;;) {
        if (progress.cancelled())
            return 0;
        Page page;
        page.first = next;
        double y = headHeight(int(m_pages.size())) + header;
        while (next < m_rows.size() && (y + m_rows[next].height <= bottom || page.count == 0)) {
            y += m_rows[next++].height;
            ++page.count;
        }
        // Totals that fit on no page at all still close the last one.
        page.totals = next == m_rows.size() && (y + totalsHeight() <= bottom || page.count == 0);
        m_pages << page;
        if (page.totals)
            break;
    }
    return int(m_pages.size());
}

double SlipDocument::paintHead(QPainter& p, int index) const {
    const double width = m_area.width();
    double y = 0;
    const QString number =
        m_slip.number > 0 ? QStringLiteral("单号：") + m_slip.numberText() : QString();
    // A long name gives way to what shares its line.
    const auto party = [this](const QString& lead, double room) {
        return QFontMetricsF(bodyFont())
            .elidedText(lead + m_slip.partyLabel() + QStringLiteral("：") + m_slip.party,
                        Qt::ElideRight, std::max(0.0, room));
    };
    if (index > 0) {
        const double h = lineHeight(bodyFont());
        const double room = width - (number.isEmpty() ? 0 : textWidth(bodyFont(), number) + 12);
        drawText(p, QRectF(0, y, width, h), Qt::AlignLeft | Qt::AlignVCenter,
                 party(m_slip.title() + QStringLiteral("（续）　"), room), bodyFont());
        drawText(p, QRectF(0, y, width, h), Qt::AlignRight | Qt::AlignVCenter, number, bodyFont());
        return y + h + 10;
    }
    const ShopSettings& shop = m_slip.shop;
    if (!shop.name.isEmpty()) {
        const double h = lineHeight(shopFont());
        const QString name = QFontMetricsF(shopFont()).elidedText(shop.name, Qt::ElideRight, width);
        drawText(p, QRectF(0, y, width, h), Qt::AlignCenter, name, shopFont());
        y += h + 2;
    }
    QStringList contact;
    if (!shop.address.isEmpty())
        contact << QStringLiteral("地址：") + shop.address;
    if (!shop.phone.isEmpty())
        contact << QStringLiteral("电话：") + shop.phone;
    if (!contact.isEmpty()) {
        const double h = lineHeight(smallFont());
        const QString text =
            QFontMetricsF(smallFont())
                .elidedText(contact.join(QStringLiteral("　　")), Qt::ElideRight, width);
        drawText(p, QRectF(0, y, width, h), Qt::AlignCenter, text, smallFont(), kGrey);
        y += h;
    }
    y += 8;
    const double th = lineHeight(titleFont());
    // Spread out by en spaces: a font's letter spacing is not kept alike on
    // every device.
    QStringList letters;
    for (const QChar c : m_slip.title())
        letters << QString(c);
    drawText(p, QRectF(0, y, width, th), Qt::AlignCenter, letters.join(QChar(0x2002)), titleFont(),
             kAccent);
    y += th + 6;
    p.setPen(rule(kAccent, 1.6));
    p.drawLine(QPointF(0, y), QPointF(width, y));
    p.setPen(rule(kAccent, 0.5));
    p.drawLine(QPointF(0, y + 2.5), QPointF(width, y + 2.5));
    y += 10;

    const double h = lineHeight(bodyFont());
    const QRectF line(0, y, width, h);
    const QString date = QStringLiteral("日期：") + m_slip.date;
    drawText(p, line, Qt::AlignLeft | Qt::AlignVCenter,
             party(QString(), (width - textWidth(bodyFont(), date)) / 2 - 12), bodyFont());
    drawText(p, line, Qt::AlignHCenter | Qt::AlignVCenter, date, bodyFont());
    drawText(p, line, Qt::AlignRight | Qt::AlignVCenter, number, bodyFont());
    return y + h + 8;
}

double SlipDocument::paintTableHeader(QPainter& p, double y) const {
    const double h = lineHeight(boldFont()) + 2 * kPadY;
    p.fillRect(QRectF(0, y, m_area.width(), h), kHeaderFill);
    double x = 0;
    for (int c = 0; c < 6; ++c) {
        drawText(p, QRectF(x, y, m_columns[c], h), Qt::AlignCenter, kHeaders[c], boldFont());
        x += m_columns[c];
    }
    p.setPen(rule(kInk, 0.8));
    p.drawLine(QPointF(0, y), QPointF(m_area.width(), y));
    p.drawLine(QPointF(0, y + h), QPointF(m_area.width(), y + h));
    return y + h;
}

double SlipDocument::paintRow(QPainter& p, double y, const Row& row) const {
    const double line = lineHeight(bodyFont());
    const int align[6] = {Qt::AlignHCenter, Qt::AlignLeft,  Qt::AlignHCenter,
                          Qt::AlignRight,   Qt::AlignRight, Qt::AlignRight};
    double x = 0;
    for (int c = 0; c < 6; ++c) {
        const QRectF cell(x + kPadX, y + kPadY, m_columns[c] - 2 * kPadX, row.height - 2 * kPadY);
        if (c == 1) {
            for (int k = 0; k < row.product.size(); ++k)
                drawText(p, QRectF(cell.left(), cell.top() + k * line, cell.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, row.product.at(k), bodyFont());
        } else {
            drawText(p, cell, align[c] | Qt::AlignVCenter, row.cells[c], bodyFont());
        }
        x += m_columns[c];
    }
    p.setPen(rule(kRule, 0.4));
    p.drawLine(QPointF(0, y + row.height), QPointF(m_area.width(), y + row.height));
    return y + row.height;
}

void SlipDocument::paintTotals(QPainter& p, double y) const {
    const double width = m_area.width();
    const double h = lineHeight(boldFont()) + 2 * kPadY;
    const double amountLeft = width - m_columns[5];
    drawText(p, QRectF(0, y, amountLeft - kPadX, h), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("合　计"), boldFont());
    drawText(p, QRectF(amountLeft, y, m_columns[5] - kPadX, h), Qt::AlignRight | Qt::AlignVCenter,
             centsText(m_slip.total), boldFont());
    p.setPen(rule(kInk, 0.8));
    p.drawLine(QPointF(0, y + h), QPointF(width, y + h));
    y += h + 12;

    const double line = lineHeight(boldFont());
    const std::optional<QString> capitals = chineseCapitals(m_slip.total);
    const QString words = capitals ? QStringLiteral("人民币：") + *capitals
                                   : QStringLiteral("合计为负数，不写大写金额");
    const QString label = QStringLiteral("金额合计（大写）　");
    drawText(p, QRectF(0, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, label, bodyFont());
    const double wordsLeft = textWidth(bodyFont(), label);
    drawText(p, QRectF(wordsLeft, y, width - wordsLeft, line), Qt::AlignLeft | Qt::AlignVCenter,
             words, boldFont());
    const QString figure = QStringLiteral("（小写）") + money(m_slip.total);
    if (wordsLeft + textWidth(boldFont(), words) + textWidth(bodyFont(), figure) + 20 < width)
        drawText(p, QRectF(0, y, width, line), Qt::AlignRight | Qt::AlignVCenter, figure,
                 bodyFont());
    y += line + 6;

    const double body = lineHeight(bodyFont());
    drawText(p, QRectF(0, y, width, body), Qt::AlignLeft | Qt::AlignVCenter,
             m_slip.paidLabel() + QStringLiteral("：") + money(m_slip.paid), bodyFont());
    drawText(p, QRectF(width / 2, y, width / 2, body), Qt::AlignLeft | Qt::AlignVCenter,
             m_slip.owedLabel() + QStringLiteral("：") + money(m_slip.owed()), bodyFont());
    y += body + 28;

    drawText(p, QRectF(0, y, width / 2, body), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("操作员：") + m_slip.operatorName, bodyFont());
    const QString sign = m_slip.signatureLabel();
    drawText(p, QRectF(width / 2, y, width / 2, body), Qt::AlignLeft | Qt::AlignVCenter, sign,
             bodyFont());
    p.setPen(rule(kInk, 0.6));
    const double lineY = y + body;
    p.drawLine(QPointF(width / 2 + textWidth(bodyFont(), sign) + 2, lineY), QPointF(width, lineY));
}

void SlipDocument::paintPage(QPainter& p, int index) {
    if (index < 0 || index >= m_pages.size())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const Page& page = m_pages.at(index);
    double y = paintHead(p, index);
    const double top = y;
    y = paintTableHeader(p, y);
    for (int i = page.first; i < page.first + page.count; ++i)
        y = paintRow(p, y, m_rows.at(i));
    // The columns' rules from the header down to the last line of the page.
    const double tableBottom = page.totals ? y + lineHeight(boldFont()) + 2 * kPadY : y;
    p.setPen(rule(kRule, 0.4));
    double x = 0;
    for (int c = 0; c < 5; ++c) {
        x += m_columns[c];
        // The totals row runs across the columns but the amount's.
        const double end = page.totals && c < 4 ? y : tableBottom;
        p.drawLine(QPointF(x, top), QPointF(x, end));
    }
    p.setPen(rule(kInk, 0.8));
    p.drawLine(QPointF(0.4, top), QPointF(0.4, tableBottom));
    p.drawLine(QPointF(m_area.width() - 0.4, top), QPointF(m_area.width() - 0.4, tableBottom));
    if (page.totals)
        paintTotals(p, y);
    const double fh = lineHeight(smallFont());
    drawText(p, QRectF(0, m_area.height() - fh, m_area.width(), fh), Qt::AlignCenter,
             PrintHeading::pageText(index + 1, int(m_pages.size())), smallFont(), kGrey);
    p.restore();
}

bool printNumbered(const Database& db, SlipDocument& document, const std::function<bool()>& print) {
    const SlipKind kind = document.slip().kind;
    const qint64 number = SlipNumbers::take(db, kind);
    document.setNumber(number);
    bool printed = false;
    try {
        printed = print();
    } catch (...) {
        SlipNumbers::giveBack(db, kind, number);
        throw;
    }
    if (!printed)
        SlipNumbers::giveBack(db, kind, number);
    return printed;
}

} // namespace tl
