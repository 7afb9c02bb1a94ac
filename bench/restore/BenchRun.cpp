#include "bench/restore/BenchRun.h"

#include <sys/resource.h>

#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "app/demo/DemoSandbox.h"
#include "bench/restore/AnswerProbe.h"
#include "bench/restore/BenchTree.h"
#include "bench/restore/ChildModes.h"
#include "bench/restore/ChildProcess.h"
#include "bench/restore/HandCopy.h"
#include "bench/restore/LoopMount.h"
#include "bench/restore/ModelMount.h"
#include "bench/restore/ModelRun.h"
#include "bench/restore/PumpGapMeter.h"
#include "bench/restore/Stopwatch.h"
#include "bench/restore/TimedPair.h"
#include "bench/restore/WindowRestore.h"
#include "ui/RestoreForm.h"

namespace velmira::bench {

namespace fs = std::filesystem;

namespace {

// User and system CPU seconds of this process, or of its finished children.
double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

BenchRun::BenchRun(BenchOptions options, fs::path self)
    : options_(std::move(options)), self_(std::move(self)) {}

BenchRun::~BenchRun() = default;

BenchTree& BenchRun::NewTree() const {
    trees_.push_back(std::make_unique<BenchTree>(options_.parent));
    return *trees_.back();
}

TimedPair BenchRun::CompareCopies(const std::vector<std::string>& names, std::size_t size) const {
    BenchTree& tree = NewTree();
    BenchTree::WriteFiles(tree.BackUp(), names, size);
    const std::vector<std::string> routed = RoutedNames(names);
    // Beside the restore's folders, so that the file system places both alike.
    const fs::path copy = tree.Velmira("copy");
    TimedPair pair;
    for (int round = 0; round < options_.rounds; ++round) {
        // Both start from the same state: the source on the disk, the
        // destinations empty.
        for (const char* folder : {"H15", "set"}) tree.MakeFresh(tree.Velmira(folder));
        tree.MakeFresh(copy);
        WindowRestore window(tree.Root());
        window.Open();
        tree.Sync();
        const auto restore = [&] {
            tree.Sync();
            const double cpu = CpuSeconds(RUSAGE_SELF);
            pair.restore.push_back(RestoreThroughWindow(window, tree, routed.size()));
            pair.restoreCpu.push_back(CpuSeconds(RUSAGE_SELF) - cpu);
        };
        const auto byHand = [&] {
            tree.Sync();
            const double cpu = CpuSeconds(RUSAGE_CHILDREN);
            pair.baseline.push_back(TimeHandCopy(tree.BackUp(), routed, copy));
            pair.baselineCpu.push_back(CpuSeconds(RUSAGE_CHILDREN) - cpu);
            if (CountEntries(copy) != routed.size())
                throw std::runtime_error("cp -a copied too few");
        };
        if (round % 2 == 0) {
            byHand();
            restore();
        } else {
            restore();
            byHand();
        }
    }
    return pair;
}

void BenchRun::SmallFiles() const {
    const std::vector<std::string> names = ChartMix(options_.smallFiles);
    const TimedPair pair = CompareCopies(names, options_.smallSize);
    pair.Print("small files (" + std::to_string(names.size()) + " x " + Bytes(options_.smallSize) +
                   ", " + std::to_string(RoutedNames(names).size()) + " routed)",
               "restore", "cp -a + sync", options_.verbose);
}

void BenchRun::LargeFiles() const {
    std::vector<std::string> names;
    for (int i = 0; i < options_.largeFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "L%d.sxd", i);
        names.emplace_back(name);
    }
    const TimedPair pair = CompareCopies(names, options_.largeSize);
    pair.Print(
        "large files (" + std::to_string(names.size()) + " x " + Bytes(options_.largeSize) + ")",
        "restore", "cp -a + sync", options_.verbose);
}

void BenchRun::Listing() const {
    BenchTree& tree = NewTree();
    BenchTree::WriteFiles(tree.BackUp(), ChartMix(options_.listFiles), 0);
    tree.Sync();
    WindowRestore window(tree.Root());
    window.Open();
    TimedPair pair;
    for (int round = 0; round < std::max(options_.rounds, 3); ++round) {
        std::size_t entries = 0;
        pair.baseline.push_back(TimeReaddir(tree.BackUp(), &entries));
        const std::int64_t start = MonotonicNanos();
        window.form().ListFolder(0, tree.BackUp());
        pair.restore.push_back(SecondsBetween(start, MonotonicNanos()));
        if (window.form().ListCount(0) + 2 != entries) {
            throw std::runtime_error("the window listed " +
                                     std::to_string(window.form().ListCount(0)) + " files of " +
                                     std::to_string(entries - 2));
        }
    }
    pair.Print("listing (" + std::to_string(options_.listFiles) + " files)", "window", "readdir",
               options_.verbose);
}

void BenchRun::PeakMemory() const {
    BenchTree& tree = NewTree();
    BenchTree::WriteFiles(tree.BackUp(), ChartMix(options_.listFiles), 0);
    tree.Sync();
    const std::string output =
        ChildProcess::RunChecked({self_.string(), kMemoryMode, tree.Root().string()});
    long windowKib = 0;
    long peakKib = 0;
    int finished = 0;
    if (std::sscanf(output.c_str(), "window_kib=%ld peak_kib=%ld finished=%d", &windowKib, &peakKib,
                    &finished) != 3) {
        throw std::runtime_error("memory probe: unexpected output: " + output);
    }
    std::printf(
        "peak memory, restore of %d files through the window: %.1f MiB (window open: %.1f "
        "MiB)%s\n",
        options_.listFiles, static_cast<double>(peakKib) / 1024,
        static_cast<double>(windowKib) / 1024, finished ? "" : " (restore did NOT finish)");
    std::fflush(stdout);
}

void BenchRun::FirstPaint() const {
    BenchTree& tree = NewTree();
    const fs::path drives = DemoSandbox::Create(tree.Root());
    std::vector<double> millis;
    for (int round = 0; round < std::max(options_.rounds, 3); ++round) {
        const std::string started = std::to_string(MonotonicNanos());
        const std::string output =
            ChildProcess::RunChecked({self_.string(), kFirstPaintMode, drives.string(), started});
        long long nanos = 0;
        if (std::sscanf(output.c_str(), "first_paint_ns=%lld", &nanos) != 1) {
            throw std::runtime_error("first paint: unexpected output: " + output);
        }
        millis.push_back(static_cast<double>(nanos) / 1e6);
    }
    std::printf(
        "first paint of MainForm: %.1f ms from process start (median of %zu, first %.1f "
        "ms)\n",
        Median(millis), millis.size(), millis.front());
    std::fflush(stdout);
}

void BenchRun::PumpGap() const {
    // The flush at the end of a run takes longest on a file system that
    // writes to a disk: the case gets one of its own, in an image file.
    std::unique_ptr<LoopMount> image;
    std::string where = "on a loop-mounted ext4 image";
    try {
        image = std::make_unique<LoopMount>(options_.parent,
                                            2 * options_.gapSize + (std::size_t{256} << 20));
    } catch (const std::exception& error) {
        where = "on " + options_.parent.string() +
                " (NOT on a loop-mounted ext4 image: " + error.what() + ")";
    }
    BenchTree tree(image ? image->Root() : options_.parent);
    BenchTree::WriteFiles(tree.BackUp(), {"G0.sxd"}, options_.gapSize);
    WindowRestore window(tree.Root());
    window.Open();
    tree.Sync();

    // The run's phase, as the window shows it: the caption changes once the
    // folder is listed, the bar is one twip wider than its frame once every
    // file is copied, and the instructions come back once all is flushed.
    RestoreForm& form = window.form();
    const auto* caption = form.findChild<QLabel*>(QStringLiteral("Label1(1)"));
    const auto* progress = form.findChild<QWidget*>(QStringLiteral("WakuFrame(0)"));
    if (caption == nullptr || progress == nullptr) throw std::runtime_error("no caption or panel");
    const QString listingCaption = caption->text();
    PumpGapMeter meter([&]() -> std::string {
        if (caption->text() == listingCaption) return "listing";
        if (form.FillWidth() <= form.FrameWidth()) return "copying";
        if (progress->isVisible()) return "flushing";
        return "showing the box";
    });
    QObject::connect(&form, &RestoreForm::Yielding, [&meter] { meter.Note(); });
    // Questions from another thread, as a screen reader asks them: first of
    // the idle window, then during the run.
    AnswerProbe probe(form);
    probe.Start();
    {
        // The window idle in an event loop of its own, as in its dialog's.
        QEventLoop idling;
        QTimer::singleShot(500, &idling, &QEventLoop::quit);
        idling.exec();
    }
    const AnswerProbe::Figures idle = probe.Stop();
    AnswerProbe::Figures during;
    // From the confirmation's OK to the completion box.
    window.boxes().onAnswered = [&](const QString& text) {
        if (text != QStringLiteral("処理を開始します。")) return;
        meter.Start();
        probe.Start();
    };
    window.boxes().onShown = [&](const QString& text) {
        if (text != QStringLiteral("終了しました。")) return;
        meter.Stop();
        during = probe.Stop();
    };
    const double seconds = RestoreThroughWindow(window, tree, 1);
    window.boxes().onAnswered = nullptr;
    window.boxes().onShown = nullptr;

    const PumpGapMeter::Phase* longest = meter.Longest();
    if (longest == nullptr) throw std::runtime_error("the pump-gap meter never ran");
    std::string phases;
    for (const auto& phase : meter.Phases()) {
        char text[64];
        std::snprintf(text, sizeof text, "%s%s %.1f ms", phases.empty() ? "" : ", ",
                      phase.name.c_str(), phase.longestMs);
        phases += text;
    }
    std::printf(
        "longest gap between event-pump runs, restore of one %s file %s: %.1f ms while %s "
        "(longest %s; restore %s)\n",
        Bytes(options_.gapSize).c_str(), where.c_str(), longest->longestMs, longest->name.c_str(),
        phases.c_str(), Time(seconds).c_str());
    std::printf(
        "questions from another thread during that restore: answered in %.2f ms (median of "
        "%zu), %.1f ms at most; the longest of %zu walks of the window's elements %.1f ms; "
        "idle: %.2f ms (median of %zu), a walk %.1f ms\n",
        during.medianMs, during.questions, during.longestMs, during.walks, during.longestWalkMs,
        idle.medianMs, idle.questions, idle.longestWalkMs);
    std::fflush(stdout);
}

void BenchRun::Model() const {
    const ModelRun model(options_, self_.parent_path());
    try {
        for (const int files : options_.modelFiles) model.Run(files);
    } catch (const ModelMount::Unmountable& error) {
        std::printf("model: skipped, %s\n", error.what());
        std::fflush(stdout);
    }
}

}  // namespace velmira::bench
