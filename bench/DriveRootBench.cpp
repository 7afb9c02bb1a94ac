// Times resolving one drive letter many times, as a restore does once per
// file, against a full look at the mount table and sysfs per call (what
// every call cost before looks were kept), timed in the same run, and prints
// the ratio. Once on this machine's own tables, once on a small fake tree.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "drives/MountedDrives.h"
#include "platform/NumberedError.h"
#include "tests/drives/FakeMachine.h"

namespace fs = std::filesystem;
using velmira::MountedDrives;
using velmira::NumberedError;
using velmira::testing::FakeMachine;

namespace {

// Microseconds per call.
double PerCall(int calls, const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) work();
    const std::chrono::duration<double, std::micro> spent =
        std::chrono::steady_clock::now() - start;
    return spent.count() / calls;
}

// A letter that is missing or has no medium costs the same look and ends in
// error 68; it is timed as it is.
bool Resolve(const MountedDrives& drives, char letter) {
    try {
        drives.Root(letter);
        return true;
    } catch (const NumberedError&) {
        return false;
    }
}

void Compare(const char* label, MountedDrives& drives, int calls) {
    char letter = 'D';
    drives.ForEachDrive([&letter](const velmira::DriveEntry& drive) {
        if (drive.letter != 'C' && letter == 'D') letter = drive.letter;
    });
    const bool resolves = Resolve(drives, letter);
    const int lookCalls = calls / 20 > 0 ? calls / 20 : 1;
    const double look = PerCall(lookCalls, [&] { drives.ForEachDrive([](const auto&) {}); });
    const double kept = PerCall(calls, [&] { Resolve(drives, letter); });
    std::printf(
        "%-34s %c: %-10s full look %8.2f us/call  Root %8.2f us/call  (ratio %.4f, %.0fx)\n", label,
        letter, resolves ? "resolves" : "error 68", look, kept, kept / look, look / kept);
}

}  // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::atoi(argv[1]) : 40000;
    if (calls <= 0) {
        std::fprintf(stderr, "usage: drive-root-bench [calls]\n");
        return 2;
    }

    MountedDrives machine;
    Compare("this machine (/proc/self/mountinfo)", machine, calls);

    // A laptop with an NVMe system disk and a USB stick mounted.
    FakeMachine fake;
    fake.AddDisk({"nvme0n1", "pci0000:00/0000:00:1d.0/0000:03:00.0/nvme/nvme0", "259:0", "0", ""});
    fake.AddPartition("nvme0n1", "nvme0n1p1", "259:1");
    fake.Mount("nvme0n1p1", "/");
    fake.MountVirtual("0:21", "/proc", "proc");
    fake.AddDisk({"sdb", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block",
                  "8:16", "1", "0"});
    fake.AddPartition("sdb", "sdb1", "8:17");
    fake.SetUuid("sdb1", "AAAA-0001");
    fake.Mount("sdb1", "/media/user/AAAA-0001");
    MountedDrives faked(fake.Sys(), fake.MountInfo(), fake.UuidFolder());
    Compare("fake tree (table is a plain file)", faked, calls);
    return 0;
}
