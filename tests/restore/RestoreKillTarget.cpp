// Restores DIR/F/BackUp into DIR/C/Velmira with the chart job and exits 0,
// or prints the error number and what failed and exits 1. The kill and
// fault tests run it.
#include <cstdio>

#include "restore/RestoreRun.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/RecordingView.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    velmira::testing::FolderDrives drives;
    drives.roots['C'] = dir / "C";
    drives.roots['F'] = dir / "F";
    velmira::testing::RecordingView view;
    try {
        velmira::RunRestoreJob(velmira::RestoreJob::ChartJob, 'F', view, drives);
    } catch (const velmira::NumberedError& error) {
        std::fprintf(stderr, "error %d %s\n", error.code(), error.detail().c_str());
        return 1;
    }
    return 0;
}
