// The time a restore takes from the confirmation's OK to the moment its
// completion box would show, at the level of the command flow: the run,
// its listing and its copies as the restore window drives them, with
// panels that time every event pump instead of a window. Restores the
// chart data of drive F into drive C, the two given as folders (on
// Windows, "C:\" and "F:\" themselves), and prints the seconds and the
// longest gap; scripts/test-windows sets the files up and times a copy by
// hand beside it. Prints figures, asserts nothing.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "bench/TimedPanels.h"
#include "tests/support/FolderDrives.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DRIVE_C DRIVE_F\n", argv[0]);
        return 2;
    }
    try {
        velmira::testing::FolderDrives drives;
        drives.roots['C'] = std::filesystem::path(argv[1]);
        drives.roots['F'] = std::filesystem::path(argv[2]);
        velmira::bench::TimedPanels panels;
        const double seconds = panels.RestoreChartData(drives);
        std::printf("restore %.3f s, longest gap %.1f ms while %s\n", seconds,
                    panels.Longest().longestMs, panels.Longest().name.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "small-files-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
