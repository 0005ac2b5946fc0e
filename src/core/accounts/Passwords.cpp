#include "core/accounts/Passwords.h"

#include "core/data/Database.h"

#include <sodium.h>

namespace tl {

namespace {

bool minimumCost = false;

// sodium_init is safe to call more than once; the first call sets up the
// library, later ones return at once.
void initSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw DbError::failed(QStringLiteral("密码加密组件初始化失败。"));
}

} // namespace

QString Passwords::hash(const QString& password) {
    initSodium();
    const QByteArray text = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const unsigned long long ops =
        minimumCost ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    const size_t mem =
        minimumCost ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
    if (crypto_pwhash_str_alg(out, text.constData(), size_t(text.size()), ops, mem,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw DbError::failed(QStringLiteral("内存不足，无法加密密码。"));
    return QString::fromLatin1(out);
}

bool Passwords::isHash(const QString& stored) {
    return stored.startsWith(QLatin1String(crypto_pwhash_argon2id_STRPREFIX));
}

bool Passwords::matches(const QString& stored, const QString& typed) {
    if (stored.isEmpty())
        return false;
    if (!isHash(stored))
        return stored == typed;
    initSodium();
    const QByteArray hashText = stored.toLatin1();
    const QByteArray text = typed.toUtf8();
    return crypto_pwhash_str_verify(hashText.constData(), text.constData(),
                                    static_cast<unsigned long long>(text.size())) == 0;
}

void Passwords::useMinimumCostForTests() {
    minimumCost = true;
}

} // namespace tl
