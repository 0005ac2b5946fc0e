#include "core/data/ServerAddress.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace tl {

namespace {
// The connection settings an address may carry; anything else is a typing
// error the operator should hear about rather than a setting silently lost.
const QStringList kKnownOptions{QStringLiteral("sslmode"),
                                QStringLiteral("sslrootcert"),
                                QStringLiteral("sslcert"),
                                QStringLiteral("sslkey"),
                                QStringLiteral("connect_timeout"),
                                QStringLiteral("options"),
                                QStringLiteral("target_session_attrs"),
                                QStringLiteral("gssencmode")};
} // namespace

bool ServerAddress::isAddress(const QString& text) {
    const QString t = text.trimmed();
    return t.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive) ||
           t.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive);
}

bool ServerAddress::parse(const QString& text, ServerAddress& address, QString* problem) {
    auto fail = [&](const QString& why) {
        if (problem)
            *problem = why;
        return false;
    };
    const QString format = QStringLiteral("postgresql://用户名@服务器:端口/数据库名");
    if (!isAddress(text))
        return fail(QStringLiteral("服务器地址应写成 %1。").arg(format));
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid())
        return fail(QStringLiteral("服务器地址写得不对，应写成 %1。").arg(format));
    if (!url.password().isEmpty())
        return fail(QStringLiteral("服务器地址里不能写密码。密码请放在 ~/.pgpass 文件或 PGPASSWORD "
                                   "环境变量里，或者在登录时输入。"));
    ServerAddress a;
    a.user = url.userName();
    if (a.user.isEmpty())
        return fail(QStringLiteral("服务器地址里缺少用户名，应写成 %1。").arg(format));
    if (!url.host().isEmpty())
        a.host = url.host();
    a.port = url.port(5432);
    a.database = url.path().mid(1);
    static const QRegularExpression plainName(QStringLiteral("^[^/\\s]+$"));
    if (!plainName.match(a.database).hasMatch())
        return fail(QStringLiteral("服务器地址里缺少数据库名，应写成 %1。").arg(format));
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QStringLiteral("password"))
            return fail(QStringLiteral("服务器地址里不能写密码。密码请放在 ~/.pgpass 文件或 "
                                       "PGPASSWORD 环境变量里，或者在登录时输入。"));
        if (!kKnownOptions.contains(key))
            return fail(QStringLiteral("服务器地址里的设置“%1”无法识别。").arg(key));
        a.options.append({key, value});
    }
    address = a;
    return true;
}

QString ServerAddress::toString() const {
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    if (!options.isEmpty()) {
        QUrlQuery query;
        for (const auto& [key, value] : options)
            query.addQueryItem(key, value);
        url.setQuery(query);
    }
    return url.toString(QUrl::FullyEncoded);
}

} // namespace tl
