#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tl::test {

// Runs a function on the next modal dialog that opens (for window tests).
inline void onNextDialog(std::function<void(QDialog*)> fn) {
    QTimer::singleShot(0, [fn] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        fn(dialog);
    });
}

} // namespace tl::test
