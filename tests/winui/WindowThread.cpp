#include "tests/winui/WindowThread.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <tuple>

#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"
#include "winui/MessagePump.h"
#include "winui/ScreenDpi.h"

namespace velmira::testing {

namespace {

constexpr UINT kCall = WM_APP;
constexpr UINT kSettle = WM_APP + 1;
constexpr UINT kPatienceMs = 20000;

// The test's messages, taken by the start window before it sees them.
LRESULT CALLBACK Calls(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == kCall) (*reinterpret_cast<const std::function<void()>*>(lParam))();
    if (message == kSettle) SetEvent(reinterpret_cast<HANDLE>(lParam));
    if (message == kCall || message == kSettle) return 0;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

template <typename Done>
bool WaitUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace

void WineWindowsTest::SetUp() {
    if (!WineDrivesPresent()) GTEST_SKIP() << "needs the prefix of scripts/test-windows";
    for (const char* folder : {"H15", "set", "cb", "kdata"}) {
        std::filesystem::create_directories(std::filesystem::path(L"C:\\Velmira") / folder);
    }
    WriteFile(L"C:\\Velmira\\set\\info.ini", "\x88\xef\x8f\xe9\x8c\xa7,1\r\n");
    SetCurrentDirectoryW(L"C:\\");
    SetProcessDPIAware();
}

void WineWindowsTest::TearDown() {
    for (const wchar_t* folder : {L"C:\\Velmira", L"F:\\BackUp", L"F:\\BackUp2"}) {
        std::filesystem::remove_all(folder);
    }
}

HWND WindowOf(const wchar_t* className, HWND owner, DWORD threadId, DWORD processId, bool wait) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (found = FindWindowExW(nullptr, nullptr, className, nullptr); found != nullptr;
             found = FindWindowExW(nullptr, found, className, nullptr)) {
            DWORD process = 0;
            const DWORD thread = GetWindowThreadProcessId(found, &process);
            if (IsWindowVisible(found) &&
                (owner == nullptr || GetWindow(found, GW_OWNER) == owner) &&
                (threadId == 0 ? process == processId : thread == threadId)) {
                break;
            }
        }
        return found != nullptr || !wait;
    });
    return found;
}

BoxView WaitForBox(HWND owner, DWORD threadId, DWORD processId) {
    BoxView box;
    box.hwnd = WindowOf(L"#32770", owner, threadId, processId);
    if (box.hwnd == nullptr) return box;
    box.title = WindowText(box.hwnd);
    box.text = WindowText(GetDlgItem(box.hwnd, 0xFFFF));
    box.ok = GetDlgItem(box.hwnd, IDOK) != nullptr;
    box.cancel = GetDlgItem(box.hwnd, IDCANCEL) != nullptr;
    box.topmost = (GetWindowLongW(box.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    box.ownerEnabled = IsWindowEnabled(GetWindow(box.hwnd, GW_OWNER));
    for (HWND child = GetWindow(box.hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        box.icon |= SendMessageW(child, STM_GETICON, 0, 0) != 0;
    }
    return box;
}

bool WaitGone(HWND window) {
    return WaitUntil([&] { return !IsWindow(window); });
}

bool Answer(const BoxView& box, int id) {
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, id)));
    return WaitGone(box.hwnd);
}

HWND Child(HWND top, int id) {
    HWND child = GetDlgItem(top, id);
    for (HWND panel = GetWindow(top, GW_CHILD); child == nullptr && panel != nullptr;
         panel = GetWindow(panel, GW_HWNDNEXT)) {
        child = GetDlgItem(panel, id);
    }
    return child;
}

void ExpectPlaces(HWND top, std::span<const Placement> table, std::initializer_list<Place> places) {
    const auto at = [&](std::string_view row) {
        return ToPixels(TwipsOf(table, row), ScreenDpi());
    };
    RECT rect{};
    GetClientRect(top, &rect);
    EXPECT_EQ((PixelRect{0, 0, rect.right, rect.bottom}), at(table[0].name));
    for (const Place& place : places) {
        GetWindowRect(Child(top, place.id), &rect);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rect), 2);
        const PixelRect seen{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
        PixelRect want = at(place.row);
        if (place.container != nullptr) {
            want.left += at(place.container).left;
            want.top += at(place.container).top;
        }
        if (place.fits) std::tie(want.width, want.height) = std::tie(seen.width, seen.height);
        EXPECT_EQ(seen, want) << place.row;
    }
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

WindowThread::WindowThread(DriveSource* driveSource) {
    // The pointer stays off the windows: no move of its own reaches them.
    SetCursorPos(0, 0);
    std::promise<void> shown;
    // A start window that cannot load ends the tests here.
    thread_ = std::thread([this, driveSource, &shown] {
        MainForm form(drives_, driveSource != nullptr ? *driveSource : drives_);
        form.Load();
        form.Show();
        SetWindowSubclass(form.Handle(), &Calls, 1, 0);
        id_ = GetCurrentThreadId();
        main_ = form.Handle();
        form_ = &form;
        shown.set_value();
        const bool never = false;
        MessagePump::RunUntil(never);
    });
    shown.get_future().wait();
}

WindowThread::~WindowThread() {
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    thread_.join();
}

void WindowThread::Call(const std::function<void()>& task) const {
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(main_, kCall, 0, reinterpret_cast<LPARAM>(&task), SMTO_NORMAL,
                                  kPatienceMs, &result),
              0)
        << "the window thread did not answer";
}

void WindowThread::Settle() const {
    const HANDLE handled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PostMessageW(main_, kSettle, 0, reinterpret_cast<LPARAM>(handled));
    EXPECT_EQ(WaitForSingleObject(handled, kPatienceMs), WAIT_OBJECT_0) << "messages left";
    CloseHandle(handled);
}

HWND WindowThread::OpenRestoreForm() const {
    PostMessageW(form_->Item(MainForm::kNext), BM_CLICK, 0, 0);
    const HWND restore = WindowOf(L"VelmiraRestoreWindow", main_, id_);
    Settle();
    return restore;
}

RestoreForm* WindowThread::Restore() const {
    RestoreForm* open = nullptr;
    Call([&] { open = form_->OpenRestoreForm(); });
    return open;
}

HWND WindowThread::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(id_, &info);
    return info.hwndFocus;
}

}  // namespace velmira::testing
