#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <tuple>

#include "base/BaseModule.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestStick.h"
#include "tests/winui/WindowThread.h"
#include "winui/RestoreForm.h"
#include "winui/ScreenDpi.h"
#include "winui/WideText.h"

// The restore window under Wine in the prefix of scripts/test-windows (F
// removable with a medium, G without one), driven from the test's thread by
// the messages a user's clicks and keys make.
namespace velmira {
namespace {

namespace fs = std::filesystem;
using namespace testing;
using Colors = std::pair<std::uint32_t, std::uint32_t>;
using Id = RestoreForm::Id;

// Another program holding `path` for `milliseconds` (file-holder, beside
// the test), from the moment it is made until then or until it goes.
class Holder {
  public:
    Holder(const wchar_t* path, DWORD milliseconds) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = L"\"" + fs::path(self).replace_filename(L"file-holder.exe").native() +
                            L"\" \"" + path + L"\" " + std::to_wstring(milliseconds);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process_));
        // Held once it can no longer be opened for deletion; a loaded machine
        // may take seconds to start the holder, and one that ended never will.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < giveUp) {
            const HANDLE probe =
                CreateFileW(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
            if (probe == INVALID_HANDLE_VALUE) return;
            CloseHandle(probe);
            if (WaitForSingleObject(process_.hProcess, 5) == WAIT_OBJECT_0) break;
        }
        ADD_FAILURE() << "the holder did not hold the file";
    }
    ~Holder() {
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, INFINITE);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

  private:
    PROCESS_INFORMATION process_{};
};

class RestoreFormTest : public WineWindowsTest {
  protected:
    static void Click(HWND restore, int id) { PostMessageW(Child(restore, id), BM_CLICK, 0, 0); }

    static void Select(HWND restore, const wchar_t* letter) {
        SendMessageW(Child(restore, Id::kDrvList), LB_SELECTSTRING, WPARAM(-1),
                     reinterpret_cast<LPARAM>(letter));
    }

    // The box of `message` over the restore window: application-modal, no
    // icon, OK or OK and Cancel. Answered with `answer` unless that is 0.
    static BoxView Expect(const WindowThread& ui, HWND restore, Message message,
                          int answer = IDOK) {
        const MessageText& want = TextOf(message);
        const BoxView box = WaitForBox(restore, ui.Id());
        EXPECT_EQ(std::tuple(box.title, box.text, box.ok, box.cancel),
                  std::tuple(WideText(want.title), WideText(want.text), true, want.withCancel));
        EXPECT_FALSE(box.icon || box.ownerEnabled || box.topmost) << want.text;
        if (answer != 0) {
            EXPECT_TRUE(Answer(box, answer));
        }
        return box;
    }

    static HWND StartChartRestore(const WindowThread& ui, HWND restore = nullptr) {
        if (restore == nullptr) restore = ui.OpenRestoreForm();
        Click(restore, Id::kOption1);  // カルテ: the chart job at an Ibaraki site
        Select(restore, L"F");
        Click(restore, Id::kStartButton);
        Expect(ui, restore, Message::ConfirmStart);
        return restore;
    }
};

