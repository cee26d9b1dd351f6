#include "cli.h"

#include <QApplication>

int runVelmora(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
