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
    // True once the operator asked to stop (the progress window's 取消 while
    // it offers one); work that can stop cleanly looks between its steps.
    virtual bool cancelled() const { return false; }

    // Does nothing; the default for work started without a window.
    static Progress& silent();
};

} // namespace tl
