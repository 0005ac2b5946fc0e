#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tl {
class Database;
struct Session;
} // namespace tl

// Each window family adds a file here that registers a function showing its
// windows and saving each with save(). main.cpp sets up the sample account set,
// logs in as the preset operator and runs every registered function in order.
namespace shots {

struct Context {
    tl::Database& db;
    tl::Session& session;
    QString outDir;
    // Lays the widget out, lets it paint and writes outDir/<name>.png.
    std::function<void(QWidget*, const QString& name)> save;
};

using ShotFn = std::function<void(Context&)>;

struct Registrar {
    Registrar(int order, const char* family, ShotFn fn);
};

} // namespace shots

// SHOTS(order, family) { ... ctx.save(&window, "登录"); }
#define SHOTS_CAT2(a, b) a##b
#define SHOTS_CAT(a, b) SHOTS_CAT2(a, b)
#define SHOTS(order, family)                                                                       \
    static void SHOTS_CAT(shots_fn_, __LINE__)(shots::Context & ctx);                              \
    static shots::Registrar SHOTS_CAT(shots_reg_, __LINE__)(order, family,                         \
                                                            SHOTS_CAT(shots_fn_, __LINE__));       \
    static void SHOTS_CAT(shots_fn_, __LINE__)(shots::Context & ctx)
