// The program: C is "/", backup media are the machine's removable drives.

#include <QApplication>

#include "app/ProgramStart.h"
#include "app/StartupBox.h"
#include "drives/MountedDrives.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velmira::ProgramStart start(app, velmira::StartupBox::Show);
    velmira::MountedDrives drives;
    return start.Run(drives, drives);
}
