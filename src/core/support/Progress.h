#pragma once

#include <QString>

namespace tl {

// Long work reports how far it has come. The window shows a bar and mirrors
// the caption in the main window's status line; core code and tests may pass
// the silent one.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void show(const QString& caption, int total) = 0;
    virtual void step(int position) = 0;
    virtual void advance(int steps) = 0;
    virtual void close() = 0;
    // Work that can stop cleanly offers the operator a 取消 while it runs
    // (on), withdraws it when done (off), and looks at cancelled() between
    // its steps: true once the operator asked to stop.
    virtual void offerCancel(bool on) { Q_UNUSED(on); }
    virtual bool cancelled() const { return false; }

    // Does nothing; the default for work started without a window.
    static Progress& silent();
};

// Closes the progress display when the work ends, however it ends.
struct ProgressCloser {
    Progress& progress;
    ~ProgressCloser() { progress.close(); }
};

} // namespace tl
