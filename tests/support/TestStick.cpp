#include "tests/support/TestStick.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"

namespace velmira::testing {

namespace {

namespace fs = std::filesystem;

constexpr int kFailing = 149;  // K00150.sxd

// A path as Linux names it.
std::string LinuxPath(const fs::path& path) {
#ifdef _WIN32
    using ToUnix = char* (*)(const wchar_t*);
    const FARPROC found =
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    char* name = found != nullptr
                     ? reinterpret_cast<ToUnix>(reinterpret_cast<void*>(found))(path.c_str())
                     : nullptr;
    if (name == nullptr) return "/nonexistent";
    std::string named(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return named;
#else
    return fs::absolute(path).string();
#endif
}

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a shell line on Linux and waits for it, a minute at most; its
// standard output, or nothing with a failure of the test: `what` failed.
std::string RunOnLinux(const std::string& what, const std::string& line) {
    const TempDir notes;
    const std::string folder = LinuxPath(notes.path());
    const std::string script = "(" + line + ") >" + Quoted(folder + "/out") + " 2>&1; echo $? >" +
                               Quoted(folder + "/part") + "; mv " + Quoted(folder + "/part") + " " +
                               Quoted(folder + "/status");
#ifdef _WIN32
    // Wine starts a Linux program without a handle to wait on: the status
    // file tells when it has ended.
    std::wstring command = L"Z:\\bin\\sh -c \"";
    for (const char c : script) command += c == '"' ? std::wstring(L"\\\"") : std::wstring(1, c);
    command += L'"';
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        ADD_FAILURE() << what << ": Wine started no Linux shell";
        return {};
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!fs::exists(notes.path() / "status") && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
#else
    [[maybe_unused]] const int ignored = std::system(script.c_str());
#endif
    std::string status = ReadAll(notes.path() / "status");
    status = status.substr(0, status.find('\n'));
    std::string out = ReadAll(notes.path() / "out");
    if (status == "0") return out;
    ADD_FAILURE() << what << " (exit status " << status << "):\n" << out << "by: " << line;
    return {};
}

std::string Name(int i) {
    char name[24];
    std::snprintf(name, sizeof name, "K%05d.sxd", i + 1);
    return name;
}

std::string NewContent(int i) {
    std::string content;
    while (content.size() < 4096) content += Name(i);
    content.resize(4096);
    return content;
}

}  // namespace

TestStick::TestStick(const fs::path& source, const fs::path& mountpoint, const std::string& rule) {
    const char* program = std::getenv("VELMIRA_TEST_STICK");
    if (program == nullptr) {
        ADD_FAILURE() << "VELMIRA_TEST_STICK names no test-stick (ctest and scripts/test-windows "
                         "set it)";
        return;
    }
    // Named as Linux resolves it now: a vanished stick's mountpoint resolves
    // no more, and fusermount3 takes no link in the path.
    const std::string at = Quoted(LinuxPath(mountpoint));
    std::string resolved =
        RunOnLinux("the test stick did not mount (it needs FUSE)",
                   "realpath " + at + " && " + Quoted(program) + " " + Quoted(LinuxPath(source)) +
                       " " + at + " " + Quoted(rule));
    if (!resolved.empty()) resolved.pop_back();
    mountpoint_ = resolved;
}

TestStick::~TestStick() {
    if (Mounted())
        RunOnLinux("the test stick stayed mounted", "fusermount3 -u -z " + Quoted(mountpoint_));
}

void WriteChartBackup(const fs::path& source, const fs::path& chartFolder) {
    for (int i = 0; i < kChartFiles; ++i) {
        WriteFile(source / "BackUp" / Name(i), NewContent(i));
        WriteFile(chartFolder / Name(i), "old " + Name(i));
    }
}

void ExpectChartFolder(const fs::path& chartFolder, bool finished) {
    std::vector<std::string> names;
    std::vector<std::string> wrong;
    for (int i = 0; i < kChartFiles; ++i) {
        names.push_back(Name(i));
        const std::string want = finished || i < kFailing ? NewContent(i) : "old " + Name(i);
        if (ReadAll(chartFolder / Name(i)) != want) wrong.push_back(Name(i));
    }
    EXPECT_EQ(FolderEntries(chartFolder), names);
    EXPECT_EQ(wrong, std::vector<std::string>{}) << "files whose content is not the one expected";
}

}  // namespace velmira::testing