TEST_F(RestoreFormTest, ControlsSitWhereTheLayoutPutsThemAtTheScreenDpi) {
    WindowThread ui;
    const HWND restore = ui.OpenRestoreForm();
    EXPECT_EQ(WindowText(restore), L"");
    // The instructions panel lies on the progress panel.
    ExpectPlaces(restore, RestoreFormLayout(),
                 {{Id::kRestoreHeading, "Label1(2)", nullptr, true},
                  {Id::kIdleCaption, "Label1(1)", "WakuFrame(0)", true},
                  {Id::kBar, "SyoriSp(0)", "WakuFrame(0)"},
                  {Id::kInsertDisk, "Label1(3)", "WakuFrame(0)"},
                  {Id::kPickLowest, "Label1(4)", "WakuFrame(0)"},
                  {Id::kDriveListLabel, "Label1(0)", nullptr, true},
                  {Id::kDrvList, "DrvList"},
                  {Id::kOption0, "SentakuOp(0)", "WakuFrame(2)"},
                  {Id::kOption1, "SentakuOp(1)", "WakuFrame(2)"},
                  {Id::kStartButton, "CmdGd(1)", nullptr, true},
                  {Id::kCloseButton, "CmdGd(0)", nullptr, true}});
    // Label-buttons: owner-drawn push buttons in their underlined face.
    for (const auto& [id, name] :
         {std::pair{Id::kStartButton, "CmdGd(1)"}, {Id::kCloseButton, "CmdGd(0)"}}) {
        const double points = RowOf(RestoreFormLayout(), name).font->points;
        const HWND button = Child(restore, id);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_EQ(std::tuple(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, font.lfHeight,
                             std::wstring(font.lfFaceName), font.lfWeight, font.lfUnderline,
                             font.lfCharSet),
                  std::tuple(BS_OWNERDRAW, -std::lround(points * ScreenDpi() / 72.0),
                             WideText(kControlFace), FW_NORMAL, TRUE, SHIFTJIS_CHARSET));
    }
}

TEST_F(RestoreFormTest, EachOpeningTakesTheOptionsOfTheSiteRegionAndTheDrivesAfresh) {
    WindowThread ui;
    for (const auto& [prefecture, first, second, shown] :
         {std::tuple{"茨城県", L"治療簿", L"カルテ", true},
          {"鳥取県", L"カルテ", L"検案書", true},
          {"東京都", L"治療簿", L"カルテ", false}}) {
        ui.Call([&] { BaseModule::SitePrefecture = prefecture; });
        const HWND restore = ui.OpenRestoreForm();
        const HWND option = Child(restore, Id::kOption0);
        EXPECT_EQ(std::tuple(WindowText(option), WindowText(Child(restore, Id::kOption1)),
                             IsWindowVisible(GetParent(option)) != FALSE,
                             SendMessageW(option, BM_GETCHECK, 0, 0)),
                  std::tuple(first, second, shown, LRESULT{BST_CHECKED}));
        const HWND list = Child(restore, Id::kDrvList);
        const auto find = [&](const wchar_t* letter) {
            return SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(letter));
        };
        EXPECT_EQ(std::tuple(SendMessageW(list, LB_GETCOUNT, 0, 0), find(L"F"), find(L"G")),
                  std::tuple(2, 0, 1));
        // What is chosen now is gone at the next opening.
        Click(restore, Id::kOption1);
        Select(restore, L"G");
        Click(restore, Id::kCloseButton);
        EXPECT_TRUE(WaitGone(restore));
        EXPECT_TRUE(IsWindowEnabled(ui.Main()));
    }
}

TEST_F(RestoreFormTest, EveryCheckAndFailureIsToldInItsOwnBox) {
    struct NoDrives : DriveSource {
        void ForEachDrive(const std::function<void(const DriveEntry&)>&) override {}
    } none;
    {
        WindowThread empty(&none);
        const HWND restore = empty.OpenRestoreForm();
        Click(restore, Id::kStartButton);
        Expect(empty, restore, Message::DriveListEmpty);
    }
    WindowThread ui;
    const HWND restore = ui.OpenRestoreForm();
    Click(restore, Id::kStartButton);
    Expect(ui, restore, Message::NoDriveSelected);
    Select(restore, L"F");
    Click(restore, Id::kStartButton);
    Expect(ui, restore, Message::ConfirmStart, IDCANCEL);
    ui.Settle();
    EXPECT_EQ(WindowOf(L"#32770", restore, ui.Id(), 0, false), nullptr);
    // F has no BackUp2 for the treatment-book data of an Ibaraki site.
    Click(restore, Id::kStartButton);
    Expect(ui, restore, Message::ConfirmStart);
    Expect(ui, restore, Message::RestoreFailed);
    Select(restore, L"G");
    Click(restore, Id::kStartButton);
    Expect(ui, restore, Message::ConfirmStart);
    Expect(ui, restore, Message::DeviceUnavailable);
}

