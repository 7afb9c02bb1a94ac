// The program over drives simulated in a folder, for trying it without a
// backup medium or a chart system.

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "app/ProgramStart.h"
#include "app/StartupBox.h"
#include "app/demo/DemoSandbox.h"
#include "commands/StartupReport.h"
#include "drives/SandboxDrives.h"

namespace {

constexpr const char* kUsage =
    "usage: velmira-restore-demo [DIR]\n"
    "  DIR holds one folder per drive letter (DIR/C, DIR/F, ...) and optionally\n"
    "  DIR/drives.txt with lines \"<LETTER> <type>\". Without DIR a sample set of\n"
    "  drives is made in a new temporary folder, which is kept.\n";

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Before QApplication, which needs a display.
    if (AsksForHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QApplication app(argc, argv);  // takes out Qt's own options
    if (argc > 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    velmira::ProgramStart start(app, velmira::StartupBox::Show);
    try {
        std::filesystem::path dir;
        if (argc == 2) {
            dir = argv[1];
        } else {
            dir = velmira::DemoSandbox::Create(std::filesystem::temp_directory_path());
            std::printf("Sample drives: %s\n", dir.c_str());
            std::fflush(stdout);
        }
        velmira::SandboxDrives drives(dir);
        return start.Run(drives, drives);
    } catch (const std::exception&) {
        // A malformed drives.txt or a DIR that is not a folder, say.
        return start.Fail(QString::fromStdString(velmira::StartupReport::OfCurrent()));
    }
}
