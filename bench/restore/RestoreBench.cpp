// Times a restore through the real restore window against copying the same
// files by hand, and measures memory, start-up and the window's longest
// pause. Prints figures, asserts nothing.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <stdexcept>

#include "base/BaseModule.h"
#include "bench/restore/BenchOptions.h"
#include "bench/restore/BenchRun.h"
#include "bench/restore/ChildModes.h"

namespace bench = velmira::bench;

namespace {

// The offscreen platform's notes about what it cannot do would bury the
// figures; everything else still reaches stderr.
void QuietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support")) ||
        text.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR"))) {
        return;
    }
    std::fputs(qFormatLogMessage(type, context, text).toLocal8Bit().append('\n').constData(),
               stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietPlatformNotes);
    if (argc >= 2 && std::strcmp(argv[1], bench::kFirstPaintMode) == 0) {
        return bench::FirstPaintChild(argc, argv);
    }
    if (argc >= 2 && std::strcmp(argv[1], bench::kMemoryMode) == 0) {
        return bench::MemoryChild(argc, argv);
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(bench::BenchOptions::Usage(), stdout);
            return 0;
        }
    }
    bench::BenchOptions options;
    try {
        options = bench::BenchOptions::Parse(argc, argv);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "restore-bench: %s\n%s", error.what(), bench::BenchOptions::Usage());
        return 2;
    }

    QApplication app(argc, argv);
    // A region without the option group: the window always runs the chart job.
    velmira::BaseModule::SitePrefecture = "東京都";
    std::printf("restore-bench in %s, %d round(s) per timed pair\n", options.parent.c_str(),
                options.rounds);
    std::fflush(stdout);
    try {
        const bench::BenchRun run(options, std::filesystem::read_symlink("/proc/self/exe"));
        if (options.Runs("small")) run.SmallFiles();
        if (options.Runs("large")) run.LargeFiles();
        if (options.Runs("listing")) run.Listing();
        if (options.Runs("memory")) run.PeakMemory();
        if (options.Runs("paint")) run.FirstPaint();
        if (options.Runs("gap")) run.PumpGap();
        if (options.Runs("model")) run.Model();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "restore-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