TEST_F(RestoreFormTest, RestoresTheChartDataOfTheRemovableDriveIntoTheChartSystem) {
    for (const char* name : {"K0001.sxd", "base.ini", "tmpl.hxd", "readme.txt"}) {
        WriteFile(fs::path(L"F:\\BackUp") / name, name);
    }
    WriteFile(L"C:\\Velmira\\H15\\K0001.sxd", "old");
    WindowThread ui;
    const HWND restore = StartChartRestore(ui);
    Expect(ui, restore, Message::Finished);
    EXPECT_EQ(ReadAll(L"C:\\Velmira\\H15\\K0001.sxd"), "K0001.sxd");
    EXPECT_EQ(FolderEntries(L"C:\\Velmira\\set"),
              (std::vector<std::string>{"base.ini", "info.ini", "tmpl.hxd"}));
    EXPECT_EQ(FolderEntries(L"C:\\Velmira\\H15"), std::vector<std::string>{"K0001.sxd"});
    // The bar is full, and offered to screen readers as 100 percent.
    EXPECT_EQ(SendMessageW(Child(restore, Id::kBar), PBM_GETPOS, 0, 0), 100);
}

TEST_F(RestoreFormTest, DuringALongCopyTheWindowAnswersAndIgnoresEveryClose) {
    constexpr LONGLONG kSize = LONGLONG{256} << 20;
    fs::create_directories(L"F:\\BackUp");
    const HANDLE big =
        CreateFileW(L"F:\\BackUp\\big.sxd", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    SetFilePointerEx(big, LARGE_INTEGER{.QuadPart = kSize}, nullptr, FILE_BEGIN);
    SetEndOfFile(big);
    CloseHandle(big);
    WindowThread ui;
    const HWND restore = StartChartRestore(ui);
    Click(restore, Id::kCloseButton);
    PostMessageW(restore, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(ui.Main(), WM_CLOSE, 0, 0);
    std::vector<double> waits;  // milliseconds
    int answers = 0;
    // Whether each window lets the session end now.
    using Allowed = std::pair<DWORD_PTR, DWORD_PTR>;
    const auto endsSession = [&] {
        Allowed allowed;
        SendMessageTimeoutW(restore, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 20000, &allowed.first);
        SendMessageTimeoutW(ui.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 20000,
                            &allowed.second);
        return allowed;
    };
    for (; WindowOf(L"#32770", restore, ui.Id(), 0, false) == nullptr; ++answers) {
        // Early in the copy, long before it ends.
        if (answers < 3) {
            EXPECT_EQ(endsSession(), Allowed(FALSE, FALSE));
        }
        const auto sent = std::chrono::steady_clock::now();
        DWORD_PTR result = 0;
        ASSERT_NE(SendMessageTimeoutW(restore, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result), 0);
        waits.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent)
                .count());
    }
    std::sort(waits.begin(), waits.end());
    std::printf(
        "[ winui    ] copying 256 MiB the window answered %d times, in %.2f ms (median), "
        "%.1f ms at most\n",
        answers, waits.empty() ? 0.0 : waits[waits.size() / 2], waits.empty() ? 0.0 : waits.back());
    EXPECT_GE(answers, 3);
    Expect(ui, restore, Message::Finished);
    EXPECT_EQ(endsSession(), Allowed(TRUE, TRUE));
    EXPECT_EQ(fs::file_size(L"C:\\Velmira\\H15\\big.sxd"), static_cast<std::uintmax_t>(kSize));
    EXPECT_TRUE(IsWindowVisible(restore) && IsWindowVisible(ui.Main()));
    Click(restore, Id::kCloseButton);
    EXPECT_TRUE(WaitGone(restore));
}

