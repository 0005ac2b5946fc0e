#pragma once

namespace tl {

// While a save waits for another copy of the program, the active window shows
// a wait cursor and says so in its status line, instead of freezing without
// a word. busyNotice() is what the database calls: true when a wait has
// begun, false when it is over.
void installBusyNotice();
void busyNotice(bool waiting);

// "正在等待另一处的保存完成……"
extern const char* const busyNoticeText;

} // namespace tl
