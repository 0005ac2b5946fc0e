#include "widgets/Dialogs.h"

namespace tl {
namespace {

class SilentDialogs : public Dialogs {
public:
    void info(const QString&) override {}
    bool question(const QString&) override { return false; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, QString*, const QString&) override {
        return {};
    }
};

SilentDialogs silent;
Dialogs* current = nullptr;

} // namespace

Dialogs& Dialogs::instance() {
    return current ? *current : silent;
}

void Dialogs::install(Dialogs* dialogs) {
    current = dialogs;
}

} // namespace tl
