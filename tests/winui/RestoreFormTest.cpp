#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "BaseModule.h"
#include "Layout.h"
#include "RestoreForm.h"
#include "ScreenDpi.h"
#include "TempDir.h"
#include "TestPlatform.h"
#include "WideText.h"
#include "WindowThread.h"

// The restore window under Wine, in the prefix of scripts/test-windows (F
// removable with a medium, G removable without one), driven by messages
// from the test's thread as a user's clicks and keys would drive it.
namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::PlaceOf;
using testing::WindowText;
using testing::WindowThread;
using Colors = std::pair<std::uint32_t, std::uint32_t>;

class RestoreFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing::WineDrivesPresent())
            GTEST_SKIP() << "needs the prefix of scripts/test-windows";
        testing::MakeChartSystem();
    }
    void TearDown() override {
        for (const wchar_t* folder : {L"C:\\Velmira", L"F:\\BackUp", L"F:\\BackUp2"}) {
            fs::remove_all(folder);
        }
    }

    static void Click(HWND restore, int id) { PostMessageW(Child(restore, id), BM_CLICK, 0, 0); }

    // A click on the drive's line of the list.
    static void Select(HWND restore, const wchar_t* letter) {
        const HWND list = Child(restore, RestoreForm::kDrvList);
        const auto index = static_cast<WPARAM>(
            SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(letter)));
        RECT line{};
        SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&line));
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(line.left + 2, line.top + 2));
        SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(line.left + 2, line.top + 2));
    }

    // The box of `message` over the restore window, application-modal and
    // without an icon; answered with `answer` unless that is 0.
    static testing::BoxView Expect(const WindowThread& ui, HWND restore, Message message,
                                   int answer = IDOK) {
        const MessageText& want = TextOf(message);
        const testing::BoxView box = ui.WaitForBox(restore);
        EXPECT_NE(box.hwnd, nullptr) << want.text;
        EXPECT_EQ(box.title, WideText(want.title));
        EXPECT_EQ(box.text, WideText(want.text));
        EXPECT_TRUE(box.ok);
        EXPECT_EQ(box.cancel, want.withCancel);
        EXPECT_FALSE(box.icon);
        // Its window waits for it; the system's other windows do not.
        EXPECT_FALSE(box.ownerEnabled);
        EXPECT_FALSE(box.topmost);
        if (answer != 0) {
            EXPECT_TRUE(testing::Answer(box, answer));
        }
        return box;
    }

    static HWND StartChartRestore(const WindowThread& ui) {
        const HWND restore = ui.OpenRestoreForm();
        Click(restore, RestoreForm::kOption1);  // カルテ: the chart job at an Ibaraki site
        Select(restore, L"F");
        Click(restore, RestoreForm::kStartButton);
        Expect(ui, restore, Message::ConfirmStart);
        return restore;
    }
};

TEST_F(RestoreFormTest, ControlsSitWhereTheLayoutPutsThemAtTheScreenDpi) {
    WindowThread ui;
    const HWND restore = ui.OpenRestoreForm();
    const auto at = [](std::string_view name) {
        return ToPixels(TwipsOf(RestoreFormLayout(), name), ScreenDpi());
    };
    RECT client{};
    GetClientRect(restore, &client);
    EXPECT_EQ((PixelRect{0, 0, client.right, client.bottom}), at("RestoreForm"));
    EXPECT_EQ(WindowText(restore), L"");
    for (const auto& [id, name] : {std::pair{RestoreForm::kInsertDisk, "Label1(3)"},
                                   {RestoreForm::kPickLowest, "Label1(4)"},
                                   {RestoreForm::kDrvList, "DrvList"},
                                   {RestoreForm::kOption0, "SentakuOp(0)"},
                                   {RestoreForm::kOption1, "SentakuOp(1)"}}) {
        EXPECT_EQ(PlaceOf(Child(restore, id)), at(name)) << name;
    }
    // These fit their text: only their corner is laid out.
    for (const auto& [id, name] : {std::pair{RestoreForm::kHeading, "Label1(2)"},
                                   {RestoreForm::kCaption, "Label1(1)"},
                                   {RestoreForm::kDriveLabel, "Label1(0)"},
                                   {RestoreForm::kStartButton, "CmdGd(1)"},
                                   {RestoreForm::kCloseButton, "CmdGd(0)"}}) {
        const PixelRect place = PlaceOf(Child(restore, id));
        EXPECT_EQ(std::pair(place.left, place.top), std::pair(at(name).left, at(name).top)) << name;
    }
    // Both panels on one rectangle; the options in their frame.
    EXPECT_EQ(PlaceOf(GetParent(Child(restore, RestoreForm::kInsertDisk))), at("WakuFrame(0)"));
    EXPECT_EQ(PlaceOf(GetParent(Child(restore, RestoreForm::kCaption))), at("WakuFrame(0)"));
    EXPECT_EQ(PlaceOf(GetParent(Child(restore, RestoreForm::kOption0))), at("WakuFrame(2)"));
    // The label-buttons: owner-drawn push buttons in their underlined font.
    for (const auto& [id, points] : {std::pair{RestoreForm::kStartButton, kStartButtonPoints},
                                     {RestoreForm::kCloseButton, kCloseButtonPoints}}) {
        const HWND button = Child(restore, id);
        EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_EQ(font.lfHeight, -std::lround(points * ScreenDpi() / 72.0));
        EXPECT_EQ(std::wstring(font.lfFaceName), WideText(kLabelButtonFace));
        EXPECT_EQ(std::tuple(font.lfWeight, font.lfUnderline, font.lfCharSet),
                  std::tuple(FW_NORMAL, TRUE, SHIFTJIS_CHARSET));
    }
}

