#include "data/Helpers.h"

#include "data/Clock.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {

namespace {

// Up to 15 significant digits written out in full: the 'g' form would turn
// 0.00001 into 1e-05, which the money form then misreads.
QString plainNumber(double v) {
    if (!std::isfinite(v))
        return QString::number(v);
    if (v == 0)
        return QStringLiteral("0");
    QString s = QString::number(v, 'g', 15);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e < 0)
        return s;
    const int exponent = s.mid(e + 1).toInt();
    if (exponent >= 0)
        return QString::number(v, 'f', 0);
    // 15 significant digits starting at the exponent's place; 340 is past
    // the smallest double, so nothing non-zero disappears.
    s = QString::number(v, 'f', std::min(14 - exponent, 340));
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

} // namespace

QString toText(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return plainNumber(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString().trimmed();
    }
}

double roundSum(double value) {
    if (!std::isfinite(value))
        return value;
    // Beyond 2^53 / 10^6 a double holds no sixth decimal to round.
    if (std::fabs(value) >= 9.0e9)
        return value;
    const double r = std::round(value * 1e6) / 1e6;
    return r == 0 ? 0.0 : r;
}

QString sumText(double value) {
    return plainNumber(roundSum(value));
}

QString sumMoneyText(double value) {
    return moneyText(sumText(value));
}

double cellNumber(const QString& text) {
    bool ok = false;
    const double v = moneyValue(text).trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

QString itemText(const QString& name, const QVariant& key) {
    return toText(key) + QChar(0x2016) + name;
}

int itemId(const QString& text) {
    const qsizetype sep = text.indexOf(QChar(0x2016));
    if (sep < 0)
        return 0;
    const std::optional<double> key = readLeadingNumber(text.left(sep));
    return key ? roundHalfEven(*key) : 0;
}

std::optional<double> readLeadingNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(0).trimmed().toDouble();
}

QString itemName(const QString& text) {
    const qsizetype sep = text.indexOf(QChar(0x2016));
    return sep < 0 ? text : text.mid(sep + 1);
}

double leadingNumber(const QString& text) {
    return readLeadingNumber(text).value_or(0);
}

QString moneyValue(const QString& text) {
    QString s = text;
    s.remove(QChar(0xFFE5)).remove(QChar(0x00A5)).remove(QLatin1Char(','));
    return s;
}

QString moneyText(const QString& text) {
    QString s = moneyValue(text);
    const qsizetype p = s.indexOf(QLatin1Char('.'));
    if (p < 0)
        return s + QStringLiteral(".00");
    if (p == s.size() - 1)
        return s + QStringLiteral("00");
    if (p == s.size() - 2)
        return s + QStringLiteral("0");
    return s.left(p + 3);
}

QDate firstOfMonth(const QDate& date) {
    return QDate(date.year(), date.month(), 1);
}

QDate lastOfMonth(const QDate& date) {
    return firstOfMonth(date).addMonths(1).addDays(-1);
}

QDate firstOfYear() {
    return QDate(Clock::today().year(), 1, 1);
}

QDate lastOfYear() {
    return QDate(Clock::today().year(), 12, 31);
}

QString yearMonthText(const QDate& date) {
    return QStringLiteral("%1.%2").arg(date.year()).arg(date.month(), 2, 10, QLatin1Char('0'));
}

QString unreadableReason(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return QStringLiteral("这是一个文件夹，不是文件");
        if (::access(name.constData(), R_OK) == 0)
            return {};
    } else if (errno == ENOENT) {
        return {};
    }
    if (errno == EACCES || errno == EPERM)
        return QStringLiteral(
            "没有读取权限（文件或它所在的文件夹属于其他用户，或权限不许本用户读取）");
    return qt_error_string(errno);
}

bool copyFileReplacing(const QString& source, const QString& target) {
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return false;
    // QSaveFile writes a temporary file of its own unique name beside the
    // target, syncs it and renames it over the target: the old file stays
    // whole until the new one is complete, and no other file is touched.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

int roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value); // default rounding mode: halves to even
    if (r >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (r <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

bool syncToDisk(const QString& path) {
    // O_RDONLY opens a folder too; fsync of a folder writes its entries.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace tl
