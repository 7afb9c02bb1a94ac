#include "winui/MainForm.h"

#include "commands/Layout.h"
#include "commands/WindowTexts.h"
#include "winui/ChildControl.h"
#include "winui/RestoreForm.h"
#include "winui/ScreenDpi.h"
#include "winui/WideText.h"

namespace velmira {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

const Placement& Row(std::string_view name) {
    return RowOf(MainFormLayout(), name);
}

}  // namespace

MainForm::MainForm(const DriveRoots& drives, DriveSource& driveSource)
    : drives_(drives),
      driveSource_(driveSource),
      dpi_(ScreenDpi()),
      font_(*Row("MainForm").font, dpi_),
      commands_(*this, drives) {
    CreateCentredWindow(WS_EX_CONTROLPARENT, kStyle, nullptr, ToPixels(Row("MainForm").twips, dpi_),
                        GetSysColorBrush(COLOR_BTNFACE));
    SetWindowTextW(Handle(), WideText(texts::kMainTitle).c_str());
    const auto control = [this](const wchar_t* type, std::string_view name, DWORD style, int id) {
        RowControl(type, Row(name), style, Handle(), id, font_.Handle(), dpi_);
    };
    // 次に進む first: it has the focus at start and comes first for Tab.
    control(L"BUTTON", "Command1(0)", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kNext);
    control(L"BUTTON", "Command1(1)", BS_PUSHBUTTON | WS_TABSTOP, kQuit);
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    control(L"STATIC", "Label1", kLabel, kMainLabel1);
    // Label2 reaches past the client area's right edge and is cut off there.
    control(L"STATIC", "Label2", kLabel, kMainLabel2);
    control(L"STATIC", "Label3", kLabel, kMainLabel3);
}

MainForm::~MainForm() = default;

void MainForm::Show() {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    SetFocus(Item(kNext));
}

void MainForm::SetLabelTexts(const std::string& label1, const std::string& label2) {
    SetWindowTextW(Item(kMainLabel1), WideText(label1).c_str());
    SetWindowTextW(Item(kMainLabel2), WideText(label2).c_str());
}

void MainForm::ShowRestoreWindow() {
    RestoreForm form(Handle(), drives_, driveSource_);
    form.Load();
    restoreForm_ = &form;
    form.ShowModal();
    restoreForm_ = nullptr;
}

void MainForm::Close() {
    if (closed_) return;
    closed_ = true;
    ShowWindow(Handle(), SW_HIDE);
    PostQuitMessage(0);
}

LRESULT MainForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) == BN_CLICKED && (id == kNext || id == kQuit)) {
                commands_.Command1_Click(id - kNext);
            }
            return 0;
        }
        case WM_CLOSE:
            // This window is disabled while the restore window is open; a
            // close sent by another program meanwhile is refused.
            if (commands_.MayClose()) Close();
            return 0;
        case WM_QUERYENDSESSION:
            return restoreForm_ != nullptr && restoreForm_->HoldsShutdown() ? FALSE : TRUE;
        case DM_GETDEFID: {
            // The window has no default button: Enter presses the focused
            // one, as Space does. The dialog manager asks this for Enter.
            const int focused = GetDlgCtrlID(GetFocus());
            if (focused == kNext || focused == kQuit) return MAKELRESULT(focused, DC_HASDEFID);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
            return ColorStatic(wParam, lParam, GetSysColorBrush(COLOR_BTNFACE));
        default:
            return Default(message, wParam, lParam);
    }
}

}  // namespace velmira
