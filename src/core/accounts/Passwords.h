#pragma once

#include <QString>

namespace tl {

// Operators' passwords are stored as Argon2id hashes (libsodium's
// crypto_pwhash_str at its interactive limits: about a third of a second per
// hash or check), never as the text itself. Files from older versions and
// the template keep plain texts; they still match, and the login replaces
// them by a hash.
class Passwords {
public:
    // A fresh hash of password, in libsodium's "$argon2id$..." text form.
    static QString hash(const QString& password);
    // True when stored is a hash rather than a plain password.
    static bool isHash(const QString& stored);
    // Whether typed is the password stored: a hash is checked by libsodium, a
    // plain text must equal typed exactly (case and blanks count). An empty
    // stored value matches nothing.
    static bool matches(const QString& stored, const QString& typed);

    // The test programs log in and save operators many times: after this call
    // new hashes use libsodium's minimum cost. Checking reads the cost from
    // each hash, so a hash made either way is checked either way.
    static void useMinimumCostForTests();
};

} // namespace tl
