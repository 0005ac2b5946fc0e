#pragma once

#include "data/Dialogs.h"

class QWidget;

namespace tl {

// The real boxes: QMessageBox and QFileDialog with the program title, parented
// to the active window.
class QtDialogs : public Dialogs {
public:
    void info(const QString& text) override;
    bool question(const QString& text) override;
    QString openFileName(const QString& caption, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& filter,
                         QString* selectedFilter = nullptr) override;
};

} // namespace tl
