#include "restore/RestoreRun.h"

#include <cmath>

#include "platform/CallThread.h"
#include "platform/NumberedError.h"
#include "platform/RememberedDrives.h"
#include "restore/CopyBatcher.h"
#include "restore/JobRules.h"

namespace velmira {

namespace {

// W / n in single precision. IEEE division does not trap, so the faults an
// arithmetic error stands for are raised here explicitly.
float StepWidth(float frameWidth, std::size_t count) {
    if (count == 0) throw NumberedError(ErrorNumber::DivisionByZero, "no files to restore");
    const float step = frameWidth / static_cast<float>(count);
    if (!std::isfinite(step)) throw NumberedError(ErrorNumber::Overflow, "progress step");
    return step;
}

void AddStep(ProgressView& view, float step) {
    const float next = view.FillWidth() + step;
    if (!std::isfinite(next)) throw NumberedError(ErrorNumber::Overflow, "progress width");
    view.SetFillWidth(next);
}

class Run {
  public:
    Run(RestoreJob job, char letter, ProgressView& view, const DriveRoots& drives)
        : job_(job),
          letter_(letter),
          view_(view),
          liveDrives_(drives),
          drives_(drives),
          lister_(JobLister(job)),
          copies_(&view.Events()) {}

    // The first look at the stick runs aside, as the later one does: a stick
    // may stall for seconds at its first access.
    void ListFolder() {
        std::filesystem::path folder;
        CallThread aside;
        aside.Run([&] { folder = LookUpDrives(); }, &view_.Events());
        view_.ListFolder(lister_, folder);
    }

    // The bar's width per file, from the listed count; starts the fill at 1.
    float ResetBar() {
        count_ = view_.ListCount(lister_);
        const float step = StepWidth(view_.FrameWidth(), count_);
        view_.SetFillWidth(1.0F);
        return step;
    }

    // Copies every file counted by ResetBar that has a destination, growing the bar by
    // the same step for copied and skipped files alike.
    void CopyAll(float step) {
        try {
            for (std::size_t i = 0; i < count_; ++i) {
                const ListedFile entry = view_.ListEntry(lister_, i);
                if (const auto destination = DestinationPath(job_, entry.name)) {
                    Copy(entry, *destination);
                }
                AddStep(view_, step);
                view_.Yield();
            }
        } catch (...) {
            // The files copied before the failure stay restored, so they take
            // their names and go to the disk. Where one of them cannot, that
            // failure came first in the files' order and is the one reported.
            Finish();
            throw;
        }
        // Only data that is on the disk may be reported as restored.
        Finish();
    }

    RestoreJob job() const { return job_; }
    ProgressView& view() { return view_; }

  private:
    // The listing folder's native path. The chart system's drive is looked
    // up with it, so that the first copy finds it known.
    std::filesystem::path LookUpDrives() {
        std::filesystem::path folder = drives_.ToNative(ListingFolder(job_, letter_));
        try {
            drives_.Root(kChartSystemDrive);
        } catch (const NumberedError&) {
            // Looked up again by the first copy, which fails in its place.
        }
        return folder;
    }

    void Copy(const ListedFile& entry, const DrivePath& destination) {
        const auto source = drives_.ToNative(SourcePath(job_, letter_, entry.name));
        const auto target = drives_.ToNative(destination);
        RecheckingTheStickOnFailure([&] { copies_.Copy(source, target, entry.size); });
    }

    void Finish() {
        RecheckingTheStickOnFailure([&] { copies_.Finish(); });
    }

    // Runs a step; when it fails, looks at the stick's drive again, since
    // the roots were looked up once for the run: a medium pulled out since
    // then raises device unavailable (68) here instead of the step's missing
    // file. A copy's failure is raised by a later copy or by the finish. The
    // look runs aside: a failing stick may take seconds to answer it.
    template <typename Step>
    void RecheckingTheStickOnFailure(Step step) {
        try {
            step();
        } catch (const NumberedError&) {
            CallThread aside;
            aside.Run([this] { liveDrives_.Root(letter_); }, &view_.Events());
            throw;
        }
    }

    RestoreJob job_;
    char letter_;
    ProgressView& view_;
    const DriveRoots& liveDrives_;
    RememberedDrives drives_;
    int lister_;
    std::size_t count_ = 0;
    CopyBatcher copies_;
};

// The two kinds of job take the same steps in another order: the chart job
// shows its progress panel before it counts the files, so that an empty
// chart backup's arithmetic error comes with the panel showing, while the
// other jobs count first and fail before it shows.
void RunChartJob(Run& run) {
    ProgressView& view = run.view();
    view.SetCaption(JobCaption(run.job()));
    view.Yield();
    view.ShowProgress();
    run.CopyAll(run.ResetBar());
    view.ShowInstructions();
}

void RunBackup2Job(Run& run) {
    ProgressView& view = run.view();
    view.SetCaption(JobCaption(run.job()));
    const float step = run.ResetBar();
    view.Yield();
    view.ShowProgress();
    run.CopyAll(step);
    view.ShowInstructions();
}

}  // namespace

void RunRestoreJob(RestoreJob job, char driveLetter, ProgressView& view, const DriveRoots& drives) {
    Run run(job, driveLetter, view, drives);
    run.ListFolder();
    if (job == RestoreJob::ChartJob) {
        RunChartJob(run);
    } else {
        RunBackup2Job(run);
    }
}

}  // namespace velmira
