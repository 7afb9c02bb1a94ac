#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "commands/StartupReport.h"
#include "commands/WindowTexts.h"
#include "tests/winui/WindowThread.h"
#include "winui/MainForm.h"
#include "winui/RestoreForm.h"
#include "winui/ScreenDpi.h"
#include "winui/WideText.h"

// The start window in-process, and the program as shipped, started as a
// user starts it.
namespace velmira {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// Starts `line` in `folder`; ExitCode waits for its end, or ends it.
PROCESS_INFORMATION Start(std::wstring line, const wchar_t* folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                               &startup, &process));
    return process;
}

DWORD ExitCode(const PROCESS_INFORMATION& process) {
    DWORD code = 99;
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, code);
    }
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// velmira-restore.exe, built beside the tests.
std::wstring TheProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return L"\"" + (fs::path(self).parent_path() / L"velmira-restore.exe").native() + L"\"";
}

using MainFormTest = WineWindowsTest;

TEST_F(MainFormTest, TheProgramPaintsItsStartWindowSoonLaidOutAndEndsByItsQuitButton) {
    const auto start = std::chrono::steady_clock::now();
    const PROCESS_INFORMATION program = Start(TheProgram(), L"C:\\");
    const HWND main = WindowOf(L"VelmiraRestoreWindow", nullptr, 0, program.dwProcessId);
    // Painted: shown, nothing of it left to draw, its loop answering.
    while (main != nullptr && GetUpdateRect(main, nullptr, FALSE)) Sleep(1);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
    const long long painted = MillisecondsSince(start);
    const auto emptyStart = std::chrono::steady_clock::now();
    ExitCode(Start(L"C:\\windows\\system32\\cmd.exe /c exit", L"C:\\"));
    const long long empty = MillisecondsSince(emptyStart);
    std::printf(
        "[ winui    ] first paint of the start window %lld ms after the start "
        "(%.1f times the %lld ms of an empty program under this Wine), %d dpi\n",
        painted, static_cast<double>(painted) / static_cast<double>(empty), empty, ScreenDpi());

    ExpectPlaces(main, MainFormLayout(),
                 {{MainForm::kMainLabel1, "Label1"},
                  {MainForm::kMainLabel2, "Label2"},
                  {MainForm::kMainLabel3, "Label3", nullptr, true},
                  {MainForm::kNext, "Command1(0)"},
                  {MainForm::kQuit, "Command1(1)"}});
    for (const auto& [id, text] : {std::pair{0, texts::kMainTitle},
                                   {MainForm::kMainLabel1, texts::kMainLabel1},
                                   {MainForm::kMainLabel2, texts::kMainLabel2},
                                   {MainForm::kMainLabel3, texts::kMainLabel3},
                                   {MainForm::kNext, texts::kNext},
                                   {MainForm::kQuit, texts::kQuit}}) {
        EXPECT_EQ(WindowText(id == 0 ? main : Child(main, id)), WideText(text));
    }
    // Enter presses 次に進む, which has the focus.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread);
    EXPECT_EQ(thread.hwndFocus, Child(main, MainForm::kNext));
    PostMessageW(thread.hwndFocus, WM_KEYDOWN, VK_RETURN, 1);
    const HWND restore = WindowOf(L"VelmiraRestoreWindow", main, 0, program.dwProcessId);
    PostMessageW(Child(restore, RestoreForm::kCloseButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitGone(restore));
    PostMessageW(Child(main, MainForm::kQuit), BM_CLICK, 0, 0);
    EXPECT_EQ(ExitCode(program), 0u);
}

TEST_F(MainFormTest, WithoutItsSettingsFileTheProgramSaysWhyAndEndsWithStatusOne) {
    const PROCESS_INFORMATION program = Start(TheProgram(), L"F:\\");  // no F:\Velmira
    const BoxView box = WaitForBox(nullptr, 0, program.dwProcessId);
    EXPECT_EQ(box.title, WideText(StartupReport::Title()));
    EXPECT_EQ(box.text.rfind(L"起動できません。\n\nエラー ", 0), 0u) << box.text;
    EXPECT_NE(box.text.find(L"F:\\Velmira\\set\\info.ini"), std::wstring::npos);
    EXPECT_TRUE(box.ok && !box.cancel && !box.icon);
    EXPECT_TRUE(Answer(box, IDOK));
    EXPECT_EQ(ExitCode(program), 1u);
}

}  // namespace
}  // namespace velmira
