#include "gui/widgets/Dialogs.h"

#include "core/data/OpenDatabases.h"

#include <QFileInfo>

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

bool mayWriteChosenFile(const QString& path, const QString& replaceQuestion) {
    if (OpenDatabases::holds(path)) {
        dialogs().info(OpenDatabases::refusal());
        return false;
    }
    return !QFileInfo::exists(path) || dialogs().question(replaceQuestion);
}

} // namespace tl
