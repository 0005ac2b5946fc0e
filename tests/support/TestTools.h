#pragma once

#include "data/Rights.h"
#include "data/Session.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>

// Small helpers several test programs share.
namespace tl::test {

// An operator session holding the given rights (the preset admin by default).
inline Session sessionWith(const QStringList& rights, const QString& uid = QStringLiteral("1")) {
    Session s;
    s.operatorName = QStringLiteral("admin");
    s.operatorId = uid;
    s.rights = Rights::join(rights);
    return s;
}

inline Session adminSession() {
    Session s = sessionWith({});
    s.rights = Rights::all();
    return s;
}

// Every right of the vocabulary except the named ones.
inline QString allRightsBut(const QStringList& names) {
    QStringList granted;
    for (const QString& entry : Rights::vocabulary())
        if (!names.contains(Rights::bare(entry)))
            granted << Rights::bare(entry);
    return Rights::join(granted);
}

// Runs a function on the next modal dialog that opens.
inline void onNextDialog(std::function<void(QDialog*)> fn) {
    QTimer::singleShot(0, [fn] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        fn(dialog);
    });
}

inline QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace tl::test
