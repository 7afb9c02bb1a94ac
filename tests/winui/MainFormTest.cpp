#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Layout.h"
#include "MainForm.h"
#include "ScreenDpi.h"
#include "StartupReport.h"
#include "TestPlatform.h"
#include "WideText.h"
#include "WindowTexts.h"
#include "WindowThread.h"

// The start window in-process, and the shipped program started as a user
// starts it.
namespace velmira {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testing::Child;
using testing::WindowText;

// A program started in `folder`, ended when the test ends.
class Started {
  public:
    Started(std::wstring line, const wchar_t* folder) : started_(Clock::now()) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder, &startup, &process_));
    }
    ~Started() {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    DWORD Id() const { return process_.dwProcessId; }
    long long Milliseconds() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_)
            .count();
    }
    DWORD ExitCode() const {
        DWORD code = 99;
        WaitForSingleObject(process_.hProcess, 20000);
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

  private:
    Clock::time_point started_;
    PROCESS_INFORMATION process_{};
};

// velmira-restore.exe is built beside the tests.
std::wstring TheProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return L"\"" + (fs::path(self).parent_path() / L"velmira-restore.exe").native() + L"\"";
}

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing::WineDrivesPresent())
            GTEST_SKIP() << "needs the prefix of scripts/test-windows";
        testing::MakeChartSystem();
    }
    void TearDown() override { fs::remove_all(L"C:\\Velmira"); }
};

TEST_F(MainFormTest, ControlsSitWhereTheLayoutPutsThemWithTheirTexts) {
    testing::WindowThread ui;
    const auto at = [](std::string_view name) {
        return ToPixels(TwipsOf(MainFormLayout(), name), ScreenDpi());
    };
    const HWND main = ui.Main();
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ((PixelRect{0, 0, client.right, client.bottom}), at("MainForm"));
    EXPECT_EQ(WindowText(main), WideText(texts::kMainTitle));
    for (const auto& [id, name, text] :
         {std::tuple{MainForm::kLabel1, "Label1", texts::kMainLabel1},
          {MainForm::kLabel2, "Label2", texts::kMainLabel2},
          {MainForm::kNext, "Command1(0)", texts::kNext},
          {MainForm::kQuit, "Command1(1)", texts::kQuit}}) {
        EXPECT_EQ(testing::PlaceOf(Child(main, id)), at(name)) << name;
        EXPECT_EQ(WindowText(Child(main, id)), WideText(text)) << name;
    }
    const PixelRect label3 = testing::PlaceOf(Child(main, MainForm::kLabel3));
    EXPECT_EQ(std::pair(label3.left, label3.top), std::pair(at("Label3").left, at("Label3").top));
    EXPECT_EQ(ui.Focus(), Child(main, MainForm::kNext));
    PostMessageW(ui.Focus(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(ui.Focus(), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_NE(testing::WaitForWindow(L"VelmiraRestoreWindow", main, ui.Id()), nullptr);
}

TEST_F(MainFormTest, TheProgramPaintsItsStartWindowSoonAndEndsBy終了) {
    Started program(TheProgram(), L"C:\\");
    const HWND main = testing::WaitForWindow(L"VelmiraRestoreWindow", nullptr, 0, program.Id());
    ASSERT_NE(main, nullptr);
    // Painted: visible, nothing of it left to draw, its loop answering.
    while (GetUpdateRect(main, nullptr, FALSE)) Sleep(1);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
    const long long painted = program.Milliseconds();
    long long empty = 0;
    {
        Started nothing(L"C:\\windows\\system32\\cmd.exe /c exit", L"C:\\");
        nothing.ExitCode();
        empty = nothing.Milliseconds();
    }
    std::printf(
        "[ winui    ] first paint of the start window %lld ms after the start "
        "(%.1f times the %lld ms of an empty program under this Wine)\n",
        painted, static_cast<double>(painted) / static_cast<double>(empty), empty);
    PostMessageW(Child(main, MainForm::kQuit), BM_CLICK, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(MainFormTest, WithoutItsSettingsFileTheProgramSaysWhyAndEndsWithStatusOne) {
    // F:\Velmira\set\info.ini does not exist.
    Started program(TheProgram(), L"F:\\");
    const testing::BoxView box = testing::WaitForBox(nullptr, 0, program.Id());
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.title, WideText(StartupReport::Title()));
    EXPECT_EQ(box.text.rfind(L"起動できません。\n\nエラー ", 0), 0u) << box.text;
    EXPECT_NE(box.text.find(L"F:\\Velmira\\set\\info.ini"), std::wstring::npos);
    EXPECT_TRUE(box.ok && !box.cancel && !box.icon);
    EXPECT_TRUE(testing::Answer(box, IDOK));
    EXPECT_EQ(program.ExitCode(), 1u);
}

}  // namespace
}  // namespace velmira