TEST_F(RestoreFormTest, EachOpeningTakesTheOptionsOfTheSiteRegionAndTheDrivesAfresh) {
    struct Region {
        const char* prefecture;
        const wchar_t* first;
        const wchar_t* second;
        bool shown;
    };
    WindowThread ui;
    for (const Region& region : {Region{"茨城県", L"治療簿", L"カルテ", true},
                                 Region{"鳥取県", L"カルテ", L"検案書", true},
                                 Region{"東京都", L"治療簿", L"カルテ", false}}) {
        ui.Call([&] { BaseModule::SitePrefecture = region.prefecture; });
        const HWND restore = ui.OpenRestoreForm();
        const HWND first = Child(restore, RestoreForm::kOption0);
        EXPECT_EQ(WindowText(first), region.first);
        EXPECT_EQ(WindowText(Child(restore, RestoreForm::kOption1)), region.second);
        EXPECT_EQ(IsWindowVisible(GetParent(first)) != FALSE, region.shown) << region.prefecture;
        EXPECT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_CHECKED);
        const HWND list = Child(restore, RestoreForm::kDrvList);
        wchar_t letters[2][4] = {};
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
        for (WPARAM i = 0; i < 2; ++i) {
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(letters[i]));
        }
        EXPECT_EQ(std::wstring(letters[0]) + letters[1], L"FG");
        // What is chosen now is gone at the next opening.
        Click(restore, RestoreForm::kOption1);
        Select(restore, L"G");
        Click(restore, RestoreForm::kCloseButton);
        EXPECT_TRUE(testing::WaitGone(restore));
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
        Click(restore, RestoreForm::kStartButton);
        Expect(empty, restore, Message::DriveListEmpty);
    }
    WindowThread ui;
    const HWND restore = ui.OpenRestoreForm();
    Click(restore, RestoreForm::kStartButton);
    Expect(ui, restore, Message::NoDriveSelected);
    Select(restore, L"F");
    Click(restore, RestoreForm::kStartButton);
    Expect(ui, restore, Message::ConfirmStart, IDCANCEL);
    ui.Settle();
    EXPECT_EQ(testing::FindWindowOf(L"#32770", restore, ui.Id()), nullptr);
    // F has no BackUp2 for the treatment-book data of an Ibaraki site.
    Click(restore, RestoreForm::kStartButton);
    Expect(ui, restore, Message::ConfirmStart);
    Expect(ui, restore, Message::RestoreFailed);
    Select(restore, L"G");
    Click(restore, RestoreForm::kStartButton);
    Expect(ui, restore, Message::ConfirmStart);
    Expect(ui, restore, Message::DeviceUnavailable);
}

TEST_F(RestoreFormTest, RestoresTheChartDataOfTheRemovableDriveIntoTheChartSystem) {
    testing::WriteFile(L"F:\\BackUp\\K0001.sxd", "chart");
    testing::WriteFile(L"F:\\BackUp\\base.ini", "base");
    testing::WriteFile(L"F:\\BackUp\\tmpl.hxd", "template");
    testing::WriteFile(L"F:\\BackUp\\readme.txt", "not restored");
    testing::WriteFile(L"C:\\Velmira\\H15\\K0001.sxd", "old");
    WindowThread ui;
    const HWND restore = StartChartRestore(ui);
    Expect(ui, restore, Message::Finished);
    EXPECT_EQ(testing::ReadAll(L"C:\\Velmira\\H15\\K0001.sxd"), "chart");
    EXPECT_EQ(testing::ReadAll(L"C:\\Velmira\\set\\base.ini"), "base");
    EXPECT_EQ(testing::ReadAll(L"C:\\Velmira\\set\\tmpl.hxd"), "template");
    EXPECT_EQ(testing::FolderEntries(L"C:\\Velmira\\H15"), std::vector<std::string>{"K0001.sxd"});
    // The bar is full, and offered to screen readers as 100 percent.
    const HWND bar =
        FindWindowExW(ui.Restore()->ProgressPanel(), nullptr, PROGRESS_CLASSW, nullptr);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 100);
}

