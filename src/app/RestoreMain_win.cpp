// The program: drive letters are the machine's own.

#include <QApplication>

#include "ProgramStart.h"
#include "StartupReport.h"
#include "WindowsDrives_win.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velmira::ProgramStart start(app, velmira::StartupReport::Show);
    velmira::WindowsDrives drives;
    return start.Run(drives, drives);
}
