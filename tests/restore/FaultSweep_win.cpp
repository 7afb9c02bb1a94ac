// Fails each Win32 file call of a chart restore in turn, at every position a
// clean run makes it, and checks what every run leaves: an error reported
// unless all is restored, each file its old or its new content, nothing
// changed outside the chart files, no hang, and after the next clean run
// everything restored and nothing left behind. One line per failed plan;
// exits 1 when there is one. scripts/test-windows runs it.
#include <chrono>
#include <future>
#include <iostream>

#include "platform/TextCodec.h"
#include "restore/RestoreRun.h"
#include "tests/restore/FaultSandbox_win.h"
#include "tests/restore/Win32Faults_win.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/RecordingView.h"

namespace velmira::testing {
namespace {

using Kind = Win32Faults::Kind;
using State = FaultSandbox::State;

// A run still going then has hung.
constexpr std::chrono::seconds kTimeLimit{20};

// The faults, and where each is tried: a failing medium's errors take turns
// over the positions (every third each); access denied, which comes and
// goes while another program holds a file, at every position; a held fault,
// which a copy that retries waits out in full, only at the first, middle
// and last position of each function; what NTFS may answer a folder's
// flush, at every flush.
enum class At { Third0, Third1, Third2, Every, Few, Flushes };
const struct Fault {
    const char* name;
    Kind kind;
    DWORD error;
    DWORD status;  // the same for an ntdll function
    At at;
} kFaults[] = {
    {"ERROR_CRC", Kind::Error, ERROR_CRC, 0xC000003F, At::Third0},
    {"ERROR_DISK_FULL", Kind::Error, ERROR_DISK_FULL, 0xC000007F, At::Third1},
    {"ERROR_DEVICE_NOT_CONNECTED", Kind::Error, ERROR_DEVICE_NOT_CONNECTED, 0xC000009D, At::Third2},
    {"ERROR_ACCESS_DENIED", Kind::Error, ERROR_ACCESS_DENIED, 0xC0000022, At::Every},
    {"ERROR_SHARING_VIOLATION held", Kind::Error, ERROR_SHARING_VIOLATION, 0xC0000043, At::Few},
    {"short count", Kind::Short, 0, 0, At::Every},
    {"zero count", Kind::Zero, 0, 0, At::Every},
    {"zero count held", Kind::Zero, 0, 0, At::Few},
    {"ERROR_INVALID_FUNCTION", Kind::Error, ERROR_INVALID_FUNCTION, 0xC0000010, At::Flushes},
    {"ERROR_NOT_SUPPORTED", Kind::Error, ERROR_NOT_SUPPORTED, 0xC00000BB, At::Flushes},
};

bool TriedAt(const Fault& fault, const std::string& function, long n, long count) {
    if (fault.at == At::Flushes) return function.find("Flush") != std::string::npos;
    if (fault.at == At::Every) return true;
    if (fault.at == At::Few) return n == 1 || n == (count + 1) / 2 || n == count;
    return n % 3 == static_cast<long>(fault.at);
}

struct Outcome {
    const FaultSandbox* sandbox;
    bool ended = false;
    int code = 0;  // the numbered error; -1 for anything else raised
    std::string detail{};
    std::map<std::string, long> counts{};
    bool fired = false;
};

// One restore in this process, on a thread of its own so that a hang shows;
// the fault is taken away at the time limit, so that a run spinning on it
// can end and the sweep go on.
Outcome Restore(Win32Faults& faults, const FaultSandbox& sandbox,
                const std::optional<Win32Faults::Plan>& plan) {
    Outcome outcome{.sandbox = &sandbox};
    faults.Start(plan);
    auto run = std::async(std::launch::async, [&] {
        FolderDrives drives;
        drives.roots['C'] = sandbox.path() / "C";
        drives.roots['F'] = sandbox.path() / "F";
        RecordingView view;
        try {
            RunRestoreJob(RestoreJob::ChartJob, 'F', view, drives);
        } catch (const NumberedError& error) {
            outcome.code = error.code();
            outcome.detail = error.detail();
        } catch (const std::exception& error) {
            outcome.code = -1;
            outcome.detail = error.what();
        }
    });
    outcome.ended = run.wait_for(kTimeLimit) == std::future_status::ready;
    faults.Stop();
    if (!outcome.ended && run.wait_for(kTimeLimit) != std::future_status::ready) {
        std::cout << "a run hung even without its fault; the sweep stops" << std::endl;
        ::ExitProcess(1);
    }
    outcome.counts = faults.Counts();
    outcome.fired = faults.Fired();
    return outcome;
}

// The error and what it names, within the sandbox.
std::string Reported(const Outcome& outcome) {
    if (outcome.code == 0) return "success";
    const std::string root = NativeNameToUtf8(outcome.sandbox->path()) + "\\";
    const std::size_t within = outcome.detail.rfind(root, 0) == 0 ? root.size() : 0;
    return "error " + std::to_string(outcome.code) + " " + outcome.detail.substr(within);
}

bool SameEnd(const Outcome& one, const Outcome& other) {
    return one.code == other.code && one.detail == other.detail;
}

// Names a power cut could take back, at any end: given before their file's
// flush, or with no flush after them. "" when none.
std::string Undurable(const Outcome& outcome) {
    for (const char* lost : {"unflushed names", "unsynced names"}) {
        if (outcome.counts.count(lost) > 0)
            return std::to_string(outcome.counts.at(lost)) + " " + lost;
    }
    return "";
}

// A clean run: its usual end (the read-only file's refusal), every file as
// a clean run leaves it, every name durable, nothing left behind or changed
// outside. "" when so.
std::string CheckClean(const Outcome& outcome, const Outcome& usual) {
    const FaultSandbox& sandbox = *outcome.sandbox;
    if (!outcome.ended) return "hung";
    if (!Undurable(outcome).empty()) return Undurable(outcome);
    if (!SameEnd(outcome, usual)) return Reported(outcome);
    for (const auto& file : sandbox.files()) {
        if (sandbox.StateOf(file) != FaultSandbox::CleanState(file)) {
            return file.name + " not restored";
        }
    }
    return sandbox.Outside(true) == sandbox.outside() ? "" : "a leftover, or a change outside";
}

// A faulted run. "" when all is well.
std::string CheckFaulted(const Win32Faults::Plan& plan, const Outcome& outcome,
                         const Outcome& clean) {
    const FaultSandbox& sandbox = *outcome.sandbox;
    if (!outcome.ended) return "no end after " + std::to_string(kTimeLimit.count()) + " s";
    if (!outcome.fired) return "the fault never came: the call positions moved";
    if (outcome.code < 0) return "not a numbered error: " + outcome.detail;
    if (!Undurable(outcome).empty()) return Undurable(outcome);
    // A folder's flush refused as NTFS may refuse it fails nothing: each
    // name is durable through its file's flush. Another failed flush leaves
    // the files right: only an error, or the flush made again, shows that it
    // was not ignored.
    const bool usualEnd = SameEnd(outcome, clean);
    const bool refused = outcome.counts.count("on a folder") > 0 &&
                         (plan.error == ERROR_ACCESS_DENIED || plan.error == ERROR_NOT_SUPPORTED ||
                          plan.error == ERROR_INVALID_FUNCTION);
    if (refused && !usualEnd) return Reported(outcome) + " for a folder's flush refused";
    if (!refused && usualEnd && plan.function.find("Flush") != std::string::npos &&
        outcome.counts.at(plan.function) <= clean.counts.at(plan.function)) {
        return Reported(outcome) + " as a clean run, though a flush failed and was not made again";
    }
    for (const auto& file : sandbox.files()) {
        const State state = sandbox.StateOf(file);
        const std::string destination = NativeNameToUtf8(sandbox.Destination(file));
        if (state == State::Neither) return file.name + " is neither its old nor its new content";
        if (file.readOnly && state != State::Old) return file.name + ", read-only, was replaced";
        // A clean run's end, as after a retry that worked, only when all is
        // as a clean run leaves it.
        if (usualEnd && state != FaultSandbox::CleanState(file)) {
            return Reported(outcome) + " as a clean run, yet " + file.name + " is old";
        }
        if (!usualEnd && state == State::New && outcome.detail == destination) {
            return Reported(outcome) + ", yet " + file.name + " is restored";
        }
    }
    return sandbox.Outside(false) == sandbox.outside() ? "" : "changed outside the chart files";
}

int Sweep() {
    const auto start = std::chrono::steady_clock::now();
    Win32Faults faults;
    const FaultSandbox sandbox;
    const Outcome usual{.sandbox = &sandbox,
                        .code = 75,
                        .detail = NativeNameToUtf8(sandbox.Destination(sandbox.files().back()))};
    const Outcome clean = Restore(faults, sandbox, std::nullopt);
    if (const std::string wrong = CheckClean(clean, usual); !wrong.empty()) {
        std::cout << "FAILED the clean run: " << wrong << "\n0 passed, 1 failed" << std::endl;
        return 1;
    }
    std::cout << "swept, with the calls of a clean run:";
    for (const auto& [function, count] : clean.counts) std::cout << " " << function << " " << count;
    std::cout << std::endl;

    int runs = 0;
    int failed = 0;
    for (const auto& [function, count] : clean.counts) {
        for (const Fault& fault : kFaults) {
            if (fault.kind != Kind::Error && !Win32Faults::MovesBytes(function)) continue;
            for (long n = 1; n <= count; ++n) {
                if (!TriedAt(fault, function, n, count)) continue;
                const Win32Faults::Plan plan{
                    function, n, fault.kind, fault.error, fault.status, fault.at == At::Few};
                sandbox.ResetToOld();
                std::string wrong = CheckFaulted(plan, Restore(faults, sandbox, plan), clean);
                // Always, so that the next plan starts from a clean run's state.
                const std::string after = CheckClean(Restore(faults, sandbox, std::nullopt), usual);
                if (wrong.empty() && !after.empty()) wrong = "the next clean run: " + after;
                ++runs;
                if (wrong.empty()) continue;
                ++failed;
                std::cout << "FAILED " << function << " #" << n << " " << fault.name << ": "
                          << wrong << std::endl;
            }
        }
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << runs << " faulted runs in " << static_cast<int>(took.count()) << " s\n"
              << runs - failed << " passed, " << failed << " failed" << std::endl;
    return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace velmira::testing

int main() {
    return velmira::testing::Sweep();
}
