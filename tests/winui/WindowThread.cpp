#include "WindowThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "MessagePump.h"
#include "TempDir.h"

namespace velmira::testing {

namespace {

constexpr UINT kCall = WM_APP;
constexpr UINT kSettle = WM_APP + 1;
constexpr auto kPatience = std::chrono::seconds(10);
constexpr UINT kPatienceMs = 20000;

LRESULT CALLBACK CallsProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCall) (*reinterpret_cast<const std::function<void()>*>(lParam))();
    if (message == kSettle) SetEvent(reinterpret_cast<HANDLE>(lParam));
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A message-only window of the window thread that runs what Call sends it.
HWND CreateCallsWindow() {
    static const bool registered = [] {
        WNDCLASSW type{};
        type.lpfnWndProc = &CallsProcedure;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"VelmiraTestCalls";
        return RegisterClassW(&type) != 0;
    }();
    if (!registered) return nullptr;
    return CreateWindowExW(0, L"VelmiraTestCalls", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

struct Search {
    const wchar_t* className;
    HWND owner;
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK Consider(HWND hwnd, LPARAM lParam) {
    auto& search = *reinterpret_cast<Search*>(lParam);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (std::wstring(name) != search.className || !IsWindowVisible(hwnd)) return TRUE;
    if (search.owner != nullptr && GetWindow(hwnd, GW_OWNER) != search.owner) return TRUE;
    if (search.processId != 0 && process != search.processId) return TRUE;
    search.found = hwnd;
    return FALSE;
}

template <typename Done>
bool WaitUntil(Done done) {
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace

void MakeChartSystem() {
    for (const char* folder : {"H15", "set", "cb", "kdata"}) {
        std::filesystem::create_directories(std::filesystem::path(L"C:\\Velmira") / folder);
    }
    WriteFile(L"C:\\Velmira\\set\\info.ini", "\x88\xef\x8f\xe9\x8c\xa7,1\r\n");
    SetCurrentDirectoryW(L"C:\\");
    SetProcessDPIAware();
}

HWND FindWindowOf(const wchar_t* className, HWND owner, DWORD threadId, DWORD processId) {
    Search search{className, owner, processId};
    if (threadId != 0) {
        EnumThreadWindows(threadId, &Consider, reinterpret_cast<LPARAM>(&search));
    } else {
        EnumWindows(&Consider, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

HWND WaitForWindow(const wchar_t* className, HWND owner, DWORD threadId, DWORD processId) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(className, owner, threadId, processId)); });
    return found;
}

bool WaitGone(HWND window) {
    return WaitUntil([&] { return !IsWindow(window); });
}

BoxView WaitForBox(HWND owner, DWORD threadId, DWORD processId) {
    BoxView box;
    box.hwnd = WaitForWindow(L"#32770", owner, threadId, processId);
    if (box.hwnd == nullptr) return box;
    box.owner = GetWindow(box.hwnd, GW_OWNER);
    box.title = WindowText(box.hwnd);
    box.text = WindowText(GetDlgItem(box.hwnd, 0xFFFF));
    box.ok = GetDlgItem(box.hwnd, IDOK) != nullptr;
    box.cancel = GetDlgItem(box.hwnd, IDCANCEL) != nullptr;
    box.topmost = (GetWindowLongW(box.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    box.ownerEnabled = box.owner != nullptr && IsWindowEnabled(box.owner);
    for (HWND child = GetWindow(box.hwnd, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        if ((style & SS_TYPEMASK) == SS_ICON && SendMessageW(child, STM_GETICON, 0, 0) != 0) {
            box.icon = true;
        }
    }
    return box;
}

bool Answer(const BoxView& box, int id) {
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, id)));
    return WaitGone(box.hwnd);
}

HWND Child(HWND top, int id) {
    struct Wanted {
        int id;
        HWND found;
    } wanted{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM lParam) {
            auto& sought = *reinterpret_cast<Wanted*>(lParam);
            if (GetDlgCtrlID(child) != sought.id) return TRUE;
            sought.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
}

PixelRect PlaceOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

WindowThread::WindowThread(DriveSource* driveSource) {
    // The pointer stays off the windows, so that no move of its own reaches
    // them.
    SetCursorPos(0, 0);
    std::promise<void> started;
    std::future<void> ready = started.get_future();
    thread_ = std::thread([this, driveSource, &started] {
        id_ = GetCurrentThreadId();
        calls_ = CreateCallsWindow();
        bool shown = false;
        try {
            MainForm form(drives_, driveSource != nullptr ? *driveSource : drives_);
            form.Load();
            form.Show();
            form_ = &form;
            main_ = form.Handle();
            shown = true;
            started.set_value();
            const bool never = false;
            MessagePump::RunUntil(never);
        } catch (...) {
            if (!shown) started.set_exception(std::current_exception());
        }
        DestroyWindow(calls_);
    });
    try {
        ready.get();
    } catch (...) {
        thread_.join();
        throw;
    }
}

WindowThread::~WindowThread() {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    thread_.join();
}

void WindowThread::Call(const std::function<void()>& task) const {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(calls_, kCall, 0, reinterpret_cast<LPARAM>(&task), SMTO_NORMAL,
                            kPatienceMs, &result) == 0) {
        ADD_FAILURE() << "the window thread did not answer";
    }
}

void WindowThread::Settle() const {
    const HANDLE handled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PostMessageW(calls_, kSettle, 0, reinterpret_cast<LPARAM>(handled));
    if (WaitForSingleObject(handled, kPatienceMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the window thread did not get to its posted messages";
    }
    CloseHandle(handled);
}

HWND WindowThread::OpenRestoreForm() const {
    PostMessageW(form_->Item(MainForm::kNext), BM_CLICK, 0, 0);
    const HWND restore = WaitForWindow(L"VelmiraRestoreWindow", main_, id_);
    // Its loop running, the focus given.
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
