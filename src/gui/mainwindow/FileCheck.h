#pragma once

namespace tl {

class Database;
class Progress;

// The whole-file check of an account set that the login left for later (on
// a large file it would keep the operator waiting before the main window):
// runs SQLite's quick_check once the window is up and warns with
// "套帐文件已损坏…" (the engine's findings behind the details button) when
// the file is damaged. Returns true when the file is sound.
bool checkAccountSetFile(const Database& db, Progress& progress);

} // namespace tl
