#pragma once

namespace velmira::bench {

// The measurements that need a process of their own: the bench runs itself
// again with one of these as its first argument.
inline constexpr const char* kFirstPaintMode = "--child-first-paint";
inline constexpr const char* kMemoryMode = "--child-memory";

// argv: self kFirstPaintMode DRIVE_FOLDER START_NANOS. Starts the program as
// it starts for the operator and prints "first_paint_ns=N", the time from
// START_NANOS (the parent's clock just before it started this process) to
// the end of the start window's first paint.
int FirstPaintChild(int argc, char** argv);

// argv: self kMemoryMode DRIVE_FOLDER. Restores drive F's BackUp through the
// restore window and prints "window_kib=N peak_kib=N finished=0|1": the peak
// resident memory with the window open, then after the restore.
int MemoryChild(int argc, char** argv);

}  // namespace velmira::bench
