#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>

class QWidget;

namespace tl {

class Database;
struct Session;

// The entry windows of sales, purchases and transfers live elsewhere; they
// register here and the main window's add and modify buttons go through this
// table. A button whose window is not registered stays hidden.
enum class EntryKind { Sale, Purchase, Transfer };

// Shows the entry window over owner, empty (no key) or on the record with the
// given ID, and returns once the window has closed: true when something may
// have changed, so that the main window reloads its view.
using EntryOpener = std::function<bool(QWidget* owner, Session& session, const Database& db,
                                       std::optional<qint64> key)>;

class EntryOpeners {
public:
    // Registers (or, with an empty function, removes) the window of one kind.
    static void install(EntryKind kind, EntryOpener opener);
    static bool has(EntryKind kind);
    // The registered opener; an empty function when there is none.
    static const EntryOpener& opener(EntryKind kind);
};

} // namespace tl