// A chart file held for a moment by another program, as a virus scanner
// holds one just written, is waited for; one held for good, as by the chart
// system left running, ends the run with the failure box within 15 s, the
// old file kept and nothing left beside it.
TEST_F(RestoreFormTest, AFileHeldForAMomentIsWaitedForAndOneHeldForGoodIsReported) {
    WriteFile(L"F:\\BackUp\\K0001.sxd", "new");
    WindowThread ui;
    for (const auto& [holding, ending] :
         {std::pair{DWORD{1500}, Message::Finished}, {DWORD{60000}, Message::RestoreFailed}}) {
        WriteFile(L"C:\\Velmira\\H15\\K0001.sxd", "old");
        const Holder holder(L"C:\\Velmira\\H15\\K0001.sxd", holding);
        const auto start = std::chrono::steady_clock::now();
        const HWND restore = StartChartRestore(ui);
        Expect(ui, restore, ending);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
        EXPECT_EQ(ReadAll(L"C:\\Velmira\\H15\\K0001.sxd"),
                  ending == Message::Finished ? "new" : "old");
        EXPECT_EQ(FolderEntries(L"C:\\Velmira\\H15"), std::vector<std::string>{"K0001.sxd"});
        Click(restore, Id::kCloseButton);
        EXPECT_TRUE(WaitGone(restore));
    }
}

// A worn stick on F: a read that stalls for seconds while the kernel
// retries, then returns its data or fails, or the stick pulled at it. The
// window answers throughout; the run ends in its box, a failure with the
// files before the failing one restored and it and the rest old.
TEST_F(RestoreFormTest, AnAgeingStickNeitherStopsTheWindowNorLeavesHarm) {
    using namespace std::chrono;
    WindowThread ui;
    for (const StickCase& stickCase : kStickCases) {
        SCOPED_TRACE(stickCase.name);
        const TempDir source;
        WriteChartBackup(source.path(), L"C:\\Velmira\\H15");
        // Opened first: Wine's look at the drives as the window loads reaches
        // the stick's root, whose first look is to be the run's.
        const HWND opened = ui.OpenRestoreForm();
        const TestStick stick(source.path(), L"F:\\", stickCase.rule);
        ASSERT_TRUE(stick.Mounted());
        const HWND restore = StartChartRestore(ui, opened);
        steady_clock::duration longest{};
        const auto giveUp = steady_clock::now() + minutes(1);
        for (auto last = steady_clock::now();
             WindowOf(L"#32770", restore, ui.Id(), 0, false) == nullptr &&
             steady_clock::now() < giveUp;
             last = steady_clock::now()) {
            DWORD_PTR result = 0;
            ASSERT_NE(SendMessageTimeoutW(restore, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result), 0);
            longest = std::max(longest, steady_clock::now() - last);
        }
        const auto longestMs = duration_cast<milliseconds>(longest).count();
        std::printf("[ winui    ] %s: longest gap %lld ms\n", stickCase.name,
                    static_cast<long long>(longestMs));
        EXPECT_LT(longest, kLongestGap) << longestMs << " ms without an answer";
        // Wine gives a read's EIO as ERROR_NOT_READY, a drive not ready:
        // the no-medium box, as for the pulled stick.
        Expect(
            ui, restore,
            stickCase.ending == Ending::Finished ? Message::Finished : Message::DeviceUnavailable);
        ExpectChartFolder(L"C:\\Velmira\\H15", stickCase.ending == Ending::Finished);
        Click(restore, Id::kCloseButton);
        EXPECT_TRUE(WaitGone(restore));
    }
}

