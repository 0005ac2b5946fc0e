#include "core/lists/ColumnSpec.h"

#include "core/data/Database.h"

#include <QRegularExpression>
#include <QStringList>

namespace tl {

namespace {

bool plainName(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

bool plainExpression(const QString& s) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_ .*+\\-/()]+$"));
    return re.match(s).hasMatch();
}

} // namespace

ColumnSpec ColumnSpec::parse(const QString& spec) {
    ColumnSpec c;
    if (spec.isEmpty())
        return c;
    if (spec.contains(QLatin1Char(':'))) {
        const QStringList parts = spec.split(QLatin1Char(':'));
        c.name = parts[0];
        if (parts.size() >= 4 && plainName(parts[0]) && plainName(parts[1]) &&
            plainName(parts[2]) && plainName(parts[3])) {
            c.kind = Kind::Lookup;
            c.select = Database::ident(parts[0]);
            c.table = parts[1];
            c.key = parts[2];
            c.display = parts[3];
        } else {
            c.kind = Kind::Broken;
        }
        return c;
    }
    const qsizetype as = spec.indexOf(QLatin1String(" AS "));
    if (as >= 0) {
        const QString expr = spec.left(as).trimmed();
        const QString alias = spec.mid(as + 4).trimmed();
        c.name = alias;
        if (!expr.isEmpty() && plainExpression(expr) && !alias.isEmpty() &&
            !alias.contains(QLatin1Char('"'))) {
            c.kind = Kind::Expression;
            c.select = QStringLiteral("(%1) AS \"%2\"").arg(expr, alias);
        } else {
            c.kind = Kind::Broken;
        }
        return c;
    }
    c.name = spec;
    if (plainName(spec)) {
        c.kind = Kind::Field;
        c.select = Database::ident(spec);
    } else {
        c.kind = Kind::Broken;
    }
    return c;
}

} // namespace tl
