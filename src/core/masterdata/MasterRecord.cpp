#include "core/masterdata/MasterRecord.h"

#include "core/accounts/Passwords.h"
#include "core/accounts/Session.h"
#include "core/data/Database.h"
#include "core/masterdata/Lookups.h"
#include "core/masterdata/MasterRights.h"
#include "core/values/ItemText.h"
#include "core/values/Numbers.h"

#include <QSet>
#include <QSqlQuery>
#include <cmath>

namespace tl {
namespace {

using Kind = MasterField::Kind;
using Status = SaveOutcome::Status;

SaveOutcome refused(const QString& message, int faultBox = -1) {
    SaveOutcome out;
    out.status = Status::Refused;
    out.message = message;
    out.faultBox = faultBox;
    return out;
}

// Price boxes are read as the entry windows read theirs: "￥" and "," left
// out, then the leading number ("12.5元" is 12.5; an empty box is 0). Nothing
// for a text with no number in front ("abc"): refused rather than stored as 0.
std::optional<double> numberOf(const QString& text) {
    const QString value = moneyValue(text);
    if (value.trimmed().isEmpty())
        return 0.0;
    return readLeadingNumber(value);
}

// The columns a save writes and their values, each column once.
struct Assignments {
    QStringList columns;
    QVariantList values;
};

// The password boxes of an editor (the password and its confirmation).
QStringList passwordsOf(const MasterTableDef& def, const MasterInput& input) {
    QStringList passwords;
    for (const MasterField& f : def.fields) {
        if (f.kind == Kind::Password)
            passwords << input.box(f.box);
    }
    return passwords;
}

// passwordHash: the hash to store, or empty to keep the stored password.
Assignments assignmentsOf(const MasterTableDef& def, const MasterInput& input, bool adding,
                          const QString& passwordHash) {
    Assignments a;
    QSet<QString> seen;
    for (const MasterField& f : def.fields) {
        if (seen.contains(f.field))
            continue; // the confirmation box of a password
        seen.insert(f.field);
        if (f.kind == Kind::Password) {
            if (!passwordHash.isEmpty()) {
                a.columns << f.field;
                a.values << passwordHash;
            }
            continue;
        }
        if (f.kind == Kind::Hidden) {
            if (adding) { // the operator's rights: a new operator has none
                a.columns << f.field;
                a.values << QString();
            }
            continue;
        }
        a.columns << f.field;
        if (f.kind == Kind::Number)
            a.values << numberOf(input.box(f.box)).value_or(0); // checkInput refused the unread
        else
            a.values << input.box(f.box);
    }
    if (!def.comboField.isEmpty()) {
        a.columns << def.comboField;
        a.values << itemId(input.comboText);
    }
    return a;
}

// The first box of a kind, -1 when the editor has none.
int firstBoxOf(const MasterTableDef& def, Kind kind) {
    for (const MasterField& f : def.fields) {
        if (f.kind == kind)
            return f.box;
    }
    return -1;
}

// A refusal when a check fails, nothing when the input may be saved.
std::optional<SaveOutcome> checkInput(const Database& db, const MasterTableDef& def,
                                      const MasterInput& input, bool adding) {
    if (def.confirmPassword) {
        const QStringList passwords = passwordsOf(def, input);
        const int passwordBox = firstBoxOf(def, Kind::Password);
        if (passwords.size() == 2 && passwords[0] != passwords[1])
            return refused(QStringLiteral("两次输入密码不一致，请重新输入！"), passwordBox);
        // Both boxes empty keep the stored password; a new operator needs one,
        // as an empty password can never log in.
        if (adding && !passwords.isEmpty() && passwords[0].isEmpty())
            return refused(QStringLiteral("密码不能为空，请输入密码！"), passwordBox);
    }
    for (const MasterField& f : def.fields) {
        if (f.kind != Kind::Number)
            continue;
        const std::optional<double> number = numberOf(input.box(f.box));
        if (!number)
            return refused(f.label.chopped(1) + QStringLiteral("不是有效的数字，请重新输入！"),
                           f.box);
        if (!std::isfinite(*number))
            return refused(QStringLiteral("价格超出范围，请重新输入！"), f.box);
    }
    if (!def.comboRequiredMessage.isEmpty() && itemId(input.comboText) <= 0)
        return refused(def.comboRequiredMessage, SaveOutcome::comboAtFault);
    const MasterField* nameField = def.namedBy();
    const int nameBox = nameField && nameField->kind != Kind::Hidden ? nameField->box : -1;
    const QString name = nameField ? input.box(nameField->box) : QString();
    if (!def.nameRequiredMessage.isEmpty() && name.trimmed().isEmpty())
        return refused(def.nameRequiredMessage, nameBox);
    if (!def.duplicateMessage.isEmpty() && (adding || def.checkNameOnModify)) {
        const QString table = Database::ident(def.table);
        const QString nameCol = Database::ident(def.nameField);
        const QString keyCol = Database::ident(def.keyField);
        const QString sameName = QStringLiteral("%1=%2").arg(
            Database::caseless(nameCol), Database::caseless(QStringLiteral("?")));
        const bool taken =
            adding
                ? db.value(QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIMIT 1").arg(table, sameName),
                           {name})
                      .isValid()
                : db.value(QStringLiteral("SELECT 1 FROM %1 WHERE %2 AND %3<>? LIMIT 1")
                               .arg(table, sameName, keyCol),
                           {name, input.key})
                      .isValid();
        if (taken)
            return refused(def.duplicateMessage, nameBox);
    }
    return std::nullopt;
}

} // namespace

QString noRightMessage() {
    return QStringLiteral("您没有执行此操作的权限！");
}

std::optional<MasterInput> loadMasterRecord(const Database& db, MasterTable table, qint64 key) {
    const MasterTableDef& def = masterTableDef(table);
    QStringList columns;
    for (const MasterField& f : def.fields)
        columns << Database::ident(f.field);
    if (!def.comboField.isEmpty())
        columns << Database::ident(def.comboField);
    QSqlQuery q = db.run(QStringLiteral("SELECT %1 FROM %2 WHERE %3=?")
                             .arg(columns.join(QLatin1Char(',')), Database::ident(def.table),
                                  Database::ident(def.keyField)),
                         {key});
    if (!q.next())
        return std::nullopt;
    MasterInput in;
    in.key = key;
    int c = 0;
    for (const MasterField& f : def.fields) {
        // A stored password is never shown, not even masked: its boxes start
        // empty, and saving them empty keeps it.
        in.boxes[f.box] = f.kind == Kind::Password ? QString() : toText(q.value(c));
        ++c;
    }
    if (!def.comboField.isEmpty()) {
        const QVariant ref = q.value(c);
        if (!ref.isNull() && ref.toLongLong() != 0) {
            in.comboText = itemText(
                db.nameById(def.comboTable, ref, def.comboKeyField, def.comboNameField), ref);
        }
    }
    return in;
}

SaveOutcome saveMasterRecord(const Database& db, const Session& session, MasterTable table,
                             const MasterInput& input) {
    const MasterTableDef& def = masterTableDef(table);
    const bool adding = input.key <= 0;
    if (adding ? !mayAdd(session, table) : !mayModify(session, table, input.key))
        return refused(noRightMessage());

    // Hashing takes a moment: done before the transaction takes the write lock.
    const QStringList passwords = passwordsOf(def, input);
    const bool newPassword = !passwords.isEmpty() && !passwords[0].isEmpty() &&
                             (passwords.size() < 2 || passwords[0] == passwords[1]);
    const QString passwordHash = newPassword ? Passwords::hash(passwords[0]) : QString();

    return db.retrying([&]() -> SaveOutcome {
        Transaction tx(db);
        if (!adding)
            db.lockRows(def.table, def.keyField, {input.key});
        if (!def.duplicateMessage.isEmpty() && (adding || def.checkNameOnModify))
            lockNames(db, def.table);
        if (std::optional<SaveOutcome> problem = checkInput(db, def, input, adding))
            return *problem;

        const QString tableName = Database::ident(def.table);
        const QString keyCol = Database::ident(def.keyField);
        const Assignments a = assignmentsOf(def, input, adding, passwordHash);
        QStringList quoted;
        for (const QString& column : a.columns)
            quoted << Database::ident(column);

        SaveOutcome out;
        if (adding) {
            const QStringList marks(quoted.size(), QStringLiteral("?"));
            out.key = db.insertKey(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(tableName, quoted.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                a.values, def.keyField);
            out.clearForm = true;
        } else {
            if (!db.value(QStringLiteral("SELECT 1 FROM %1 WHERE %2=?").arg(tableName, keyCol),
                          {input.key})
                     .isValid()) {
                out.status = Status::Missing;
                out.message = def.missingMessage;
                // A vanished record that needs no word sends the editor back to adding.
                out.clearForm = def.missingMessage.isEmpty();
                return out;
            }
            for (QString& column : quoted)
                column += QStringLiteral("=?");
            db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                        .arg(tableName, quoted.join(QLatin1Char(',')), keyCol),
                    a.values + QVariantList{input.key});
            out.key = input.key;
            out.clearForm = def.clearAfterChange || session.hasRight(def.addRight);
        }
        tx.commit();
        out.status = Status::Stored;
        return out;
    });
}

} // namespace tl