TEST_F(RestoreFormTest, LabelButtonsTurnRedUnderThePointerAndBlackOverTheBareWindow) {
    WindowThread ui;
    const HWND restore = ui.OpenRestoreForm();
    RestoreForm* form = ui.Restore();
    const auto over = [&](HWND window) {
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        Colors colors;
        ui.Call([&] { colors = {form->ButtonColor(0), form->ButtonColor(1)}; });
        return colors;
    };
    const std::uint32_t text = GetSysColor(COLOR_BTNTEXT);
    const std::uint32_t red = colors::kHighlightColor;
    const std::uint32_t black = colors::kBlack;
    EXPECT_EQ(over(Child(restore, Id::kRestoreHeading)), Colors(text, text));
    EXPECT_EQ(over(Child(restore, Id::kStartButton)), Colors(text, red));
    EXPECT_EQ(over(restore), Colors(black, black));
    EXPECT_EQ(over(Child(restore, Id::kCloseButton)), Colors(red, black));
    EXPECT_EQ(over(Child(restore, Id::kDrvList)), Colors(red, black));
    EXPECT_EQ(over(form->OptionsPanel()), Colors(red, black));
}

// Presses Enter, or lets it go, as the keyboard does.
void PressEnter(bool down) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_RETURN;
    key.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof key);
}

// Types Enter as a run ends, after its last event pump: the key waits in
// the queue for whatever comes next. With `hold`, the key stays down.
LRESULT CALLBACK TypeAhead(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR hold) {
    if (message == WM_SHOWWINDOW && wParam) {
        PressEnter(true);
        if (!hold) PressEnter(false);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(RestoreFormTest, TheKeyboardAloneRunsARestoreAndTypeAheadNeverAnswersItsBox) {
    WriteFile(L"F:\\BackUp2\\T0001.dat", "book");
    WindowThread ui;
    const HWND restore = ui.OpenRestoreForm();
    const auto key = [&](WPARAM code) {
        PostMessageW(ui.Focus(), WM_KEYDOWN, code, 1);
        PostMessageW(ui.Focus(), WM_KEYUP, code, 0xC0000001);
        ui.Settle();
        return GetDlgCtrlID(ui.Focus());
    };
    EXPECT_EQ(GetDlgCtrlID(ui.Focus()), Id::kDrvList);
    EXPECT_EQ(key(VK_DOWN), Id::kDrvList);  // selects F
    for (const int next : {Id::kOption0, Id::kStartButton, Id::kCloseButton, Id::kDrvList,
                           Id::kOption0, Id::kStartButton}) {
        // Escape does nothing.
        if (next == Id::kDrvList) {
            EXPECT_EQ(key(VK_ESCAPE), Id::kCloseButton);
        }
        EXPECT_EQ(key(VK_TAB), next);
    }
    EXPECT_EQ(WindowOf(L"#32770", restore, ui.Id(), 0, false), nullptr);
    ui.Call([&] {
        SetForegroundWindow(restore);
        SetWindowSubclass(ui.Restore()->InstructionsPanel(), &TypeAhead, 1, 0);
    });
    key(VK_RETURN);
    Expect(ui, restore, Message::ConfirmStart, 0);
    key(VK_RETURN);
    const BoxView finished = Expect(ui, restore, Message::Finished, 0);
    bool keyWaiting = true;
    ui.Call([&] { keyWaiting = (HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY) != 0; });
    ui.Settle();
    EXPECT_FALSE(keyWaiting);
    EXPECT_TRUE(IsWindow(finished.hwnd));
    key(VK_RETURN);
    EXPECT_TRUE(WaitGone(finished.hwnd));
    EXPECT_EQ(ReadAll(L"C:\\Velmira\\cb\\T0001.dat"), "book");

    // Enter held down as the run ends: no box until it is up, and then the
    // key has not answered it.
    ui.Call([&] { SetWindowSubclass(ui.Restore()->InstructionsPanel(), &TypeAhead, 1, 1); });
    Click(restore, Id::kStartButton);
    Expect(ui, restore, Message::ConfirmStart);
    Sleep(300);
    EXPECT_EQ(WindowOf(L"#32770", restore, ui.Id(), 0, false), nullptr);
    PressEnter(false);
    const BoxView held = Expect(ui, restore, Message::Finished, 0);
    ui.Settle();
    EXPECT_TRUE(IsWindow(held.hwnd));
    EXPECT_TRUE(Answer(held, IDOK));
}

}  // namespace
}  // namespace velmira
