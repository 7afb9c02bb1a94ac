#include "bench/restore/ChildModes.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>

#include "app/ProgramStart.h"
#include "base/BaseModule.h"
#include "bench/restore/FirstPaintApplication.h"
#include "bench/restore/Stopwatch.h"
#include "bench/restore/WindowRestore.h"
#include "drives/SandboxDrives.h"

namespace velmira::bench {

namespace {

// The peak resident set of this process so far, in KiB.
long PeakResidentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

}  // namespace

int FirstPaintChild(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::int64_t started = std::strtoll(argv[3], nullptr, 10);
    FirstPaintApplication app(argc, argv);
    ProgramStart start(app, [](const QString& text) {
        std::fprintf(stderr, "cannot start: %s\n", text.toUtf8().constData());
    });
    SandboxDrives drives(argv[2]);
    const int status = start.Run(drives, drives);
    if (status != 0 || app.firstPaint() == 0) return status != 0 ? status : 1;
    std::printf("first_paint_ns=%lld\n", static_cast<long long>(app.firstPaint() - started));
    return 0;
}

int MemoryChild(int argc, char** argv) {
    if (argc < 3) return 2;
    QApplication app(argc, argv);
    // A region without the option group: the window always runs the chart job.
    BaseModule::SitePrefecture = "東京都";
    WindowRestore window(argv[2]);
    window.Open();
    const long windowKib = PeakResidentKib();
    const WindowRestore::Outcome outcome = window.Restore();
    std::printf("window_kib=%ld peak_kib=%ld finished=%d\n", windowKib, PeakResidentKib(),
                outcome.finished ? 1 : 0);
    return 0;
}

}  // namespace velmira::bench
