#pragma once

#include <functional>

class QWidget;

namespace tl {

class Database;
struct Session;

enum class MasterEditorButton { Product, Customer, Supplier, Account, Storage, Staff };

// What a "添加产品" (etc.) button beside a list runs: the master editor of that
// table, opened for adding over the owner; true when the table may have
// changed. Empty when this build has no such editor (the button stays hidden).
std::function<bool(QWidget* owner)> masterEditorOpener(MasterEditorButton table, Session& session,
                                                       const Database& db);

} // namespace tl