TEST_F(RestoreFormTest, DuringALongCopyTheWindowAnswersAndIgnoresEveryClose) {
    constexpr LONGLONG kSize = LONGLONG{256} << 20;
    fs::create_directories(L"F:\\BackUp");
    {
        const HANDLE big = CreateFileW(L"F:\\BackUp\\big.sxd", GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, 0, nullptr);
        SetFilePointerEx(big, LARGE_INTEGER{.QuadPart = kSize}, nullptr, FILE_BEGIN);
        SetEndOfFile(big);
        CloseHandle(big);
    }
    WindowThread ui;
    const HWND restore = StartChartRestore(ui);
    // 閉る and the frame's close, then pings until the run ends.
    Click(restore, RestoreForm::kCloseButton);
    PostMessageW(restore, WM_SYSCOMMAND, SC_CLOSE, 0);
    long long longest = 0;
    int answered = 0;
    while (testing::FindWindowOf(L"#32770", restore, ui.Id()) == nullptr) {
        const auto sent = std::chrono::steady_clock::now();
        DWORD_PTR result = 0;
        ASSERT_NE(SendMessageTimeoutW(restore, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result), 0)
            << "the window stopped answering";
        longest =
            std::max<long long>(longest, std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - sent)
                                             .count());
        ++answered;
    }
    std::printf(
        "[ winui    ] copying 256 MiB the window answered %d times, waiting %lld ms at most\n",
        answered, longest);
    EXPECT_GE(answered, 3);
    Expect(ui, restore, Message::Finished);
    EXPECT_EQ(fs::file_size(L"C:\\Velmira\\H15\\big.sxd"), static_cast<std::uintmax_t>(kSize));
    EXPECT_TRUE(IsWindowVisible(restore));
    Click(restore, RestoreForm::kCloseButton);
    EXPECT_TRUE(testing::WaitGone(restore));
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
    const std::uint32_t red = colors::kHighlightRed;
    EXPECT_EQ(over(Child(restore, RestoreForm::kHeading)), Colors(text, text));
    EXPECT_EQ(over(Child(restore, RestoreForm::kStartButton)), Colors(text, red));
    EXPECT_EQ(over(restore), Colors(colors::kBlack, colors::kBlack));
    EXPECT_EQ(over(Child(restore, RestoreForm::kCloseButton)), Colors(red, colors::kBlack));
    EXPECT_EQ(over(Child(restore, RestoreForm::kDrvList)), Colors(red, colors::kBlack));
    EXPECT_EQ(over(form->OptionsPanel()), Colors(red, colors::kBlack));
}

// Types Enter as a run ends, after its last event pump: the key waits in
// the queue for whatever comes next.
LRESULT CALLBACK TypeAhead(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if (message == WM_SHOWWINDOW && wParam) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(RestoreFormTest, TheKeyboardAloneRunsARestoreAndTypeAheadNeverAnswersItsBox) {
    testing::WriteFile(L"F:\\BackUp2\\T0001.dat", "book");
    WindowThread ui;
    const HWND restore = ui.OpenRestoreForm();
    const auto key = [&](WPARAM code) {
        PostMessageW(ui.Focus(), WM_KEYDOWN, code, 1);
        PostMessageW(ui.Focus(), WM_KEYUP, code, 0xC0000001);
        ui.Settle();
        return ui.Focus();
    };
    EXPECT_EQ(ui.Focus(), Child(restore, RestoreForm::kDrvList));
    EXPECT_EQ(key(VK_DOWN), Child(restore, RestoreForm::kDrvList));  // selects F
    EXPECT_EQ(key(VK_TAB), Child(restore, RestoreForm::kOption0));
    EXPECT_EQ(key(VK_TAB), Child(restore, RestoreForm::kStartButton));
    EXPECT_EQ(key(VK_TAB), Child(restore, RestoreForm::kCloseButton));
    EXPECT_EQ(key(VK_ESCAPE), Child(restore, RestoreForm::kCloseButton));
    EXPECT_EQ(testing::FindWindowOf(L"#32770", restore, ui.Id()), nullptr);
    EXPECT_EQ(key(VK_TAB), Child(restore, RestoreForm::kDrvList));
    key(VK_TAB);
    EXPECT_EQ(key(VK_TAB), Child(restore, RestoreForm::kStartButton));

    ui.Call([&] {
        SetForegroundWindow(restore);
        SetWindowSubclass(ui.Restore()->InstructionsPanel(), &TypeAhead, 1, 0);
    });
    key(VK_RETURN);
    Expect(ui, restore, Message::ConfirmStart, 0);
    key(VK_RETURN);
    const testing::BoxView finished = Expect(ui, restore, Message::Finished, 0);
    bool keyWaiting = true;
    ui.Call([&] { keyWaiting = (HIWORD(GetQueueStatus(QS_KEY)) & QS_KEY) != 0; });
    ui.Settle();
    EXPECT_FALSE(keyWaiting);
    EXPECT_TRUE(IsWindow(finished.hwnd));
    key(VK_RETURN);
    EXPECT_TRUE(testing::WaitGone(finished.hwnd));
    EXPECT_EQ(testing::ReadAll(L"C:\\Velmira\\cb\\T0001.dat"), "book");
}

}  // namespace
}  // namespace velmira
