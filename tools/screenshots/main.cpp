// Opens every window against the sample account set on the current platform
// and saves a PNG of each into the folder given on the command line.
#include "Shots.h"

#include "core/accounts/AppPaths.h"
#include "core/accounts/Login.h"
#include "core/accounts/Registry.h"
#include "core/sample/SampleData.h"
#include "gui/widgets/AppStyle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace shots {
namespace {
struct Entry {
    int order;
    const char* family;
    ShotFn fn;
};
std::vector<Entry>& registry() {
    static std::vector<Entry> entries;
    return entries;
}
} // namespace

Registrar::Registrar(int order, const char* family, ShotFn fn) {
    registry().push_back({order, family, std::move(fn)});
}
} // namespace shots

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tl::applyAppStyle(app);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tl_screenshots <output folder>\n");
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(outDir);

    // A program folder of its own, as on a first start: template, then sample.
    const QString templ = tl::AppPaths::templatePath();
    QTemporaryDir folder;
    tl::AppPaths::setProgramFolder(folder.path());
    tl::Outcome outcome;
    if (!QFile::copy(templ, folder.path() + QStringLiteral("/DB.lbk")) ||
        !tl::SampleData::ensureFirstStart(outcome)) {
        std::fprintf(stderr, "cannot build the sample account set from %s\n", qPrintable(templ));
        return 1;
    }
    const QList<tl::RegistryEntry> sets = tl::Registry().list(outcome);
    auto login = sets.isEmpty()
                     ? std::nullopt
                     : tl::Login::authenticate(sets.first().path, QStringLiteral("admin"),
                                               QStringLiteral("730281"))
                           .login;
    if (!login) {
        std::fprintf(stderr, "cannot log in to the sample account set\n");
        return 1;
    }

    int saved = 0;
    shots::Context ctx{*login->db, login->session, outDir, {}};
    ctx.save = [&](QWidget* w, const QString& name) {
        // A window nobody sized yet opens at its preferred size.
        const QSize hint = w->sizeHint();
        if (w->testAttribute(Qt::WA_Resized) || w->isVisible())
            w->resize(w->size().expandedTo(hint));
        else
            w->resize(hint);
        w->show();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        const QString file = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (w->grab().save(file)) {
            ++saved;
            std::printf("%s\n", qPrintable(file));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        }
    };

    auto& entries = shots::registry();
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.order < b.order; });
    for (const auto& e : entries)
        e.fn(ctx);
    std::printf("%d pictures\n", saved);
    return 0;
}
