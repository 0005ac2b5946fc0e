#pragma once

#include <QtGlobal>
#include <optional>

class QWidget;

namespace tl {

class Database;
struct Session;

// The sale, purchase and transfer entry windows, shown modally over owner
// (which stays disabled meanwhile). Without an id the window starts empty for
// adding; with one it loads that record for modifying. Each returns after the
// window closed, true when something was saved or a master list may have
// changed, so that the opener reloads its view.
bool openSaleEntry(QWidget* owner, Session& session, const Database& db, std::optional<qint64> id);
bool openBuyEntry(QWidget* owner, Session& session, const Database& db, std::optional<qint64> id);
bool openTransferEntry(QWidget* owner, Session& session, const Database& db,
                       std::optional<qint64> id);

} // namespace tl
