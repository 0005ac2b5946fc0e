#include "widgets/QtDialogs.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tl::QtDialogs dialogs;
    tl::Dialogs::install(&dialogs);
    return 0;
}
