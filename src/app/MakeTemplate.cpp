// Writes the empty template account set (DB.lbk) that new account sets copy.
#include "core/data/Database.h"
#include "core/data/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tl_mktemplate <DB.lbk>\n");
        return 2;
    }
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QString temp = target + QStringLiteral(".new");
    QFile::remove(temp);
    try {
        // One self-contained file: copies of it must not need a -wal beside them.
        auto db = tl::Database::open(temp, tl::Database::OpenMode::CreateIfMissing,
                                     tl::Database::Journal::Rollback);
        if (!db)
            return 1;
        tl::Schema::createAccountSet(*db);
    } catch (const tl::DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    QFile::remove(target);
    return QFile::rename(temp, target) ? 0 : 1;
}
